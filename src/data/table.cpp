#include "data/table.h"

#include <algorithm>
#include <array>
#include <limits>
#include <type_traits>

#include "text/text_encoding.h"

namespace yorbel::data {
namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::size_t CodePointCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

const char* KindWord(FieldKind kind) {
    switch (kind) {
        case FieldKind::AutoIncrement:
        case FieldKind::Integer: return "number";
        case FieldKind::Text: return "text";
        case FieldKind::Boolean: return "truth value";
    }
    return "?";
}

bool ValueFitsKind(FieldKind kind, const Value& v) {
    if (IsNullValue(v)) return true;
    switch (kind) {
        case FieldKind::AutoIncrement:
        case FieldKind::Integer: return std::holds_alternative<std::int32_t>(v);
        case FieldKind::Text: return std::holds_alternative<std::string>(v);
        case FieldKind::Boolean: return std::holds_alternative<bool>(v);
    }
    return false;
}

std::string ValueText(const Value& v) {
    if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    if (auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    return "";
}

// A value read for its text alone gives its string up rather than a copy.
std::string ValueText(Value&& v) {
    if (auto* s = std::get_if<std::string>(&v)) return std::move(*s);
    return ValueText(static_cast<const Value&>(v));
}

bool IntegerLike(FieldKind k) { return k == FieldKind::Integer || k == FieldKind::AutoIncrement; }

template <typename T>
int Sign(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

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

Table::Table(std::string name, std::vector<FieldDef> fields) : name_(std::move(name)), fields_(std::move(fields)) {
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
            if (SameNameIgnoringCase(fields_[j].name, f.name)) throw bad(f, "the name is used twice");
        switch (f.role) {
            case FieldRole::Stored:
                if (f.kind == FieldKind::Text && f.size <= 0) throw bad(f, "a text needs a maximum length");
                if (f.kind == FieldKind::AutoIncrement) {
                    if (auto_field_ >= 0) throw bad(f, "a second auto-increment field");
                    auto_field_ = i;
                }
                column_of_[i] = static_cast<int>(columns_.size());
                stored_.push_back({i, column_of_[i], f.kind, f.required});
                columns_.emplace_back();
                break;
            case FieldRole::Calculated:
                if (f.kind == FieldKind::AutoIncrement) throw bad(f, "a calculated field cannot count");
                break;
            case FieldRole::Lookup: {
                if (f.lookup_table == nullptr || f.lookup_table == this) throw bad(f, "no table to look up");
                auto key = FindField(f.key_field);
                auto target_key = f.lookup_table->FindField(f.lookup_key);
                auto target_res = f.lookup_table->FindField(f.lookup_result);
                if (!key || key->value >= i || fields_[key->value].role != FieldRole::Stored)
                    throw bad(f, "its key must be a stored field defined before it");
                if (!target_key || !target_res ||
                    f.lookup_table->fields_[target_key->value].role != FieldRole::Stored ||
                    f.lookup_table->fields_[target_res->value].role != FieldRole::Stored)
                    throw bad(f, "the looked-up fields must be stored fields of " + f.lookup_table->name_);
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

const FieldDef& Table::Field(FieldNo f) const { return fields_[FieldIndexChecked(f)]; }

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

// --- stored values and comparisons -------------------------------------------------------

Value Table::StoredValue(RowId row, int field) const {
    const Column& c = columns_[column_of_[field]];
    if (c.nulls[row]) return Value{};
    switch (fields_[field].kind) {
        case FieldKind::Text: return Value{c.texts[row]};
        case FieldKind::Boolean: return Value{c.ints[row] != 0};
        default: return Value{c.ints[row]};
    }
}

int Table::CompareStored(RowId row, int field, const Value& v) const {
    const Column& c = columns_[column_of_[field]];
    const bool row_null = c.nulls[row] != 0;
    const bool v_null = IsNullValue(v);
    if (row_null || v_null) return Sign<int>(!row_null, !v_null);
    if (fields_[field].kind == FieldKind::Text) {
        int r = c.texts[row].compare(std::get<std::string>(v));
        return Sign(r, 0);
    }
    std::int32_t x = fields_[field].kind == FieldKind::Boolean ? std::int32_t{std::get<bool>(v)}
                                                                : std::get<std::int32_t>(v);
    return Sign(c.ints[row], x);
}

int Table::CompareRows(const Index& ix, RowId a, RowId b) const {
    for (int field : ix.fields) {
        const Column& c = columns_[column_of_[field]];
        const bool na = c.nulls[a] != 0;
        const bool nb = c.nulls[b] != 0;
        if (na || nb) {
            if (na != nb) return na ? -1 : 1;
            continue;
        }
        int r = fields_[field].kind == FieldKind::Text ? Sign(c.texts[a].compare(c.texts[b]), 0)
                                                        : Sign(c.ints[a], c.ints[b]);
        if (r != 0) return r;
    }
    return 0;
}

int Table::CompareKey(const Index& ix, RowId row, const std::vector<Value>& key) const {
    for (std::size_t i = 0; i < key.size(); ++i) {
        int r = CompareStored(row, ix.fields[i], key[i]);
        if (r != 0) return r;
    }
    return 0;
}

bool Table::RowLess(const Index& ix, RowId a, RowId b) const {
    int r = CompareRows(ix, a, b);
    return r < 0 || (r == 0 && a < b);
}

// --- indexes -----------------------------------------------------------------------------

Table::Index* Table::FindIndex(std::string_view name) {
    for (auto& ix : indexes_)
        if (SameNameIgnoringCase(ix.name, name)) return &ix;
    return nullptr;
}

const Table::Index* Table::FindIndex(std::string_view name) const {
    return const_cast<Table*>(this)->FindIndex(name);
}

bool Table::HasIndex(std::string_view name) const { return FindIndex(name) != nullptr; }

void Table::SortRows(const Index& ix, std::vector<RowId>& rows) const {
    // rows arrive in ascending id order, so a stable sort by key alone breaks ties by id.
    auto less = [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); };
    if (ix.fields.size() != 1 || rows.size() < 64) {
        std::sort(rows.begin(), rows.end(), less);
        return;
    }
    // One field: a stable radix sort on a 64-bit key (a text's first eight bytes, or the
    // number), nulls first. Occurrence tables of a few hundred thousand rows sort in a
    // few milliseconds this way, where comparison sorts chase strings all over memory.
    const int field = ix.fields[0];
    const Column& c = columns_[column_of_[field]];
    const bool text = fields_[field].kind == FieldKind::Text;
    struct KeyRow {
        std::uint64_t key;
        RowId row;
    };
    std::vector<KeyRow> keyed;
    keyed.reserve(rows.size());
    std::size_t nulls = 0;
    bool needs_full_compare = false;  // texts longer than 8 bytes or holding NUL bytes
    for (RowId r : rows) {
        if (c.nulls[r]) {
            rows[nulls++] = r;  // rows[0..nulls) is already read, so this is safe
            continue;
        }
        std::uint64_t key = 0;
        if (text) {
            const std::string& t = c.texts[r];
            const std::size_t n = std::min<std::size_t>(t.size(), 8);
            for (std::size_t i = 0; i < 8; ++i) key = (key << 8) | (i < n ? static_cast<unsigned char>(t[i]) : 0u);
            needs_full_compare = needs_full_compare || t.size() > 8 || t.find('\0') != std::string::npos;
        } else {
            key = static_cast<std::uint32_t>(c.ints[r]) ^ 0x80000000u;
        }
        keyed.push_back({key, r});
    }
    const int passes = text ? 8 : 4;
    std::vector<std::array<std::size_t, 257>> counts(static_cast<std::size_t>(passes));
    for (auto& c0 : counts) c0.fill(0);
    for (const auto& e : keyed)
        for (int pass = 0; pass < passes; ++pass) ++counts[pass][((e.key >> (8 * pass)) & 0xFF) + 1];
    std::vector<KeyRow> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        auto& count = counts[pass];
        if (std::find(count.begin(), count.end(), keyed.size()) != count.end()) continue;  // one value only
        if (scratch.empty()) scratch.resize(keyed.size());
        for (int b = 0; b < 256; ++b) count[b + 1] += count[b];
        const int shift = 8 * pass;
        for (const auto& e : keyed) scratch[count[(e.key >> shift) & 0xFF]++] = e;
        keyed.swap(scratch);
    }
    for (std::size_t i = 0; i < keyed.size(); ++i) rows[nulls + i] = keyed[i].row;
    if (!needs_full_compare) return;
    // Equal prefixes may still hide different texts: order those runs fully.
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].key == keyed[i].key) ++j;
        if (j - i > 1) std::sort(rows.begin() + static_cast<std::ptrdiff_t>(nulls + i),
                                 rows.begin() + static_cast<std::ptrdiff_t>(nulls + j), less);
        i = j;
    }
}

void Table::EnsureSorted(const Index& cix) const {
    Index& ix = const_cast<Index&>(cix);
    if (!ix.stale && ix.pending.empty()) return;
    pos_valid_ = false;
    // Many rows out of order (a freshly filled table): sorting everything is cheaper
    // than merging.
    if (ix.stale || ix.pending.size() * 4 >= ix.sorted.size()) {
        ix.sorted = order_;
        SortRows(ix, ix.sorted);
    } else {
        SortRows(ix, ix.pending);
        std::vector<RowId> merged(ix.sorted.size() + ix.pending.size());
        std::merge(ix.sorted.begin(), ix.sorted.end(), ix.pending.begin(), ix.pending.end(), merged.begin(),
                   [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); });
        ix.sorted.swap(merged);
    }
    ix.pending.clear();
    ix.stale = false;
}

