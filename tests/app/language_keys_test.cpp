#include "app/language_keys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "app/captions.h"
#include "app/error_message.h"
#include "app/language_file.h"
#include "app/locations.h"
#include "calendar/jewish.h"
#include "data/error_keys.h"
#include "data/events.h"
#include "data/rule_dates.h"
#include "text/text_encoding.h"

namespace yorbel::app {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(YORBEL_SOURCE_DIR) / "resources";
const char* const kFiles[] = {"deutsch.spr", "english.spr"};

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::set<std::string> Placeholders(std::string_view text) {
    static const std::regex placeholder("%[0-9]");
    std::set<std::string> found;
    const std::string s(text);
    for (auto it = std::sregex_iterator(s.begin(), s.end(), placeholder);
         it != std::sregex_iterator(); ++it) {
        found.insert(it->str());
    }
    return found;
}

TEST(LanguageKeys, RegistryListsEachKeyOnce) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const LanguageKey& k : LanguageKeys()) {
        EXPECT_TRUE(seen.emplace(Lower(k.section), Lower(k.key)).second)
            << k.section << "/" << k.key << " is listed twice";
    }
}

TEST(LanguageKeys, EveryFileHasATextForEveryKeyAndNoOthers) {
    std::set<std::pair<std::string, std::string>> registry;
    for (const LanguageKey& k : LanguageKeys()) registry.emplace(Lower(k.section), Lower(k.key));

    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const std::string bytes = Bytes(kResources / name);
        ASSERT_FALSE(bytes.empty());
        // Shipped files are UTF-8, so the Windows-1252 fallback never touches them.
        EXPECT_TRUE(text::IsValidUtf8(bytes));
        const LanguageFile file = LanguageFile::FromBytes(bytes);

        for (const LanguageKey& k : LanguageKeys()) {
            EXPECT_TRUE(file.Has(k.section, k.key)) << "missing " << k.section << "/" << k.key;
            EXPECT_FALSE(file.Text(k.section, k.key).empty())
                << "empty " << k.section << "/" << k.key;
        }
        // A key no window reads is most likely a misspelt one.
        file.ForEach([&](std::string_view section, std::string_view key, std::string_view) {
            EXPECT_TRUE(registry.count({Lower(section), Lower(key)}))
                << "unknown key " << section << "/" << key;
        });
    }
}

bool Registered(std::string_view section, std::string_view key) {
    for (const LanguageKey& k : LanguageKeys()) {
        if (Lower(k.section) == Lower(section) && Lower(k.key) == Lower(key)) return true;
    }
    return false;
}

TEST(LanguageKeys, CaptionsOfStoredNamesAreRegistered) {
    for (const LanguageKey& k : CaptionKeys()) EXPECT_TRUE(Registered(k.section, k.key)) << k.key;
}

TEST(LanguageKeys, MessagesOfTheCoreAreRegistered) {
    for (LineProblem p : {LineProblem::TooShort, LineProblem::MissingName, LineProblem::BadCode,
                          LineProblem::BadNumber, LineProblem::LatitudeOutOfRange,
                          LineProblem::LongitudeOutOfRange, LineProblem::BadZone}) {
        EXPECT_TRUE(Registered("FrmOptions", ProblemKey(p))) << ProblemKey(p);
    }
    EXPECT_TRUE(Registered("FrmOptions", LocationFileError{}.key));
    // Rule faults, and their English texts as the English file has them.
    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    using Case = std::pair<int, const char*>;
    for (const auto& [repeat, from] :
         {Case{data::RepeatEaster, "x"}, Case{data::RepeatNone, "2026"},
          Case{data::RepeatJewish, "1401"}, Case{9, ""}}) {
        const auto rule = data::ParseRule(0, repeat, from, "", true);
        ASSERT_FALSE(rule.ok());
        EXPECT_TRUE(Registered("Errors", rule.fault().Key())) << rule.fault().Key();
        EXPECT_EQ(en.Text("Errors", rule.fault().Key()), rule.fault().EnglishTemplate());
    }
}

TEST(LanguageKeys, EveryCoreErrorHasItsTextInTheErrorsSection) {
    // The windows look core errors up by key; an unlisted one would reach a German user
    // in English, and an English text that drifted from the core's would read differently
    // in the window than in the CLI.
    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    std::set<std::string> core;
    for (const data::ErrorText& e : data::kCoreErrors) {
        EXPECT_TRUE(core.insert(Lower(e.key)).second) << e.key << " is listed twice";
        EXPECT_TRUE(Registered("Errors", e.key)) << e.key;
        EXPECT_EQ(en.Text("Errors", e.key), e.english) << e.key;
    }
    for (std::string_view word : kPositionWordKeys) core.insert(Lower(word));
    for (const LanguageKey& k : LanguageKeys()) {
        if (k.section == kErrorsSection) {
            EXPECT_TRUE(core.count(Lower(k.key))) << "no core error " << k.key;
        }
    }
    for (std::string_view word : kPositionWordKeys) EXPECT_TRUE(Registered("Errors", word)) << word;
}

TEST(LanguageKeys, BothLanguagesFillInTheSameValues) {
    const LanguageFile de = LanguageFile::Load(kResources / "deutsch.spr");
    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    for (const LanguageKey& k : LanguageKeys()) {
        EXPECT_EQ(Placeholders(de.Text(k.section, k.key)), Placeholders(en.Text(k.section, k.key)))
            << k.section << "/" << k.key;
    }
}

TEST(LanguageKeys, FileDialogFiltersAreInQtForm) {
    // "Description (*.a *.b);;Other (*)"
    static const std::regex entry(R"([^;()|]+ \((\*(\.[A-Za-z0-9]+)?)( \*(\.[A-Za-z0-9]+)?)*\))");
    for (const char* name : kFiles) {
        const LanguageFile file = LanguageFile::Load(kResources / name);
        for (const LanguageKey& k : LanguageKeys()) {
            if (!k.key.ends_with("_Filter")) continue;
            const std::string& filter = file.Text(k.section, k.key);
            std::size_t start = 0;
            while (true) {
                const std::size_t end = filter.find(";;", start);
                const std::string part = filter.substr(start, end - start);
                EXPECT_TRUE(std::regex_match(part, entry)) << name << " " << k.key << ": " << part;
                if (end == std::string::npos) break;
                start = end + 2;
            }
        }
    }
}

TEST(LanguageKeys, JewishMonthListMatchesTheCalendar) {
    // The editor's list counts months as in a common year; 5785 is one.
    ASSERT_FALSE(calendar::JewishIsLeap(5785));
    for (const char* name : kFiles) {
        const LanguageFile file = LanguageFile::Load(kResources / name);
        for (int month = 1; month <= 12; ++month) {
            EXPECT_EQ(file.Text("Misc", "JwMo_" + std::to_string(month)),
                      calendar::JewishMonthName(5785, month))
                << name << " month " << month;
        }
    }
}

TEST(LanguageKeys, CopiesBesideTheProgramsAreCurrent) {
    for (const char* name : kFiles) {
        const fs::path copy = fs::path(YORBEL_BIN_DIR) / name;
        ASSERT_TRUE(fs::exists(copy)) << copy;
        EXPECT_TRUE(Bytes(copy) == Bytes(kResources / name)) << copy << " differs from its source";
    }
}

}  // namespace
}  // namespace yorbel::app
