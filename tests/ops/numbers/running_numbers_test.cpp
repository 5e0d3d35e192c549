#include "ops/numbers/running_numbers.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::OpRun;
using test::show;

struct Controls {
    TextView first = u"1", gap = u"0", side = u"左", p = u"0", start = u"1", format = u"0",
             direction = u"インクリメント", step = u"1";
};

OpRun number(TextView upper, const Controls& c, FakeContext ctx = {}) {
    return test::run(kInsertRunningNumbers, upper,
                     {{"Combo27", Text(c.first)},
                      {"Combo26", Text(c.gap)},
                      {"Combo24", Text(c.side)},
                      {"Combo21", Text(c.p)},
                      {"Text38", Text(c.start)},
                      {"Combo25", Text(c.format)},
                      {"Combo22", Text(c.direction)},
                      {"Combo23", Text(c.step)}},
                     std::move(ctx));
}

constexpr TextView kDown = u"デクリメント";
const Text kLines = u"a\r\nb\r\nc\r\nd\r\ne";
constexpr TextView kRightEndQuestion =
    u"文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定しますか？";

TEST(InsertRunningNumbers, NumbersEveryNthLine) {
    const Text up(kRunningNumbersIncrementError);
    const Text down(kRunningNumbersDecrementError);
    const struct {
        Text upper;
        Controls c;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {kLines, {.first = u"2", .gap = u"1", .format = u"00"}, u"a\r\n01b\r\nc\r\n02d\r\ne"},
        {kLines, {.side = u"右", .p = u"1"}, u"a1\r\nb2\r\nc3\r\nd4\r\ne5"},
        {kLines, {.gap = u"2", .start = u"10", .step = u"5"}, u"10a\r\nb\r\nc\r\n15d\r\ne"},
        {u"abcd", {.p = u"2", .start = u"7"}, u"ab7cd"},
        {u"abcd", {.side = u"右", .p = u"2", .start = u"7"}, u"abc7d"},
        // On the right, p one more than the line's length counts back to before the line's start:
        // the number goes after the line.
        {u"ab", {.side = u"右", .p = u"3", .start = u"7"}, u"ab7"},
        {u"ab", {.p = u"2"}, u"ab1"},
        // A count takes leading zeros.
        {u"ab", {.p = u"0000000000"}, u"1ab"},
        // A short line left unchanged by the gap causes no error.
        {u"abcde\r\nab\r\nabcde", {.gap = u"1", .p = u"5"}, u"abcde1\r\nab\r\nabcde2"},
        // A first line beyond the text leaves it as it is, with CrLf line breaks.
        {u"a\nb\rc\r\n", {.first = u"9"}, u"a\r\nb\r\nc\r\n"},
        {u"a\r\nb\r\n", {}, u"1a\r\n2b\r\n"},
        {u"x", {.start = u"123", .format = u"0000000000000000"}, u"0000000000000123x"},
        // The largest 8-bit quantities are allowed.
        {u"a", {.first = u"255"}, u"a"},
        {u"a", {.gap = u"255"}, u"1a"},
        {Text(255, u'x'), {.p = u"255"}, Text(255, u'x') + u"1"},
        {Text(255, u'x'), {.side = u"右", .p = u"1"}, Text(255, u'x') + u"1"},
        {Text(300, u'x'), {.p = u"1"}, u"x1" + Text(299, u'x')},
        {u"a\r\n\r\nb", {}, std::nullopt, {test::info(kConsecutiveLineBreaks)}},
        // Errors name the direction the control shows.
        {u"abc", {.p = u"5"}, std::nullopt, {test::exclamation(up)}},
        {u"abc", {.p = u"5", .direction = kDown}, std::nullopt, {test::exclamation(down)}},
        {u"abc", {.side = u"右", .p = u"5"}, std::nullopt, {test::exclamation(up)}},
        {Text(256, u'x'), {.side = u"右", .p = u"1"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.first = u"256"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.gap = u"256"}, std::nullopt, {test::exclamation(up)}},
        // The side and the position are read before the direction: their failures say decrement.
        {u"a", {.p = u"256"}, std::nullopt, {test::exclamation(down)}},
        {u"a", {.p = u"256", .direction = kDown}, std::nullopt, {test::exclamation(down)}},
        {u"a", {.side = u"中"}, std::nullopt, {test::exclamation(down)}},
        {u"a", {.direction = u"増やす"}, std::nullopt, {test::exclamation(down)}},
        {u"a", {.format = u"0a"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.start = u"-1"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.start = u"1.5"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.start = u""}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.step = u"0"}, std::nullopt, {test::exclamation(up)}},
        // The value is a currency quantity.
        {u"a\r\nb", {.start = u"922337203685477"}, std::nullopt, {test::exclamation(up)}},
        {u"a", {.start = u"9223372036854775807"}, std::nullopt, {test::exclamation(up)}},
    };
    for (const auto& row : rows) {
        const OpRun r = number(row.upper, row.c);
        EXPECT_EQ(r.out, row.out) << show(row.upper.substr(0, 20));
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper.substr(0, 20));
    }
}

TEST(InsertRunningNumbers, DecrementAsksOnceWhenTheValueReachesZero) {
    const auto asked = [](TextView value) {
        return std::vector{test::question(u"デクリメントする値が「 " + Text(value) +
                                          u" 」になりました、マイナスの値をカウントし続けますか？")};
    };
    const OpRun yes = number(kLines, {.start = u"2", .format = u"00", .direction = kDown});
    EXPECT_EQ(yes.out, Text(u"02a\r\n01b\r\n00c\r\n-01d\r\n-02e"));
    EXPECT_EQ(yes.ctx.shown, asked(u"0"));
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        const OpRun r = number(kLines, {.start = u"2", .direction = kDown}, test::answering({answer}));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown.size(), 1u);
    }
    // A start at zero asks about the first negative value; a step past zero names it.
    const OpRun fromZero = number(u"a\r\nb", {.start = u"0", .direction = kDown});
    EXPECT_EQ(fromZero.out, Text(u"0a\r\n-1b"));
    EXPECT_EQ(fromZero.ctx.shown, asked(u"-1"));
    const OpRun bigStep = number(u"a\r\nb", {.start = u"3", .direction = kDown, .step = u"5"});
    EXPECT_EQ(bigStep.out, Text(u"3a\r\n-2b"));
    EXPECT_EQ(bigStep.ctx.shown, asked(u"-2"));
}

TEST(InsertRunningNumbers, RightSideAtPositionZeroAsksAndSetsItToOne) {
    const OpRun yes = number(u"ab\r\ncd", {.side = u"右"});
    EXPECT_EQ(yes.out, Text(u"ab1\r\ncd2"));
    EXPECT_EQ(yes.messages(), std::vector<Text>{Text(kRightEndQuestion)});
    EXPECT_EQ(yes.changed, (std::vector<test::ControlText>{{"Combo21", u"1"}}));
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        const OpRun r = number(u"ab", {.side = u"右"}, test::answering({answer}));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_TRUE(r.changed.empty());
    }
}

TEST(InsertRunningNumbers, StopAndClosing) {
    for (int polls : {0, 1, 3}) {
        const OpRun stopped = number(kLines, {.first = u"3"}, test::stoppingAfter(polls));
        EXPECT_EQ(stopped.out, std::nullopt);
        EXPECT_TRUE(stopped.ctx.shown.empty());
    }
    const OpRun closing = number(u"ab", {.side = u"右"}, test::closingContext());
    EXPECT_EQ(closing.out, std::nullopt);
    EXPECT_TRUE(closing.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
