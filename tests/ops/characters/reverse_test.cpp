#include "ops/characters/reverse.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kWhole = u"全文リバースする";
constexpr TextView kLines = u"数行おきにリバースする";

OpRun reverse(TextView upper, TextView mode, TextView interval = u"0", FakeContext ctx = {}) {
    return run(kReverseText, upper, {{"Combo41", Text(mode)}, {"Combo42", Text(interval)}}, std::move(ctx));
}

TEST(ReverseText, WholeTextOrEveryFewLines) {
    const struct {
        TextView upper, mode, interval, out;
    } rows[] = {
        {u"abc\r\ndef", kWhole, u"0", u"fed\r\ncba"},
        {u"abc\r\n", kWhole, u"0", u"\r\ncba"},
        {u"a\rb", kWhole, u"0", u"b\r\na"},
        {u"a\nb", kWhole, u"0", u"b\r\na"},
        // The whole-text mode has no refusal of consecutive line breaks.
        {u"a\r\n\r\nb", kWhole, u"1", u"b\r\n\r\na"},
        {u"あいう", kWhole, u"0", u"ういあ"},
        {u"x", kWhole, u"0", u"x"},
        {u"\r\r\n\n", kWhole, u"0", u"\r\n\r\n\r\n"},
        {u"a\bb\tc", kWhole, u"0", u"c\tb\ba"},
        // Surrogate pairs stay together.
        {u"a😀b", kWhole, u"0", u"b😀a"},
        {u"😀\r\n𠮷x", kLines, u"0", u"😀\r\nx𠮷"},
        {u"abc\r\ndef", kLines, u"0", u"cba\r\nfed"},
        {u"a1\r\na2\r\na3\r\na4\r\na5", kLines, u"1", u"1a\r\na2\r\n3a\r\na4\r\n5a"},
        {u"ab\r\ncd\r\nef\r\ngh\r\n", kLines, u"2", u"ba\r\ncd\r\nef\r\nhg\r\n"},
        {u"\r\nab", kLines, u"0", u"\r\nba"},
        {u"ab\rcd\nef", kLines, u"0", u"ba\r\ndc\r\nfe"},
        {u"ab", kLines, u"007", u"ba"},
        // A count takes any number of leading zeros.
        {u"ab\r\ncd", kLines, u"0000000000", u"ba\r\ndc"},
    };
    for (const auto& row : rows) {
        const OpRun r = reverse(row.upper, row.mode, row.interval);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(row.upper);
    }
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
            ASSERT_EQ(reverse(in, kWhole).out, expected) << show(in);
        }
    }
}

TEST(ReverseText, Interval999ReversesOnlyTheFirstOf1000Lines) {
    Text in, expected;
    for (int i = 0; i < 1000; ++i) {
        in += u"ab\r\n";
        expected += i == 0 ? u"ba\r\n" : u"ab\r\n";
    }
    EXPECT_EQ(reverse(in, kLines, u"999").out, expected);
    // Line 1001 is the next reversed one.
    EXPECT_EQ(reverse(in + u"xy", kLines, u"999").out, expected + u"yx");
}

TEST(ReverseText, RefusalsAndBadIntervals) {
    const struct {
        TextView upper, interval;
        FakeContext::Shown shown;
    } rows[] = {
        {u"a\r\n\r\nb", u"1", info(kConsecutiveLineBreaks)},
        {u"a\r\n\r\n", u"1", info(kConsecutiveLineBreaks)},
        {u"a\n\r", u"1", info(kConsecutiveLineBreaks)},
        // An interval outside its rule is a run-time error.
        {u"ab\r\ncd", u"1000", exclamation(kGeneralError)},
        {u"ab\r\ncd", u"x", exclamation(kGeneralError)},
        {u"ab\r\ncd", u"", exclamation(kGeneralError)},
        {u"ab\r\ncd", u"-1", exclamation(kGeneralError)},
        {u"ab\r\ncd", u"99999999999", exclamation(kGeneralError)},
    };
    for (const auto& row : rows) {
        const OpRun r = reverse(row.upper, kLines, row.interval);
        EXPECT_EQ(r.out, std::nullopt) << show(row.upper) << " " << show(row.interval);
        EXPECT_EQ(r.ctx.shown, std::vector{row.shown}) << show(row.upper) << " " << show(row.interval);
    }
}

TEST(ReverseText, StopAndClosingEndWithoutOutputOrMessage) {
    const OpRun stopped = reverse(u"a\r\nb\r\nc\r\nd", kLines, u"1", stoppingAfter(2));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
    EXPECT_EQ(stopped.ctx.polls, 3);
    // The whole-text reverse runs in the run frame too: a closing window gets no result.
    for (TextView mode : {kLines, kWhole}) {
        const OpRun closing = reverse(u"a\r\n\r\nb", mode, u"1", closingContext());
        EXPECT_EQ(closing.out, std::nullopt);
        EXPECT_TRUE(closing.ctx.shown.empty());
    }
}

}  // namespace
}  // namespace kivo
