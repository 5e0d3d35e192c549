#include "ops/set2/every_nth_line.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

constexpr TextView kSeven = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7";

std::optional<Text> extract(TextView in, TextView k, TextView n) {
    return runOp(ExtractEveryNthLine, in, {{"Combo8", Text(k)}, {"Combo9", Text(n)}}).lower;
}
std::optional<Text> remainder(TextView in, TextView k, TextView n) {
    return runOp(RemainderEveryNthLine, in, {{"Combo10", Text(k)}, {"Combo11", Text(n)}}).lower;
}

TEST(EveryNthLine, ExtractionAndRemainderSplitTheLines) {
    struct Case {
        TextView in, k, n, picked, rest;
    };
    const Case cases[] = {
        {kSeven, u"1", u"1", u"1\r\n3\r\n5\r\n7", u"2\r\n4\r\n6"},
        {kSeven, u"2", u"2", u"2\r\n5", u"1\r\n3\r\n4\r\n6\r\n7"},
        {kSeven, u"7", u"1", u"7", u"1\r\n2\r\n3\r\n4\r\n5\r\n6"},
        {kSeven, u"8", u"1", u"", kSeven},
        {u"a", u"1", u"1", u"a", u""},
        {u"a\r\nb\r\nc\r\n", u"2", u"1", u"b", u"a\r\nc\r\n"},
        {u"a\r\nb\r\nc", u"2", u"1", u"b", u"a\r\nc"},
        {u"a\r\nb", u"2", u"1", u"b", u"a"},
        {u"a\r\nb\r\n", u"1", u"1", u"a", u"b\r\n"},
        {u"a\rb\nc", u"1", u"1", u"a\r\nc", u"b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(extract(c.in, c.k, c.n), Text(c.picked)) << show(c.in) << " k=" << show(c.k);
        EXPECT_EQ(remainder(c.in, c.k, c.n), Text(c.rest)) << show(c.in) << " k=" << show(c.k);
    }
}

TEST(EveryNthLine, TheFirstLineAndStepFitEightBits) {
    Text lines;
    for (int i = 1; i <= 600; ++i)
        lines.append(u"L").append(1, static_cast<char16_t>(u'0' + i % 10)).append(u"\r\n");
    auto line = [](int i) { return Text(u"L").append(1, static_cast<char16_t>(u'0' + i % 10)); };
    // k = 255 and a skip of 254 (a step of 255) are the largest.
    EXPECT_EQ(extract(lines, u"255", u"254"), line(255) + u"\r\n" + line(510));
    EXPECT_EQ(extract(lines, u"1", u"254"), line(1) + u"\r\n" + line(256) + u"\r\n" + line(511));
    for (const auto& [k, n] :
         {std::pair{u"256", u"1"}, {u"1", u"255"}, {u"999", u"999"}, {u"0", u"1"}, {u"1", u"x"}}) {
        for (Operation op : {ExtractEveryNthLine, RemainderEveryNthLine}) {
            const auto r =
                runOp(op, lines,
                      {{"Combo8", Text(k)}, {"Combo9", Text(n)}, {"Combo10", Text(k)}, {"Combo11", Text(n)}});
            EXPECT_EQ(r.lower, std::nullopt) << show(k) << " " << show(n);
            EXPECT_EQ(r.ctx.shown,
                      (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(test::kGeneralErrorText)}}));
        }
    }
}

TEST(EveryNthLine, RefusesAnEmptyLineBeforeReadingTheCounts) {
    for (Operation op : {ExtractEveryNthLine, RemainderEveryNthLine}) {
        const auto r = runOp(op, u"a\r\n\r\nb", {{"Combo9", u"999"}, {"Combo11", u"999"}});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{{Icon::Information, Text(test::kConsecutiveText)}}));
    }
}

}  // namespace
}  // namespace kivo
