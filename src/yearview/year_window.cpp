#include "yearview/year_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDate>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QStringList>
#include <algorithm>

#include "ui/app_context.h"
#include "calendar/dayfacts.h"
#include "data/atomic_file.h"
#include "data/day_events.h"
#include "data/error.h"
#include "data/event_value.h"
#include "data/events.h"
#include "data/occurrences.h"
#include "exchange/delimited_text.h"
#include "exchange/icalendar_export.h"
#include "tools/day_sheet.h"
#include "ui/day_facts_text.h"

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

TFrmYear::TFrmYear(AppContext& context, int year, bool read_only, int window_number, int day,
                   int month, app::CalendarLock lock, QWidget* parent)
    : QWidget(parent),
      context_(context),
      calendar_(std::make_unique<data::EventTables>(context.Groups->CdsGroups())),
      lock_(std::move(lock)),
      painter_(style_,
               [this](const std::string& date, std::int32_t fallback) {
                   return data::DayColor(calendar_->CdsEvDates(), date, fallback);
               }),
      shownYear_(year),
      selectedDay_(day),
      selectedMonth_(month - 1),
      readOnly_(read_only),
      windowNumber_(window_number) {
    setObjectName(QStringLiteral("FrmYear"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setToolTip(context_.Text(kYear, "Hint"));

    ReloadDisplaySettings();
    style_.WeekLabel = context_.Text(kYear, "Kw");
    FillLocaleNames(style_, NamesLocale(context_.Settings));

    mmHint_ = new QPlainTextEdit(this);
    mmHint_->setObjectName(QStringLiteral("mmHint"));
    mmHint_->setReadOnly(true);
    mmHint_->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmHint_->setFrameShape(QFrame::Box);
    mmHint_->setFrameShadow(QFrame::Plain);
    mmHint_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmHint_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmHint_->setFocusPolicy(Qt::NoFocus);
    mmHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette hintPalette = mmHint_->palette();
    hintPalette.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
    hintPalette.setColor(QPalette::Text, palette().color(QPalette::ToolTipText));
    mmHint_->setPalette(hintPalette);
    mmHint_->resize(185, 181);
    mmHint_->hide();

    pmYear_ = new QMenu(this);
    pmYear_->setObjectName(QStringLiteral("PmYear"));
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
    connect(iNewEvent_, &QAction::triggered, this, &TFrmYear::NewEvent);
    connect(iEditEvent_, &QAction::triggered, this, &TFrmYear::EditEvent);
    iNewEvent_->setEnabled(static_cast<bool>(context_.EventEditor));
    iEditEvent_->setEnabled(static_cast<bool>(context_.EventEditor));
    connect(iInfoWin_, &QAction::triggered, this, &TFrmYear::ShowDaySheet);
}

// The sheet goes first, while the window it reads from is still whole.
TFrmYear::~TFrmYear() {
    delete daySheet_;
}

bool TFrmYear::OpenCalendar(const QString& path, QString* error) {
    try {
        calendar_->OpenCalendar(path.toStdString());
    } catch (const data::Error& e) {
        if (error) *error = ErrorText(e);
        return false;
    } catch (const std::exception& e) {
        if (error) *error = QString::fromStdString(e.what());
        return false;
    }
    UpdateCaption();
    Generate();
    DrawYear();
    if (context_.Settings.DayViewOpen) ShowDaySheet();
    return true;
}

QString TFrmYear::ErrorText(const data::Error& error) const {
    return context_.ErrorText(error);
}

void TFrmYear::ReloadDisplaySettings() {
    const app::Settings& s = context_.Settings;
    style_.Gregorian = app::Gregorian(s);
    style_.WeekStart = app::WeekStartDay(s);
    style_.WeekOneRule = app::WeekOneRule(s);
    style_.SundayText = app::DisplayColor(s, 1);
    style_.SundayBack = app::DisplayColor(s, 2);
    style_.WeekText = app::DisplayColor(s, 3);
    style_.WeekBack = app::DisplayColor(s, 4);
    style_.MarkText = app::DisplayColor(s, 5);
    style_.MarkBack = app::DisplayColor(s, 6);
    style_.FontName = QString::fromStdString(s.YearFontName);
    style_.FontSize = s.YearFontSize;
    style_.AdaptToFont = s.AdaptToFont;
}

void TFrmYear::ApplyTexts() {
    setToolTip(context_.Text(kYear, "Hint"));
    style_.WeekLabel = context_.Text(kYear, "Kw");
    FillLocaleNames(style_, NamesLocale(context_.Settings));
    for (QAction* action : {iNewEvent_, iEditEvent_, iInspect_, iInfoWin_})
        action->setText(context_.Text(kYear, action->objectName().toStdString()));
    if (daySheet_) daySheet_->ApplyTexts();
    UpdateCaption();
}

QString TFrmYear::FileName() const {
    return QString::fromStdString(calendar_->FileName().string());
}

bool TFrmYear::Modified() const {
    return calendar_->Modified();
}

void TFrmYear::SetModified() {
    calendar_->SetModified(true);
    setWindowModified(true);
}

QString TFrmYear::Caption() const {
    const QString year =
        context_.Text(kYear, "YearStr") + QLatin1Char(' ') + QString::number(shownYear_);
    if (FileName().isEmpty())
        return title_ + QStringLiteral("[*] ") + QString::number(windowNumber_) + year;
    return title_ + QStringLiteral("[*]") + year;
}

void TFrmYear::UpdateCaption() {
    const QString file = FileName();
    title_ = file.isEmpty() ? context_.Text(kYear, "NoTitle") : QFileInfo(file).completeBaseName();
    setWindowTitle(Caption());
    setWindowModified(calendar_->Modified());
}

// --- regeneration and drawing ---------------------------------------------------------

bool TFrmYear::ShowYear(int year) {
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
    emit yearShown(shownYear_);
    return true;
}

void TFrmYear::Generate() {
    ReportSkipped(data::GenerateOccurrences(*calendar_, shownYear_, style_.Gregorian));
}

void TFrmYear::ReportSkipped(const std::vector<data::SkippedEvent>& skipped) {
    // Each broken rule is named once per window, not at every change of year.
    QStringList lines;
    for (const data::SkippedEvent& event : skipped) {
        if (!reportedSkips_.insert(event.ev_no).second) continue;
        lines << QStringLiteral("%1 (%2)").arg(QString::fromStdString(event.name),
                                               ErrorText(event.reason));
    }
    if (lines.isEmpty()) return;
    context_.Ui->Tell(
        this, QMessageBox::Warning, title_,
        context_.Text(kYear, "EventsSkipped")
            .arg(QString::number(shownYear_), QLatin1Char('\n') + lines.join(QLatin1Char('\n'))));
}

void TFrmYear::EnsureBitmap() {
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

QSize TFrmYear::sizeHint() const {
    const QFont font = YearFont(style_.FontName, style_.FontSize);
    const QSize outer =
        AdaptedWindowSize(QFontMetrics(font).horizontalAdvance(style_.WeekLabel), style_.FontSize);
    return {outer.width(), outer.height() - kCaptionAllowance};
}

void TFrmYear::DrawYear() {
    if (printing_) return;
    const app::Settings& s = context_.Settings;
    style_.MarkText = app::DisplayColor(s, 5);
    style_.MarkBack = app::DisplayColor(s, 6);
    if (style_.AdaptToFont) {
        font_ = YearFont(style_.FontName, style_.FontSize);
        const QSize inner = sizeHint();
        setFixedSize(inner);
        layout_ = ScreenLayout(inner.width(), inner.height() + kCaptionAllowance);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout_ = ScreenLayout(width(), height() + kCaptionAllowance);
        font_ = YearFont(style_.FontName, layout_.RowHeight);
    }
    EnsureBitmap();
    QPainter painter(&bitmap_);
    painter.setFont(font_);
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    grid_.Clear();
    painter_.DrawMonths(painter, layout_, shownYear_, grid_, selectedMonth_, selectedDay_, true);
}

void TFrmYear::RedrawCell(int month, int day, CellState state) {
    if (printing_ || bitmap_.isNull()) return;
    QPainter painter(&bitmap_);
    painter.setFont(font_);
    const QRect cell = painter_.RedrawDay(painter, layout_, grid_, shownYear_, month, day, state);
    if (!cell.isEmpty()) update(cell);
}

QRect TFrmYear::DayCellRect(int month, int day) const {
    const std::optional<QPoint> at = grid_.Find(month, day);
    if (!at) return {};
    const QPoint origin = layout_.MonthOrigin(month);
    return {origin.x() + layout_.CellWidth * (at->x() + 1),
            origin.y() + layout_.RowHeight * (at->y() + 2), layout_.CellWidth, layout_.RowHeight};
}

void TFrmYear::paintEvent(QPaintEvent* event) {
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

void TFrmYear::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (style_.AdaptToFont || printing_) return;
    DrawYear();
    update();
}

// --- printing -------------------------------------------------------------------------

void TFrmYear::PrintYear(QPainter& painter) {
    painter_.PrintYear(painter, shownYear_);
}

bool TFrmYear::Print(QPrinter& printer) {
    // Printing to a file (a PDF) writes a temporary file that replaces the chosen one only
    // once complete, so a failed or cut-off print leaves an existing file as it was.
    const QString target = printer.outputFileName();
    std::optional<data::AtomicFile> file;
    try {
        if (!target.isEmpty()) {
            file.emplace(target.toStdString());
            printer.setOutputFileName(QString::fromStdString(file->WritePath().string()));
        }
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    printing_ = true;
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        PrintYear(painter);
        printed = painter.end();
    }
    printing_ = false;
    if (file) printer.setOutputFileName(target);
    if (!printed) {
        ShowError(context_.Text(kYear, "PrintFailed"));
        return false;
    }
    try {
        if (file) file->Commit();
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    return true;
}

// --- hit testing, mark and inspector --------------------------------------------------

std::optional<HitDay> TFrmYear::HitTest(QPoint point) const {
    const int x = point.x();
    const int y = point.y();
    if (x < 0 || y < 0 || layout_.CellWidth <= 0 || layout_.RowHeight <= 0) return std::nullopt;
    const int month = (y / (layout_.MonthHeight + 11)) * 4 + x / (layout_.MonthWidth + 11);
    if (month > 11) return std::nullopt;
    const QPoint origin = layout_.MonthOrigin(month);
    if (y < origin.y() + 2 * layout_.RowHeight || x < origin.x() + layout_.CellWidth)
        return std::nullopt;
    const int column = (x - origin.x() - layout_.CellWidth) / layout_.CellWidth;
    const int row = (y - origin.y() - 2 * layout_.RowHeight) / layout_.RowHeight;
    if (column > 6 || row > 5) return std::nullopt;
    const int day = grid_.Day(month, column, row);
    if (day <= 0) return std::nullopt;
    return HitDay{month, day};
}

void TFrmYear::SelectDay(int month, int day) {
    RedrawCell(selectedMonth_, selectedDay_, CellState::Normal);
    RedrawCell(month, day, CellState::Marked);
    selectedMonth_ = month;
    selectedDay_ = day;
    if (daySheet_) daySheet_->ShowDate(cal::CivilDate{day, month + 1, shownYear_});
}

void TFrmYear::ShowDaySheet() {
    const cal::CivilDate date = MarkedDate().value_or(cal::CivilDate{1, 1, shownYear_});
    if (daySheet_) {
        daySheet_->ShowDate(date);
    } else {
        daySheet_ = new TFrmDayInfo(*this, date);
    }
    daySheet_->show();
    daySheet_->raise();
}

TFrmDayInfo* TFrmYear::DaySheet() const {
    return daySheet_.data();
}

void TFrmYear::HideToolWindows() {
    if (daySheet_) daySheet_->hide();
}

void TFrmYear::ShowToolWindows() {
    if (daySheet_ && daySheet_->isHidden()) daySheet_->show();
}

void TFrmYear::ClearHover() {
    const int month = hoverMonth_;
    const int day = hoverDay_;
    hoverMonth_ = 0;
    hoverDay_ = 0;
    RedrawCell(month, day, CellState::Normal);
}

void TFrmYear::SetInspectMode(bool on) {
    if (on) {
        RedrawCell(selectedMonth_, selectedDay_, CellState::Normal);
        selectedDay_ = 0;
        selectedMonth_ = 0;
    } else {
        ClearHover();
        mmHint_->hide();
    }
    const bool changed = inspectMode_ != on;
    inspectMode_ = on;
    if (changed) emit inspectModeChanged(on);
}

void TFrmYear::ShowToday() {
    const QDate today = QDate::currentDate();
    SetInspectMode(false);
    SelectDay(today.month() - 1, today.day());
    if (today.year() != shownYear_) ShowYear(today.year());
    emit yearShown(shownYear_);
}

void TFrmYear::MoveMark(int days) {
    // Without a mark, keys start from 1 January; a marked day the shown year lacks
    // (29 February) counts as the month's last day.
    cal::CivilDate from{1, 1, shownYear_};
    if (selectedDay_ > 0) {
        const int month = selectedMonth_ + 1;
        from = {std::min(selectedDay_, cal::DaysInMonth(shownYear_, month, style_.Gregorian)),
                month, shownYear_};
    }
    const cal::CivilDate to = cal::DateOfDayNumber(
        cal::DayNumberOf(from, style_.Gregorian) + (selectedDay_ > 0 ? days : 0), style_.Gregorian);
    if (to.year < cal::kMinYear || to.year > cal::kMaxYear) return;
    SetInspectMode(false);
    if (to.year != shownYear_) {
        selectedMonth_ = to.month - 1;
        selectedDay_ = to.day;
        ShowYear(to.year);
    } else {
        SelectDay(to.month - 1, to.day);
    }
}

void TFrmYear::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const std::optional<HitDay> hit = HitTest(event->position().toPoint());
    if (!hit) return;
    SetInspectMode(false);
    SelectDay(hit->Month, hit->Day);
}

void TFrmYear::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (iInfoWin_->isEnabled()) iInfoWin_->trigger();
}

void TFrmYear::mouseMoveEvent(QMouseEvent* event) {
    if (!inspectMode_) return;
    const QPoint point = event->position().toPoint();
    const std::optional<HitDay> hit = HitTest(point);
    if (!hit) {
        mmHint_->hide();
        ClearHover();
        return;
    }
    const bool marked = hit->Month == selectedMonth_ && hit->Day == selectedDay_;
    const bool framed = hit->Month == hoverMonth_ && hit->Day == hoverDay_;
    if (daySheet_ && !framed)
        daySheet_->ShowDate(cal::CivilDate{hit->Day, hit->Month + 1, shownYear_});
    PlaceHint(point, *hit);
    if (marked || framed) return;
    ClearHover();
    RedrawCell(hit->Month, hit->Day, CellState::Frame);
    hoverMonth_ = hit->Month;
    hoverDay_ = hit->Day;
}

void TFrmYear::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!inspectMode_) return;
    mmHint_->hide();
    ClearHover();
}

