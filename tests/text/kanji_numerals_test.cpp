#include "text/kanji_numerals.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(KanjiNumerals, Parses) {
    struct Case {
        std::u16string_view text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {u"二千二十四", 2024},
        {u"一〇五", 105},
        {u"二〇二四", 2024},
        {u"〇〇七", 7},
        {u"二零二四", 2024},
        {u"三万五千", 35000},
        {u"〇", 0},
        {u"零", 0},
        {u"十", 10},
        {u"百", 100},
        {u"千", 1000},
        {u"一千", 1000},
        {u"十一", 11},
        {u"百一", 101},
        {u"一万", 10000},
        {u"十一万", 110000},
        {u"百万", 1000000},
        {u"千万", 10000000},
        {u"一億一", 100000001},
        {u"一億二千三百四十五万六千七百八十九", 123456789},
        {u"一兆", 1000000000000},
        {u"九千九百九十九兆九千九百九十九億九千九百九十九万九千九百九十九", kMaxKanjiNumber},
        {u"九九九九九九九九九九九九九九九九", kMaxKanjiNumber},
        {u"一〇〇〇〇〇〇〇〇〇〇〇〇〇〇〇〇", std::nullopt},  // 17 digits
        {u"", std::nullopt},
        {u"万", std::nullopt},
        {u"万一", std::nullopt},
        {u"十十", std::nullopt},
        {u"十百", std::nullopt},
        {u"二三百", std::nullopt},
        {u"千〇五", std::nullopt},
        {u"〇十", std::nullopt},
        {u"一万一万", std::nullopt},
        {u"一万一億", std::nullopt},
        {u"億万", std::nullopt},
        {u"二人", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseKanjiNumeral(c.text), c.value) << testing::PrintToString(c.text);
}

TEST(KanjiNumerals, Writes) {
    struct Case {
        std::int64_t value;
        std::u16string_view positional;
        std::u16string_view withUnits;
    };
    const Case cases[] = {
        {0, u"〇", u"〇"},
        {7, u"七", u"七"},
        {10, u"一〇", u"十"},
        {105, u"一〇五", u"百五"},
        {2024, u"二〇二四", u"二千二十四"},
        {10000, u"一〇〇〇〇", u"一万"},
        {35000, u"三五〇〇〇", u"三万五千"},
        {110000, u"一一〇〇〇〇", u"十一万"},
        {10000000, u"一〇〇〇〇〇〇〇", u"千万"},
        {100000001, u"一〇〇〇〇〇〇〇一", u"一億一"},
        {1000000000000, u"一〇〇〇〇〇〇〇〇〇〇〇〇", u"一兆"},
        {kMaxKanjiNumber, u"九九九九九九九九九九九九九九九九",
         u"九千九百九十九兆九千九百九十九億九千九百九十九万九千九百九十九"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toKanjiDigits(c.value), c.positional) << c.value;
        EXPECT_EQ(toKanjiWithUnits(c.value), c.withUnits) << c.value;
    }
    EXPECT_EQ(toKanjiDigits(7, 3), u"〇〇七");
    EXPECT_EQ(toKanjiDigits(-1), std::nullopt);
    EXPECT_EQ(toKanjiWithUnits(kMaxKanjiNumber + 1), std::nullopt);
    EXPECT_EQ(toArabicDigits(2024, false), u"2024");
    EXPECT_EQ(toArabicDigits(7, true, 3), u"００７");
}

TEST(KanjiNumerals, RoundTrips) {
    auto check = [](std::int64_t v) {
        ASSERT_EQ(parseKanjiNumeral(*toKanjiWithUnits(v)), v);
        ASSERT_EQ(parseKanjiNumeral(*toKanjiDigits(v)), v);
    };
    for (std::int64_t v = 0; v <= 120000; ++v)
        check(v);
    for (std::int64_t v = 1; v <= kMaxKanjiNumber / 7; v = v * 7 + 3)
        check(v);
}

TEST(KanjiNumerals, FindsNumeralsButNotWords) {
    struct Case {
        std::u16string_view line;
        std::vector<std::size_t> positions;
        std::vector<std::size_t> lengths;
        std::vector<std::int64_t> values;
    };
    const Case cases[] = {
        {u"一人で一部を一番に十分", {}, {}, {}}, {u"〇〇様、万一の時", {}, {}, {}},
        {u"二千二十四年", {0}, {5}, {2024}},     {u"三万五千円と一〇五円", {0, 6}, {4, 3}, {35000, 105}},
        {u"二十歳の一人", {0}, {2}, {20}},       {u"千〇五と十十", {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line));
        const auto found = findKanjiNumerals(c.line);
        ASSERT_EQ(found.size(), c.values.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].position, c.positions[i]);
            EXPECT_EQ(found[i].length, c.lengths[i]);
            EXPECT_EQ(found[i].value, c.values[i]);
        }
    }
    EXPECT_TRUE(findKanjiNumerals(u"一〇五")[0].positional);
    EXPECT_FALSE(findKanjiNumerals(u"百五")[0].positional);
}

TEST(KanjiNumerals, FindsArabicNumbers) {
    struct Case {
        std::u16string_view line;
        std::vector<std::size_t> positions;
        std::vector<std::int64_t> values;
    };
    const Case cases[] = {
        {u"2024年", {0}, {2024}},
        {u"１２３と007", {0, 4}, {123, 7}},
        {u"3.14と1,000と5.", {11}, {5}},
        {u"9999999999999999と10000000000000000", {0}, {kMaxKanjiNumber}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line));
        const auto found = findArabicNumbers(c.line);
        ASSERT_EQ(found.size(), c.values.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].position, c.positions[i]);
            EXPECT_EQ(found[i].value, c.values[i]);
        }
    }
}

}  // namespace
}  // namespace kivo
