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
#include <cstdio>
#include <type_traits>
#include <variant>

#include "ui/app_context.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/rule_dates.h"
#include "tools/civil_date_edit.h"
#include "ui/day_facts_text.h"
#include "ui/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kEvent = "FrmEvent";
constexpr int kNameLength = 80;  // Ev_name's size
constexpr int kMaxDays = 366;
constexpr int kRuleCount = 7;

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// A date text's own date when it is one of the system; otherwise its day and month in
// the fallback's year (a stored year that lacks the day, such as 29 February 1999).
cal::CivilDate DateOfText(const std::string& text, int day, int month,
                          const cal::CivilDate& fallback, bool gregorian) {
    if (const auto date = cal::ParseDateText(text); date && cal::IsValidDate(*date, gregorian))
        return *date;
    return cal::CivilDate{day, month, fallback.year};
}

}  // namespace

bool OpenEventEditor(YearWindowLink& year, std::optional<int> ev_no, const cal::CivilDate& date) {
    TFrmEvent editor(year.Widget(), year.Context(), year.Calendar().CdsEvents(), year.Gregorian(),
                     ev_no.has_value(), date);
    return editor.exec() == QDialog::Accepted;
}

TFrmEvent::TFrmEvent(QWidget* owner, const AppContext& context, data::Table& events, bool gregorian,
                     bool edit_mode, const cal::CivilDate& default_date)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      events_(events),
      gregorian_(gregorian),
      editMode_(edit_mode),
      defaultDate_(default_date) {
    setObjectName(QStringLiteral("FrmEvent"));
    BuildControls();
    ApplyTexts();
    FillGroups();

    for (CivilDateEdit* picker : {DtpFrom_, DtpTo_, DtpDad_}) {
        picker->SetGregorian(gregorian_);
        picker->SetDate(defaultDate_);
    }
    if (editMode_) {
        LoadRow();
        loadedRule_ = EncodeRule();
    } else {
        ebEvent_->setText(Text("ebEvent"));
        ebEvent_->selectAll();
    }
    ApplyVisibility();

    connect(cbRepeat_, &QComboBox::currentIndexChanged, this, &TFrmEvent::ApplyVisibility);
    connect(rbTypeDay_, &QRadioButton::toggled, this, &TFrmEvent::ApplyVisibility);
    connect(btnOk_, &QPushButton::clicked, this, &TFrmEvent::btnOkClick);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    // The place below the rule is as large as its largest content, so switching the rule
    // never resizes the dialog; the dialog keeps at least its designed size (462 × 270).
    QSize page;
    for (QGroupBox* group : {GbEvTime_, gbWoMo_, gbDays_, gbJwDate_})
        page = page.expandedTo(group->sizeHint());
    rulePlace_->setMinimumSize(page);
    setFixedSize(sizeHint().expandedTo(QSize(462, 270)));
}

