#include "exchange/icalendar_writer.h"

#include <cstdio>

namespace yorbel::exchange {
namespace {

constexpr std::size_t kMaxLineOctets = 75;

// DTSTAMP must be present in every VEVENT; a fixed value keeps two exports of the same
// calendar byte for byte equal, so they can be compared and versioned.
constexpr std::string_view kStamp = "20000101T000000Z";

std::string IcsDate(const calendar::CivilDate& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.year, date.month, date.day);
    return buf;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

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

std::string WriteICalendar(const std::vector<AllDayEvent>& events) {
    std::string out;
    out.reserve(64 + events.size() * 220);
    AppendContentLine(out, "BEGIN:VCALENDAR");
    AppendContentLine(out, "VERSION:2.0");
    AppendContentLine(out, "PRODID:-//Brenmark//Yorbel//EN");
    AppendContentLine(out, "CALSCALE:GREGORIAN");
    for (const AllDayEvent& e : events) {
        AppendContentLine(out, "BEGIN:VEVENT");
        AppendContentLine(out, "UID:" + EscapeIcsText(e.uid));
        AppendContentLine(out, std::string("DTSTAMP:") + std::string(kStamp));
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
