// MainWindow: the multiple-document frame. It owns the menu, the toolbar with the year box
// and the status bar, creates one year window per opened calendar and forwards every
// document command to the active year window.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <string>

#include "app/lock_file.h"

class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace yorbel::gui {

struct AppContext;
class YearWindow;

// The frame's commands. Each action's object name is its language-file key in [FrmMain]
// ("iNew"); a toolbar button ("tbNew") takes its text and hint from "<name>_Hint".
struct MainActions {
    // File menu
    QAction* newCalendar = nullptr;
    QAction* open = nullptr;
    QAction* recentFiles = nullptr;  // submenu: the last calendars opened or saved
    QAction* examples = nullptr;     // submenu: the shipped example calendars, read-only
    QAction* close = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* importEvents = nullptr;
    QAction* exportEvents = nullptr;
    QAction* print = nullptr;
    QAction* quit = nullptr;
    // Edit menu
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* clear = nullptr;
    // Extras menu
    QAction* newEvent = nullptr;
    QAction* editEvent = nullptr;
    QAction* daySheet = nullptr;
    QAction* eventList = nullptr;
    QAction* dayCalculator = nullptr;
    QAction* filter = nullptr;
    QAction* inspect = nullptr;
    QAction* today = nullptr;
    QAction* options = nullptr;
    // Window menu
    QAction* tileVertically = nullptr;
    QAction* tileHorizontally = nullptr;
    QAction* cascade = nullptr;
    // Help menu
    QAction* contents = nullptr;
    QAction* firstSteps = nullptr;
    QAction* homepage = nullptr;
    QAction* about = nullptr;
    // Toolbar buttons: actions of their own, so each carries its own hint.
    QAction* toolNew = nullptr;
    QAction* toolOpen = nullptr;
    QAction* toolSave = nullptr;
    QAction* toolPrint = nullptr;
    QAction* toolToday = nullptr;
    QAction* toolFilter = nullptr;
    QAction* toolCalculator = nullptr;
    QAction* toolInspect = nullptr;
    QAction* toolPreviousYear = nullptr;
    QAction* toolNextYear = nullptr;
};

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up step after the first show: the files of the command line, else the bundled
    // sample on a first run, else the last active file when that option is on; then the
    // status bar.
    void Start(const QStringList& files, bool first_run);
    // The sample calendar of the interface language beside the program, or any sample.
    QString SampleCalendar() const;

    // Creates a year window for the path (empty: a new, untitled calendar). Returns
    // nullptr when the calendar cannot be read; the error has then been shown.
    YearWindow* OpenCalendarFile(const QString& path, bool read_only);
    // Opens a file for writing when its lock can be taken; offers to take over a lock whose
    // owner no longer runs, and offers a file held by a running owner read-only.
    YearWindow* OpenGuarded(const QString& path);

    YearWindow* ActiveYearWindow() const;
    QList<YearWindow*> YearWindows() const;
    QMdiArea* MdiArea() const { return mdi_; }
    // The command with that object name, for callers that name commands by their key.
    QAction* Action(const std::string& name) const;
    QLineEdit* YearBox() const { return ebYear_; }
    QString StatusText(int panel) const;

    void ApplyMainTexts();
    void ShowActiveYear();
    // Each window's border after its year's size changed with the font or the setting to
    // follow it.
    void FitFrames();
    void ShowStatus();

    // Emitted once, after a year window has painted for the first time.
    Q_SIGNAL void firstYearPainted();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* AddAction(const char* name, const QKeySequence& shortcut = {});
    YearWindow* OpenCalendarFileLocked(const QString& path, bool read_only, app::CalendarLock lock);

    void UpdateMenus();
    void FillRecentMenu();
    void FillExamplesMenu();
    void OpenRecent(const QString& path);
    // Puts a calendar just opened or saved at the top of Recent Files.
    void RememberFile(const QString& path);
    void UpdateWindowMenu();
    void HideOtherToolWindows();

    void iNewClick();
    void iOpenClick();
    void iCloseClick();
    void iSaveClick();
    void iSaveAsClick();
    void iImportClick();
    void iExportClick();
    void iPrintClick();
    void ClipboardCommand(const char* slot);
    void iInspectClick();
    void iTodayClick();
    void StepYear(int delta);
    void ebYearEdited();
    void FitFrame(QMdiSubWindow* sub);
    void ScrollIntoView(QMdiSubWindow* sub);
    void Tile(Qt::Orientation orientation);
    void LeaveFrameKeysToTheMenus(QMdiSubWindow* sub) const;

    AppContext& context_;
    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLineEdit* ebYear_ = nullptr;
    QLabel* panels_[4] = {};
    QMenu* mFile_ = nullptr;
    QMenu* mRecent_ = nullptr;
    QMenu* mExamples_ = nullptr;
    QMenu* mEdit_ = nullptr;
    QMenu* mExtras_ = nullptr;
    QMenu* mWindow_ = nullptr;
    QMenu* mHelp_ = nullptr;
    MainActions actions_;
    QList<QAction*> allActions_;  // every one of actions_, in creation order
    int windowCounter_ = 0;       // untitled windows created in this run; numbers are never reused
    bool yearBoxUpdating_ = false;
    bool firstPaintSeen_ = false;
};

}  // namespace yorbel::gui
