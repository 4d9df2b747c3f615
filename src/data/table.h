// In-memory tables: typed fields, nulls, named indexes and one cursor per table.
//
// A table keeps its rows in append order ("table order"). Indexes order the rows by their
// key fields; rows with equal keys keep their append order. The cursor walks the rows in
// the order of the current index (or in table order when none is current). Appending or
// editing works on a pending row that becomes visible to iteration and search when it is
// posted; moving to another row posts a changed pending row and drops an unchanged one.
//
// Derived fields are not stored: a lookup field reads a field of another table live, by
// key, and a calculated field is filled by the table's handler when its row is read.
//
// Every failure is a data::Error with the field (and table) in its position.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/error.h"

namespace yorbel::data {

class Table;

enum class FieldKind { AutoIncrement, Integer, Text, Boolean };
enum class FieldRole { Stored, Lookup, Calculated };

// A field value; std::monostate is null.
using Value = std::variant<std::monostate, std::int32_t, bool, std::string>;

inline bool IsNullValue(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

struct FieldDef;

// Why a text cannot be stored in a field: it holds a control character, is not UTF-8 or
// is longer than the field's size; nothing when it can. Storing and loading share it, so
// the program never writes a file that it would refuse to read.
std::optional<ErrorText> TextRefusal(const FieldDef& def, std::string_view text);

struct FieldDef {
    std::string name;
    FieldKind kind = FieldKind::Integer;
    int size = 0;           // Text: maximum length in characters (UTF-8 code points)
    bool required = false;  // a row with null here is refused when posted
    FieldRole role = FieldRole::Stored;

    // Lookup: lookup_result of the row of *lookup_table whose lookup_key equals this row's
    // key_field; null when the key is null or no such row exists. Kind and size are taken
    // from lookup_result when the table is built.
    std::string key_field;
    const Table* lookup_table = nullptr;
    std::string lookup_key;
    std::string lookup_result;

    static FieldDef AutoIncrement(std::string name);
    static FieldDef Integer(std::string name, bool required = false);
    static FieldDef Text(std::string name, int size, bool required = false);
    static FieldDef Boolean(std::string name, bool required = false);
    static FieldDef Lookup(std::string name, std::string key_field, const Table& table,
                           std::string lookup_key, std::string lookup_result);
    static FieldDef Calculated(std::string name, FieldKind kind, int size = 0);
};

// A field's position in its table, resolved once from a name with Table::FieldByName.
struct FieldNo {
    int value = -1;
    constexpr FieldNo() = default;
    explicit constexpr FieldNo(int v) : value(v) {}
    friend constexpr bool operator==(FieldNo, FieldNo) = default;
};

struct IndexOptions {
    bool primary = false;  // a marker only: equal keys are allowed
    bool unique = false;   // posting a row whose key another row has is refused
};

class Table {
  public:
    enum class State { Browse, Insert, Edit };
    // A committed row, as const queries name it: it keeps its number until the table is
    // cleared or its content replaced.
    using RowId = std::uint32_t;
    // Fills the calculated fields of the row being read: reads with Get/As*, writes the
    // calculated fields with Set. It must not move the cursor or change stored fields.
    using CalcHandler = std::function<void(Table&)>;

    // An open, empty table. Field names must be unique (ignoring case, as the files
    // demand); a table built with no fields takes them from the first file it loads.
    Table(std::string name, std::vector<FieldDef> fields);
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    ~Table();

    const std::string& Name() const { return name_; }

    // --- fields -----------------------------------------------------------------------
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const std::vector<FieldDef>& Fields() const { return fields_; }
    const FieldDef& Field(FieldNo f) const { return fields_[FieldIndexChecked(f)]; }
    FieldNo FieldByName(std::string_view name) const;  // throws for an unknown name
    std::optional<FieldNo> FindField(std::string_view name) const;

    // --- rows ------------------------------------------------------------------------
    int RecordCount() const { return static_cast<int>(order_.size()); }
    bool IsEmpty() const { return order_.empty(); }
    // Drops every row and a pending row; indexes stay defined; numbering starts again at 1.
    void Clear();
    // The value the next posted new row gets in its auto-increment field.
    std::int32_t NextAutoIncrement() const { return next_auto_; }

    // --- indexes ---------------------------------------------------------------------
    void AddIndex(std::string name, const std::vector<std::string>& fields,
                  IndexOptions options = {});
    void DeleteIndex(std::string_view name);
    bool HasIndex(std::string_view name) const;
    // "" selects table order. A pending row is posted (or dropped) first; the current
    // row stays current.
    void SetCurrentIndex(std::string_view name);
    const std::string& CurrentIndex() const { return current_index_name_; }

    // --- cursor ----------------------------------------------------------------------
    // Every move first posts a changed pending row and drops an unchanged one.
    void First();
    void Last();
    void Next();   // past the last row: Eof() and the last row stays current
    void Prior();  // before the first row: Bof() and the first row stays current
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    // Position of the current row in the current order, -1 when there is none.
    int Position() const;
    void MoveTo(int position);
    // Exact search on the current index (a key may name its first fields only): true and
    // the first matching row in index order becomes current, or false and the position
    // is unchanged.
    bool GoToKey(const std::vector<Value>& key);
    bool GoToKey(const Value& key) { return GoToKey(std::vector<Value>{key}); }

    // --- editing ---------------------------------------------------------------------
    State GetState() const { return state_; }
    bool PendingChanged() const { return changed_; }
    void Append();  // a new pending row with all fields null becomes current
    void Edit();    // the current row becomes pending (no-op while a row is pending)
    void Post();    // stores the pending row (no-op in browse state)
    void Cancel();  // drops the pending row's changes
    void Delete();  // removes the current row (or drops a new pending row)
    // Posts a changed pending row and drops an unchanged one, as every move does.
    void CheckBrowse();

    // --- values of the current row (the pending row while there is one) -------------
    Value Get(FieldNo f) const;
    bool IsNull(FieldNo f) const { return IsNullValue(Get(f)); }
    std::int32_t AsInteger(FieldNo f) const;  // throws for null and for other kinds
    bool AsBoolean(FieldNo f) const;          // throws for null and for other kinds
    std::string AsText(FieldNo f) const;      // "" for null; throws for other kinds
    void Set(FieldNo f, Value v);             // needs a pending row (or the calc handler)
    void SetInteger(FieldNo f, std::int32_t v);
    void SetBoolean(FieldNo f, bool v) { Set(f, Value{v}); }
    void SetText(FieldNo f, std::string_view v);
    void SetNull(FieldNo f) { Set(f, Value{}); }

    Value Get(std::string_view name) const { return Get(FieldByName(name)); }
    bool IsNull(std::string_view name) const { return IsNull(FieldByName(name)); }
    std::int32_t AsInteger(std::string_view name) const { return AsInteger(FieldByName(name)); }
    bool AsBoolean(std::string_view name) const { return AsBoolean(FieldByName(name)); }
    std::string AsText(std::string_view name) const { return AsText(FieldByName(name)); }
    void Set(std::string_view name, Value v) { Set(FieldByName(name), std::move(v)); }
    void SetInteger(std::string_view name, std::int32_t v) { SetInteger(FieldByName(name), v); }
    void SetBoolean(std::string_view name, bool v) { Set(FieldByName(name), Value{v}); }
    void SetText(std::string_view name, std::string_view v) { SetText(FieldByName(name), v); }
    void SetNull(std::string_view name) { Set(FieldByName(name), Value{}); }

    // A committed row's value by its position in the current order, without moving the
    // cursor (for grids).
    Value ValueAt(int position, FieldNo f) const;

    // --- const queries: neither the cursor nor the current index moves ---------------
    // The committed rows whose key on the named index equals key (a key may name its
    // first fields only), in that index's order. Valid until the table next changes.
    std::span<const RowId> FindRows(std::string_view index, const std::vector<Value>& key) const;
    std::span<const RowId> FindRows(std::string_view index, const Value& key) const {
        return FindRows(index, std::vector<Value>{key});
    }
    // The committed rows in the named index's order. Valid until the table next changes.
    std::span<const RowId> RowsInOrderOf(std::string_view index) const;
    // A committed row's value (derived fields included); throws for a row that is gone.
    Value ValueOf(RowId row, FieldNo f) const;

    void SetCalcHandler(CalcHandler handler);

    // --- bulk content, for table files -------------------------------------------------
    // One stored field's values by row: a number or truth value (0/1) in ints, a text in
    // texts, and whether it is null.
    struct Column {
        std::vector<std::int32_t> ints;   // AutoIncrement, Integer, Boolean (0/1)
        std::vector<std::string> texts;   // Text
        std::vector<std::uint8_t> nulls;  // 1: null
    };
    // A stored field's column, indexed by row; throws for a derived field.
    const Column& StoredColumn(FieldNo f) const;
    // The committed rows in table order.
    const std::vector<RowId>& RowsInTableOrder() const { return order_; }
    // Replaces every row by the `rows` rows of `columns` (one per stored field, in field
    // order), in table order; new rows are numbered from next_auto on. A table built
    // without fields takes `fields` first. A pending row is dropped and the first row
    // becomes current. When a unique index meets a key twice, the table is left as it was
    // and the error's line is the later row's (from 1).
    void ReplaceContent(std::vector<Column> columns, std::size_t rows, std::int32_t next_auto,
                        std::vector<FieldDef> fields = {});
    // Appends `rows` rows given as columns (one per stored field, in field order), as
    // Append, Set and Post would one by one, but with the indexes brought up to date once.
    // The auto-increment field's column is not read: the rows are numbered from
    // NextAutoIncrement() on. Every value and every unique key is checked first: on a
    // failure nothing is appended, `columns` are left as they were, and the error is the
    // one Post would have thrown first, its line the refused row's (from 1).
    void AppendColumns(std::vector<Column>&& columns, std::size_t rows);
    // The error that storing `text` in the field would throw, if any.
    std::optional<Error> TextFault(FieldNo f, std::string_view text) const;

  private:
    static constexpr RowId kNoRow = 0xFFFFFFFFu;
    static constexpr RowId kPendingRow = 0xFFFFFFFEu;

    struct Index {
        std::string name;
        std::vector<int> fields;
        IndexOptions options;
        // Rows in key order, equal keys by row id (= append order). Rows appended out of
        // key order wait in `pending` (ascending ids) and are merged in on the next use;
        // `stale` asks for a full rebuild (after edits and deletions).
        std::vector<RowId> sorted;
        std::vector<RowId> pending;
        bool stale = false;
    };

    void ResolveFields();
    int FieldIndexChecked(FieldNo f) const {
        if (static_cast<unsigned>(f.value) >= fields_.size()) ThrowNoFieldNumber(f);
        return f.value;
    }
    [[noreturn]] void ThrowNoFieldNumber(FieldNo f) const;
    Error FieldError(const ErrorText& text, FieldNo f,
                     std::vector<std::string> more_args = {}) const;

    // Reading stored values.
    Value StoredValue(RowId row, int field) const;
    int CompareStored(RowId row, int field, const Value& v) const;
    int CompareRows(const Index& ix, RowId a, RowId b) const;
    int CompareKey(const Index& ix, RowId row, const std::vector<Value>& key) const;
    bool RowLess(const Index& ix, RowId a, RowId b) const;

    // Index upkeep.
    Index* FindIndex(std::string_view name);
    const Index* FindIndex(std::string_view name) const;
    void EnsureSorted(const Index& ix) const;
    void SortRows(const Index& ix, std::vector<RowId>& rows) const;
    void NoteAppended(RowId row);
    void MarkAllStale();
    void CheckUnique(const Index& ix, const std::vector<Value>& key, RowId self) const;
    Error KeyViolation(const Index& ix, const std::vector<Value>& key) const;
    // Bulk appending: the first row Post would refuse for its values (or rows).
    std::size_t FirstRefusedRow(const std::vector<Column>& columns, std::size_t rows,
                                std::optional<Error>& refusal) const;
    // The first appended row (from `first` on) whose key a unique index already has.
    std::optional<std::pair<RowId, const Index*>> FirstDuplicateKey(RowId first) const;
    void MoveInRows(std::vector<Column>& columns, std::size_t rows);
    void MoveOutRows(std::vector<Column>& columns, std::size_t rows);
    std::vector<Value> KeyOfBuffer(const Index& ix) const;
    std::vector<Value> KeyOfRow(const Index& ix, RowId row) const;
    const std::vector<RowId>& Ordering() const;
    // The index's rows whose key starts with key; refuses keys that do not fit it.
    std::span<const RowId> KeyRange(const Index& ix, const std::vector<Value>& key) const;
    std::size_t LocateInOrdering(RowId row) const;

    // Derived fields.
    Value LookupValue(int key_field, const Value& key, int result_field) const;
    std::optional<RowId> FindRowByKey(int key_field, const Value& key) const;
    Value GetFrom(RowId source, int field) const;
    void EnsureCalculated(RowId source) const;

    struct StoredField;
    void StoreValue(const StoredField& sf, RowId row, Value& v);
    void SetCurrentRow(RowId row);
    void ResetCursorToFirst();
    void ValidateValue(int field, const Value& v) const;
    void CheckText(int field, std::string_view text) const;
    Value& WritableSlot(FieldNo f);

    std::string name_;
    std::vector<FieldDef> fields_;
    std::vector<int> column_of_;          // field -> column, -1 for derived fields
    std::vector<int> lookup_key_of_;      // lookup field -> key field in this table
    std::vector<int> lookup_target_key_;  // lookup field -> key field in the other table
    std::vector<int> lookup_target_res_;  // lookup field -> result field in the other table
    int auto_field_ = -1;
    struct StoredField {
        int field;
        int column;
        FieldKind kind;
        bool required;
    };
    std::vector<StoredField> stored_;  // the stored fields, for the row loops of Post
    std::vector<Column> columns_;
    std::vector<std::uint8_t> alive_;
    std::vector<RowId> order_;  // live rows, ascending = table order
    std::int32_t next_auto_ = 1;

    mutable std::vector<Index> indexes_;
    std::string current_index_name_;
    int current_index_ = -1;

    RowId cur_ = kNoRow;
    RowId before_insert_ = kNoRow;
    mutable std::size_t pos_ = 0;
    mutable bool pos_valid_ = false;
    bool eof_ = true;
    bool bof_ = true;

    State state_ = State::Browse;
    bool changed_ = false;
    std::vector<Value> buffer_;  // the pending row, one value per field

    CalcHandler calc_handler_;
    mutable std::vector<Value> calc_values_;
    mutable RowId calc_row_ = kNoRow;
    mutable std::uint64_t calc_version_ = 0;
    mutable bool calc_running_ = false;
    std::uint64_t version_ = 1;  // bumped by every change of rows or the pending row
    mutable RowId read_override_ = kNoRow;
};

}  // namespace yorbel::data