void Table::NoteAppended(RowId row) {
    for (auto& ix : indexes_) {
        if (ix.stale) continue;
        // Rows arriving in key order extend the sorted list directly.
        if (ix.pending.empty() && (ix.sorted.empty() || RowLess(ix, ix.sorted.back(), row)))
            ix.sorted.push_back(row);
        else
            ix.pending.push_back(row);
    }
}

void Table::MarkAllStale() {
    for (auto& ix : indexes_) {
        ix.sorted.clear();
        ix.pending.clear();
        ix.stale = true;
    }
    pos_valid_ = false;
}

std::vector<Value> Table::KeyOfBuffer(const Index& ix) const {
    std::vector<Value> key;
    key.reserve(ix.fields.size());
    for (int f : ix.fields) key.push_back(buffer_[f]);
    return key;
}

std::vector<Value> Table::KeyOfRow(const Index& ix, RowId row) const {
    std::vector<Value> key;
    key.reserve(ix.fields.size());
    for (int f : ix.fields) key.push_back(StoredValue(row, f));
    return key;
}

void Table::CheckUnique(const Index& ix, const std::vector<Value>& key, RowId self) const {
    EnsureSorted(ix);
    auto it = std::lower_bound(ix.sorted.begin(), ix.sorted.end(), key,
                               [this, &ix](RowId r, const std::vector<Value>& k) { return CompareKey(ix, r, k) < 0; });
    for (; it != ix.sorted.end() && CompareKey(ix, *it, key) == 0; ++it) {
        if (*it == self) continue;
        std::string shown;
        for (const auto& v : key) shown += (shown.empty() ? "" : ", ") + ValueText(v);
        throw FieldError(CoreError("KeyViolation"), FieldNo(ix.fields[0]), {shown, ix.name});
    }
}

