#include "app/resource_folder.h"

#include "app/language_file.h"

#ifndef YORBEL_DATA_FROM_BIN
#define YORBEL_DATA_FROM_BIN "../share/yorbel"
#endif

namespace yorbel::app {

std::filesystem::path ResourceFolder(const std::filesystem::path& program_folder) {
    std::error_code ec;
    const auto holds_texts = [&ec](const std::filesystem::path& folder) {
        return std::filesystem::is_regular_file(folder / LanguageFileName(Language::English), ec);
    };
    if (holds_texts(program_folder)) return program_folder;
    const std::filesystem::path installed =
        (program_folder / YORBEL_DATA_FROM_BIN).lexically_normal();
    if (holds_texts(installed)) return installed;
    return program_folder;
}

}  // namespace yorbel::app
