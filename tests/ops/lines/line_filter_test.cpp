#include "ops/lines/line_filter.h"

#include <gtest/gtest.h>

#include <random>

#include "harness.h"
#include "ops/line_walk.h"
#include "text/utf8.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kContaining = u"次の文字を含む行を抜き出す";
constexpr TextView kNotContaining = u"次の文字を含まない行を抜き出す";

OpRun filter(TextView upper, TextView mode, TextView condition, FakeContext ctx = {}) {
    return run(kFilterLines, upper, {{"Combo47", Text(mode)}, {"Text13", Text(condition)}}, std::move(ctx));
}

TEST(FilterLines, KeepsTheLinesThatPassOrRefuses) {
    const std::vector noLine = {info(u"条件を満たす行はありませんでした。")};
    const std::vector breakInCondition = {info(u"条件の文字に改行が含まれています。")};
    const struct {
        TextView upper, mode, condition;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"apple\r\nbanana\r\ncherry", kContaining, u"an", u"banana"},
        {u"apple\r\nbanana\r\ncherry", kNotContaining, u"an", u"apple\r\ncherry"},
        {u"apple\r\nbanana\r\ncherry\r\n", kNotContaining, u"an", u"apple\r\ncherry\r\n"},
        {u"apple\r\nbanana\r\ncherry\r\n", kContaining, u"an", u"banana\r\n"},
        {u"a1\rb2\nc1", kContaining, u"1", u"a1\r\nc1"},
        // The kept empty first line loses its line break with the appended one: an empty result.
        {u"\r\nxa", kNotContaining, u"a", u""},
        {u"\r\nxa\r\n", kNotContaining, u"a", u"\r\n"},
        {u"ａ\r\nA", kContaining, u"A", u"A"},
        {u"aaab\r\nabab", kContaining, u"aab", u"aaab"},
        {u"abc\r\ndef", kContaining, u"x", std::nullopt, noLine},
        {u"a", kContaining, u"A", std::nullopt, noLine},
        {u"a\r\nab", kNotContaining, u"a", std::nullopt, noLine},
        {u"abc", kContaining, u"b\r\n", std::nullopt, breakInCondition},
        {u"abc", kContaining, u"\r", std::nullopt, breakInCondition},
        {u"a\r\n\r\nb", kContaining, u"\n", std::nullopt, {info(kConsecutiveLineBreaks)}},
        // A mode that is neither entry (only the command line can send one) is a run-time error.
        {u"abc", u"x", u"a", std::nullopt, {exclamation(kGeneralError)}},
    };
    for (const auto& row : rows) {
        const OpRun r = filter(row.upper, row.mode, row.condition);
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " " << show(row.condition);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " " << show(row.condition);
    }
}

TEST(FilterLines, StopEndsWithoutOutputOrMessage) {
    const OpRun r = filter(u"a\r\nb\r\nc", kContaining, u"a", stoppingAfter(1));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
    // The filter of bytes stops alike.
    FakeContext ctx = stoppingAfter(1);
    EXPECT_FALSE(FilterLinesUtf8("a\nb\na", {true, u"a"}, ctx));
    EXPECT_TRUE(ctx.shown.empty());
}

// The filter reads CrLf line breaks where they are, and the command line filters UTF-8 bytes
// without decoding them: for every text, the same messages
// and the same lines as the filter of the text with Lf line breaks. Texts with long stretches
// without a match and lines longer than a search window come from the repeats.
TEST(FilterLines, BytesGiveWhatTheDecodedTextGives) {
    std::mt19937 random(12);
    const std::u16string pieces[] = {u"a",          u"b",  u"あ",     u"\n",   u"\n",
                                     u"\U0001F600", u"ab", u"\u00E9", u"\r\n", u"\r"};
    const std::u16string conditions[] = {u"a", u"ab", u"あa", u"\U0001F600", u"b\u00E9", u"aba", u"", u"\n"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), length(0, 40);
    for (int round = 0; round < 4000; ++round) {
        Text upper;
        const std::size_t n = round % 100 == 0 ? 300'000 : length(random);
        while (upper.size() < n)
            upper += pieces[piece(random)];
        const FilterOptions options{round / 8 % 2 == 0,
                                    conditions[static_cast<std::size_t>(round) % std::size(conditions)]};
        // The reference: the text with its line breaks made Lf.
        FakeContext normalized, decoded;
        const std::optional<Text> expected = FilterLines(normalizeLineBreaks(upper), options, normalized);
        const std::optional<Text> asItIs = FilterLines(upper, options, decoded);
        SCOPED_TRACE(round);
        ASSERT_EQ(asItIs, expected) << show(upper) << " " << show(options.condition);
        ASSERT_EQ(decoded.texts(), normalized.texts());
        const std::string bytes = utf8::encode(upper);
        if (!filtersUtf8(options)) continue;
        FakeContext raw;
        const std::optional<std::string> got = FilterLinesUtf8(bytes, options, raw);
        ASSERT_EQ(got.has_value(), expected.has_value()) << show(upper) << " " << show(options.condition);
        if (expected) {
            ASSERT_EQ(*got, utf8::encode(*expected)) << show(upper) << " " << show(options.condition);
        }
        ASSERT_EQ(raw.texts(), normalized.texts());
    }
}

// Bytes are filtered whatever their line breaks; a condition UTF-8 cannot hold, and one the
// filter refuses, go to the decoded text.
TEST(FilterLines, OnlyConditionsWithALoneSurrogateOrALineBreakAreDecodedFirst) {
    EXPECT_TRUE(filtersUtf8({true, u"a"}));
    EXPECT_FALSE(filtersUtf8({true, Text(1, u'\xD800')}));
    EXPECT_FALSE(filtersUtf8({true, u"a\r"}));
    FakeContext ctx;
    EXPECT_EQ(FilterLinesUtf8("ab\rc\r\nad\n", {true, u"a"}, ctx), "ab\r\nad\r\n");
}

}  // namespace
}  // namespace kivo
