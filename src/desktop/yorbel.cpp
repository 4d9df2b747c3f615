// The desktop program: reads the settings, the language file and the groups, builds the
// main window and opens the calendar of the command line, the sample calendar on a very
// first start, or the last active one.
//
// YORBEL_STARTUP_PROBE=1 in the environment prints the milliseconds from the start of the
// process to the first painted year window and quits there (for measuring start-up).

#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "app/captions.h"
#include "app/language_file.h"
#include "app/resource_folder.h"
#include "app/settings.h"
#include "data/groups.h"
#include "desktop/main_window.h"
#include "desktop/settings_commands.h"
#include "desktop/settings_store_qt.h"
#include "tools/event_editor.h"
#include "ui/app_context.h"

using namespace yorbel;

namespace {

// Milliseconds since the process started, from the kernel's record of its start where
// there is one (so loading the libraries counts), else since main began.
long long MillisecondsSinceStart(const QElapsedTimer& since_main) {
#ifdef __linux__
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close != std::string::npos) {
        std::istringstream fields(text.substr(close + 2));
        std::string field;
        for (int i = 3; i <= 22 && fields >> field; ++i) {
            if (i != 22) continue;
            timespec now{};
            clock_gettime(CLOCK_BOOTTIME, &now);
            const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
            return static_cast<long long>((now.tv_sec + now.tv_nsec / 1e9 - started) * 1000.0);
        }
    }
#endif
    return since_main.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Yorbel"));
    QApplication::setOrganizationName(QStringLiteral("Brenmark"));
    QApplication::setApplicationVersion(QStringLiteral(YORBEL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Yorbel, a desktop year calendar"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("calendar files to open"),
                                 QStringLiteral("[FILE...]"));
    parser.process(application);
    const QStringList files = parser.positionalArguments();

    app::QtSettingsStore store;
    const app::SettingsStart start = app::StartSettings(store);

    gui::AppContext context;
    context.ProgramFolder =
        QString::fromStdString(
            app::ResourceFolder(QCoreApplication::applicationDirPath().toStdString()).string()) +
        QLatin1Char('/');
    context.Settings = start.settings;
    context.Store = &store;
    context.Language = app::LanguageFile::Load(
        (context.ProgramFolder +
         QString::fromUtf8(app::LanguageFileName(app::LanguageOf(start.settings)).data()))
            .toStdString());
    // Without its language file the program runs on, every text "Resource not found";
    // the reason goes where a start from a terminal shows it.
    gui::InstallQtTranslations(start.settings.Language);
    if (const auto& problem = context.Language.Problem())
        std::fprintf(stderr, "yorbel: %s\n", problem->what());

    // Group files the program writes live in the per-user data folder, seeded from the
    // shipped copies beside the program.
    const QString data_folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data_folder);
    data::Groups groups(data_folder.toStdString(), context.ProgramFolder.toStdString());
    std::optional<data::Error> groups_problem;
    try {
        groups_problem =
            groups.LoadGroups(app::LanguageOf(start.settings) == app::Language::English);
    } catch (const data::Error& e) {
        groups_problem = e;
    }
    context.Groups = &groups;
    gui::PlatformDialogs dialogs;
    context.Ui = &dialogs;
    context.EventEditor = gui::OpenEventEditor;

    gui::MainWindow main_window(context);
    const bool probe = qEnvironmentVariableIsSet("YORBEL_STARTUP_PROBE");
    if (probe) {
        QObject::connect(&main_window, &gui::MainWindow::firstYearPainted, &application, [&clock] {
            std::printf(
                "first year window painted %lld ms after the process started (%lld ms after "
                "main)\n",
                MillisecondsSinceStart(clock), static_cast<long long>(clock.elapsed()));
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        });
    }
    main_window.show();

    QTimer::singleShot(0, &main_window, [&] {
        if (!start.reset.empty()) {
            QStringList names;
            for (const std::string& place : app::SettingCaptions(context.Language, start.reset))
                names << QString::fromStdString(place);
            dialogs.Tell(&main_window, QMessageBox::Warning, QStringLiteral("Yorbel"),
                         context.Text("FrmOptions", "SettingsReset")
                             .arg(QLatin1Char('\n') + names.join(QLatin1Char('\n'))));
        }
        if (groups_problem)
            dialogs.Tell(&main_window, QMessageBox::Warning, QStringLiteral("Yorbel"),
                         context.ErrorText(*groups_problem));
        main_window.Start(files, start.first_run);
        if (probe && main_window.YearWindows().isEmpty()) {
            std::printf("no year window to paint\n");
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    });
    const int status = application.exec();
    return status;
}
