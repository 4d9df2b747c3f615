// Replays every stored table-file fuzz input, so a fault the fuzzer once found stays fixed.
#include <gtest/gtest.h>

#include <filesystem>

#include "../fuzz/corpus_replay.h"
#include "../fuzz/table_file_fuzz.h"

namespace yorbel::data {
namespace {

TEST(TableFileFuzzCorpusTest, EveryStoredInputPassesTheFuzzChecks) {
    EXPECT_GT(yorbel::fuzz::ReplayCorpus("table_file_corpus", fuzz::FuzzTableFile), 0);
    std::error_code ec;
    std::filesystem::remove_all(fuzz::FuzzFolder(), ec);
}

}  // namespace
}  // namespace yorbel::data