void TFrmEvent::BuildControls() {
    Label1_ = Named(new QLabel(this), "Label1");
    ebEvent_ = Named(new QLineEdit(this), "ebEvent");
    ebEvent_->setMaxLength(kNameLength);
    Label1_->setBuddy(ebEvent_);
    Label2_ = Named(new QLabel(this), "Label2");
    DblcbGroup_ = Named(new QComboBox(this), "DblcbGroup");
    DblcbGroup_->setMaxVisibleItems(30);
    Label2_->setBuddy(DblcbGroup_);
    Label3_ = Named(new QLabel(this), "Label3");
    // A fixed list: typed text could leave no rule chosen and store an event without one.
    cbRepeat_ = Named(new QComboBox(this), "cbRepeat");
    cbRepeat_->setEditable(false);
    Label3_->setBuddy(cbRepeat_);

    rbType_ = Named(new QGroupBox(this), "rbType");
    rbTypeDay_ = Named(new QRadioButton(rbType_), "rbType_Item1");
    rbTypePeriod_ = Named(new QRadioButton(rbType_), "rbType_Item2");
    rbTypeDay_->setChecked(true);
    auto* typeLayout = new QHBoxLayout(rbType_);
    typeLayout->addWidget(rbTypeDay_);
    typeLayout->addWidget(rbTypePeriod_);
    typeLayout->addStretch();

    // Date of a single day, or the two ends of a period.
    GbEvTime_ = Named(new QGroupBox, "GbEvTime");
    Label4_ = Named(new QLabel(GbEvTime_), "Label4");
    DtpFrom_ = Named(new CivilDateEdit(GbEvTime_), "DtpFrom");
    Label5_ = Named(new QLabel(GbEvTime_), "Label5");
    DtpTo_ = Named(new CivilDateEdit(GbEvTime_), "DtpTo");
    auto* timeLayout = new QGridLayout(GbEvTime_);
    timeLayout->addWidget(Label4_, 0, 0);
    timeLayout->addWidget(DtpFrom_, 0, 1);
    timeLayout->addWidget(Label5_, 1, 0);
    timeLayout->addWidget(DtpTo_, 1, 1);
    timeLayout->setColumnStretch(2, 1);
    timeLayout->setRowStretch(2, 1);

    // Weekday of a month, or weekday before or after a day of the year.
    gbWoMo_ = Named(new QGroupBox, "gbWoMo");
    cbWoche_ = Named(new QComboBox(gbWoMo_), "cbWoche");
    cbTag_ = Named(new QComboBox(gbWoMo_), "cbTag");
    Label8_ = Named(new QLabel(gbWoMo_), "Label8");
    cbMonat_ = Named(new QComboBox(gbWoMo_), "cbMonat");
    RbVorDad_ = Named(new QRadioButton(gbWoMo_), "RbVorDad");
    RbNachDad_ = Named(new QRadioButton(gbWoMo_), "RbNachDad");
    RbNachDad_->setChecked(true);
    DtpDad_ = Named(new CivilDateEdit(gbWoMo_), "DtpDad");
    auto* woMoLayout = new QGridLayout(gbWoMo_);
    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(cbWoche_);
    firstRow->addWidget(cbTag_);
    firstRow->addWidget(Label8_);
    firstRow->addWidget(cbMonat_);
    firstRow->addStretch();
    auto* secondRow = new QHBoxLayout;
    secondRow->addWidget(RbVorDad_);
    secondRow->addWidget(RbNachDad_);
    secondRow->addWidget(DtpDad_);
    secondRow->addStretch();
    woMoLayout->addLayout(firstRow, 0, 0);
    woMoLayout->addLayout(secondRow, 1, 0);
    woMoLayout->setRowStretch(2, 1);

    // Days before the fourth Sunday of Advent, or before or after Easter Sunday.
    gbDays_ = Named(new QGroupBox, "gbDays");
    ebDays_ = Named(new QSpinBox(gbDays_), "ebDays");
    ebDays_->setRange(0, kMaxDays);
    ebDays_->setWrapping(false);
    ebDays_->setAlignment(Qt::AlignRight);
    lbDays_ = Named(new QLabel(gbDays_), "lbDays");
    rbVor_ = Named(new QRadioButton(gbDays_), "rbVor");
    rbNach_ = Named(new QRadioButton(gbDays_), "rbNach");
    rbVor_->setChecked(true);
    lbEaster_ = Named(new QLabel(gbDays_), "lbEaster");
    auto* daysLayout = new QGridLayout(gbDays_);
    auto* daysRow = new QHBoxLayout;
    daysRow->addWidget(ebDays_);
    daysRow->addWidget(lbDays_);
    daysRow->addWidget(rbVor_);
    daysRow->addWidget(rbNach_);
    daysRow->addWidget(lbEaster_);
    daysRow->addStretch();
    daysLayout->addLayout(daysRow, 0, 0);
    daysLayout->setRowStretch(1, 1);

    // Day and month of the Jewish calendar.
    gbJwDate_ = Named(new QGroupBox, "gbJwDate");
    lbJDay_ = Named(new QLabel(gbJwDate_), "lbJDay");
    cbJDay_ = Named(new QComboBox(gbJwDate_), "cbJDay");
    for (int day = 1; day <= 30; ++day) cbJDay_->addItem(QString::number(day));
    lbJMonth_ = Named(new QLabel(gbJwDate_), "lbJMonth");
    cbJMonth_ = Named(new QComboBox(gbJwDate_), "cbJMonth");
    lbJDay_->setBuddy(cbJDay_);
    lbJMonth_->setBuddy(cbJMonth_);
    auto* jwLayout = new QGridLayout(gbJwDate_);
    jwLayout->addWidget(lbJDay_, 0, 0);
    jwLayout->addWidget(cbJDay_, 0, 1);
    jwLayout->addWidget(lbJMonth_, 0, 2);
    jwLayout->addWidget(cbJMonth_, 0, 3);
    jwLayout->setColumnStretch(4, 1);
    jwLayout->setRowStretch(1, 1);

    // The four groups share one place, so switching the rule never moves the buttons.
    rulePlace_ = Named(new QStackedWidget(this), "rulePlace");
    for (QGroupBox* group : {GbEvTime_, gbWoMo_, gbDays_, gbJwDate_}) rulePlace_->addWidget(group);

    btnOk_ = Named(new QPushButton(this), "btnOk");
    btnOk_->setDefault(true);
    btnCancel_ = Named(new QPushButton(this), "btnCancel");

    auto* fields = new QGridLayout;
    fields->addWidget(Label1_, 0, 0);
    fields->addWidget(ebEvent_, 0, 1);
    fields->addWidget(Label2_, 1, 0);
    fields->addWidget(DblcbGroup_, 1, 1);
    fields->addWidget(Label3_, 2, 0);
    fields->addWidget(cbRepeat_, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(rbType_, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk_);
    buttons->addWidget(btnCancel_);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(rulePlace_);
    main->addLayout(buttons);
}

QString TFrmEvent::Text(const char* key) const {
    return context_.Text(kEvent, key);
}

void TFrmEvent::ApplyTexts() {
    const QLocale names = NamesLocale(context_.Settings);
    cbTag_->clear();
    for (int weekday = 0; weekday < 7; ++weekday)
        cbTag_->addItem(
            names.dayName(QtDayOf(cal::WeekdayFromNumber(weekday)), QLocale::LongFormat));
    cbMonat_->clear();
    for (int month = 1; month <= 12; ++month)
        cbMonat_->addItem(names.standaloneMonthName(month, QLocale::LongFormat));

    setWindowTitle(Text("Caption"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label1_, Label2_, Label3_, Label4_, Label5_, Label8_,
                                         lbDays_, lbEaster_, lbJDay_, lbJMonth_}) {
        static_cast<QLabel*>(w)->setText(Text(w->objectName().toLatin1().constData()));
    }
    for (QGroupBox* g : {GbEvTime_, gbWoMo_, gbDays_, gbJwDate_, rbType_})
        g->setTitle(Text(g->objectName().toLatin1().constData()));
    for (QRadioButton* r : {rbVor_, rbNach_, RbVorDad_, RbNachDad_})
        r->setText(Text(r->objectName().toLatin1().constData()));
    btnOk_->setText(Text("btnOk"));
    btnCancel_->setText(Text("btnCancel"));

    cbWoche_->clear();
    for (int i = 1; i <= 5; ++i)
        cbWoche_->addItem(Text(("cbWoche_Item" + std::to_string(i)).c_str()));
    rbTypeDay_->setText(Text("rbType_Item1"));
    rbTypePeriod_->setText(Text("rbType_Item2"));
    cbRepeat_->clear();
    for (int i = 1; i <= kRuleCount; ++i)
        cbRepeat_->addItem(Text(("cbRepeat_Item" + std::to_string(i)).c_str()));
    // Each item carries its stored month code; the Adar of Purim follows Adar in the list.
    cbJMonth_->clear();
    const auto add_month = [this](int code) {
        cbJMonth_->addItem(context_.Text("Misc", "JwMo_" + std::to_string(code)), code);
    };
    for (int code = 1; code <= 12; ++code) {
        add_month(code);
        if (code == 6) add_month(data::kJewishLaterAdar);
    }
}

// The groups in the groups table's current order, each keyed by its Gp_no; new mode
// starts on the table's current row.
void TFrmEvent::FillGroups() {
    DblcbGroup_->clear();
    if (!context_.Groups) return;
    const data::Table& groups = context_.Groups->CdsGroups();
    for (int position = 0; position < groups.RecordCount(); ++position) {
        const data::Value no = groups.ValueAt(position, data::Gp_no);
        const data::Value name = groups.ValueAt(position, data::Gp_name);
        if (!std::holds_alternative<std::int32_t>(no)) continue;
        const QString text = std::holds_alternative<std::string>(name)
                                 ? QString::fromStdString(std::get<std::string>(name))
                                 : QString();
        DblcbGroup_->addItem(text, std::get<std::int32_t>(no));
    }
    DblcbGroup_->setCurrentIndex(-1);
    if (!editMode_ && groups.Position() >= 0 && !groups.IsNull(data::Gp_no))
        DblcbGroup_->setCurrentIndex(DblcbGroup_->findData(groups.AsInteger(data::Gp_no)));
}

void TFrmEvent::LoadRow() {
    ebEvent_->setText(QString::fromStdString(events_.AsText(data::Ev_name)));
    if (!events_.IsNull(data::Ev_gp_no))
        DblcbGroup_->setCurrentIndex(DblcbGroup_->findData(events_.AsInteger(data::Ev_gp_no)));
    const int type = events_.IsNull(data::Ev_Type) ? 0 : events_.AsInteger(data::Ev_Type);
    const int repeat = events_.IsNull(data::Ev_repeat) ? 0 : events_.AsInteger(data::Ev_repeat);
    cbRepeat_->setCurrentIndex(repeat >= 0 && repeat < kRuleCount ? repeat : 0);
    (type == 0 ? rbTypeDay_ : rbTypePeriod_)->setChecked(true);

    const std::string from = events_.AsText(data::Ev_from);
    const std::string to = events_.AsText(data::Ev_to);
    // A rule the generator cannot read leaves the controls on their defaults; its texts
    // are kept unless the user changes the rule.
    const data::Checked<data::Rule> rule = data::ParseRule(type, repeat, from, to, gregorian_);
    if (!rule.ok()) return;
    std::visit(
        [&](const auto& r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, data::PeriodRule>) {
                DtpFrom_->SetDate(r.first);
                DtpTo_->SetDate(r.last);
            } else if constexpr (std::is_same_v<R, data::OnceRule>) {
                DtpFrom_->SetDate(r.date);
            } else if constexpr (std::is_same_v<R, data::YearlyRule>) {
                // Shown in the year it was entered in.
                DtpFrom_->SetDate(
                    DateOfText(from, r.date.day, r.date.month, defaultDate_, gregorian_));
            } else if constexpr (std::is_same_v<R, data::WeekOfMonthRule>) {
                cbTag_->setCurrentIndex(r.weekday);
                cbWoche_->setCurrentIndex(r.count - 1);
                cbMonat_->setCurrentIndex(r.month - 1);
            } else if constexpr (std::is_same_v<R, data::EasterRule>) {
                (r.offset > 0 ? rbNach_ : rbVor_)->setChecked(true);
                ebDays_->setValue(r.offset > 0 ? r.offset : -r.offset);
            } else if constexpr (std::is_same_v<R, data::AdventRule>) {
                ebDays_->setValue(r.count);
            } else if constexpr (std::is_same_v<R, data::NearDateRule>) {
                cbTag_->setCurrentIndex(r.weekday);
                cbWoche_->setCurrentIndex(r.count - 1);
                (r.after ? RbNachDad_ : RbVorDad_)->setChecked(true);
                DtpDad_->SetDate(
                    DateOfText(to, r.reference.day, r.reference.month, defaultDate_, gregorian_));
            } else if constexpr (std::is_same_v<R, data::JewishRule>) {
                cbJDay_->setCurrentIndex(r.day - 1);
                cbJMonth_->setCurrentIndex(cbJMonth_->findData(r.month));
            }
        },
        rule.value());
}

