// The main window's document commands: opening calendars (guarded by their locks, the
// sample on a first run), saving, printing, importing and exporting them, and asking
// every calendar before the main window closes.
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStringList>
#include <string>

#include "app/settings.h"
#include "desktop/main_window.h"
#include "desktop/tool_icons.h"
#include "ui/app_context.h"
#include "yearview/year_window.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kMain = "FrmMain";

}  // namespace

YearWindow* MainWindow::OpenCalendarFile(const QString& path, bool read_only) {
    return OpenCalendarFileLocked(path, read_only, app::CalendarLock{});
}

YearWindow* MainWindow::OpenCalendarFileLocked(const QString& path, bool read_only,
                                               app::CalendarLock lock) {
    const QDate today = QDate::currentDate();
    // Only untitled windows show their number, so only they count: 1, 2, 3 in turn.
    const int number = path.isEmpty() ? ++windowCounter_ : 0;
    auto* year = new YearWindow(context_, today.year(), read_only, number, today.day(),
                                today.month(), std::move(lock));
    QString error;
    if (!year->OpenCalendar(path, &error)) {
        if (path.isEmpty()) --windowCounter_;
        delete year;  // releases a lock taken for it
        context_.Ui->Tell(this, QMessageBox::Warning, QStringLiteral("Yorbel"), error);
        return nullptr;
    }
    year->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = mdi_->addSubWindow(year);
    sub->setWindowIcon(MakeToolIcon(ToolIcon::App));
    year->resize(year->sizeHint());
    sub->adjustSize();
    FitFrame(sub);
    connect(year, &YearWindow::yearShown, this, [this, year] {
        if (year == ActiveYearWindow()) {
            ShowActiveYear();
            UpdateMenus();
        }
    });
    connect(year, &YearWindow::inspectModeChanged, this, &MainWindow::UpdateMenus);
    connect(year, &QObject::destroyed, this, [this] {
        ShowActiveYear();
        UpdateMenus();
    });
    connect(year, &YearWindow::firstPainted, this, [this] {
        if (!firstPaintSeen_) {
            firstPaintSeen_ = true;
            emit firstYearPainted();
        }
    });
    LeaveFrameKeysToTheMenus(sub);
    // A file opened read-only (a shipped example) must not come back writable from the list.
    if (!read_only) RememberFile(path);
    sub->move(25, 25);
    sub->show();
    mdi_->setActiveSubWindow(sub);
    year->setFocus();
    ShowActiveYear();
    UpdateMenus();
    return year;
}

