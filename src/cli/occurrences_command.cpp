#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/dates.h"
#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/calendar_source.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/process_exit.h"
#include "data/occurrences.h"
#include "exchange/icalendar_export.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsageHead =
    "yorbel-cli occurrences CALENDAR --year Y [--julian] [--groups FILE]\n"
    "                        [--format text|json|csv|ics]\n"
    "    Every occurrence of every event of the calendar file in year Y (1-9999), in\n"
    "    generation order: events by number, each event's dates in date order. A period\n"
    "    gives its days in Y; an Easter offset may give a date in a neighbouring year.\n"
    "    JSON keys: date, event_no, name, group_no (null when empty), shown (bool).\n"
    "    Events whose rule is malformed are skipped and named on stderr.\n"
    "    --format ics writes an iCalendar file instead: one all-day event per occurrence\n"
    "    in Y of a shown group, one spanning event per period, Gregorian dates.\n";

constexpr std::array<OptionSpec, 4> kOptions{{
    {"year", true},
    {"julian", false},
    {"groups", true},
    {"format", true},
}};

struct OccurrenceRow {
    std::string date;  // YYYY-MM-DD
    std::int32_t event_no = 0;
    std::string_view name;  // valid until the next row is read
    std::optional<std::int32_t> group_no;
    bool shown = false;
};

// Reads the rows straight from the stored columns. The name and the shown flag are looked
// up in other tables, by the event and group numbers: the rows come in generation order,
// by event number, so the events are walked alongside in that order for the names, and
// whether a group is shown is looked up once per group.
class RowReader {
  public:
    RowReader(const data::Table& dates, const data::Table& events)
        : dates_(dates),
          date_(dates.StoredColumn(data::Ed_date)),
          ev_no_(dates.StoredColumn(data::Ed_ev_no)),
          gp_no_(dates.StoredColumn(data::Ed_gp_no)),
          by_number_(events.RowsInOrderOf(data::kIxEvNo)),
          numbers_(events.StoredColumn(data::Ev_no)),
          names_(events.StoredColumn(data::Ev_name)) {}

    void Read(data::Table::RowId id, OccurrenceRow& row) {
        // A stored "yyyymmdd" only needs its dashes; anything else is shown as it is.
        const std::string& date = date_.nulls[id] ? kEmpty : date_.texts[id];
        if (calendar::ParseDateText(date)) {
            row.date.assign(date, 0, 4)
                .append(1, '-')
                .append(date, 4, 2)
                .append(1, '-')
                .append(date, 6, std::string::npos);
        } else {
            row.date = date;
        }
        const std::optional<std::int32_t> ev_no = IntegerAt(ev_no_, id);
        const std::optional<std::int32_t> gp_no = IntegerAt(gp_no_, id);
        row.event_no = ev_no.value_or(0);
        row.name = NameOf(ev_no);
        row.group_no = gp_no;
        row.shown = Shown(id, gp_no);
    }

  private:
    // The name of the event with this number; empty when there is none. Null names are
    // stored empty.
    std::string_view NameOf(std::optional<std::int32_t> ev_no) {
        if (!ev_no) return {};
        const auto number = [this](data::Table::RowId r) { return numbers_.ints[r]; };
        if (next_ > 0 && number(by_number_[next_ - 1]) >= *ev_no) {  // out of order
            next_ = static_cast<std::size_t>(
                std::lower_bound(
                    by_number_.begin(), by_number_.end(), *ev_no,
                    [&number](data::Table::RowId r, std::int32_t n) { return number(r) < n; }) -
                by_number_.begin());
        }
        while (next_ < by_number_.size() && number(by_number_[next_]) < *ev_no) ++next_;
        if (next_ < by_number_.size() && number(by_number_[next_]) == *ev_no)
            return names_.texts[by_number_[next_]];
        return {};
    }

    bool Shown(data::Table::RowId id, std::optional<std::int32_t> gp_no) {
        if (!gp_no) return data::OccurrenceShown(dates_, id);
        const auto [known, added] = shown_by_group_.try_emplace(*gp_no, false);
        if (added) known->second = data::OccurrenceShown(dates_, id);
        return known->second;
    }