void TFrmEvent::ApplyVisibility() {
    const bool period = rbTypePeriod_->isChecked();
    const int rule = cbRepeat_->currentIndex();
    cbRepeat_->setEnabled(!period);
    Label3_->setEnabled(!period);
    if (period) {
        rulePlace_->setCurrentWidget(GbEvTime_);
        Label5_->setVisible(true);
        DtpTo_->setVisible(true);
        return;
    }
    switch (rule) {
        case data::RepeatNone:
        case data::RepeatYearly:
            rulePlace_->setCurrentWidget(GbEvTime_);
            Label5_->setVisible(false);
            DtpTo_->setVisible(false);
            break;
        case data::RepeatWeekOfMonth:
        case data::RepeatNearDate: {
            rulePlace_->setCurrentWidget(gbWoMo_);
            const bool near = rule == data::RepeatNearDate;
            Label8_->setVisible(!near);
            cbMonat_->setVisible(!near);
            DtpDad_->setVisible(near);
            RbVorDad_->setVisible(near);
            RbNachDad_->setVisible(near);
            break;
        }
        case data::RepeatEaster:
        case data::RepeatAdvent: {
            rulePlace_->setCurrentWidget(gbDays_);
            const bool easter = rule == data::RepeatEaster;
            // The Advent caption names its own reference day; Easter's takes its place.
            lbDays_->setVisible(!easter);
            lbEaster_->setVisible(easter);
            rbVor_->setVisible(easter);
            rbNach_->setVisible(easter);
            break;
        }
        case data::RepeatJewish:
            rulePlace_->setCurrentWidget(gbJwDate_);
            break;
        default:
            break;
    }
}

