// A core error as the windows show it: in the interface language, from the language
// file's "Errors" section.
#pragma once

#include <string>
#include <string_view>

#include "app/language_file.h"
#include "data/error.h"

namespace yorbel::app {

inline constexpr std::string_view kErrorsSection = "Errors";

// Keys of the "Errors" section that name the parts of a fault's position rather than a
// message: file, line, field.
inline constexpr std::string_view kPositionWordKeys[] = {"PositionFile", "PositionLine",
                                                         "PositionField"};

// The error's template from the "Errors" section filled with its arguments, and its
// position in that language's words; stored field and table names read as the captions
// the user knows (app/captions.h). The English template when the file lacks the key; a
// missing position word stays English.
std::string ErrorMessage(const LanguageFile& language, const data::Error& error);

}  // namespace yorbel::app
