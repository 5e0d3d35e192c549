#include "ops/set4/replace_around.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;

struct Settings {
    TextView where = u"左", x = u"=", side = u"右", n = u"1", r = u":";
};

std::optional<Text> replaceAround(TextView upper, const Settings& s, FakeContext& ctx) {
    return runOp(
        ReplaceAroundFoundText, upper,
        {{"Combo48", s.where}, {"Text15", s.x}, {"Combo50", s.side}, {"Combo49", s.n}, {"Text22", s.r}}, ctx);
}

std::optional<Text> replaceAround(TextView upper, const Settings& s) {
    FakeContext ctx;
    return replaceAround(upper, s, ctx);
}

TEST(ReplaceAroundFoundText, ReplacesTheFoundTextAndItsSide) {
    struct Case {
        TextView in;
        Settings s;
        TextView out;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceAround(c.in, c.s), Text(c.out)) << test::narrow(c.in);
}

TEST(ReplaceAroundFoundText, RefusalsAndShortages) {
    struct Case {
        TextView in;
        Settings s;
        TextView message;
    };
    const Case cases[] = {
        {u"a\r\n\r\nb=1", {}, u"改行の連続があります。"},
        {u"a=1", {.x = u"=\r\n"}, u"条件の文字に改行が含まれています。"},
        {u"a=1", {.x = u"\r"}, u"条件の文字に改行が含まれています。"},
        {u"a=1", {.x = u"#"}, u"「#」は見つかりませんでした。"},
        {u"id=12\r\nname=ab", {.n = u"3"}, u"1行目の右側の文字数が足りません。"},
        {u"id=12\r\nname=ab", {.side = u"左", .n = u"3"}, u"1行目の左側の文字数が足りません。"},
        // The line number counts the lines that are left out too.
        {u"x\r\ny\r\nid=123\r\nname=ab", {.n = u"3"}, u"4行目の右側の文字数が足りません。"},
        {u"a=1\r\n=2", {.side = u"左", .n = u"1"}, u"2行目の左側の文字数が足りません。"},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(replaceAround(c.in, c.s, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}))
            << test::narrow(c.in);
    }
}

TEST(ReplaceAroundFoundText, ACountOutsideItsListIsARunTimeError) {
    for (TextView n : {u"1000", u"-1", u"x", u""}) {
        FakeContext ctx;
        EXPECT_EQ(replaceAround(u"a=1", {.n = n}, ctx), std::nullopt);
        EXPECT_EQ(ctx.texts(), std::vector<Text>{Text(kGeneralError)});
    }
}

TEST(ReplaceAroundFoundText, StopAndClosing) {
    FakeContext stopped;
    stopped.stopAfterPolls = 1;
    EXPECT_EQ(replaceAround(u"a=1\r\nb=2\r\nc=3", {.n = u"0"}, stopped), std::nullopt);
    EXPECT_TRUE(stopped.shown.empty());

    FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(replaceAround(u"a=1", {.x = u"#"}, closing), std::nullopt);
    EXPECT_TRUE(closing.shown.empty());
}

TEST(ReplaceAroundFoundText, LongSelfOverlappingSearchTextStaysFast) {
    // A naive search would compare about 10^10 characters here.
    const Text line(200000, u'a');
    const Text x = Text(50000, u'a') + u"b";
    FakeContext ctx;
    EXPECT_EQ(replaceAround(line + u"\r\n" + line + x, {.x = x, .n = u"0", .r = u"!"}, ctx),
              Text(line + u"!"));
}

}  // namespace
}  // namespace kivo
