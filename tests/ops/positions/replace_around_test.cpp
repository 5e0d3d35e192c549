#include "ops/positions/replace_around.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::info;
using test::OpRun;
using test::show;

struct Controls {
    TextView where = u"左", x = u"=", side = u"右", n = u"1", r = u":";
};

OpRun replaceAround(TextView upper, const Controls& c, FakeContext ctx = {}) {
    return test::run(kReplaceAroundFoundText, upper,
                     {{"Combo48", Text(c.where)},
                      {"Text15", Text(c.x)},
                      {"Combo50", Text(c.side)},
                      {"Combo49", Text(c.n)},
                      {"Text22", Text(c.r)}},
                     std::move(ctx));
}

TEST(ReplaceAroundFoundText, ReplacesTheFoundTextAndItsSide) {
    const std::vector error = {test::exclamation(kGeneralError)};
    const struct {
        TextView upper;
        Controls c;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"id=12\r\nname=ab", {.n = u"2"}, u"id:\r\nname:"},
        {u"id=12\r\nname=ab", {.side = u"左", .n = u"2"}, u":12\r\nna:ab"},
        {u"a=b=c", {.where = u"右", .n = u"0", .r = u"-"}, u"a=b-c"},
        {u"a=b=c", {.n = u"0", .r = u"-"}, u"a-b=c"},
        // Lines without the found text are left out; the final break follows the input.
        {u"a=1\r\nx\r\nb=2", {.n = u"0"}, u"a:1\r\nb:2"},
        {u"a=1\r\nx\r\nb=2\r\n", {.n = u"0"}, u"a:1\r\nb:2\r\n"},
        {u"a=1\r\nb=2\r\nx", {.n = u"0"}, u"a:1\r\nb:2"},
        // The found text at either end of the line, with exactly n characters on the side.
        {u"=ab", {.n = u"2"}, u":"},
        {u"ab=", {.side = u"左", .n = u"2"}, u":"},
        {u"ab=", {.n = u"0"}, u"ab:"},
        // Overlapping occurrences: the last one starts at the last possible place.
        {u"xaaay", {.where = u"右", .x = u"aa", .n = u"1"}, u"xa:"},
        {u"xaaay", {.x = u"aa", .n = u"1"}, u"x:y"},
        // An empty replacement deletes; a replacement with a line break is put in as typed.
        {u"k=v", {.n = u"0", .r = u""}, u"kv"},
        {u"k=v", {.n = u"0", .r = u"\r\n"}, u"k\r\nv"},
        // A line break of any kind in the input comes out as CrLf.
        {u"a=1\rb=2\nc=3", {.n = u"0"}, u"a:1\r\nb:2\r\nc:3"},
        // Any side text other than "左" means the right, any place text other than "左" the last.
        {u"a=b=cd", {.where = u"後", .side = u"後", .n = u"1"}, u"a=b:d"},
        // A count takes leading zeros.
        {u"a=b=c", {.n = u"0000000000", .r = u"-"}, u"a-b=c"},
        {u"a\r\n\r\nb=1", {}, std::nullopt, {info(kConsecutiveLineBreaks)}},
        {u"a=1", {.x = u"=\r\n"}, std::nullopt, {info(u"条件の文字に改行が含まれています。")}},
        {u"a=1", {.x = u"\r"}, std::nullopt, {info(u"条件の文字に改行が含まれています。")}},
        {u"a=1", {.x = u"#"}, std::nullopt, {info(u"「#」は見つかりませんでした。")}},
        {u"id=12\r\nname=ab", {.n = u"3"}, std::nullopt, {info(u"1行目の右側の文字数が足りません。")}},
        {u"id=12\r\nname=ab",
         {.side = u"左", .n = u"3"},
         std::nullopt,
         {info(u"1行目の左側の文字数が足りません。")}},
        // The line number counts the lines that are left out too.
        {u"x\r\ny\r\nid=123\r\nname=ab",
         {.n = u"3"},
         std::nullopt,
         {info(u"4行目の右側の文字数が足りません。")}},
        {u"a=1\r\n=2",
         {.side = u"左", .n = u"1"},
         std::nullopt,
         {info(u"2行目の左側の文字数が足りません。")}},
        // A count outside its list is a run-time error.
        {u"a=1", {.n = u"1000"}, std::nullopt, error},
        {u"a=1", {.n = u"-1"}, std::nullopt, error},
        {u"a=1", {.n = u"x"}, std::nullopt, error},
        {u"a=1", {.n = u""}, std::nullopt, error},
    };
    for (const auto& row : rows) {
        const OpRun r = replaceAround(row.upper, row.c);
        EXPECT_EQ(r.out, row.out) << show(row.upper);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper);
    }
}

TEST(ReplaceAroundFoundText, StopAndClosing) {
    const OpRun stopped = replaceAround(u"a=1\r\nb=2\r\nc=3", {.n = u"0"}, test::stoppingAfter(1));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
    const OpRun closing = replaceAround(u"a=1", {.x = u"#"}, test::closingContext());
    EXPECT_EQ(closing.out, std::nullopt);
    EXPECT_TRUE(closing.ctx.shown.empty());
}

TEST(ReplaceAroundFoundText, LongSelfOverlappingSearchTextStaysFast) {
    // A naive search would compare about 10^10 characters here.
    const Text line(200000, u'a');
    const Text x = Text(50000, u'a') + u"b";
    EXPECT_EQ(replaceAround(line + u"\r\n" + line + x, {.x = x, .n = u"0", .r = u"!"}).out,
              Text(line + u"!"));
}

}  // namespace
}  // namespace kivo