void Table::AddIndex(std::string name, const std::vector<std::string>& fields, IndexOptions options) {
    if (name.empty() || FindIndex(name)) throw Error(CoreError("BadIndexName"), {name_, name});
    if (fields.empty()) throw Error(CoreError("IndexWithoutFields"), {name_, name});
    Index ix;
    ix.name = std::move(name);
    ix.options = options;
    ix.stale = true;
    for (const auto& fname : fields) {
        FieldNo f = FieldByName(fname);
        if (fields_[f.value].role != FieldRole::Stored)
            throw FieldError(CoreError("IndexOnUnstoredField"), f);
        ix.fields.push_back(f.value);
    }
    if (ix.options.unique) {
        EnsureSorted(ix);
        for (std::size_t i = 1; i < ix.sorted.size(); ++i)
            if (CompareRows(ix, ix.sorted[i - 1], ix.sorted[i]) == 0)
                CheckUnique(ix, KeyOfRow(ix, ix.sorted[i]), ix.sorted[i]);
    }
    indexes_.push_back(std::move(ix));
    if (!current_index_name_.empty()) current_index_ = static_cast<int>(FindIndex(current_index_name_) - indexes_.data());
}

void Table::DeleteIndex(std::string_view name) {
    Index* ix = FindIndex(name);
    if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(name)});
    if (SameNameIgnoringCase(ix->name, current_index_name_)) {
        current_index_name_.clear();
        current_index_ = -1;
    }
    indexes_.erase(indexes_.begin() + (ix - indexes_.data()));
    if (!current_index_name_.empty()) current_index_ = static_cast<int>(FindIndex(current_index_name_) - indexes_.data());
    pos_valid_ = false;
}

