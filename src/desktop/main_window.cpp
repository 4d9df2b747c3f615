#include "desktop/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <string>

#include "app/settings.h"
#include "calendar/dates.h"
#include "desktop/help_menu.h"
#include "desktop/settings_commands.h"
#include "desktop/tool_icons.h"
#include "ui/app_context.h"
#include "ui/mnemonics.h"
#include "yearview/year_window.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kMain = "FrmMain";

}  // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Yorbel"));
    setWindowIcon(MakeToolIcon(ToolIcon::App));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        UpdateMenus();
        ShowActiveYear();
        ScrollIntoView(sub);
        HideOtherToolWindows();
    });

    if (context_.Ui) {
        // File dialogs start where the user last was, in the documents folder at first.
        QString folder = context_.Store
                             ? QString::fromStdString(app::ReadLastFolder(*context_.Store))
                             : QString();
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        context_.Ui->StartFolder = folder;
        context_.Ui->FolderUsed = [this](const QString& used) {
            if (context_.Store) app::WriteLastFolder(*context_.Store, used.toStdString());
        };
    }

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ApplyMainTexts();
    UpdateMenus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() - 50, available.height() - 100);
        move(available.topLeft() + QPoint(25, 25));
    }
}

MainWindow::~MainWindow() {
    // The child windows die after this object's members: they must not call back.
    disconnect(mdi_, nullptr, this, nullptr);
    for (YearWindow* year : findChildren<YearWindow*>()) disconnect(year, nullptr, this, nullptr);
}

QAction* MainWindow::AddAction(const char* name, const QKeySequence& shortcut) {
    auto* action = new QAction(this);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    allActions_ << action;
    return action;
}

QAction* MainWindow::Action(const std::string& name) const {
    return findChild<QAction*>(QString::fromStdString(name), Qt::FindDirectChildrenOnly);
}

