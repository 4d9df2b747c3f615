#include "exchange/ical_import.h"

#include <cstdio>
#include <map>
#include <string_view>
#include <unordered_map>

#include "data/events.h"
#include "data/groups.h"
#include "data/regular_file.h"
#include "data/rule_text.h"
#include "text/ascii_case.h"
#include "text/text_encoding.h"

namespace yorbel::exchange {
namespace {

// The groups by name, letter case aside, gathered once for all events: of two names that
// differ only in case, the first in table order wins.
class GroupsByName {
  public:
    explicit GroupsByName(const data::Table& groups) {
        for (const data::Table::RowId row : groups.RowsInTableOrder()) {
            const data::Value name = groups.ValueOf(row, data::Gp_name);
            const data::Value number = groups.ValueOf(row, data::Gp_no);
            const auto* text = std::get_if<std::string>(&name);
            const auto* no = std::get_if<std::int32_t>(&number);
            if (text && no) number_of_.try_emplace(Lowered(*text), *no);
        }
    }

    // The group the first category names that has one.
    std::optional<std::int32_t> GroupOf(const std::vector<std::string>& categories) const {
        for (const std::string& category : categories) {
            const auto found = number_of_.find(Lowered(category));
            if (found != number_of_.end()) return found->second;
        }
        return std::nullopt;
    }

  private:
    static std::string Lowered(std::string_view name) {
        std::string lowered(name);
        for (char& c : lowered) c = text::AsciiLower(c);
        return lowered;
    }

