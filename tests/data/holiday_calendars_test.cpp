// The shipped public-holiday calendars against a table of the holidays as the law defines
// them, for every year from 2000 to 2040. The table computes its dates on its own: Gauss's
// Easter formula (the core uses another one) and std::chrono for weekdays, so a wrong
// offset, reference day or group in a calendar cannot hide behind the core's arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "data/table.h"
#include "data/table_file.h"

namespace yorbel::data {
namespace {

namespace chr = std::chrono;
using DateOf = std::function<chr::sys_days(int year)>;

const std::filesystem::path kBin = YORBEL_BIN_DIR;
constexpr int kFirstYear = 2000, kLastYear = 2040;

// Easter Sunday by Gauss's formula with its two exceptions.
chr::sys_days GaussEaster(int year) {
    const int a = year % 19, b = year % 4, c = year % 7, k = year / 100;
    const int p = (13 + 8 * k) / 25, q = k / 4;
    const int m = (15 - p + k - q) % 30, n = (4 + k - q) % 7;
    const int d = (19 * a + m) % 30, e = (2 * b + 4 * c + 6 * d + n) % 7;
    if (d == 29 && e == 6) return chr::year{year} / chr::April / 19;
    if (d == 28 && e == 6 && (11 * m + 11) % 30 < 19) return chr::year{year} / chr::April / 18;
    return chr::sys_days{chr::year{year} / chr::March / 22} + chr::days{d + e};
}

DateOf Fixed(unsigned month, unsigned day) {
    return [=](int year) { return chr::sys_days{chr::year{year} / month / day}; };
}
DateOf Easter(int offset) {
    return [=](int year) { return GaussEaster(year) + chr::days{offset}; };
}
// The n-th `weekday` of the month, moved by `offset` days.
DateOf NthWeekday(unsigned month, chr::weekday weekday, unsigned n, int offset) {
    return [=](int year) {
        return chr::sys_days{chr::year{year} / month / weekday[n]} + chr::days{offset};
    };
}
// Repentance Day: the Wednesday before 23 November.
chr::sys_days RepentanceDay(int year) {
    chr::sys_days day = chr::sys_days{chr::year{year} / chr::November / 23} - chr::days{1};
    while (chr::weekday{day} != chr::Wednesday) day -= chr::days{1};
    return day;
}

struct Holiday {
    std::string group;  // name in the German group file
    DateOf date;
    int only_year = 0;  // a one-off holiday: its year; 0 for every year
};

// "yyyymmdd"; the years here all have four digits.
std::string Text(chr::sys_days day) {
    const chr::year_month_day ymd{day};
    return std::to_string(static_cast<int>(ymd.year()) * 10000 +
                          static_cast<int>(static_cast<unsigned>(ymd.month())) * 100 +
                          static_cast<int>(static_cast<unsigned>(ymd.day())));
}

using DatesByGroup = std::map<std::string, std::vector<std::string>>;

DatesByGroup Expected(const std::vector<Holiday>& holidays, int year) {
    DatesByGroup dates;
    for (const Holiday& h : holidays) {
        if (h.only_year == 0 || h.only_year == year) dates[h.group].push_back(Text(h.date(year)));
    }
    for (auto& [group, list] : dates) std::sort(list.begin(), list.end());
    return dates;
}

// The calendar's occurrences, year by year, by the name of their group.
std::map<int, DatesByGroup> Expanded(const std::string& calendar) {
    Table names_table("CdsGroups", {});
    LoadTable(names_table, kBin / kGroupFileGerman);
    std::map<std::int32_t, std::string> group_names;
    for (names_table.First(); !names_table.IsEmpty() && !names_table.Eof(); names_table.Next()) {
        group_names[names_table.AsInteger(names_table.FieldByName("Gp_no"))] =
            names_table.AsText(names_table.FieldByName("Gp_name"));
    }
    const Groups groups(kBin);
    EventTables tables(groups.CdsGroups());
    tables.OpenCalendar(kBin / "examples" / (calendar + ".yrb"));
    std::map<int, DatesByGroup> years;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (const auto& s : GenerateOccurrences(tables, year, true))
            ADD_FAILURE() << calendar << ": " << s.name << ": " << s.reason.what();
        DatesByGroup& dates = years[year];
        Table& ev_dates = tables.CdsEvDates();
        for (ev_dates.First(); !ev_dates.IsEmpty() && !ev_dates.Eof(); ev_dates.Next()) {
            const std::int32_t group = ev_dates.AsInteger(Ed_gp_no);
            const std::string name =
                group_names.contains(group) ? group_names.at(group) : std::to_string(group);
            dates[name].push_back(ev_dates.AsText(Ed_date));
        }
        for (auto& [group, list] : dates) std::sort(list.begin(), list.end());
    }
    return years;
}

std::string Joined(const std::vector<std::string>& dates) {
    std::string text;
    for (const auto& date : dates) text += " " + date;
    return text;
}

// The groups whose dates differ, each with the table's dates and the calendar's.
std::string Differences(const DatesByGroup& expected, const DatesByGroup& actual) {
    std::set<std::string> groups;
    for (const auto& [group, list] : expected) groups.insert(group);
    for (const auto& [group, list] : actual) groups.insert(group);
    std::ostringstream out;
    const std::vector<std::string> none;
    for (const auto& group : groups) {
        const auto& want = expected.contains(group) ? expected.at(group) : none;
        const auto& have = actual.contains(group) ? actual.at(group) : none;
        if (want != have) {
            out << "\n  " << group << ": law" << Joined(want) << "; calendar" << Joined(have);
        }
    }
    return out.str();
}

// Every year's dates per group equal the table's; the anchors are dates from published
// calendars, so the table itself is pinned down too.
void ExpectMatchesTheLaw(const std::string& calendar, const std::vector<Holiday>& holidays,
                         const std::vector<std::pair<std::string, std::string>>& anchors) {
    const auto years = Expanded(calendar);
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        const DatesByGroup expected = Expected(holidays, year);
        EXPECT_TRUE(years.at(year) == expected)
            << calendar << " " << year << Differences(expected, years.at(year));
    }
    for (const auto& [group, date] : anchors) {
        const int year = std::stoi(date.substr(0, 4));
        const auto& list = years.at(year).at(group);
        EXPECT_NE(std::find(list.begin(), list.end(), date), list.end()) << group << " " << date;
    }
}

