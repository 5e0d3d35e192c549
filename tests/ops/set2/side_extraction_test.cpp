#include "ops/set2/side_extraction.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

struct Case {
    Text side, p, c, in, out;
};

test::OpRun extract(const Case& c) {
    return runOp(ExtractFromSide, c.in,
                 {{"Combo16", Text(c.side)}, {"Combo12", Text(c.p)}, {"Combo13", Text(c.c)}});
}
test::OpRun remainder(const Case& c) {
    return runOp(RemainderFromSide, c.in,
                 {{"Combo17", Text(c.side)}, {"Combo14", Text(c.p)}, {"Combo15", Text(c.c)}});
}

TEST(ExtractFromSide, TakesTheRunOfEveryLine) {
    const Case cases[] = {
        {u"左", u"2", u"3", u"abcdef\r\nab\r\na", u"bcd\r\nb\r\n"},
        {u"右", u"3", u"2", u"abcdef", u"de"},
        {u"右", u"3", u"3", u"ab\r\nabcdef", u"ab\r\ndef"},
        {u"右", u"2", u"5", u"abcdef", u"ef"},
        {u"右", u"6", u"1", u"abcdef", u"a"},
        {u"x", u"1", u"1", u"abc", u"c"},
        {u"左", u"1", u"1", u"abc\r\n", u"a\r\n"},
        {u"左", u"1", u"1", u"abc\rd\ne", u"a\r\nd\r\ne"},
        {u"左", u"255", u"255", Text(300, u'a') + u"b", Text(46, u'a') + u"b"},
        {u"左", u"3", u"1", u"", u""},
    };
    for (const Case& c : cases) {
        const auto r = extract(c);
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in) << " p=" << show(c.p) << " c=" << show(c.c);
        EXPECT_TRUE(r.ctx.shown.empty());
    }
}

TEST(RemainderFromSide, KeepsTheLineWithoutTheRun) {
    const Text line255 = Text(255, u'a');
    const Case cases[] = {
        {u"左", u"2", u"3", u"abcdef", u"aef"},
        {u"左", u"2", u"3", u"abcd\r\n", u"a\r\n"},
        {u"右", u"3", u"2", u"abcdef", u"abcf"},
        {u"右", u"2", u"2", u"abcdef\r\nab", u"abcd\r\n"},
        {u"左", u"2", u"1", Text(300, u'a'), Text(299, u'a')},
        {u"右", u"2", u"2", Text(300, u'a'), Text(298, u'a')},
        // Right with p ≠ c: start position plus count up to 255.
        {u"右", u"2", u"1", line255, Text(254, u'a')},
        {u"右", u"10", u"5", Text(249, u'a') + u"0123456789", Text(249, u'a') + u"56789"},
    };
    for (const Case& c : cases) {
        const auto r = remainder(c);
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in) << " p=" << show(c.p) << " c=" << show(c.c);
        EXPECT_TRUE(r.ctx.shown.empty());
    }
}

TEST(SideExtraction, ShortLinesAndEightBitLimitsAreRunTimeErrors) {
    const Case extractErrors[] = {
        {u"右", u"3", u"2", u"ab", {}},
        {u"左", u"256", u"1", u"abc", {}},
        {u"左", u"1", u"256", u"abc", {}},
        {u"左", u"0", u"1", u"abc", {}},
    };
    const Case remainderErrors[] = {
        {u"左", u"2", u"3", u"abc", {}},
        {u"右", u"2", u"2", u"a", {}},
        {u"右", u"3", u"2", u"ab", {}},
        {u"右", u"2", u"3", u"abcdef", {}},
        {u"右", u"2", u"1", Text(256, u'a'), {}},
        {u"右", u"2", u"1", Text(300, u'a'), {}},
        {u"右", u"10", u"5", Text(250, u'a') + u"0123456789", {}},
        {u"左", u"300", u"1", u"abc", {}},
    };
    const std::vector<FakeContext::Shown> error{{Icon::Exclamation, Text(test::kGeneralErrorText)}};
    for (const Case& c : extractErrors) {
        const auto r = extract(c);
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in) << " p=" << show(c.p);
        EXPECT_EQ(r.ctx.shown, error);
    }
    for (const Case& c : remainderErrors) {
        const auto r = remainder(c);
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in) << " p=" << show(c.p);
        EXPECT_EQ(r.ctx.shown, error);
    }
}

TEST(SideExtraction, BothRefuseAnEmptyLine) {
    const Case c{u"左", u"1", u"1", u"a\r\n\r\nb", {}};
    EXPECT_EQ(extract(c).messages(), std::vector<Text>{Text(test::kConsecutiveText)});
    EXPECT_EQ(remainder(c).messages(), std::vector<Text>{Text(test::kConsecutiveText)});
}

}  // namespace
}  // namespace kivo