void TFrmYear::PlaceHint(QPoint point, const HitDay& hit) {
    // With a day sheet open, the sheet shows the facts instead.
    if (daySheet_) {
        mmHint_->hide();
        return;
    }
    const bool marked = hit.Month == selectedMonth_ && hit.Day == selectedDay_;
    const bool framed = hit.Month == hoverMonth_ && hit.Day == hoverDay_;
    if (!(marked || framed) || mmHint_->isHidden()) {
        const QString text = BuildHint(hit);
        mmHint_->setPlainText(text);
        // The box grows to its lines, so long event names and large fonts are not cut off.
        const QFontMetrics metrics(mmHint_->font());
        int width = 0;
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        const int frame =
            2 * (mmHint_->frameWidth() + static_cast<int>(mmHint_->document()->documentMargin())) +
            4;
        mmHint_->resize(
            std::max(185, width + frame),
            std::max(60, static_cast<int>(lines.size()) * metrics.lineSpacing() + frame));
    }
    // Keep the box inside the window: beside the pointer, flipped to the other side near
    // the right and bottom edges.
    const QSize box = mmHint_->size();
    int left = point.x() + 20;
    if (left + box.width() > width()) left = point.x() - box.width() - 20;
    int top = point.y();
    if (top + box.height() > height()) top = point.y() - box.height();
    mmHint_->move(std::max(0, left), std::max(0, top));
    mmHint_->show();
    mmHint_->raise();
}

