#include "tools/day_calculator.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <variant>

#include "data/day_count.h"
#include "data/groups.h"
#include "tools/civil_date_edit.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kCalc = "FrmDayCalc";

QListWidget* KeyedList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

std::vector<int> Keys(const QListWidget& list) {
    std::vector<int> keys;
    for (int row = 0; row < list.count(); ++row)
        keys.push_back(list.item(row)->data(Qt::UserRole).toInt());
    return keys;
}

}  // namespace

DayCalculatorDialog::DayCalculatorDialog(YearWindowLink& year)
    : QDialog(year.DialogParent()), year_(year) {
    setObjectName(QStringLiteral("FrmDayCalc"));
    const AppContext& context = year.Context();
    auto text = [&](const char* key) { return context.Text(kCalc, key); };
    setWindowTitle(text("Caption"));

    // The period and the result, always shown.
    auto* period = new QGroupBox(text("gbCalc"), this);
    period->setObjectName(QStringLiteral("gbCalc"));
    from_ = new CivilDateEdit(period);
    from_->setObjectName(QStringLiteral("dtpFrom"));
    to_ = new CivilDateEdit(period);
    to_->setObjectName(QStringLiteral("dtpTo"));
    for (CivilDateEdit* edit : {from_, to_}) edit->SetGregorian(year.Gregorian());
    from_->SetDate({1, 1, year.ShownYear()});
    to_->SetDate({31, 12, year.ShownYear()});
    auto* periodLayout = new QGridLayout(period);
    periodLayout->addWidget(new QLabel(text("Label1"), period), 0, 0);
    periodLayout->addWidget(from_, 0, 1);
    periodLayout->addWidget(new QLabel(text("Label2"), period), 1, 0);
    periodLayout->addWidget(to_, 1, 1);

    auto* resultBox = new QGroupBox(text("gbResult"), this);
    resultBox->setObjectName(QStringLiteral("gbResult"));
    result_ = new QLabel(resultBox);
    result_->setObjectName(QStringLiteral("lbResult"));
    QFont bold = result_->font();
    bold.setBold(true);
    result_->setFont(bold);
    combined_ = new QLabel(resultBox);
    combined_->setObjectName(QStringLiteral("lbSubResult3"));
    auto* resultLayout = new QVBoxLayout(resultBox);
    resultLayout->addWidget(result_);
    resultLayout->addWidget(combined_);

    calc_ = new QPushButton(text("btnCalc"), this);
    calc_->setObjectName(QStringLiteral("btnCalc"));
    calc_->setDefault(true);
    auto* close = new QPushButton(text("btnClose"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    optionsButton_ = new QPushButton(this);
    optionsButton_->setObjectName(QStringLiteral("btnOptions"));
    connect(calc_, &QPushButton::clicked, this, &DayCalculatorDialog::Calculate);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(optionsButton_, &QPushButton::clicked, this, &DayCalculatorDialog::ToggleOptions);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(calc_);
    buttons->addWidget(close);
    auto* main = new QVBoxLayout;
    main->addWidget(period);
    main->addWidget(resultBox);
    main->addLayout(buttons);
    main->addWidget(optionsButton_);
    main->addStretch();

    // The options panel: what counts, what does not, and how the two combine.
    options_ = new QWidget(this);
    auto side = [&](const char* box_key, const char* weekdays, const char* groups) {
        auto* box = new QGroupBox(text(box_key), options_);
        box->setObjectName(QLatin1String(box_key));
        Side lists{KeyedList(weekdays, box), KeyedList(groups, box)};
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(new QLabel(text("Label3"), box));
        layout->addWidget(lists.weekdays);
        layout->addWidget(new QLabel(text("Label4"), box));
        layout->addWidget(lists.groups);
        return std::pair{box, lists};
    };
    auto [countBox, count] = side("gbCount", "lbCntWkDays", "lbCntGrps");
    auto [dontCountBox, dontCount] = side("gbDontCount", "lbNoCntWkDays", "lbNoCntGrps");
    count_ = count;
    dontCount_ = dontCount;

    const QLocale names = NamesLocale(context.Settings);
    for (int weekday = 0; weekday < 7; ++weekday) {  // Sunday first; Qt counts Monday 1 … Sunday 7
        auto* item =
            new QListWidgetItem(names.dayName(weekday == 0 ? 7 : weekday, QLocale::LongFormat));
        item->setData(Qt::UserRole, weekday);
        count_.weekdays->addItem(item);
    }
    if (context.Groups) {
        const data::Table& groups = context.Groups->CdsGroups();
        for (int position = 0; position < groups.RecordCount(); ++position) {
            const data::Value no = groups.ValueAt(position, data::Gp_no);
            const data::Value name = groups.ValueAt(position, data::Gp_name);
            if (!std::holds_alternative<std::int32_t>(no)) continue;
            auto* item =
                new QListWidgetItem(std::holds_alternative<std::string>(name)
                                        ? QString::fromStdString(std::get<std::string>(name))
                                        : QString());
            item->setData(Qt::UserRole, std::get<std::int32_t>(no));
            count_.groups->addItem(item);
        }
    }

    auto moveButton = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(QLatin1String(caption), options_);
        button->setObjectName(QLatin1String(name));
        button->setEnabled(false);
        return button;
    };
    hideAll_ = moveButton("btnHideAll", ">>");
    hide_ = moveButton("btnHide", ">");
    show_ = moveButton("btnShow", "<");
    showAll_ = moveButton("btnShowAll", "<<");
    connect(hide_, &QPushButton::clicked, this, [this] { Move(count_, dontCount_, false); });
    connect(hideAll_, &QPushButton::clicked, this, [this] { Move(count_, dontCount_, true); });
    connect(show_, &QPushButton::clicked, this, [this] { Move(dontCount_, count_, false); });
    connect(showAll_, &QPushButton::clicked, this, [this] { Move(dontCount_, count_, true); });
    // A click in one list of a side clears the other list's selection of that side.
    for (auto [one, other] : {std::pair{count_.weekdays, count_.groups},
                              {count_.groups, count_.weekdays},
                              {dontCount_.weekdays, dontCount_.groups},
                              {dontCount_.groups, dontCount_.weekdays}}) {
        connect(one, &QListWidget::itemPressed, this, [this, other = other] {
            other->clearSelection();
            other->setCurrentRow(-1);
            UpdateMoveButtons();
        });
    }
    for (QListWidget* list : {count_.weekdays, count_.groups})
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this] { Move(count_, dontCount_, false); });
    for (QListWidget* list : {dontCount_.weekdays, dontCount_.groups})
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this] { Move(dontCount_, count_, false); });

    or_ = new QRadioButton(text("rbOr"), options_);
    or_->setObjectName(QStringLiteral("rbOr"));
    or_->setChecked(true);
    and_ = new QRadioButton(text("rbAnd"), options_);
    and_->setObjectName(QStringLiteral("rbAnd"));
    not_ = new QCheckBox(text("cbNot"), options_);
    not_->setObjectName(QStringLiteral("cbNot"));
    not_->setEnabled(false);
    connect(or_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) not_->setChecked(false);
        not_->setEnabled(!on);
        ResetResult();
    });
    connect(not_, &QCheckBox::toggled, this, &DayCalculatorDialog::ResetResult);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* button : {hideAll_, hide_, show_, showAll_}) moves->addWidget(button);
    moves->addStretch();
    auto* mode = new QHBoxLayout;
    mode->addWidget(or_);
    mode->addWidget(and_);
    mode->addWidget(not_);
    mode->addStretch();
    auto* optionsLayout = new QGridLayout(options_);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    optionsLayout->addWidget(countBox, 0, 0);
    optionsLayout->addLayout(moves, 0, 1);
    optionsLayout->addWidget(dontCountBox, 0, 2);
    optionsLayout->addLayout(mode, 1, 0, 1, 3);
    options_->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(main);
    layout->addWidget(options_);
    optionsButton_->setText(text("btnOptions") + QStringLiteral(" >>"));
    for (CivilDateEdit* edit : {from_, to_})
        connect(edit, &CivilDateEdit::dateChanged, this, &DayCalculatorDialog::ResetResult);
    ResetResult();
}

