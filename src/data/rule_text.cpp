#include "data/rule_text.h"

#include <cstdio>

#include "data/events.h"

namespace yorbel::data {

namespace {

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string DayMonthText(const DayMonth& date) {
    return calendar::DateText(calendar::CivilDate{date.day, date.month, date.year});
}

struct Encode {
    RuleTexts operator()(const PeriodRule& r) const {
        return {1, RepeatNone, calendar::DateText(r.first), calendar::DateText(r.last)};
    }
    RuleTexts operator()(const OnceRule& r) const {
        return {0, RepeatNone, calendar::DateText(r.date), std::nullopt};
    }
    RuleTexts operator()(const YearlyRule& r) const {
        return {0, RepeatYearly, DayMonthText(r.date), std::nullopt};
    }
    RuleTexts operator()(const WeekOfMonthRule& r) const {
        return {0, RepeatWeekOfMonth,
                TwoDigits(r.weekday) + TwoDigits(r.count) + TwoDigits(r.month), std::nullopt};
    }
    RuleTexts operator()(const EasterRule& r) const {
        return {0, RepeatEaster, std::to_string(r.offset), std::nullopt};
    }
    RuleTexts operator()(const AdventRule& r) const {
        return {0, RepeatAdvent, std::to_string(r.count), std::nullopt};
    }
    RuleTexts operator()(const NearDateRule& r) const {
        return {0, RepeatNearDate,
                TwoDigits(r.weekday) + TwoDigits(r.count) + (r.after ? "01" : "00"),
                DayMonthText(r.reference)};
    }
    RuleTexts operator()(const JewishRule& r) const {
        return {0, RepeatJewish, TwoDigits(r.month) + TwoDigits(r.day), std::nullopt};
    }
};

}  // namespace

RuleTexts EncodeRule(const Rule& rule) {
    return std::visit(Encode{}, rule);
}

}  // namespace yorbel::data
