#include "ops/set2/line_breaking.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

constexpr TextView kQuestion = u"改行がすでに含まれています、改行を削除してから行いますか？";
constexpr TextView kTooShort = u"改行を入れる数よりも文字数が少ないか同じなので行えません。";

TEST(BreakEveryNCharacters, CutsIntoLinesOfN) {
    struct Case {
        TextView in, n, out;
    };
    const Case cases[] = {
        {u"abcdefg", u"3", u"abc\r\ndef\r\ng"},       {u"abcdef", u"3", u"abc\r\ndef"},
        {u"abcd", u"1", u"a\r\nb\r\nc\r\nd"},         {u"abcd", u"3", u"abc\r\nd"},
        {u"あいうえお", u"2", u"あい\r\nうえ\r\nお"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(BreakEveryNCharacters, c.in, {{"Combo5", Text(c.n)}});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_TRUE(r.ctx.shown.empty());
    }
    const Text long1000(1000, u'x');
    EXPECT_EQ(runOp(BreakEveryNCharacters, long1000, {{"Combo5", u"999"}}).lower, Text(999, u'x') + u"\r\nx");
}

TEST(BreakEveryNCharacters, RefusesATextNoLongerThanN) {
    for (const auto& [in, n] : {std::pair{u"abc", u"3"}, {u"abc", u"4"}, {u"a", u"1"}, {u"", u"1"}}) {
        const auto r = runOp(BreakEveryNCharacters, in, {{"Combo5", Text(n)}});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(kTooShort)}}));
    }
}

TEST(BreakEveryNCharacters, LineBreaksAreRemovedOnlyOnYes) {
    const auto yes = runOp(BreakEveryNCharacters, u"ab\r\ncd", {{"Combo5", u"1"}}, {Answer::Yes});
    EXPECT_EQ(yes.lower, Text(u"a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(yes.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Question, Text(kQuestion)}}));
    EXPECT_EQ(runOp(BreakEveryNCharacters, u"ab\rc\nd", {{"Combo5", u"3"}}).lower, Text(u"abc\r\nd"));
    for (Answer a : {Answer::No, Answer::Cancel}) {
        const auto r = runOp(BreakEveryNCharacters, u"ab\r\ncd", {{"Combo5", u"1"}}, {a});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.messages(), std::vector<Text>{Text(kQuestion)});
    }
    // Only breaks: empty after Yes, then too short.
    EXPECT_EQ(runOp(BreakEveryNCharacters, u"\r\n\r\n", {{"Combo5", u"1"}}).messages(),
              (std::vector<Text>{Text(kQuestion), Text(kTooShort)}));
}

TEST(BreakEveryNCharacters, AWidthOutsideItsRuleIsARunTimeError) {
    for (TextView bad : {u"0", u"1000", u"x", u""}) {
        const auto r = runOp(BreakEveryNCharacters, u"abcdef", {{"Combo5", Text(bad)}});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{
                      {Icon::Exclamation, u"文字数が多いためオーバーフローまたはエラーしました。"}}));
    }
}

}  // namespace
}  // namespace kivo
