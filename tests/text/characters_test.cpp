#include "text/characters.h"

#include <gtest/gtest.h>

#include "text/sides.h"

namespace kivo {
namespace {

TEST(Special, DigitClasses) {
    for (char16_t c : kHalfDigits) {
        EXPECT_TRUE(isHalfDigit(c));
        EXPECT_FALSE(isFullDigit(c));
    }
    for (char16_t c : kFullDigits) {
        EXPECT_TRUE(isFullDigit(c));
        EXPECT_FALSE(isHalfDigit(c));
    }
    EXPECT_EQ(kFullDigits.size(), 10u);
    // The neighbours of both ranges, and look-alikes that are not digits.
    for (char16_t c : u"/:．／：①〇一٣") {
        if (c == 0) continue;
        EXPECT_FALSE(isHalfDigit(c) || isFullDigit(c)) << static_cast<int>(c);
    }
}

TEST(Special, Characters) {
    EXPECT_EQ(kCrLf, (std::u16string_view{u"\r\n"}));
    EXPECT_EQ(kCrLf.size(), 2u);
    EXPECT_EQ(kBs, u'\x08');
    EXPECT_EQ(kTab, u'\x09');
}

TEST(Sides, ComboTextsAndPositionFromTheRight) {
    EXPECT_EQ(sideOf(u"左"), Side::Left);
    EXPECT_EQ(sideOf(u"左側", u"左側"), Side::Left);
    // Each combo has its own left entry: the other spelling is not it.
    EXPECT_EQ(sideOf(u"左側"), Side::Right);
    EXPECT_EQ(sideOf(u"左", u"左側"), Side::Right);
    for (std::u16string_view other : {u"右", u"右側", u"", u"左 ", u" 左", u"ひだり", u"L"})
        EXPECT_EQ(sideOf(other), Side::Right);
    // The p-th character from the right of a line of length n.
    EXPECT_EQ(positionFromRight(5, 1), 5);
    EXPECT_EQ(positionFromRight(5, 5), 1);
    EXPECT_EQ(positionFromRight(5, 6), 0);
    EXPECT_EQ(positionFromRight(0, 1), 0);
}

}  // namespace
}  // namespace kivo
