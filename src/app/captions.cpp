#include "app/captions.h"

#include <algorithm>

namespace yorbel::app {
namespace {

struct FieldCaption {
    std::string_view stored_name;
    LanguageKey caption;
};

// The event editor's and group editor's labels; the event list's columns for the dates,
// which are plainer than the editor's "From/on".
constexpr FieldCaption kFieldCaptions[] = {
    {"Ev_name", {"FrmEvent", "Label1"}},     {"Ev_Type", {"FrmEvent", "rbType"}},
    {"Ev_repeat", {"FrmEvent", "Label3"}},   {"Ev_from", {"FrmList", "dbgList_Col_0"}},
    {"Ev_to", {"FrmList", "dbgList_Col_1"}}, {"Ev_gp_no", {"FrmEvent", "Label2"}},
    {"Gp_name", {"FrmGroup", "Label1"}},     {"Gp_color", {"FrmGroup", "Label2"}},
    {"Gp_free", {"FrmGroup", "cbFrei"}},     {"Gp_show", {"FrmGroup", "cbZeigen"}},
    {"CdsEvents", {"FrmEvent", "Caption"}},  {"CdsGroups", {"FrmGroup", "Caption"}},
};

// A setting's place: the options page (none for the boxes below the pages), and the one
// or two captions that name its box.
struct SettingPlace {
    std::string_view stored_name;
    LanguageKey page = {};
    LanguageKey box = {};
    LanguageKey part = {};
};

constexpr LanguageKey kCalendarPage{"FrmOptions", "TabSheet1"};
constexpr LanguageKey kPlacePage{"FrmOptions", "TabSheet4"};
constexpr LanguageKey kDisplayPage{"FrmOptions", "TabSheet3"};
constexpr LanguageKey kText{"FrmOptions", "Label2"};
constexpr LanguageKey kBackground{"FrmOptions", "Label3"};
constexpr LanguageKey kLatitude{"FrmOptions", "Label4"};
constexpr LanguageKey kLongitude{"FrmOptions", "Label5"};
constexpr LanguageKey kZone{"FrmOptions", "Label6"};
constexpr LanguageKey kFont{"FrmOptions", "GroupBox2"};

constexpr SettingPlace kSettingPlaces[] = {
    {"Kw1", kCalendarPage, {"FrmOptions", "rgWkStart"}},
    {"Wt1", kCalendarPage, {"FrmOptions", "rgFirstWkDay"}},
    {"greg", kCalendarPage, {"FrmOptions", "rgCalType"}},
    {"Language", kCalendarPage, {"FrmOptions", "rgLang"}},
    {"VFarbeSonntag", kDisplayPage, {"FrmOptions", "Label1"}, kText},
    {"HFarbeSonntag", kDisplayPage, {"FrmOptions", "Label1"}, kBackground},
    {"VFarbeWochen", kDisplayPage, {"FrmOptions", "Label16"}, kText},
    {"HFarbeWochen", kDisplayPage, {"FrmOptions", "Label16"}, kBackground},
    {"VFarbeMark", kDisplayPage, {"FrmOptions", "Label17"}, kText},
    {"HFarbeMark", kDisplayPage, {"FrmOptions", "Label17"}, kBackground},
    {"YearFontName", kDisplayPage, kFont},
    {"YearFontSize", kDisplayPage, kFont},
    {"AdaptToFont", kDisplayPage, {"FrmOptions", "CbAdaptToFont"}},
    {"LatD", kPlacePage, kLatitude},
    {"LatM", kPlacePage, kLatitude},
    {"LatS", kPlacePage, kLatitude},
    {"North", kPlacePage, kLatitude},
    {"LongD", kPlacePage, kLongitude},
    {"LongM", kPlacePage, kLongitude},
    {"LongS", kPlacePage, kLongitude},
    {"West", kPlacePage, kLongitude},
    {"Zone", kPlacePage, kZone},
    {"ZoneName", kPlacePage, kZone},
    {"Country", kPlacePage, {"FrmOptions", "Label15"}},
    {"City", kPlacePage, {"FrmOptions", "Label14"}},
    {"CustomPos", kPlacePage, {"FrmOptions", "cbCustom"}},
    {"OpenLastActive", {}, {"FrmOptions", "cbOpenLastActive"}},
    {"DayViewOpen", {}, {"FrmOptions", "cbDayViewOpen"}},
};

// A label's text as a name: without the colon or dots that lead to its box.
std::string Caption(const LanguageFile& language, const LanguageKey& key) {
    std::string_view text = language.Text(key.section, key.key);
    while (!text.empty() && (text.back() == ':' || text.back() == '.' || text.back() == ' '))
        text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

std::string CaptionOf(const LanguageFile& language, std::string_view stored_name) {
    for (const FieldCaption& f : kFieldCaptions) {
        if (f.stored_name == stored_name && language.Has(f.caption.section, f.caption.key))
            return Caption(language, f.caption);
    }
    return std::string(stored_name);
}

std::vector<std::string> SettingCaptions(const LanguageFile& language,
                                         std::span<const std::string> stored_names) {
    std::vector<std::string> places;
    for (const std::string& name : stored_names) {
        const auto place = std::ranges::find(kSettingPlaces, name, &SettingPlace::stored_name);
        std::string caption;
        if (place == std::end(kSettingPlaces)) {
            caption = name;  // a setting the dialog does not offer
        } else {
            if (!place->page.key.empty()) caption = Caption(language, place->page) + " \u203A ";
            caption += Caption(language, place->box);
            if (!place->part.key.empty()) caption += " " + Caption(language, place->part);
        }
        if (std::ranges::find(places, caption) == places.end()) places.push_back(caption);
    }
    return places;
}

std::vector<LanguageKey> CaptionKeys() {
    std::vector<LanguageKey> keys;
    for (const FieldCaption& f : kFieldCaptions) keys.push_back(f.caption);
    for (const SettingPlace& p : kSettingPlaces) {
        for (const LanguageKey& key : {p.page, p.box, p.part}) {
            if (!key.key.empty()) keys.push_back(key);
        }
    }
    return keys;
}

}  // namespace yorbel::app
