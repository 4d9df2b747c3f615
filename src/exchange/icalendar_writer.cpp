#include "exchange/icalendar_writer.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace yorbel::exchange {
namespace {

constexpr std::size_t kMaxLineOctets = 75;

// The end of year 9999 UTC: a DTSTAMP has four year digits.
constexpr std::int64_t kLastStampSecond = 253402300799;

std::string IcsDate(const calendar::CivilDate& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.year, date.month, date.day);
    return buf;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// SOURCE_DATE_EPOCH as whole seconds; nothing when unset or not a plain non-negative
// number (then the clock decides rather than a misread value).
std::optional<std::int64_t> SourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0') return std::nullopt;
    const char* end = text + std::strlen(text);
    std::int64_t seconds = 0;
    const auto result = std::from_chars(text, end, seconds);
    if (result.ec != std::errc() || result.ptr != end || seconds < 0 ||
        seconds > kLastStampSecond) {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace

std::string IcsStamp(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds when{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{when - day};
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d%02u%02uT%02d%02d%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return buf;
}

std::string ExportStamp() {
    if (const auto seconds = SourceDateEpoch()) return IcsStamp(*seconds);
    const auto now =
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
    return IcsStamp(now.time_since_epoch().count());
}

std::string EscapeIcsText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case ';':
                out += "\\;";
                break;
            case ',':
                out += "\\,";
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one break
                out += "\\n";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) break;
                out += c;
        }
    }
    return out;
}

void AppendContentLine(std::string& out, std::string_view line) {
    std::size_t limit = kMaxLineOctets;  // a continuation line's leading space counts
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && IsContinuationByte(line[cut])) --cut;
        if (cut == 0) cut = limit;  // not UTF-8 after all: cut anywhere rather than loop
        out += line.substr(0, cut);
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = kMaxLineOctets - 1;
    }
    out += line;
    out += "\r\n";
}

std::string WriteICalendar(const std::vector<AllDayEvent>& events, std::string_view stamp) {
    std::string out;
    out.reserve(64 + events.size() * 220);
    AppendContentLine(out, "BEGIN:VCALENDAR");
    AppendContentLine(out, "VERSION:2.0");
    AppendContentLine(out, "PRODID:-//Brenmark//Yorbel//EN");
    AppendContentLine(out, "CALSCALE:GREGORIAN");
    for (const AllDayEvent& e : events) {
        AppendContentLine(out, "BEGIN:VEVENT");
        AppendContentLine(out, "UID:" + EscapeIcsText(e.uid));
        AppendContentLine(out, std::string("DTSTAMP:") + std::string(stamp));
        AppendContentLine(out, "DTSTART;VALUE=DATE:" + IcsDate(e.first));
        AppendContentLine(out, "DTEND;VALUE=DATE:" + IcsDate(e.end));
        AppendContentLine(out, "SUMMARY:" + EscapeIcsText(e.summary));
        if (!e.category.empty()) AppendContentLine(out, "CATEGORIES:" + EscapeIcsText(e.category));
        AppendContentLine(out, "TRANSP:TRANSPARENT");
        AppendContentLine(out, "END:VEVENT");
    }
    AppendContentLine(out, "END:VCALENDAR");
    return out;
}

}  // namespace yorbel::exchange
