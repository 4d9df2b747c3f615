#include "tools/day_sheet.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "app/settings.h"
#include "calendar/dayfacts.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/mnemonics.h"
#include "ui/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kDayInfo = "FrmDayInfo";
constexpr int kIconSize = 16;

QLabel* MakeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Both icons are drawn at the screen's pixel ratio, so they stay sharp when scaled.
QPixmap IconPixmap(qreal ratio, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(QSize(kIconSize, kIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pixmap;
}

void DrawSun(QPainter& p) {
    const QPointF centre(8, 8);
    p.setPen(QPen(QColor(0xE0, 0x90, 0x00), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 8; ++ray) {
        const double angle = ray * std::numbers::pi / 4;
        const QPointF dir(std::cos(angle), std::sin(angle));
        p.drawLine(centre + dir * 5.4, centre + dir * 7.4);
    }
    p.setPen(QPen(QColor(0xD0, 0x80, 0x00), 0.8));
    p.setBrush(QColor(0xFF, 0xC8, 0x20));
    p.drawEllipse(centre, 3.8, 3.8);
}

void DrawMoon(QPainter& p) {
    QPainterPath disc;
    disc.addEllipse(QPointF(8, 8), 6.5, 6.5);
    QPainterPath bite;
    bite.addEllipse(QPointF(11.5, 6), 5.8, 5.8);
    p.setPen(QPen(QColor(0x70, 0x78, 0x90), 0.8));
    p.setBrush(QColor(0xE8, 0xE4, 0xC0));
    p.drawPath(disc.subtracted(bite));
}

}  // namespace

// A tool window of the year window: the window system keeps it above the main window,
// which is all the sheet needs. An always-on-top hint would lift it above the modal
// dialogs too, over the very editor it opens.
DaySheet::DaySheet(YearWindowLink& year, const cal::CivilDate& date)
    : QWidget(year.Widget(), Qt::Tool),
      year_(year),
      context_(year.Context()),
      date_(date),
      dayLabel_(MakeLabel(this, "lbDay")),
      dayCountLabel_(MakeLabel(this, "lbDays")),
      weekCountLabel_(MakeLabel(this, "lbWeeks")),
      julianDayLabel_(MakeLabel(this, "lbJD")),
      jewishDateLabel_(MakeLabel(this, "lbJw")),
      sunIcon_(new QLabel(this)),
      sunLabel_(MakeLabel(this, "lbSaSu")),
      moonIcon_(new QLabel(this)),
      moonLabel_(MakeLabel(this, "lbMaMu")),
      zoneLabel_(MakeLabel(this, "lbZone")),
      eventList_(new QListWidget(this)),
      eventMenu_(new QMenu(this)) {
    setObjectName(QStringLiteral("FrmDayInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont bold = dayLabel_->font();
    bold.setBold(true);
    dayLabel_->setFont(bold);
    sunIcon_->setFixedSize(kIconSize, kIconSize);
    moonIcon_->setFixedSize(kIconSize, kIconSize);
    eventList_->setObjectName(QStringLiteral("lbEvNames"));
    eventList_->setSelectionMode(QAbstractItemView::SingleSelection);
    eventList_->setContextMenuPolicy(Qt::CustomContextMenu);

    eventMenu_->setObjectName(QStringLiteral("pmEdit"));
    KeepMnemonics(*eventMenu_);
    newAction_ = eventMenu_->addAction(QString());
    newAction_->setObjectName(QStringLiteral("iNew"));
    editAction_ = eventMenu_->addAction(QString());
    editAction_->setObjectName(QStringLiteral("iEdit"));
    deleteAction_ = eventMenu_->addAction(QString());
    deleteAction_->setObjectName(QStringLiteral("iDelete"));
    eventMenu_->setDefaultAction(editAction_);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(6);
    int row = 0;
    for (QLabel* label :
         {dayLabel_, dayCountLabel_, weekCountLabel_, julianDayLabel_, jewishDateLabel_})
        layout->addWidget(label, row++, 0, 1, 2);
    layout->addWidget(sunIcon_, row, 0, Qt::AlignVCenter);
    layout->addWidget(sunLabel_, row++, 1);
    layout->addWidget(moonIcon_, row, 0, Qt::AlignVCenter);
    layout->addWidget(moonLabel_, row++, 1);
    layout->addWidget(zoneLabel_, row++, 1);
    layout->addWidget(eventList_, row, 0, 1, 2);
    layout->setRowStretch(row, 1);
    layout->setColumnStretch(1, 1);

    connect(newAction_, &QAction::triggered, this, &DaySheet::NewEvent);
    connect(editAction_, &QAction::triggered, this, &DaySheet::EditSelectedEvent);
    connect(deleteAction_, &QAction::triggered, this, &DaySheet::DeleteSelectedEvent);
    connect(eventList_, &QListWidget::itemDoubleClicked, this, &DaySheet::EditSelectedEvent);
    connect(eventList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const bool selected = SelectedEvent() >= 0;
        editAction_->setEnabled(selected);
        deleteAction_->setEnabled(selected);
        eventMenu_->popup(eventList_->viewport()->mapToGlobal(at));
    });

    ApplyTexts();
    resize(233, 390);
    // The stored place, unless it lies off every screen (a monitor since removed).
    const AppContext& context = context_;
    if (context.Store) {
        const QPoint place(app::ReadDayViewPosition(*context.Store, 1),
                           app::ReadDayViewPosition(*context.Store, 2));
        if (QGuiApplication::screenAt(place + QPoint(20, 20))) move(place);
    }
    ShowDate(date);
}

DaySheet::~DaySheet() {
    StorePosition();
}

void DaySheet::ApplyTexts() {
    const AppContext& context = context_;
    setWindowTitle(context.Text(kDayInfo, "Caption"));
    newAction_->setText(context.Text(kDayInfo, "iNew"));
    editAction_->setText(context.Text(kDayInfo, "iEdit"));
    deleteAction_->setText(context.Text(kDayInfo, "iDelete"));
    eventList_->setToolTip(context.Text(kDayInfo, "lbEvNames_Hint"));
}

void DaySheet::DrawIcons() {
    const qreal ratio = devicePixelRatioF();
    sunIcon_->setPixmap(IconPixmap(ratio, DrawSun));
    moonIcon_->setPixmap(IconPixmap(ratio, DrawMoon));
}

void DaySheet::ShowDate(const cal::CivilDate& date) {
    const bool gregorian = year_.Gregorian();
    date_ = date;
    date_.month = std::clamp(date_.month, 1, 12);
    date_.day = std::clamp(date_.day, 1, cal::DaysInMonth(date_.year, date_.month, gregorian));

    const AppContext& context = context_;
    const app::Settings& s = context.Settings;
    const cal::Reckoning reckoning{gregorian, year_.WeekOneRule(), year_.WeekStart()};
    const cal::Place place = app::PlaceOf(s);
    const DayFactsText text = FormatDayFacts(cal::DayFactsOf(date_, reckoning, place), place,
                                             context.Language, NamesLocale(s));
    dayLabel_->setText(text.Day);
    dayCountLabel_->setText(text.Days);
    weekCountLabel_->setText(text.Weeks);
    julianDayLabel_->setText(text.JD);
    jewishDateLabel_->setText(text.Jewish);
    sunLabel_->setText(text.Sun);
    moonLabel_->setText(text.Moon);
    zoneLabel_->setText(text.Zone);
    DrawIcons();

    eventList_->clear();
    for (const data::DayEvent& event : year_.EventsOn(date_)) {
        auto* line = new QListWidgetItem(QString::fromStdString(event.name), eventList_);
        line->setData(Qt::UserRole, event.ev_no);
    }
}

int DaySheet::SelectedEvent() const {
    const QListWidgetItem* line = eventList_->currentItem();
    if (!line || !line->isSelected()) return -1;
    return line->data(Qt::UserRole).toInt();
}

void DaySheet::NewEvent() {
    const cal::CivilDate shown = date_;
    year_.NewEventOn(shown);
    ShowDate(shown);
}

void DaySheet::EditSelectedEvent() {
    const int ev_no = SelectedEvent();
    if (ev_no < 0) return;
    const cal::CivilDate shown = date_;
    year_.EditEventByKey(ev_no, shown);
    ShowDate(shown);
}

void DaySheet::DeleteSelectedEvent() {
    const int ev_no = SelectedEvent();
    if (ev_no < 0) return;
    const AppContext& context = context_;
    const QMessageBox::StandardButton answer = context.Ui->Ask(
        this, QMessageBox::Warning, context.Text(kDayInfo, "Warning"),
        context.Text(kDayInfo, "ReallyDelete"), QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    const cal::CivilDate shown = date_;
    year_.DeleteEventByKey(ev_no);
    ShowDate(shown);
}

void DaySheet::StorePosition() {
    if (!context_.Store) return;
    app::WriteDayViewPosition(*context_.Store, 1, x());
    app::WriteDayViewPosition(*context_.Store, 2, y());
}

void DaySheet::closeEvent(QCloseEvent* event) {
    StorePosition();
    QWidget::closeEvent(event);
}

}  // namespace yorbel::gui
