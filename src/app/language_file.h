// The texts of the user interface, read from an ini-style language file beside the
// program ("deutsch.spr", "english.spr").
//
// File form: "[Section]" opens a section; "key=value" gives one text, a value is one
// line. Blanks around names and values are dropped; a value enclosed in a pair of double
// (or single) quotes loses them, which is how a text keeps leading or trailing blanks.
// Lines starting with ';' or '#' are comments. Section and key names match without
// regard to ASCII letter case. When a key occurs twice in a section, the first wins.
// The file is UTF-8; a line that is not valid UTF-8 is read as Windows-1252.
//
// The file is never written. Whatever is missing (file, section, key) reads as
// "Resource not found", and the program runs on with that text shown.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/error.h"

namespace yorbel::app {

inline constexpr std::string_view kResourceNotFound = "Resource not found";

// The languages the program speaks; the options store them as 0 and 1.
enum class Language { German, English };

std::string_view LanguageFileName(Language language);

class LanguageFile {
  public:
    // No file: every lookup gives kResourceNotFound.
    LanguageFile() = default;

    // Reads the file whole. A missing or unreadable file (or a folder, a FIFO, ...) gives
    // an empty object whose IsLoaded() is false and whose Problem() says why; that is not
    // an error, every text then reads as missing.
    static LanguageFile Load(const std::filesystem::path& path);

    // Builds the texts from a file's bytes (any encoding the file may have).
    static LanguageFile FromBytes(std::string_view bytes);

    bool IsLoaded() const { return loaded_; }
    const std::optional<data::Error>& Problem() const { return problem_; }

    // The text of section/key, or kResourceNotFound. The reference stays valid as long
    // as this object lives and is not assigned to.
    const std::string& Text(std::string_view section, std::string_view key) const;

    bool Has(std::string_view section, std::string_view key) const;

    // Every text with the section and key spelled as in the file, in no fixed order.
    void ForEach(const std::function<void(std::string_view section, std::string_view key,
                                          std::string_view value)>& visit) const;

  private:
    // Case-insensitive (ASCII) hashing and comparison, transparent so that lookups by
    // string_view build no temporary strings.
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    struct Section {
        std::string name;
        std::unordered_map<std::string, std::string, NoCaseHash, NoCaseEqual> texts;
    };

    std::unordered_map<std::string, Section, NoCaseHash, NoCaseEqual> sections_;
    bool loaded_ = false;
    std::optional<data::Error> problem_;
};

}  // namespace yorbel::app
