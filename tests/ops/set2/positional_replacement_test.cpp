#include "ops/set2/positional_replacement.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

test::OpRun byPosition(TextView in, TextView side, TextView p, TextView c, TextView r) {
    return runOp(ReplaceByPosition, in,
                 {{"Combo18", Text(side)}, {"Combo6", Text(p)}, {"Combo7", Text(c)}, {"Text34", Text(r)}});
}

struct Case {
    Text side, p, c, r, in, out;
};

TEST(ReplaceByPosition, ReplacesTheRunInEveryLine) {
    const Text line255 = Text(254, u'a') + u"b";
    const Case cases[] = {
        {u"左", u"2", u"3", u"X", u"abcdef", u"aXef"},
        {u"右", u"3", u"2", u"X", u"abcdef", u"abcXf"},
        {u"右", u"2", u"2", u"X", u"abcdef", u"abcdX"},
        {u"右", u"3", u"1", u"X", u"abc", u"Xbc"},
        {u"左", u"2", u"2", u"X", u"abc", u"aX"},
        {u"左", u"1", u"1", u"", u"ab\r\ncd", u"b\r\nd"},
        {u"左", u"1", u"1", u"X", u"ab\r\ncd\r\n", u"Xb\r\nXd\r\n"},
        {u"右", u"1", u"1", u"X", u"ab\rcd\ne", u"aX\r\ncX\r\nX"},
        // Any other side text counts from the right.
        {u"x", u"1", u"1", u"X", u"ab", u"aX"},
        // A backspace of the input is replaced as a marker is.
        {u"左", u"1", u"1", u"X", u"a\bc", u"XXc"},
        // The replacement goes in as it is.
        {u"左", u"1", u"1", u"1\r\n2", u"ab", u"1\r\n2b"},
        {u"左", u"255", u"1", u"X", line255, Text(254, u'a') + u"X"},
        {u"右", u"255", u"255", u"X", line255, u"X"},
    };
    for (const Case& c : cases) {
        const auto r = byPosition(c.in, c.side, c.p, c.c, c.r);
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in) << " p=" << show(c.p) << " c=" << show(c.c);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(ReplaceByPosition, RunsOutsideALineAndValuesPast255AreRunTimeErrors) {
    const Case cases[] = {
        {u"左", u"5", u"3", u"X", u"abcdef", {}},
        {u"左", u"2", u"3", u"X", u"abcdef\r\nabc", {}},
        {u"右", u"2", u"3", u"X", u"abcdef", {}},
        {u"右", u"4", u"1", u"X", u"abc", {}},
        {u"左", u"300", u"1", u"X", u"abc", {}},
        {u"左", u"256", u"1", u"X", Text(300, u'a'), {}},
        {u"左", u"1", u"256", u"X", Text(300, u'a'), {}},
        {u"左", u"0", u"1", u"X", u"abc", {}},
        // Read before the text is looked at.
        {u"左", u"300", u"1", u"X", u"a\r\n\r\nb", {}},
    };
    for (const Case& c : cases) {
        const auto r = byPosition(c.in, c.side, c.p, c.c, c.r);
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in) << " p=" << show(c.p);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(test::kGeneralErrorText)}}))
            << show(c.in) << " p=" << show(c.p);
    }
}

TEST(ReplaceByPosition, RefusalsAndNothingReplaced) {
    EXPECT_EQ(byPosition(u"a\r\n\r\nb", u"左", u"1", u"1", u"X").messages(),
              std::vector<Text>{Text(test::kConsecutiveText)});
    const auto same = byPosition(u"abc", u"左", u"2", u"1", u"b");
    EXPECT_EQ(same.lower, std::nullopt);
    EXPECT_EQ(
        same.ctx.shown,
        (std::vector<FakeContext::Shown>{{Icon::Information, u"置き換える文字が見つかりませんでした。"}}));
    // Equal only after normalising: written.
    EXPECT_EQ(byPosition(u"aa\rab", u"左", u"1", u"1", u"a").lower, Text(u"aa\r\nab"));
}

}  // namespace
}  // namespace kivo
