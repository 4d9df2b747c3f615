// OptionsDialog: the one place where the user changes settings. It is filled from the live
// settings, collects the user's choices and hands them back when it closes; every way of
// closing commits, but a position a person could not mean is refused first. Choosing the
// other language is announced at once (languageChosen) so that every window can follow.
#pragma once

#include <QDialog>
#include <QFont>
#include <string>
#include <vector>

#include "app/locations.h"
#include "app/position_entry.h"
#include "app/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;

namespace yorbel::gui {

struct AppContext;

class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    OptionsDialog(QWidget* parent, AppContext& context);

    // The settings as the controls hold them; valid once the dialog has accepted a close.
    const app::Settings& Value() const { return value_; }

    // Texts of the current language file, and the group list of the current groups.
    void ApplyTexts();
    void FillGroups();

    // Every close (button, close box, Escape) commits; refused while a box is out of range.
    void done(int result) override;

    Q_SIGNAL void languageChosen(int language);

    // For tests: the position summary line.
    QString PositionSummary() const;

  private:
    QWidget* BuildCalendarPage();
    QWidget* BuildPlacePage();
    QWidget* BuildDisplayPage();
    QWidget* BuildGroupsPage();
    void Load(const app::Settings& s);
    void LoadCountries();
    bool LoadCities(const std::string& code, bool report);
    void CountryChosen(int index);
    void FillPositionFromCity();
    void SetCustom(bool custom);
    void UpdatePositionSummary();
    void SetPositionBoxes(const app::PositionTexts& texts);
    app::PositionTexts PositionBoxes() const;
    void ShowFont();
    void ShowSwatch(int which);
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool Collect();
    void NewGroup();
    void ChangeGroup();
    void DeleteGroup();

    AppContext& context_;
    app::Settings value_;
    QString separator_;
    QTabWidget* pages_ = nullptr;
    QButtonGroup* rgWkStart_ = nullptr;
    QButtonGroup* rgFirstWkDay_ = nullptr;
    QButtonGroup* rgCalType_ = nullptr;
    QButtonGroup* rgLang_ = nullptr;
    QComboBox* cbLand_ = nullptr;
    QComboBox* cbOrt_ = nullptr;
    QLineEdit* zone_ = nullptr;
    QCheckBox* cbCustom_ = nullptr;
    QLineEdit* lat_[3] = {};
    QLineEdit* long_[3] = {};
    QCheckBox* cbN_ = nullptr;
    QCheckBox* cbW_ = nullptr;
    QLabel* lbPosition_ = nullptr;
    QLabel* lbName_ = nullptr;
    QLabel* lbHeight_ = nullptr;
    QFont yearFont_;
    int yearFontSize_ = -13;
    QCheckBox* cbAdaptToFont_ = nullptr;
    QLineEdit* swatches_[6] = {};
    std::int32_t colours_[6] = {};
    QListWidget* groups_ = nullptr;
    QMenu* pmEditGrps_ = nullptr;
    QCheckBox* cbOpenLastActive_ = nullptr;
    QCheckBox* cbDayViewOpen_ = nullptr;
    QPushButton* btClose_ = nullptr;
    std::vector<QWidget*> customControls_;  // enabled with an own position
    std::vector<QWidget*> cityControls_;    // enabled without one
    bool loading_ = false;
};

}  // namespace yorbel::gui
