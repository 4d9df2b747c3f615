#include "data/error.h"

namespace yorbel::data {
namespace {

// Whether the template shows an argument equal to value.
bool ShowsArgument(std::string_view text, const std::vector<std::string>& args,
                   std::string_view value) {
    for (std::size_t i = 0; i < args.size() && i < 9; ++i) {
        const char placeholder[] = {'%', static_cast<char>('1' + i), '\0'};
        if (args[i] == value && text.find(placeholder) != std::string_view::npos) return true;
    }
    return false;
}

// The position after a message, leaving out what the message already names: a file its
// text quotes, a field it shows as an argument. A user reads each name once.
std::string PositionSuffix(const ErrorPosition& position, const PositionWords& words,
                           std::string_view text, const std::string& message,
                           const std::vector<std::string>& args) {
    std::string out;
    auto add = [&out](std::string_view word, const std::string& value) {
        out += out.empty() ? " (" : ", ";
        out += word;
        out += ' ';
        out += value;
    };
    if (!position.file.empty() && message.find(position.file) == std::string::npos)
        add(words.file, position.file);
    if (position.line > 0) add(words.line, std::to_string(position.line));
    if (!position.field.empty() && !ShowsArgument(text, args, position.field))
        add(words.field, position.field);
    if (!out.empty()) out += ")";
    return out;
}

std::string Compose(std::string_view text, const std::vector<std::string>& args,
                    const ErrorPosition& position, const PositionWords& words = {}) {
    // The position belongs to the fault, which the first sentence names; what follows
    // says what to do.
    const std::size_t end = text.find(". ");
    const std::string fault = SubstituteArgs(text.substr(0, end), args);
    const std::string advice =
        end == std::string_view::npos ? std::string() : SubstituteArgs(text.substr(end), args);
    return fault + PositionSuffix(position, words, text, fault + advice, args) + advice;
}

}  // namespace

std::string QuotedValue(std::string_view value) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool starts_character = (static_cast<unsigned char>(value[i]) & 0xC0) != 0x80;
        if (starts_character && characters++ == kQuotedValueLength) {
            return std::string(value.substr(0, i)) + "\xE2\x80\xA6";  // "…"
        }
    }
    return std::string(value);
}

std::string SubstituteArgs(std::string_view text, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            char next = text[i + 1];
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9') {
                auto n = static_cast<std::size_t>(next - '1');
                if (n < args.size()) {
                    out += args[n];
                    ++i;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

Error::Error(std::string key, std::string english_template, std::vector<std::string> args,
             ErrorPosition position)
    : std::runtime_error(Compose(english_template, args, position)),
      key_(std::move(key)),
      template_(std::move(english_template)),
      args_(std::move(args)),
      position_(std::move(position)) {}

Error Error::WithPosition(const ErrorPosition& outer) const {
    ErrorPosition merged = position_;
    if (merged.file.empty()) merged.file = outer.file;
    if (merged.line == 0) merged.line = outer.line;
    if (merged.field.empty()) merged.field = outer.field;
    Error completed(key_, template_, args_, std::move(merged));
    completed.cause_ = cause_;
    return completed;
}

Error Error::WithCause(const Error& cause) const {
    Error caused = *this;
    caused.cause_ = std::make_shared<const Error>(cause);
    return caused;
}

std::string Error::Format(std::string_view translated_template, const PositionWords& words) const {
    return Compose(translated_template, args_, position_, words);
}

}  // namespace yorbel::data
