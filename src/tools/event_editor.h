// TFrmEvent: the modal dialog that creates an event or changes one: its name, group, kind
// (single day or period) and repeat rule, written into the events row in the stored rule
// encoding (data/events.h). On OK the row is left pending; the occurrence generation that
// the caller runs next commits it and gives a new row its number.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "calendar/dates.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace yorbel::data {
class Table;
}

namespace yorbel::gui {

struct AppContext;
class CivilDateEdit;
class YearWindowLink;

// The event editor as the year window's commands open it (the AppContext's EventEditor):
// modal, on the year window's events, in new mode without an event number and in edit
// mode on the current events row otherwise. True when the user confirmed; the caller
// then marks the calendar changed and shows the year again, which commits the row.
bool OpenEventEditor(YearWindowLink& year, std::optional<int> ev_no,
                     const calendar::CivilDate& date);

class TFrmEvent : public QDialog {
    Q_OBJECT

  public:
    // In edit mode the events table must stand on the row to edit. default_date fills the
    // date pickers (all three in new mode, those the rule leaves unused in edit mode).
    TFrmEvent(QWidget* owner, const AppContext& context, data::Table& events, bool gregorian,
              bool edit_mode, const calendar::CivilDate& default_date);

    // The controls, by their names, for the caller's tests.
    QLineEdit* ebEvent() const { return ebEvent_; }
    QComboBox* DblcbGroup() const { return DblcbGroup_; }
    QComboBox* cbRepeat() const { return cbRepeat_; }
    QRadioButton* rbTypeDay() const { return rbTypeDay_; }
    QRadioButton* rbTypePeriod() const { return rbTypePeriod_; }
    CivilDateEdit* DtpFrom() const { return DtpFrom_; }
    CivilDateEdit* DtpTo() const { return DtpTo_; }
    CivilDateEdit* DtpDad() const { return DtpDad_; }
    QComboBox* cbWoche() const { return cbWoche_; }
    QComboBox* cbTag() const { return cbTag_; }
    QComboBox* cbMonat() const { return cbMonat_; }
    QRadioButton* RbVorDad() const { return RbVorDad_; }
    QRadioButton* RbNachDad() const { return RbNachDad_; }
    QSpinBox* ebDays() const { return ebDays_; }
    QRadioButton* rbVor() const { return rbVor_; }
    QRadioButton* rbNach() const { return rbNach_; }
    QComboBox* cbJDay() const { return cbJDay_; }
    QComboBox* cbJMonth() const { return cbJMonth_; }
    QPushButton* btnOk() const { return btnOk_; }
    QPushButton* btnCancel() const { return btnCancel_; }

    // The four groups that share the place below the rule; one is shown at a time.
    QGroupBox* GbEvTime() const { return GbEvTime_; }
    QGroupBox* gbWoMo() const { return gbWoMo_; }
    QGroupBox* gbDays() const { return gbDays_; }
    QGroupBox* gbJwDate() const { return gbJwDate_; }

  private:
    // The rule fields as the controls would write them.
    struct RuleTexts {
        int type = 0;
        int repeat = 0;
        std::string from;
        std::optional<std::string> to;  // written only for periods and near-date rules
        friend bool operator==(const RuleTexts&, const RuleTexts&) = default;
    };

    void BuildControls();
    void ApplyTexts();
    void FillGroups();
    void LoadRow();
    void ApplyVisibility();
    RuleTexts EncodeRule() const;
    // Checks what the stored rule could not use; shows the message and returns false.
    bool Validate();
    void btnOkClick();
    QString Text(const char* key) const;

    const AppContext& context_;
    data::Table& events_;
    bool gregorian_;
    bool editMode_;
    calendar::CivilDate defaultDate_;
    // The rule as loaded in edit mode: when OK finds the controls still saying the same,
    // the stored texts are kept exactly as they were (an Easter rule stored as "0" would
    // otherwise come back as "-0", a foreign text would be normalised).
    std::optional<RuleTexts> loadedRule_;

    QLabel* Label1_;
    QLineEdit* ebEvent_;
    QLabel* Label2_;
    QComboBox* DblcbGroup_;
    QLabel* Label3_;
    QComboBox* cbRepeat_;
    QGroupBox* rbType_;
    QRadioButton* rbTypeDay_;
    QRadioButton* rbTypePeriod_;
    QStackedWidget* rulePlace_;

    QGroupBox* GbEvTime_;
    QLabel* Label4_;
    CivilDateEdit* DtpFrom_;
    QLabel* Label5_;
    CivilDateEdit* DtpTo_;

    QGroupBox* gbWoMo_;
    QComboBox* cbWoche_;
    QComboBox* cbTag_;
    QLabel* Label8_;
    QComboBox* cbMonat_;
    QRadioButton* RbVorDad_;
    QRadioButton* RbNachDad_;
    CivilDateEdit* DtpDad_;

    QGroupBox* gbDays_;
    QSpinBox* ebDays_;
    QLabel* lbDays_;
    QRadioButton* rbVor_;
    QRadioButton* rbNach_;
    QLabel* lbEaster_;

    QGroupBox* gbJwDate_;
    QLabel* lbJDay_;
    QComboBox* cbJDay_;
    QLabel* lbJMonth_;
    QComboBox* cbJMonth_;

    QPushButton* btnOk_;
    QPushButton* btnCancel_;
};

}  // namespace yorbel::gui
