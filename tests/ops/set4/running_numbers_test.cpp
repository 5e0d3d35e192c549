#include "ops/set4/running_numbers.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;

struct Settings {
    TextView first = u"1", gap = u"0", side = u"左", p = u"0", start = u"1", format = u"0",
             direction = u"インクリメント", step = u"1";
};

std::optional<Text> number(TextView upper, const Settings& s, FakeContext& ctx) {
    return runOp(InsertRunningNumbers, upper,
                 {{"Combo27", s.first},
                  {"Combo26", s.gap},
                  {"Combo24", s.side},
                  {"Combo21", s.p},
                  {"Text38", s.start},
                  {"Combo25", s.format},
                  {"Combo22", s.direction},
                  {"Combo23", s.step}},
                 ctx);
}

std::optional<Text> number(TextView upper, const Settings& s) {
    FakeContext ctx;
    return number(upper, s, ctx);
}

constexpr TextView kDown = u"デクリメント";
const Text kLines = u"a\r\nb\r\nc\r\nd\r\ne";

TEST(InsertRunningNumbers, NumbersEveryNthLine) {
    struct Case {
        Text in;
        Settings s;
        Text out;
    };
    const Case cases[] = {
        {kLines, {.first = u"2", .gap = u"1", .format = u"00"}, u"a\r\n01b\r\nc\r\n02d\r\ne"},
        {kLines, {.side = u"右", .p = u"1"}, u"a1\r\nb2\r\nc3\r\nd4\r\ne5"},
        {kLines, {.gap = u"2", .start = u"10", .step = u"5"}, u"10a\r\nb\r\nc\r\n15d\r\ne"},
        {u"abcd", {.p = u"2", .start = u"7"}, u"ab7cd"},
        {u"abcd", {.side = u"右", .p = u"2", .start = u"7"}, u"abc7d"},
        // On the right, p one more than the line's length puts the number in front.
        {u"ab", {.side = u"右", .p = u"3"}, u"1ab"},
        {u"ab", {.p = u"2"}, u"ab1"},
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(number(c.in, c.s), c.out) << test::narrow(c.in);
}

TEST(InsertRunningNumbers, DecrementAsksOnceWhenTheValueReachesZero) {
    FakeContext yes;
    EXPECT_EQ(number(kLines, {.start = u"2", .format = u"00", .direction = kDown}, yes),
              Text(u"02a\r\n01b\r\n00c\r\n-01d\r\n-02e"));
    EXPECT_EQ(yes.shown,
              (std::vector<FakeContext::Shown>{
                  {Icon::Question,
                   u"デクリメントする値が「 0 」になりました、マイナスの値をカウントし続けますか？"}}));

    for (Answer answer : {Answer::No, Answer::Cancel}) {
        FakeContext ctx;
        ctx.answers = {answer};
        EXPECT_EQ(number(kLines, {.start = u"2", .direction = kDown}, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown.size(), 1u);
    }
    // A start at zero asks about the first negative value; a step past zero names it.
    FakeContext fromZero;
    EXPECT_EQ(number(u"a\r\nb", {.start = u"0", .direction = kDown}, fromZero), Text(u"0a\r\n-1b"));
    EXPECT_EQ(fromZero.shown[0].text,
              u"デクリメントする値が「 -1 」になりました、マイナスの値をカウントし続けますか？");
    FakeContext bigStep;
    EXPECT_EQ(number(u"a\r\nb", {.start = u"3", .direction = kDown, .step = u"5"}, bigStep),
              Text(u"3a\r\n-2b"));
    EXPECT_EQ(bigStep.shown[0].text,
              u"デクリメントする値が「 -2 」になりました、マイナスの値をカウントし続けますか？");
}

TEST(InsertRunningNumbers, RightSideAtPositionZeroAsks) {
    constexpr TextView question =
        u"文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定しますか？";
    FakeContext yes;
    EXPECT_EQ(number(u"ab\r\ncd", {.side = u"右"}, yes), Text(u"ab1\r\ncd2"));
    EXPECT_EQ(yes.texts(), std::vector<Text>{Text(question)});
    EXPECT_EQ(yes.assigned, (std::vector<std::pair<std::string, Text>>{{"Combo21", u"1"}}));
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        FakeContext ctx;
        ctx.answers = {answer};
        EXPECT_EQ(number(u"ab", {.side = u"右"}, ctx), std::nullopt);
        EXPECT_TRUE(ctx.assigned.empty());
    }
}

TEST(InsertRunningNumbers, ErrorsNameTheDirection) {
    const Text up(kRunningNumbersIncrementError);
    const Text down(kRunningNumbersDecrementError);
    struct Case {
        Text in;
        Settings s;
        Text message;
    };
    const Case cases[] = {
        {u"abc", {.p = u"5"}, up},
        {u"abc", {.p = u"5", .direction = kDown}, down},
        {u"abc", {.side = u"右", .p = u"5"}, up},
        {Text(256, u'x'), {.side = u"右", .p = u"1"}, up},
        {u"a", {.first = u"256"}, up},
        {u"a", {.gap = u"256"}, up},
        // p is read before the direction: its overflow reports with the decrement message.
        {u"a", {.p = u"256"}, down},
        {u"a", {.direction = u"増やす"}, down},
        {u"a", {.format = u"0a"}, up},
        {u"a", {.start = u"-1"}, up},
        {u"a", {.start = u"1.5"}, up},
        {u"a", {.start = u""}, up},
        {u"a", {.step = u"0"}, up},
        {u"a", {.side = u"中"}, down},
        // The value is a currency quantity.
        {u"a\r\nb", {.start = u"922337203685477"}, up},
        {u"a", {.start = u"9223372036854775807"}, up},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(number(c.in, c.s, ctx), std::nullopt) << test::narrow(c.in);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Exclamation, c.message}}))
            << test::narrow(c.in);
    }
}

TEST(InsertRunningNumbers, RefusalsStopAndClosing) {
    FakeContext refused;
    EXPECT_EQ(number(u"a\r\n\r\nb", {}, refused), std::nullopt);
    EXPECT_EQ(refused.texts(), std::vector<Text>{u"改行の連続があります。"});

    for (int polls : {0, 1, 3}) {
        FakeContext stopped;
        stopped.stopAfterPolls = polls;
        EXPECT_EQ(number(kLines, {.first = u"3"}, stopped), std::nullopt);
        EXPECT_TRUE(stopped.shown.empty());
    }
    FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(number(u"ab", {.side = u"右"}, closing), std::nullopt);
    EXPECT_TRUE(closing.shown.empty());
}

}  // namespace
}  // namespace kivo
