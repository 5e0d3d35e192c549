#include "text/japanese_dates.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kivo {

void PrintTo(const Date& d, std::ostream* os);

namespace {

using Kind = FoundDateKind;

TEST(JapaneseDates, EraBoundaries) {
    struct Case {
        Date date;
        std::optional<std::u16string> kanji;
        std::optional<std::u16string> letter;
    };
    const Case cases[] = {
        {{1868, 10, 22}, std::nullopt, std::nullopt},
        {{1868, 10, 23}, u"明治元年10月23日", u"M01.10.23"},
        {{1912, 7, 29}, u"明治45年7月29日", u"M45.07.29"},
        {{1912, 7, 30}, u"大正元年7月30日", u"T01.07.30"},
        {{1926, 12, 24}, u"大正15年12月24日", u"T15.12.24"},
        {{1926, 12, 25}, u"昭和元年12月25日", u"S01.12.25"},
        {{1989, 1, 7}, u"昭和64年1月7日", u"S64.01.07"},
        {{1989, 1, 8}, u"平成元年1月8日", u"H01.01.08"},
        {{2019, 4, 30}, u"平成31年4月30日", u"H31.04.30"},
        {{2019, 5, 1}, u"令和元年5月1日", u"R01.05.01"},
        {{2024, 2, 29}, u"令和6年2月29日", u"R06.02.29"},
        {{2118, 1, 1}, u"令和100年1月1日", u"R100.01.01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.date));
        EXPECT_EQ(formatJapaneseDate(c.date, DateForm::EraKanji), c.kanji);
        EXPECT_EQ(formatJapaneseDate(c.date, DateForm::EraLetterPadded), c.letter);
    }
}

TEST(JapaneseDates, EraDatesCountOnFromTheEraFirstYear) {
    struct Case {
        EraDate written;
        std::optional<Date> date;
        EraFit fit;
    };
    const Case cases[] = {
        {{Era::Heisei, 32, 1, 1}, Date{2020, 1, 1}, EraFit::PastEnd},
        {{Era::Heisei, 31, 5, 1}, Date{2019, 5, 1}, EraFit::PastEnd},
        {{Era::Heisei, 1, 1, 7}, Date{1989, 1, 7}, EraFit::BeforeStart},
        {{Era::Showa, 64, 1, 7}, Date{1989, 1, 7}, EraFit::Inside},
        {{Era::Showa, 64, 1, 8}, Date{1989, 1, 8}, EraFit::PastEnd},
        {{Era::Reiwa, 1, 4, 30}, Date{2019, 4, 30}, EraFit::BeforeStart},
        {{Era::Meiji, 1, 1, 1}, Date{1868, 1, 1}, EraFit::BeforeStart},
        {{Era::Heisei, 4, 2, 29}, Date{1992, 2, 29}, EraFit::Inside},
        {{Era::Reiwa, 2, 2, 29}, Date{2020, 2, 29}, EraFit::Inside},
        {{Era::Heisei, 31, 2, 29}, std::nullopt, EraFit::Inside},
        {{Era::Heisei, 0, 1, 1}, std::nullopt, EraFit::Inside},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.year);
        const auto converted = fromEraDate(c.written);
        ASSERT_EQ(converted.has_value(), c.date.has_value());
        if (!converted) continue;
        EXPECT_EQ(converted->date, *c.date);
        EXPECT_EQ(converted->fit, c.fit);
    }
}

TEST(JapaneseDates, EveryDayComesBackFromEachForm) {
    const DateForm forms[] = {DateForm::WesternPadded, DateForm::WesternPlain, DateForm::WesternKanji,
                              DateForm::EraKanji,      DateForm::EraLetter,    DateForm::EraLetterPadded};
    for (Date d{1868, 10, 23}; d <= Date{2100, 12, 31}; d = addDays(d, 1)) {
        for (DateForm form : forms) {
            const std::u16string text = *formatJapaneseDate(d, form, true);
            const auto found = findDates(text);
            ASSERT_EQ(found.size(), 1u) << testing::PrintToString(d);
            ASSERT_EQ(found[0].kind, Kind::Valid) << testing::PrintToString(d);
            ASSERT_EQ(found[0].date, d);
            ASSERT_EQ(found[0].length, text.size() - 3);  // the weekday "（水）" is no part of it
        }
    }
}

TEST(JapaneseDates, FindsEachForm) {
    struct Case {
        std::u16string line;
        std::vector<std::size_t> positions;
        std::vector<std::size_t> lengths;
        std::vector<Kind> kinds;
        std::vector<Date> dates;
    };
    const Date jan31{2024, 1, 31};
    const Case cases[] = {
        {u"2024/1/31", {0}, {9}, {Kind::Valid}, {jan31}},
        {u"2024-01-31", {0}, {10}, {Kind::Valid}, {jan31}},
        {u"2024.1.31", {0}, {9}, {Kind::Valid}, {jan31}},
        {u"締切は2024年1月31日10時", {3}, {10}, {Kind::Valid}, {jan31}},
        {u"締切：令和6年1月31日（水）", {3}, {9}, {Kind::Valid}, {jan31}},
        {u"令和元年5月1日", {0}, {8}, {Kind::Valid}, {{2019, 5, 1}}},
        {u"R6.1.31", {0}, {7}, {Kind::Valid}, {jan31}},
        {u"(R06/01/31)", {1}, {9}, {Kind::Valid}, {jan31}},
        {u"H31.4.30 S64.1.7", {0, 9}, {8, 7}, {Kind::Valid, Kind::Valid}, {{2019, 4, 30}, {1989, 1, 7}}},
        {u"T1-7-30 M45/7/29", {0, 8}, {7, 8}, {Kind::Valid, Kind::Valid}, {{1912, 7, 30}, {1912, 7, 29}}},
        {u"２０２４／１／３１", {0}, {9}, {Kind::Valid}, {jan31}},
        {u"令和６年１月３１日", {0}, {9}, {Kind::Valid}, {jan31}},
        {u"Ｒ６．１．３１", {0}, {7}, {Kind::Valid}, {jan31}},
        {u"2023/2/29と2024/2/29", {0, 10}, {9, 9}, {Kind::DoesNotExist, Kind::Valid}, {{}, {2024, 2, 29}}},
        {u"1900/2/29 2000/2/29", {0, 10}, {9, 9}, {Kind::DoesNotExist, Kind::Valid}, {{}, {2000, 2, 29}}},
        {u"2024/13/1 2024/4/31 0099/1/1",
         {0, 10, 20},
         {9, 9, 8},
         {Kind::DoesNotExist, Kind::DoesNotExist, Kind::DoesNotExist},
         {{}, {}, {}}},
        {u"平成32年1月1日", {0}, {9}, {Kind::PastEraEnd}, {{2020, 1, 1}}},
        {u"H31.5.1", {0}, {7}, {Kind::PastEraEnd}, {{2019, 5, 1}}},
        {u"平成元年1月7日", {0}, {8}, {Kind::BeforeEraStart}, {{1989, 1, 7}}},
        {u"平成31年2月29日 令和0年1月1日",
         {0, 11},
         {10, 8},
         {Kind::DoesNotExist, Kind::DoesNotExist},
         {{}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line));
        const auto found = findDates(c.line);
        ASSERT_EQ(found.size(), c.positions.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].position, c.positions[i]);
            EXPECT_EQ(found[i].length, c.lengths[i]);
            EXPECT_EQ(found[i].kind, c.kinds[i]);
            if (c.kinds[i] != Kind::DoesNotExist) {
                EXPECT_EQ(found[i].date, c.dates[i]);
            }
        }
    }
}

