#include "yearview/year_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStringList>

#include "data/day_events.h"
#include "data/error.h"
#include "data/event_value.h"
#include "data/events.h"
#include "data/occurrences.h"
#include "paint/year_style_settings.h"
#include "tools/day_sheet.h"
#include "tools/event_list.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/mnemonics.h"
#include "yearview/inspector_hint.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr std::string_view kYear = "FrmYear";

// Restores the normal cursor however the work below ends.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

YearWindow::YearWindow(AppContext& context, int year, bool read_only, int window_number, int day,
                       int month, app::CalendarLock lock, QWidget* parent)
    : QWidget(parent),
      context_(context),
      calendar_(std::make_unique<data::EventTables>(context.Groups->CdsGroups())),
      document_(context, *calendar_, std::move(lock), read_only, *this,
                {.Saved = [this] { UpdateCaption(); },
                 .EventsChanged =
                     [this] {
                         SetModified();
                         ShowYear(shownYear_);
                     }}),
      painter_(style_,
               [this](const std::string& date, std::int32_t fallback) {
                   return data::DayColor(calendar_->CdsEvDates(), date, fallback);
               }),
      shownYear_(year),
      selectedDay_(day),
      selectedMonth_(month),
      windowNumber_(window_number) {
    setObjectName(QStringLiteral("FrmYear"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setToolTip(context_.Text(kYear, "Hint"));

    ReloadDisplaySettings();
    style_.WeekLabel = context_.Text(kYear, "Kw");
    FillLocaleNames(style_, NamesLocale(context_.Settings));

    hint_ = new InspectorHint(this);

    pmYear_ = new QMenu(this);
    pmYear_->setObjectName(QStringLiteral("PmYear"));
    KeepMnemonics(*pmYear_);
    iNewEvent_ = pmYear_->addAction(context_.Text(kYear, "iNewEvent"));
    iNewEvent_->setObjectName(QStringLiteral("iNewEvent"));
    iNewEvent_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    iEditEvent_ = pmYear_->addAction(context_.Text(kYear, "iEditEvent"));
    iEditEvent_->setObjectName(QStringLiteral("iEditEvent"));
    iEditEvent_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    iInspect_ = pmYear_->addAction(context_.Text(kYear, "iInspect"));
    iInspect_->setObjectName(QStringLiteral("iInspect"));
    iInspect_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    iInspect_->setCheckable(true);
    connect(iInspect_, &QAction::triggered, this, [this] { SetInspectMode(!inspectMode_); });
    pmYear_->addSeparator();
    iInfoWin_ = pmYear_->addAction(context_.Text(kYear, "iInfoWin"));
    iInfoWin_->setObjectName(QStringLiteral("iInfoWin"));
    iInfoWin_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QFont bold = iInfoWin_->font();
    bold.setBold(true);
    iInfoWin_->setFont(bold);
    pmYear_->setDefaultAction(iInfoWin_);
    connect(iNewEvent_, &QAction::triggered, this, &YearWindow::NewEvent);
    connect(iEditEvent_, &QAction::triggered, this, &YearWindow::EditEvent);
    iNewEvent_->setEnabled(static_cast<bool>(context_.EventEditor));
    iEditEvent_->setEnabled(static_cast<bool>(context_.EventEditor));
    connect(iInfoWin_, &QAction::triggered, this, &YearWindow::ShowDaySheet);
}

// The sheet goes first, while the window it reads from is still whole.
YearWindow::~YearWindow() {
    delete daySheet_;
    delete eventList_;
}

bool YearWindow::OpenCalendar(const QString& path, QString* error) {
    if (!document_.Open(path, error)) return false;
    UpdateCaption();
    Generate();
    DrawYear();
    // Shown with the window, once it sits in its frame: a sheet made now would belong to
    // the window's own top level, which the frame replaces, and vanish under the frame.
    sheetOnShow_ = context_.Settings.DayViewOpen;
    return true;
}

void YearWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!sheetOnShow_) return;
    sheetOnShow_ = false;
    ShowDaySheet();
}

QString YearWindow::ErrorText(const data::Error& error) const {
    return context_.ErrorText(error);
}

void YearWindow::ReloadDisplaySettings() {
    ApplyDisplaySettings(style_, context_.Settings);
}

void YearWindow::ApplyTexts() {
    setToolTip(context_.Text(kYear, "Hint"));
    style_.WeekLabel = context_.Text(kYear, "Kw");
    FillLocaleNames(style_, NamesLocale(context_.Settings));
    for (QAction* action : {iNewEvent_, iEditEvent_, iInspect_, iInfoWin_})
        action->setText(context_.Text(kYear, action->objectName().toStdString()));
    if (daySheet_) daySheet_->ApplyTexts();
    UpdateCaption();
}

void YearWindow::SetModified() {
    calendar_->SetModified(true);
    setWindowModified(true);
}

QString YearWindow::Caption() const {
    return TitleWith(QStringLiteral("[*]"));
}

QString YearWindow::PrintTitle() const {
    return TitleWith(QString());
}

