#include "ops/lines/every_nth_line.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kSeven = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7";

// Both operations with the same first line and skip.
Settings counts(TextView k, TextView n) {
    return {{"Combo8", Text(k)}, {"Combo9", Text(n)}, {"Combo10", Text(k)}, {"Combo11", Text(n)}};
}

TEST(EveryNthLine, ExtractionAndRemainderSplitTheLines) {
    const struct {
        TextView upper, k, n, picked, rest;
    } rows[] = {
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
    for (const auto& row : rows) {
        EXPECT_EQ(run(kExtractEveryNthLine, row.upper, counts(row.k, row.n)).out, Text(row.picked))
            << show(row.upper) << " k=" << show(row.k);
        EXPECT_EQ(run(kRemainderEveryNthLine, row.upper, counts(row.k, row.n)).out, Text(row.rest))
            << show(row.upper) << " k=" << show(row.k);
    }
}

TEST(EveryNthLine, TheFirstLineAndStepFitEightBits) {
    Text lines;
    for (int i = 1; i <= 600; ++i)
        lines.append(u"L").append(1, static_cast<char16_t>(u'0' + i % 10)).append(u"\r\n");
    auto line = [](int i) { return Text(u"L").append(1, static_cast<char16_t>(u'0' + i % 10)); };
    // k = 255 and a skip of 254 (a step of 255) are the largest.
    EXPECT_EQ(run(kExtractEveryNthLine, lines, counts(u"255", u"254")).out, line(255) + u"\r\n" + line(510));
    EXPECT_EQ(run(kExtractEveryNthLine, lines, counts(u"1", u"254")).out,
              line(1) + u"\r\n" + line(256) + u"\r\n" + line(511));
    for (const auto& [k, n] : {std::pair<TextView, TextView>{u"256", u"1"},
                               {u"1", u"255"},
                               {u"999", u"999"},
                               {u"0", u"1"},
                               {u"1", u"x"}}) {
        for (const OperationDeclaration* op : {&kExtractEveryNthLine.get(), &kRemainderEveryNthLine.get()}) {
            const OpRun r = run(*op, lines, counts(k, n));
            EXPECT_EQ(r.out, std::nullopt) << show(k) << " " << show(n);
            EXPECT_EQ(r.ctx.shown, std::vector{exclamation(kGeneralError)});
        }
    }
}

TEST(EveryNthLine, RefusesAnEmptyLineBeforeTheEightBitLimit) {
    for (const OperationDeclaration* op : {&kExtractEveryNthLine.get(), &kRemainderEveryNthLine.get()}) {
        const OpRun r = run(*op, u"a\r\n\r\nb", counts(u"1", u"999"));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{info(kConsecutiveLineBreaks)});
    }
}

}  // namespace
}  // namespace kivo