    std::unordered_map<std::string, std::int32_t> number_of_;
};

// A day as the messages show it, in the digits of the calendar's system.
std::string DayText(calendar::DayNumber day, bool gregorian) {
    const calendar::CivilDate d = calendar::DateOfDayNumber(day, gregorian);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// The rows of the events taken, gathered as columns and appended to the table at once,
// so that ten thousand events cost one index update, not ten thousand.
class EventRows {
  public:
    explicit EventRows(const data::Table& events) : events_(events) {
        for (int f = 0; f < events.FieldCount(); ++f) {
            const data::FieldDef& def = events.Field(data::FieldNo(f));
            if (def.role != data::FieldRole::Stored) continue;
            column_of_[f] = columns_.size();
            columns_.emplace_back();
            text_.push_back(def.kind == data::FieldKind::Text);
        }
    }

    // Adds one row per rule, or none and the error storing one of them would give.
    std::optional<data::Error> Add(const std::string& name, std::optional<std::int32_t> group,
                                   const std::vector<data::Rule>& rules) {
        std::vector<data::RuleTexts> texts;
        texts.reserve(rules.size());
        if (auto fault = events_.TextFault(data::Ev_name, name)) return fault;
        for (const data::Rule& rule : rules) {
            texts.push_back(data::EncodeRule(rule));
            if (auto fault = events_.TextFault(data::Ev_from, texts.back().from)) return fault;
            if (texts.back().to) {
                if (auto fault = events_.TextFault(data::Ev_to, *texts.back().to)) return fault;
            }
        }
        for (const data::RuleTexts& t : texts) {
            for (std::size_t c = 0; c < columns_.size(); ++c) Null(c);  // Ev_no: numbered on append
            Set(data::Ev_name, name);
            Set(data::Ev_Type, t.type);
            Set(data::Ev_repeat, t.repeat);
            Set(data::Ev_from, t.from);
            if (t.to) Set(data::Ev_to, *t.to);
            if (group) Set(data::Ev_gp_no, *group);
            ++rows_;
        }
        return std::nullopt;
    }

    // Appends the rows gathered; returns their number.
    int AppendTo(data::Table& events) {
        const std::size_t rows = rows_;
        if (rows > 0) events.AppendColumns(std::move(columns_), rows);
        return static_cast<int>(rows);
    }

  private:
    data::Table::Column& ColumnOf(data::FieldNo f) { return columns_[column_of_.at(f.value)]; }

    void Null(std::size_t c) {
        columns_[c].nulls.push_back(1);
        if (text_[c])
            columns_[c].texts.emplace_back();
        else
            columns_[c].ints.push_back(0);
    }
    void Set(data::FieldNo f, std::int32_t value) {
        ColumnOf(f).ints.back() = value;
        ColumnOf(f).nulls.back() = 0;
    }
    void Set(data::FieldNo f, const std::string& value) {
        ColumnOf(f).texts.back() = value;
        ColumnOf(f).nulls.back() = 0;
    }

    const data::Table& events_;
    std::map<int, std::size_t> column_of_;
    std::vector<data::Table::Column> columns_;
    std::vector<bool> text_;
    std::size_t rows_ = 0;
};

}  // namespace

data::Error IcsImportReport::Summary() const {
    return data::Error(
        data::CoreError("IcsSummary"),
        {std::to_string(events), std::to_string(mapped), std::to_string(expanded),
         std::to_string(expanded_dates), std::to_string(skipped), std::to_string(added)});
}

IcsImportReport ImportICalendarText(data::Table& events, const data::Table& groups,
                                    const std::string& text, const IcsImportOptions& options,
                                    const std::string& file) {
    const bool gregorian = options.gregorian;
    IcsReadOptions read;
    read.zone = options.zone;
    read.gregorian = gregorian;
    read.span = {calendar::DayNumberOf({1, 1, options.expand_from}, gregorian),
                 calendar::DayNumberOf({31, 12, options.expand_to}, gregorian)};
    const std::vector<IcsEvent> read_events = ReadIcsEvents(text, read, file);

    IcsImportReport report;
    EventRows rows(events);
    const GroupsByName groups_by_name(groups);
    const auto name_size = static_cast<std::size_t>(events.Field(data::Ev_name).size);
    const auto note = [&report](data::Error message) {
        report.notes.push_back(std::move(message));
    };
    for (const IcsEvent& event : read_events) {
        ++report.events;
        const std::string uid = event.uid.empty() ? "-" : event.uid;
        const data::ErrorPosition at(file, event.line);
        // Messages name the event as it is stored: a summary may hold line breaks.
        bool shortened = false;
        const std::string name = StoredName(event.summary, name_size, &shortened);
        if (event.fate == IcsEvent::Fate::NoDate) {
            ++report.skipped;
            note(data::Error(data::CoreError("IcsEventNoDate"), {uid, name}, at));
            continue;
        }
        std::optional<std::int32_t> group = groups_by_name.GroupOf(event.categories);
        if (!group) group = options.group;

        std::vector<data::Rule> rules;
        if (event.rule) {
            rules.push_back(*event.rule);
        } else {
            for (const IcsDays& days : event.occurrences)
                rules.push_back(SingleOccurrenceRule(days, gregorian));
        }
        if (const auto fault = rows.Add(name, group, rules)) {
            ++report.skipped;
            note(data::Error(data::CoreError("IcsEventNotStored"), {uid, name, fault->what()}, at));
            continue;
        }
        if (shortened) {
            note(data::Error(data::CoreError("IcsNameShortened"),
                             {uid, std::to_string(name_size), name}, at));
        }
        if (event.fate == IcsEvent::Fate::Mapped) {
            ++report.mapped;
            continue;
        }
        ++report.expanded;
        report.expanded_dates += static_cast<int>(rules.size());
        if (event.occurrences.empty()) {
            note(data::Error(data::CoreError("IcsEventNoDatesInSpan"),
                             {uid, name, DayText(read.span.first, gregorian),
                              DayText(read.span.last, gregorian)},
                             at));
            continue;
        }
        note(data::Error(data::CoreError("IcsEventExpanded"),
                         {uid, name, std::to_string(rules.size()),
                          DayText(event.occurrences.front().first, gregorian),
                          DayText(event.occurrences.back().last, gregorian)},
                         at));
        if (event.expansion_cut) {
            note(data::Error(data::CoreError("IcsEventExpansionCut"),
                             {uid, name, DayText(event.occurrences.back().last, gregorian)}, at));
        }
    }
    report.added = rows.AppendTo(events);
    return report;
}

ImportSource ReadImportFile(const std::filesystem::path& path) {
    ImportSource source;
    // The raw bytes are gone once decoded, so a large file is held once, not twice.
    source.text = text::DecodeTextFile(data::ReadRegularFile(path));
    source.icalendar = IsICalendarText(source.text) || HasICalendarExtension(path);
    return source;
}

}  // namespace yorbel::exchange
