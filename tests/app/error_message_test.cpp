#include "app/error_message.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/error_keys.h"

namespace yorbel::app {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(YORBEL_SOURCE_DIR) / "resources";

data::Error MissingFile() {
    return data::Error(data::CoreError("FileNotFound"), {"a.yrb"}, {"a.yrb", 3, "Ev_from"});
}

TEST(ErrorMessage, ShowsTheMessageAndItsPositionInTheInterfaceLanguage) {
    const LanguageFile de = LanguageFile::Load(kResources / "deutsch.spr");
    EXPECT_EQ(ErrorMessage(de, MissingFile()),
              "Die Datei a.yrb existiert nicht (Datei a.yrb, Zeile 3, Feld Ev_from)");
    // An error without a position gets no brackets.
    EXPECT_EQ(ErrorMessage(de, data::Error(data::CoreError("ImportNotANumber"), {"12x"})),
              "\"12x\" ist keine ganze Zahl");

    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    EXPECT_EQ(ErrorMessage(en, MissingFile()), MissingFile().what());
}

TEST(ErrorMessage, FallsBackToEnglishForWhatTheFileLacks) {
    // An older or hand-edited language file: the message is translated, the position
    // words are not; a message it lacks altogether is shown in English, never as
    // "Resource not found".
    const LanguageFile partial =
        LanguageFile::FromBytes("[Errors]\nFileNotFound=Die Datei %1 existiert nicht\n");
    EXPECT_EQ(ErrorMessage(partial, MissingFile()),
              "Die Datei a.yrb existiert nicht (file a.yrb, line 3, field Ev_from)");

    const data::Error other(data::CoreError("FileReadOnly"), {"b.yrb"}, {"b.yrb"});
    EXPECT_EQ(ErrorMessage(partial, other), other.what());
    EXPECT_EQ(ErrorMessage(LanguageFile(), other), other.what());
}

TEST(ErrorMessage, ArgumentsAreInsertedAsTheyAre) {
    // A file name or typed value that looks like a placeholder is shown, not expanded.
    const LanguageFile de = LanguageFile::Load(kResources / "deutsch.spr");
    const data::Error e(data::CoreError("TableFileDamaged"), {"100%1.yrb", "%2 %%"});
    EXPECT_EQ(ErrorMessage(de, e), "Die Tabellendatei 100%1.yrb ist beschädigt: %2 %%");
}

}  // namespace
}  // namespace yorbel::app