void MainWindow::CreateActions() {
    MainActions& a = actions_;
    a.newCalendar = AddAction("iNew", QKeySequence(Qt::CTRL | Qt::Key_N));
    a.open = AddAction("iOpen", QKeySequence(Qt::CTRL | Qt::Key_O));
    mRecent_ = new QMenu(this);
    mRecent_->setObjectName(QStringLiteral("mRecent"));
    a.recentFiles = AddAction("iRecent");
    a.recentFiles->setMenu(mRecent_);
    mExamples_ = new QMenu(this);
    mExamples_->setObjectName(QStringLiteral("mExamples"));
    a.examples = AddAction("iExamples");
    a.examples->setMenu(mExamples_);
    a.close = AddAction("iClose", QKeySequence(Qt::CTRL | Qt::Key_W));
    a.save = AddAction("iSave", QKeySequence(Qt::CTRL | Qt::Key_S));
    a.saveAs = AddAction("iSaveAs");
    a.importEvents = AddAction("iImport");
    a.exportEvents = AddAction("iExport");
    a.print = AddAction("iPrint", QKeySequence(Qt::CTRL | Qt::Key_P));
    a.quit = AddAction("iQuit", QKeySequence(Qt::CTRL | Qt::Key_Q));

    a.cut = AddAction("iCut", QKeySequence(Qt::CTRL | Qt::Key_X));
    a.copy = AddAction("iCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    a.paste = AddAction("iPaste", QKeySequence(Qt::CTRL | Qt::Key_V));
    a.clear = AddAction("iClear");

    a.newEvent = AddAction("iNewEvent", QKeySequence(Qt::CTRL | Qt::Key_E));
    a.editEvent = AddAction("iEditEvent", QKeySequence(Qt::CTRL | Qt::Key_A));
    a.daySheet = AddAction("iInfoWin", QKeySequence(Qt::CTRL | Qt::Key_K));
    a.eventList = AddAction("iList", QKeySequence(Qt::CTRL | Qt::Key_D));
    a.dayCalculator = AddAction("iDayCalc", QKeySequence(Qt::CTRL | Qt::Key_R));
    a.filter = AddAction("iFilter", QKeySequence(Qt::CTRL | Qt::Key_B));
    a.inspect = AddAction("iInspect", QKeySequence(Qt::CTRL | Qt::Key_I));
    a.today = AddAction("iToday", QKeySequence(Qt::CTRL | Qt::Key_H));
    a.options = AddAction("iOptions", QKeySequence(Qt::CTRL | Qt::Key_L));

    a.tileVertically = AddAction("iTileVert");
    a.tileHorizontally = AddAction("iTileHoriz");
    a.cascade = AddAction("iCascade");

    a.contents = AddAction("iContents", QKeySequence(Qt::Key_F1));
    a.firstSteps = AddAction("iFirstSteps");
    a.homepage = AddAction("iVisitHomepage");
    a.about = AddAction("iAbout");

    const auto tool = [this](const char* name, ToolIcon icon) {
        QAction* action = AddAction(name);
        action->setIcon(MakeToolIcon(icon));
        return action;
    };
    a.toolNew = tool("tbNew", ToolIcon::New);
    a.toolOpen = tool("tbOpen", ToolIcon::Open);
    a.toolSave = tool("tbSave", ToolIcon::Save);
    a.toolPrint = tool("tbPrint", ToolIcon::Print);
    a.toolToday = tool("tbToday", ToolIcon::Today);
    a.toolFilter = tool("tbFilter", ToolIcon::Filter);
    a.toolCalculator = tool("tbCalc", ToolIcon::Calc);
    a.toolInspect = tool("tbInspect", ToolIcon::Inspect);
    a.toolPreviousYear = tool("tbPrevYear", ToolIcon::PrevYear);
    a.toolNextYear = tool("tbNextYear", ToolIcon::NextYear);

    const auto on = [this](std::initializer_list<QAction*> actions, auto command) {
        for (QAction* action : actions) connect(action, &QAction::triggered, this, command);
    };
    on({a.newCalendar, a.toolNew}, &MainWindow::iNewClick);
    on({a.open, a.toolOpen}, &MainWindow::iOpenClick);
    on({a.close}, &MainWindow::iCloseClick);
    on({a.save, a.toolSave}, &MainWindow::iSaveClick);
    on({a.saveAs}, &MainWindow::iSaveAsClick);
    on({a.importEvents}, &MainWindow::iImportClick);
    on({a.exportEvents}, &MainWindow::iExportClick);
    on({a.print, a.toolPrint}, &MainWindow::iPrintClick);
    on({a.quit}, &QWidget::close);
    on({a.cut}, [this] { ClipboardCommand("cut"); });
    on({a.copy}, [this] { ClipboardCommand("copy"); });
    on({a.paste}, [this] { ClipboardCommand("paste"); });
    on({a.newEvent}, [this] {
        if (YearWindow* year = ActiveYearWindow()) year->NewEvent();
    });
    on({a.editEvent}, [this] {
        if (YearWindow* year = ActiveYearWindow()) year->EditEvent();
    });
    on({a.daySheet}, [this] {
        if (YearWindow* year = ActiveYearWindow()) year->ShowDaySheet();
    });
    on({a.eventList}, [this] {
        if (YearWindow* year = ActiveYearWindow()) year->ShowEventList();
    });
    on({a.dayCalculator, a.toolCalculator}, [this] {
        if (YearWindow* year = ActiveYearWindow()) year->ShowDayCalculator();
    });
    for (QAction* inspect : {a.inspect, a.toolInspect}) inspect->setCheckable(true);
    on({a.inspect, a.toolInspect}, &MainWindow::iInspectClick);
    on({a.today, a.toolToday}, &MainWindow::iTodayClick);
    on({a.tileVertically}, [this] { Tile(Qt::Horizontal); });
    on({a.tileHorizontally}, [this] { Tile(Qt::Vertical); });
    connect(a.cascade, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    on({a.toolPreviousYear}, [this] { StepYear(-1); });
    on({a.toolNextYear}, [this] { StepYear(+1); });

    // Commands whose windows come with later work: shown, never enabled.
    for (QAction* later : {a.clear}) later->setEnabled(false);
    InstallSettingsCommands(*this, context_);
    ConnectHelpCommands(this, context_, {a.contents, a.firstSteps, a.homepage, a.about});
}

void MainWindow::CreateMenus() {
    const MainActions& a = actions_;
    auto add = [](QMenu* menu, std::initializer_list<QAction*> actions) {
        for (QAction* action : actions) {
            if (action == nullptr)
                menu->addSeparator();
            else
                menu->addAction(action);
        }
    };
    mFile_ = menuBar()->addMenu(QString());
    mFile_->setObjectName(QStringLiteral("mFile"));
    add(mFile_,
        {a.newCalendar, a.open, a.recentFiles, a.examples, a.close, nullptr, a.save, a.saveAs,
         nullptr, a.importEvents, a.exportEvents, nullptr, a.print, nullptr, a.quit});
    mEdit_ = menuBar()->addMenu(QString());
    mEdit_->setObjectName(QStringLiteral("mEdit"));
    add(mEdit_, {a.cut, a.copy, a.paste, a.clear});
    mExtras_ = menuBar()->addMenu(QString());
    mExtras_->setObjectName(QStringLiteral("mExtras"));
    add(mExtras_, {a.newEvent, a.editEvent, nullptr, a.daySheet, a.eventList, a.dayCalculator,
                   nullptr, a.filter, a.inspect, a.today, nullptr, a.options});
    mWindow_ = menuBar()->addMenu(QString());
    mWindow_->setObjectName(QStringLiteral("mWindow"));
    connect(mWindow_, &QMenu::aboutToShow, this, &MainWindow::UpdateWindowMenu);
    UpdateWindowMenu();
    mHelp_ = menuBar()->addMenu(QString());
    mHelp_->setObjectName(QStringLiteral("mHelp"));
    add(mHelp_, {a.contents, a.firstSteps, nullptr, a.homepage, a.about});
    for (QMenu* menu : {mFile_, mEdit_, mExtras_})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateMenus);
    connect(mFile_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
    connect(mFile_, &QMenu::aboutToShow, this, &MainWindow::FillExamplesMenu);
    // Connected last, so the letters see the entries the menu is about to show.
    for (QMenu* menu : {mFile_, mRecent_, mExamples_, mEdit_, mExtras_, mWindow_, mHelp_})
        KeepMnemonics(*menu);
}

void MainWindow::CreateToolBar() {
    toolBar_ = addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(16, 16));
    const MainActions& a = actions_;
    toolBar_->addActions({a.toolNew, a.toolOpen, a.toolSave, a.toolPrint});
    toolBar_->addSeparator();
    toolBar_->addActions({a.toolToday, a.toolFilter, a.toolCalculator, a.toolInspect});
    toolBar_->addSeparator();
    toolBar_->addAction(a.toolPreviousYear);
    ebYear_ = new QLineEdit(toolBar_);
    ebYear_->setObjectName(QStringLiteral("ebYear"));
    ebYear_->setMaxLength(6);
    ebYear_->setAlignment(Qt::AlignRight);
    ebYear_->setFixedWidth(ebYear_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    // The year is taken when the typing is done (Enter or leaving the box): taking each
    // keystroke would jump through years 2, 20, 203 on the way to 2030.
    connect(ebYear_, &QLineEdit::editingFinished, this, &MainWindow::ebYearEdited);
    toolBar_->addWidget(ebYear_);
    toolBar_->addAction(a.toolNextYear);
}

void MainWindow::CreateStatusBar() {
    static constexpr int kWidths[4] = {100, 300, 50, 50};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("sbMain_%1").arg(i));
        panels_[i]->setMinimumWidth(kWidths[i]);
        statusBar()->addWidget(panels_[i]);
    }
}

