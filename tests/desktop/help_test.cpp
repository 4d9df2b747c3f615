// The Help menu from the main window: the manual opens at the right page of the interface
// language in one help window, its buttons walk the history, a missing manual says so;
// the about box names the versions in use and closes with OK.
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "data/table_file.h"
#include "desktop/about_box.h"
#include "desktop/help_window.h"
#include "desktop/main_window.h"
#include "support/test_app.h"

using namespace yorbel;
using namespace yorbel::gui;

class HelpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestApp> app_;
    std::unique_ptr<MainWindow> main_;

    HelpWindow* Help() const {
        return main_->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    }
    QString Page() const { return Help()->Browser()->source().toLocalFile(); }
    void Click(const char* button) {
        QTest::mouseClick(Help()->findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }

  private slots:
    void init() {
        app_ = std::make_unique<test::TestApp>();
        app_->Context().ProgramFolder = QStringLiteral(YORBEL_BIN_DIR "/");
        main_ = std::make_unique<MainWindow>(app_->Context());
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }
    void cleanup() {
        main_.reset();
        app_.reset();
    }

    void manualOpensAtItsPagesInTheInterfaceLanguage() {
        QTest::keyClick(main_.get(), Qt::Key_F1);
        QVERIFY(Help() && Help()->isVisible());
        QVERIFY2(Page().endsWith(QStringLiteral("/help/en/index.html")), qPrintable(Page()));
        QCOMPARE(Help()->Browser()->documentTitle(), QStringLiteral("Yorbel Help"));

        app_->Context().Settings.Language = 0;  // German from now on
        main_->Action("iFirstSteps")->trigger();
        QCOMPARE(main_->findChildren<HelpWindow*>().size(), 1);
        QVERIFY2(Page().endsWith(QStringLiteral("/help/de/start.html")), qPrintable(Page()));
        QCOMPARE(Help()->Browser()->documentTitle(), QStringLiteral("Erste Schritte"));

        Click("btnContents");
        QVERIFY(Page().endsWith(QStringLiteral("/help/de/index.html")));
        Click("btnBack");
        QVERIFY(Page().endsWith(QStringLiteral("/help/de/start.html")));
        Click("btnForward");
        QVERIFY(Page().endsWith(QStringLiteral("/help/de/index.html")));
    }

    void everyPageLinksOnlyToPagesAndPicturesThatExist() {
        for (const char* language : {"de", "en"}) {
            const QDir folder(QStringLiteral(YORBEL_BIN_DIR "/help/") +
                              QString::fromLatin1(language));
            const QStringList pages = folder.entryList({QStringLiteral("*.html")});
            QVERIFY(pages.size() >= 8);
            const QRegularExpression target(QStringLiteral("(?:href|src)=\"([^\"#]+)"));
            for (const QString& page : pages) {
                QFile file(folder.filePath(page));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString html = QString::fromUtf8(file.readAll());
                for (const auto& match : target.globalMatch(html))
                    QVERIFY2(folder.exists(match.captured(1)),
                             qPrintable(page + QStringLiteral(": ") + match.captured(1)));
            }
        }
    }

    void missingManualIsReportedInTheWindow() {
        app_->Context().ProgramFolder = app_->Path(QStringLiteral("nowhere/"));
        QTest::keyClick(main_.get(), Qt::Key_F1);
        QVERIFY(Help()->Browser()->toPlainText().contains(QStringLiteral("not installed")));
    }

    void aboutBoxNamesTheVersionsInUseAndClosesWithOk() {
        QString text;
        bool closed = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (const QLabel* label : box->findChildren<QLabel*>()) text += label->text() + '\n';
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("btnOk")),
                              Qt::LeftButton);
            closed = !box->isVisible();
        });
        main_->Action("iAbout")->trigger();
        QVERIFY(closed);
        QVERIFY2(text.contains(QString::fromLatin1(qVersion())), qPrintable(text));
        QVERIFY(text.contains(QString::fromStdString(data::SqliteVersion())));
        QVERIFY(text.contains(QStringLiteral("city-timezones")));
        QVERIFY(!text.contains(QStringLiteral("Resource not found")));
    }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
