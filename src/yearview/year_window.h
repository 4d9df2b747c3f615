// YearWindow: one open calendar, shown as the twelve months of one year. It owns the
// calendar's tables and their document (files, exchange, printing), regenerates the
// occurrences of the shown year, paints the year into an off-screen bitmap and answers
// mouse, keyboard and the main window's commands.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/lock_file.h"
#include "calendar/dates.h"
#include "data/occurrences.h"
#include "paint/year_painter.h"
#include "ui/year_window_link.h"
#include "yearview/calendar_document.h"

class QMenu;
class QAction;
class QPrinter;

namespace yorbel::gui {

struct AppContext;
class InspectorHint;
class DaySheet;
class EventListWindow;

class YearWindow : public QWidget, public YearWindowLink {
    Q_OBJECT

  public:
    // A window for the calendar at path (empty: untitled), with the given year and marked
    // day; the lock, when held, is released when the window goes. Nothing is loaded yet.
    // window_number tells untitled windows apart in their titles ("Untitled 2").
    YearWindow(AppContext& context, int year, bool read_only, int window_number, int day, int month,
               app::CalendarLock lock, QWidget* parent = nullptr);
    ~YearWindow() override;

    // Loads the file (or starts an empty calendar) and draws the year. False when the
    // file cannot be read; error then holds the message and the window is not to be shown.
    bool OpenCalendar(const QString& path, QString* error);

    // --- YearWindowLink
    const AppContext& Context() const override { return context_; }
    QWidget* Widget() override { return this; }
    QWidget* DialogParent() override;
    bool Gregorian() const override { return style_.Gregorian; }
    calendar::Weekday WeekStart() const override { return style_.WeekStart; }
    calendar::WeekRule WeekOneRule() const override { return style_.WeekOneRule; }
    int ShownYear() const override { return shownYear_; }
    std::vector<data::DayEvent> EventsOn(const calendar::CivilDate& date) const override;
    bool NewEventOn(const calendar::CivilDate& date) override;
    bool EditEventByKey(int ev_no, const calendar::CivilDate& default_date) override;
    bool DeleteEventByKey(int ev_no) override;
    const data::Table& EventsTable() const override { return calendar_->CdsEvents(); }

    // --- the calendar this window owns and writes
    data::EventTables& Calendar() { return *calendar_; }
    // Regenerates the occurrences of the year and repaints; the refresh after any change
    // of events. Years outside 1..9999 are refused (false).
    bool ShowYear(int year);
    // Marks the calendar as changed since it was loaded or saved.
    void SetModified();
    // The marked day (month 1–12, day), or day 0 when none is marked.
    int SelectedMonth() const { return selectedMonth_; }
    int SelectedDay() const { return selectedDay_; }
    // The event editor in new mode on the marked day (1 January of the shown year without
    // one).
    bool NewEvent();
    // The event editor in edit mode for the first event of the marked day; nothing when
    // the day has none. True when the event was changed.
    bool EditEvent();

    // --- commands of the main window
    void ReloadDisplaySettings();
    // Texts and day and month names of the current language (after a language change).
    void ApplyTexts();
    bool SaveCalendar();
    // Also in a read-only window, which then writes the new file.
    bool SaveCalendarAs();
    // The shown year on one page: title, grid and the legend of the groups it shows.
    void PrintYear(QPainter& painter);
    bool Print(QPrinter& printer);
    // The caption without the change marker: the printed title and the print job's name,
    // which the print dialog also proposes as the file name.
    QString PrintTitle() const;
    void ShowToday();
    // The day sheet on the marked day (1 January without a mark), created on first use.
    void ShowDaySheet();
    DaySheet* CurrentDaySheet() const;
    // The event list of the shown year, created on first use.
    void ShowEventList();
    EventListWindow* CurrentEventList() const;
    // The day calculator over this window's calendar, modal.
    void ShowDayCalculator();
    // Another year window became active: its tool windows are the ones shown.
    void HideToolWindows();
    void ShowToolWindows();
    // Moves a shown tool window that covers the grid beside it (after the window moved).
    void KeepToolWindowsOffGrid();
    void SetInspectMode(bool on);
    bool InspectMode() const { return inspectMode_; }
    bool ReadOnly() const { return document_.ReadOnly(); }
    QString FileName() const { return document_.FileName(); }
    bool Modified() const { return document_.Modified(); }
    int WindowNumber() const { return windowNumber_; }
    bool HoldsLock() const { return document_.HoldsLock(); }
    QString LockPath() const { return document_.LockPath(); }
    // Delimited text of the events, or an iCalendar file of the shown year's days when
    // the chosen name ends in ".ics".
    void Export();
    bool Import(const QString& path);

