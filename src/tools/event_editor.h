// The modal dialog that creates an event or changes one: its name, group, kind (single
// day or period) and repeat rule. It collects the values and hands them back as a
// data::EventEdit; the year window writes them into its calendar.
#pragma once

#include <QDialog>
#include <optional>

#include "calendar/dates.h"
#include "data/event_value.h"
#include "data/rule_dates.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace yorbel::gui {

struct AppContext;
class CivilDateEdit;
class YearWindowLink;

// The event editor as the year window's commands open it (the AppContext's EventEditor):
// modal, new mode without an event and edit mode on the event given. The change the user
// confirmed, none when cancelled.
std::optional<data::EventEdit> OpenEventEditor(YearWindowLink& year,
                                               const std::optional<data::EventValue>& event,
                                               const calendar::CivilDate& date);

class EventEditor : public QDialog {
    Q_OBJECT

  public:
    // event: the event to change, none for a new one. default_date fills the date pickers
    // (all three in new mode, those the rule leaves unused in edit mode).
    EventEditor(QWidget* owner, const AppContext& context, bool gregorian,
                const std::optional<data::EventValue>& event,
                const calendar::CivilDate& default_date);

    // What the controls say; meaningful once the dialog was accepted.
    data::EventEdit Value() const;

  private:
    QGroupBox* BuildKindGroup();
    QGroupBox* BuildDatesGroup();
    QGroupBox* BuildWeekdayGroup();
    QGroupBox* BuildDaysGroup();
    QGroupBox* BuildJewishGroup();
    void BuildLayout();
    void ApplyTexts();
    void FillGroups();
    void Load(const data::EventValue& event);
    void ApplyVisibility();
    data::Rule RuleOfControls() const;
    // Checks what the stored rule could not use; shows the message and returns false.
    bool Validate();
    void Confirm();
    QString Text(const char* key) const;

    const AppContext& context_;
    bool gregorian_;
    bool editMode_;
    calendar::CivilDate defaultDate_;
    // The rule the controls showed once loaded: when OK finds them still saying the same,
    // the stored texts are kept (an unreadable rule leaves the controls on defaults).
    std::optional<data::Rule> loadedRule_;

    QLabel* nameLabel_;
    QLineEdit* nameEdit_;
    QLabel* groupLabel_;
    QComboBox* groupBox_;
    QLabel* repeatLabel_;
    QComboBox* repeatKind_;
    QGroupBox* kindGroup_;
    QRadioButton* singleDayButton_;
    QRadioButton* periodButton_;
    QStackedWidget* rulePlace_;

    QGroupBox* datesGroup_;
    QLabel* fromLabel_;
    CivilDateEdit* fromDate_;
    QLabel* toLabel_;
    CivilDateEdit* toDate_;

    QGroupBox* weekdayGroup_;
    QComboBox* weekCountBox_;
    QComboBox* weekdayBox_;
    QLabel* ofMonthLabel_;
    QComboBox* monthBox_;
    QRadioButton* beforeDateButton_;
    QRadioButton* afterDateButton_;
    CivilDateEdit* referenceDate_;

    QGroupBox* daysGroup_;
    QSpinBox* dayCount_;
    QLabel* adventLabel_;
    QRadioButton* beforeEasterButton_;
    QRadioButton* afterEasterButton_;
    QLabel* easterLabel_;

    QGroupBox* jewishGroup_;
    QLabel* jewishDayLabel_;
    QComboBox* jewishDayBox_;
    QLabel* jewishMonthLabel_;
    QComboBox* jewishMonthBox_;

    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace yorbel::gui
