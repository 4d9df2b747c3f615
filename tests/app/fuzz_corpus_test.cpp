// Replays the stored inputs of the language-file and location-file fuzz targets.
#include "../fuzz/corpus_replay.h"
#include "../fuzz/language_file_fuzz.h"
#include "../fuzz/locations_fuzz.h"

namespace yorbel::app {
namespace {

TEST(FuzzCorpusTest, LanguageFileInputsPassTheFuzzChecks) {
    EXPECT_GT(yorbel::fuzz::ReplayCorpus("language_file_corpus", fuzz::FuzzLanguageFile), 0);
}

TEST(FuzzCorpusTest, LocationFileInputsPassTheFuzzChecks) {
    EXPECT_GT(yorbel::fuzz::ReplayCorpus("locations_corpus", fuzz::FuzzLocations), 0);
}

}  // namespace
}  // namespace yorbel::app
