// The program as a whole process, with its settings in a temporary folder: the first
// start shows a sample calendar and writes the settings; later starts follow them.
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT

    // Runs the program until its first painted year window (or none); returns its output.
    static QString Run(const QString& config, const QStringList& arguments = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), config + QStringLiteral("/data"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("YORBEL_STARTUP_PROBE"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(YORBEL_BIN_DIR "/yorbel"), arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            return QStringLiteral("timeout");
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }

  private slots:
    void firstStartShowsTheSampleThenTheSettingsRule() {
        QTemporaryDir dir;
        const QString conf = dir.filePath(QStringLiteral("config/Brenmark/Yorbel.conf"));
        QVERIFY(!QFile::exists(conf));
        QVERIFY2(Run(dir.path()).contains(QStringLiteral("painted")),
                 "no sample on the first start");
        QVERIFY(QFile::exists(conf));
        QCOMPARE(QSettings(conf, QSettings::IniFormat).value(QStringLiteral("Version")).toString(),
                 QStringLiteral("6.7"));

        // Second start: settings exist, the last active file is not to be reopened.
        QCOMPARE(Run(dir.path()).trimmed(), QStringLiteral("no year window to paint"));

        // With the option on and an empty last active file, a new calendar is shown.
        {
            QSettings settings(conf, QSettings::IniFormat);
            settings.setValue(QStringLiteral("OpenLastActive"), 1);
            settings.setValue(QStringLiteral("LastActiveFile"), QString());
        }
        QVERIFY(Run(dir.path()).contains(QStringLiteral("painted")));

        // A file named on the command line is opened, and its lock is gone afterwards.
        const QString sample = QStringLiteral(YORBEL_BIN_DIR "/examples/Sample.yrb");
        QFile::copy(sample, dir.filePath(QStringLiteral("Mine.yrb")));
        QVERIFY(Run(dir.path(), {dir.filePath(QStringLiteral("Mine.yrb"))})
                    .contains(QStringLiteral("painted")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("~ine.lck"))));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "startup_test.moc"
