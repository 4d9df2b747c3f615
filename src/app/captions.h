// The words a user knows for the names the core stores: a calendar's fields and tables
// by the boxes and windows that show them, a setting by where the options dialog offers
// it. Stored names stay as they are in files and settings; only what a user reads uses
// these captions, taken from the language file so that they follow the interface
// language.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/language_file.h"
#include "app/language_keys.h"

namespace yorbel::app {

// The caption of a stored field or table name ("Ev_Type" → "Kind"), without the colon a
// label ends in; the name itself when no box shows it.
std::string CaptionOf(const LanguageFile& language, std::string_view stored_name);

// Where the options dialog offers the named settings ("HFarbeMark" → "Display › Mark
// Background"), each place once, in the order of the names.
std::vector<std::string> SettingCaptions(const LanguageFile& language,
                                         std::span<const std::string> stored_names);

// Every language key the captions are taken from.
std::vector<LanguageKey> CaptionKeys();

}  // namespace yorbel::app
