// The main window with scripted dialogs: start-up, opening with and without locks, the
// year box, closing questions, Save As and its lock, printing to PDF.
#include "desktop/main_window.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "../app/abandoned_lock.h"
#include "app/lock_file.h"
#include "data/events.h"
#include "data/occurrences.h"
#include "desktop/settings_commands.h"
#include "support/test_app.h"
#include "yearview/year_window.h"

using namespace yorbel;
using namespace yorbel::gui;
using test::EventRow;

namespace {

QString LockOf(const QString& path) {
    return QString::fromStdString(app::LockFileName(path.toStdString()));
}

// A printer whose program dies once painting has begun.
class DyingPrinter : public QPrinter {
  protected:
    int metric(PaintDeviceMetric metric) const override {
        if (paintingActive()) ::raise(SIGKILL);
        return QPrinter::metric(metric);
    }
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestApp> app_;
    std::unique_ptr<MainWindow> main_;
    QString plan_;

    test::ScriptedDialogs& Dialogs() { return app_->Dialogs(); }
    int WindowCount() const { return static_cast<int>(main_->MdiArea()->subWindowList().size()); }
    void Trigger(const char* action) { main_->Action(action)->trigger(); }

    // Chooses an entry of a File submenu as the user does: File, then the submenu, then the
    // entry's number, or Down and Enter for the first.
    void ChooseFromFileMenu(const char* submenu, Qt::Key key) {
        auto* file = main_->findChild<QMenu*>(QStringLiteral("mFile"));
        file->popup(main_->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        auto* sub = main_->findChild<QMenu*>(QLatin1String(submenu));
        sub->popup(main_->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(sub));
        QTest::keyClick(sub, key);
        if (key == Qt::Key_Down) QTest::keyClick(sub, Qt::Key_Return);
        file->close();
    }

  private slots:
    void init() {
        app_ = std::make_unique<test::TestApp>();
        plan_ = app_->MakeCalendar(QStringLiteral("Plan.yrb"),
                                   {EventRow{"Holiday", 1, 0, "20260803", "20260807"}});
        main_ = std::make_unique<MainWindow>(app_->Context());
        main_->show();
    }
    void cleanup() {
        // Windows with unsaved changes would ask; a test that leaves them says No.
        for (YearWindow* year : main_->YearWindows()) year->SetCloseApproved();
        main_.reset();
        QCOMPARE(Dialogs().unexpected, 0);
        app_.reset();
    }

    void everyMenuItemHasTextAndTheUnbuiltOnesAreDisabled() {
        const char* const items[] = {
            "iNew",     "iOpen",     "iClose",      "iSave",          "iSaveAs",   "iImport",
            "iExport",  "iPrint",    "iQuit",       "iCut",           "iCopy",     "iPaste",
            "iClear",   "iNewEvent", "iEditEvent",  "iInfoWin",       "iList",     "iDayCalc",
            "iFilter",  "iInspect",  "iToday",      "iOptions",       "iTileVert", "iTileHoriz",
            "iCascade", "iContents", "iFirstSteps", "iVisitHomepage", "iAbout"};
        for (const char* name : items) {
            QAction* action = main_->Action(name);
            QVERIFY2(action, name);
            QVERIFY2(
                !action->text().isEmpty() && action->text() != QStringLiteral("Resource not found"),
                name);
        }
        QCOMPARE(main_->Action("iOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(main_->Action("iToday")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QCOMPARE(main_->Action("iContents")->shortcut(), QKeySequence(Qt::Key_F1));
        for (const char* later : {"iList", "iDayCalc", "iInfoWin"})
            QVERIFY2(!main_->Action(later)->isEnabled(), later);
        // Options and Filter work without a calendar.
        for (const char* always : {"iOptions", "iFilter", "tbFilter"})
            QVERIFY2(main_->Action(always)->isEnabled(), always);
        // Without a year window the document commands are off.
        for (const char* needs : {"iSave", "iPrint", "iClose", "tbPrevYear", "iNewEvent"})
            QVERIFY2(!main_->Action(needs)->isEnabled(), needs);
        QCOMPARE(main_->Action("tbNew")->toolTip(), QStringLiteral("New calendar"));
    }

    void firstStartOpensTheSampleReadOnly() {
        QDir().mkpath(app_->Context().ProgramFolder + QStringLiteral("examples"));
        QFile::copy(plan_, app_->Context().ProgramFolder + QStringLiteral("examples/Sample.yrb"));
        main_->Start({}, true);
        QCOMPARE(WindowCount(), 1);
        YearWindow* year = main_->ActiveYearWindow();
        QVERIFY(year->ReadOnly());
        QVERIFY(year->FileName().endsWith(QStringLiteral("examples/Sample.yrb")));
        QVERIFY(!main_->Action("iSave")->isEnabled());
        QCOMPARE(main_->StatusText(0), QStringLiteral("Gregorian"));
        QCOMPARE(main_->StatusText(1), QStringLiteral("Frankfurt/Main, Germany"));
        QCOMPARE(main_->StatusText(2), QStringLiteral("+1"));
    }

    void recentFilesNewestFirstAndAMissingOneIsDropped() {
        const QString other = app_->MakeCalendar(QStringLiteral("Other.yrb"), {});
        Dialogs().open_answers = {OpenChoice{plan_, false}, OpenChoice{other, false}};
        Trigger("iOpen");
        Trigger("iOpen");
        QCOMPARE(app::ReadRecentFiles(app_->Store()),
                 (std::vector<std::string>{other.toStdString(), plan_.toStdString()}));
        // The dialogs start where the last file was chosen, and remember it.
        QCOMPARE(app::ReadLastFolder(app_->Store()), QFileInfo(other).absolutePath().toStdString());
        QCOMPARE(Dialogs().StartFolder, QFileInfo(other).absolutePath());

        for (YearWindow* year : main_->YearWindows()) year->SetCloseApproved();
        main_->MdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ChooseFromFileMenu("mRecent", Qt::Key_2);
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(main_->ActiveYearWindow()->FileName(), plan_);
        QVERIFY(!main_->ActiveYearWindow()->ReadOnly());
        // Opening it again made it the newest.
        QCOMPARE(app::ReadRecentFiles(app_->Store()).front(), plan_.toStdString());

        QVERIFY(QFile::remove(other));
        ChooseFromFileMenu("mRecent", Qt::Key_2);
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Dialogs().told.size(), 1);
        QVERIFY(Dialogs().told.constFirst().contains(other));
        QCOMPARE(app::ReadRecentFiles(app_->Store()),
                 (std::vector<std::string>{plan_.toStdString()}));
    }

    void examplesOpenReadOnly() {
        const QString examples = app_->Context().ProgramFolder + QStringLiteral("examples/");
        QDir().mkpath(examples);
        QVERIFY(QFile::copy(plan_, examples + QStringLiteral("Family.yrb")));
        ChooseFromFileMenu("mExamples", Qt::Key_Down);
        QCOMPARE(WindowCount(), 1);
        QVERIFY(main_->ActiveYearWindow()->ReadOnly());
        QCOMPARE(main_->ActiveYearWindow()->FileName(), examples + QStringLiteral("Family.yrb"));
    }

    void laterStartsFollowTheLastActiveFile() {
        app_->Context().Settings.OpenLastActive = false;
        main_->Start({}, false);
        QCOMPARE(WindowCount(), 0);

        app_->Context().Settings.OpenLastActive = true;
        app::WriteLastActiveFile(app_->Store(), plan_.toStdString());
        main_->Start({}, false);
        QCOMPARE(WindowCount(), 1);
        QVERIFY(!main_->ActiveYearWindow()->ReadOnly());
        QVERIFY(QFile::exists(LockOf(plan_)));

        app::WriteLastActiveFile(app_->Store(), "");
        main_->Start({}, false);
        QCOMPARE(WindowCount(), 2);
        QVERIFY(main_->ActiveYearWindow()->FileName().isEmpty());
        QCOMPARE(main_->ActiveYearWindow()->WindowNumber(), 1);  // the first untitled one

        // Quitting stores the active window's path: here the untitled one, an empty path.
        app::WriteLastActiveFile(app_->Store(), "something");
        QVERIFY(main_->close());
        QCOMPARE(app::ReadLastActiveFile(app_->Store()), std::string());
        QVERIFY(!QFile::exists(LockOf(plan_)));
    }

    void secondWindowOnAFileIsReadOnlyAndOneLockIsReleasedOnce() {
        YearWindow* first = main_->OpenGuarded(plan_);
        QVERIFY(first && !first->ReadOnly() && first->HoldsLock());
        Dialogs().ask_answers = {QMessageBox::Yes};
        YearWindow* second = main_->OpenGuarded(plan_);
        QCOMPARE(Dialogs().asked.size(), 1);
        QVERIFY(second && second->ReadOnly() && !second->HoldsLock());

        // Answering No opens nothing.
        Dialogs().ask_answers = {QMessageBox::No};
        QVERIFY(!main_->OpenGuarded(plan_));
        QCOMPARE(WindowCount(), 2);

        main_->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
        Trigger("iClose");
        QCOMPARE(WindowCount(), 1);
        QVERIFY(QFile::exists(LockOf(plan_)));
        Trigger("iClose");
        QCOMPARE(WindowCount(), 0);
        QVERIFY(!QFile::exists(LockOf(plan_)));
        // Untitled windows count 1, 2, 3 whatever opens between them; numbers are never
        // reused, and the change marker follows the number.
        Trigger("iNew");
        YearWindow* untitled = main_->ActiveYearWindow();
        QCOMPARE(untitled->WindowNumber(), 1);
        QVERIFY(main_->OpenGuarded(plan_));
        Trigger("iNew");
        QVERIFY(
            main_->ActiveYearWindow()->windowTitle().startsWith(QStringLiteral("Untitled 2[*]")));
        Trigger("iClose");
        Trigger("iNew");
        QCOMPARE(main_->ActiveYearWindow()->WindowNumber(), 3);
    }

    void openDialogReadOnlyBoxTakesNoLock() {
        Dialogs().open_answers = {OpenChoice{plan_, true}};
        Trigger("iOpen");
        QCOMPARE(WindowCount(), 1);
        QVERIFY(main_->ActiveYearWindow()->ReadOnly());
        QVERIFY(!QFile::exists(LockOf(plan_)));
        // A cancelled dialog opens nothing; an unreadable file is reported, no window.
        Dialogs().open_answers = {OpenChoice{}};
        Trigger("iOpen");
        QCOMPARE(WindowCount(), 1);
        Dialogs().open_answers = {OpenChoice{app_->Path(QStringLiteral("missing.yrb")), false}};
        Trigger("iOpen");
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Dialogs().told.size(), 1);
        QVERIFY(!QFile::exists(LockOf(app_->Path(QStringLiteral("missing.yrb")))));
    }

    void foreignLockOffersReadOnly() {
        QFile foreign(LockOf(plan_));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.close();
        Dialogs().ask_answers = {QMessageBox::Yes};
        YearWindow* year = main_->OpenGuarded(plan_);
        QVERIFY(year && year->ReadOnly());
        Trigger("iClose");
        QVERIFY(QFile::exists(LockOf(plan_)));  // not ours to delete
    }

    void lockOfAProgramThatIsGoneCanBeTakenOver() {
        const long gone = test::PlantAbandonedLock(plan_.toStdString());
        // No opens the calendar read-only and leaves the lock alone.
        Dialogs().ask_answers = {QMessageBox::No};
        Dialogs().open_answers = {OpenChoice{plan_, false}};
        Trigger("iOpen");
        QVERIFY(main_->ActiveYearWindow() && main_->ActiveYearWindow()->ReadOnly());
        QVERIFY(Dialogs().asked.last().contains(QStringLiteral("process %1").arg(gone)));
        Trigger("iClose");
        QVERIFY(QFile::exists(LockOf(plan_)));

        // Yes takes the lock over: the window writes, and the lock now names this process.
        Dialogs().ask_answers = {QMessageBox::Yes};
        Dialogs().open_answers = {OpenChoice{plan_, false}};
        Trigger("iOpen");
        YearWindow* year = main_->ActiveYearWindow();
        QVERIFY(year && !year->ReadOnly() && year->HoldsLock());
        QCOMPARE(app::InspectLock(plan_.toStdString()).owner.pid, static_cast<long>(::getpid()));
        // While this process runs, a second window is offered read-only only.
        Dialogs().ask_answers = {QMessageBox::Yes};
        Dialogs().open_answers = {OpenChoice{plan_, false}};
        Trigger("iOpen");
        QVERIFY(main_->ActiveYearWindow()->ReadOnly());
        QVERIFY(Dialogs().asked.last().contains(QStringLiteral("read-only")));
        Trigger("iClose");
        Trigger("iClose");
        QVERIFY(!QFile::exists(LockOf(plan_)));
    }

    void yearBoxAndYearButtons() {
        YearWindow* year = main_->OpenGuarded(plan_);
        QLineEdit* box = main_->YearBox();
        QCOMPARE(box->text(), QString::number(QDate::currentDate().year()));
        box->clear();
        QList<int> shown;
        connect(year, &YearWindow::yearShown, this, [&shown](int y) { shown << y; });
        QTest::keyClicks(box, QStringLiteral("2024"));
        QVERIFY(shown.isEmpty());  // no year while typing
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(shown, (QList<int>{2024}));
        QCOMPARE(year->ShownYear(), 2024);
        // Leaving the box takes the year as Enter does.
        box->clear();
        QTest::keyClicks(box, QStringLiteral("1999"));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &leave);
        QCOMPARE(year->ShownYear(), 1999);

        // Not a whole number, or outside 1–9999: one message when the typing is done, the
        // year stays and the box shows it again.
        for (const QString& bad :
             {QStringLiteral("20x"), QStringLiteral("0"), QStringLiteral("10000")}) {
            box->clear();
            QTest::keyClicks(box, bad);
            QVERIFY(Dialogs().told.isEmpty());
            QTest::keyClick(box, Qt::Key_Return);
            QApplication::sendEvent(box, &leave);
            QCOMPARE(year->ShownYear(), 1999);
            QCOMPARE(box->text(), QStringLiteral("1999"));
            QCOMPARE(Dialogs().told.size(), 1);
            QVERIFY(Dialogs().told[0].contains(bad));
            Dialogs().told.clear();
        }
        box->clear();  // an empty box changes nothing
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(year->ShownYear(), 1999);
        QVERIFY(Dialogs().told.isEmpty());

        year->ShowYear(2026);
        Trigger("tbNextYear");
        QCOMPARE(year->ShownYear(), 2027);
        QCOMPARE(box->text(), QStringLiteral("2027"));
        year->ShowYear(1);
        QVERIFY(!main_->Action("tbPrevYear")->isEnabled());
        Trigger("tbPrevYear");
        QCOMPARE(year->ShownYear(), 1);
    }

