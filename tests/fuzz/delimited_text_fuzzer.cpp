// libFuzzer entry point; built and run by scripts/fuzz.sh.
#include "delimited_text_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    yorbel::exchange::fuzz::FuzzDelimitedText(data, size);
    return 0;
}
