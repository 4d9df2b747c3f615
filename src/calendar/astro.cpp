// Sun and moon by the pocket-calculator methods of spherical astronomy: mean elements
// from polynomials, Kepler's equation for the sun, a short periodic series for the moon,
// the sun's rising and setting from two positions interpolated in sidereal time, the
// moon's where its altitude crosses the horizon, each corrected for refraction,
// semi-diameter and parallax. Angles are degrees, times decimal hours and
// dates astronomical Julian dates (a day starts at noon) unless a name says otherwise.
#include "calendar/astro.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "calendar/angles.h"

namespace yorbel::calendar {
namespace {

// --- constants ------------------------------------------------------------------------

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kDegreesPerHour = 15.0;  // of hour angle or right ascension

constexpr double kJ2000 = 2451545.0;  // 2000 January 1.5, Julian date
constexpr double kJ1900 = 2415020.0;  // 1900 January 0.5, epoch of the sun's polynomials
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr double kMoonEpoch = 2447891.5;  // 1990 January 0.0, epoch of the moon's elements

// The moon of a day is taken 50 s after its midnight.
constexpr double kMoonStartOffsetDays = 50.0 / kSecondsPerDay;

constexpr double kSunInterpolation = 24.07;  // hours between the two sun positions, sidereal

constexpr double kSiderealRateStartOfDay = 1.002738;  // sidereal hours per solar hour
constexpr double kSiderealPerSolar = 1.002737909;     // universal to sidereal
constexpr double kSolarPerSidereal = 0.9972695663;    // sidereal to universal

constexpr double kSunDailyMotion = 0.985647;           // degrees of longitude per day
constexpr double kSunMeanMotion = 0.9856473563866011;  // degrees per day, 360 / 365.242191

constexpr double kKeplerTolerance = 0.000001;  // radians
constexpr int kKeplerMaxIterations = 100;      // Newton needs about 4 for the sun's orbit

constexpr double kMoonInclination = 5.145396;  // degrees, orbit to ecliptic

// Bisection of the phase search: the phase counts as found within this many degrees
// (about 7 seconds of the moon's motion).
constexpr double kPhaseToleranceDegrees = 0.001;
constexpr double kPhaseFirstStepDays = 14.0;
// The search settles within about 10 rounds of two halvings each. The bounds only keep a
// date far outside the calendar's range, where a step no longer moves a double, from
// looping for ever.
constexpr int kPhaseMaxRounds = 16;
constexpr int kPhaseMaxStepsPerRun = 64;

double Sin(double degrees) {
    return std::sin(degrees / kDegreesPerRadian);
}
double Cos(double degrees) {
    return std::cos(degrees / kDegreesPerRadian);
}
double Tan(double degrees) {
    return std::tan(degrees / kDegreesPerRadian);
}
double Asin(double x) {
    return std::asin(x) * kDegreesPerRadian;
}
double Acos(double x) {
    return std::acos(x) * kDegreesPerRadian;
}
double Atan(double x) {
    return std::atan(x) * kDegreesPerRadian;
}

// --- supporting operations ------------------------------------------------------------

constexpr double kRefractionDegrees = DegreesOf(0, 34, 0);  // at the horizon

// Adds step while x < low, then subtracts it while x > high. A far-out x is first brought
// near the range with fmod: that is exact, like each single step, so the result is the
// same as stepping all the way, only without a long loop. Non-finite x is returned as is.
double WrapRange(double x, double step, double high, double low) {
    if (!std::isfinite(x)) return x;
    if (x > high + step) {
        x = low + std::fmod(x - low, step) + step;
    } else if (x < low - step) {
        x = low + std::fmod(x - low, step) - step;
    }
    while (x < low) x += step;
    while (x > high) x -= step;
    return x;
}

double WrapRange(double x, double step) {
    return WrapRange(x, step, step, 0.0);
}

// Astronomical Julian date of a Gregorian date; the day may carry a fraction, and day 0
// of January is the last day of the year before.
double JulianDateOf(double day, int month, int year) {
    double y = year;
    double m = month;
    if (month < 3) {
        y -= 1;
        m += 12;
    }
    const double a = std::trunc(y * 0.01);
    const double b = std::trunc(a * 0.25);
    const double c = y < 0 ? std::trunc(365.25 * y - 0.75) : std::trunc(365.25 * y);
    const double d = std::trunc(30.6001 * (m + 1));
    return 2 - a + b + c + d + day + 1720994.5;
}

double JulianDateOf(const CivilDate& date) {
    return JulianDateOf(date.day, date.month, date.year);
}

// Mean obliquity of the ecliptic.
double Obliquity(double jd) {
    const double t = (jd - kJ2000) / kDaysPerJulianCentury;
    return 23.439292 - (46.815 * t + 0.0006 * t * t - 0.00181 * t * t * t) / 3600.0;
}

struct SunOrbit {
    double eccentricity;
    double perigee;          // longitude of perigee ϖ
    double epoch_longitude;  // ecliptic longitude at the epoch εg
};

SunOrbit SunElements(double epoch) {
    const double t = (epoch - kJ1900) / kDaysPerJulianCentury;
    return {
        .eccentricity = 0.01675104 - 0.0000418 * t - 0.000000126 * t * t,
        .perigee = 281.2208444 + 1.719175 * t + 0.000452778 * t * t,
        .epoch_longitude = WrapRange(279.6966778 + 36000.76892 * t + 0.0003025 * t * t, 360),
    };
}

// The sun's mean anomaly at jd, counted from an epoch with that epoch's elements.
double SunMeanAnomaly(double jd, double epoch, const SunOrbit& orbit) {
    const double n = WrapRange((jd - epoch) * kSunMeanMotion, 360);
    double m = n + orbit.epoch_longitude - orbit.perigee;
    if (m < 0) m += 360;
    return m;
}

// Eccentric anomaly in radians for a mean anomaly in radians, by Newton's method.
double SolveKepler(double mean_anomaly, double e) {
    double ecc = mean_anomaly;
    for (int i = 0; i < kKeplerMaxIterations; ++i) {
        const double residual = ecc - e * std::sin(ecc) - mean_anomaly;
        if (!(std::fabs(residual) > kKeplerTolerance)) break;
        ecc -= residual / (1 - e * std::cos(ecc));
    }
    return ecc;
}

// True anomaly for a mean anomaly, both in degrees.
double TrueAnomaly(double mean_anomaly, double e) {
    const double ecc = SolveKepler(mean_anomaly / kDegreesPerRadian, e);
    return 2 * Atan(std::sqrt((1 + e) / (1 - e)) * std::tan(ecc / 2));
}

struct SunPlace {
    double longitude;
    double mean_anomaly;
    double true_anomaly;
    SunOrbit orbit;
};

SunPlace SunLongitude(double jd, double epoch) {
    const SunOrbit orbit = SunElements(epoch);
    const double m = SunMeanAnomaly(jd, epoch, orbit);
    const double nu = TrueAnomaly(m, orbit.eccentricity);
    return {WrapRange(nu + orbit.perigee, 360), m, nu, orbit};
}

// arctan(y/x) placed in the quadrant of (x, y): [0, 90] for x ≥ 0 and y ≥ 0, [270, 360]
// for x ≥ 0 and y < 0, [90, 180] for x < 0 and y ≥ 0, [180, 270] otherwise.
double QuadrantAngle(double y, double x) {
    const double a = Atan(y / x);
    if (x < 0) return a + 180;
    if (y < 0) return a + 360;
    return a;
}

// Right ascension in hours of ecliptic longitude λ and latitude β.
double RightAscension(double lambda, double beta, double jd) {
    const double eps = Obliquity(jd);
    const double y = Sin(lambda) * Cos(eps) - Tan(beta) * Sin(eps);
    const double x = Cos(lambda);
    return QuadrantAngle(y, x) / kDegreesPerHour;
}

double Declination(double lambda, double beta, double jd) {
    const double eps = Obliquity(jd);
    return Asin(Sin(beta) * Cos(eps) + Cos(beta) * Sin(eps) * Sin(lambda));
}

// Greenwich sidereal time T0 at 0 h UT of the day of jd.
double SiderealAtZero(double jd) {
    const double t = (jd - kJ2000) / kDaysPerJulianCentury;
    return WrapRange(6.697374558 + 2400.051336 * t + 0.000025862 * t * t, 24);
}

double GstOfUt(double jd, double ut) {
    return WrapRange(ut * kSiderealPerSolar + SiderealAtZero(jd), 24);
}

// Universal time of a Greenwich sidereal time on the day of jd. The difference is turned
// into solar hours before it is brought into 0–24: a day has 24 solar hours, and wrapping
// by 24 sidereal hours first would move every time outside 0–24 by 3.9 minutes.
double UtOfGst(double jd, double gst) {
    return WrapRange((gst - SiderealAtZero(jd)) * kSolarPerSidereal, 24);
}

double GstOfLst(double longitude_west, double lst) {
    double gst = lst + longitude_west / kDegreesPerHour;
    if (gst > 24) gst -= 24;
    if (gst < 0) gst += 24;
    return gst;
}

struct SiderealPair {
    double rise;
    double set;
};

// Local sidereal times of rising and setting of a body at declination δ and right
// ascension α (hours); none where it stays above or below the horizon all day.
std::optional<SiderealPair> RiseSetSiderealTimes(double latitude, double delta, double alpha) {
    const double cos_h = -Tan(latitude) * Tan(delta);
    if (!(cos_h >= -1 && cos_h <= 1)) return std::nullopt;
    const double h = Acos(cos_h) / kDegreesPerHour;
    SiderealPair lst{24 - h + alpha, alpha + h};
    if (lst.rise > 24) lst.rise -= 24;
    if (lst.set > 24) lst.set -= 24;
    return lst;
}

struct MoonPlace {
    double longitude;     // λm, not wrapped
    double latitude;      // βm
    double mean_anomaly;  // M′m, corrected
    double centre;        // Ec, equation of the centre
    double age;           // λm − λs, not wrapped
};

// The moon's place from its mean elements at the 1990 epoch (mean longitude, mean anomaly
// and ascending node, advancing 13.1763966, 13.0649925 and -0.0529539 degrees a day) and
// the largest periodic terms of the lunar theory, truncated as the standard almanac
// formulas for hand calculation give them: the evection (1.2739°), the annual equation
// (0.1858°, with 0.37° more on the anomaly), the equation of the centre (6.2886°) and its
// second harmonic (0.214°), the variation (0.6583°) and the node's annual term (0.16°).
// Every smaller term is dropped, the price of the simple series: rising and setting aim at
// about a minute of time, not at the moon's exact place.
MoonPlace MoonPosition(double t) {
    const double d = t - kMoonEpoch;
    const SunPlace sun = SunLongitude(t, kMoonEpoch);
    const double ms = sun.mean_anomaly;
    const double ls = sun.longitude;

    const double l = WrapRange(13.1763966 * d + 318.351648, 360);
    const double mm = WrapRange(l - 0.1114041 * d - 36.34041, 360);
    const double node = WrapRange(318.510107 - 0.0529539 * d, 360);

    const double evection = 1.2739 * Sin(2 * (l - ls) - mm);
    const double annual = 0.1858 * Sin(ms);
    const double a3 = 0.37 * Sin(ms);
    const double mm_corrected = mm + evection - annual - a3;

    const double centre = 6.2886 * Sin(mm_corrected);
    const double a4 = 0.214 * Sin(2 * mm_corrected);
    const double l1 = l + evection + centre - annual + a4;
    const double variation = 0.6583 * Sin(2 * (l1 - ls));
    const double l2 = l1 + variation;

    const double node_corrected = node - 0.16 * Sin(ms);
    const double y = Sin(l2 - node_corrected) * Cos(kMoonInclination);
    const double x = Cos(l2 - node_corrected);
    const double lambda = QuadrantAngle(y, x) + node_corrected;
    const double beta = Asin(Sin(l2 - node_corrected) * Sin(kMoonInclination));
    return {lambda, beta, mm_corrected, centre, lambda - ls};
}

double MoonAge(double t) {
    return WrapRange(MoonPosition(t).age, 360);
}

// Greenwich sidereal times of rising and setting from two positions of a body, set up for
// interpolation: the later time of each pair follows the earlier, and each pair is moved
// by whole days into the place's own day, which begins at its mean midnight T00′.
struct SiderealTrack {
    double rise1, rise2, set1, set2;
    double t00;  // Greenwich sidereal time at 0 h UT
};

// Moves a pair by whole days until its first time lies in the day that starts at midnight.
// For a midnight within 0–24 that is: add 24 when the first time lies before it. East of
// Greenwich midnight often lies before 0 h sidereal; it is not raised by 24, since counting
// from there would give the next day's rising and setting.
void MoveIntoDay(double& first, double& second, double midnight) {
    while (first < midnight) {
        first += 24;
        second += 24;
    }
    while (first > midnight + 24) {
        first -= 24;
        second -= 24;
    }
}

std::optional<SiderealTrack> TrackOf(double jd, double longitude_west, double latitude,
                                     double alpha1, double delta1, double alpha2, double delta2) {
    const auto lst1 = RiseSetSiderealTimes(latitude, delta1, alpha1);
    const auto lst2 = RiseSetSiderealTimes(latitude, delta2, alpha2);
    if (!lst1 || !lst2) return std::nullopt;
    SiderealTrack s{GstOfLst(longitude_west, lst1->rise), GstOfLst(longitude_west, lst2->rise),
                    GstOfLst(longitude_west, lst1->set), GstOfLst(longitude_west, lst2->set),
                    GstOfUt(jd, 0)};
    if (s.rise1 > s.rise2) s.rise2 += 24;
    if (s.set1 > s.set2) s.set2 += 24;
    const double midnight = s.t00 + longitude_west * kSiderealRateStartOfDay / kDegreesPerHour;
    MoveIntoDay(s.rise1, s.rise2, midnight);
    MoveIntoDay(s.set1, s.set2, midnight);
    return s;
}

double Interpolate(double span, double st1, double st2, double t00) {
    return (span * st1 - t00 * (st2 - st1)) / (span + st1 - st2);
}

// Time shift in hours of rising and setting for a horizon lowered by x degrees (refraction,
// semi-diameter, parallax) at mean declination δ̄; none where the geometry has no answer.
std::optional<double> HorizonShift(double latitude, double mean_delta, double x) {
    const double psi = Acos(Sin(latitude) / Cos(mean_delta));
    const double y = Asin(Sin(x) / Sin(psi));
    const double dt = 240 * y / Cos(mean_delta) / 3600;
    if (!std::isfinite(dt)) return std::nullopt;
    return dt;
}

// Rising and setting in UT from the interpolated sidereal times; both or neither.
RiseSet FinishRiseSet(double jd, double rise_gst, double set_gst, std::optional<double> shift) {
    if (!shift) return {};
    const double rise = UtOfGst(jd, rise_gst - *shift);
    const double set = UtOfGst(jd, set_gst + *shift);
    if (!std::isfinite(rise) || !std::isfinite(set)) return {};
    return {rise, set};
}

// Altitude of the moon's centre above the altitude at which it rises or sets: the
// horizon lowered by refraction and semi-diameter and raised by parallax.
double MoonAboveRisingAltitude(double t, double longitude_west, double latitude) {
    const MoonPlace p = MoonPosition(t);
    const double alpha = RightAscension(p.longitude, p.latitude, kMoonEpoch);
    const double delta = Declination(p.longitude, p.latitude, kMoonEpoch);
    const double zero_hours = std::floor(t - 0.5) + 0.5;
    const double lst =
        GstOfUt(zero_hours, (t - zero_hours) * 24) - longitude_west / kDegreesPerHour;
    const double hour_angle = (lst - alpha) * kDegreesPerHour;
    const double altitude =
        Asin(Sin(latitude) * Sin(delta) + Cos(latitude) * Cos(delta) * Cos(hour_angle));
    const double rho =
        0.99698599 / (1 + 0.0549 * Cos(p.mean_anomaly + p.centre));  // in semi-major axes
    const double parallax = 0.9507 / rho;
    const double diameter = 0.5181 / rho;
    return altitude + kRefractionDegrees - parallax + diameter / 2;
}

// The moment within [from, to] where f changes sign, given f at both ends, by regula falsi
// with the Illinois step: a few evaluations reach a fraction of a second.
template <class F>
double Crossing(const F& f, double from, double f_from, double to, double f_to) {
    constexpr double kToleranceDays = 0.5 / kSecondsPerDay;
    constexpr int kMaxSteps = 40;
    double a = from, fa = f_from, b = to, fb = f_to;
    int kept_side = 0;
    for (int i = 0; i < kMaxSteps && b - a > kToleranceDays; ++i) {
        const double t = fb != fa ? (a * fb - b * fa) / (fb - fa) : (a + b) / 2;
        const double ft = f(t);
        if ((ft < 0) == (fa < 0)) {
            a = t;
            fa = ft;
            if (kept_side == 1) fb /= 2;
            kept_side = 1;
        } else {
            b = t;
            fb = ft;
            if (kept_side == -1) fa /= 2;
            kept_side = -1;
        }
        if (ft == 0) return t;
    }
    return (a + b) / 2;
}

}  // namespace

RiseSet SunRiseSet(const CivilDate& gregorian_date, double longitude_west, double latitude) {
    const double jd = JulianDateOf(gregorian_date);
    const double epoch = JulianDateOf(0, 1, gregorian_date.year);
    const SunPlace sun = SunLongitude(jd, epoch);
    const double lambda1 = sun.longitude;
    const double lambda2 = lambda1 + kSunDailyMotion;

    const double alpha1 = RightAscension(lambda1, 0, epoch);
    const double delta1 = Declination(lambda1, 0, epoch);
    const double alpha2 = RightAscension(lambda2, 0, epoch);
    const double delta2 = Declination(lambda2, 0, epoch);

    const auto track = TrackOf(jd, longitude_west, latitude, alpha1, delta1, alpha2, delta2);
    if (!track) return {};
    const double tr = Interpolate(kSunInterpolation, track->rise1, track->rise2, track->t00);
    const double ts = Interpolate(kSunInterpolation, track->set1, track->set2, track->t00);

    const double e = sun.orbit.eccentricity;
    const double nu = sun.true_anomaly;
    const double distance = 1.495985 * (1 - e * e) / (1 + e * Cos(nu));  // 10⁸ km
    const double parallax = 8.794 / distance / 3600;                     // degrees
    const double semi_diameter = 0.533128 * (1 + e * Cos(nu)) / (1 - e * e) / 2;
    const double lowering = kRefractionDegrees + semi_diameter - parallax;
    return FinishRiseSet(jd, tr, ts, HorizonShift(latitude, (delta1 + delta2) / 2, lowering));
}

double MoonAgeOf(const CivilDate& gregorian_date) {
    return MoonAge(JulianDateOf(gregorian_date) + kMoonStartOffsetDays);
}

RiseSet MoonRiseSetInDay(const CivilDate& gregorian_date, double longitude_west, double latitude,
                         double start_hours, double day_hours) {
    // The moon rises about 50 minutes later each day, so some civil days have no rising
    // or no setting, and positions from one instant drift by hours towards the day's
    // ends. The altitude is therefore followed through the local day itself, hour by hour
    // (the last step shorter on a day of 23.5 or 24.5 hours).
    RiseSet times;
    const double zero_hours = JulianDateOf(gregorian_date);
    const double midnight = zero_hours + start_hours / 24;
    const double end = midnight + day_hours / 24;
    const auto above = [&](double t) {
        return MoonAboveRisingAltitude(t, longitude_west, latitude);
    };
    const int steps = static_cast<int>(std::ceil(day_hours));
    double earlier = above(midnight);
    for (int hour = 0; hour < steps && !(times.rise && times.set); ++hour) {
        const double from = midnight + hour / 24.0;
        const double to = std::min(from + 1 / 24.0, end);
        const double later = above(to);
        const bool rises = earlier < 0 && later >= 0;
        const bool sets = earlier >= 0 && later < 0;
        std::optional<double>& slot = rises ? times.rise : times.set;
        if ((rises || sets) && !slot) {
            const double t = Crossing(above, from, earlier, to, later);
            if (t < end) slot = (t - zero_hours) * 24;
        }
        earlier = later;
    }
    return times;
}

MoonDay MoonRiseSet(const CivilDate& gregorian_date, double longitude_west, double latitude,
                    double zone_hours) {
    MoonDay day;
    day.age = MoonAgeOf(gregorian_date);
    day.times = MoonRiseSetInDay(gregorian_date, longitude_west, latitude, -zone_hours, 24);
    for (std::optional<double>* time : {&day.times.rise, &day.times.set}) {
        if (*time) **time = WrapRange(**time, 24);
    }
    return day;
}

MoonPhase NextMoonPhase(const CivilDate& gregorian_date) {
    const double t0 = JulianDateOf(gregorian_date) + kMoonStartOffsetDays;
    double t = t0;
    double age = MoonAge(t);
    MoonPhase phase;
    phase.new_moon = age >= 180;

    // The elongation is followed unwrapped from the start, so a step that carries the moon
    // past the phase and on into the next half of the lunation still counts as past it
    // rather than as a new start (which would miss a whole lunation). Steps of at most 14
    // days change the age by less than 360 degrees, so the unwrapping is unambiguous.
    double elongation = age;
    const double target = phase.new_moon ? 360 : 180;
    const auto before = [&] { return elongation < target - kPhaseToleranceDegrees; };
    const auto after = [&] { return elongation > target; };
    const auto move = [&](double by) {
        const double next = MoonAge(t += by);
        elongation += by > 0 ? WrapRange(next - age, 360) : -WrapRange(age - next, 360);
        age = next;
    };

    // Forward while before the phase, back while after it, halving the step each way.
    double step = kPhaseFirstStepDays;
    for (int round = 0; (before() || after()) && round < kPhaseMaxRounds; ++round) {
        for (int i = 0; i < kPhaseMaxStepsPerRun && before(); ++i) move(step);
        step /= 2;
        for (int i = 0; i < kPhaseMaxStepsPerRun && after(); ++i) move(-step);
        step /= 2;
    }

    // The moment is read straight from its Julian date (whose day begins at noon), so a
    // phase in the first seconds after midnight stays on its own day.
    const double shifted = t + 0.5;
    const double day_number = std::floor(shifted);
    const auto seconds = static_cast<int>(std::trunc((shifted - day_number) * kSecondsPerDay));
    // Only dates millions of years away overflow a day number; they are clamped, not UB.
    constexpr double kFirstDay = std::numeric_limits<DayNumber>::min();
    constexpr double kLastDay = std::numeric_limits<DayNumber>::max();
    phase.when.date =
        DateOfDayNumber(static_cast<DayNumber>(std::clamp(day_number, kFirstDay, kLastDay)), true);
    phase.when.hour = seconds / 3600;
    phase.when.minute = seconds / 60 % 60;
    phase.when.second = seconds % 60;
    return phase;
}

ClockHm ClockTime(double hours, double zone) {
    const double x = WrapRange(hours + zone, 24);
    if (!std::isfinite(x)) return {};  // callers pass only times that exist
    // Whole milliseconds first, so 12:29:30 given as a decimal fraction is not 12:29:29.999.
    const long long ms = std::llround(x * 3600.0 * 1000.0);
    int h = static_cast<int>(ms / 3600000);
    int m = static_cast<int>(ms / 60000 % 60);
    const int s = static_cast<int>(ms / 1000 % 60);
    if (s >= 30 && ++m == 60) {
        m = 0;
        ++h;
    }
    if (h >= 24) h -= 24;
    return {h, m};
}

}  // namespace yorbel::calendar
