#include "ops/characters/digit_replacement.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

const std::vector kRefused = {info(kConsecutiveLineBreaks)};
const std::vector kError = {exclamation(kGeneralError)};

OpRun digits(TextView upper, TextView digitClass, TextView replacement, FakeContext ctx = {}) {
    return run(kReplaceDigits, upper, {{"Combo34", Text(digitClass)}, {"Text4", Text(replacement)}},
               std::move(ctx));
}

TEST(ReplaceDigits, ReplacesEachDigitOfTheClass) {
    const std::vector nothing = {exclamation(u"置き換える文字、文字列が見つかりませんでした。")};
    const struct {
        TextView upper, digitClass, replacement;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"a12b３", u"半角", u"#", u"a##b３"},
        {u"a12b３", u"全角", u"#", u"a12b#"},
        {u"a12b３", u"半角全角", u"#", u"a##b#"},
        {u"0123456789", u"半角", u"x", u"xxxxxxxxxx"},
        {u"０１２３４５６７８９", u"全角", u"", u""},
        {u"1\r\n2\r\n", u"半角", u"<>", u"<>\r\n<>\r\n"},
        {u"1\r2\nx", u"半角", u"9", u"9\r\n9\r\nx"},
        // The replacement brings its line breaks in as one CrLf each.
        {u"a1b", u"半角", u"\r\n", u"a\r\nb"},
        {u"a1b", u"半角", u"\r", u"a\r\nb"},
        {u"a1b\r\n", u"半角", u"-\n-", u"a-\r\n-b\r\n"},
        // Other digits, superscripts and Arabic-Indic digits are no digits here.
        {u"1²٣", u"半角全角", u"#", u"#²٣"},
        {u"abc", u"半角", u"#", std::nullopt, nothing},
        {u"３", u"半角", u"#", std::nullopt, nothing},
        {u"1\r\n\r\n2", u"半角", u"#", std::nullopt, kRefused},
        {u"12", u"x", u"#", std::nullopt, kError},
    };
    for (const auto& row : rows) {
        const OpRun r = digits(row.upper, row.digitClass, row.replacement);
        EXPECT_EQ(r.out, row.out) << show(row.upper);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper);
    }
}

TEST(ReplaceDigits, StopsAtOnce) {
    const OpRun r = digits(u"1234", u"半角", u"#", stoppingAfter(2));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
    EXPECT_EQ(r.ctx.polls, 3);
}

OpRun ends(TextView upper, TextView side, TextView n, TextView replacement, FakeContext ctx = {}) {
    return run(kReplaceEndCharacters, upper,
               {{"Combo32", Text(side)}, {"Combo1", Text(n)}, {"Text5", Text(replacement)}}, std::move(ctx));
}

TEST(ReplaceEndCharacters, ReplacesTheFirstOrLastCharacters) {
    const struct {
        TextView upper, side, n, replacement;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"abcd\r\nefg", u"左", u"2", u"X", u"Xcd\r\nXg"},
        {u"abcd\r\nefg", u"右", u"2", u"X", u"abX\r\neX"},
        {u"abcd\r\nefg\r\n", u"左", u"3", u"", u"d\r\n\r\n"},
        {u"ab\rcd\nef", u"右", u"1", u"-", u"a-\r\nc-\r\ne-"},
        {u"abc", u"左", u"3", u"T", u"T"},
        {u"abc", u"右", u"3", u"T", u"T"},
        {u"abc", u"右", u"1", u"T", u"abT"},
        // n equal to a line's length replaces the whole line.
        {u"ab\r\nabc", u"左", u"2", u"T", u"T\r\nTc"},
        // The replacement goes in as it is, its line breaks included.
        {u"ab\r\ncd", u"左", u"1", u"x\ry", u"x\ryb\r\nx\ryd"},
        {u"a", u"左", u"1", u"", u""},
        // A line shorter than n fails the run; a single line says so.
        {u"abcd\r\nefg", u"左", u"4", u"T", std::nullopt, kError},
        {u"\r\nabc", u"左", u"1", u"T", std::nullopt, kError},
        {u"abc\r\n", u"左", u"4", u"T", std::nullopt, kError},
        {u"abc",
         u"左",
         u"4",
         u"T",
         std::nullopt,
         {info(u"置き換える文字数が元のデータより大きい値になっています。")}},
        {u"a\r\n\r\nb", u"左", u"1", u"T", std::nullopt, kRefused},
        // Counts only the command line can send.
        {u"abc", u"左", u"0", u"T", std::nullopt, kError},
        {u"abc", u"左", u"1000", u"T", std::nullopt, kError},
        {u"abc", u"左", u"x", u"T", std::nullopt, kError},
        {u"abc", u"左", u"", u"T", std::nullopt, kError},
        // The count is read before the text is looked at.
        {u"a\r\n\r\nb", u"左", u"x", u"T", std::nullopt, kError},
    };
    for (const auto& row : rows) {
        const OpRun r = ends(row.upper, row.side, row.n, row.replacement);
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " n=" << show(row.n);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " n=" << show(row.n);
    }
}

