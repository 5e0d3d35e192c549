#include "ops/set1/reverse.h"

#include <gtest/gtest.h>

#include "fake_context.h"
#include "ops/params.h"

namespace kivo {
namespace {

using test::FakeContext;

std::optional<Text> reverse(TextView upper, TextView mode, TextView interval = u"0",
                            FakeContext* ctx = nullptr) {
    Params p = Params::defaults(Date{2024, 1, 1});
    p.set("Combo41", Text(mode));
    p.set("Combo42", Text(interval));
    FakeContext local;
    return ReverseText(upper, p, ctx ? *ctx : local);
}

constexpr TextView kWhole = u"全文リバースする";
constexpr TextView kLines = u"数行おきにリバースする";

TEST(ReverseText, WholeTextReversesCharactersAndLineOrder) {
    struct Case {
        TextView in, out;
    };
    const Case cases[] = {
        {u"abc\r\ndef", u"fed\r\ncba"},
        {u"abc\r\n", u"\r\ncba"},
        {u"a\rb", u"b\r\na"},
        {u"a\nb", u"b\r\na"},
        {u"a\r\n\r\nb", u"b\r\n\r\na"},
        {u"あいう", u"ういあ"},
        {u"x", u"x"},
        {u"\r\r\n\n", u"\r\n\r\n\r\n"},
        {u"a\bb\tc", u"c\tb\ba"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reverse(c.in, kWhole), Text(c.out)) << std::string(c.in.begin(), c.in.end());
}

TEST(ReverseText, KeepsSurrogatePairsTogether) {
    EXPECT_EQ(reverse(u"a😀b", kWhole), Text(u"b😀a"));
    EXPECT_EQ(reverse(u"😀\r\n𠮷x", kLines, u"0"), Text(u"😀\r\nx𠮷"));
    // A lone half stays a lone half.
    EXPECT_EQ(reversed(u"a\xD800"), Text(u"\xD800"
                                         u"a"));
}

// The whole text is reversed in one pass; it must equal the three steps it stands for (normalise,
// reverse keeping pairs, write CrLf) on every short text of line breaks and surrogate halves.
TEST(ReverseText, WholeTextEqualsNormaliseReverseAndCrLf) {
    const char16_t alphabet[] = {u'a', u'\r', u'\n', 0xD800, 0xDC00};
    for (std::size_t length = 0; length <= 5; ++length) {
        std::size_t combinations = 1;
        for (std::size_t k = 0; k < length; ++k)
            combinations *= std::size(alphabet);
        for (std::size_t code = 0; code < combinations; ++code) {
            Text in;
            for (std::size_t k = 0, rest = code; k < length; ++k, rest /= std::size(alphabet))
                in.push_back(alphabet[rest % std::size(alphabet)]);
            const Text expected = lfToCrLf(reversed(normalizeLineBreaks(in)));
            ASSERT_EQ(reverse(in, kWhole), expected) << testing::PrintToString(std::u16string_view(in));
        }
    }
}

TEST(ReverseText, EveryFewLines) {
    struct Case {
        TextView in, interval, out;
    };
    const Case cases[] = {
        {u"abc\r\ndef", u"0", u"cba\r\nfed"},
        {u"a1\r\na2\r\na3\r\na4\r\na5", u"1", u"1a\r\na2\r\n3a\r\na4\r\n5a"},
        {u"ab\r\ncd\r\nef\r\ngh\r\n", u"2", u"ba\r\ncd\r\nef\r\nhg\r\n"},
        {u"\r\nab", u"0", u"\r\nba"},
        {u"ab\rcd\nef", u"0", u"ba\r\ndc\r\nfe"},
        {u"ab", u"007", u"ba"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reverse(c.in, kLines, c.interval), Text(c.out));
}

TEST(ReverseText, Interval999ReversesOnlyTheFirstOf1000Lines) {
    Text in, expected;
    for (int i = 0; i < 1000; ++i) {
        in += u"ab\r\n";
        expected += i == 0 ? u"ba\r\n" : u"ab\r\n";
    }
    EXPECT_EQ(reverse(in, kLines, u"999"), expected);
    // Line 1001 is the next reversed one.
    EXPECT_EQ(reverse(in + u"xy", kLines, u"999"), expected + u"yx");
}

TEST(ReverseText, RefusesConsecutiveLineBreaks) {
    for (TextView in : {TextView(u"a\r\n\r\nb"), TextView(u"a\r\n\r\n"), TextView(u"a\n\r")}) {
        FakeContext ctx;
        EXPECT_EQ(reverse(in, kLines, u"1", &ctx), std::nullopt);
        ASSERT_EQ(ctx.shown.size(), 1u);
        EXPECT_EQ(ctx.shown[0], (FakeContext::Shown{Icon::Information, u"改行の連続があります。"}));
    }
    // The whole-text mode has no such refusal.
    EXPECT_EQ(reverse(u"a\r\n\r\nb", kWhole), Text(u"b\r\n\r\na"));
}

TEST(ReverseText, StopEndsWithoutOutputOrMessage) {
    FakeContext ctx;
    ctx.stopAfterPolls = 2;
    EXPECT_EQ(reverse(u"a\r\nb\r\nc\r\nd", kLines, u"1", &ctx), std::nullopt);
    EXPECT_TRUE(ctx.shown.empty());
    EXPECT_EQ(ctx.polls, 3);
}

TEST(ReverseText, ClosingSuppressesTheMessage) {
    FakeContext ctx;
    ctx.closingFlag = true;
    EXPECT_EQ(reverse(u"a\r\n\r\nb", kLines, u"1", &ctx), std::nullopt);
    EXPECT_TRUE(ctx.shown.empty());
}

TEST(ReverseText, AnIntervalOutsideItsRuleIsARunTimeError) {
    for (TextView bad :
         {TextView(u"1000"), TextView(u"x"), TextView(u""), TextView(u"-1"), TextView(u"99999999999")}) {
        FakeContext ctx;
        EXPECT_EQ(reverse(u"ab\r\ncd", kLines, bad, &ctx), std::nullopt);
        EXPECT_EQ(ctx.texts(),
                  std::vector<Text>{u"条件が行えない行がある、または文字数、その他のエラーです。"});
    }
}

}  // namespace
}  // namespace kivo