YearWindow* MainWindow::OpenGuarded(const QString& path) {
    const std::string file = path.toStdString();
    app::CalendarLock lock;
    if (lock.TryAcquire(file)) return OpenCalendarFileLocked(path, false, std::move(lock));
    // A lock left by a program that no longer runs (after a crash) may be taken over.
    if (const app::LockInfo info = app::InspectLock(file);
        info.state == app::LockState::Abandoned) {
        const app::LockOwner& owner = info.owner;
        const auto answer = context_.Ui->Ask(
            this, QMessageBox::Warning, path,
            context_.Text(kMain, "TakeOverLock")
                .arg(QString::fromStdString(owner.program), QString::number(owner.pid),
                     QString::fromStdString(owner.user), QString::fromStdString(owner.host)),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes && lock.TakeOver(file))
            return OpenCalendarFileLocked(path, false, std::move(lock));
        if (answer == QMessageBox::No) return OpenCalendarFile(path, true);
        if (answer != QMessageBox::Yes) return nullptr;
        // Someone else took the lock over first: it is held again.
    }
    const auto answer =
        context_.Ui->Ask(this, QMessageBox::Warning, path, context_.Text(kMain, "ReadOnlyWarning"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return OpenCalendarFile(path, true);
    return nullptr;
}

QString MainWindow::SampleCalendar() const {
    const QDir examples(context_.ProgramFolder + QStringLiteral("examples"));
    const QString preferred = examples.filePath(
        app::LanguageOf(context_.Settings) == app::Language::German ? QStringLiteral("Beispiel.yrb")
                                                                    : QStringLiteral("Sample.yrb"));
    if (QFileInfo::exists(preferred)) return preferred;
    const QStringList any = examples.entryList({QStringLiteral("*.yrb")}, QDir::Files, QDir::Name);
    return any.isEmpty() ? QString() : examples.filePath(any.constFirst());
}

void MainWindow::Start(const QStringList& files, bool first_run) {
    const QString sample = first_run ? SampleCalendar() : QString();
    if (!files.isEmpty()) {
        for (const QString& file : files) OpenGuarded(QFileInfo(file).absoluteFilePath());
        // Several calendars asked for at once are all to be seen.
        if (mdi_->subWindowList().size() > 1) Tile(Qt::Horizontal);
    } else if (!sample.isEmpty()) {
        // A newcomer sees a coloured year at once. The shipped sample is shown read-only,
        // so it stays as shipped.
        OpenCalendarFile(sample, true);
    } else if (context_.Settings.OpenLastActive && context_.Store) {
        const QString last = QString::fromStdString(app::ReadLastActiveFile(*context_.Store));
        if (last.isEmpty())
            OpenCalendarFile(QString(), false);
        else
            OpenGuarded(last);
    }
    ShowStatus();
}

void MainWindow::iNewClick() {
    OpenCalendarFile(QString(), false);
}

void MainWindow::iOpenClick() {
    const auto choice = context_.Ui->GetOpenFile(
        this, QString(), QtFileFilter(context_.Text(kMain, "dlgOpen_Filter")),
        context_.Text(kMain, "dlgOpen_ReadOnly"));
    if (!choice) return;
    if (choice->ReadOnly)
        OpenCalendarFile(choice->Path, true);
    else
        OpenGuarded(choice->Path);
}

void MainWindow::iCloseClick() {
    if (QMdiSubWindow* sub = mdi_->currentSubWindow()) sub->close();
}

void MainWindow::iSaveClick() {
    if (YearWindow* year = ActiveYearWindow(); year && !year->ReadOnly() && year->SaveCalendar())
        RememberFile(year->FileName());
}

void MainWindow::iSaveAsClick() {
    if (YearWindow* year = ActiveYearWindow(); year && year->SaveCalendarAs()) {
        RememberFile(year->FileName());
        UpdateMenus();
    }
}

void MainWindow::iImportClick() {
    YearWindow* year = ActiveYearWindow();
    if (!year) return;
    const auto choice =
        context_.Ui->GetOpenFile(this, context_.Text(kMain, "Import_Title"),
                                 QtFileFilter(context_.Text(kMain, "Import_Filter")), QString());
    if (choice) year->Import(choice->Path);
}

void MainWindow::iExportClick() {
    if (YearWindow* year = ActiveYearWindow()) year->Export();
}

void MainWindow::iPrintClick() {
    YearWindow* year = ActiveYearWindow();
    if (!year) return;
    QPrinter printer(QPrinter::HighResolution);
    // The job's name titles the PDF and gives the file name the print dialog proposes.
    printer.setDocName(year->PrintTitle());
    printer.setCreator(QStringLiteral("Yorbel"));
    if (!context_.Ui->SetUpPrinter(this, printer)) return;
    year->Print(printer);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every window is asked first, so a refusal leaves all windows and locks as they were.
    const QList<YearWindow*> windows = YearWindows();
    for (YearWindow* year : windows) {
        if (!year->QueryClose()) {
            event->ignore();
            return;
        }
    }
    if (context_.Settings.OpenLastActive && context_.Store) {
        if (YearWindow* active = ActiveYearWindow()) {
            if (QMdiSubWindow* sub = mdi_->currentSubWindow()) sub->showNormal();
            app::WriteLastActiveFile(*context_.Store, active->FileName().toStdString());
        }
    }
    for (YearWindow* year : windows) year->SetCloseApproved();
    mdi_->closeAllSubWindows();
    event->accept();
}

}  // namespace yorbel::gui
