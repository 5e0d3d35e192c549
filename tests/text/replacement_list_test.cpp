#include "text/replacement_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/utf8.h"

namespace kivo {
namespace {

TEST(ReplacementList, RefusedLines) {
    struct Case {
        TextView list;
        RuleKind kind;
        std::size_t line;
    };
    const Case cases[] = {
        {u"a\tb\r\nno tab here\r\n", RuleKind::Plain, 2},
        {u"# comment\n\n\tb", RuleKind::Plain, 3},
        {u"a\tb\r\nc\td\r\n(x\ty", RuleKind::Regex, 3},
        {u"(x)\t$2", RuleKind::Regex, 1},
    };
    for (const Case& c : cases) {
        try {
            ReplacementList(c.list, c.kind);
            ADD_FAILURE() << "not refused: " << utf8::encode(c.list);
        } catch (const ReplacementListError& e) {
            EXPECT_EQ(e.line(), c.line) << utf8::encode(c.list);
        }
    }
    // A plain list takes (x as it is.
    EXPECT_EQ(ReplacementList(u"(x\ty", RuleKind::Plain).size(), 1u);
    try {
        ReplacementList(u"a\tb\n[a\tc", RuleKind::Regex);
    } catch (const ReplacementListError& e) {
        EXPECT_EQ(e.japanese(),
                  u"2行目：正規表現の2文字目付近：「[」に対応する「]」がありません（U_REGEX_MISSING_CLOSE_"
                  u"BRACKET）。");
    }
}

TEST(ReplacementList, AppliesPairsInOrder) {
    struct Case {
        TextView list;
        RuleKind kind;
        RegexReplaceOptions options;
        TextView text;
        TextView result;
        std::vector<std::size_t> counts;
    };
    const Case cases[] = {
        // Each pair works on the result of the one before; comments and empty lines are skipped.
        {u"# a → b → c\r\na\tb\r\n\r\nb\tc\r\n", RuleKind::Plain, {}, u"ab\nba", u"cc\r\ncc", {2, 4}},
        // The replacement is the rest of the line, Tabs and all; plain finds are exact.
        {u"株式会社\t(株)\t\r\n.\t。", RuleKind::Plain, {}, u"株式会社A.B", u"(株)\tA。B", {1, 1}},
        {u"x\ty", RuleKind::Plain, {}, u"abc", u"abc", {0}},
        {u"\\s+$\t\r\n(\\d+)円\t¥$1", RuleKind::Regex, {}, u"100円  \r\n200円\t", u"¥100\r\n¥200", {2, 2}},
        {u"^\t> ", RuleKind::Regex, {.scope = RegexScope::WholeText}, u"a\r\nb", u"> a\r\nb", {1}},
        {u"a\tb", RuleKind::Regex, {.all = false}, u"aa\r\naa", u"ba\r\nba", {2}},
    };
    for (const Case& c : cases) {
        ReplacementList list(c.list, c.kind);
        const std::optional<ReplacementListResult> r = list.apply(c.text, c.options, {});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->text, c.result) << utf8::encode(c.list);
        EXPECT_EQ(r->counts, c.counts) << utf8::encode(c.list);
    }
    ReplacementList list(u"a\tb", RuleKind::Plain);
    EXPECT_FALSE(list.apply(u"a", {}, {.stop = [] { return true; }}));
}

}  // namespace
}  // namespace kivo
