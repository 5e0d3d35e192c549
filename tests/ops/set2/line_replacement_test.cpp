#include "ops/set2/line_replacement.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

constexpr TextView kJoinQuestion = u"削除されて改行のみの行を削除しますか？";

TEST(ReplaceLine, ReplacesOddOrEvenLines) {
    struct Case {
        TextView which, replacement, in, out;
    };
    const Case cases[] = {
        {u"奇数", u"X", u"a\r\nb\r\nc", u"X\r\nb\r\nX"},
        {u"偶数", u"X", u"a\r\nb\r\nc", u"a\r\nX\r\nc"},
        {u"奇数", u"X", u"a\r\nb\r\n", u"X\r\nb\r\n"},
        {u"偶数", u"X", u"a\r\nb\r\n", u"a\r\nX\r\n"},
        {u"奇数", u"X", u"a\rb\nc", u"X\r\nb\r\nX"},
        {u"奇数", u"X", u"a", u"X"},
        {u"偶数", u"X", u"a", u"a"},
        // Any other text is the even variant.
        {u"x", u"X", u"a\r\nb", u"a\r\nX"},
        // The replacement goes in as it is.
        {u"奇数", u"P\r\nQ", u"a\r\nb", u"P\r\nQ\r\nb"},
        // An odd variant with an empty replacement and no empty line left: no question.
        {u"奇数", u"", u"a\r\nb\r\nc", u"\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        const auto r =
            runOp(ReplaceLine, c.in, {{"Combo38", Text(c.which)}, {"Text12", Text(c.replacement)}});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(ReplaceLine, AsksBeforeJoiningEmptyLines) {
    struct Case {
        TextView which, in;
        Answer answer;
        TextView out;
    };
    const Case cases[] = {
        {u"奇数", u"a\r\nb\r\nc\r\nd", Answer::Yes, u"b\r\nd"},
        {u"奇数", u"a\r\nb\r\nc\r\nd", Answer::No, u"\r\nb\r\n\r\nd"},
        {u"奇数", u"a\r\nb\r\nc\r\nd", Answer::Cancel, u"\r\nb\r\n\r\nd"},
        {u"奇数", u"a\r\nb\r\nc\r\n", Answer::Yes, u"b\r\n"},
        // Even: the question comes before the final break is dropped, and no leading break is
        // removed.
        {u"偶数", u"a\r\nb", Answer::Yes, u"a"},
        {u"偶数", u"a\r\nb", Answer::No, u"a\r\n"},
        {u"偶数", u"a\r\nb\r\nc\r\nd\r\n", Answer::Yes, u"a\r\nc\r\n"},
        // One pass: three breaks in a row keep two.
        {u"奇数", u"a\r\nb\r\nc", Answer::Yes, u"\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(ReplaceLine, c.in, {{"Combo38", Text(c.which)}, {"Text12", u""}}, {c.answer});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
    }
    // The question is asked once, with its own text.
    const auto r = runOp(ReplaceLine, u"a\r\nb\r\nc\r\nd", {{"Text12", u""}});
    EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Question, Text(kJoinQuestion)}}));
    // A replacement made of breaks can bring the question too.
    const auto s = runOp(ReplaceLine, u"a\r\nb\r\nc", {{"Text12", u"\r\n"}}, {Answer::Yes});
    EXPECT_EQ(s.lower, Text(u"b\r\n"));
}

TEST(InsertAtPosition, PutsTheTextIntoEveryLine) {
    struct Case {
        TextView side, p, t, in, out;
    };
    const Case cases[] = {
        {u"左", u"2", u"X", u"abc\r\nde", u"aXc\r\ndX"},
        {u"右", u"2", u"X", u"abc\r\nde", u"abXc\r\ndXe"},
        {u"左", u"1", u"X", u"ab\r\ncd", u"Xb\r\nXd"},
        {u"右", u"1", u"X", u"ab\r\ncd\r\n", u"abX\r\ncdX\r\n"},
        {u"左", u"1", u"X", u"ab\r\n", u"Xb\r\n"},
        {u"左", u"1", u"X", u"ab\rcd\ne", u"Xb\r\nXd\r\nX"},
        // Right, p = n + 1: before the whole line.
        {u"右", u"3", u"X", u"ab\r\ncd", u"Xab\r\nXcd"},
        // A single line: p at or past its end appends, otherwise the p-th character is replaced.
        {u"左", u"4", u"X", u"abc", u"abcX"},
        {u"左", u"3", u"X", u"abc", u"abcX"},
        {u"右", u"3", u"X", u"abc", u"abcX"},
        {u"左", u"2", u"X", u"abcd", u"aXcd"},
        {u"右", u"2", u"X", u"abcd", u"abXd"},
        {u"右", u"1", u"X", u"abcd", u"abcX"},
        {u"左", u"999", u"XY", u"ab", u"abXY"},
        // The inserted text's line breaks each come out as one CrLf.
        {u"左", u"1", u"1\r\n2", u"ab\r\ncd", u"1\r\n2b\r\n1\r\n2d"},
        {u"右", u"1", u"1\r2\n3", u"ab\r\ncd", u"ab1\r\n2\r\n3\r\ncd1\r\n2\r\n3"},
        {u"左", u"5", u"x\r\ny", u"ab", u"abx\r\ny"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(InsertAtPosition, c.in,
                             {{"Combo4", Text(c.side)}, {"Combo3", Text(c.p)}, {"Text14", Text(c.t)}});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in) << " p=" << show(c.p);
        EXPECT_TRUE(r.ctx.shown.empty()) << show(c.in);
    }
}

TEST(InsertAtPosition, ALineTooShortOrABadPositionIsARunTimeError) {
    struct Case {
        TextView side, p, in;
    };
    const Case cases[] = {
        {u"左", u"4", u"abc\r\nde"}, {u"左", u"3", u"abc\r\nde"}, {u"右", u"4", u"abc\r\nde"},
        {u"右", u"3", u"ab\r\nc"},   {u"左", u"2", u"ab\r\nc"},   {u"左", u"0", u"abc"},
        {u"左", u"1000", u"abc"},    {u"左", u"x", u"abc"},       {u"左", u"", u"abc"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(InsertAtPosition, c.in,
                             {{"Combo4", Text(c.side)}, {"Combo3", Text(c.p)}, {"Text14", u"X"}});
        EXPECT_EQ(r.lower, std::nullopt) << show(c.in) << " p=" << show(c.p);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(test::kGeneralErrorText)}}))
            << show(c.in) << " p=" << show(c.p);
    }
}

TEST(LineReplacement, BothRefuseAnEmptyLine) {
    for (TextView in : {u"a\r\n\r\nb", u"a\r\n\r\n", u"\n\nb", u"a\r\rb"}) {
        for (Operation op : {ReplaceLine, InsertAtPosition}) {
            const auto r = runOp(op, in, {{"Text12", u"X"}, {"Text14", u"X"}});
            EXPECT_EQ(r.lower, std::nullopt);
            EXPECT_EQ(r.ctx.shown,
                      (std::vector<FakeContext::Shown>{{Icon::Information, Text(test::kConsecutiveText)}}));
        }
    }
}

}  // namespace
}  // namespace kivo