void Table::SetCurrentIndex(std::string_view name) {
    CheckBrowse();
    if (name.empty()) {
        current_index_ = -1;
        current_index_name_.clear();
    } else {
        Index* ix = FindIndex(name);
        if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(name)});
        current_index_ = static_cast<int>(ix - indexes_.data());
        current_index_name_ = ix->name;
    }
    pos_valid_ = false;
}

const std::vector<Table::RowId>& Table::Ordering() const {
    if (current_index_ < 0) return order_;
    const Index& ix = indexes_[current_index_];
    EnsureSorted(ix);
    return ix.sorted;
}

std::size_t Table::LocateInOrdering(RowId row) const {
    const auto& ord = Ordering();
    if (current_index_ < 0) return static_cast<std::size_t>(std::lower_bound(ord.begin(), ord.end(), row) - ord.begin());
    const Index& ix = indexes_[current_index_];
    auto it = std::lower_bound(ord.begin(), ord.end(), row, [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); });
    return static_cast<std::size_t>(it - ord.begin());
}

// --- cursor ------------------------------------------------------------------------------

void Table::SetCurrentRow(RowId row) {
    cur_ = row;
    pos_valid_ = false;
}

void Table::ResetCursorToFirst() {
    const auto& ord = Ordering();
    if (ord.empty()) {
        cur_ = kNoRow;
        eof_ = bof_ = true;
        return;
    }
    cur_ = ord.front();
    pos_ = 0;
    pos_valid_ = true;
    bof_ = true;
    eof_ = false;
}

int Table::Position() const {
    if (cur_ == kNoRow || state_ == State::Insert) return -1;
    if (!pos_valid_) {
        std::size_t p = LocateInOrdering(cur_);
        pos_ = p;
        pos_valid_ = true;
    }
    return static_cast<int>(pos_);
}

void Table::First() {
    CheckBrowse();
    ResetCursorToFirst();
}

void Table::Last() {
    CheckBrowse();
    const auto& ord = Ordering();
    if (ord.empty()) {
        cur_ = kNoRow;
        eof_ = bof_ = true;
        return;
    }
    cur_ = ord.back();
    pos_ = ord.size() - 1;
    pos_valid_ = true;
    eof_ = true;
    bof_ = false;
}