TFrmEvent::RuleTexts TFrmEvent::EncodeRule() const {
    RuleTexts t;
    t.type = rbTypePeriod_->isChecked() ? 1 : 0;
    t.repeat = cbRepeat_->currentIndex();
    if (t.type != 0) {
        t.from = cal::DateText(DtpFrom_->Date());
        t.to = cal::DateText(DtpTo_->Date());
        return t;
    }
    switch (t.repeat) {
        case data::RepeatNone:
        case data::RepeatYearly:
            t.from = cal::DateText(DtpFrom_->Date());
            break;
        case data::RepeatWeekOfMonth:
            t.from = TwoDigits(cbTag_->currentIndex()) + TwoDigits(cbWoche_->currentIndex() + 1) +
                     TwoDigits(cbMonat_->currentIndex() + 1);
            break;
        case data::RepeatEaster:
            t.from = std::to_string(ebDays_->value());
            if (rbVor_->isChecked()) t.from.insert(0, 1, '-');
            break;
        case data::RepeatAdvent:
            t.from = std::to_string(ebDays_->value());
            break;
        case data::RepeatNearDate:
            t.from = TwoDigits(cbTag_->currentIndex()) + TwoDigits(cbWoche_->currentIndex() + 1) +
                     (RbVorDad_->isChecked() ? "00" : "01");
            t.to = cal::DateText(DtpDad_->Date());
            break;
        case data::RepeatJewish:
            t.from = TwoDigits(cbJMonth_->currentData().toInt()) +
                     TwoDigits(cbJDay_->currentIndex() + 1);
            break;
        default:
            break;
    }
    return t;
}

