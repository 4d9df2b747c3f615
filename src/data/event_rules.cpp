#include "data/event_rules.h"

#include "data/events.h"

namespace yorbel::data {

std::optional<std::int32_t> OptionalInteger(const Value& value) {
    if (const auto* i = std::get_if<std::int32_t>(&value)) return *i;
    return std::nullopt;
}

std::string TextOrEmpty(Value value) {
    auto* text = std::get_if<std::string>(&value);
    return text ? std::move(*text) : std::string();
}

Checked<Rule> EventRuleAt(const Table& events, int position, bool gregorian) {
    const auto text = [&](FieldNo f) { return TextOrEmpty(events.ValueAt(position, f)); };
    const std::int32_t type = OptionalInteger(events.ValueAt(position, Ev_Type)).value_or(0);
    const std::int32_t repeat = OptionalInteger(events.ValueAt(position, Ev_repeat)).value_or(0);
    // Ev_to means something only for periods and near-date rules.
    const bool uses_to = type != 0 || repeat == RepeatNearDate;
    return ParseRule(type, repeat, text(Ev_from), uses_to ? text(Ev_to) : std::string(), gregorian);
}

SkippedEvent SkippedEventAt(const Table& events, int position, Error reason) {
    return {OptionalInteger(events.ValueAt(position, Ev_no)).value_or(0),
            TextOrEmpty(events.ValueAt(position, Ev_name)), std::move(reason)};
}

}  // namespace yorbel::data
