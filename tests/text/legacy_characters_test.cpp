#include "text/legacy_characters.h"

#include <gtest/gtest.h>

#include "text/cp932.h"

namespace kivo {
namespace {

TEST(LegacyCharacters, TellsCodePage932AdditionsFromJisX0208) {
    struct Case {
        char16_t c;
        bool legacy;
    };
    const Case cases[] = {
        {u'①', true},      {u'⑳', true},
        {u'Ⅲ', true},      {u'ⅲ', true},
        {u'㈱', true},     {u'㍻', true},
        {u'㎝', true},     {u'∮', true},
        {u'髙', true},     {u'﨑', true},
        {u'＂', true},     {u'\uE000', true},
        {u'\uE757', true}, {u'\uE758', false},
        {u'≒', false},     {u'≡', false},
        {u'∵', false},     {u'¬', false},
        {u'～', false},    {u'〜', false},
        {u'高', false},    {u'あ', false},
        {u'A', false},     {u'ｱ', false},
        {u'€', false},     {char16_t{0xD83D}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isLegacyCharacter(c.c), c.legacy) << static_cast<int>(c.c);
}

TEST(LegacyCharacters, CountsOfTheDerivedSet) {
    int userDefined = 0;
    int others = 0;
    int replaced = 0;
    for (unsigned u = 0; u < 65536; ++u) {
        const auto c = static_cast<char16_t>(u);
        if (!isLegacyCharacter(c)) continue;
        ++(c >= u'\uE000' && c <= u'\uF8FF' ? userDefined : others);
        if (legacyReplacement(c)) ++replaced;
    }
    // 20 rows of 94 user-defined characters; row 13 without the nine JIS X 0208 twins (74) and the
    // IBM extensions without ¬ and ∵ and the ten Roman numerals, №, ℡ and ㈱ they share with it.
    EXPECT_EQ(userDefined, 1880);
    EXPECT_EQ(others, 447);
    EXPECT_EQ(replaced, 139);  // every entry of the table is a legacy character
}

TEST(LegacyCharacters, Replacements) {
    struct Case {
        char16_t c;
        std::optional<std::u16string_view> standard;
    };
    const Case cases[] = {
        {u'①', u"(1)"},   {u'⑳', u"(20)"},      {u'Ⅲ', u"III"},        {u'ⅲ', u"iii"},
        {u'㈱', u"(株)"}, {u'㍻', u"平成"},     {u'㎝', u"cm"},        {u'㌔', u"キロ"},
        {u'髙', u"高"},   {u'﨑', u"崎"},       {u'德', u"徳"},        {u'＂', u"\""},
        {u'∑', u"Σ"},     {u'≒', std::nullopt}, {u'丨', std::nullopt}, {u'\uE000', std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(legacyReplacement(c.c), c.standard) << static_cast<int>(c.c);
}

TEST(LegacyCharacters, ReplacementsAreStandardAndComeBackFromShiftJis) {
    for (unsigned u = 0; u < 65536; ++u) {
        const auto standard = legacyReplacement(static_cast<char16_t>(u));
        if (!standard) continue;
        ASSERT_FALSE(standard->empty()) << u;
        for (char16_t c : *standard) {
            EXPECT_TRUE(cp932::hasForm(c)) << u;
            EXPECT_FALSE(isLegacyCharacter(c)) << u;
        }
        EXPECT_EQ(cp932::decodeExact(cp932::encode(*standard)), std::u16string(*standard)) << u;
    }
}

}  // namespace
}  // namespace kivo
