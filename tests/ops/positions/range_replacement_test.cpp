#include "ops/positions/range_replacement.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kNothingReplaced = u"置き換える文字が見つかりませんでした。";
constexpr TextView kLeft = u"左から見つけた最初の";
constexpr TextView kRight = u"右から見つけた最初の";

OpRun allRanges(TextView upper, TextView a, TextView b, TextView r) {
    return run(kReplaceAllRangesInLine, upper,
               {{"Text16", Text(a)}, {"Text17", Text(b)}, {"Text18", Text(r)}});
}

OpRun firstRange(TextView upper, TextView side, TextView a, TextView b, TextView r) {
    return run(kReplaceRangePerLine, upper,
               {{"Combo43", Text(side)}, {"Text19", Text(a)}, {"Text20", Text(b)}, {"Text21", Text(r)}});
}

TEST(ReplaceAllRangesInLine, ReplacesEveryRange) {
    const struct {
        TextView a, b, r, upper, out;
    } rows[] = {
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
        // No range, but the breaks change from Cr to CrLf: that is written.
        {u"[", u"]", u"X", u"]x[\rb", u"]x[\r\nb"},
    };
    for (const auto& row : rows) {
        const OpRun r = allRanges(row.upper, row.a, row.b, row.r);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(row.upper);
    }
}

TEST(ReplaceRangePerLine, ReplacesTheFirstRangeFromEitherSide) {
    const struct {
        TextView side, a, b, upper, out;
    } rows[] = {
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
    for (const auto& row : rows) {
        const OpRun r = firstRange(row.upper, row.side, row.a, row.b, u"-");
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(row.upper);
    }
}

// Both operations check their texts in this order; nothing replaced compares with the
// unnormalised text.
TEST(RangeReplacement, RefusalsComeInOrder) {
    const struct {
        TextView a, b, r, upper, message, side = kRight;
    } rows[] = {
        {u"", u"", u"X", u"a\r\n\r\nb", u"●～▲を…の左側のテキストを入力して下さい。"},
        {u"", u"\b", u"X", u"x", u"●～▲を…の左側のテキストを入力して下さい。"},
        {u"[", u"", u"X", u"x", u"●～▲を…の右側のテキストを入力して下さい。"},
        {u"[\b", u"]", u"X", u"a\r\n\r\nb", u"●～▲にバックスペースが含まれています。"},
        {u"[", u"\b", u"X", u"x", u"●～▲にバックスペースが含まれています。"},
        {u"[\n", u"]", u"X", u"a\r\n\r\nb", kConsecutiveLineBreaks},
        {u"[\r\n", u"]", u"X", u"[x]", u"●～▲に改行が含まれています。"},
        {u"[", u"\n", u"X", u"[x]", u"●～▲に改行が含まれています。"},
        {u"[", u"]", u"X", u"a]", u"●～▲を…の左側のテキストが本文中に見つかりませんでした。"},
        // A lone Cr of a delimiter cannot match the normalised text.
        {u"\r", u"]", u"X", u"a\r]", u"●～▲を…の左側のテキストが本文中に見つかりませんでした。"},
        {u"[", u"]", u"X", u"[a", u"●～▲を…の右側のテキストが本文中に見つかりませんでした。"},
        // Found anywhere in the text counts, across lines too.
        {u"[", u"]", u"X", u"[a\r\n", u"●～▲を…の右側のテキストが本文中に見つかりませんでした。"},
        {u"|", u"|", u"X", u"a|b|c", kNothingReplaced, kLeft},
        {u"aa", u"a", u"X", u"aaa", kNothingReplaced, kLeft},
        {u"[", u"]", u"[1]", u"a[1]", kNothingReplaced, kLeft},
        {u"(", u")", u"X", u"(1\r\n2)", kNothingReplaced, kLeft},
    };
    for (const auto& row : rows) {
        const OpRun all = allRanges(row.upper, row.a, row.b, row.r);
        EXPECT_EQ(all.out, std::nullopt) << show(row.upper);
        EXPECT_EQ(all.ctx.shown, std::vector{info(row.message)}) << show(row.upper);
        EXPECT_EQ(firstRange(row.upper, row.side, row.a, row.b, row.r).messages(),
                  std::vector<Text>{Text(row.message)})
            << show(row.upper);
    }
}

TEST(RangeReplacement, LongRepetitiveDelimitersStayLinear) {
    // Equal start and end texts of 20,000 units over a line of 200,000: every pass finds both at
    // the same place. A search restarted per pass would compare about 4·10^9 units.
    const Text delimiter(20000, u'a');
    const Text line(200000, u'a');
    EXPECT_EQ(allRanges(line, delimiter, delimiter, u"X").messages(),
              std::vector<Text>{Text(kNothingReplaced)});
    EXPECT_EQ(firstRange(line, kRight, delimiter, delimiter, u"X").messages(),
              std::vector<Text>{Text(kNothingReplaced)});
    // Many ranges in one line.
    Text many, expected;
    for (int i = 0; i < 100000; ++i) {
        many += u"x[yy]";
        expected += u"xZ";
    }
    EXPECT_EQ(allRanges(many, u"[", u"]", u"Z").out, expected);
}

}  // namespace
}  // namespace kivo