TEST(ReplaceEndCharacters, StopEndsWithoutOutput) {
    const OpRun r = ends(u"ab\r\ncd\r\nef", u"左", u"1", u"T", stoppingAfter(1));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

OpRun side(TextView upper, TextView direction, TextView found, TextView replacedSide, TextView replacement,
           FakeContext ctx = {}) {
    return run(kReplaceSideOfFoundText, upper,
               {{"Combo2", Text(direction)},
                {"Text7", Text(found)},
                {"Combo33", Text(replacedSide)},
                {"Text8", Text(replacement)}},
               std::move(ctx));
}

TEST(ReplaceSideOfFoundText, ReplacesOneSideOfTheFoundText) {
    const struct {
        TextView upper, direction, found, replacedSide, replacement;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"a=1\r\nb=2=3", u"左", u"=", u"左側", u"k", u"k1\r\nk2=3"},
        {u"a=1\r\nb=2=3", u"右", u"=", u"左側", u"k", u"k1\r\nk3"},
        {u"a=1\r\nb=2=3", u"左", u"=", u"右側", u"k", u"ak\r\nbk"},
        {u"a=1\r\nb=2=3", u"右", u"=", u"右側", u"k", u"ak\r\nb=2k"},
        // Lines without the text are copied; the final line break follows the input.
        {u"a=1\r\nnone\r\n", u"左", u"=", u"左側", u"k", u"k1\r\nnone\r\n"},
        {u"none\r\nother", u"左", u"=", u"左側", u"k", u"none\r\nother"},
        // Of several lines, the characters after the found text's first one stay on the left
        // side, and the whole found text goes with the right side.
        {u"x<=y\r\n", u"左", u"<=", u"左側", u"R", u"R=y\r\n"},
        {u"x<=y\r\n", u"左", u"<=", u"右側", u"R", u"xR\r\n"},
        // A single line keeps what follows the whole found text, and its first character when
        // the right side goes.
        {u"a=1", u"左", u"=", u"右側", u"k", u"a=k"},
        {u"x=yz", u"左", u"=", u"左側", u"RRRRRR", u"RRRRRRyz"},
        {u"x<=y", u"左", u"<=", u"左側", u"R", u"Ry"},
        {u"x<=y", u"左", u"<=", u"右側", u"R", u"x<R"},
        {u"a=b=c", u"右", u"=", u"右側", u"", u"a=b="},
        // Overlapping occurrences: the first starts at the first a, the last at the last.
        {u"xaaay", u"左", u"aa", u"左側", u"R", u"Ray"},
        {u"xaaay", u"右", u"aa", u"右側", u"R", u"xaaR"},
        {u"xaaay\r\n", u"右", u"aa", u"左側", u"R", u"Ray\r\n"},
        // Any other direction text is from the right, any other side text the right side.
        {u"a=b=c", u"x", u"=", u"x", u"k", u"a=b=k"},
        {u"abc", u"左", u"=", u"左側", u"k", std::nullopt, {info(u"置き換える文字が見つかりませんでした。")}},
        {u"a=b", u"左", u"=\r\n", u"左側", u"k", std::nullopt, {info(u"改行が含まれています。")}},
        {u"a=b", u"左", u"\r", u"左側", u"k", std::nullopt, {info(u"改行が含まれています。")}},
        {u"a=b", u"左", u"\n", u"左側", u"k", std::nullopt, {info(u"改行が含まれています。")}},
        {u"a\r\n\r\n=b", u"左", u"=", u"左側", u"k", std::nullopt, kRefused},
        // The pre-check refuses an empty search text.
        {u"a=b", u"左", u"", u"左側", u"k", std::nullopt, {info(kFoundTextMissing)}},
    };
    for (const auto& row : rows) {
        const OpRun r = side(row.upper, row.direction, row.found, row.replacedSide, row.replacement);
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " " << show(row.found);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " " << show(row.found);
    }
}

TEST(ReplaceSideOfFoundText, StopEndsWithoutOutput) {
    const OpRun r = side(u"a=1\r\nb=2\r\nc=3", u"左", u"=", u"左側", u"k", stoppingAfter(2));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
