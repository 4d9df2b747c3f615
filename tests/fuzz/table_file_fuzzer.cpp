// libFuzzer entry point; built and run by scripts/fuzz.sh.
#include "table_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    yorbel::data::fuzz::FuzzTableFile(data, size);
    return 0;
}
