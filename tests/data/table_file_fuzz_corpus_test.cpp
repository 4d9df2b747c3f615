// Replays every stored table-file fuzz input, so a fault the fuzzer once found stays fixed.
#include <gtest/gtest.h>

#include <filesystem>

#include "../fuzz/table_file_fuzz.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {

TEST(TableFileFuzzCorpusTest, EveryStoredInputPassesTheFuzzChecks) {
    const std::filesystem::path corpus =
        std::filesystem::path(YORBEL_SOURCE_DIR) / "tests" / "fuzz" / "table_file_corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus));
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string bytes = testing::FileBytes(entry.path());
        SCOPED_TRACE(entry.path().filename().string());
        fuzz::FuzzTableFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
    std::error_code ec;
    std::filesystem::remove_all(fuzz::FuzzFolder(), ec);
}

}  // namespace
}  // namespace yorbel::data
