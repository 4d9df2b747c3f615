// The own position as the options dialog's boxes hold it: read as numbers, checked, put
// into the settings, and shown the way a person reads a position.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "app/locations.h"
#include "app/settings.h"

namespace yorbel::app {

// The boxes in the order the dialog checks them; the refusal names the first bad one.
enum class PositionBox { LatD, LatM, LatS, LongD, LongM, LongS, Zone };

// The language key ("FrmOptions") of a box's label for messages.
std::string_view PositionBoxKey(PositionBox box);

struct PositionRefusal {
    PositionBox box = PositionBox::LatD;
    std::string text;  // the box's text as typed
};

struct PositionValues {
    double LatD = 0, LatM = 0, LatS = 0;
    bool North = true;
    double LongD = 0, LongM = 0, LongS = 0;
    bool West = false;
    double Zone = 0;
};

// Reads the boxes. A number may use '.' or the user's separator. Refused: a text that is
// not a plain non-negative number (the zone may carry a sign), minutes or seconds of 60 or
// more, a latitude over 90°, a longitude over 180°, a zone beyond ±14 hours.
std::variant<PositionValues, PositionRefusal> ReadPosition(const PositionTexts& texts,
                                                           std::string_view decimal_separator);

void StorePosition(Settings& settings, const PositionValues& position);
PositionTexts PositionTextsOf(const Settings& settings, std::string_view decimal_separator);

// "50° 06′ 44″ N, 8° 40′ 55″ E, UT+1" (seconds rounded to whole ones).
std::string PositionText(const PositionValues& position);

}  // namespace yorbel::app