void Table::Next() {
    CheckBrowse();
    if (cur_ == kNoRow) {  // only an empty table has no current row
        ResetCursorToFirst();
        return;
    }
    std::size_t p = static_cast<std::size_t>(Position());
    const auto& ord = Ordering();
    if (p + 1 < ord.size()) {
        pos_ = p + 1;
        cur_ = ord[pos_];
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::Prior() {
    CheckBrowse();
    if (cur_ == kNoRow) {
        ResetCursorToFirst();
        return;
    }
    std::size_t p = static_cast<std::size_t>(Position());
    const auto& ord = Ordering();
    if (p > 0) {
        pos_ = p - 1;
        cur_ = ord[pos_];
        eof_ = false;
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void Table::MoveTo(int position) {
    CheckBrowse();
    const auto& ord = Ordering();
    if (position < 0 || static_cast<std::size_t>(position) >= ord.size())
        throw Error(CoreError("RowOutOfRange"), {name_, std::to_string(position)});
    pos_ = static_cast<std::size_t>(position);
    pos_valid_ = true;
    cur_ = ord[pos_];
    eof_ = bof_ = false;
}

std::span<const Table::RowId> Table::KeyRange(const Index& ix, const std::vector<Value>& key) const {
    if (key.empty() || key.size() > ix.fields.size())
        throw Error(CoreError("BadKey"), {name_, ix.name, std::to_string(ix.fields.size())});
    for (std::size_t i = 0; i < key.size(); ++i)
        if (!ValueFitsKind(fields_[ix.fields[i]].kind, key[i]))
            throw FieldError(CoreError("KeyKindMismatch"), FieldNo(ix.fields[i]));
    EnsureSorted(ix);
    auto [first, last] = std::equal_range(
        ix.sorted.begin(), ix.sorted.end(), key,
        [this, &ix](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, RowId>)
                return CompareKey(ix, a, b) < 0;
            else
                return CompareKey(ix, b, a) > 0;
        });
    return {first, last};
}

bool Table::GoToKey(const std::vector<Value>& key) {
    CheckBrowse();
    if (current_index_ < 0) throw Error(CoreError("NoCurrentIndex"), {name_});
    const Index& ix = indexes_[current_index_];
    const std::span<const RowId> rows = KeyRange(ix, key);
    if (rows.empty()) return false;
    cur_ = rows.front();
    pos_ = static_cast<std::size_t>(rows.data() - ix.sorted.data());
    pos_valid_ = true;
    eof_ = bof_ = false;
    return true;
}

std::span<const Table::RowId> Table::FindRows(std::string_view index, const std::vector<Value>& key) const {
    const Index* ix = FindIndex(index);
    if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(index)});
    return KeyRange(*ix, key);
}

// --- editing -----------------------------------------------------------------------------

void Table::CheckBrowse() {
    if (state_ == State::Browse) return;
    if (changed_)
        Post();
    else
        Cancel();
}

void Table::Append() {
    CheckBrowse();
    before_insert_ = cur_;
    buffer_.resize(fields_.size());
    for (auto& v : buffer_)
        if (!IsNullValue(v)) v = Value{};
    state_ = State::Insert;
    changed_ = false;
    eof_ = bof_ = false;
    ++version_;
}

void Table::Edit() {
    if (state_ != State::Browse) return;
    if (cur_ == kNoRow) throw Error(CoreError("NoCurrentRow"), {name_});
    buffer_.assign(fields_.size(), Value{});
    for (int i = 0; i < FieldCount(); ++i)
        if (column_of_[i] >= 0) buffer_[i] = StoredValue(cur_, i);
    state_ = State::Edit;
    changed_ = false;
    ++version_;
}

// Moves a pending value into its column; the row's slot exists.
void Table::StoreValue(const StoredField& sf, RowId row, Value& v) {
    Column& c = columns_[sf.column];
    const bool null = IsNullValue(v);
    c.nulls[row] = null ? 1 : 0;
    if (sf.kind == FieldKind::Text)
        c.texts[row] = null ? std::string() : std::move(std::get<std::string>(v));
    else if (sf.kind == FieldKind::Boolean)
        c.ints[row] = null ? 0 : std::get<bool>(v);
    else
        c.ints[row] = null ? 0 : std::get<std::int32_t>(v);
}

void Table::Post() {
    if (state_ == State::Browse) return;
    for (const auto& sf : stored_)
        if (sf.required && sf.field != auto_field_ && IsNullValue(buffer_[sf.field]))
            throw FieldError(CoreError("FieldRequired"), FieldNo(sf.field));
    const bool inserting = state_ == State::Insert;
    const RowId self = inserting ? kNoRow : cur_;
    if (inserting && auto_field_ >= 0) {
        if (next_auto_ == std::numeric_limits<std::int32_t>::max())
            throw FieldError(CoreError("AutoIncrementExhausted"), FieldNo(auto_field_));
        buffer_[auto_field_] = next_auto_;
    }
    try {
        for (const auto& ix : indexes_)
            if (ix.options.unique) CheckUnique(ix, KeyOfBuffer(ix), self);
    } catch (...) {
        if (inserting && auto_field_ >= 0) buffer_[auto_field_] = Value{};
        throw;
    }
    if (inserting) {
        const auto row = static_cast<RowId>(alive_.size());
        for (const auto& sf : stored_) {
            Column& c = columns_[sf.column];
            c.nulls.emplace_back();
            if (sf.kind == FieldKind::Text) c.texts.emplace_back(); else c.ints.emplace_back();
            StoreValue(sf, row, buffer_[sf.field]);
        }
        alive_.push_back(1);
        order_.push_back(row);
        if (auto_field_ >= 0) ++next_auto_;
        NoteAppended(row);
        cur_ = row;
    } else {
        std::vector<bool> changed_field(fields_.size(), false);
        for (const auto& sf : stored_) {
            Value& v = buffer_[sf.field];
            if (StoredValue(cur_, sf.field) == v) continue;
            changed_field[sf.field] = true;
            StoreValue(sf, cur_, v);
        }
        for (auto& ix : indexes_)
            for (int f : ix.fields)
                if (changed_field[f]) {
                    ix.sorted.clear();
                    ix.pending.clear();
                    ix.stale = true;
                    break;
                }
    }
    state_ = State::Browse;
    changed_ = false;
    pos_valid_ = false;
    eof_ = bof_ = false;
    ++version_;
}

void Table::Cancel() {
    if (state_ == State::Browse) return;
    if (state_ == State::Insert) cur_ = before_insert_;
    buffer_.clear();
    state_ = State::Browse;
    changed_ = false;
    pos_valid_ = false;
    eof_ = bof_ = cur_ == kNoRow;
    ++version_;
}

void Table::Delete() {
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (cur_ == kNoRow) throw Error(CoreError("NoCurrentRow"), {name_});
    const std::size_t p = static_cast<std::size_t>(Position());
    const RowId victim = cur_;
    for (auto& ix : indexes_) {
        if (ix.stale) continue;
        auto pit = std::lower_bound(ix.pending.begin(), ix.pending.end(), victim);
        if (pit != ix.pending.end() && *pit == victim) {
            ix.pending.erase(pit);
            continue;
        }
        auto it = std::lower_bound(ix.sorted.begin(), ix.sorted.end(), victim,
                                   [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); });
        if (it != ix.sorted.end() && *it == victim)
            ix.sorted.erase(it);
        else
            ix.stale = true;
    }
    alive_[victim] = 0;
    order_.erase(std::lower_bound(order_.begin(), order_.end(), victim));
    for (int i = 0; i < FieldCount(); ++i)
        if (column_of_[i] >= 0 && fields_[i].kind == FieldKind::Text) std::string().swap(columns_[column_of_[i]].texts[victim]);
    ++version_;
    pos_valid_ = false;
    const auto& ord = Ordering();
    if (ord.empty()) {
        cur_ = kNoRow;
        eof_ = bof_ = true;
        return;
    }
    pos_ = std::min(p, ord.size() - 1);
    pos_valid_ = true;
    cur_ = ord[pos_];
    eof_ = bof_ = false;
}

