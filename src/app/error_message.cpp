#include "app/error_message.h"

#include "app/captions.h"

namespace yorbel::app {

std::string ErrorMessage(const LanguageFile& language, const data::Error& error) {
    // Stored names become the captions of their boxes, in the message and its position.
    std::vector<std::string> args = error.Args();
    for (std::string& arg : args) arg = CaptionOf(language, arg);
    data::ErrorPosition position = error.Position();
    position.field = CaptionOf(language, position.field);
    const data::Error shown(error.Key(), error.EnglishTemplate(), std::move(args),
                            std::move(position));
    if (!language.Has(kErrorsSection, error.Key())) return shown.what();
    data::PositionWords words;
    std::string_view* const parts[] = {&words.file, &words.line, &words.field};
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        if (language.Has(kErrorsSection, kPositionWordKeys[i]))
            *parts[i] = language.Text(kErrorsSection, kPositionWordKeys[i]);
    }
    return shown.Format(language.Text(kErrorsSection, error.Key()), words);
}

}  // namespace yorbel::app
