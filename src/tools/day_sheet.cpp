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

#include "ui/app_context.h"
#include "app/settings.h"
#include "calendar/dayfacts.h"
#include "data/day_events.h"
#include "data/events.h"
#include "ui/day_facts_text.h"
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

TFrmDayInfo::TFrmDayInfo(YearWindowLink& year, const cal::CivilDate& date)
    : QWidget(year.Widget(), Qt::Tool | Qt::WindowStaysOnTopHint),
      year_(year),
      context_(year.Context()),
      date_(date),
      lbDay_(MakeLabel(this, "lbDay")),
      lbDays_(MakeLabel(this, "lbDays")),
      lbWeeks_(MakeLabel(this, "lbWeeks")),
      lbJD_(MakeLabel(this, "lbJD")),
      lbJw_(MakeLabel(this, "lbJw")),
      sunIcon_(new QLabel(this)),
      lbSaSu_(MakeLabel(this, "lbSaSu")),
      moonIcon_(new QLabel(this)),
      lbMaMu_(MakeLabel(this, "lbMaMu")),
      lbEvNames_(new QListWidget(this)),
      pmEdit_(new QMenu(this)) {
    setObjectName(QStringLiteral("FrmDayInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont bold = lbDay_->font();
    bold.setBold(true);
    lbDay_->setFont(bold);
    sunIcon_->setFixedSize(kIconSize, kIconSize);
    moonIcon_->setFixedSize(kIconSize, kIconSize);
    lbEvNames_->setObjectName(QStringLiteral("lbEvNames"));
    lbEvNames_->setSelectionMode(QAbstractItemView::SingleSelection);
    lbEvNames_->setContextMenuPolicy(Qt::CustomContextMenu);

    pmEdit_->setObjectName(QStringLiteral("pmEdit"));
    iNew_ = pmEdit_->addAction(QString());
    iNew_->setObjectName(QStringLiteral("iNew"));
    iEdit_ = pmEdit_->addAction(QString());
    iEdit_->setObjectName(QStringLiteral("iEdit"));
    iDelete_ = pmEdit_->addAction(QString());
    iDelete_->setObjectName(QStringLiteral("iDelete"));
    pmEdit_->setDefaultAction(iEdit_);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(6);
    int row = 0;
    for (QLabel* label : {lbDay_, lbDays_, lbWeeks_, lbJD_, lbJw_})
        layout->addWidget(label, row++, 0, 1, 2);
    layout->addWidget(sunIcon_, row, 0, Qt::AlignVCenter);
    layout->addWidget(lbSaSu_, row++, 1);
    layout->addWidget(moonIcon_, row, 0, Qt::AlignVCenter);
    layout->addWidget(lbMaMu_, row++, 1);
    layout->addWidget(lbEvNames_, row, 0, 1, 2);
    layout->setRowStretch(row, 1);
    layout->setColumnStretch(1, 1);

    connect(iNew_, &QAction::triggered, this, &TFrmDayInfo::iNewClick);
    connect(iEdit_, &QAction::triggered, this, &TFrmDayInfo::iEditClick);
    connect(iDelete_, &QAction::triggered, this, &TFrmDayInfo::iDeleteClick);
    connect(lbEvNames_, &QListWidget::itemDoubleClicked, this, &TFrmDayInfo::iEditClick);
    connect(lbEvNames_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const bool selected = SelectedEvent() >= 0;
        iEdit_->setEnabled(selected);
        iDelete_->setEnabled(selected);
        pmEdit_->popup(lbEvNames_->viewport()->mapToGlobal(at));
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

TFrmDayInfo::~TFrmDayInfo() {
    StorePosition();
}

void TFrmDayInfo::ApplyTexts() {
    const AppContext& context = context_;
    setWindowTitle(context.Text(kDayInfo, "Caption"));
    iNew_->setText(context.Text(kDayInfo, "iNew"));
    iEdit_->setText(context.Text(kDayInfo, "iEdit"));
    iDelete_->setText(context.Text(kDayInfo, "iDelete"));
    lbEvNames_->setToolTip(context.Text(kDayInfo, "lbEvNames_Hint"));
}

void TFrmDayInfo::DrawIcons() {
    const qreal ratio = devicePixelRatioF();
    sunIcon_->setPixmap(IconPixmap(ratio, DrawSun));
    moonIcon_->setPixmap(IconPixmap(ratio, DrawMoon));
}

void TFrmDayInfo::ShowDate(const cal::CivilDate& date) {
    const bool gregorian = year_.Gregorian();
    date_ = date;
    date_.month = std::clamp(date_.month, 1, 12);
    date_.day = std::clamp(date_.day, 1, cal::DaysInMonth(date_.year, date_.month, gregorian));

    const AppContext& context = context_;
    const app::Settings& s = context.Settings;
    const cal::Reckoning reckoning{gregorian, year_.WeekOneRule(), year_.WeekStart()};
    const cal::Place place{app::LatitudeDegrees(s), app::LongitudeDegrees(s), app::ZoneHours(s)};
    const DayFactsText text =
        FormatDayFacts(cal::DayFactsOf(date_, reckoning, place), context.Language, NamesLocale(s));
    lbDay_->setText(text.Day);
    lbDays_->setText(text.Days);
    lbWeeks_->setText(text.Weeks);
    lbJD_->setText(text.JD);
    lbJw_->setText(text.Jewish);
    lbSaSu_->setText(text.Sun);
    lbMaMu_->setText(text.Moon);
    DrawIcons();

    lbEvNames_->clear();
    numbers_.clear();
    for (const data::DayEvent& event :
         data::ShownEventsOn(year_.Calendar().CdsEvDates(), cal::DateText(date_))) {
        lbEvNames_->addItem(QString::fromStdString(event.name));
        numbers_.push_back(event.ev_no);
    }
}

int TFrmDayInfo::SelectedEvent() const {
    const int row = lbEvNames_->currentRow();
    if (row < 0 || row >= static_cast<int>(numbers_.size()) || !lbEvNames_->item(row)->isSelected())
        return -1;
    return numbers_[static_cast<std::size_t>(row)];
}

void TFrmDayInfo::iNewClick() {
    const cal::CivilDate shown = date_;
    year_.NewEvent();
    ShowDate(shown);
}

void TFrmDayInfo::iEditClick() {
    const int ev_no = SelectedEvent();
    if (ev_no < 0) return;
    const cal::CivilDate shown = date_;
    year_.EditEventByKey(ev_no, shown);
    ShowDate(shown);
}

void TFrmDayInfo::iDeleteClick() {
    const int ev_no = SelectedEvent();
    if (ev_no < 0) return;
    const AppContext& context = context_;
    data::Table& events = year_.Calendar().CdsEvents();
    events.SetCurrentIndex(data::kIxEvNo);
    const bool found = events.GoToKey(data::Value{std::int32_t{ev_no}});
    const QMessageBox::StandardButton answer = context.Ui->Ask(
        this, QMessageBox::Warning, context.Text(kDayInfo, "Warning"),
        context.Text(kDayInfo, "ReallyDelete"), QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok || !found) return;
    const cal::CivilDate shown = date_;
    year_.DeleteEventByKey(ev_no);
    ShowDate(shown);
}

void TFrmDayInfo::StorePosition() {
    if (!context_.Store) return;
    app::WriteDayViewPosition(*context_.Store, 1, x());
    app::WriteDayViewPosition(*context_.Store, 2, y());
}

void TFrmDayInfo::closeEvent(QCloseEvent* event) {
    StorePosition();
    QWidget::closeEvent(event);
}

}  // namespace yorbel::gui
