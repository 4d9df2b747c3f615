// libFuzzer entry point; built and run by scripts/fuzz.sh language_file.
#include "language_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    yorbel::app::fuzz::FuzzLanguageFile(data, size);
    return 0;
}