    // The save question of a modified calendar (for a read-only one: Save As, Discard or
    // Cancel); true when the window may close. Asked by the main window for all windows
    // before any closes.
    bool QueryClose() { return document_.QueryClose(); }
    // The main window has already asked: close without asking again.
    void SetCloseApproved() { closeApproved_ = true; }

    // --- the grid, for hit testing and tests; months 1–12
    std::optional<HitDay> HitTest(QPoint point) const { return layout_.HitTest(grid_, point); }
    const DayGrid& Grid() const { return grid_; }
    const YearLayout& Layout() const { return layout_; }
    QRect DayCellRect(int month, int day) const { return layout_.DayCellRect(grid_, month, day); }
    const QPixmap& Bitmap() const { return bitmap_; }
    QString HintText() const;
    bool HintVisible() const;
    int HoverMonth() const { return hoverMonth_; }
    int HoverDay() const { return hoverDay_; }
    QString Caption() const;
    QMenu* PopupMenu() const { return pmYear_; }

    // Signals for the main window: the shown year or the inspect mode changed, or the
    // window painted for the first time.
    Q_SIGNAL void yearShown(int year);
    Q_SIGNAL void inspectModeChanged(bool on);
    Q_SIGNAL void firstPainted();

    // The size that suits the year font, frame and caption not included.
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void DrawYear();
    void EnsureBitmap();
    void Generate();
    void RedrawCell(int month, int day, CellState state);
    void SelectDay(int month, int day);
    void MoveMark(int days);
    void PlaceHint(QPoint point, const HitDay& hit);
    void ClearHover();
    void UpdateCaption();
    // Name, window number when untitled, the marker given and the year.
    QString TitleWith(const QString& change_marker) const;
    // Names the events whose rules could not be read; a writable window offers to delete
    // them.
    void ReportSkipped(const std::vector<data::SkippedEvent>& skipped);
    // Deletes the event and marks the window changed, without regenerating.
    bool RemoveEvent(int ev_no);
    QString ErrorText(const data::Error& error) const;
    void ShowError(const QString& text);
    std::optional<calendar::CivilDate> MarkedDate() const;

    AppContext& context_;
    std::unique_ptr<data::EventTables> calendar_;
    CalendarDocument document_;
    YearStyle style_;
    YearPainter painter_;
    YearLayout layout_;
    DayGrid grid_;
    QPixmap bitmap_;
    QFont font_;

    int shownYear_;
    int selectedDay_ = 0;    // 0: no marked day
    int selectedMonth_ = 0;  // 1–12
    int hoverDay_ = 0;       // 0: no framed day
    int hoverMonth_ = 0;     // 1–12
    bool inspectMode_ = false;
    bool printing_ = false;
    bool closeApproved_ = false;
    bool painted_ = false;
    bool sheetOnShow_ = false;  // the setting to open the day sheet with the window
    int windowNumber_;
    std::set<int> reportedSkips_;  // events already named in a skipped-events message

    InspectorHint* hint_ = nullptr;
    QPointer<DaySheet> daySheet_;          // closing the sheet deletes it
    QPointer<EventListWindow> eventList_;  // closing the list deletes it
    QMenu* pmYear_ = nullptr;
    QAction* iNewEvent_ = nullptr;
    QAction* iEditEvent_ = nullptr;
    QAction* iInspect_ = nullptr;
    QAction* iInfoWin_ = nullptr;
};

}  // namespace yorbel::gui