QString YearWindow::TitleWith(const QString& change_marker) const {
    const QString title = document_.Title();
    const QString year =
        context_.Text(kYear, "YearStr") + QLatin1Char(' ') + QString::number(shownYear_);
    // The change marker follows the name, number included, as in every other title.
    if (FileName().isEmpty())
        return title + QLatin1Char(' ') + QString::number(windowNumber_) + change_marker + year;
    return title + change_marker + year;
}

void YearWindow::UpdateCaption() {
    setWindowTitle(Caption());
    setWindowModified(calendar_->Modified());
}

// --- regeneration and drawing ---------------------------------------------------------

bool YearWindow::ShowYear(int year) {
    if (year < cal::kMinYear || year > cal::kMaxYear) return false;
    BusyCursor busy;
    shownYear_ = year;
    UpdateCaption();
    Generate();
    DrawYear();
    update();
    if (daySheet_ && !inspectMode_) {
        if (const std::optional<cal::CivilDate> marked = MarkedDate()) daySheet_->ShowDate(*marked);
    }
    if (eventList_) eventList_->Fill(shownYear_);
    emit yearShown(shownYear_);
    return true;
}

void YearWindow::Generate() {
    ReportSkipped(data::GenerateOccurrences(*calendar_, shownYear_, style_.Gregorian));
}

void YearWindow::ReportSkipped(const std::vector<data::SkippedEvent>& skipped) {
    // Each broken rule is named once per window, not at every change of year.
    QStringList lines;
    std::vector<int> named;
    for (const data::SkippedEvent& event : skipped) {
        if (!reportedSkips_.insert(event.ev_no).second) continue;
        named.push_back(event.ev_no);
        lines << QStringLiteral("%1 (%2)").arg(QString::fromStdString(event.name),
                                               ErrorText(event.reason));
    }
    if (lines.isEmpty()) return;
    const QString year = QString::number(shownYear_);
    const QString list = QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    if (ReadOnly()) {
        context_.Ui->Tell(this, QMessageBox::Warning, document_.Title(),
                          context_.Text(kYear, "EventsSkipped").arg(year, list));
        return;
    }
    // These events are in no list, so this is the only place to get rid of them. Keeping
    // is the safe answer: a newer version of the program may read them.
    const auto answer =
        context_.Ui->AskWithTexts(this, QMessageBox::Warning, document_.Title(),
                                  context_.Text(kYear, "EventsSkippedDelete").arg(year, list),
                                  {{QMessageBox::Discard, context_.Text(kYear, "btnDeleteEvents")},
                                   {QMessageBox::Cancel, context_.Text(kYear, "btnKeep")}},
                                  QMessageBox::Cancel);
    if (answer != QMessageBox::Discard) return;
    // They have no occurrences, so the year just generated stays right without them.
    for (const int ev_no : named) RemoveEvent(ev_no);
}

void YearWindow::EnsureBitmap() {
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = size();
    const QSize have = bitmap_.isNull() ? QSize(0, 0) : bitmap_.deviceIndependentSize().toSize();
    // The bitmap only grows, unless the screen's pixel ratio changed under it.
    if (!bitmap_.isNull() && bitmap_.devicePixelRatio() == ratio &&
        have.width() >= wanted.width() && have.height() >= wanted.height())
        return;
    const QSize logical = bitmap_.devicePixelRatio() == ratio ? have.expandedTo(wanted) : wanted;
    QPixmap bigger(logical * ratio);
    bigger.setDevicePixelRatio(ratio);
    bigger.fill(Qt::white);
    bitmap_ = bigger;
}

QSize YearWindow::sizeHint() const {
    const QFont font = YearFont(style_.FontName, style_.FontSize);
    const QSize outer =
        AdaptedWindowSize(QFontMetrics(font).horizontalAdvance(style_.WeekLabel), style_.FontSize);
    return {outer.width(), outer.height() - kCaptionAllowance};
}

void YearWindow::DrawYear() {
    if (printing_) return;
    const app::Settings& s = context_.Settings;
    style_.MarkText = app::DisplayColor(s, app::ColorRole::MarkText);
    style_.MarkBack = app::DisplayColor(s, app::ColorRole::MarkBackground);
    if (style_.AdaptToFont) {
        font_ = YearFont(style_.FontName, style_.FontSize);
        const QSize inner = sizeHint();
        setFixedSize(inner);
        layout_ = ScreenLayout(inner.width(), inner.height() + kCaptionAllowance);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout_ = ScreenLayout(width(), height() + kCaptionAllowance);
        font_ = FittedYearFont(style_.FontName, layout_.RowHeight, layout_.CellWidth);
    }
    EnsureBitmap();
    QPainter painter(&bitmap_);
    painter.setFont(font_);
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    grid_.Clear();
    painter_.DrawMonths(painter, layout_, shownYear_, grid_, selectedMonth_, selectedDay_, true);
}

void YearWindow::RedrawCell(int month, int day, CellState state) {
    if (printing_ || bitmap_.isNull()) return;
    QPainter painter(&bitmap_);
    painter.setFont(font_);
    const QRect cell = painter_.RedrawDay(painter, layout_, grid_, shownYear_, month, day, state);
    if (!cell.isEmpty()) update(cell);
}

