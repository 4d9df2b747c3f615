// Class Table: field definitions, field lookups and the checks every stored value passes.
#include <cstdint>
#include <cstring>

#include "data/table.h"
#include "data/table_detail.h"
#include "text/text_encoding.h"

namespace yorbel::data {
using namespace table_detail;

namespace {

// Whether none of the eight bytes is a control character (below 0x20 or 0x7F) or outside
// ASCII: the common case, tested a word at a time because every stored text passes here.
bool PlainAsciiWord(std::uint64_t w) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    const std::uint64_t below_space = (w - kOnes * 0x20) & ~w;  // high bit where byte < 0x20
    const std::uint64_t x = w ^ (kOnes * 0x7F);
    const std::uint64_t del = (x - kOnes) & ~x;  // high bit where the byte is 0x7F
    return ((w | below_space | del) & kHigh) == 0;
}

std::size_t CodePointCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// What the field factories below set in common; Calculated adds its role on top.
FieldDef PlainField(std::string name, FieldKind kind, int size, bool required) {
    FieldDef f;
    f.name = std::move(name);
    f.kind = kind;
    f.size = size;
    f.required = required;
    return f;
}

}  // namespace

// --- field definitions -------------------------------------------------------------------

FieldDef FieldDef::AutoIncrement(std::string name) {
    return PlainField(std::move(name), FieldKind::AutoIncrement, 0, false);
}

FieldDef FieldDef::Integer(std::string name, bool required) {
    return PlainField(std::move(name), FieldKind::Integer, 0, required);
}

FieldDef FieldDef::Text(std::string name, int size, bool required) {
    return PlainField(std::move(name), FieldKind::Text, size, required);
}

FieldDef FieldDef::Boolean(std::string name, bool required) {
    return PlainField(std::move(name), FieldKind::Boolean, 0, required);
}

FieldDef FieldDef::Lookup(std::string name, std::string key_field, const Table& table,
                          std::string lookup_key, std::string lookup_result) {
    FieldDef f;
    f.name = std::move(name);
    f.role = FieldRole::Lookup;
    f.key_field = std::move(key_field);
    f.lookup_table = &table;
    f.lookup_key = std::move(lookup_key);
    f.lookup_result = std::move(lookup_result);
    return f;
}

FieldDef FieldDef::Calculated(std::string name, FieldKind kind, int size) {
    FieldDef f = PlainField(std::move(name), kind, size, false);
    f.role = FieldRole::Calculated;
    return f;
}

// --- construction ------------------------------------------------------------------------

