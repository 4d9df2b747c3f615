#include "app/error_message.h"

#include "app/captions.h"

namespace yorbel::app {
namespace {

// A cause shown inside another message says what went wrong; what to do is the outer
// message's to say.
std::string Message(const LanguageFile& language, const data::Error& error, bool with_advice) {
    // Stored names become the captions of their boxes, in the message and its position.
    std::vector<std::string> args = error.Args();
    for (std::string& arg : args) {
        if (error.Cause() != nullptr && arg == error.Cause()->what())
            arg = Message(language, *error.Cause(), false);
        else
            arg = CaptionOf(language, arg);
    }
    data::ErrorPosition position = error.Position();
    position.field = CaptionOf(language, position.field);
    const data::Error shown(error.Key(), error.EnglishTemplate(), std::move(args),
                            std::move(position));
    const bool translated = language.Has(kErrorsSection, error.Key());
    std::string_view text = translated
                                ? std::string_view(language.Text(kErrorsSection, error.Key()))
                                : error.EnglishTemplate();
    if (!with_advice) text = text.substr(0, text.find(". "));
    data::PositionWords words;
    std::string_view* const parts[] = {&words.file, &words.line, &words.field};
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        if (translated && language.Has(kErrorsSection, kPositionWordKeys[i]))
            *parts[i] = language.Text(kErrorsSection, kPositionWordKeys[i]);
    }
    return shown.Format(text, words);
}

}  // namespace

std::string ErrorMessage(const LanguageFile& language, const data::Error& error) {
    return Message(language, error, true);
}

}  // namespace yorbel::app
