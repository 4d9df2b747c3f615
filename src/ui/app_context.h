// What every window of a run shares: the program folder, the language file, the live
// settings and their store, the groups, and the dialogs. Created by the program entry (or
// a test), it outlives every window.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "app/error_message.h"
#include "app/language_file.h"
#include "app/settings.h"
#include "calendar/dates.h"
#include "data/error.h"
#include "data/event_value.h"
#include "data/groups.h"
#include "ui/dialogs.h"

namespace yorbel::gui {

class YearWindowLink;

// Opens the event editor modally for a year window: new mode without an event, edit mode
// on the event given; date presets the pickers. The change the user confirmed, none when
// cancelled; the year window writes it. Installed by the program entry once the editor
// exists; while it is empty the event commands stay disabled.
using EventEditorOpener = std::function<std::optional<data::EventEdit>(
    YearWindowLink& year, const std::optional<data::EventValue>& event,
    const calendar::CivilDate& date)>;

struct AppContext {
    QString ProgramFolder;  // with a trailing separator
    app::LanguageFile Language;
    app::Settings Settings;
    app::SettingsStore* Store = nullptr;
    data::Groups* Groups = nullptr;
    Dialogs* Ui = nullptr;
    EventEditorOpener EventEditor;

    QString Text(std::string_view section, std::string_view key) const {
        return QString::fromStdString(Language.Text(section, key));
    }

    // A core error in the interface language (English when the language file lacks it).
    QString ErrorText(const data::Error& error) const {
        return QString::fromStdString(app::ErrorMessage(Language, error));
    }
};

}  // namespace yorbel::gui