Table::Table(std::string name, std::vector<FieldDef> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {
    ResolveFields();
}

Table::~Table() = default;

void Table::ResolveFields() {
    const int n = FieldCount();
    column_of_.assign(n, -1);
    lookup_key_of_.assign(n, -1);
    lookup_target_key_.assign(n, -1);
    lookup_target_res_.assign(n, -1);
    auto_field_ = -1;
    columns_.clear();
    stored_.clear();
    auto bad = [&](const FieldDef& f, std::string why) {
        return Error(CoreError("BadFieldDefinition"), {name_, f.name, std::move(why)},
                     {"", 0, f.name});
    };
    for (int i = 0; i < n; ++i) {
        FieldDef& f = fields_[i];
        if (f.name.empty() || f.name.find('\0') != std::string::npos) throw bad(f, "bad name");
        for (int j = 0; j < i; ++j)
            if (SameNameIgnoringCase(fields_[j].name, f.name))
                throw bad(f, "the name is used twice");
        switch (f.role) {
            case FieldRole::Stored:
                if (f.kind == FieldKind::Text && f.size <= 0)
                    throw bad(f, "a text needs a maximum length");
                if (f.kind == FieldKind::AutoIncrement) {
                    if (auto_field_ >= 0) throw bad(f, "a second auto-increment field");
                    auto_field_ = i;
                }
                column_of_[i] = static_cast<int>(columns_.size());
                stored_.push_back({i, column_of_[i], f.kind, f.required});
                columns_.emplace_back();
                break;
            case FieldRole::Calculated:
                if (f.kind == FieldKind::AutoIncrement)
                    throw bad(f, "a calculated field cannot count");
                break;
            case FieldRole::Lookup: {
                if (f.lookup_table == nullptr || f.lookup_table == this)
                    throw bad(f, "no table to look up");
                auto key = FindField(f.key_field);
                auto target_key = f.lookup_table->FindField(f.lookup_key);
                auto target_res = f.lookup_table->FindField(f.lookup_result);
                if (!key || key->value >= i || fields_[key->value].role != FieldRole::Stored)
                    throw bad(f, "its key must be a stored field defined before it");
                if (!target_key || !target_res ||
                    f.lookup_table->fields_[target_key->value].role != FieldRole::Stored ||
                    f.lookup_table->fields_[target_res->value].role != FieldRole::Stored)
                    throw bad(f, "the looked-up fields must be stored fields of " +
                                     f.lookup_table->name_);
                FieldKind k1 = fields_[key->value].kind;
                FieldKind k2 = f.lookup_table->fields_[target_key->value].kind;
                if (!(k1 == k2 || (IntegerLike(k1) && IntegerLike(k2))))
                    throw bad(f, "key kinds differ");
                const FieldDef& res = f.lookup_table->fields_[target_res->value];
                f.kind = res.kind == FieldKind::AutoIncrement ? FieldKind::Integer : res.kind;
                f.size = res.size;
                lookup_key_of_[i] = key->value;
                lookup_target_key_[i] = target_key->value;
                lookup_target_res_[i] = target_res->value;
                break;
            }
        }
    }
    calc_values_.assign(n, Value{});
}

// --- fields ------------------------------------------------------------------------------

void Table::ThrowNoFieldNumber(FieldNo f) const {
    throw Error(CoreError("FieldNumberNotFound"), {name_, std::to_string(f.value)});
}

std::optional<FieldNo> Table::FindField(std::string_view name) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (SameNameIgnoringCase(fields_[i].name, name)) return FieldNo(i);
    return std::nullopt;
}

FieldNo Table::FieldByName(std::string_view name) const {
    if (auto f = FindField(name)) return *f;
    throw Error(CoreError("FieldNotFound"), {name_, std::string(name)}, {"", 0, std::string(name)});
}

Error Table::FieldError(const ErrorText& text, FieldNo f, std::vector<std::string> more) const {
    const std::string& field = fields_[f.value].name;
    std::vector<std::string> args{name_, field};
    for (auto& a : more) args.push_back(std::move(a));
    return Error(text, std::move(args), {"", 0, field});
}

// --- texts and kinds --------------------------------------------------------------------

std::optional<ErrorText> TextRefusal(const FieldDef& def, std::string_view text) {
    std::size_t plain = 0;
    while (text.size() - plain >= 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data() + plain, 8);
        if (!PlainAsciiWord(w)) break;
        plain += 8;
    }
    bool ascii = true;
    for (unsigned char c : text.substr(plain)) {
        // Line breaks and tabs cannot survive delimited text, and no control character
        // belongs in a name or a rule.
        if (c < 0x20 || c == 0x7F) return CoreError("TextControlCharacter");
        ascii = ascii && c < 0x80;
    }
    if (!ascii && !text::IsValidUtf8(text)) return CoreError("TextNotUtf8");
    // A text within its size in bytes needs no count of its characters.
    const auto size = static_cast<std::size_t>(def.size);
    if (def.size > 0 && text.size() > size && CodePointCount(text) > size)
        return CoreError("TextTooLong");
    return std::nullopt;
}

std::optional<Error> Table::TextFault(FieldNo f, std::string_view text) const {
    const int field = FieldIndexChecked(f);
    if (auto refusal = TextRefusal(fields_[field], text))
        return FieldError(*refusal, FieldNo(field),
                          {std::to_string(fields_[field].size), QuotedValue(text)});
    return std::nullopt;
}

void Table::CheckText(int field, std::string_view text) const {
    if (auto fault = TextFault(FieldNo(field), text)) throw *fault;
}

void Table::ValidateValue(int field, const Value& v) const {
    const FieldDef& def = fields_[field];
    if (!ValueFitsKind(def.kind, v))
        throw FieldError(CoreError("FieldKindMismatch"), FieldNo(field), {KindWord(def.kind)});
    if (auto* s = std::get_if<std::string>(&v)) CheckText(field, *s);
}

}  // namespace yorbel::data
