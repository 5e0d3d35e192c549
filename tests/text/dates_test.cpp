#include "text/dates.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

#include "text/errors.h"

namespace kivo {

void PrintTo(const Date& d, std::ostream* os) {
    *os << d.year << '/' << d.month << '/' << d.day;
}

namespace {

TEST(Dates, ValidDates) {
    struct Case {
        int y, m, d;
        bool valid;
    };
    const Case cases[] = {
        {99, 12, 31, false},  {100, 1, 1, true},    {9999, 12, 31, true}, {10000, 1, 1, false},
        {1900, 2, 29, false}, {2000, 2, 29, true},  {2100, 2, 29, false}, {2024, 2, 29, true},
        {2023, 2, 29, false}, {2024, 2, 30, false}, {2024, 4, 31, false}, {2024, 4, 30, true},
        {2024, 0, 1, false},  {2024, 13, 1, false}, {2024, 1, 0, false},  {2024, 12, 32, false},
        {2024, -1, 1, false}, {0, 1, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isValidDate(c.y, c.m, c.d), c.valid) << c.y << '/' << c.m << '/' << c.d;
    EXPECT_EQ(daysInMonth(2024, 13), 0);
}

TEST(Dates, Weekday) {
    struct Case {
        Date date;
        int weekday;
    };
    const Case cases[] = {
        {{2024, 1, 1}, 2},  {{2000, 1, 1}, 7},   {{1970, 1, 1}, 5},  {{1969, 12, 31}, 4},
        {{100, 1, 1}, 6},   {{9999, 12, 31}, 6}, {{2000, 2, 29}, 3}, {{1900, 3, 1}, 5},
        {{1582, 10, 4}, 2}, {{1582, 10, 15}, 6}, {{2024, 3, 3}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(weekday(c.date), c.weekday) << testing::PrintToString(c.date);
    EXPECT_EQ(weekdayName(1), u"日");
    EXPECT_EQ(weekdayName(7), u"土");
    EXPECT_EQ(weekdayName(0), u"土");
    EXPECT_EQ(weekdayName(8), u"日");
}

TEST(Dates, SerialRoundTripsAtTheEnds) {
    EXPECT_EQ(toSerial({1970, 1, 1}), 0);
    EXPECT_EQ(toSerial(kFirstDate), -683003);
    EXPECT_EQ(toSerial(kLastDate), 2932896);
    EXPECT_EQ(fromSerial(-683003), kFirstDate);
    EXPECT_EQ(fromSerial(2932896), kLastDate);
    EXPECT_THROW(fromSerial(-683004), RunTimeError);
    EXPECT_THROW(fromSerial(2932897), RunTimeError);
}

TEST(Dates, AddDays) {
    struct Case {
        Date from;
        std::int64_t days;
        Date to;
    };
    const Case cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 1}},       {{2024, 2, 28}, 1, {2024, 2, 29}},
        {{2023, 2, 28}, 1, {2023, 3, 1}},       {{2023, 12, 31}, 1, {2024, 1, 1}},
        {{2024, 1, 1}, -1, {2023, 12, 31}},     {{1999, 12, 31}, 1, {2000, 1, 1}},
        {{1900, 2, 28}, 1, {1900, 3, 1}},       {{2024, 1, 1}, 366, {2025, 1, 1}},
        {{100, 1, 1}, 3615899, {9999, 12, 31}}, {{9999, 12, 31}, -3615899, {100, 1, 1}},
        {{2024, 5, 5}, 0, {2024, 5, 5}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addDays(c.from, c.days), c.to) << testing::PrintToString(c.from);
    EXPECT_THROW(addDays({9999, 12, 31}, 1), RunTimeError);
    EXPECT_THROW(addDays({100, 1, 1}, -1), RunTimeError);
    EXPECT_THROW(addDays({2024, 1, 1}, std::numeric_limits<std::int64_t>::max()), RunTimeError);
    EXPECT_THROW(addDays({2024, 1, 1}, std::numeric_limits<std::int64_t>::min()), RunTimeError);
}

TEST(Dates, AddMonthsClampsToTheLastDay) {
    struct Case {
        Date from;
        std::int64_t months;
        Date to;
    };
    const Case cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 29}},       {{2023, 1, 31}, 1, {2023, 2, 28}},
        {{2024, 3, 31}, -1, {2024, 2, 29}},      {{2023, 3, 31}, -1, {2023, 2, 28}},
        {{2024, 1, 31}, 3, {2024, 4, 30}},       {{2024, 1, 30}, 1, {2024, 2, 29}},
        {{2024, 2, 29}, 1, {2024, 3, 29}},       {{2024, 12, 15}, 1, {2025, 1, 15}},
        {{2024, 1, 15}, -1, {2023, 12, 15}},     {{2024, 1, 15}, -13, {2022, 12, 15}},
        {{2024, 1, 15}, -24, {2022, 1, 15}},     {{2024, 5, 31}, -15, {2023, 2, 28}},
        {{2024, 1, 15}, 12, {2025, 1, 15}},      {{100, 1, 1}, 118799, {9999, 12, 1}},
        {{9999, 12, 31}, -118799, {100, 1, 31}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addMonths(c.from, c.months), c.to) << testing::PrintToString(c.from) << " + " << c.months;
    EXPECT_THROW(addMonths({9999, 12, 1}, 1), RunTimeError);
    EXPECT_THROW(addMonths({100, 1, 31}, -1), RunTimeError);
    EXPECT_THROW(addMonths({2024, 1, 1}, std::numeric_limits<std::int64_t>::max()), RunTimeError);
    EXPECT_THROW(addMonths({2024, 1, 1}, std::numeric_limits<std::int64_t>::min()), RunTimeError);
}

TEST(Dates, AddYearsFromTheLeapDay) {
    EXPECT_EQ(addYears({2024, 2, 29}, 1), (Date{2025, 2, 28}));
    EXPECT_EQ(addYears({2024, 2, 29}, 4), (Date{2028, 2, 29}));
    EXPECT_EQ(addYears({2024, 2, 29}, -124), (Date{1900, 2, 28}));
    EXPECT_EQ(addYears({2000, 2, 29}, -400), (Date{1600, 2, 29}));
    EXPECT_EQ(addYears({2024, 7, 7}, 7975), (Date{9999, 7, 7}));
    EXPECT_THROW(addYears({2024, 7, 7}, 7976), RunTimeError);
    EXPECT_THROW(addYears({2024, 7, 7}, -1925), RunTimeError);
    EXPECT_THROW(addYears({2024, 1, 1}, std::numeric_limits<std::int64_t>::max() / 6), RunTimeError);
}

TEST(Dates, FormatPadsWithZeros) {
    EXPECT_EQ(formatDate({2024, 1, 5}), u"2024/01/05");
    EXPECT_EQ(formatDate({100, 12, 31}), u"0100/12/31");
    EXPECT_EQ(formatDate({1, 1, 1}), u"0001/01/01");
    EXPECT_EQ(formatDate({9999, 10, 10}, u'-'), u"9999-10-10");
    EXPECT_EQ(formatDate({2024, 2, 9}, u'年'), u"2024年02年09");
}

TEST(Dates, ParseDate) {
    struct Case {
        std::u16string_view text;
        std::optional<Date> date;
    };
    const Case cases[] = {
        {u"2024/01/05", Date{2024, 1, 5}},  {u"2024/1/5", Date{2024, 1, 5}},
        {u"0001/01/01", Date{1, 1, 1}},     {u"9999/12/31", Date{9999, 12, 31}},
        {u"2024/02/29", Date{2024, 2, 29}}, {u"2023/02/29", std::nullopt},
        {u"2024/02/30", std::nullopt},      {u"0000/01/01", std::nullopt},
        {u"2024/13/01", std::nullopt},      {u"2024/00/10", std::nullopt},
        {u"2024/01/00", std::nullopt},      {u"2024-01-01", std::nullopt},
        {u"24/01/01", std::nullopt},        {u"12024/01/01", std::nullopt},
        {u"2024/001/01", std::nullopt},     {u"", std::nullopt},
        {u"2024/01", std::nullopt},         {u"2024/01/01/", std::nullopt},
        {u"2024/01/01/01", std::nullopt},   {u"2024//01", std::nullopt},
        {u" 2024/01/01", std::nullopt},     {u"２０２４/01/01", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDate(c.text), c.date) << testing::PrintToString(std::u16string(c.text));
}

}  // namespace
}  // namespace kivo
