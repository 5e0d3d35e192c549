#include "text/holidays.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "text/errors.h"
#include "text/utf8.h"

namespace kivo {

void PrintTo(const Date& d, std::ostream* os);

namespace {

// A holiday in the published tables: its name in each, empty where a table does not cover it.
struct Published {
    std::string cabinetOffice;
    std::string holidayJp;
};

std::map<Date, Published> readPublishedTable() {
    std::ifstream in(KIVO_HOLIDAYS_TABLE);
    std::map<Date, Published> table;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.starts_with("date,")) continue;
        const std::size_t first = line.find(',');
        const std::size_t second = line.find(',', first + 1);
        const Date d{std::stoi(line.substr(0, 4)), std::stoi(line.substr(5, 2)),
                     std::stoi(line.substr(8, 2))};
        table[d] = {line.substr(first + 1, second - first - 1), line.substr(second + 1)};
    }
    return table;
}

// The tables name some days otherwise: both call the days off "休日" (holiday_jp names a
// substitute "<holiday> 振替休日"), and they shorten the one-off days.
bool sameName(const std::string& ours, const std::string& theirs) {
    if (theirs.empty() || theirs == ours) return true;
    if (theirs == "休日") return ours == "振替休日" || ours == "国民の休日";
    if (theirs.ends_with(" 振替休日")) return ours == "振替休日";
    if (theirs == "休日（祝日扱い）") return ours == "即位の日" || ours == "即位礼正殿の儀";
    if (theirs == "体育の日（スポーツの日）") return ours == "体育の日";
    return ours.ends_with(theirs);  // 結婚の儀, 大喪の礼
}

TEST(Holidays, AgreeWithThePublishedTablesFrom1955To2030) {
    const auto table = readPublishedTable();
    ASSERT_GT(table.size(), 1000u);
    int holidays = 0;
    for (Date d{1955, 1, 1}; d <= Date{2030, 12, 31}; d = addDays(d, 1)) {
        const auto name = holidayName(d);
        const auto published = table.find(d);
        ASSERT_EQ(name.has_value(), published != table.end()) << testing::PrintToString(d);
        if (!name) continue;
        ++holidays;
        const std::string ours = utf8::encode(*name);
        EXPECT_TRUE(sameName(ours, published->second.cabinetOffice))
            << testing::PrintToString(d) << ' ' << ours;
        EXPECT_TRUE(sameName(ours, published->second.holidayJp)) << testing::PrintToString(d) << ' ' << ours;
    }
    EXPECT_EQ(static_cast<std::size_t>(holidays), table.size());
}

