#include "exchange/ical_import.h"

#include <cstdio>

#include "data/event_value.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/index_names.h"
#include "data/regular_file.h"
#include "text/ascii_case.h"
#include "text/text_encoding.h"

namespace yorbel::exchange {
namespace {

// The first category that names a group (letter case aside).
std::optional<std::int32_t> GroupOfCategories(const data::Table& groups,
                                              const std::vector<std::string>& categories) {
    for (const std::string& category : categories) {
        for (const data::Table::RowId row : groups.RowsInTableOrder()) {
            const data::Value name = groups.ValueOf(row, data::Gp_name);
            const data::Value number = groups.ValueOf(row, data::Gp_no);
            const auto* text = std::get_if<std::string>(&name);
            const auto* no = std::get_if<std::int32_t>(&number);
            if (text && no && text::EqualsIgnoringAsciiCase(*text, category)) return *no;
        }
    }
    return std::nullopt;
}

// A day as the messages show it, in the digits of the calendar's system.
std::string DayText(calendar::DayNumber day, bool gregorian) {
    const calendar::CivilDate d = calendar::DateOfDayNumber(day, gregorian);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

class RowWriter {
  public:
    explicit RowWriter(data::Table& events) : events_(events) {}

    // Stores the rules as events; on a failure removes the ones stored and throws.
    void Store(const std::string& name, std::optional<std::int32_t> group,
               const std::vector<data::Rule>& rules) {
        std::vector<std::int32_t> stored;
        try {
            for (const data::Rule& rule : rules) {
                const std::int32_t number = events_.NextAutoIncrement();
                data::StoreEvent(events_, std::nullopt, {name, group, rule});
                stored.push_back(number);
            }
        } catch (const data::Error&) {
            Remove(stored);
            throw;
        }
        added_ += static_cast<int>(stored.size());
    }

    int Added() const { return added_; }

  private:
    void Remove(const std::vector<std::int32_t>& numbers) {
        events_.SetCurrentIndex(data::kIxEvNo);
        for (const std::int32_t number : numbers) {
            if (events_.GoToKey(data::Value{number})) events_.Delete();
        }
    }

    data::Table& events_;
    int added_ = 0;
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
    RowWriter writer(events);
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
        std::optional<std::int32_t> group = GroupOfCategories(groups, event.categories);
        if (!group) group = options.group;

        std::vector<data::Rule> rules;
        if (event.rule) {
            rules.push_back(*event.rule);
        } else {
            for (const IcsDays& days : event.occurrences)
                rules.push_back(SingleOccurrenceRule(days, gregorian));
        }
        try {
            writer.Store(name, group, rules);
        } catch (const data::Error& e) {
            ++report.skipped;
            note(data::Error(data::CoreError("IcsEventNotStored"), {uid, name, e.what()}, at));
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
    report.added = writer.Added();
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
