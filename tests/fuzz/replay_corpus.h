// Replays a stored fuzz corpus (a folder under tests/fuzz) through a fuzz body, so that a
// fault a fuzzer once found stays fixed.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace yorbel::fuzz {

// The number of inputs replayed.
inline int ReplayCorpus(const std::string& folder, void (*body)(const std::uint8_t*, std::size_t)) {
    const std::filesystem::path corpus = std::filesystem::path(YORBEL_SOURCE_DIR) / "tests" / "fuzz" / folder;
    EXPECT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int replayed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, ec)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    return replayed;
}

}  // namespace yorbel::fuzz