void DayCalculatorDialog::ResetResult() {
    calc_->setEnabled(true);
    result_->setText(year_.Context().Text(kCalc, "lbResult_Inval"));
    combined_->clear();
}

void DayCalculatorDialog::ToggleOptions() {
    options_->setVisible(!options_->isVisible());
    optionsButton_->setText(
        year_.Context().Text(kCalc, "btnOptions") +
        (options_->isVisible() ? QStringLiteral(" <<") : QStringLiteral(" >>")));
}

void DayCalculatorDialog::UpdateMoveButtons() {
    const auto selected = [](const Side& side) {
        return !side.weekdays->selectedItems().isEmpty() || !side.groups->selectedItems().isEmpty();
    };
    hide_->setEnabled(selected(count_));
    hideAll_->setEnabled(selected(count_));
    show_->setEnabled(selected(dontCount_));
    showAll_->setEnabled(selected(dontCount_));
}

void DayCalculatorDialog::Move(Side from, Side to, bool all) {
    const bool groups = !from.groups->selectedItems().isEmpty();
    QListWidget* source = groups ? from.groups : from.weekdays;
    QListWidget* target = groups ? to.groups : to.weekdays;
    if (all) {
        while (source->count() > 0) target->addItem(source->takeItem(0));
    } else if (!source->selectedItems().isEmpty()) {
        target->addItem(source->takeItem(source->row(source->selectedItems().first())));
    }
    for (QListWidget* list : {from.weekdays, from.groups, to.weekdays, to.groups})
        list->clearSelection();
    UpdateMoveButtons();
    ResetResult();
}

void DayCalculatorDialog::Calculate() {
    const AppContext& context = year_.Context();
    data::DayCountRequest request;
    request.from = from_->Date();
    request.to = to_->Date();
    request.gregorian = year_.Gregorian();
    for (int weekday : Keys(*dontCount_.weekdays))
        request.skipped_weekdays[static_cast<std::size_t>(weekday)] = true;
    for (int group : Keys(*dontCount_.groups)) request.skipped_groups.push_back(group);
    request.mode = or_->isChecked()    ? data::CountMode::Or
                   : not_->isChecked() ? data::CountMode::AndNot
                                       : data::CountMode::And;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const data::Checked<data::DayCount> counted = data::CountDays(year_.EventsTable(), request);
    QApplication::restoreOverrideCursor();
    if (!counted.ok()) {
        context.Ui->Tell(this, QMessageBox::Warning, windowTitle(),
                         context.ErrorText(counted.fault()));
        return;
    }
    const QString days = QLatin1Char(' ') + context.Text(kCalc, "lbResult_Days");
    result_->setText(context.Text(kCalc, "ResultTitle") + QLatin1Char(' ') +
                     QString::number(counted.value().total) + days);
    combined_->setText(context.Text(kCalc, "CResTitle") + QLatin1Char(' ') +
                       QString::number(counted.value().combined) + days);
    calc_->setEnabled(false);
}

}  // namespace yorbel::gui
