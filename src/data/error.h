// The one error type of the core.
//
// A failure carries what a window needs to show it in the user's language: a message key
// (looked up in the language file's "Errors" section), the %1, %2, ... arguments for that
// text, an English fallback template, and where the fault lies (file, line, field). what()
// gives the English text with its arguments and position, for the CLI and for logs of tests.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_keys.h"

namespace yorbel::data {

// Where a fault was found; every part is optional (empty, or line 0).
struct ErrorPosition {
    ErrorPosition() = default;
    ErrorPosition(std::string file_, int line_ = 0, std::string field_ = {})
        : file(std::move(file_)), line(line_), field(std::move(field_)) {}

    std::string file;
    int line = 0;
    std::string field;
};

// The words of the position that follows a message's first sentence, " (file a, line 3,
// field b)", in the message's language. A file the message names and a field that is one
// of its arguments are left out of it.
struct PositionWords {
    std::string_view file = "file";
    std::string_view line = "line";
    std::string_view field = "box";
};

class Error : public std::runtime_error {
  public:
    // english_template uses %1, %2, ... for args, in the manner of the language texts.
    Error(std::string key, std::string english_template, std::vector<std::string> args = {},
          ErrorPosition position = {});
    // A message of the core, named by CoreError("Key").
    Error(const ErrorText& text, std::vector<std::string> args = {}, ErrorPosition position = {})
        : Error(std::string(text.key), std::string(text.english), std::move(args),
                std::move(position)) {}

    const std::string& Key() const noexcept { return key_; }
    const std::string& EnglishTemplate() const noexcept { return template_; }
    const std::vector<std::string>& Args() const noexcept { return args_; }
    const ErrorPosition& Position() const noexcept { return position_; }

    // A copy with the position parts that are still empty filled from the given one, so
    // an outer layer (a loader that knows the file and line) can complete an inner error.
    Error WithPosition(const ErrorPosition& outer) const;

    // The error that led to this one, passed as the argument that equals its what(); a
    // window shows that argument in its own language. Null when there is none.
    const Error* Cause() const noexcept { return cause_.get(); }
    Error WithCause(const Error& cause) const;

    // The message in another language: the translated template with the same arguments
    // and the position in words of that language.
    std::string Format(std::string_view translated_template, const PositionWords& words = {}) const;

  private:
    std::string key_;
    std::string template_;
    std::vector<std::string> args_;
    ErrorPosition position_;
    std::shared_ptr<const Error> cause_;
};

// An offending value as a message quotes it: whole when short, else its first
// kQuotedValueLength characters (never cutting one apart) and "…". Enough to find the
// value, while a value of megabytes neither floods the message nor doubles the memory.
inline constexpr std::size_t kQuotedValueLength = 60;
std::string QuotedValue(std::string_view value);

// Replaces %1 … %9 by the arguments; "%%" stands for one "%". A placeholder without an
// argument stays as it is, so a translation with a wrong count still shows something.
std::string SubstituteArgs(std::string_view text, const std::vector<std::string>& args);

}  // namespace yorbel::data
