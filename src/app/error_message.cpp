#include "app/error_message.h"

namespace yorbel::app {

std::string ErrorMessage(const LanguageFile& language, const data::Error& error) {
    if (!language.Has(kErrorsSection, error.Key())) return error.what();
    data::PositionWords words;
    std::string_view* const parts[] = {&words.file, &words.line, &words.field};
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        if (language.Has(kErrorsSection, kPositionWordKeys[i]))
            *parts[i] = language.Text(kErrorsSection, kPositionWordKeys[i]);
    }
    return error.Format(language.Text(kErrorsSection, error.Key()), words);
}

}  // namespace yorbel::app
