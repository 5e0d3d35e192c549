#include "ops/set1/add_text.h"

#include <gtest/gtest.h>

#include "run_operation.h"

namespace kivo {
namespace {

using namespace test;

OpRun add(TextView upper, TextView side, TextView added, FakeContext ctx = {}) {
    return runOperation(AddTextAtSide, upper, {{"Combo31", Text(side)}, {"Text3", Text(added)}},
                        std::move(ctx));
}

TEST(AddTextAtSide, AddsToEveryLine) {
    struct Case {
        TextView upper, side, added, out;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(add(c.upper, c.side, c.added).out, Text(c.out)) << show(c.upper);
}

TEST(AddTextAtSide, ALineBreakInTheAddedTextComesOutAsOneCrLf) {
    struct Case {
        TextView added, out;
    };
    const Case cases[] = {
        {u"x\r\ny", u"x\r\nya\r\nx\r\nyb"},
        {u"x\ry", u"x\r\nya\r\nx\r\nyb"},
        {u"x\ny", u"x\r\nya\r\nx\r\nyb"},
        {u"\r\n", u"\r\na\r\n\r\nb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(add(u"a\r\nb", u"左", c.added).out, Text(c.out)) << show(c.added);
}

TEST(AddTextAtSide, RefusesConsecutiveLineBreaks) {
    for (TextView upper :
         {TextView(u"a\r\n\r\nb"), TextView(u"a\r\n\r\n"), TextView(u"a\r\rb"), TextView(u"\n\n")}) {
        const OpRun r = add(upper, u"左", u"x");
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{info(u"改行の連続があります。")}) << show(upper);
    }
    EXPECT_TRUE(add(u"a\r\n\r\nb", u"左", u"x", closingContext()).ctx.shown.empty());
}

OpRun indent(TextView upper, FakeContext ctx = {}) {
    return runOperation(IndentLinesWithTab, upper, {}, std::move(ctx));
}

TEST(IndentLinesWithTab, PutsOneTabBeforeEveryLine) {
    struct Case {
        TextView upper, out;
    };
    const Case cases[] = {
        {u"a\r\n\r\nb", u"\ta\r\n\t\r\n\tb"},
        {u"a\r\nb\r\n", u"\ta\r\n\tb\r\n"},
        {u"a", u"\ta"},
        {u"\r\n", u"\t\r\n"},
        {u"\r\n\r\n", u"\t\r\n\t\r\n"},
        {u"a\rb\nc", u"\ta\r\n\tb\r\n\tc"},
        {u"\ta", u"\t\ta"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(indent(c.upper).out, Text(c.out)) << show(c.upper);
}

TEST(IndentLinesWithTab, StopEndsWithoutOutput) {
    const OpRun r = indent(u"a\r\nb\r\nc", stoppingAfter(1));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
    EXPECT_EQ(r.ctx.polls, 2);
}

}  // namespace
}  // namespace kivo
