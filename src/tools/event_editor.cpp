#include "tools/event_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <type_traits>
#include <variant>

#include "data/events.h"
#include "data/groups.h"
#include "tools/civil_date_edit.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kEvent = "FrmEvent";
constexpr int kNameLength = 80;  // Ev_name's size
constexpr int kMaxDays = 366;
constexpr int kRuleCount = 7;

// Object names double as the language file's keys of the controls.
template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A date text's own date when it is one of the system; otherwise its day and month in
// the fallback's year (a stored year that lacks the day, such as 29 February 1999).
cal::CivilDate DateOfText(const std::string& text, int day, int month,
                          const cal::CivilDate& fallback, bool gregorian) {
    if (const auto date = cal::ParseDateText(text); date && cal::IsValidDate(*date, gregorian))
        return *date;
    return cal::CivilDate{day, month, fallback.year};
}

data::DayMonth DayMonthOf(const cal::CivilDate& date) {
    return data::DayMonth{date.day, date.month, date.year};
}

}  // namespace

std::optional<data::EventEdit> OpenEventEditor(YearWindowLink& year,
                                               const std::optional<data::EventValue>& event,
                                               const cal::CivilDate& date) {
    EventEditor editor(year.DialogParent(), year.Context(), year.Gregorian(), event, date);
    if (editor.exec() != QDialog::Accepted) return std::nullopt;
    return editor.Value();
}

