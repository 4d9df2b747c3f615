#include "data/event_value.h"

#include "data/events.h"
#include "data/index_names.h"

namespace yorbel::data {

namespace {

std::string TextOr(const Value& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

std::optional<std::int32_t> IntegerOf(const Value& value) {
    const auto* number = std::get_if<std::int32_t>(&value);
    return number ? std::optional<std::int32_t>(*number) : std::nullopt;
}

}  // namespace

std::optional<EventValue> EventOfKey(const Table& events, std::int32_t ev_no) {
    // A walk over the positions: no index lookup, so the cursor stays untouched.
    for (int position = 0; position < events.RecordCount(); ++position) {
        if (IntegerOf(events.ValueAt(position, Ev_no)) != ev_no) continue;
        const auto at = [&](FieldNo field) { return events.ValueAt(position, field); };
        EventValue event;
        event.name = TextOr(at(Ev_name));
        event.group = IntegerOf(at(Ev_gp_no));
        event.rule.type = IntegerOf(at(Ev_Type)).value_or(0);
        event.rule.repeat = IntegerOf(at(Ev_repeat)).value_or(0);
        event.rule.from = TextOr(at(Ev_from));
        if (const Value to = at(Ev_to); !IsNullValue(to)) event.rule.to = TextOr(to);
        return event;
    }
    return std::nullopt;
}

bool StoreEvent(Table& events, std::optional<std::int32_t> ev_no, const EventEdit& edit) {
    if (ev_no) {
        events.SetCurrentIndex(kIxEvNo);
        if (!events.GoToKey(Value{*ev_no})) return false;
        events.Edit();
    } else {
        events.Append();
    }
    try {
        events.SetText(Ev_name, edit.name);
        if (edit.group) {
            events.SetInteger(Ev_gp_no, *edit.group);
        } else if (!ev_no) {
            events.SetNull(Ev_gp_no);
        }
        if (edit.rule) {
            const RuleTexts texts = EncodeRule(*edit.rule);
            events.SetInteger(Ev_Type, texts.type);
            events.SetInteger(Ev_repeat, texts.repeat);
            events.SetText(Ev_from, texts.from);
            if (texts.to) events.SetText(Ev_to, *texts.to);
        }
        events.Post();
    } catch (const Error&) {
        events.Cancel();
        throw;
    }
    return true;
}

}  // namespace yorbel::data
