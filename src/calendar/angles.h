// Angles written as degrees, minutes and seconds (or hours, minutes and seconds of time),
// as settings, location files and astronomical constants give them.
#pragma once

namespace yorbel::calendar {

// The decimal value of degrees, minutes and seconds that all carry the same sign.
constexpr double DegreesOf(double degrees, double minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

}  // namespace yorbel::calendar
