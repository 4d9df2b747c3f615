#include "data/occurrences.h"

#include <map>
#include <unordered_set>

#include "data/rule_dates.h"

namespace yorbel::data {

namespace {

// Null integers read as 0, as the event editor never leaves them null.
std::int32_t IntegerOr0(const Table::Column& c, Table::RowId row) {
    return c.nulls[row] ? 0 : c.ints[row];
}

bool IsOne(const Value& v) {
    const auto* i = std::get_if<std::int32_t>(&v);
    return i && *i == 1;
}

// The occurrence whose group colours the date: the first shown one in date-index order
// (equal dates keep their generation order in the index).
std::optional<Table::RowId> FirstShownOn(const Table& ev_dates, std::string_view date_text) {
    for (const Table::RowId row : ev_dates.FindRows(kIxEdDate, Value{std::string(date_text)}))
        if (OccurrenceShown(ev_dates, row)) return row;
    return std::nullopt;
}

}  // namespace

std::vector<SkippedEvent> GenerateOccurrences(EventTables& tables, int year, bool gregorian) {
    tables.ResetOccurrenceTable();
    Table& events = tables.CdsEvents();
    Table& dates = tables.CdsEvDates();
    if (events.CurrentIndex() != kIxEvNo) events.SetCurrentIndex(kIxEvNo);

    const JewishBounds jewish = JewishBoundsOf(year, gregorian);
    std::vector<SkippedEvent> skipped;
    std::vector<std::string> found;
    // The rows are collected as columns and appended at once (Ed_ev_no, Ed_gp_no, Ed_date
    // are the table's first three stored fields).
    std::vector<Table::Column> added(3);
    Table::Column& ev_nos = added[0];
    Table::Column& gp_nos = added[1];
    Table::Column& date_texts = added[2];
    events.First();  // commits an event the editor left pending
    // The stored columns are read in place: every event passes here at every generation.
    const Table::Column& numbers = events.StoredColumn(Ev_no);
    const Table::Column& names = events.StoredColumn(Ev_name);
    const Table::Column& types = events.StoredColumn(Ev_Type);
    const Table::Column& repeats = events.StoredColumn(Ev_repeat);
    const Table::Column& froms = events.StoredColumn(Ev_from);
    const Table::Column& tos = events.StoredColumn(Ev_to);
    const Table::Column& groups = events.StoredColumn(Ev_gp_no);
    for (const Table::RowId row : events.RowsInOrderOf(kIxEvNo)) {
        const std::int32_t ev_no = IntegerOr0(numbers, row);
        const std::int32_t type = IntegerOr0(types, row);
        const std::int32_t repeat = IntegerOr0(repeats, row);
        // Ev_to means something only for periods and near-date rules. Null texts are
        // stored empty.
        const bool uses_to = type != 0 || repeat == RepeatNearDate;
        const auto rule =
            ParseRule(type, repeat, froms.texts[row],
                      uses_to ? std::string_view(tos.texts[row]) : std::string_view(), gregorian);
        if (!rule.ok()) {
            skipped.push_back({ev_no, names.texts[row], rule.fault()});
            continue;
        }
        found.clear();
        RuleDatesIn(rule.value(), year, jewish, gregorian, found);
        const bool has_group = !groups.nulls[row];
        for (std::string& date : found) {
            ev_nos.ints.push_back(ev_no);
            ev_nos.nulls.push_back(0);
            gp_nos.ints.push_back(has_group ? groups.ints[row] : 0);
            gp_nos.nulls.push_back(has_group ? 0 : 1);
            date_texts.texts.push_back(std::move(date));
            date_texts.nulls.push_back(0);
        }
    }
    // The cursor ends past the last event, as a walk through them would leave it.
    events.Last();
    events.Next();
    const std::size_t rows = ev_nos.ints.size();
    dates.AppendColumns(std::move(added), rows);
    return skipped;
}

std::int32_t DayColor(const Table& ev_dates, std::string_view date_text,
                      std::int32_t default_color) {
    const std::optional<Table::RowId> row = FirstShownOn(ev_dates, date_text);
    if (!row) return default_color;
    const Value color = ev_dates.ValueOf(*row, Ed_color);
    const auto* c = std::get_if<std::int32_t>(&color);
    return c ? *c : default_color;
}

std::vector<ColoringGroup> GroupsColoringDays(const Table& ev_dates) {
    std::unordered_set<std::string> dates;
    std::map<std::int32_t, std::int32_t> colors;
    for (const Table::RowId row : ev_dates.RowsInTableOrder()) {
        const Value date = ev_dates.ValueOf(row, Ed_date);
        const auto* text = std::get_if<std::string>(&date);
        if (!text || !dates.insert(*text).second) continue;
        const std::optional<Table::RowId> first = FirstShownOn(ev_dates, *text);
        if (!first) continue;
        // A day without a colour value keeps its own background: nothing to explain.
        const Value group = ev_dates.ValueOf(*first, Ed_gp_no);
        const Value color = ev_dates.ValueOf(*first, Ed_color);
        const auto* g = std::get_if<std::int32_t>(&group);
        const auto* c = std::get_if<std::int32_t>(&color);
        if (g && c) colors.emplace(*g, *c);
    }
    std::vector<ColoringGroup> groups;
    groups.reserve(colors.size());
    for (const auto& [group_no, color] : colors) groups.push_back({group_no, color});
    return groups;
}

std::optional<std::int32_t> FirstEventOn(const Table& ev_dates, std::string_view date_text) {
    const auto rows = ev_dates.FindRows(kIxEdDate, Value{std::string(date_text)});
    if (rows.empty()) return std::nullopt;
    const Value ev_no = ev_dates.ValueOf(rows.front(), Ed_ev_no);
    const auto* n = std::get_if<std::int32_t>(&ev_no);
    return n ? *n : 0;
}

bool OccurrenceShown(const Table& ev_dates) {
    return IsOne(ev_dates.Get(Ed_show));
}

bool OccurrenceShown(const Table& ev_dates, Table::RowId row) {
    return IsOne(ev_dates.ValueOf(row, Ed_show));
}

}  // namespace yorbel::data
