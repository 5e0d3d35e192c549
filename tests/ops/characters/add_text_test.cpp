#include "ops/characters/add_text.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

OpRun add(TextView upper, TextView side, TextView added, FakeContext ctx = {}) {
    return run(kAddTextAtSide, upper, {{"Combo31", Text(side)}, {"Text3", Text(added)}}, std::move(ctx));
}

TEST(AddTextAtSide, AddsToEveryLineOrRefuses) {
    const std::vector<FakeContext::Shown> refused = {info(kConsecutiveLineBreaks)};
    const struct {
        TextView upper, side, added;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"a\r\nb", u"左", u"> ", u"> a\r\n> b"},
        {u"a\r\nb\r\n", u"右", u";", u"a;\r\nb;\r\n"},
        {u"a\r\nb\r\n", u"左", u";", u";a\r\n;b\r\n"},
        {u"abc", u"右", u"!", u"abc!"},
        {u"abc", u"左", u"!", u"!abc"},
        {u"\r\n", u"左", u"T", u"T\r\n"},
        {u"\r\n", u"右", u"T", u"T\r\n"},
        {u"\r\na", u"左", u"T", u"T\r\nTa"},
        {u"a\rb\nc", u"右", u"#", u"a#\r\nb#\r\nc#"},
        // Any side text but "左" is the right.
        {u"a", u"左側", u"#", u"a#"},
        // A line break in the added text comes out as one CrLf.
        {u"a\r\nb", u"左", u"x\r\ny", u"x\r\nya\r\nx\r\nyb"},
        {u"a\r\nb", u"左", u"x\ry", u"x\r\nya\r\nx\r\nyb"},
        {u"a\r\nb", u"左", u"x\ny", u"x\r\nya\r\nx\r\nyb"},
        {u"a\r\nb", u"左", u"\r\n", u"\r\na\r\n\r\nb"},
        {u"a\r\n\r\nb", u"左", u"x", std::nullopt, refused},
        {u"a\r\n\r\n", u"左", u"x", std::nullopt, refused},
        {u"a\r\rb", u"左", u"x", std::nullopt, refused},
        {u"\n\n", u"左", u"x", std::nullopt, refused},
    };
    for (const auto& row : rows) {
        const OpRun r = add(row.upper, row.side, row.added);
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " " << show(row.added);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper);
    }
    EXPECT_TRUE(add(u"a\r\n\r\nb", u"左", u"x", closingContext()).ctx.shown.empty());
}

TEST(IndentLinesWithTab, PutsOneTabBeforeEveryLine) {
    const struct {
        TextView upper, out;
    } rows[] = {
        {u"a\r\n\r\nb", u"\ta\r\n\t\r\n\tb"},
        {u"a\r\nb\r\n", u"\ta\r\n\tb\r\n"},
        {u"a", u"\ta"},
        {u"\r\n", u"\t\r\n"},
        {u"\r\n\r\n", u"\t\r\n\t\r\n"},
        {u"a\rb\nc", u"\ta\r\n\tb\r\n\tc"},
        {u"\ta", u"\t\ta"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(run(kIndentLinesWithTab, row.upper).out, Text(row.out)) << show(row.upper);
}

TEST(IndentLinesWithTab, StopEndsWithoutOutput) {
    const OpRun r = run(kIndentLinesWithTab, u"a\r\nb\r\nc", {}, stoppingAfter(1));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
    EXPECT_EQ(r.ctx.polls, 2);
}

}  // namespace
}  // namespace kivo
