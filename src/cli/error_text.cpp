#include "cli/error_text.h"

#include "app/error_message.h"
#include "cli/calendar_files.h"

namespace yorbel::cli {

std::string ErrorText(const data::Error& error) {
    // Read once: a run prints few messages, and the file does not change meanwhile.
    static const app::LanguageFile english = app::LanguageFile::Load(
        ProgramFolder() / std::string(app::LanguageFileName(app::Language::English)));
    return app::ErrorMessage(english, error);
}

}  // namespace yorbel::cli
