// Replays every stored fuzz input, so a fault the fuzzer once found stays fixed.
#include "../fuzz/corpus_replay.h"
#include "../fuzz/delimited_text_fuzz.h"

namespace yorbel::exchange {
namespace {

TEST(FuzzCorpusTest, EveryStoredInputPassesTheFuzzChecks) {
    EXPECT_GT(yorbel::fuzz::ReplayCorpus("corpus", fuzz::FuzzDelimitedText), 0);
}

}  // namespace
}  // namespace yorbel::exchange
