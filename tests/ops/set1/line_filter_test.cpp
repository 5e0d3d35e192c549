#include "ops/set1/line_filter.h"

#include <gtest/gtest.h>

#include <random>

#include "text/utf8.h"

#include "run_operation.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kContaining = u"次の文字を含む行を抜き出す";
constexpr TextView kNotContaining = u"次の文字を含まない行を抜き出す";

OpRun filter(TextView upper, TextView mode, TextView condition, FakeContext ctx = {}) {
    return runOperation(FilterLines, upper, {{"Combo47", Text(mode)}, {"Text13", Text(condition)}},
                        std::move(ctx));
}

TEST(FilterLines, KeepsTheLinesThatPass) {
    struct Case {
        TextView upper, mode, condition, out;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(filter(c.upper, c.mode, c.condition).out, Text(c.out))
            << show(c.upper) << " " << show(c.condition);
}

TEST(FilterLines, Refusals) {
    struct Case {
        TextView upper, mode, condition, message;
    };
    const Case cases[] = {
        {u"abc\r\ndef", kContaining, u"x", u"条件を満たす行はありませんでした。"},
        {u"a", kContaining, u"A", u"条件を満たす行はありませんでした。"},
        {u"a\r\nab", kNotContaining, u"a", u"条件を満たす行はありませんでした。"},
        {u"abc", kContaining, u"b\r\n", u"条件の文字に改行が含まれています。"},
        {u"abc", kContaining, u"\r", u"条件の文字に改行が含まれています。"},
        {u"a\r\n\r\nb", kContaining, u"\n", u"改行の連続があります。"},
        // A mode that is neither entry keeps nothing.
        {u"abc", u"x", u"a", u"条件を満たす行はありませんでした。"},
    };
    for (const Case& c : cases) {
        const OpRun r = filter(c.upper, c.mode, c.condition);
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{info(c.message)}) << show(c.upper);
    }
}

TEST(FilterLines, StopEndsWithoutOutputOrMessage) {
    const OpRun r = filter(u"a\r\nb\r\nc", kContaining, u"a", stoppingAfter(1));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

// The command line filters UTF-8 bytes without decoding them: for every text it takes, the same
// messages and the same lines as the filter of the decoded text. Texts with long stretches
// without a match and lines longer than a search window come from the repeats.
TEST(FilterLines, BytesGiveWhatTheDecodedTextGives) {
    std::mt19937 random(12);
    const std::u16string pieces[] = {u"a", u"b", u"あ", u"\n", u"\n", u"\U0001F600", u"ab", u"\u00E9"};
    const std::u16string conditions[] = {u"a", u"ab", u"あa", u"\U0001F600", u"b\u00E9", u"aba", u"", u"\n"};
    const TextView modes[] = {kContaining, kNotContaining, u"x"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), length(0, 40);
    for (int round = 0; round < 4000; ++round) {
        Text upper;
        const std::size_t n = round % 100 == 0 ? 300'000 : length(random);
        while (upper.size() < n)
            upper += pieces[piece(random)];
        const Text& condition = conditions[static_cast<std::size_t>(round) % std::size(conditions)];
        const TextView mode = modes[static_cast<std::size_t>(round / 8) % std::size(modes)];
        Params p = Params::defaults(Date{2024, 1, 1});
        p.set("Combo47", Text(mode));
        p.set("Text13", condition);
        const std::string bytes = utf8::encode(upper);
        ASSERT_TRUE(filtersUtf8(bytes, p));

        FakeContext decoded, raw;
        const std::optional<Text> expected = FilterLines(upper, p, decoded);
        const std::optional<std::string> got = FilterLinesUtf8(bytes, p, raw);
        SCOPED_TRACE(round);
        ASSERT_EQ(got.has_value(), expected.has_value()) << show(upper) << " " << show(condition);
        if (expected) {
            ASSERT_EQ(*got, utf8::encode(*expected)) << show(upper) << " " << show(condition);
        }
        ASSERT_EQ(raw.texts(), decoded.texts());
    }
}

TEST(FilterLines, BytesWithACrOrALoneSurrogateConditionAreDecodedFirst) {
    Params p = Params::defaults(Date{2024, 1, 1});
    p.set("Text13", u"a");
    EXPECT_TRUE(filtersUtf8("a\nb", p));
    EXPECT_FALSE(filtersUtf8("a\r\nb", p));
    EXPECT_FALSE(filtersUtf8("a\rb", p));
    p.set("Text13", Text(1, u'\xD800'));
    EXPECT_FALSE(filtersUtf8("a\nb", p));
}

TEST(FilterLines, BytesStopLikeTheDecodedFilter) {
    Params p = Params::defaults(Date{2024, 1, 1});
    p.set("Text13", u"a");
    FakeContext ctx = stoppingAfter(1);
    EXPECT_FALSE(FilterLinesUtf8("a\nb\na", p, ctx));
    EXPECT_TRUE(ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