void MainWindow::ApplyMainTexts() {
    for (QAction* action : allActions_) {
        const std::string name = action->objectName().toStdString();
        if (name.rfind("tb", 0) == 0) {
            const QString hint = context_.Text(kMain, name + "_Hint");
            action->setText(hint);
            action->setToolTip(hint);
        } else {
            action->setText(context_.Text(kMain, name));
        }
    }
    mFile_->setTitle(context_.Text(kMain, "mFile"));
    mEdit_->setTitle(context_.Text(kMain, "mEdit"));
    mExtras_->setTitle(context_.Text(kMain, "mExtras"));
    mWindow_->setTitle(context_.Text(kMain, "mWindow"));
    mHelp_->setTitle(context_.Text(kMain, "mHelp"));
    ebYear_->setToolTip(context_.Text(kMain, "ebYear_Hint"));
    GiveMnemonics(*menuBar());
}

YearWindow* MainWindow::ActiveYearWindow() const {
    // The current window stays current while a dialog or another program has the focus.
    QMdiSubWindow* sub = mdi_->currentSubWindow();
    return sub ? qobject_cast<YearWindow*>(sub->widget()) : nullptr;
}

QList<YearWindow*> MainWindow::YearWindows() const {
    QList<YearWindow*> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* year = qobject_cast<YearWindow*>(sub->widget())) windows << year;
    return windows;
}

