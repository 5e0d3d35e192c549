#include "ops/set2/range_replacement.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

constexpr TextView kNothingReplaced = u"置き換える文字が見つかりませんでした。";

test::OpRun allRanges(TextView in, TextView a, TextView b, TextView r) {
    return runOp(ReplaceAllRangesInLine, in, {{"Text16", Text(a)}, {"Text17", Text(b)}, {"Text18", Text(r)}});
}

test::OpRun firstRange(TextView in, TextView side, TextView a, TextView b, TextView r) {
    return runOp(ReplaceRangePerLine, in,
                 {{"Combo43", Text(side)}, {"Text19", Text(a)}, {"Text20", Text(b)}, {"Text21", Text(r)}});
}

struct Case {
    TextView a, b, r, in, out;
};

TEST(ReplaceAllRangesInLine, ReplacesEveryRange) {
    const Case cases[] = {
        {u"[", u"]", u"X", u"a[1]b[2]c", u"aXbXc"},
        {u"<<", u">>", u"", u"x<<1>>y", u"xy"},
        {u"<<", u">>", u"", u"<<1>>y", u"y"},
        {u"[", u"]", u"X", u"[a][b]", u"XX"},
        {u"[", u"]", u"X", u"[]", u"X"},
        {u"[", u"]", u"X", u"[[a]]", u"X]"},
        // An end text before the start text is skipped.
        {u"[", u"]", u"X", u"]a[b]", u"]aX"},
        // The end text may overlap the start text, but must start after it.
        {u"ab", u"b", u"X", u"xaby", u"xXy"},
        // After a replacement the search goes on right after it: text outside every range stays.
        {u"[", u"]", u"X", u"[123456]x[y]zzzzzzzz]", u"XxXzzzzzzzz]"},
        {u"[", u"]", u"X", u"[12345]x[y]zzzzzz]w[v]", u"XxXzzzzzz]wX"},
        {u"[", u"]", u"X", u"a[1]\r\nb[2]c\r\n", u"aX\r\nbXc\r\n"},
        {u"[", u"]", u"X", u"a[1]\rb", u"aX\r\nb"},
        {u"[", u"]", u"X", u"[1]\r\n[2\r\n3]", u"X\r\n[2\r\n3]"},
        // A backspace of the input is replaced as a marker is.
        {u"[", u"]", u"X", u"a\b[1]", u"aXX"},
        // The replacement goes in as it is.
        {u"[", u"]", u"1\r\n2", u"a[x]b", u"a1\r\n2b"},
        {u"[", u"]", u"あ", u"い[う]え", u"いあえ"},
    };
    for (const Case& c : cases) {
        const auto r = allRanges(c.in, c.a, c.b, c.r);
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(ReplaceRangePerLine, ReplacesTheFirstRangeFromEitherSide) {
    constexpr TextView kLeft = u"左から見つけた最初の";
    constexpr TextView kRight = u"右から見つけた最初の";
    struct SideCase {
        TextView side, a, b, in, out;
    };
    const SideCase cases[] = {
        {kLeft, u"(", u")", u"(1)(2)", u"-(2)"},
        {kRight, u"(", u")", u"(1)(2)", u"(1)-"},
        {u"x", u"(", u")", u"(1)(2)", u"(1)-"},
        {kLeft, u"(", u")", u")(1)", u")-"},
        // The last end text lies before the last start text: the line stays.
        {kRight, u"(", u")", u"(1)(2\r\n(3)", u"(1)(2\r\n-"},
        {kLeft, u"<<", u">>", u"a<<1>>b<<2>>c", u"a-b<<2>>c"},
        {kRight, u"<<", u">>", u"a<<1>>b<<2>>c", u"a<<1>>b-c"},
        {kRight, u"aa", u"b", u"aaab", u"a-"},
        {kLeft, u"(", u")", u"(1)\r\n2\r\n(3)(4)\r\n", u"-\r\n2\r\n-(4)\r\n"},
    };
    for (const SideCase& c : cases) {
        const auto r = firstRange(c.in, c.side, c.a, c.b, u"-");
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(RangeReplacement, NothingReplacedComparesWithTheUnnormalisedText) {
    const Case nothing[] = {
        {u"|", u"|", u"X", u"a|b|c", {}},
        {u"aa", u"a", u"X", u"aaa", {}},
        {u"[", u"]", u"[1]", u"a[1]", {}},
        {u"(", u")", u"X", u"(1\r\n2)", {}},
    };
    for (const Case& c : nothing) {
        const auto r = allRanges(c.in, c.a, c.b, c.r);
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{{Icon::Information, Text(kNothingReplaced)}}));
        EXPECT_EQ(firstRange(c.in, u"左から見つけた最初の", c.a, c.b, c.r).messages(),
                  std::vector<Text>{Text(kNothingReplaced)});
    }
    // No range, but the breaks change from Cr to CrLf: that is written.
    EXPECT_EQ(allRanges(u"]x[\rb", u"[", u"]", u"X").lower, Text(u"]x[\r\nb"));
}

TEST(RangeReplacement, TheChecksComeInOrder) {
    struct Check {
        TextView a, b, in, message;
    };
    const Check checks[] = {
        {u"", u"", u"a\r\n\r\nb", u"●～▲を…の左側のテキストを入力して下さい。"},
        {u"", u"\b", u"x", u"●～▲を…の左側のテキストを入力して下さい。"},
        {u"[", u"", u"x", u"●～▲を…の右側のテキストを入力して下さい。"},
        {u"[\b", u"]", u"a\r\n\r\nb", u"●～▲にバックスペースが含まれています。"},
        {u"[", u"\b", u"x", u"●～▲にバックスペースが含まれています。"},
        {u"[\n", u"]", u"a\r\n\r\nb", u"改行の連続があります。"},
        {u"[\r\n", u"]", u"[x]", u"●～▲に改行が含まれています。"},
        {u"[", u"\n", u"[x]", u"●～▲に改行が含まれています。"},
        {u"[", u"]", u"a]", u"●～▲を…の左側のテキストが本文中に見つかりませんでした。"},
        // A lone Cr of a delimiter cannot match the normalised text.
        {u"\r", u"]", u"a\r]", u"●～▲を…の左側のテキストが本文中に見つかりませんでした。"},
        {u"[", u"]", u"[a", u"●～▲を…の右側のテキストが本文中に見つかりませんでした。"},
        // Found anywhere in the text counts, across lines too.
        {u"[", u"]", u"[a\r\n", u"●～▲を…の右側のテキストが本文中に見つかりませんでした。"},
    };
    for (const Check& c : checks) {
        const auto r = allRanges(c.in, c.a, c.b, u"X");
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in);
        EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}))
            << show(c.in);
        EXPECT_EQ(firstRange(c.in, u"右から見つけた最初の", c.a, c.b, u"X").messages(),
                  std::vector<Text>{Text(c.message)});
    }
}

TEST(RangeReplacement, LongRepetitiveDelimitersStayLinear) {
    // Equal start and end texts of 20,000 units over a line of 200,000: every pass finds both at
    // the same place. A search restarted per pass would compare about 4·10^9 units.
    const Text delimiter(20000, u'a');
    const Text line(200000, u'a');
    EXPECT_EQ(allRanges(line, delimiter, delimiter, u"X").messages(),
              std::vector<Text>{Text(kNothingReplaced)});
    EXPECT_EQ(firstRange(line, u"右から見つけた最初の", delimiter, delimiter, u"X").messages(),
              std::vector<Text>{Text(kNothingReplaced)});
    // Many ranges in one line.
    Text many, expected;
    for (int i = 0; i < 100000; ++i) {
        many += u"x[yy]";
        expected += u"xZ";
    }
    EXPECT_EQ(allRanges(many, u"[", u"]", u"Z").lower, expected);
}

}  // namespace
}  // namespace kivo
