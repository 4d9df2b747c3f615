// The stored texts of an event's rule, written from a Rule value: the inverse of
// ParseRule (data/rule_dates.h) for the texts it reads.
#pragma once

#include <optional>
#include <string>

#include "data/rule_dates.h"

namespace yorbel::data {

// Ev_Type, Ev_repeat, Ev_from and Ev_to of one rule.
struct RuleTexts {
    int type = 0;
    int repeat = 0;
    std::string from;
    std::optional<std::string> to;  // only periods and near-date rules use Ev_to
    friend bool operator==(const RuleTexts&, const RuleTexts&) = default;
};

// The texts ParseRule reads back as the same rule. A period is written with repeat 0,
// which a period ignores.
RuleTexts EncodeRule(const Rule& rule);

}  // namespace yorbel::data
