// Class Table: comparisons of rows and keys, index upkeep and the lookups by key.
#include <algorithm>
#include <array>
#include <type_traits>

#include "data/table.h"
#include "data/table_detail.h"

namespace yorbel::data {
using namespace table_detail;

namespace {

template <typename T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

// --- stored values and comparisons -------------------------------------------------------

Value Table::StoredValue(RowId row, int field) const {
    const Column& c = columns_[column_of_[field]];
    if (c.nulls[row]) return Value{};
    switch (fields_[field].kind) {
        case FieldKind::Text:
            return Value{c.texts[row]};
        case FieldKind::Boolean:
            return Value{c.ints[row] != 0};
        default:
            return Value{c.ints[row]};
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

bool Table::HasIndex(std::string_view name) const {
    return FindIndex(name) != nullptr;
}

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
            for (std::size_t i = 0; i < 8; ++i)
                key = (key << 8) | (i < n ? static_cast<unsigned char>(t[i]) : 0u);
            needs_full_compare =
                needs_full_compare || t.size() > 8 || t.find('\0') != std::string::npos;
        } else {
            key = static_cast<std::uint32_t>(c.ints[r]) ^ 0x80000000u;
        }
        keyed.push_back({key, r});
    }
    const int passes = text ? 8 : 4;
    std::vector<std::array<std::size_t, 257>> counts(static_cast<std::size_t>(passes));
    for (auto& c0 : counts) c0.fill(0);
    for (const auto& e : keyed)
        for (int pass = 0; pass < passes; ++pass)
            ++counts[pass][((e.key >> (8 * pass)) & 0xFF) + 1];
    std::vector<KeyRow> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        auto& count = counts[pass];
        if (std::find(count.begin(), count.end(), keyed.size()) != count.end())
            continue;  // one value only
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
        if (j - i > 1)
            std::sort(rows.begin() + static_cast<std::ptrdiff_t>(nulls + i),
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
        std::merge(ix.sorted.begin(), ix.sorted.end(), ix.pending.begin(), ix.pending.end(),
                   merged.begin(), [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); });
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
    auto it = std::lower_bound(
        ix.sorted.begin(), ix.sorted.end(), key,
        [this, &ix](RowId r, const std::vector<Value>& k) { return CompareKey(ix, r, k) < 0; });
    for (; it != ix.sorted.end() && CompareKey(ix, *it, key) == 0; ++it)
        if (*it != self) throw KeyViolation(ix, key);
}

Error Table::KeyViolation(const Index& ix, const std::vector<Value>& key) const {
    std::string shown;
    for (const auto& v : key) shown += (shown.empty() ? "" : ", ") + ValueText(v);
    return FieldError(CoreError("KeyViolation"), FieldNo(ix.fields[0]), {shown, ix.name});
}

void Table::AddIndex(std::string name, const std::vector<std::string>& fields,
                     IndexOptions options) {
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
    if (!current_index_name_.empty())
        current_index_ = static_cast<int>(FindIndex(current_index_name_) - indexes_.data());
}

void Table::DeleteIndex(std::string_view name) {
    Index* ix = FindIndex(name);
    if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(name)});
    if (SameNameIgnoringCase(ix->name, current_index_name_)) {
        current_index_name_.clear();
        current_index_ = -1;
    }
    indexes_.erase(indexes_.begin() + (ix - indexes_.data()));
    if (!current_index_name_.empty())
        current_index_ = static_cast<int>(FindIndex(current_index_name_) - indexes_.data());
    pos_valid_ = false;
}

std::span<const Table::RowId> Table::KeyRange(const Index& ix,
                                              const std::vector<Value>& key) const {
    if (key.empty() || key.size() > ix.fields.size())
        throw Error(CoreError("BadKey"), {name_, ix.name, std::to_string(ix.fields.size())});
    for (std::size_t i = 0; i < key.size(); ++i)
        if (!ValueFitsKind(fields_[ix.fields[i]].kind, key[i]))
            throw FieldError(CoreError("KeyKindMismatch"), FieldNo(ix.fields[i]));
    EnsureSorted(ix);
    auto [first, last] = std::equal_range(
        ix.sorted.begin(), ix.sorted.end(), key, [this, &ix](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, RowId>)
                return CompareKey(ix, a, b) < 0;
            else
                return CompareKey(ix, b, a) > 0;
        });
    return {first, last};
}

std::span<const Table::RowId> Table::FindRows(std::string_view index,
                                              const std::vector<Value>& key) const {
    const Index* ix = FindIndex(index);
    if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(index)});
    return KeyRange(*ix, key);
}

std::span<const Table::RowId> Table::RowsInOrderOf(std::string_view index) const {
    const Index* ix = FindIndex(index);
    if (!ix) throw Error(CoreError("IndexNotFound"), {name_, std::string(index)});
    EnsureSorted(*ix);
    return ix->sorted;
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
            // Row numbers are mostly dense, so the row sits where its number says; a guess
            // that holds the first row with the number saves the binary search.
            if (!ix.sorted.empty() && !c.nulls[ix.sorted.front()]) {
                const std::int64_t guess =
                    std::int64_t{*number} - std::int64_t{c.ints[ix.sorted.front()]};
                if (guess >= 0 && static_cast<std::uint64_t>(guess) < ix.sorted.size()) {
                    const auto g = static_cast<std::size_t>(guess);
                    const RowId r = ix.sorted[g];
                    if (!c.nulls[r] && c.ints[r] == *number &&
                        (g == 0 || c.ints[ix.sorted[g - 1]] < *number))
                        return r;
                }
            }
            auto it = std::lower_bound(
                ix.sorted.begin(), ix.sorted.end(), *number,
                [&c](RowId r, std::int32_t n) { return c.nulls[r] || c.ints[r] < n; });
            if (it != ix.sorted.end() && !c.nulls[*it] && c.ints[*it] == *number) return *it;
            return std::nullopt;
        }
        auto it = std::lower_bound(ix.sorted.begin(), ix.sorted.end(), key,
                                   [this, key_field](RowId r, const Value& k) {
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

}  // namespace yorbel::data
