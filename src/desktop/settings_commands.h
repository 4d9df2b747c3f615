// The Options and Filter commands of the main window, and what follows them: the settings
// and groups are written, the interface language is switched at once for every window,
// and every open year window takes the new settings.
#pragma once

namespace yorbel::gui {

struct AppContext;
class MainWindow;

// Connects the Options and Filter menu items and the toolbar's filter button.
void InstallSettingsCommands(MainWindow& main, AppContext& context);

void RunOptions(MainWindow& main, AppContext& context);
void RunFilter(MainWindow& main, AppContext& context);

// Loads the language file, Qt's own translations and the language's groups; retitles the
// main window and every year window.
void SwitchLanguage(MainWindow& main, AppContext& context, int language);

// Every year window takes the live settings and shows its year again (occurrences, day
// sheet and status bar follow).
void ApplySettingsToWindows(MainWindow& main);

// Qt's standard dialogs and buttons in the interface language (0 German, 1 English).
void InstallQtTranslations(int language);

}  // namespace yorbel::gui