TEST(JapaneseDates, TakesNoPartOfALongerNumber) {
    const std::u16string_view lines[] = {
        u"12024/1/31", u"2024/1/311", u"2024.1.31.5", u"1.2024.1.31",     u"ver 1.2.3",   u"AR6.1.31",
        u"3R6.1.31",   u"R6.1.31.2",  u"R123.1.1",    u"2024/1-31",       u"2024年1月31", u"令和6年1月",
        u"r6.1.31",    u"R6.1",       u"24/1/31",     u"１２０２４/1/31",
    };
    for (std::u16string_view line : lines)
        EXPECT_TRUE(findDates(line).empty()) << testing::PrintToString(line);
}

TEST(JapaneseDates, Formats) {
    struct Case {
        Date date;
        DateForm form;
        bool weekday;
        std::u16string text;
    };
    const Case cases[] = {
        {{2024, 1, 31}, DateForm::WesternPadded, false, u"2024/01/31"},
        {{2024, 1, 31}, DateForm::WesternPlain, false, u"2024/1/31"},
        {{2024, 1, 31}, DateForm::WesternKanji, false, u"2024年1月31日"},
        {{2024, 1, 31}, DateForm::EraKanji, false, u"令和6年1月31日"},
        {{2024, 1, 31}, DateForm::EraLetter, false, u"R6.1.31"},
        {{2024, 1, 31}, DateForm::EraLetterPadded, false, u"R06.01.31"},
        {{2024, 1, 31}, DateForm::EraKanji, true, u"令和6年1月31日（水）"},
        {{2019, 5, 1}, DateForm::EraLetter, true, u"R1.5.1（水）"},
        {{1868, 1, 1}, DateForm::WesternPlain, true, u"1868/1/1（水）"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatJapaneseDate(c.date, c.form, c.weekday), c.text);
    EXPECT_EQ(formatJapaneseDate({1868, 10, 22}, DateForm::EraLetter), std::nullopt);
}

}  // namespace
}  // namespace kivo
