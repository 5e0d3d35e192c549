#include "ops/lines/line_replacement.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kJoinQuestion = u"削除されて改行のみの行を削除しますか？";

TEST(ReplaceLine, ReplacesOddOrEvenLinesAndAsksBeforeJoiningEmptyOnes) {
    const struct {
        TextView upper, which, replacement;
        Answer answer;
        TextView out;
        bool asks = true;
    } rows[] = {
        {u"a\r\nb\r\nc", u"奇数", u"X", Answer::Yes, u"X\r\nb\r\nX", false},
        {u"a\r\nb\r\nc", u"偶数", u"X", Answer::Yes, u"a\r\nX\r\nc", false},
        {u"a\r\nb\r\n", u"奇数", u"X", Answer::Yes, u"X\r\nb\r\n", false},
        {u"a\r\nb\r\n", u"偶数", u"X", Answer::Yes, u"a\r\nX\r\n", false},
        {u"a\rb\nc", u"奇数", u"X", Answer::Yes, u"X\r\nb\r\nX", false},
        {u"a", u"奇数", u"X", Answer::Yes, u"X", false},
        {u"a", u"偶数", u"X", Answer::Yes, u"a", false},
        // Any other text is the even variant.
        {u"a\r\nb", u"x", u"X", Answer::Yes, u"a\r\nX", false},
        // The replacement goes in as it is.
        {u"a\r\nb", u"奇数", u"P\r\nQ", Answer::Yes, u"P\r\nQ\r\nb", false},
        // An odd variant with an empty replacement and no empty line left: no question. One
        // pass: three breaks in a row keep two.
        {u"a\r\nb\r\nc", u"奇数", u"", Answer::Yes, u"\r\nb\r\n", false},
        {u"a\r\nb\r\nc\r\nd", u"奇数", u"", Answer::Yes, u"b\r\nd"},
        {u"a\r\nb\r\nc\r\nd", u"奇数", u"", Answer::No, u"\r\nb\r\n\r\nd"},
        {u"a\r\nb\r\nc\r\nd", u"奇数", u"", Answer::Cancel, u"\r\nb\r\n\r\nd"},
        {u"a\r\nb\r\nc\r\n", u"奇数", u"", Answer::Yes, u"b\r\n"},
        // Even: the question comes before the final break is dropped, and no leading break is
        // removed.
        {u"a\r\nb", u"偶数", u"", Answer::Yes, u"a"},
        {u"a\r\nb", u"偶数", u"", Answer::No, u"a\r\n"},
        {u"a\r\nb\r\nc\r\nd\r\n", u"偶数", u"", Answer::Yes, u"a\r\nc\r\n"},
        // A replacement made of breaks can bring the question too.
        {u"a\r\nb\r\nc", u"奇数", u"\r\n", Answer::Yes, u"b\r\n"},
    };
    for (const auto& row : rows) {
        const OpRun r =
            run(kReplaceLine, row.upper, {{"Combo38", Text(row.which)}, {"Text12", Text(row.replacement)}},
                answering({row.answer}));
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper) << " " << show(row.replacement);
        // The question is asked once, with its own text.
        EXPECT_EQ(r.ctx.shown,
                  row.asks ? std::vector{question(kJoinQuestion)} : std::vector<FakeContext::Shown>{})
            << show(row.upper) << " " << show(row.replacement);
    }
}

TEST(InsertAtPosition, PutsTheTextIntoEveryLine) {
    const std::vector error = {exclamation(kGeneralError)};
    const struct {
        TextView upper, side, p, t;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"abc\r\nde", u"左", u"2", u"X", u"aXc\r\ndX"},
        {u"abc\r\nde", u"右", u"2", u"X", u"abXc\r\ndXe"},
        {u"ab\r\ncd", u"左", u"1", u"X", u"Xb\r\nXd"},
        {u"ab\r\ncd\r\n", u"右", u"1", u"X", u"abX\r\ncdX\r\n"},
        {u"ab\r\n", u"左", u"1", u"X", u"Xb\r\n"},
        {u"ab\rcd\ne", u"左", u"1", u"X", u"Xb\r\nXd\r\nX"},
        // Right, p = n + 1: before the whole line.
        {u"ab\r\ncd", u"右", u"3", u"X", u"Xab\r\nXcd"},
        // A single line: p at or past its end appends, otherwise the p-th character is replaced.
        {u"abc", u"左", u"4", u"X", u"abcX"},
        {u"abc", u"左", u"3", u"X", u"abcX"},
        {u"abc", u"右", u"3", u"X", u"abcX"},
        {u"abcd", u"左", u"2", u"X", u"aXcd"},
        {u"abcd", u"右", u"2", u"X", u"abXd"},
        {u"abcd", u"右", u"1", u"X", u"abcX"},
        {u"ab", u"左", u"999", u"XY", u"abXY"},
        // The inserted text's line breaks each come out as one CrLf.
        {u"ab\r\ncd", u"左", u"1", u"1\r\n2", u"1\r\n2b\r\n1\r\n2d"},
        {u"ab\r\ncd", u"右", u"1", u"1\r2\n3", u"ab1\r\n2\r\n3\r\ncd1\r\n2\r\n3"},
        {u"ab", u"左", u"5", u"x\r\ny", u"abx\r\ny"},
        // A line too short or a bad position is a run-time error.
        {u"abc\r\nde", u"左", u"4", u"X", std::nullopt, error},
        {u"abc\r\nde", u"左", u"3", u"X", std::nullopt, error},
        {u"abc\r\nde", u"右", u"4", u"X", std::nullopt, error},
        {u"ab\r\nc", u"右", u"3", u"X", std::nullopt, error},
        {u"ab\r\nc", u"左", u"2", u"X", std::nullopt, error},
        {u"abc", u"左", u"0", u"X", std::nullopt, error},
        {u"abc", u"左", u"1000", u"X", std::nullopt, error},
        {u"abc", u"左", u"x", u"X", std::nullopt, error},
        {u"abc", u"左", u"", u"X", std::nullopt, error},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kInsertAtPosition, row.upper,
                            {{"Combo4", Text(row.side)}, {"Combo3", Text(row.p)}, {"Text14", Text(row.t)}});
        EXPECT_EQ(r.out, row.out) << show(row.upper) << " p=" << show(row.p);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper) << " p=" << show(row.p);
    }
}

TEST(LineReplacement, BothRefuseAnEmptyLine) {
    for (TextView upper : {u"a\r\n\r\nb", u"a\r\n\r\n", u"\n\nb", u"a\r\rb"}) {
        for (const OperationDeclaration* op : {&kReplaceLine.get(), &kInsertAtPosition.get()}) {
            const OpRun r = run(*op, upper, {{"Text12", u"X"}, {"Text14", u"X"}});
            EXPECT_EQ(r.out, std::nullopt);
            EXPECT_EQ(r.ctx.shown, std::vector{info(kConsecutiveLineBreaks)});
        }
    }
}

}  // namespace
}  // namespace kivo