    void closeQuestionPaths() {
        YearWindow* year = main_->OpenGuarded(plan_);
        year->SetModified();
        Dialogs().ask_answers = {QMessageBox::Cancel};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Dialogs().asked.size(), 1);

        const QDateTime before = QFileInfo(plan_).lastModified();
        QTest::qWait(20);
        Dialogs().ask_answers = {QMessageBox::No};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 0);
        QCOMPARE(QFileInfo(plan_).lastModified(), before);
        QVERIFY(!QFile::exists(LockOf(plan_)));

        year = main_->OpenGuarded(plan_);
        year->SetModified();
        Dialogs().ask_answers = {QMessageBox::Yes};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 0);
        QVERIFY(QFileInfo(plan_).lastModified() > before);

        // Yes on an untitled calendar asks for a name; cancelling keeps the window.
        Trigger("iNew");
        main_->ActiveYearWindow()->SetModified();
        Dialogs().ask_answers = {QMessageBox::Yes};
        Dialogs().save_answers = {QString()};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Dialogs().save_titles.size(), 1);

        // A read-only window never asks.
        Dialogs().ask_answers = {QMessageBox::Yes};
        YearWindow* reader = main_->OpenGuarded(plan_);  // no lock held now: writable
        QVERIFY(!reader->ReadOnly());
        Dialogs().ask_answers.clear();
    }

    void quitStopsWhenOneWindowRefuses() {
        YearWindow* first = main_->OpenGuarded(plan_);
        const QString other = app_->MakeCalendar(QStringLiteral("Other.yrb"), {});
        YearWindow* second = main_->OpenGuarded(other);
        first->SetModified();
        second->SetModified();
        Dialogs().ask_answers = {QMessageBox::No, QMessageBox::Cancel};
        QVERIFY(!main_->close());
        QCOMPARE(WindowCount(), 2);
        QVERIFY(QFile::exists(LockOf(plan_)));
        QVERIFY(QFile::exists(LockOf(other)));

        Dialogs().ask_answers = {QMessageBox::No, QMessageBox::No};
        QVERIFY(main_->close());
        QCOMPARE(WindowCount(), 0);
        QVERIFY(!QFile::exists(LockOf(plan_)));
        QVERIFY(!QFile::exists(LockOf(other)));
    }

    void saveAsMovesTheLock() {
        YearWindow* year = main_->OpenGuarded(plan_);
        const QString copy = app_->Path(QStringLiteral("Copy.yrb"));
        Dialogs().save_answers = {copy};
        Trigger("iSaveAs");
        QCOMPARE(year->FileName(), copy);
        QVERIFY(QFile::exists(copy));
        QVERIFY(QFile::exists(LockOf(copy)));
        QVERIFY(!QFile::exists(LockOf(plan_)));
        QCOMPARE(year->windowTitle(), QStringLiteral("Copy[*] - Year %1").arg(year->ShownYear()));

        // A file another window writes is not overwritten.
        YearWindow* other = main_->OpenGuarded(plan_);
        Dialogs().save_answers = {copy};
        QVERIFY(!other->SaveCalendarAs());
        QCOMPARE(other->FileName(), plan_);
        QCOMPARE(Dialogs().told.size(), 1);
        QVERIFY(QFile::exists(LockOf(plan_)));

        // An untitled calendar takes the lock of its new name.
        Trigger("iNew");
        const QString fresh = app_->Path(QStringLiteral("Fresh.yrb"));
        Dialogs().save_answers = {fresh};
        Trigger("iSave");
        QVERIFY(main_->ActiveYearWindow()->HoldsLock());
        QVERIFY(QFile::exists(LockOf(fresh)));
    }

    // The shipped sample opens read-only at first start. An event added there is never
    // written into the sample, and never dropped without the user's word.
    void changedReadOnlyWindowOffersSaveAsDiscardAndCancel() {
        const QString examples = app_->Context().ProgramFolder + QStringLiteral("examples/");
        QDir().mkpath(examples);
        QFile::copy(plan_, examples + QStringLiteral("Sample.yrb"));
        const QByteArray shipped = FileBytes(examples + QStringLiteral("Sample.yrb"));
        QFile csv(app_->Path(QStringLiteral("more.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("Party,0,0,20260704,,1\r\n") > 0);
        csv.close();
        const auto start_and_change = [&] {
            main_->Start({}, true);
            Dialogs().open_answers = {OpenChoice{csv.fileName(), false}};
            Trigger("iImport");
        };

        start_and_change();
        YearWindow* year = main_->ActiveYearWindow();
        QVERIFY(year->ReadOnly() && year->Modified());
        QVERIFY(main_->Action("iSaveAs")->isEnabled());
        QVERIFY(!main_->Action("iSave")->isEnabled());
        Dialogs().ask_answers = {QMessageBox::Cancel};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Dialogs().asked.last(), app_->Context().Text("FrmYear", "ReadOnlyChanges"));
        QCOMPARE(Dialogs().button_texts,
                 (QStringList{QStringLiteral("Save As..."), QStringLiteral("Discard"),
                              QStringLiteral("Cancel")}));
        const QString mine = app_->Path(QStringLiteral("Mine.yrb"));
        Dialogs().ask_answers = {QMessageBox::Save};
        Dialogs().save_answers = {mine};
        Trigger("iClose");
        QCOMPARE(WindowCount(), 0);
        data::EventTables saved(app_->Context().Groups->CdsGroups());
        saved.OpenCalendar(mine.toStdString());
        QCOMPARE(saved.CdsEvents().RecordCount(), 2);
        QVERIFY(!QFile::exists(LockOf(mine)));

        start_and_change();
        Dialogs().ask_answers = {QMessageBox::Discard};
        QVERIFY(main_->close());
        QCOMPARE(WindowCount(), 0);
        QCOMPARE(FileBytes(examples + QStringLiteral("Sample.yrb")), shipped);

        // Save As from the menu makes the window write its new file.
        start_and_change();
        const QString other = app_->Path(QStringLiteral("Other.yrb"));
        Dialogs().save_answers = {other};
        Trigger("iSaveAs");
        QVERIFY(!main_->ActiveYearWindow()->ReadOnly());
        QVERIFY(main_->Action("iSave")->isEnabled());
        QVERIFY(QFile::exists(LockOf(other)));
        QCOMPARE(FileBytes(examples + QStringLiteral("Sample.yrb")), shipped);
    }

    // The question's own button texts reach the real message box; a click answers it.
    void buttonTextsOfTheRealQuestion() {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown = box->button(QMessageBox::Discard)->text();
            QTest::mouseClick(box->button(QMessageBox::Save), Qt::LeftButton);
        });
        PlatformDialogs platform;
        QCOMPARE(platform.AskWithTexts(main_.get(), QMessageBox::Question, QStringLiteral("Close"),
                                       QStringLiteral("Keep?"),
                                       {{QMessageBox::Save, QStringLiteral("Save As...")},
                                        {QMessageBox::Discard, QStringLiteral("Drop")}}),
                 QMessageBox::Save);
        QCOMPARE(shown, QStringLiteral("Drop"));

        // Return takes the safe answer, wherever the platform puts its button.
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(platform.AskWithTexts(main_.get(), QMessageBox::Warning, QStringLiteral("Broken"),
                                       QStringLiteral("Delete?"),
                                       {{QMessageBox::Discard, QStringLiteral("Delete Events")},
                                        {QMessageBox::Cancel, QStringLiteral("Keep")}},
                                       QMessageBox::Cancel),
                 QMessageBox::Cancel);
    }

    void printToFileGivesOnePagePdf() {
        YearWindow* year = main_->OpenGuarded(plan_);
        year->ShowYear(2026);
        year->SetModified();
        Dialogs().print_to = app_->Path(QStringLiteral("year.pdf"));
        Trigger("iPrint");
        QVERIFY(QFileInfo(Dialogs().print_to).size() > 1000);
        QCOMPARE(test::PdfPageCount(Dialogs().print_to), 1);
        // The job's name (the proposed file name) and the PDF's title are the caption
        // without the window's change marker.
        const QString title = year->PrintTitle();
        QVERIFY2(
            title.startsWith(QStringLiteral("Plan ")) && title.endsWith(QStringLiteral(" 2026")),
            qPrintable(title));
        QVERIFY(!title.contains(QLatin1Char('*')));
        QCOMPARE(Dialogs().print_doc_name, title);
        QCOMPARE(test::PdfInfo(Dialogs().print_to, QStringLiteral("Title")), title);

        // A print cut off by a crash leaves the file of the print before as it was.
        const QByteArray before = FileBytes(Dialogs().print_to);
        const pid_t child = ::fork();
        if (child == 0) {
            DyingPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(Dialogs().print_to);
            year->Print(printer);
            ::_exit(3);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(FileBytes(Dialogs().print_to), before);
    }

    void exportAndImportThroughTheWindow() {
        YearWindow* source = main_->OpenGuarded(plan_);
        source->ShowYear(2026);
        const QString csv = app_->Path(QStringLiteral("events.csv"));
        const QString ics = app_->Path(QStringLiteral("events.ics"));
        Dialogs().save_answers = {csv, ics};
        Trigger("iExport");
        Trigger("iExport");
        QVERIFY(QFileInfo(csv).size() > 0);
        QFile calendar(ics);
        QVERIFY(calendar.open(QIODevice::ReadOnly));
        const QByteArray text = calendar.readAll();
        QVERIFY(text.startsWith("BEGIN:VCALENDAR"));
        QVERIFY(text.contains("SUMMARY:Holiday"));
        QVERIFY(text.contains("DTSTART;VALUE=DATE:20260803"));
        // The file type picked decides the format, whatever the name's extension.
        Dialogs().save_answers = {app_->Path(QStringLiteral("family.txt"))};
        Dialogs().save_types = {QStringLiteral("ics")};
        Trigger("iExport");
        QFile family(app_->Path(QStringLiteral("family.txt")));
        QVERIFY(family.open(QIODevice::ReadOnly));
        QVERIFY(family.readAll().startsWith("BEGIN:VCALENDAR"));

        Trigger("iNew");
        YearWindow* target = main_->ActiveYearWindow();
        // A sizeable window starts at the size its font suggests.
        QCOMPARE(target->size(), target->sizeHint());
        target->ShowYear(2026);
        QVERIFY(!target->Modified());
        Dialogs().open_answers = {OpenChoice{csv, false}};
        Trigger("iImport");
        QVERIFY(target->Modified());
        QVERIFY(target->isWindowModified());
        QCOMPARE(target->Calendar().CdsEvents().RecordCount(), 1);
        // The imported days are painted at once.
        const QImage bitmap = target->Bitmap().toImage();
        const QRect cell = target->DayCellRect(8, 4);
        QCOMPARE(bitmap.pixelColor((cell.topLeft() + QPoint(1, 1)) *
                                   target->Bitmap().devicePixelRatio()),
                 QColor(0, 160, 0));

        // A file that cannot be read is reported and changes nothing.
        Dialogs().open_answers = {OpenChoice{app_->Path(QStringLiteral("none.csv")), false}};
        Trigger("iImport");
        QCOMPARE(Dialogs().told.size(), 1);
        QCOMPARE(target->Calendar().CdsEvents().RecordCount(), 1);

        // The year's own iCalendar export comes back as the same days; a cancelled
        // dialog imports nothing.
        Trigger("iNew");
        YearWindow* round_trip = main_->ActiveYearWindow();
        round_trip->ShowYear(2026);
        Dialogs().open_answers = {OpenChoice{ics, false}, OpenChoice{ics, false}};
        Dialogs().ics_answers = {std::nullopt, IcsImportChoice{test::kShownGroup, 2026, 2026}};
        Trigger("iImport");
        QVERIFY(!round_trip->Modified());
        Trigger("iImport");
        QCOMPARE(Dialogs().ics_proposals.back(), (IcsImportChoice{std::nullopt, 2026, 2028}));
        QVERIFY(round_trip->Modified());
        QVERIFY(Dialogs().told.last().contains(QStringLiteral("taken over as rules")));
        const auto shown_days = [](YearWindow* year) {
            QSet<QString> days;
            data::Table& dates = year->Calendar().CdsEvDates();
            for (dates.First(); !dates.Eof(); dates.Next()) {
                const std::string date = dates.AsText(data::Ed_date);
                if (data::OccurrenceShown(dates) && date.starts_with("2026"))
                    days << QString::fromStdString(date);
            }
            return days;
        };
        QVERIFY(!shown_days(source).isEmpty());
        QCOMPARE(shown_days(round_trip), shown_days(source));
        QCOMPARE(Dialogs().unexpected, 0);
    }

    void clipboardCommandsWorkOnTextBoxesOnly() {
        YearWindow* year = main_->OpenGuarded(plan_);
        QLineEdit* box = main_->YearBox();
        box->setFocus();
        QApplication::setActiveWindow(main_.get());
        if (QApplication::focusWidget() != box) QSKIP("no keyboard focus on this platform");
        box->selectAll();
        Trigger("iCopy");
        QCOMPARE(QApplication::clipboard()->text(), box->text());
        // With the year window focused the commands do nothing and say nothing.
        year->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        Trigger("iCut");
        Trigger("iPaste");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
        QVERIFY(Dialogs().told.isEmpty());
    }

    void windowMenuListsAndTilesTheWindows() {
        YearWindow* first = main_->OpenGuarded(plan_);
        Trigger("iNew");
        // Each window opens 25 pixels in from the frame's corner, not stepped further.
        for (const QMdiSubWindow* sub : main_->MdiArea()->subWindowList())
            QCOMPARE(sub->pos(), QPoint(25, 25));
        QMenu* menu = main_->findChild<QMenu*>(QStringLiteral("mWindow"));
        QVERIFY(menu);
        emit menu->aboutToShow();
        QStringList titles;
        for (QAction* action : menu->actions())
            if (action->isCheckable()) titles << action->text();
        QCOMPARE(titles.size(), 2);
        QVERIFY(titles[0].contains(QStringLiteral("Plan")));
        QVERIFY(!titles[0].contains(QStringLiteral("[*]")));
        for (QAction* action : menu->actions())
            if (action->isCheckable() && action->text().contains(QStringLiteral("Plan")))
                action->trigger();
        QCOMPARE(main_->ActiveYearWindow(), first);

        Trigger("iTileVert");
        const QList<QMdiSubWindow*> subs = main_->MdiArea()->subWindowList();
        QVERIFY(subs[0]->geometry().right() <= subs[1]->geometry().left() ||
                subs[1]->geometry().right() <= subs[0]->geometry().left());
        Trigger("iTileHoriz");
        QVERIFY(subs[0]->geometry().bottom() <= subs[1]->geometry().top() ||
                subs[1]->geometry().bottom() <= subs[0]->geometry().top());
    }

    // Tiling places a window whose size follows its font at that size, never clipped, and
    // lets the frame scroll; other windows share the area and their grids grow to it.
    void tilingNeverClipsAndGrowsTheRest() {
        const auto apart = [](const QList<QMdiSubWindow*>& subs) {
            for (qsizetype i = 0; i < subs.size(); ++i)
                for (qsizetype j = i + 1; j < subs.size(); ++j)
                    if (subs[i]->geometry().intersects(subs[j]->geometry())) return false;
            return true;
        };
        app_->Context().Settings.AdaptToFont = true;
        for (int i = 0; i < 3; ++i) Trigger("iNew");
        const QList<QMdiSubWindow*> fixed = main_->MdiArea()->subWindowList();
        for (const char* tile : {"iTileVert", "iTileHoriz"}) {
            Trigger(tile);
            QVERIFY(apart(fixed));
            for (const QMdiSubWindow* sub : fixed) {
                QCOMPARE(sub->widget()->size(), sub->widget()->sizeHint());
                QVERIFY(sub->rect().contains(sub->widget()->geometry()));
            }
        }
        // Three of them do not fit side by side: the frame scrolls, and a window chosen
        // from the Window menu is scrolled into view.
        Trigger("iTileVert");
        QVERIFY(main_->MdiArea()->horizontalScrollBar()->maximum() > 0);
        main_->MdiArea()->setActiveSubWindow(fixed.first());
        QVERIFY(main_->MdiArea()->viewport()->rect().contains(fixed.first()->geometry().topLeft()));

        // The setting turned off: the borders become sizeable and the grids fill the tiles.
        app_->Context().Settings.AdaptToFont = false;
        ApplySettingsToWindows(*main_);
        const QRect area = main_->MdiArea()->viewport()->rect();
        for (const char* tile : {"iTileVert", "iTileHoriz"}) {
            Trigger(tile);
            QVERIFY(apart(fixed));
            QRect covered;
            for (const QMdiSubWindow* sub : fixed) covered |= sub->geometry();
            QCOMPARE(covered, area);
            for (YearWindow* year : main_->YearWindows()) {
                const YearLayout& layout = year->Layout();
                const QPoint end =
                    layout.MonthOrigin(12) + QPoint(layout.MonthWidth, layout.MonthHeight);
                QVERIFY2(year->width() - end.x() <= layout.Margin + 4 &&
                             year->height() - end.y() <= layout.Margin + 4,
                         tile);
            }
        }
    }

    // Qt runs no shortcut that two actions of one window claim, so each menu command's
    // key must reach exactly its own action while a year window is open.
    void everyMenuShortcutWorksByKeyWithAYearWindowOpen() {
        // With an editor the event commands are enabled too.
        app_->Context().EventEditor = [](YearWindowLink&, const std::optional<data::EventValue>&,
                                         const calendar::CivilDate&) {
            return std::optional<data::EventEdit>();
        };
        main_->OpenGuarded(plan_);
        QApplication::setActiveWindow(main_.get());
        if (!QTest::qWaitForWindowActive(main_.get())) QSKIP("no active window on this platform");
        Dialogs().open_answers = {OpenChoice{}};  // Ctrl+O: cancelled
        Dialogs().save_answers = {QString()};     // Ctrl+S on the new window: cancelled
        QStringList order;
        for (const char* menu : {"mFile", "mEdit", "mExtras", "mHelp"})
            for (QAction* action : main_->findChild<QMenu*>(QLatin1String(menu))->actions())
                if (!action->shortcut().isEmpty() && action->isEnabled())
                    order << action->objectName();
        // Closing and quitting end what the others need.
        for (const QString& last : {QStringLiteral("iClose"), QStringLiteral("iQuit")}) {
            QVERIFY(order.removeOne(last));
            order << last;
        }
        for (const QString& name : order) {
            QAction* action = main_->Action(name.toStdString());
            QSignalSpy triggered(action, &QAction::triggered);
            const int windows = WindowCount();
            const QKeyCombination key = action->shortcut()[0];
            // Options, Filter and the day calculator are modal dialogs: closed as soon as they
            // show.
            if (name == QLatin1String("iOptions") || name == QLatin1String("iFilter") ||
                name == QLatin1String("iDayCalc"))
                QTimer::singleShot(0, [] {
                    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                });
            QApplication::setActiveWindow(main_.get());  // again, after a dialog
            QTest::keyClick(main_.get(), key.key(), key.keyboardModifiers());
            if (name == QLatin1String("iDayCalc")) QApplication::setActiveWindow(main_.get());
            QVERIFY2(triggered.count() == 1, qPrintable(name));
            if (name == QLatin1String("iClose")) QCOMPARE(WindowCount(), windows - 1);
        }
        QVERIFY(!main_->isVisible());
    }

    // Keyboard users reach every command: Alt + a title's letter opens its menu, and the
    // letters within one menu never clash.
    void menusOpenByAccessLetters() {
        main_->OpenGuarded(plan_);
        QApplication::setActiveWindow(main_.get());
        if (!QTest::qWaitForWindowActive(main_.get())) QSKIP("no active window on this platform");
        auto letter = [](const QString& text) {
            const qsizetype at = text.indexOf(u'&');
            return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
        };
        QSet<QChar> titles;
        for (QAction* title : main_->menuBar()->actions()) {
            QVERIFY2(!letter(title->text()).isNull(), qPrintable(title->text()));
            titles.insert(letter(title->text()));
        }
        QCOMPARE(titles.size(), main_->menuBar()->actions().size());
        auto* extras = main_->findChild<QMenu*>(QStringLiteral("mExtras"));
        const QChar extras_letter = letter(extras->menuAction()->text());
        QTest::keyClick(main_.get(), Qt::Key(Qt::Key_A + (extras_letter.unicode() - u'a')),
                        Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), extras);
        QSet<QChar> entries;
        int shown = 0;
        for (QAction* entry : extras->actions()) {
            if (entry->isSeparator() || !entry->isVisible()) continue;
            ++shown;
            entries.insert(letter(entry->text()));
        }
        QCOMPARE(entries.size(), shown);
        // The options dialog is modal: closed as soon as it shows.
        QAction* options = main_->Action("iOptions");
        QSignalSpy triggered(options, &QAction::triggered);
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        QTest::keyClick(extras, Qt::Key(Qt::Key_A + (letter(options->text()).unicode() - u'a')));
        QCOMPARE(triggered.count(), 1);
    }

    // Each toolbar button is an action of its own: it must run its menu item's command
    // and follow the same enabled state.
    void toolbarButtonsRunTheirMenuCommands() {
        QToolBar* bar = main_->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        const auto click = [bar, this](const char* name) {
            QTest::mouseClick(bar->widgetForAction(main_->Action(name)), Qt::LeftButton);
        };
        click("tbNew");
        QCOMPARE(WindowCount(), 1);
        YearWindow* untitled = main_->ActiveYearWindow();
        untitled->SetModified();
        const QString saved = app_->Path(QStringLiteral("Saved.yrb"));
        Dialogs().save_answers = {saved};
        click("tbSave");
        QVERIFY(QFile::exists(saved));
        QVERIFY(!untitled->Modified());

        Dialogs().open_answers = {OpenChoice{plan_, true}};
        click("tbOpen");
        QCOMPARE(WindowCount(), 2);
        YearWindow* year = main_->ActiveYearWindow();
        QVERIFY(year->ReadOnly());
        QVERIFY(!main_->Action("tbSave")->isEnabled());
        QVERIFY(main_->Action("tbPrint")->isEnabled());
        year->ShowYear(2001);
        click("tbNextYear");
        QCOMPARE(year->ShownYear(), 2002);
        click("tbToday");
        QCOMPARE(year->ShownYear(), QDate::currentDate().year());
        click("tbInspect");
        QVERIFY(year->InspectMode());
        QVERIFY(main_->Action("iInspect")->isChecked());
    }

    void inspectCommandAndToday() {
        YearWindow* year = main_->OpenGuarded(plan_);
        Trigger("iInspect");
        QVERIFY(year->InspectMode());
        QVERIFY(main_->Action("tbInspect")->isChecked());
        QCOMPARE(year->SelectedDay(), 0);
        year->ShowYear(2001);
        Trigger("iToday");
        QVERIFY(!year->InspectMode());
        QVERIFY(!main_->Action("tbInspect")->isChecked());
        QCOMPARE(year->ShownYear(), QDate::currentDate().year());
        QCOMPARE(year->SelectedDay(), QDate::currentDate().day());
        QCOMPARE(main_->YearBox()->text(), QString::number(QDate::currentDate().year()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
