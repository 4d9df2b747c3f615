#include "desktop/settings_commands.h"

#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/language_file.h"
#include "data/groups.h"
#include "desktop/main_window.h"
#include "desktop/options_dialog.h"
#include "tools/group_filter.h"
#include "ui/app_context.h"
#include "yearview/year_window.h"

namespace yorbel::gui {

namespace {

void SaveGroupsReporting(MainWindow& main, AppContext& context) {
    try {
        context.Groups->SaveGroups();
    } catch (const data::Error& e) {
        context.Ui->Tell(&main, QMessageBox::Warning, QStringLiteral("Yorbel"),
                         context.ErrorText(e));
    }
}

}  // namespace

void InstallSettingsCommands(MainWindow& main, AppContext& context) {
    QObject::connect(main.Action("iOptions"), &QAction::triggered, &main,
                     [&main, &context] { RunOptions(main, context); });
    for (const char* name : {"iFilter", "tbFilter"})
        QObject::connect(main.Action(name), &QAction::triggered, &main,
                         [&main, &context] { RunFilter(main, context); });
}

void InstallQtTranslations(int language) {
    static QTranslator* translator = nullptr;
    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    if (language != 0) return;  // Qt's own texts are English
    auto* german = new QTranslator(qApp);
    if (german->load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(german);
        translator = german;
    } else {
        delete german;
    }
}

void SwitchLanguage(MainWindow& main, AppContext& context, int language) {
    // Group edits of the language being left are kept in its own file.
    SaveGroupsReporting(main, context);
    context.Settings.Language = language;
    context.Language = app::LanguageFile::Load(
        (context.ProgramFolder +
         QString::fromUtf8(app::LanguageFileName(app::LanguageOf(context.Settings)).data()))
            .toStdString());
    InstallQtTranslations(language);
    std::optional<data::Error> problem;
    try {
        problem = context.Groups->LoadGroups(language != 0);
    } catch (const data::Error& e) {
        problem = e;
    }
    main.ApplyMainTexts();
    for (YearWindow* year : main.YearWindows()) year->ApplyTexts();
    ApplySettingsToWindows(main);
    if (problem)
        context.Ui->Tell(&main, QMessageBox::Warning, QStringLiteral("Yorbel"),
                         context.ErrorText(*problem));
}

void ApplySettingsToWindows(MainWindow& main) {
    for (YearWindow* year : main.YearWindows()) {
        year->ReloadDisplaySettings();
        year->ShowYear(year->ShownYear());
    }
    main.FitFrames();
    main.ShowStatus();
}

void RunOptions(MainWindow& main, AppContext& context) {
    OptionsDialog dialog(&main, context);
    QObject::connect(&dialog, &OptionsDialog::languageChosen, &dialog,
                     [&main, &context, &dialog](int language) {
                         SwitchLanguage(main, context, language);
                         dialog.ApplyTexts();
                         dialog.FillGroups();
                     });
    dialog.exec();  // every way of closing commits
    context.Settings = dialog.Value();
    if (context.Store != nullptr) app::WriteSettings(*context.Store, context.Settings);
    SaveGroupsReporting(main, context);
    ApplySettingsToWindows(main);
}

void RunFilter(MainWindow& main, AppContext& context) {
    GroupFilterDialog dialog(&main, context, GroupsShown(context.Groups->CdsGroups()));
    dialog.exec();
    ApplyGroupsShown(context.Groups->CdsGroups(), dialog.Choice());
    SaveGroupsReporting(main, context);
    ApplySettingsToWindows(main);
}

}  // namespace yorbel::gui
