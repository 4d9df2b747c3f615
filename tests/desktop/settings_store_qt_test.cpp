// The QSettings-backed store: every kind of value survives a round trip through the
// file, and values that are missing or of another kind are told apart.
#include "desktop/settings_store_qt.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace yorbel::app;

class SettingsStoreQtTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        path_ = dir_->filePath(QStringLiteral("Yorbel.conf"));
    }

    void firstRunThenSecondStartReadsTheSame() {
        {
            QtSettingsStore store(path_);
            QVERIFY(!store.KeyExists());
            const SettingsStart start = StartSettings(store);
            QVERIFY(start.first_run);
            QVERIFY(start.reset.empty());
        }
        QSettings raw(path_, QSettings::IniFormat);
        QCOMPARE(raw.allKeys().size(), 32);

        QtSettingsStore again(path_);
        QVERIFY(again.KeyExists());
        const SettingsStart start = StartSettings(again);
        QVERIFY(!start.first_run);
        QCOMPARE(start.found_version, std::string("6.7"));
        QVERIFY(start.reset.empty());
        QVERIFY(start.settings == Settings{});
    }

    void valuesRoundTrip() {
        {
            QtSettingsStore store(path_);
            Settings s;
            s.LongS = 55.123456789012345;
            s.LatM = 0.1;
            s.Zone = -5.5;
            s.City = "Frankfurt, Main" + std::string(34, ' ') + "500644N0084055E +010";
            s.Country = "Österreich";
            s.VFarbeMark = static_cast<std::int32_t>(0x80000005);  // system-colour reference
            store.CreateKey();
            store.WriteString("Version", "6.7");
            QVERIFY(WriteSettings(store, s));
            WriteLastActiveFile(store, "/home/ü/Kalender;2027.yrb");
        }
        QtSettingsStore store(path_);
        const SettingsStart start = StartSettings(store);
        QVERIFY(start.reset.empty());
        QCOMPARE(start.settings.LongS, 55.123456789012345);
        QCOMPARE(start.settings.LatM, 0.1);
        QCOMPARE(start.settings.Zone, -5.5);
        QCOMPARE(start.settings.City,
                 "Frankfurt, Main" + std::string(34, ' ') + "500644N0084055E +010");
        QCOMPARE(start.settings.Country, std::string("Österreich"));
        QCOMPARE(start.settings.VFarbeMark, static_cast<std::int32_t>(0x80000005));
        QCOMPARE(ReadLastActiveFile(store), std::string("/home/ü/Kalender;2027.yrb"));
    }

    void missingAndWrongKindsAreToldApart() {
        {
            QSettings raw(path_, QSettings::IniFormat);
            raw.setValue("Text", "abc");
            raw.setValue("List", QStringList{"a", "b"});
            raw.setValue("Bytes8", QByteArray("\x00\x00\x00\x00\x00\x00\x49\x40", 8));  // 50.0
            raw.setValue("Bytes7", QByteArray(7, '\0'));
            raw.setValue("Big", QStringLiteral("99999999999"));
        }
        QtSettingsStore store(path_);
        QCOMPARE(store.ReadInt("Nothing").status, ReadStatus::Missing);
        QCOMPARE(store.ReadReal("Nothing").status, ReadStatus::Missing);
        QCOMPARE(store.ReadString("Nothing").status, ReadStatus::Missing);
        QCOMPARE(store.ReadInt("Text").status, ReadStatus::WrongKind);
        QCOMPARE(store.ReadBool("Text").status, ReadStatus::WrongKind);
        QCOMPARE(store.ReadReal("Text").status, ReadStatus::WrongKind);
        QCOMPARE(store.ReadString("List").status, ReadStatus::WrongKind);
        QCOMPARE(store.ReadInt("Big").status, ReadStatus::WrongKind);
        QCOMPARE(store.ReadReal("Bytes8").value, 50.0);
        QCOMPARE(store.ReadReal("Bytes7").status, ReadStatus::WrongKind);
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
};

QTEST_GUILESS_MAIN(SettingsStoreQtTest)
#include "settings_store_qt_test.moc"