bool TFrmEvent::Validate() {
    const bool period = rbTypePeriod_->isChecked();
    const int rule = cbRepeat_->currentIndex();
    if (!period && (rule == data::RepeatEaster || rule == data::RepeatAdvent) &&
        !ebDays_->hasAcceptableInput()) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), Text("DaysOutOfRange"));
        ebDays_->setFocus();
        return false;
    }
    // Stored as it is, such a period would have no day at all.
    if (period && cal::DayNumberOf(DtpTo_->Date(), gregorian_) <
                      cal::DayNumberOf(DtpFrom_->Date(), gregorian_)) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), Text("PeriodEndBeforeStart"));
        DtpTo_->setFocus();
        return false;
    }
    return true;
}

void TFrmEvent::btnOkClick() {
    if (!Validate()) return;
    const RuleTexts rule = EncodeRule();
    try {
        if (editMode_) {
            events_.Edit();
        } else {
            events_.Append();
        }
        events_.SetText(data::Ev_name, ebEvent_->text().toStdString());
        // An edited event whose group is not in the groups table keeps its number.
        if (DblcbGroup_->currentIndex() >= 0) {
            events_.SetInteger(data::Ev_gp_no, DblcbGroup_->currentData().toInt());
        } else if (!editMode_) {
            events_.SetNull(data::Ev_gp_no);
        }
        if (!loadedRule_ || rule != *loadedRule_) {
            events_.SetInteger(data::Ev_Type, rule.type);
            events_.SetInteger(data::Ev_repeat, rule.repeat);
            events_.SetText(data::Ev_from, rule.from);
            if (rule.to) events_.SetText(data::Ev_to, *rule.to);
        }
    } catch (const data::Error& error) {
        events_.Cancel();
        context_.Ui->Tell(this, QMessageBox::Critical, windowTitle(), context_.ErrorText(error));
        return;
    }
    // The row stays pending: the generation that follows commits it.
    accept();
}

}  // namespace yorbel::gui
