#include "ops/positions/positional_replacement.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

TEST(ReplaceByPosition, ReplacesTheRunInEveryLine) {
    const Text line255 = Text(254, u'a') + u"b";
    const std::vector error = {exclamation(kGeneralError)};
    const struct {
        Text upper, side, p, c, r;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"abcdef", u"左", u"2", u"3", u"X", u"aXef"},
        {u"abcdef", u"右", u"3", u"2", u"X", u"abcXf"},
        {u"abcdef", u"右", u"2", u"2", u"X", u"abcdX"},
        {u"abc", u"右", u"3", u"1", u"X", u"Xbc"},
        {u"abc", u"左", u"2", u"2", u"X", u"aX"},
        {u"ab\r\ncd", u"左", u"1", u"1", u"", u"b\r\nd"},
        {u"ab\r\ncd\r\n", u"左", u"1", u"1", u"X", u"Xb\r\nXd\r\n"},
        {u"ab\rcd\ne", u"右", u"1", u"1", u"X", u"aX\r\ncX\r\nX"},
        // Any other side text counts from the right.
        {u"ab", u"x", u"1", u"1", u"X", u"aX"},
        // A backspace of the input is replaced as a marker is.
        {u"a\bc", u"左", u"1", u"1", u"X", u"XXc"},
        // The replacement goes in as it is.
        {u"ab", u"左", u"1", u"1", u"1\r\n2", u"1\r\n2b"},
        {line255, u"左", u"255", u"1", u"X", Text(254, u'a') + u"X"},
        {line255, u"右", u"255", u"255", u"X", u"X"},
        // Equal only after normalising: written.
        {u"aa\rab", u"左", u"1", u"1", u"a", u"aa\r\nab"},
        {u"abc", u"左", u"2", u"1", u"b", std::nullopt, {info(u"置き換える文字が見つかりませんでした。")}},
        {u"a\r\n\r\nb", u"左", u"1", u"1", u"X", std::nullopt, {info(kConsecutiveLineBreaks)}},
        // Runs outside a line and values past 255 are run-time errors.
        {u"abcdef", u"左", u"5", u"3", u"X", std::nullopt, error},
        {u"abcdef\r\nabc", u"左", u"2", u"3", u"X", std::nullopt, error},
        {u"abcdef", u"右", u"2", u"3", u"X", std::nullopt, error},
        {u"abc", u"右", u"4", u"1", u"X", std::nullopt, error},
        {u"abc", u"左", u"300", u"1", u"X", std::nullopt, error},
        {Text(300, u'a'), u"左", u"256", u"1", u"X", std::nullopt, error},
        {Text(300, u'a'), u"左", u"1", u"256", u"X", std::nullopt, error},
        {u"abc", u"左", u"0", u"1", u"X", std::nullopt, error},
        // Read before the text is looked at.
        {u"a\r\n\r\nb", u"左", u"300", u"1", u"X", std::nullopt, error},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kReplaceByPosition, row.upper,
                            {{"Combo18", row.side}, {"Combo6", row.p}, {"Combo7", row.c}, {"Text34", row.r}});
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " p=" << show(row.p) << " c=" << show(row.c);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " p=" << show(row.p) << " c=" << show(row.c);
    }
}

}  // namespace
}  // namespace kivo