void Table::Clear() {
    buffer_.clear();
    state_ = State::Browse;
    changed_ = false;
    // Capacity stays: the occurrence table is emptied and refilled at every generation.
    for (auto& c : columns_) {
        c.ints.clear();
        c.texts.clear();
        c.nulls.clear();
    }
    alive_.clear();
    order_.clear();
    next_auto_ = 1;
    for (auto& ix : indexes_) {
        ix.sorted.clear();
        ix.pending.clear();
        ix.stale = false;
    }
    cur_ = before_insert_ = kNoRow;
    pos_valid_ = false;
    eof_ = bof_ = true;
    ++version_;
}

// --- values ------------------------------------------------------------------------------

std::optional<ErrorText> TextRefusal(const FieldDef& def, std::string_view text) {
    bool ascii = true;
    for (unsigned char c : text) {
        // Line breaks and tabs cannot survive delimited text, and no control character
        // belongs in a name or a rule.
        if (c < 0x20 || c == 0x7F) return CoreError("TextControlCharacter");
        ascii = ascii && c < 0x80;
    }
    if (!ascii && !exchange::IsValidUtf8(text)) return CoreError("TextNotUtf8");
    // A text within its size in bytes needs no count of its characters.
    const auto size = static_cast<std::size_t>(def.size);
    if (def.size > 0 && text.size() > size && CodePointCount(text) > size)
        return CoreError("TextTooLong");
    return std::nullopt;
}

void Table::CheckText(int field, std::string_view text) const {
    if (auto refusal = TextRefusal(fields_[field], text))
        throw FieldError(*refusal, FieldNo(field),
                         {std::to_string(fields_[field].size), QuotedValue(text)});
}

void Table::ValidateValue(int field, const Value& v) const {
    const FieldDef& def = fields_[field];
    if (!ValueFitsKind(def.kind, v))
        throw FieldError(CoreError("FieldKindMismatch"), FieldNo(field), {KindWord(def.kind)});
    if (auto* s = std::get_if<std::string>(&v)) CheckText(field, *s);
}

