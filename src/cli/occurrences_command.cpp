#include <array>
#include <iostream>
#include <optional>
#include <vector>

#include "calendar/dates.h"
#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/calendar_source.h"
#include "cli/commands.h"
#include "cli/output.h"
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
    std::string name;
    std::optional<std::int32_t> group_no;
    bool shown = false;
};

std::optional<std::int32_t> OptionalInteger(const data::Value& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
    return std::nullopt;
}

void ReadRow(const data::Table& dates, OccurrenceRow& row) {
    // A stored "yyyymmdd" only needs its dashes; anything else is shown as it is.
    row.date = dates.AsText(data::Ed_date);
    if (calendar::ParseDateText(row.date)) row.date.insert(6, 1, '-').insert(4, 1, '-');
    row.event_no = OptionalInteger(dates.Get(data::Ed_ev_no)).value_or(0);
    row.name = dates.AsText(data::Ed_ev_name);
    row.group_no = OptionalInteger(dates.Get(data::Ed_gp_no));
    row.shown = data::OccurrenceShown(dates);
}

void AppendJson(std::string& s, const OccurrenceRow& r) {
    Append(s, "{\"date\":\"", r.date, "\",\"event_no\":", r.event_no,
           ",\"name\":", JsonString(r.name),
           ",\"group_no\":", r.group_no ? std::to_string(*r.group_no) : "null",
           ",\"shown\":", r.shown ? "true" : "false", "}\n");
}

constexpr std::string_view kCsvHeader = "date,event_no,name,group_no,shown\n";

void AppendCsv(std::string& s, const OccurrenceRow& r) {
    Append(s, r.date, ",", r.event_no, ",");
    AppendCsvField(s, r.name);
    Append(s, ",", r.group_no ? std::to_string(*r.group_no) : "", ",", r.shown ? "true" : "false",
           "\n");
}

void AppendText(std::string& s, const OccurrenceRow& r) {
    std::string group = r.group_no ? Concat("group ", *r.group_no) : "no group";
    Append(s, r.date, "  ", r.event_no, "  ", r.name, "  (", group, r.shown ? "" : ", hidden",
           ")\n");
}

// The rows in generation order, which is the table's append order. A year of a large
// calendar has hundreds of thousands: they go out through one buffer.
void WriteRows(data::Table& dates, Format format, std::ostream& out) {
    constexpr std::size_t kChunk = 1 << 16;
    std::string text;
    text.reserve(kChunk + 1024);
    if (format == Format::Csv) text += kCsvHeader;
    const std::string index = dates.CurrentIndex();
    dates.SetCurrentIndex("");
    OccurrenceRow row;
    for (dates.First(); !dates.Eof(); dates.Next()) {
        ReadRow(dates, row);
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
    dates.SetCurrentIndex(index);
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

    CalendarSource source(args.positional()[0], args.value("groups"), std::cerr);
    if (ics) {
        source.Occurrences(year, gregorian);
        out << exchange::ExportICalendar(source.CalendarTables(), source.CalendarGroups(), year,
                                         gregorian, CalendarName(args.positional()[0]));
        return 0;
    }
    WriteRows(source.Occurrences(year, gregorian), format, out);
    return 0;
}

}  // namespace

Command OccurrencesCommand() {
    static const std::string usage = Concat(kUsageHead, kGroupFileHelp);
    return {"occurrences", usage, RunOccurrences};
}

}  // namespace yorbel::cli
