// libFuzzer entry point; built and run by scripts/fuzz.sh locations.
#include "locations_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    yorbel::app::fuzz::FuzzLocations(data, size);
    return 0;
}