Value Table::Get(FieldNo f) const {
    const int i = FieldIndexChecked(f);
    RowId source = read_override_ != kNoRow ? read_override_ : (state_ != State::Browse ? kPendingRow : cur_);
    if (source == kNoRow) return Value{};
    return GetFrom(source, i);
}

Value Table::GetFrom(RowId source, int field) const {
    switch (fields_[field].role) {
        case FieldRole::Stored: return source == kPendingRow ? buffer_[field] : StoredValue(source, field);
        case FieldRole::Lookup: {
            Value key = GetFrom(source, lookup_key_of_[field]);
            if (IsNullValue(key)) return Value{};
            return fields_[field].lookup_table->LookupValue(lookup_target_key_[field], key, lookup_target_res_[field]);
        }
        case FieldRole::Calculated: EnsureCalculated(source); return calc_values_[field];
    }
    return Value{};
}

std::optional<Table::RowId> Table::FindRowByKey(int key_field, const Value& key) const {
    // Integer-like keys may meet a boolean or the other way round only through bad definitions,
    // which ResolveFields refuses; here kinds agree. Every lookup field of every row read
    // comes here, so the search compares in place rather than building a key.
    for (const auto& ix : indexes_) {
        if (ix.fields.front() != key_field) continue;
        EnsureSorted(ix);
        const auto* number = std::get_if<std::int32_t>(&key);
        if (number && IntegerLike(fields_[key_field].kind)) {  // the usual case: a row number
            const Column& c = columns_[column_of_[key_field]];
            auto it = std::lower_bound(ix.sorted.begin(), ix.sorted.end(), *number,
                                       [&c](RowId r, std::int32_t n) { return c.nulls[r] || c.ints[r] < n; });
            if (it != ix.sorted.end() && !c.nulls[*it] && c.ints[*it] == *number) return *it;
            return std::nullopt;
        }
        auto it = std::lower_bound(ix.sorted.begin(), ix.sorted.end(), key, [this, key_field](RowId r, const Value& k) {
            return CompareStored(r, key_field, k) < 0;
        });
        if (it != ix.sorted.end() && CompareStored(*it, key_field, key) == 0) return *it;
        return std::nullopt;
    }
    for (RowId r : order_)
        if (CompareStored(r, key_field, key) == 0) return r;
    return std::nullopt;
}

Value Table::LookupValue(int key_field, const Value& key, int result_field) const {
    auto row = FindRowByKey(key_field, key);
    if (!row) return Value{};
    return StoredValue(*row, result_field);
}

void Table::EnsureCalculated(RowId source) const {
    if (!calc_handler_ || calc_running_) return;
    if (calc_row_ == source && calc_version_ == version_) return;
    for (int i = 0; i < FieldCount(); ++i)
        if (fields_[i].role == FieldRole::Calculated) calc_values_[i] = Value{};
    const RowId saved = read_override_;
    calc_running_ = true;
    read_override_ = source;
    try {
        calc_handler_(const_cast<Table&>(*this));
    } catch (...) {
        calc_running_ = false;
        read_override_ = saved;
        calc_row_ = kNoRow;
        throw;
    }
    calc_running_ = false;
    read_override_ = saved;
    calc_row_ = source;
    calc_version_ = version_;
}

std::int32_t Table::AsInteger(FieldNo f) const {
    Value v = Get(f);
    if (auto* i = std::get_if<std::int32_t>(&v)) return *i;
    if (IsNullValue(v)) throw FieldError(CoreError("FieldIsNull"), f);
    throw FieldError(CoreError("FieldNotANumber"), f, {KindWord(Field(f).kind)});
}

bool Table::AsBoolean(FieldNo f) const {
    Value v = Get(f);
    if (auto* b = std::get_if<bool>(&v)) return *b;
    if (IsNullValue(v)) throw FieldError(CoreError("FieldIsNull"), f);
    throw FieldError(CoreError("FieldNotATruthValue"), f, {KindWord(Field(f).kind)});
}

std::string Table::AsText(FieldNo f) const { return ValueText(Get(f)); }

Value& Table::WritableSlot(FieldNo f) {
    const int i = FieldIndexChecked(f);
    const FieldDef& def = fields_[i];
    if (def.role == FieldRole::Calculated) {
        if (!calc_running_) throw FieldError(CoreError("FieldReadOnly"), f);
        return calc_values_[i];
    }
    if (def.role == FieldRole::Lookup || def.kind == FieldKind::AutoIncrement || calc_running_)
        throw FieldError(CoreError("FieldReadOnly"), f);
    if (state_ == State::Browse) throw FieldError(CoreError("NotEditing"), f);
    changed_ = true;
    ++version_;
    return buffer_[i];
}

