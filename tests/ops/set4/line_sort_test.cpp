#include "ops/set4/line_sort.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;

constexpr TextView kUp = u"昇順でソートする";
constexpr TextView kDown = u"降順でソートする";

std::optional<Text> sortLines(TextView upper, TextView order = kUp) {
    return runOp(SortLines, upper, {{"Combo20", order}});
}

TEST(SortLines, SortsLinesAscendingAndDescending) {
    struct Case {
        TextView in, order, out;
    };
    const Case cases[] = {
        {u"b\r\na\r\nc", kUp, u"a\r\nb\r\nc"},
        {u"b\r\na\r\nc", kDown, u"c\r\nb\r\na"},
        // A final line break adds an empty last line that is sorted with the others.
        {u"b\r\na\r\n", kUp, u"\r\na\r\nb\r\n"},
        {u"b\r\na\r\n", kDown, u"b\r\na\r\n\r\n"},
        // Case-sensitive, in code-unit order: upper case before lower case.
        {u"b\r\nB\r\na\r\nA", kUp, u"A\r\nB\r\na\r\nb"},
        {u"b\r\nB\r\na\r\nA", kDown, u"b\r\na\r\nB\r\nA"},
        // Duplicates stay; a prefix sorts before its extensions.
        {u"ab\r\na\r\nab\r\na", kUp, u"a\r\na\r\nab\r\nab"},
        // Lone Cr and Lf are line breaks too and come out as CrLf.
        {u"c\rb\na", kUp, u"a\r\nb\r\nc"},
        // Code units: full-width letters and kana after ASCII, hiragana (U+3042) before katakana.
        {u"ア\r\nあ\r\nＡ\r\nz", kUp, u"z\r\nあ\r\nア\r\nＡ"},
        // A surrogate pair (U+D842 …) sorts before U+E000 and above, unlike code-point order.
        {u"\uFF21\r\n𠮷", kUp, u"𠮷\r\n\uFF21"},
        {u"\n", kUp, u"\r\n\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sortLines(c.in, c.order), Text(c.out)) << test::narrow(c.in);
}

TEST(SortLines, Refusals) {
    struct Case {
        TextView in, message;
    };
    const Case cases[] = {
        {u"abc", u"1行なのでソートできません。"},
        {u"a\r\n\r\nb", u"改行の連続があります。"},
        {u"a\r\n\r\n", u"改行の連続があります。"},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(runOp(SortLines, c.in, {}, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}));
    }
}

TEST(SortLines, AnOrderOutsideTheListIsARunTimeError) {
    FakeContext ctx;
    EXPECT_EQ(runOp(SortLines, u"b\r\na", {{"Combo20", u"昇順"}}, ctx), std::nullopt);
    EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(kGeneralError)}}));
}

TEST(SortLines, StopWhileFillingOrReadingBackWritesNothing) {
    for (int polls : {0, 2, 5}) {
        FakeContext ctx;
        ctx.stopAfterPolls = polls;
        EXPECT_EQ(runOp(SortLines, u"c\r\nb\r\na", {}, ctx), std::nullopt) << polls;
        EXPECT_TRUE(ctx.shown.empty());
    }
}

TEST(SortLines, ManyLinesWithAFinalBreak) {
    Text in;
    int counts[26] = {};
    for (int i = 0; i < 5000; ++i) {
        const int letter = (i * 7919) % 26;
        ++counts[letter];
        in += Text(1, static_cast<char16_t>(u'a' + letter)) + u"\r\n";
    }
    Text expected = u"\r\n";
    for (int letter = 0; letter < 26; ++letter)
        for (int k = 0; k < counts[letter]; ++k)
            expected += Text(1, static_cast<char16_t>(u'a' + letter)) + u"\r\n";
    EXPECT_EQ(sortLines(in), expected);
}

}  // namespace
}  // namespace kivo
