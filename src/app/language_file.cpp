#include "app/language_file.h"

#include "data/regular_file.h"
#include "text/text_encoding.h"

namespace yorbel::app {

namespace {

const std::string kMissing(kResourceNotFound);

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string_view LanguageFileName(Language language) {
    return language == Language::German ? "deutsch.spr" : "english.spr";
}

std::size_t LanguageFile::NoCaseHash::operator()(std::string_view s) const noexcept {
    std::size_t h = 1469598103934665603ULL;  // FNV-1a over the lower-cased bytes
    for (char c : s) {
        h ^= static_cast<unsigned char>(LowerAscii(c));
        h *= 1099511628211ULL;
    }
    return h;
}

bool LanguageFile::NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

LanguageFile LanguageFile::Load(const std::filesystem::path& path) {
    try {
        return FromBytes(data::ReadRegularFile(path));
    } catch (const data::Error& e) {
        LanguageFile missing;
        missing.problem_ = e;
        return missing;
    }
}

LanguageFile LanguageFile::FromBytes(std::string_view bytes) {
    LanguageFile file;
    file.loaded_ = true;
    const std::string text = text::DecodeTextFile(bytes);

    Section* current = nullptr;  // keys before the first section belong to none
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = Trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            auto [it, inserted] = file.sections_.try_emplace(std::string(name));
            if (inserted) it->second.name = std::string(name);
            current = &it->second;  // a repeated section adds to the first one
            continue;
        }
        const std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        current->texts.try_emplace(std::string(key),
                                   std::string(Unquote(Trim(line.substr(eq + 1)))));
    }
    return file;
}

const std::string& LanguageFile::Text(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(section);
    if (s == sections_.end()) return kMissing;
    const auto t = s->second.texts.find(key);
    return t == s->second.texts.end() ? kMissing : t->second;
}

bool LanguageFile::Has(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(section);
    return s != sections_.end() && s->second.texts.find(key) != s->second.texts.end();
}

void LanguageFile::ForEach(
    const std::function<void(std::string_view, std::string_view, std::string_view)>& visit) const {
    for (const auto& [unused, section] : sections_) {
        for (const auto& [key, value] : section.texts) visit(section.name, key, value);
    }
}

}  // namespace yorbel::app
