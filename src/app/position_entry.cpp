#include "app/position_entry.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace yorbel::app {

namespace {

// A decimal number in the boxes' notation: optional sign (only where allowed), digits,
// one separator ('.' or the user's), digits. Nothing else, not even blanks around it.
std::optional<double> ReadNumber(std::string_view text, std::string_view separator,
                                 bool sign_allowed) {
    std::string plain;
    std::size_t i = 0;
    if (sign_allowed && !text.empty() && (text[0] == '+' || text[0] == '-')) {
        if (text[0] == '-') plain += '-';
        i = 1;
    }
    bool digits = false, point = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
            ++i;
        } else if (!point &&
                   (c == '.' || (!separator.empty() && text.substr(i).starts_with(separator)))) {
            plain += '.';
            point = true;
            i += c == '.' ? 1 : separator.size();
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string_view PositionBoxKey(PositionBox box) {
    switch (box) {
        case PositionBox::LatD:
        case PositionBox::LatM:
        case PositionBox::LatS:
            return "Label4";
        case PositionBox::LongD:
        case PositionBox::LongM:
        case PositionBox::LongS:
            return "Label5";
        case PositionBox::Zone:
            return "Label6";
    }
    return "Label6";
}

std::variant<PositionValues, PositionRefusal> ReadPosition(const PositionTexts& texts,
                                                           std::string_view decimal_separator) {
    struct Box {
        PositionBox box;
        const std::string& text;
        double* target;
        double limit;  // exclusive for minutes and seconds, inclusive otherwise
        bool part_of_degree;
    };
    PositionValues v;
    v.North = texts.North;
    v.West = texts.West;
    const Box boxes[] = {
        {PositionBox::LatD, texts.LatD, &v.LatD, 90, false},
        {PositionBox::LatM, texts.LatM, &v.LatM, 60, true},
        {PositionBox::LatS, texts.LatS, &v.LatS, 60, true},
        {PositionBox::LongD, texts.LongD, &v.LongD, 180, false},
        {PositionBox::LongM, texts.LongM, &v.LongM, 60, true},
        {PositionBox::LongS, texts.LongS, &v.LongS, 60, true},
    };
    for (const Box& b : boxes) {
        const auto number = ReadNumber(b.text, decimal_separator, false);
        if (!number || (b.part_of_degree ? *number >= b.limit : *number > b.limit))
            return PositionRefusal{b.box, b.text};
        *b.target = *number;
    }
    // 90° 30′ passes each box but not the whole.
    if (v.LatD + v.LatM / 60 + v.LatS / 3600 > 90)
        return PositionRefusal{PositionBox::LatD, texts.LatD};
    if (v.LongD + v.LongM / 60 + v.LongS / 3600 > 180)
        return PositionRefusal{PositionBox::LongD, texts.LongD};
    const auto zone = ReadNumber(texts.Zone, decimal_separator, true);
    if (!zone || std::fabs(*zone) > 14) return PositionRefusal{PositionBox::Zone, texts.Zone};
    v.Zone = *zone;
    return v;
}

void StorePosition(Settings& s, const PositionValues& p) {
    s.LatD = p.LatD;
    s.LatM = p.LatM;
    s.LatS = p.LatS;
    s.North = p.North;
    s.LongD = p.LongD;
    s.LongM = p.LongM;
    s.LongS = p.LongS;
    s.West = p.West;
    s.Zone = p.Zone;
}

PositionTexts PositionTextsOf(const Settings& s, std::string_view decimal_separator) {
    auto text = [&](double value) {
        std::string t = ShortestNumberText(value);
        if (const auto dot = t.find('.'); dot != std::string::npos)
            t.replace(dot, 1, decimal_separator);
        return t;
    };
    return PositionTexts{text(s.LatD),  text(s.LatM),  text(s.LatS), s.North,     text(s.LongD),
                         text(s.LongM), text(s.LongS), s.West,       text(s.Zone)};
}

std::string PositionText(const PositionValues& p) {
    auto dms = [](double d, double m, double s, const char* hemisphere) {
        long total = std::lround((d * 60 + m) * 60 + s);
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "%ld\u00B0 %02ld\u2032 %02ld\u2033 %s", total / 3600,
                      total / 60 % 60, total % 60, hemisphere);
        return std::string(buffer);
    };
    return dms(p.LatD, p.LatM, p.LatS, p.North ? "N" : "S") + ", " +
           dms(p.LongD, p.LongM, p.LongS, p.West ? "W" : "E") + ", UT" + (p.Zone < 0 ? "-" : "+") +
           ShortestNumberText(std::fabs(p.Zone));
}

}  // namespace yorbel::app