void Table::Set(FieldNo f, Value v) {
    ValidateValue(FieldIndexChecked(f), v);
    WritableSlot(f) = std::move(v);
}

void Table::SetInteger(FieldNo f, std::int32_t v) {
    if (!IntegerLike(Field(f).kind)) ValidateValue(f.value, Value{v});  // throws the kind error
    WritableSlot(f) = v;
}

// Assigns in place, so texts that fit the small-string buffer cost no allocation.
void Table::SetText(FieldNo f, std::string_view v) {
    if (Field(f).kind != FieldKind::Text) ValidateValue(f.value, Value{std::string(v)});  // throws the kind error
    CheckText(f.value, v);
    Value& slot = WritableSlot(f);
    if (auto* s = std::get_if<std::string>(&slot))
        s->assign(v);
    else
        slot.emplace<std::string>(v);
}

Value Table::ValueAt(int position, FieldNo f) const {
    FieldIndexChecked(f);
    const auto& ord = Ordering();
    if (position < 0 || static_cast<std::size_t>(position) >= ord.size())
        throw Error(CoreError("RowOutOfRange"), {name_, std::to_string(position)});
    return ValueOf(ord[static_cast<std::size_t>(position)], f);
}

Value Table::ValueOf(RowId row, FieldNo f) const {
    FieldIndexChecked(f);
    if (row >= alive_.size() || !alive_[row])
        throw Error(CoreError("RowOutOfRange"), {name_, std::to_string(row)});
    // A calculated field's handler reads this row through Get.
    const RowId saved = read_override_;
    read_override_ = row;
    try {
        Value v = GetFrom(row, f.value);
        read_override_ = saved;
        return v;
    } catch (...) {
        read_override_ = saved;
        throw;
    }
}

void Table::SetCalcHandler(CalcHandler handler) {
    calc_handler_ = std::move(handler);
    calc_row_ = kNoRow;
}

// --- bulk content ------------------------------------------------------------------------

const Table::Column& Table::StoredColumn(FieldNo f) const {
    const int column = column_of_[FieldIndexChecked(f)];
    if (column < 0) throw FieldError(CoreError("FieldReadOnly"), f);
    return columns_[column];
}

void Table::ReplaceContent(std::vector<Column> columns, std::size_t rows, std::int32_t next_auto,
                           std::vector<FieldDef> fields) {
    if (fields_.empty() && !fields.empty()) {
        fields_ = std::move(fields);
        ResolveFields();
    }
    std::vector<Column> old_columns = std::move(columns_);
    std::vector<std::uint8_t> old_alive = std::move(alive_);
    std::vector<RowId> old_order = std::move(order_);
    const std::int32_t old_next = next_auto_;
    columns_ = std::move(columns);
    alive_.assign(rows, 1);
    order_.resize(rows);
    for (std::size_t r = 0; r < rows; ++r) order_[r] = static_cast<RowId>(r);
    next_auto_ = next_auto;
    MarkAllStale();
    int line = 0;  // the row that repeats a key
    try {
        for (const auto& ix : indexes_) {
            if (!ix.options.unique) continue;
            EnsureSorted(ix);
            for (std::size_t i = 1; i < ix.sorted.size(); ++i) {
                if (CompareRows(ix, ix.sorted[i - 1], ix.sorted[i]) != 0) continue;
                // Equal keys keep table order, so the later row is the second of the two.
                line = static_cast<int>(ix.sorted[i]) + 1;
                CheckUnique(ix, KeyOfRow(ix, ix.sorted[i]), ix.sorted[i]);
            }
        }
    } catch (const Error& e) {
        columns_ = std::move(old_columns);
        alive_ = std::move(old_alive);
        order_ = std::move(old_order);
        next_auto_ = old_next;
        MarkAllStale();
        throw e.WithPosition({"", line, ""});
    }
    buffer_.clear();
    state_ = State::Browse;
    changed_ = false;
    ++version_;
    ResetCursorToFirst();
}

}  // namespace yorbel::data
