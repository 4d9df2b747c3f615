// The options dialog, the group editor and the group filter, driven by clicks and keys:
// the position boxes, refused positions, what closing writes, the live language switch,
// group editing and hiding a group.
#include "desktop/options_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "desktop/main_window.h"
#include "desktop/settings_commands.h"
#include "paint/win_color.h"
#include "support/test_app.h"
#include "tools/group_editor.h"
#include "yearview/year_window.h"

using namespace yorbel;
using namespace yorbel::gui;

namespace {

// Runs `step` on the next modal dialog once it is shown.
void OnModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        step(modal);
    });
}

template <class T>
T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no child %s", name);
    return child;
}

void Click(QWidget* parent, const char* name) {
    QTest::mouseClick(Child<QAbstractButton>(parent, name), Qt::LeftButton);
}

void Retype(QWidget* parent, const char* name, const QString& text) {
    auto* box = Child<QLineEdit>(parent, name);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void ChooseInList(QWidget* parent, const char* name, const QString& text) {
    auto* box = Child<QComboBox>(parent, name);
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

QString Box(QWidget* parent, const char* name) {
    return Child<QLineEdit>(parent, name)->text();
}

// The colour in the middle of a list entry's icon.
QColor SwatchColor(const QListWidgetItem* item) {
    return item->icon().pixmap(14, 14).toImage().pixelColor(7, 7);
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestApp> app_;
    std::unique_ptr<MainWindow> main_;
    QString separator_ = QLocale::system().decimalPoint();

    test::ScriptedDialogs& Dialogs() { return app_->Dialogs(); }
    // Ctrl+L where the user's keys go.
    void OpenOptions() {
        QApplication::setActiveWindow(main_.get());
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : main_.get(), Qt::Key_L, Qt::ControlModifier);
    }

  private slots:
    void init() {
        app_ = std::make_unique<test::TestApp>();
        // Language and location files as shipped.
        app_->Context().ProgramFolder = QStringLiteral(YORBEL_BIN_DIR) + QLatin1Char('/');
        main_ = std::make_unique<MainWindow>(app_->Context());
        main_->show();
        QApplication::setActiveWindow(main_.get());
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }
    void cleanup() {
        for (YearWindow* year : main_->YearWindows()) year->SetCloseApproved();
        main_.reset();
        InstallQtTranslations(1);
        app_.reset();
    }

    void citiesAndOwnPositionFillTheBoxes() {
        OptionsDialog dialog(main_.get(), app_->Context());
        QCOMPARE(Box(&dialog, "LatD"), QStringLiteral("50"));
        QCOMPARE(Box(&dialog, "LongD"), QStringLiteral("8"));
        QCOMPARE(dialog.PositionSummary(), QString::fromUtf8("50° 06′ 44″ N, 8° 40′ 55″ E, UT+1"));

        // A city of the list fills the boxes from its line, as it stands.
        ChooseInList(&dialog, "cbOrt", QStringLiteral("Berlin"));
        ChooseInList(&dialog, "cbOrt", QStringLiteral("Frankfurt/Main"));
        QCOMPARE(Box(&dialog, "LatM"), QStringLiteral("06"));
        QCOMPARE(Box(&dialog, "LongD"), QStringLiteral("008"));
        QCOMPARE(Box(&dialog, "Zone"), QStringLiteral("+01") + separator_ + QStringLiteral("0"));
        QVERIFY(Child<QCheckBox>(&dialog, "cbN")->isChecked());
        QVERIFY(!Child<QCheckBox>(&dialog, "cbW")->isChecked());

        // South and west come from their columns.
        ChooseInList(&dialog, "cbLand", QStringLiteral("Australia"));
        QCOMPARE(Child<QComboBox>(&dialog, "cbOrt")->currentText(), QStringLiteral("Adelaide"));
        QVERIFY(!Child<QCheckBox>(&dialog, "cbN")->isChecked());
        QVERIFY(dialog.PositionSummary().contains(QStringLiteral(" S, ")));
        ChooseInList(&dialog, "cbLand", QStringLiteral("United States of America"));
        QVERIFY(Child<QCheckBox>(&dialog, "cbW")->isChecked());
        QVERIFY(dialog.PositionSummary().contains(QStringLiteral(" W, UT-")));
        // Found by a part of the name.
        ChooseInList(&dialog, "cbOrt", QStringLiteral("Anchorage"));
        const QString anchorage = Box(&dialog, "LatD");
        QCOMPARE(anchorage, QStringLiteral("61"));

        // An own position is typed; unticking goes back to the chosen city.
        Click(&dialog, "cbCustom");
        QVERIFY(Child<QLineEdit>(&dialog, "LatD")->isEnabled());
        QVERIFY(!Child<QComboBox>(&dialog, "cbOrt")->isEnabled());
        Retype(&dialog, "LatD", QStringLiteral("12"));
        Click(&dialog, "cbN");
        QVERIFY(dialog.PositionSummary().startsWith(QStringLiteral("12")));
        Click(&dialog, "cbCustom");
        QCOMPARE(Box(&dialog, "LatD"), anchorage);
        QVERIFY(Child<QCheckBox>(&dialog, "cbN")->isChecked());

        // A chosen city brings its zone's clock along; an own position keeps fixed hours.
        dialog.show();
        Click(&dialog, "btClose");
        QCOMPARE(dialog.Value().ZoneName, std::string("America/Anchorage"));
        dialog.show();
        Click(&dialog, "cbCustom");
        Click(&dialog, "btClose");
        QCOMPARE(dialog.Value().ZoneName, std::string());
    }

    void aPositionOutOfRangeIsRefusedNamingItsBox() {
        OptionsDialog dialog(main_.get(), app_->Context());
        dialog.show();
        Click(&dialog, "cbCustom");
        Retype(&dialog, "LatM", QStringLiteral("75"));
        Click(&dialog, "btClose");
        QVERIFY(dialog.isVisible());
        QCOMPARE(Dialogs().told.size(), 1);
        QVERIFY(Dialogs().told.last().contains(QString::fromUtf8("Latitude ′")));
        QVERIFY(Dialogs().told.last().contains(QStringLiteral("'75'")));
        Retype(&dialog, "LatM", QStringLiteral("59"));
        Retype(&dialog, "Zone", QStringLiteral("+15"));
        QTest::keyClick(&dialog, Qt::Key_Escape);  // any close is refused just the same
        QVERIFY(dialog.isVisible());
        QVERIFY(Dialogs().told.last().contains(QStringLiteral("Time zone")));
        Retype(&dialog, "LatD", QStringLiteral("90"));
        Retype(&dialog, "Zone", QStringLiteral("-9") + separator_ + QStringLiteral("5"));
        Click(&dialog, "btClose");
        QVERIFY(dialog.isVisible());  // 90° 59′ is past the pole
        Retype(&dialog, "LatM", QStringLiteral("0"));
        Retype(&dialog, "LatS", QStringLiteral("0"));
        Click(&dialog, "btClose");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Value().LatD, 90.0);
        QCOMPARE(dialog.Value().Zone, -9.5);
        QVERIFY(dialog.Value().CustomPos);
    }

    void closingByTheCloseBoxWritesLikeTheButtonAndWindowsFollow() {
        QVERIFY(main_->OpenCalendarFile(app_->MakeCalendar(QStringLiteral("Plan.yrb"), {}), false));
        YearWindow* year = main_->ActiveYearWindow();
        const auto runOptions = [this](const char* week_rule, bool close_box) {
            app_->Store().ClearWrites();
            OnModal([week_rule, close_box](QWidget* dialog) {
                Click(dialog, week_rule);
                if (close_box)
                    dialog->close();
                else
                    Click(dialog, "btClose");
            });
            OpenOptions();
            return app_->Store().writes();
        };
        const auto byButton = runOptions("rgWkStart_Items3", false);
        QCOMPARE(app_->Context().Settings.Kw1, 2);
        QCOMPARE(std::get<std::int32_t>(*app_->Store().Find("Kw1")), 2);
        const auto byCloseBox = runOptions("rgWkStart_Items1", true);
        QCOMPARE(byCloseBox, byButton);
        QVERIFY(!byButton.empty());
        QCOMPARE(std::get<std::int32_t>(*app_->Store().Find("Kw1")), 0);
        // The open year window took the new rule.
        year->ReloadDisplaySettings();
        QCOMPARE(app_->Context().Settings.Kw1, 0);
        QVERIFY(Dialogs().told.isEmpty());
    }

    void languageSwitchRetitlesOpenWindowsAndLoadsTheOtherGroups() {
        QVERIFY(main_->OpenCalendarFile(QString(), false));
        YearWindow* year = main_->ActiveYearWindow();
        const QString englishCaption = year->Caption();
        QCOMPARE(app_->Context().Groups->CdsGroups().RecordCount(), 2);
        OnModal([this, year, englishCaption](QWidget* dialog) {
            QTest::keyClick(Child<QWidget>(dialog, "rgLang_Items1"), Qt::Key_Space);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Optionen"));
            QCOMPARE(main_->Action("iOptions")->text(), QStringLiteral("Optionen"));
            QVERIFY(year->Caption() != englishCaption);
            QVERIFY(year->Caption().contains(QStringLiteral("Ohne Titel")));
            // Qt's own buttons speak German too; the German groups are another file.
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     QStringLiteral("Abbrechen"));
            QCOMPARE(app_->Context().Groups->CdsGroups().RecordCount(), 0);
            QCOMPARE(Child<QListWidget>(dialog, "DblbGroups")->count(), 0);
            QTest::keyClick(Child<QWidget>(dialog, "rgLang_Items2"), Qt::Key_Space);
            QCOMPARE(app_->Context().Groups->CdsGroups().RecordCount(), 2);
            QCOMPARE(Child<QListWidget>(dialog, "DblbGroups")->count(), 2);
            QCOMPARE(year->Caption(), englishCaption);
            QTest::keyClick(Child<QWidget>(dialog, "rgLang_Items1"), Qt::Key_Space);
            Click(dialog, "btClose");
        });
        OpenOptions();
        QCOMPARE(std::get<std::int32_t>(*app_->Store().Find("Language")), 0);
        QCOMPARE(app_->Context().Text("FrmMain", "iOptions"), QStringLiteral("Optionen"));
    }

    void groupEditorRefusesATakenNameAndCancelKeepsTheTable() {
        OptionsDialog dialog(main_.get(), app_->Context());
        dialog.show();
        auto* list = Child<QListWidget>(&dialog, "DblbGroups");
        QCOMPARE(list->item(0)->text(), QStringLiteral("Hidden"));  // by name
        QCOMPARE(SwatchColor(list->item(0)), WinColorToQColor(0xC00000));
        QCOMPARE(SwatchColor(list->item(1)), WinColorToQColor(test::kShownColor));
        const QRect hidden = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, hidden.center());
        OnModal([this](QWidget* editor) {
            Retype(editor, "EbName", QStringLiteral("Shown"));
            Click(editor, "btnOk");
            QVERIFY(editor->isVisible());
            QVERIFY(Dialogs().told.last().contains(QStringLiteral("Shown")));
            Click(editor, "btnCancel");
        });
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, hidden.center());
        data::Table& table = app_->Context().Groups->CdsGroups();
        table.SetCurrentIndex("Ix_Gp_no");
        QVERIFY(table.GoToKey(data::Value{test::kHiddenGroup}));
        QCOMPARE(table.AsText(data::Gp_name), std::string("Hidden"));

        // A rename keeps the number, so events keep their group's colour.
        OnModal([](QWidget* editor) {
            Retype(editor, "EbName", QStringLiteral("Holidays"));
            QTest::keyClick(Child<QLineEdit>(editor, "EbName"), Qt::Key_Return);
        });
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, hidden.center());
        table.SetCurrentIndex("Ix_Gp_no");
        QVERIFY(table.GoToKey(data::Value{test::kHiddenGroup}));
        QCOMPARE(table.AsText(data::Gp_name), std::string("Holidays"));
        QCOMPARE(table.AsInteger(data::Gp_color), 0xC00000);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Holidays"));
        QCOMPARE(Dialogs().told.size(), 1);
    }

    void filterHidesAGroupFromTheYearViewAndTheGroupFile() {
        const QString plan = app_->MakeCalendar(QStringLiteral("Plan.yrb"),
                                                {test::EventRow{"Trip", 0, 0, "20260805", ""}});
        YearWindow* year = main_->OpenCalendarFile(plan, false);
        QVERIFY(year);
        year->ShowYear(2026);
        const auto pixel = [year] {
            const QRect cell = year->DayCellRect(8, 5);
            return year->Bitmap().toImage().pixelColor(QPoint(cell.left() + 1, cell.top() + 1) *
                                                       year->Bitmap().devicePixelRatio());
        };
        QCOMPARE(pixel(), WinColorToQColor(test::kShownColor));
        OnModal([](QWidget* filter) {
            auto* shown = Child<QListWidget>(filter, "lbShow");
            QVERIFY(!Child<QPushButton>(filter, "bbHide")->isEnabled());
            QCOMPARE(SwatchColor(shown->item(0)), WinColorToQColor(test::kShownColor));
            QTest::mouseClick(shown->viewport(), Qt::LeftButton, {},
                              shown->visualItemRect(shown->item(0)).center());
            Click(filter, "bbHide");
            QCOMPARE(shown->count(), 0);
            QCOMPARE(Child<QListWidget>(filter, "lbHide")->count(), 2);
            filter->close();
        });
        QTest::keyClick(main_.get(), Qt::Key_B, Qt::ControlModifier);
        QVERIFY(pixel() != WinColorToQColor(test::kShownColor));
        // Saved: a fresh read of the group file has the group hidden, so the export and
        // the list leave its events out.
        data::Groups reread(app_->Context().Groups->FileName().parent_path());
        QVERIFY(!reread.ReadGroups(true));
        QVERIFY(!reread.IsGroupShown(test::kShownGroup));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
