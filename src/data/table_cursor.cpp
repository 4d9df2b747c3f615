// Class Table: the current index and the cursor that walks it.
#include <algorithm>

#include "data/table.h"
#include "data/table_detail.h"

namespace yorbel::data {
using namespace table_detail;

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
    if (current_index_ < 0)
        return static_cast<std::size_t>(std::lower_bound(ord.begin(), ord.end(), row) -
                                        ord.begin());
    const Index& ix = indexes_[current_index_];
    auto it = std::lower_bound(ord.begin(), ord.end(), row,
                               [this, &ix](RowId a, RowId b) { return RowLess(ix, a, b); });
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

}  // namespace yorbel::data