void YearWindow::paintEvent(QPaintEvent* event) {
    if (printing_) return;
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = bitmap_.devicePixelRatio();
    painter.fillRect(area, Qt::white);
    painter.drawPixmap(
        area, bitmap_,
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (!painted_) {
        painted_ = true;
        emit firstPainted();
    }
}

void YearWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (style_.AdaptToFont || printing_) return;
    DrawYear();
    update();
}

// --- printing -------------------------------------------------------------------------

void YearWindow::PrintYear(QPainter& painter) {
    PageText text{.Title = PrintTitle(), .Legend = {}};
    for (const data::ColoringGroup& group : data::GroupsColoringDays(calendar_->CdsEvDates()))
        text.Legend.push_back(
            {QString::fromStdString(context_.Groups->GroupName(group.group_no)), group.color});
    painter_.PrintYear(painter, shownYear_, text);
}

bool YearWindow::Print(QPrinter& printer) {
    return document_.Print(printer, [this](QPainter& painter) {
        // The window keeps its bitmap as it is while the page is drawn.
        const QScopedValueRollback<bool> printing(printing_, true);
        PrintYear(painter);
    });
}

// --- saving and closing ---------------------------------------------------------------

void YearWindow::ShowError(const QString& text) {
    document_.ShowError(text);
}

bool YearWindow::SaveCalendar() {
    return document_.Save();
}

bool YearWindow::SaveCalendarAs() {
    return document_.SaveAs();
}

void YearWindow::closeEvent(QCloseEvent* event) {
    if (closeApproved_ || QueryClose()) {
        closeApproved_ = true;
        // The lock goes with the close, not with the later deletion of the window.
        document_.ReleaseLock();
        event->accept();
    } else {
        event->ignore();
    }
}

// --- event commands -------------------------------------------------------------------

std::optional<cal::CivilDate> YearWindow::MarkedDate() const {
    if (selectedDay_ <= 0 || selectedMonth_ < 1 || selectedMonth_ > 12) return std::nullopt;
    const cal::CivilDate date{selectedDay_, selectedMonth_, shownYear_};
    // A 29 February carried into a common year is no date of that year.
    if (!cal::IsValidDate(date, style_.Gregorian)) return std::nullopt;
    return date;
}

bool YearWindow::NewEvent() {
    // Without a marked day the editor starts on 1 January of the shown year.
    return NewEventOn(MarkedDate().value_or(cal::CivilDate{1, 1, shownYear_}));
}

bool YearWindow::NewEventOn(const cal::CivilDate& date) {
    if (!context_.EventEditor) return false;
    bool added = false;
    try {
        if (const std::optional<data::EventEdit> edit =
                context_.EventEditor(*this, std::nullopt, date))
            added = data::StoreEvent(calendar_->CdsEvents(), std::nullopt, *edit);
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
    }
    if (added) SetModified();
    ShowYear(shownYear_);
    return added;
}

bool YearWindow::EditEvent() {
    const std::optional<cal::CivilDate> date = MarkedDate();
    if (!date) return false;
    const std::optional<std::int32_t> ev_no =
        data::FirstEventOn(calendar_->CdsEvDates(), cal::DateText(*date));
    return ev_no && EditEventByKey(*ev_no, *date);
}

bool YearWindow::EditEventByKey(int ev_no, const cal::CivilDate& default_date) {
    if (!context_.EventEditor) return false;
    const std::optional<data::EventValue> event = data::EventOfKey(calendar_->CdsEvents(), ev_no);
    if (!event) return false;
    try {
        const std::optional<data::EventEdit> edit =
            context_.EventEditor(*this, event, default_date);
        if (!edit || !data::StoreEvent(calendar_->CdsEvents(), ev_no, *edit)) return false;
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    SetModified();
    ShowYear(shownYear_);
    return true;
}

std::vector<data::DayEvent> YearWindow::EventsOn(const cal::CivilDate& date) const {
    const data::EventTables& tables = *calendar_;
    return data::ShownEventsOn(tables.CdsEvDates(), cal::DateText(date));
}

// --- exchange -------------------------------------------------------------------------

void YearWindow::Export() {
    if (eventList_)
        document_.Export(
            shownYear_, style_.Gregorian, &eventList_->Model().Rows(),
            [this](const cal::CivilDate& date) {
                return eventList_->Model().DisplayDate(cal::DateText(date)).toStdString();
            });
    else
        document_.Export(shownYear_, style_.Gregorian, nullptr, {});
}

bool YearWindow::Import(const QString& path) {
    // A change shows the year again, refilling the list.
    return document_.Import(path, shownYear_, style_.Gregorian);
}

bool YearWindow::DeleteEventByKey(int ev_no) {
    if (!RemoveEvent(ev_no)) return false;
    ShowYear(shownYear_);
    return true;
}

bool YearWindow::RemoveEvent(int ev_no) {
    try {
        if (!data::DeleteEvent(*calendar_, ev_no)) return false;
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    setWindowModified(true);
    return true;
}

}  // namespace yorbel::gui
