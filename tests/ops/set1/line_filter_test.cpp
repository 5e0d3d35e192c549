#include "ops/set1/line_filter.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kivo
