// Replays every stored fuzz input, so a fault the fuzzer once found stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../fuzz/delimited_text_fuzz.h"

namespace yorbel::exchange {
namespace {

TEST(FuzzCorpusTest, EveryStoredInputPassesTheFuzzChecks) {
    const std::filesystem::path corpus =
        std::filesystem::path(YORBEL_SOURCE_DIR) / "tests" / "fuzz" / "corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus));
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        fuzz::FuzzDelimitedText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace yorbel::exchange