QString TFrmYear::BuildHint(const HitDay& hit) const {
    const cal::CivilDate date{hit.Day, hit.Month + 1, shownYear_};
    const app::Settings& s = context_.Settings;
    const cal::Reckoning reckoning{style_.Gregorian, style_.WeekOneRule, style_.WeekStart};
    const cal::Place place{app::LatitudeDegrees(s), app::LongitudeDegrees(s), app::ZoneHours(s)};
    const DayFactsText facts =
        FormatDayFacts(cal::DayFactsOf(date, reckoning, place), context_.Language, NamesLocale(s));

    QStringList lines;
    lines << facts.Day << QString() << facts.Weeks << facts.Days << facts.JD << QString();
    lines << QStringLiteral("S: ") + facts.Sun;
    lines << QStringLiteral("M: ") + facts.Moon;
    lines << QString();
    for (const data::DayEvent& event :
         data::ShownEventsOn(calendar_->CdsEvDates(), cal::DateText(date)))
        lines << QString::fromStdString(event.name);
    return lines.join(QLatin1Char('\n'));
}

QString TFrmYear::HintText() const {
    return mmHint_->toPlainText();
}

bool TFrmYear::HintVisible() const {
    return mmHint_->isVisible();
}

void TFrmYear::contextMenuEvent(QContextMenuEvent* event) {
    iInspect_->setChecked(inspectMode_);
    pmYear_->popup(event->globalPos());
}