    static std::optional<std::int32_t> IntegerAt(const data::Table::Column& c,
                                                 data::Table::RowId id) {
        if (c.nulls[id]) return std::nullopt;
        return c.ints[id];
    }
    inline static const std::string kEmpty;
    const data::Table& dates_;
    const data::Table::Column& date_;
    const data::Table::Column& ev_no_;
    const data::Table::Column& gp_no_;
    std::span<const data::Table::RowId> by_number_;  // the events by number
    const data::Table::Column& numbers_;
    const data::Table::Column& names_;
    std::size_t next_ = 0;  // in by_number_: the first event not before the last row's
    std::unordered_map<std::int32_t, bool> shown_by_group_;
};

void AppendJson(std::string& s, const OccurrenceRow& r) {
    Append(s, "{\"date\":\"", r.date, "\",\"event_no\":", r.event_no,
           ",\"name\":", JsonString(r.name), ",\"group_no\":");
    if (r.group_no)
        Append(s, *r.group_no);
    else
        s += "null";
    Append(s, ",\"shown\":", r.shown ? "true" : "false", "}\n");
}

constexpr std::string_view kCsvHeader = "date,event_no,name,group_no,shown\n";

void AppendCsv(std::string& s, const OccurrenceRow& r) {
    Append(s, r.date, ",", r.event_no, ",");
    AppendCsvField(s, r.name);
    s += ',';
    if (r.group_no) Append(s, *r.group_no);
    s += r.shown ? ",true\n" : ",false\n";
}

void AppendText(std::string& s, const OccurrenceRow& r) {
    std::string group = r.group_no ? Concat("group ", *r.group_no) : "no group";
    Append(s, r.date, "  ", r.event_no, "  ", r.name, "  (", group, r.shown ? "" : ", hidden",
           ")\n");
}

// The rows in generation order, which is the table's append order. A year of a large
// calendar has hundreds of thousands: they go out through one buffer.
void WriteRows(const data::Table& dates, const data::Table& events, Format format,
               std::ostream& out) {
    constexpr std::size_t kChunk = 1 << 16;
    std::string text;
    text.reserve(kChunk + 1024);
    if (format == Format::Csv) text += kCsvHeader;
    OccurrenceRow row;
    RowReader reader(dates, events);
    for (const data::Table::RowId id : dates.RowsInTableOrder()) {
        reader.Read(id, row);
        switch (format) {
            case Format::Json:
                AppendJson(text, row);
                break;
            case Format::Csv:
                AppendCsv(text, row);
                break;
            case Format::Text:
                AppendText(text, row);
                break;
        }
        if (text.size() >= kChunk) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

int RunOccurrences(std::span<const std::string> words, std::ostream& out) {
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << kUsageHead << kGroupFileHelp;
        return 0;
    }
    if (args.positional().size() != 1) throw UsageError("expects exactly one CALENDAR file");
    const auto year_text = args.value("year");
    if (!year_text) throw UsageError("--year is required");
    const int year = ReadInteger("--year", *year_text, calendar::kMinYear, calendar::kMaxYear);
    const bool gregorian = !args.flag("julian");
    // iCalendar is a whole document rather than one record per occurrence, so it is not
    // one of the shared record formats.
    constexpr std::array<std::string_view, 4> kFormats{"text", "json", "csv", "ics"};
    const std::optional<std::string> format_text = args.value("format");
    const int choice = format_text ? ReadChoice("--format", *format_text, kFormats) : 0;
    const bool ics = choice == 3;
    const Format format = ics ? Format::Text : ReadFormat(kFormats[choice]);

    const auto kept =
        std::make_shared<CalendarSource>(args.positional()[0], args.value("groups"), std::cerr);
    KeepUntilExit(kept);
    CalendarSource& source = *kept;
    if (ics) {
        source.Occurrences(year, gregorian);
        out << exchange::ExportICalendar(source.CalendarTables(), source.CalendarGroups(), year,
                                         gregorian, CalendarName(args.positional()[0]));
        return 0;
    }
    const data::Table& dates = source.Occurrences(year, gregorian);
    WriteRows(dates, source.CalendarTables().CdsEvents(), format, out);
    return 0;
}

}  // namespace

Command OccurrencesCommand() {
    static const std::string usage = Concat(kUsageHead, kGroupFileHelp);
    return {"occurrences", usage, RunOccurrences};
}

}  // namespace yorbel::cli