std::vector<Holiday> In(const std::vector<std::string>& groups, const DateOf& date) {
    std::vector<Holiday> holidays;
    for (const auto& group : groups) holidays.push_back({group, date});
    return holidays;
}

void Add(std::vector<Holiday>& to, const std::vector<Holiday>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST(HolidayCalendars, GermanyByStateFollowsTheLaw) {
    const std::string de = "Deutschland";
    std::vector<Holiday> h = {
        {de, Fixed(1, 1)},
        {de, Easter(-2)},
        {de, Easter(1)},
        {de, Fixed(5, 1)},
        {de, Easter(39)},
        {de, Easter(50)},
        {de, Fixed(10, 3)},
        {de, Fixed(12, 25)},
        {de, Fixed(12, 26)},
        {de, Fixed(10, 31), 2017},  // 500 years of the Reformation
        {"Berlin", Fixed(5, 8), 2020},
        {"Berlin", Fixed(5, 8), 2025},
        {"Sachsen", RepentanceDay},
    };
    Add(h, In({"Baden-Württemberg", "Bayern", "Sachsen-Anhalt"}, Fixed(1, 6)));
    Add(h, In({"Brandenburg"}, Easter(0)));
    Add(h, In({"Brandenburg"}, Easter(49)));
    Add(h, In({"Baden-Württemberg", "Bayern", "Hessen", "Nordrhein-Westfalen", "Rheinland-Pfalz",
               "Saarland"},
              Easter(60)));
    Add(h, In({"Saarland"}, Fixed(8, 15)));
    Add(h, In({"Brandenburg", "Mecklenburg-Vorpommern", "Sachsen", "Sachsen-Anhalt", "Thüringen"},
              Fixed(10, 31)));
    Add(h, In({"Baden-Württemberg", "Bayern", "Nordrhein-Westfalen", "Rheinland-Pfalz", "Saarland"},
              Fixed(11, 1)));
    ExpectMatchesTheLaw("Feiertage_Deutschland_Laender", h,
                        {{"Bayern", "20240530"},
                         {"Sachsen", "20241120"},
                         {"Sachsen", "20231122"},
                         {de, "20250421"},
                         {de, "20000421"},
                         {de, "20171031"},
                         {"Brandenburg", "20380425"}});
}

TEST(HolidayCalendars, AustriaFollowsTheLaw) {
    std::vector<Holiday> h;
    for (const DateOf& date :
         {Fixed(1, 1), Fixed(1, 6), Easter(1), Fixed(5, 1), Easter(39), Easter(50), Easter(60),
          Fixed(8, 15), Fixed(10, 26), Fixed(11, 1), Fixed(12, 8), Fixed(12, 25), Fixed(12, 26)}) {
        h.push_back({"Österreich", date});
    }
    ExpectMatchesTheLaw("Feiertage_Oesterreich", h,
                        {{"Österreich", "20240520"}, {"Österreich", "20190620"}});
}

TEST(HolidayCalendars, SwitzerlandByCantonFollowsTheLaw) {
    const std::string ch = "Schweiz";
    std::vector<Holiday> h = {
        {ch, Fixed(1, 1)}, {ch, Easter(39)}, {ch, Fixed(8, 1)}, {ch, Fixed(12, 25)}};
    // Each canton's own holidays, by the short names below.
    const std::map<std::string, DateOf> kinds = {
        {"Berchtold", Fixed(1, 2)},
        {"Epiphany", Fixed(1, 6)},
        {"Joseph", Fixed(3, 19)},
        {"GoodFriday", Easter(-2)},
        {"EasterMonday", Easter(1)},
        {"Labour", Fixed(5, 1)},
        {"WhitMonday", Easter(50)},
        {"CorpusChristi", Easter(60)},
        {"Assumption", Fixed(8, 15)},
        {"AllSaints", Fixed(11, 1)},
        {"Immaculate", Fixed(12, 8)},
        {"Stephen", Fixed(12, 26)},
        {"Republic1March", Fixed(3, 1)},
        {"Plebiscite", Fixed(6, 23)},
        {"PeterPaul", Fixed(6, 29)},
        {"GenevaFast", NthWeekday(9, chr::Sunday, 1, 4)},  // Thursday after 1st Sunday
        {"BrotherKlaus", Fixed(9, 25)},
        {"FastMonday", NthWeekday(9, chr::Sunday, 3, 1)},  // Monday after 3rd Sunday
        {"Restoration", Fixed(12, 31)},
    };
    const std::string easter_days = "GoodFriday EasterMonday WhitMonday ";
    const std::string catholic =
        "GoodFriday EasterMonday WhitMonday CorpusChristi Assumption AllSaints Immaculate "
        "Stephen";
    const std::map<std::string, std::string> cantons = {
        {"Aargau", easter_days + "Stephen"},
        {"Appenzell Ausserrhoden", easter_days + "Stephen"},
        {"Appenzell Innerrhoden", catholic},
        {"Basel-Landschaft", easter_days + "Labour Stephen"},
        {"Basel-Stadt", easter_days + "Labour Stephen"},
        {"Bern", easter_days + "Berchtold Stephen"},
        {"Freiburg", easter_days},
        {"Genf", easter_days + "GenevaFast Restoration"},
        {"Glarus", easter_days + "AllSaints Stephen"},
        {"Graubünden", easter_days + "Stephen"},
        {"Jura", easter_days + "Berchtold Labour CorpusChristi Plebiscite Assumption AllSaints "
                               "Stephen"},
        {"Luzern", catholic},
        {"Neuenburg", "Republic1March GoodFriday Labour"},
        {"Nidwalden", catholic + " Joseph"},
        {"Obwalden", catholic + " BrotherKlaus"},
        {"St. Gallen", easter_days + "AllSaints Stephen"},
        {"Schaffhausen", easter_days + "Labour Stephen"},
        {"Schwyz", catholic + " Epiphany Joseph"},
        {"Solothurn", easter_days + "Stephen"},
        {"Tessin",
         "Epiphany Joseph EasterMonday Labour WhitMonday CorpusChristi PeterPaul "
         "Assumption AllSaints Immaculate Stephen"},
        {"Thurgau", easter_days + "Berchtold Labour Stephen"},
        {"Uri", catholic + " Epiphany Joseph"},
        {"Waadt", easter_days + "Berchtold FastMonday"},
        {"Wallis", "Joseph CorpusChristi Assumption AllSaints Immaculate"},
        {"Zug", catholic},
        {"Zürich", easter_days + "Labour Stephen"},
    };
    for (const auto& [canton, list] : cantons) {
        std::istringstream words(list);
        for (std::string kind; words >> kind;) h.push_back({canton, kinds.at(kind)});
    }
    ExpectMatchesTheLaw("Feiertage_Schweiz", h,
                        {{"Genf", "20250911"},
                         {"Genf", "20240905"},
                         {"Waadt", "20250922"},
                         {"Waadt", "20240916"},
                         {"Zürich", "20250421"},
                         {ch, "20250529"}});
}

}  // namespace
}  // namespace yorbel::data
