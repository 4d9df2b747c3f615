// A calendar of mixed events for the benchmarks of the core: every rule kind, spread
// around one year, in groups of which some are hidden.
#pragma once

#include <random>
#include <string>

#include "calendar/dates.h"
#include "data/events.h"
#include "data/groups.h"

namespace yorbel::bench {

using namespace yorbel::data;

inline constexpr int kYear = 2026;
inline constexpr int kGroups = 20;

// Two decimal digits, 0–99.
inline std::string Two(int v) {
    return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

// A calendar of `count` events of every rule kind, spread over the year, in 20 groups of
// which every fourth is hidden. Periods last 1 to 30 days.
struct Calendar {
    Groups groups{"/nonexistent-folder"};
    EventTables tables{groups.CdsGroups()};

    explicit Calendar(int count) {
        Table& g = groups.CdsGroups();
        for (int i = 0; i < kGroups; ++i) {
            g.Append();
            g.SetText(Gp_name, "Group " + std::to_string(i));
            g.SetInteger(Gp_color, i * 0x0A0B0C);
            g.SetInteger(Gp_show, i % 4 == 3 ? 0 : 1);
            g.Post();
        }
        std::mt19937 random(7);
        auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(random);
        };
        Table& e = tables.CdsEvents();
        for (int i = 0; i < count; ++i) {
            const calendar::CivilDate day =
                calendar::DateOfDayOfYear(pick(1, 365), kYear + pick(-1, 1), true);
            const std::string date = calendar::DateText(day);
            int type = 0, repeat = 0;
            std::string from, to;
            switch (i % 8) {
                case 0: {
                    type = 1;
                    from = date;
                    const auto n = calendar::DayNumberOf(day, true) + pick(0, 29);
                    to = calendar::DateText(calendar::DateOfDayNumber(n, true));
                    break;
                }
                case 1:
                    repeat = RepeatNone;
                    from = date;
                    break;
                case 2:
                    repeat = RepeatYearly;
                    from = date;
                    break;
                case 3:
                    repeat = RepeatWeekOfMonth;
                    from = Two(pick(0, 6)) + Two(pick(1, 5)) + Two(pick(1, 12));
                    break;
                case 4:
                    repeat = RepeatEaster;
                    from = std::to_string(pick(-60, 60));
                    break;
                case 5:
                    repeat = RepeatAdvent;
                    from = std::to_string(pick(0, 40));
                    break;
                case 6:
                    repeat = RepeatNearDate;
                    from = Two(pick(0, 6)) + Two(pick(1, 5)) + (pick(0, 1) ? "01" : "00");
                    to = date;
                    break;
                default:
                    repeat = RepeatJewish;
                    from = Two(pick(1, 12)) + Two(pick(1, 30));
                    break;
            }
            e.Append();
            e.SetText(Ev_name, "Event " + std::to_string(i));
            e.SetInteger(Ev_Type, type);
            e.SetInteger(Ev_repeat, repeat);
            e.SetText(Ev_from, from);
            if (!to.empty()) e.SetText(Ev_to, to);
            e.SetInteger(Ev_gp_no, pick(1, kGroups));
            e.Post();
        }
    }
};

}  // namespace yorbel::bench
