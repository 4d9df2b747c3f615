// Replays every stored input of a fuzz corpus through its fuzz target's body, so that a
// fault the fuzzer once found stays fixed. For the tests; the bodies abort on a fault.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace yorbel::fuzz {

// `corpus` is a folder below tests/fuzz; returns the number of inputs replayed.
template <typename Body>
int ReplayCorpus(const std::string& corpus, Body body) {
    const std::filesystem::path folder =
        std::filesystem::path(YORBEL_SOURCE_DIR) / "tests" / "fuzz" / corpus;
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    if (!std::filesystem::is_directory(folder)) return 0;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    return replayed;
}

}  // namespace yorbel::fuzz