EventEditor::EventEditor(QWidget* owner, const AppContext& context, bool gregorian,
                         const std::optional<data::EventValue>& event,
                         const cal::CivilDate& default_date)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      gregorian_(gregorian),
      editMode_(event.has_value()),
      defaultDate_(default_date) {
    setObjectName(QStringLiteral("FrmEvent"));
    BuildLayout();
    ApplyTexts();
    FillGroups();

    for (CivilDateEdit* picker : {fromDate_, toDate_, referenceDate_}) {
        picker->SetGregorian(gregorian_);
        picker->SetDate(defaultDate_);
    }
    if (event) {
        Load(*event);
        loadedRule_ = RuleOfControls();
    } else {
        nameEdit_->setText(Text("ebEvent"));
        nameEdit_->selectAll();
    }
    ApplyVisibility();

    connect(repeatKind_, &QComboBox::currentIndexChanged, this, &EventEditor::ApplyVisibility);
    connect(singleDayButton_, &QRadioButton::toggled, this, &EventEditor::ApplyVisibility);
    connect(okButton_, &QPushButton::clicked, this, &EventEditor::Confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    // The place below the rule is as large as its largest content, so switching the rule
    // never resizes the dialog; the dialog keeps at least its designed size (462 × 270).
    QSize page;
    for (QGroupBox* group : {datesGroup_, weekdayGroup_, daysGroup_, jewishGroup_})
        page = page.expandedTo(group->sizeHint());
    rulePlace_->setMinimumSize(page);
    setFixedSize(sizeHint().expandedTo(QSize(462, 270)));
}

// Single day or period.
QGroupBox* EventEditor::BuildKindGroup() {
    kindGroup_ = Named(new QGroupBox(this), "rbType");
    singleDayButton_ = Named(new QRadioButton(kindGroup_), "rbType_Item1");
    periodButton_ = Named(new QRadioButton(kindGroup_), "rbType_Item2");
    singleDayButton_->setChecked(true);
    auto* layout = new QHBoxLayout(kindGroup_);
    layout->addWidget(singleDayButton_);
    layout->addWidget(periodButton_);
    layout->addStretch();
    return kindGroup_;
}

// Date of a single day, or the two ends of a period.
QGroupBox* EventEditor::BuildDatesGroup() {
    datesGroup_ = Named(new QGroupBox, "GbEvTime");
    fromLabel_ = Named(new QLabel(datesGroup_), "Label4");
    fromDate_ = Named(new CivilDateEdit(datesGroup_), "DtpFrom");
    toLabel_ = Named(new QLabel(datesGroup_), "Label5");
    toDate_ = Named(new CivilDateEdit(datesGroup_), "DtpTo");
    auto* layout = new QGridLayout(datesGroup_);
    layout->addWidget(fromLabel_, 0, 0);
    layout->addWidget(fromDate_, 0, 1);
    layout->addWidget(toLabel_, 1, 0);
    layout->addWidget(toDate_, 1, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);
    return datesGroup_;
}

// Weekday of a month, or weekday before or after a day of the year.
QGroupBox* EventEditor::BuildWeekdayGroup() {
    weekdayGroup_ = Named(new QGroupBox, "gbWoMo");
    weekCountBox_ = Named(new QComboBox(weekdayGroup_), "cbWoche");
    weekdayBox_ = Named(new QComboBox(weekdayGroup_), "cbTag");
    ofMonthLabel_ = Named(new QLabel(weekdayGroup_), "Label8");
    monthBox_ = Named(new QComboBox(weekdayGroup_), "cbMonat");
    beforeDateButton_ = Named(new QRadioButton(weekdayGroup_), "RbVorDad");
    afterDateButton_ = Named(new QRadioButton(weekdayGroup_), "RbNachDad");
    afterDateButton_->setChecked(true);
    referenceDate_ = Named(new CivilDateEdit(weekdayGroup_), "DtpDad");
    auto* layout = new QGridLayout(weekdayGroup_);
    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(weekCountBox_);
    firstRow->addWidget(weekdayBox_);
    firstRow->addWidget(ofMonthLabel_);
    firstRow->addWidget(monthBox_);
    firstRow->addStretch();
    auto* secondRow = new QHBoxLayout;
    secondRow->addWidget(beforeDateButton_);
    secondRow->addWidget(afterDateButton_);
    secondRow->addWidget(referenceDate_);
    secondRow->addStretch();
    layout->addLayout(firstRow, 0, 0);
    layout->addLayout(secondRow, 1, 0);
    layout->setRowStretch(2, 1);
    return weekdayGroup_;
}

// Days before the fourth Sunday of Advent, or before or after Easter Sunday.
QGroupBox* EventEditor::BuildDaysGroup() {
    daysGroup_ = Named(new QGroupBox, "gbDays");
    dayCount_ = Named(new QSpinBox(daysGroup_), "ebDays");
    dayCount_->setRange(0, kMaxDays);
    dayCount_->setWrapping(false);
    dayCount_->setAlignment(Qt::AlignRight);
    adventLabel_ = Named(new QLabel(daysGroup_), "lbDays");
    beforeEasterButton_ = Named(new QRadioButton(daysGroup_), "rbVor");
    afterEasterButton_ = Named(new QRadioButton(daysGroup_), "rbNach");
    beforeEasterButton_->setChecked(true);
    easterLabel_ = Named(new QLabel(daysGroup_), "lbEaster");
    auto* layout = new QGridLayout(daysGroup_);
    auto* row = new QHBoxLayout;
    row->addWidget(dayCount_);
    row->addWidget(adventLabel_);
    row->addWidget(beforeEasterButton_);
    row->addWidget(afterEasterButton_);
    row->addWidget(easterLabel_);
    row->addStretch();
    layout->addLayout(row, 0, 0);
    layout->setRowStretch(1, 1);
    return daysGroup_;
}

// Day and month of the Jewish calendar.
QGroupBox* EventEditor::BuildJewishGroup() {
    jewishGroup_ = Named(new QGroupBox, "gbJwDate");
    jewishDayLabel_ = Named(new QLabel(jewishGroup_), "lbJDay");
    jewishDayBox_ = Named(new QComboBox(jewishGroup_), "cbJDay");
    for (int day = 1; day <= 30; ++day) jewishDayBox_->addItem(QString::number(day));
    jewishMonthLabel_ = Named(new QLabel(jewishGroup_), "lbJMonth");
    jewishMonthBox_ = Named(new QComboBox(jewishGroup_), "cbJMonth");
    jewishDayLabel_->setBuddy(jewishDayBox_);
    jewishMonthLabel_->setBuddy(jewishMonthBox_);
    auto* layout = new QGridLayout(jewishGroup_);
    layout->addWidget(jewishDayLabel_, 0, 0);
    layout->addWidget(jewishDayBox_, 0, 1);
    layout->addWidget(jewishMonthLabel_, 0, 2);
    layout->addWidget(jewishMonthBox_, 0, 3);
    layout->setColumnStretch(4, 1);
    layout->setRowStretch(1, 1);
    return jewishGroup_;
}

void EventEditor::BuildLayout() {
    nameLabel_ = Named(new QLabel(this), "Label1");
    nameEdit_ = Named(new QLineEdit(this), "ebEvent");
    nameEdit_->setMaxLength(kNameLength);
    nameLabel_->setBuddy(nameEdit_);
    groupLabel_ = Named(new QLabel(this), "Label2");
    groupBox_ = Named(new QComboBox(this), "DblcbGroup");
    groupBox_->setMaxVisibleItems(30);
    groupLabel_->setBuddy(groupBox_);
    repeatLabel_ = Named(new QLabel(this), "Label3");
    // A fixed list: typed text could leave no rule chosen and store an event without one.
    repeatKind_ = Named(new QComboBox(this), "cbRepeat");
    repeatKind_->setEditable(false);
    repeatLabel_->setBuddy(repeatKind_);
    QGroupBox* kind = BuildKindGroup();

    // The four rule groups share one place, so switching the rule never moves the buttons.
    rulePlace_ = Named(new QStackedWidget(this), "rulePlace");
    rulePlace_->addWidget(BuildDatesGroup());
    rulePlace_->addWidget(BuildWeekdayGroup());
    rulePlace_->addWidget(BuildDaysGroup());
    rulePlace_->addWidget(BuildJewishGroup());

    okButton_ = Named(new QPushButton(this), "btnOk");
    okButton_->setDefault(true);
    cancelButton_ = Named(new QPushButton(this), "btnCancel");

    auto* fields = new QGridLayout;
    fields->addWidget(nameLabel_, 0, 0);
    fields->addWidget(nameEdit_, 0, 1);
    fields->addWidget(groupLabel_, 1, 0);
    fields->addWidget(groupBox_, 1, 1);
    fields->addWidget(repeatLabel_, 2, 0);
    fields->addWidget(repeatKind_, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(kind, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(rulePlace_);
    main->addLayout(buttons);
}

QString EventEditor::Text(const char* key) const {
    return context_.Text(kEvent, key);
}

void EventEditor::ApplyTexts() {
    const QLocale names = NamesLocale(context_.Settings);
    weekdayBox_->clear();
    for (int weekday = 0; weekday < 7; ++weekday)
        weekdayBox_->addItem(
            names.dayName(QtDayOf(cal::WeekdayFromNumber(weekday)), QLocale::LongFormat));
    monthBox_->clear();
    for (int month = 1; month <= 12; ++month)
        monthBox_->addItem(names.standaloneMonthName(month, QLocale::LongFormat));

    setWindowTitle(Text("Caption"));
    for (QLabel* label :
         {nameLabel_, groupLabel_, repeatLabel_, fromLabel_, toLabel_, ofMonthLabel_, adventLabel_,
          easterLabel_, jewishDayLabel_, jewishMonthLabel_})
        label->setText(Text(label->objectName().toLatin1().constData()));
    for (QGroupBox* group : {datesGroup_, weekdayGroup_, daysGroup_, jewishGroup_, kindGroup_})
        group->setTitle(Text(group->objectName().toLatin1().constData()));
    for (QRadioButton* button : {beforeEasterButton_, afterEasterButton_, beforeDateButton_,
                                 afterDateButton_, singleDayButton_, periodButton_})
        button->setText(Text(button->objectName().toLatin1().constData()));
    okButton_->setText(Text("btnOk"));
    cancelButton_->setText(Text("btnCancel"));

    weekCountBox_->clear();
    for (int i = 1; i <= 5; ++i)
        weekCountBox_->addItem(Text(("cbWoche_Item" + std::to_string(i)).c_str()));
    repeatKind_->clear();
    for (int i = 1; i <= kRuleCount; ++i)
        repeatKind_->addItem(Text(("cbRepeat_Item" + std::to_string(i)).c_str()));
    // Each item carries its stored month code; the Adar of Purim follows Adar in the list.
    jewishMonthBox_->clear();
    const auto add_month = [this](int code) {
        jewishMonthBox_->addItem(context_.Text("Misc", "JwMo_" + std::to_string(code)), code);
    };
    for (int code = 1; code <= 12; ++code) {
        add_month(code);
        if (code == 6) add_month(data::kJewishLaterAdar);
    }
}

// The groups in the groups table's current order, each keyed by its Gp_no; new mode
// starts on the table's current row.
void EventEditor::FillGroups() {
    groupBox_->clear();
    if (!context_.Groups) return;
    const data::Table& groups = context_.Groups->CdsGroups();
    for (int position = 0; position < groups.RecordCount(); ++position) {
        const data::Value no = groups.ValueAt(position, data::Gp_no);
        const data::Value name = groups.ValueAt(position, data::Gp_name);
        if (!std::holds_alternative<std::int32_t>(no)) continue;
        const QString text = std::holds_alternative<std::string>(name)
                                 ? QString::fromStdString(std::get<std::string>(name))
                                 : QString();
        groupBox_->addItem(text, std::get<std::int32_t>(no));
    }
    groupBox_->setCurrentIndex(-1);
    if (!editMode_ && groups.Position() >= 0 && !groups.IsNull(data::Gp_no))
        groupBox_->setCurrentIndex(groupBox_->findData(groups.AsInteger(data::Gp_no)));
}

void EventEditor::Load(const data::EventValue& event) {
    nameEdit_->setText(QString::fromStdString(event.name));
    if (event.group) groupBox_->setCurrentIndex(groupBox_->findData(*event.group));
    const data::RuleTexts& texts = event.rule;
    repeatKind_->setCurrentIndex(texts.repeat >= 0 && texts.repeat < kRuleCount ? texts.repeat : 0);
    (texts.type == 0 ? singleDayButton_ : periodButton_)->setChecked(true);

    // A rule the generator cannot read leaves the controls on their defaults; its texts
    // are kept unless the user changes the rule.
    const std::string to = texts.to.value_or(std::string());
    const data::Checked<data::Rule> rule =
        data::ParseRule(texts.type, texts.repeat, texts.from, to, gregorian_);
    if (!rule.ok()) return;
    std::visit(
        [&](const auto& r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, data::PeriodRule>) {
                fromDate_->SetDate(r.first);
                toDate_->SetDate(r.last);
            } else if constexpr (std::is_same_v<R, data::OnceRule>) {
                fromDate_->SetDate(r.date);
            } else if constexpr (std::is_same_v<R, data::YearlyRule>) {
                // Shown in the year it was entered in.
                fromDate_->SetDate(
                    DateOfText(texts.from, r.date.day, r.date.month, defaultDate_, gregorian_));
            } else if constexpr (std::is_same_v<R, data::WeekOfMonthRule>) {
                weekdayBox_->setCurrentIndex(r.weekday);
                weekCountBox_->setCurrentIndex(r.count - 1);
                monthBox_->setCurrentIndex(r.month - 1);
            } else if constexpr (std::is_same_v<R, data::EasterRule>) {
                (r.offset > 0 ? afterEasterButton_ : beforeEasterButton_)->setChecked(true);
                dayCount_->setValue(r.offset > 0 ? r.offset : -r.offset);
            } else if constexpr (std::is_same_v<R, data::AdventRule>) {
                dayCount_->setValue(r.count);
            } else if constexpr (std::is_same_v<R, data::NearDateRule>) {
                weekdayBox_->setCurrentIndex(r.weekday);
                weekCountBox_->setCurrentIndex(r.count - 1);
                (r.after ? afterDateButton_ : beforeDateButton_)->setChecked(true);
                referenceDate_->SetDate(
                    DateOfText(to, r.reference.day, r.reference.month, defaultDate_, gregorian_));
            } else if constexpr (std::is_same_v<R, data::JewishRule>) {
                jewishDayBox_->setCurrentIndex(r.day - 1);
                jewishMonthBox_->setCurrentIndex(jewishMonthBox_->findData(r.month));
            }
        },
        rule.value());
}

void EventEditor::ApplyVisibility() {
    const bool period = periodButton_->isChecked();
    const int rule = repeatKind_->currentIndex();
    repeatKind_->setEnabled(!period);
    repeatLabel_->setEnabled(!period);
    if (period) {
        rulePlace_->setCurrentWidget(datesGroup_);
        toLabel_->setVisible(true);
        toDate_->setVisible(true);
        return;
    }
    switch (rule) {
        case data::RepeatNone:
        case data::RepeatYearly:
            rulePlace_->setCurrentWidget(datesGroup_);
            toLabel_->setVisible(false);
            toDate_->setVisible(false);
            break;
        case data::RepeatWeekOfMonth:
        case data::RepeatNearDate: {
            rulePlace_->setCurrentWidget(weekdayGroup_);
            const bool near = rule == data::RepeatNearDate;
            ofMonthLabel_->setVisible(!near);
            monthBox_->setVisible(!near);
            referenceDate_->setVisible(near);
            beforeDateButton_->setVisible(near);
            afterDateButton_->setVisible(near);
            break;
        }
        case data::RepeatEaster:
        case data::RepeatAdvent: {
            rulePlace_->setCurrentWidget(daysGroup_);
            const bool easter = rule == data::RepeatEaster;
            // The Advent caption names its own reference day; Easter's takes its place.
            adventLabel_->setVisible(!easter);
            easterLabel_->setVisible(easter);
            beforeEasterButton_->setVisible(easter);
            afterEasterButton_->setVisible(easter);
            break;
        }
        case data::RepeatJewish:
            rulePlace_->setCurrentWidget(jewishGroup_);
            break;
        default:
            break;
    }
}

data::Rule EventEditor::RuleOfControls() const {
    if (periodButton_->isChecked()) return data::PeriodRule{fromDate_->Date(), toDate_->Date()};
    const int weekday = weekdayBox_->currentIndex();
    const int count = weekCountBox_->currentIndex() + 1;
    switch (repeatKind_->currentIndex()) {
        case data::RepeatYearly:
            return data::YearlyRule{DayMonthOf(fromDate_->Date())};
        case data::RepeatWeekOfMonth:
            return data::WeekOfMonthRule{weekday, count, monthBox_->currentIndex() + 1};
        case data::RepeatEaster:
            return data::EasterRule{beforeEasterButton_->isChecked() ? -dayCount_->value()
                                                                     : dayCount_->value()};
        case data::RepeatAdvent:
            return data::AdventRule{dayCount_->value()};
        case data::RepeatNearDate:
            return data::NearDateRule{weekday, count, afterDateButton_->isChecked(),
                                      DayMonthOf(referenceDate_->Date())};
        case data::RepeatJewish:
            return data::JewishRule{jewishMonthBox_->currentData().toInt(),
                                    jewishDayBox_->currentIndex() + 1};
        default:
            return data::OnceRule{fromDate_->Date()};
    }
}

data::EventEdit EventEditor::Value() const {
    data::EventEdit edit;
    edit.name = nameEdit_->text().toStdString();
    if (groupBox_->currentIndex() >= 0) edit.group = groupBox_->currentData().toInt();
    data::Rule rule = RuleOfControls();
    if (!loadedRule_ || rule != *loadedRule_) edit.rule = std::move(rule);
    return edit;
}

bool EventEditor::Validate() {
    const bool period = periodButton_->isChecked();
    const int rule = repeatKind_->currentIndex();
    if (!period && (rule == data::RepeatEaster || rule == data::RepeatAdvent) &&
        !dayCount_->hasAcceptableInput()) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), Text("DaysOutOfRange"));
        dayCount_->setFocus();
        return false;
    }
    // Stored as it is, such a period would have no day at all.
    if (period && cal::DayNumberOf(toDate_->Date(), gregorian_) <
                      cal::DayNumberOf(fromDate_->Date(), gregorian_)) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), Text("PeriodEndBeforeStart"));
        toDate_->setFocus();
        return false;
    }
    return true;
}

void EventEditor::Confirm() {
    if (Validate()) accept();
}

}  // namespace yorbel::gui
