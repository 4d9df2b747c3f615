#include "data/day_count.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "data/event_rules.h"
#include "data/events.h"

namespace yorbel::data {

using calendar::CivilDate;
using calendar::DayNumber;
using calendar::DayNumberOf;

namespace {

// Marks stretches of days in the range; a day is an event date when any stretch covers
// it. Stretches are kept as starts and ends, so a long period costs no more than a day.
class DayMarks {
  public:
    DayMarks(DayNumber first, DayNumber last)
        : first_(first), change_(static_cast<std::size_t>(last - first) + 2, 0) {}

    // Both days included and within the range.
    void Mark(DayNumber from, DayNumber to) {
        ++change_[static_cast<std::size_t>(from - first_)];
        --change_[static_cast<std::size_t>(to - first_) + 1];
    }

    // The marked days by Sunday-based weekday; `first_weekday` is that of the range's
    // first day.
    std::array<int, 7> CountByWeekday(int first_weekday) const {
        std::array<int, 7> counts{};
        int cover = 0;
        int weekday = first_weekday;
        for (std::size_t i = 0; i + 1 < change_.size(); ++i) {
            cover += change_[i];
            if (cover > 0) ++counts[static_cast<std::size_t>(weekday)];
            weekday = weekday == 6 ? 0 : weekday + 1;
        }
        return counts;
    }

  private:
    DayNumber first_;
    std::vector<int> change_;
};

// The day numbers of the date texts of one year. The count reads a text for every rule in
// every year of the range, so the month starts are looked up rather than each text being
// parsed and converted in full.
class YearDays {
  public:
    YearDays(int year, DayNumber first_day, bool gregorian)
        : year_digits_(calendar::DateText(CivilDate{1, 1, year}).substr(0, 4)) {
        DayNumber start = first_day;
        for (int month = 1; month <= 12; ++month) {
            month_start_[static_cast<std::size_t>(month)] = start;
            month_length_[static_cast<std::size_t>(month)] =
                calendar::DaysInMonth(year, month, gregorian);
            start += month_length_[static_cast<std::size_t>(month)];
        }
    }

    // None for a text that is no date of the year.
    std::optional<DayNumber> Of(std::string_view text) const {
        if (text.size() != 8 || text.substr(0, 4) != year_digits_) return std::nullopt;
        const auto two = [&](std::size_t at) {
            const int tens = text[at] - '0';
            const int ones = text[at + 1] - '0';
            return tens >= 0 && tens <= 9 && ones >= 0 && ones <= 9 ? tens * 10 + ones : -1;
        };
        const int month = two(4);
        const int day = two(6);
        if (month < 1 || month > 12 || day < 1 ||
            day > month_length_[static_cast<std::size_t>(month)])
            return std::nullopt;
        return month_start_[static_cast<std::size_t>(month)] + day - 1;
    }

  private:
    std::string year_digits_;
    std::array<DayNumber, 13> month_start_{};  // by month 1–12
    std::array<int, 13> month_length_{};
};

int WeekdaysCounted(int total, int first_weekday, const std::array<bool, 7>& skipped) {
    const int counted_per_week =
        static_cast<int>(std::count(skipped.begin(), skipped.end(), false));
    int count = total / 7 * counted_per_week;
    for (int i = total / 7 * 7; i < total; ++i)
        count += skipped[static_cast<std::size_t>((first_weekday + i) % 7)] ? 0 : 1;
    return count;
}

int Combined(const DayCount& c, const DayCountRequest& request) {
    int on_skipped = 0;
    int on_counted = 0;
    for (std::size_t d = 0; d < 7; ++d)
        (request.skipped_weekdays[d] ? on_skipped : on_counted) += c.event_days[d];
    switch (request.mode) {
        case CountMode::Or:
            return c.weekdays + on_skipped;
        case CountMode::And:
            return on_counted;
        case CountMode::AndNot:
            return c.weekdays - on_counted;
    }
    return 0;
}

}  // namespace

Checked<DayCount> CountDays(const Table& events, const DayCountRequest& request) {
    const bool g = request.gregorian;
    for (const CivilDate& d : {request.from, request.to}) {
        if (!calendar::IsValidDate(d, g))
            return Error(CoreError("CountBadDate"), {calendar::DateText(d)});
    }
    const DayNumber first = DayNumberOf(request.from, g);
    const DayNumber last = DayNumberOf(request.to, g);
    if (first > last) {
        return Error(CoreError("CountFromAfterTo"),
                     {calendar::DateText(request.from), calendar::DateText(request.to)});
    }

    DayCount count;
    count.total = last - first + 1;
    const int first_weekday = calendar::NumberOf(calendar::WeekdayOf(request.from, g));
    count.weekdays = WeekdaysCounted(count.total, first_weekday, request.skipped_weekdays);

    // Each counted event's rule is read once; periods are marked at once, the other rules
    // are placed year by year below.
    DayMarks marks(first, last);
    std::vector<Rule> yearly_rules;
    const auto& skipped_groups = request.skipped_groups;
    for (int position = 0; position < events.RecordCount(); ++position) {
        const auto group = OptionalInteger(events.ValueAt(position, Ev_gp_no));
        if (group &&
            std::find(skipped_groups.begin(), skipped_groups.end(), *group) != skipped_groups.end())
            continue;
        Checked<Rule> rule = EventRuleAt(events, position, g);
        if (!rule.ok()) {
            count.skipped.push_back(SkippedEventAt(events, position, rule.fault()));
        } else if (const auto* period = std::get_if<PeriodRule>(&rule.value())) {
            const DayNumber from = std::max(first, DayNumberOf(period->first, g));
            const DayNumber to = std::min(last, DayNumberOf(period->last, g));
            if (from <= to) marks.Mark(from, to);
        } else {
            yearly_rules.push_back(rule.value());
        }
    }

    // A date counts within the year whose rules gave it, as the year view shows it: an
    // Easter offset that leaves its year belongs to no year's view.
    std::vector<std::string> dates;
    for (int year = request.from.year; year <= request.to.year && !yearly_rules.empty(); ++year) {
        const JewishBounds jewish = JewishBoundsOf(year, g);
        const YearDays days(year, jewish.first_day, g);
        for (const Rule& rule : yearly_rules) {
            dates.clear();
            RuleDatesIn(rule, year, jewish, g, dates);
            for (const std::string& text : dates) {
                const auto n = days.Of(text);
                if (n && *n >= first && *n <= last) marks.Mark(*n, *n);
            }
        }
    }
    count.event_days = marks.CountByWeekday(first_weekday);
    count.combined = Combined(count, request);
    return count;
}

}  // namespace yorbel::data