TEST(Holidays, ChangesOfTheLaw) {
    struct Case {
        Date date;
        std::u16string_view name;  // empty: no holiday
    };
    const Case cases[] = {
        // 建国記念の日, 敬老の日 and 体育の日 from 1966/67; 海の日 from 1996; 山の日 from 2016.
        {{1966, 2, 11}, u""},
        {{1967, 2, 11}, u"建国記念の日"},
        {{1965, 9, 15}, u""},
        {{1966, 9, 15}, u"敬老の日"},
        {{1966, 10, 10}, u"体育の日"},
        {{1995, 7, 20}, u""},
        {{1996, 7, 20}, u"海の日"},
        {{2015, 8, 11}, u""},
        {{2016, 8, 11}, u"山の日"},
        // 振替休日 from 1973/4/12: not for 1973/2/11, a Sunday before it.
        {{1973, 2, 12}, u""},
        {{1973, 4, 30}, u"振替休日"},
        // Until 2006 only the next day; from 2007 the first day that is no holiday.
        {{1998, 5, 4}, u"振替休日"},
        {{2008, 5, 6}, u"振替休日"},
        {{2009, 5, 6}, u"振替休日"},
        {{2007, 4, 30}, u"振替休日"},
        // 国民の休日 from 1985/12/27: 5/4 until 2006, the Tuesdays of September since 2009.
        {{1985, 5, 4}, u""},
        {{1988, 5, 4}, u"国民の休日"},
        {{1987, 5, 4}, u"振替休日"},
        {{2009, 9, 22}, u"国民の休日"},
        {{2015, 9, 22}, u"国民の休日"},
        {{2026, 9, 22}, u"国民の休日"},
        // Happy Monday from 2000 and 2003.
        {{1999, 1, 15}, u"成人の日"},
        {{2000, 1, 15}, u""},
        {{2000, 1, 10}, u"成人の日"},
        {{2002, 9, 16}, u"振替休日"},
        {{2003, 9, 15}, u"敬老の日"},
        {{2003, 7, 21}, u"海の日"},
        // 4/29 and 5/4 over the years.
        {{1988, 4, 29}, u"天皇誕生日"},
        {{1989, 4, 29}, u"みどりの日"},
        {{2007, 4, 29}, u"昭和の日"},
        {{2007, 5, 4}, u"みどりの日"},
        // 天皇誕生日: 12/23 until 2018, none in 2019, 2/23 from 2020.
        {{2018, 12, 23}, u"天皇誕生日"},
        {{2018, 12, 24}, u"振替休日"},
        {{2019, 12, 23}, u""},
        {{2020, 2, 23}, u"天皇誕生日"},
        {{2020, 2, 24}, u"振替休日"},
        // The ten days of 2019 and the enthronement ceremony.
        {{2019, 4, 30}, u"国民の休日"},
        {{2019, 5, 1}, u"即位の日"},
        {{2019, 5, 2}, u"国民の休日"},
        {{2019, 5, 6}, u"振替休日"},
        {{2019, 10, 22}, u"即位礼正殿の儀"},
        {{2019, 10, 14}, u"体育の日"},
        // The Olympic Games moved three holidays in 2020 and 2021.
        {{2020, 7, 20}, u""},
        {{2020, 7, 23}, u"海の日"},
        {{2020, 7, 24}, u"スポーツの日"},
        {{2020, 8, 10}, u"山の日"},
        {{2020, 8, 11}, u""},
        {{2020, 10, 12}, u""},
        {{2021, 7, 19}, u""},
        {{2021, 7, 22}, u"海の日"},
        {{2021, 7, 23}, u"スポーツの日"},
        {{2021, 8, 8}, u"山の日"},
        {{2021, 8, 9}, u"振替休日"},
        {{2021, 10, 11}, u""},
        {{2022, 10, 10}, u"スポーツの日"},
        // One-off days.
        {{1959, 4, 10}, u"皇太子明仁親王の結婚の儀"},
        {{1989, 2, 24}, u"昭和天皇の大喪の礼"},
        {{1990, 11, 12}, u"即位礼正殿の儀"},
        {{1993, 6, 9}, u"皇太子徳仁親王の結婚の儀"},
        // The equinoxes at the ends of the formula's range, and the ends of the known years.
        {{2099, 3, 20}, u"春分の日"},
        {{2099, 9, 23}, u"秋分の日"},
        {{1954, 1, 1}, u""},
        {{2100, 1, 1}, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(holidayName(c.date).value_or(u""), c.name) << testing::PrintToString(c.date);
}

TEST(Holidays, BusinessDays) {
    struct Case {
        Date date;
        bool plain;
        bool yearEndOff;
    };
    const Case cases[] = {
        {{2024, 1, 1}, false, false},  {{2024, 1, 2}, true, false},   {{2024, 1, 3}, true, false},
        {{2024, 1, 4}, true, true},    {{2024, 1, 6}, false, false},  {{2024, 1, 7}, false, false},
        {{2024, 1, 8}, false, false},  {{2024, 12, 27}, true, true},  {{2024, 12, 30}, true, false},
        {{2024, 12, 31}, true, false}, {{2026, 9, 22}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isBusinessDay(c.date, false), c.plain) << testing::PrintToString(c.date);
        EXPECT_EQ(isBusinessDay(c.date, true), c.yearEndOff) << testing::PrintToString(c.date);
    }
}

TEST(Holidays, ListsBusinessDays) {
    // January 2021 has 21 weekdays; 1/1 and 1/11 (成人の日) are holidays.
    const auto january = businessDaysForMonths({2021, 1, 1}, 1, false);
    ASSERT_EQ(january.size(), 19u);
    EXPECT_EQ(january.front(), (Date{2021, 1, 4}));
    EXPECT_EQ(january[4], (Date{2021, 1, 8}));
    EXPECT_EQ(january[5], (Date{2021, 1, 12}));
    EXPECT_EQ(january.back(), (Date{2021, 1, 29}));
    // Golden Week 2019 took ten days.
    EXPECT_EQ(businessDays({2019, 4, 26}, 3, false),
              (std::vector<Date>{{2019, 4, 26}, {2019, 5, 7}, {2019, 5, 8}}));
    // The year-end days.
    EXPECT_EQ(businessDays({2024, 12, 27}, 3, false),
              (std::vector<Date>{{2024, 12, 27}, {2024, 12, 30}, {2024, 12, 31}}));
    EXPECT_EQ(businessDays({2024, 12, 27}, 3, true),
              (std::vector<Date>{{2024, 12, 27}, {2025, 1, 6}, {2025, 1, 7}}));
    EXPECT_EQ(businessDaysForMonths({2024, 12, 28}, 0, false), std::vector<Date>{});
    EXPECT_THROW(businessDays({2099, 12, 30}, 5, false), RunTimeError);
    EXPECT_THROW(businessDaysForMonths({1954, 12, 1}, 1, false), RunTimeError);
}

}  // namespace
}  // namespace kivo
