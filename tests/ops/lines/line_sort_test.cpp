#include "ops/lines/line_sort.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kUp = u"昇順でソートする";
constexpr TextView kDown = u"降順でソートする";

OpRun sorted(TextView upper, TextView order = kUp, FakeContext ctx = {}) {
    return run(kSortLines, upper, {{"Combo20", Text(order)}}, std::move(ctx));
}

TEST(SortLines, SortsLinesAscendingAndDescending) {
    const struct {
        TextView upper, order;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
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
        {u"\uE000\n𠮷\n\uD7FF\n\uFFFF", kUp, u"\uD7FF\r\n𠮷\r\n\uE000\r\n\uFFFF"},
        {u"\uE000\n𠮷\n\uD7FF\n\uFFFF", kDown, u"\uFFFF\r\n\uE000\r\n𠮷\r\n\uD7FF"},
        {u"\n", kUp, u"\r\n\r\n"},
        {u"abc", kUp, std::nullopt, {info(u"1行なのでソートできません。")}},
        {u"a\r\n\r\nb", kUp, std::nullopt, {info(kConsecutiveLineBreaks)}},
        {u"a\r\n\r\n", kUp, std::nullopt, {info(kConsecutiveLineBreaks)}},
        // An order outside the list is a run-time error.
        {u"b\r\na", u"昇順", std::nullopt, {exclamation(kGeneralError)}},
    };
    for (const auto& row : rows) {
        const OpRun r = sorted(row.upper, row.order);
        EXPECT_EQ(r.out, row.out) << show(row.upper);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper);
        // The command line sorts the UTF-8 bytes themselves to the same end.
        const BytesRun onBytes = runOnBytes(kSortLines, row.upper, {{"Combo20", Text(row.order)}});
        EXPECT_EQ(onBytes.out, utf8Of(row.out)) << show(row.upper);
        EXPECT_EQ(onBytes.ctx.shown, row.shown) << show(row.upper);
    }
}

// The stretch a refusal of two line breaks in a row notes: the break of the first empty line that
// follows one.
TEST(SortLines, TheRefusalNotesTheBreakOfTheEmptyLine) {
    const struct {
        TextView upper;
        std::ptrdiff_t at;
        std::size_t length;
    } rows[] = {
        {u"a\r\n\r\nb", 3, 2},
        {u"\n\na", 1, 1},
        {u"a\r\r\n", 2, 2},
        {u"a\n\r", 2, 1},
    };
    for (const auto& row : rows) {
        FakeContext ctx;
        refuseEmptyLine(row.upper, ctx);
        EXPECT_EQ(ctx.concerned().data() - row.upper.data(), row.at) << show(row.upper);
        EXPECT_EQ(ctx.concerned().size(), row.length) << show(row.upper);
        EXPECT_EQ(ctx.shown, std::vector{info(kConsecutiveLineBreaks)});
    }
}

TEST(SortLines, StopWhileFillingOrReadingBackWritesNothing) {
    for (int polls : {0, 2, 5}) {
        const OpRun r = sorted(u"c\r\nb\r\na", kUp, stoppingAfter(polls));
        EXPECT_EQ(r.out, std::nullopt) << polls;
        EXPECT_TRUE(r.ctx.shown.empty());
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
    EXPECT_EQ(sorted(in).out, expected);
}

}  // namespace
}  // namespace kivo