// One place decides what is enabled: called when a window becomes active or closes and
// whenever a menu opens.
void MainWindow::UpdateMenus() {
    const MainActions& a = actions_;
    YearWindow* year = ActiveYearWindow();
    const bool hasYear = year != nullptr;
    const bool writable = hasYear && !year->ReadOnly();
    for (QAction* action : {a.close, a.importEvents, a.exportEvents, a.print, a.toolPrint, a.today,
                            a.toolToday, a.inspect, a.toolInspect})
        action->setEnabled(hasYear);
    for (QAction* action : {a.save, a.toolSave}) action->setEnabled(writable);
    // A read-only window's changes can still be kept under another name.
    a.saveAs->setEnabled(hasYear);
    a.daySheet->setEnabled(hasYear);
    for (QAction* action : {a.eventList, a.dayCalculator, a.toolCalculator})
        action->setEnabled(hasYear);
    for (QAction* action : {a.newEvent, a.editEvent})
        action->setEnabled(hasYear && static_cast<bool>(context_.EventEditor));
    a.toolPreviousYear->setEnabled(hasYear && year->ShownYear() > calendar::kMinYear);
    a.toolNextYear->setEnabled(hasYear && year->ShownYear() < calendar::kMaxYear);
    ebYear_->setEnabled(hasYear);
    const bool inspecting = hasYear && year->InspectMode();
    a.inspect->setChecked(inspecting);
    a.toolInspect->setChecked(inspecting);
    for (QAction* action : {a.tileVertically, a.tileHorizontally, a.cascade})
        action->setEnabled(!mdi_->subWindowList().isEmpty());
}

// Only the active year window's day sheet is shown; the others wait hidden until their
// window becomes active again. Nothing changes while no year window is active (a dialog
// or the day sheet itself has the focus).
void MainWindow::HideOtherToolWindows() {
    YearWindow* active = ActiveYearWindow();
    if (!active) return;
    for (YearWindow* year : YearWindows())
        if (year != active) year->HideToolWindows();
    active->ShowToolWindows();
}

void MainWindow::ShowActiveYear() {
    yearBoxUpdating_ = true;
    ebYear_->clear();
    if (YearWindow* year = ActiveYearWindow()) ebYear_->setText(QString::number(year->ShownYear()));
    yearBoxUpdating_ = false;
}

QString MainWindow::StatusText(int panel) const {
    return panel >= 0 && panel < 4 ? panels_[panel]->text() : QString();
}

void MainWindow::ShowStatus() {
    const app::Settings& s = context_.Settings;
    panels_[0]->setText(context_.Text(kMain, app::Gregorian(s) ? "Gregorian" : "Julian"));
    panels_[1]->setText(s.CustomPos ? QString() : QString::fromStdString(app::LocationText(s)));
    const double zone = app::ZoneHours(s);
    const QString number =
        QLocale::system().toString(zone < 0 ? -zone : zone, 'g', QLocale::FloatingPointShortest);
    panels_[2]->setText((zone < 0 ? QStringLiteral("-") : QStringLiteral("+")) + number);
    panels_[3]->clear();
}

void MainWindow::ClipboardCommand(const char* slot) {
    // Only text editors take part; for anything else the command does nothing.
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    if (focus->inherits("QLineEdit") || focus->inherits("QTextEdit") ||
        focus->inherits("QPlainTextEdit"))
        QMetaObject::invokeMethod(focus, slot);
}

void MainWindow::iInspectClick() {
    YearWindow* year = ActiveYearWindow();
    if (year) year->SetInspectMode(!year->InspectMode());
    UpdateMenus();
}

void MainWindow::iTodayClick() {
    if (YearWindow* year = ActiveYearWindow()) year->ShowToday();
    ShowActiveYear();
}

void MainWindow::StepYear(int delta) {
    YearWindow* year = ActiveYearWindow();
    if (!year) return;
    year->ShowYear(year->ShownYear() + delta);
    ShowActiveYear();
    UpdateMenus();
}

void MainWindow::ebYearEdited() {
    YearWindow* year = ActiveYearWindow();
    const QString text = ebYear_->text().trimmed();
    if (yearBoxUpdating_ || !year || text == QString::number(year->ShownYear())) return;
    if (text.isEmpty()) {  // an emptied box changes nothing
        ShowActiveYear();
        return;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    QString refusal;
    if (!ok) {
        refusal = context_.Text(kMain, "YearNotNumber").arg(text);
    } else if (value < calendar::kMinYear || value > calendar::kMaxYear) {
        refusal = context_.Text(kMain, "YearOutOfRange").arg(value);
    }
    if (!refusal.isEmpty()) {
        // The box shows the year on screen again first, so that the focus leaving it
        // for the message cannot refuse the same text a second time.
        ShowActiveYear();
        context_.Ui->Tell(this, QMessageBox::Warning, QStringLiteral("Yorbel"), refusal);
        return;
    }
    year->ShowYear(value);
    ShowActiveYear();
    UpdateMenus();
}

}  // namespace yorbel::gui