void TFrmYear::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            MoveMark(-1);
            break;
        case Qt::Key_Right:
            MoveMark(+1);
            break;
        case Qt::Key_Up:
            MoveMark(-7);
            break;
        case Qt::Key_Down:
            MoveMark(+7);
            break;
        case Qt::Key_PageUp:
            ShowYear(shownYear_ - 1);
            break;
        case Qt::Key_PageDown:
            ShowYear(shownYear_ + 1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (iInfoWin_->isEnabled()) iInfoWin_->trigger();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

// --- saving and closing ---------------------------------------------------------------

void TFrmYear::ShowError(const QString& text) {
    context_.Ui->Tell(this, QMessageBox::Warning, title_, text);
}

bool TFrmYear::SaveCalendar() {
    if (readOnly_) return false;
    if (FileName().isEmpty()) return SaveCalendarAs();
    try {
        calendar_->SaveCalendar();  // has a file name, so it saves
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    UpdateCaption();
    return true;
}

bool TFrmYear::SaveCalendarAs() {
    const std::optional<QString> chosen = context_.Ui->GetSaveFile(
        this, context_.Text(kYear, "dlgSave_Title"),
        QtFileFilter(context_.Text(kYear, "dlgSave_Filter")), QStringLiteral("yrb"), title_);
    if (!chosen) return false;
    const std::string path = chosen->toStdString();
    // The window keeps one lock, that of the file it writes: it takes the new path's lock
    // before saving and gives up the old one only once the save succeeded. A file another
    // window holds for writing is not overwritten.
    app::CalendarLock new_lock;
    const bool same_lock = lock_.Held() && lock_.LockPath() == app::LockFileName(path);
    if (!same_lock && !new_lock.TryAcquire(path)) {
        ShowError(context_.Text(kYear, "SaveAsLocked").arg(*chosen));
        return false;
    }
    try {
        calendar_->SaveCalendarAs(path);
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;  // new_lock goes with this scope; the old lock stays
    }
    if (!same_lock) lock_ = std::move(new_lock);
    // The window now writes the file it saved, under that file's lock.
    readOnly_ = false;
    UpdateCaption();
    return true;
}

bool TFrmYear::QueryClose() {
    if (!calendar_->Modified()) return true;
    if (readOnly_) {
        // The file itself is not to be written, but the changes are the user's: they go
        // only when the user says so.
        const auto answer =
            context_.Ui->AskWithTexts(this, QMessageBox::Question, context_.Text(kYear, "Close"),
                                      context_.Text(kYear, "ReadOnlyChanges"),
                                      {{QMessageBox::Save, context_.Text(kYear, "btnSaveAs")},
                                       {QMessageBox::Discard, context_.Text(kYear, "btnDiscard")},
                                       {QMessageBox::Cancel, context_.Text(kYear, "btnCancel")}});
        if (answer == QMessageBox::Save) return SaveCalendarAs();
        return answer == QMessageBox::Discard;
    }
    const auto answer = context_.Ui->Ask(this, QMessageBox::Question, context_.Text(kYear, "Close"),
                                         context_.Text(kYear, "SaveChanges"),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return SaveCalendar();
    return answer == QMessageBox::No;
}

void TFrmYear::closeEvent(QCloseEvent* event) {
    if (closeApproved_ || QueryClose()) {
        closeApproved_ = true;
        // The lock goes with the close, not with the later deletion of the window.
        lock_.Release();
        event->accept();
    } else {
        event->ignore();
    }
}

// --- event commands -------------------------------------------------------------------

std::optional<cal::CivilDate> TFrmYear::MarkedDate() const {
    if (selectedDay_ <= 0 || selectedMonth_ < 0 || selectedMonth_ > 11) return std::nullopt;
    const cal::CivilDate date{selectedDay_, selectedMonth_ + 1, shownYear_};
    // A 29 February carried into a common year is no date of that year.
    if (!cal::IsValidDate(date, style_.Gregorian)) return std::nullopt;
    return date;
}

bool TFrmYear::NewEvent() {
    // Without a marked day the editor starts on 1 January of the shown year.
    return NewEventOn(MarkedDate().value_or(cal::CivilDate{1, 1, shownYear_}));
}

bool TFrmYear::NewEventOn(const cal::CivilDate& date) {
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

bool TFrmYear::EditEvent() {
    const std::optional<cal::CivilDate> date = MarkedDate();
    if (!date) return false;
    const std::optional<std::int32_t> ev_no =
        data::FirstEventOn(calendar_->CdsEvDates(), cal::DateText(*date));
    return ev_no && EditEventByKey(*ev_no, *date);
}

bool TFrmYear::EditEventByKey(int ev_no, const cal::CivilDate& default_date) {
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

std::vector<data::DayEvent> TFrmYear::EventsOn(const cal::CivilDate& date) const {
    const data::EventTables& tables = *calendar_;
    return data::ShownEventsOn(tables.CdsEvDates(), cal::DateText(date));
}

// --- exchange -------------------------------------------------------------------------

void TFrmYear::Export() {
    const QString filter = QtFileFilter(context_.Text(kYear, "Export_Filter")) +
                           QStringLiteral(";;") +
                           QtFileFilter(context_.Text(kYear, "ExportIcs_Filter"));
    const std::optional<QString> chosen = context_.Ui->GetSaveFile(
        this, context_.Text(kYear, "Export_Title"), filter, QStringLiteral("csv"), title_);
    if (!chosen) return;
    if (chosen->endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) {
        ExportICalendar(*chosen);
        return;
    }
    try {
        exchange::ExportTable(
            calendar_->CdsEvents(), chosen->toStdString(), ",", "Ev_gp_no",
            [this](std::int32_t group) { return context_.Groups->IsGroupShown(group); });
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
    }
    calendar_->CdsEvents().SetCurrentIndex("Ix_Ev_no");
}

// Other calendar programs read the shown year's days as iCalendar all-day events.
void TFrmYear::ExportICalendar(const QString& path) {
    std::string text;
    try {
        text = exchange::ExportICalendar(*calendar_, *context_.Groups, shownYear_, style_.Gregorian,
                                         title_.toStdString());
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return;
    }
    try {
        data::WriteFileAtomically(path.toStdString(), text);
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
    }
}

bool TFrmYear::Import(const QString& path) {
    data::Table& events = calendar_->CdsEvents();
    const int before = events.RecordCount();
    bool complete = true;
    try {
        exchange::ImportFile(events, path.toStdString(), ",", data::kEventRuleColumns);
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        complete = false;
    }
    // The lines read before a faulty one stay imported, so they count as a change too.
    if (events.RecordCount() != before) {
        SetModified();
        ShowYear(shownYear_);
    }
    return complete;
}

bool TFrmYear::DeleteEventByKey(int ev_no) {
    try {
        if (!data::DeleteEvent(*calendar_, ev_no)) return false;
    } catch (const data::Error& e) {
        ShowError(ErrorText(e));
        return false;
    }
    setWindowModified(true);
    ShowYear(shownYear_);
    return true;
}

}  // namespace yorbel::gui
