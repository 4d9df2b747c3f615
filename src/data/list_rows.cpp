#include "data/list_rows.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "data/event_rules.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/rule_dates.h"

namespace yorbel::data {

namespace {

std::unordered_set<std::int32_t> ShownGroups(const Table& groups) {
    std::unordered_set<std::int32_t> shown;
    for (int position = 0; position < groups.RecordCount(); ++position) {
        const auto show = OptionalInteger(groups.ValueAt(position, Gp_show));
        const auto number = OptionalInteger(groups.ValueAt(position, Gp_no));
        if (show && *show != 0 && number) shown.insert(*number);
    }
    return shown;
}

bool HasDaysIn(const PeriodRule& period, int year) {
    // A period whose last day comes before its first has no days, as in the year view.
    const auto first = std::tie(period.first.year, period.first.month, period.first.day);
    const auto last = std::tie(period.last.year, period.last.month, period.last.day);
    return period.first.year <= year && period.last.year >= year && first <= last;
}

}  // namespace

EventList ListRowsOf(const Table& events, const Table& groups, int year, bool gregorian) {
    const std::unordered_set<std::int32_t> shown = ShownGroups(groups);
    const JewishBounds jewish = JewishBoundsOf(year, gregorian);
    EventList list;
    std::vector<std::string> dates;
    for (int position = 0; position < events.RecordCount(); ++position) {
        const auto group = OptionalInteger(events.ValueAt(position, Ev_gp_no));
        if (!group || !shown.contains(*group)) continue;
        const Checked<Rule> rule = EventRuleAt(events, position, gregorian);
        if (!rule.ok()) {
            list.skipped.push_back(SkippedEventAt(events, position, rule.fault()));
            continue;
        }
        ListRow row;
        row.ev_no = OptionalInteger(events.ValueAt(position, Ev_no)).value_or(0);
        row.gp_no = *group;
        row.name = TextOrEmpty(events.ValueAt(position, Ev_name));
        if (const auto* period = std::get_if<PeriodRule>(&rule.value())) {
            if (!HasDaysIn(*period, year)) continue;
            row.from = calendar::DateText(period->first);
            row.to = calendar::DateText(period->last);
            list.rows.push_back(std::move(row));
            continue;
        }
        dates.clear();
        RuleDatesIn(rule.value(), year, jewish, gregorian, dates);
        for (std::string& date : dates) {
            list.rows.push_back(row);
            list.rows.back().from = std::move(date);
        }
    }
    SortListRows(list.rows, ListOrder::From);
    return list;
}

void SortListRows(std::vector<ListRow>& rows, ListOrder order) {
    const auto by = [&](auto key) {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const ListRow& a, const ListRow& b) { return key(a) < key(b); });
    };
    switch (order) {
        case ListOrder::From:
            by([](const ListRow& r) -> const std::string& { return r.from; });
            break;
        case ListOrder::To:
            by([](const ListRow& r) -> const std::string& { return r.to; });
            break;
        case ListOrder::Name:
            by([](const ListRow& r) -> const std::string& { return r.name; });
            break;
    }
}

}  // namespace yorbel::data
