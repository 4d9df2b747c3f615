// Class Table: editing rows, reading values and replacing the whole content.
#include "data/table.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "data/table_detail.h"

namespace yorbel::data {
using namespace table_detail;

namespace {

// Room for `more` elements, growing as appending one by one would: rows appended in many
// batches must not cost a copy of the column each.
template <typename T>
void MakeRoom(std::vector<T>& v, std::size_t more) {
    if (v.capacity() - v.size() < more) v.reserve(std::max(v.size() + more, 2 * v.capacity()));
}

}  // namespace

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
            if (sf.kind == FieldKind::Text)
                c.texts.emplace_back();
            else
                c.ints.emplace_back();
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
        if (column_of_[i] >= 0 && fields_[i].kind == FieldKind::Text)
            std::string().swap(columns_[column_of_[i]].texts[victim]);
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

Value Table::Get(FieldNo f) const {
    const int i = FieldIndexChecked(f);
    RowId source =
        read_override_ != kNoRow ? read_override_ : (state_ != State::Browse ? kPendingRow : cur_);
    if (source == kNoRow) return Value{};
    return GetFrom(source, i);
}

Value Table::GetFrom(RowId source, int field) const {
    switch (fields_[field].role) {
        case FieldRole::Stored:
            return source == kPendingRow ? buffer_[field] : StoredValue(source, field);
        case FieldRole::Lookup: {
            Value key = GetFrom(source, lookup_key_of_[field]);
            if (IsNullValue(key)) return Value{};
            return fields_[field].lookup_table->LookupValue(lookup_target_key_[field], key,
                                                            lookup_target_res_[field]);
        }
        case FieldRole::Calculated:
            EnsureCalculated(source);
            return calc_values_[field];
    }
    return Value{};
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

std::string Table::AsText(FieldNo f) const {
    return ValueText(Get(f));
}

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
    if (Field(f).kind != FieldKind::Text)
        ValidateValue(f.value, Value{std::string(v)});  // throws the kind error
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

void Table::AppendColumns(std::vector<Column>&& columns, std::size_t rows) {
    if (columns.size() != columns_.size())
        throw std::logic_error("AppendColumns: " + name_ + " needs one column per stored field");
    for (const auto& sf : stored_) {
        if (sf.field == auto_field_) continue;
        const Column& c = columns[sf.column];
        if (c.nulls.size() != rows ||
            (sf.kind == FieldKind::Text ? c.texts.size() : c.ints.size()) != rows)
            throw std::logic_error("AppendColumns: a column of " + name_ + " has another length");
    }
    CheckBrowse();
    std::optional<Error> refusal;
    std::size_t refused = FirstRefusedRow(columns, rows, refusal);
    const bool unique = std::any_of(indexes_.begin(), indexes_.end(),
                                    [](const Index& ix) { return ix.options.unique; });
    if (refusal && !unique) throw refusal->WithPosition({"", static_cast<int>(refused) + 1, ""});
    // Keys are compared in the indexes, so the rows go in first and out again when one
    // repeats a key: a row before the one refused for its values may do so.
    const auto first = static_cast<RowId>(alive_.size());
    const std::size_t moved = refused;
    MoveInRows(columns, moved);
    if (unique) {
        if (const auto duplicate = FirstDuplicateKey(first)) {
            const auto& [row, ix] = *duplicate;
            refusal = KeyViolation(*ix, KeyOfRow(*ix, row));
            refused = row - first;
        }
    }
    if (refusal) {
        MoveOutRows(columns, moved);
        throw refusal->WithPosition({"", static_cast<int>(refused) + 1, ""});
    }
    if (rows > 0) {
        cur_ = order_.back();
        eof_ = bof_ = false;
    }
    pos_valid_ = false;
    ++version_;
}

std::size_t Table::FirstRefusedRow(const std::vector<Column>& columns, std::size_t rows,
                                   std::optional<Error>& refusal) const {
    // In Post's order: texts as they are set, then required fields, then the numbering,
    // which ends once the next number would be the largest.
    const std::size_t numbered =
        auto_field_ < 0
            ? rows
            : std::min(rows, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() -
                                                      next_auto_));
    std::vector<const StoredField*> texts;
    for (const auto& sf : stored_)
        if (sf.kind == FieldKind::Text) texts.push_back(&sf);
    for (std::size_t r = 0; r < rows; ++r) {
        for (const StoredField* sf : texts) {
            const Column& c = columns[sf->column];
            if (c.nulls[r]) continue;
            if ((refusal = TextFault(FieldNo(sf->field), c.texts[r]))) return r;
        }
        for (const auto& sf : stored_) {
            if (sf.required && sf.field != auto_field_ && columns[sf.column].nulls[r]) {
                refusal = FieldError(CoreError("FieldRequired"), FieldNo(sf.field));
                return r;
            }
        }
        if (r == numbered) {
            refusal = FieldError(CoreError("AutoIncrementExhausted"), FieldNo(auto_field_));
            return r;
        }
    }
    return rows;
}

std::optional<std::pair<Table::RowId, const Table::Index*>> Table::FirstDuplicateKey(
    RowId first) const {
    std::optional<std::pair<RowId, const Index*>> found;
    for (const auto& ix : indexes_) {
        if (!ix.options.unique) continue;
        EnsureSorted(ix);
        // Equal keys keep table order, so of two rows the later one is refused; earlier
        // rows have keys of their own already.
        for (std::size_t i = 1; i < ix.sorted.size(); ++i) {
            const RowId row = ix.sorted[i];
            if (row < first || (found && row >= found->first)) continue;
            if (CompareRows(ix, ix.sorted[i - 1], row) == 0) found = {row, &ix};
        }
    }
    return found;
}

void Table::MoveInRows(std::vector<Column>& columns, std::size_t rows) {
    const auto first = static_cast<RowId>(alive_.size());
    for (const auto& sf : stored_) {
        Column& from = columns[sf.column];
        Column& to = columns_[sf.column];
        if (sf.field == auto_field_) {
            to.nulls.resize(to.nulls.size() + rows, 0);
            for (std::size_t r = 0; r < rows; ++r)
                to.ints.push_back(next_auto_ + static_cast<std::int32_t>(r));
            continue;
        }
        to.nulls.insert(to.nulls.end(), from.nulls.begin(),
                        from.nulls.begin() + static_cast<std::ptrdiff_t>(rows));
        if (sf.kind == FieldKind::Text) {
            // A null text is stored empty, as Post stores it.
            MakeRoom(to.texts, rows);
            for (std::size_t r = 0; r < rows; ++r)
                to.texts.push_back(from.nulls[r] ? std::string() : std::move(from.texts[r]));
        } else {
            MakeRoom(to.ints, rows);
            for (std::size_t r = 0; r < rows; ++r) {
                std::int32_t v = from.nulls[r] ? 0 : from.ints[r];
                if (sf.kind == FieldKind::Boolean) v = v != 0;
                to.ints.push_back(v);
            }
        }
    }
    if (auto_field_ >= 0) next_auto_ += static_cast<std::int32_t>(rows);
    alive_.resize(alive_.size() + rows, 1);
    MakeRoom(order_, rows);
    for (std::size_t r = 0; r < rows; ++r) order_.push_back(first + static_cast<RowId>(r));
    // Pending rows wait in ascending ids and are sorted in at the next use of the index.
    for (auto& ix : indexes_)
        if (!ix.stale)
            ix.pending.insert(ix.pending.end(), order_.end() - static_cast<std::ptrdiff_t>(rows),
                              order_.end());
    pos_valid_ = false;
}

void Table::MoveOutRows(std::vector<Column>& columns, std::size_t rows) {
    const std::size_t kept = alive_.size() - rows;
    for (const auto& sf : stored_) {
        Column& to = columns_[sf.column];
        if (sf.kind == FieldKind::Text) {
            for (std::size_t r = 0; r < rows; ++r)
                if (!to.nulls[kept + r])
                    columns[sf.column].texts[r] = std::move(to.texts[kept + r]);
            to.texts.resize(kept);
        } else {
            to.ints.resize(kept);
        }
        to.nulls.resize(kept);
    }
    if (auto_field_ >= 0) next_auto_ -= static_cast<std::int32_t>(rows);
    alive_.resize(kept);
    order_.resize(order_.size() - rows);
    const auto gone = [kept](RowId row) { return row >= kept; };
    for (auto& ix : indexes_) {
        std::erase_if(ix.sorted, gone);
        std::erase_if(ix.pending, gone);
    }
    pos_valid_ = false;
}

}  // namespace yorbel::data
