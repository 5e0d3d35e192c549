#include "ops/set2/duplicate_check.h"

#include <gtest/gtest.h>

#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;
using test::runOp;
using test::show;

constexpr TextView kQuestion = u"改行が含まれています、改行を削除しますか？";
constexpr TextView kNone = u"重複はありませんでした。";
constexpr TextView kOverflow = u"文字数が多いためオーバーフローまたはエラーしました。";

TEST(CheckDuplicateCharacters, KeepsFirstOccurrencesAndCountsRepeats) {
    struct Case {
        TextView in, out, message;
    };
    const Case cases[] = {
        {u"abcabc", u"abc", u"3個の重複がありました。"},
        {u"aaaa", u"a", u"3個の重複がありました。"},
        {u"ＡAaAａ", u"ＡAaａ", u"1個の重複がありました。"},
        {u"あいあ\tい\t", u"あい\t", u"3個の重複がありました。"},
    };
    for (const Case& c : cases) {
        const auto r = runOp(CheckDuplicateCharacters, c.in, {});
        EXPECT_EQ(r.lower, Text(c.out)) << show(c.in);
        EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(c.message)}}));
    }
}

TEST(CheckDuplicateCharacters, NoRepeatWritesNothing) {
    Text allUnits;
    for (char32_t u = 0; u < 0x10000; ++u)
        if (u != u'\r' && u != u'\n') allUnits.push_back(static_cast<char16_t>(u));
    for (TextView in : {TextView(u"abc"), TextView(u""), TextView(u"x"), TextView(allUnits)}) {
        const auto r = runOp(CheckDuplicateCharacters, in, {});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Information, Text(kNone)}}));
    }
}

TEST(CheckDuplicateCharacters, LineBreaksAreRemovedOnlyOnYes) {
    {
        const auto r = runOp(CheckDuplicateCharacters, u"ab\r\na", {}, {Answer::Yes});
        EXPECT_EQ(r.lower, Text(u"ab"));
        EXPECT_EQ(r.ctx.shown,
                  (std::vector<FakeContext::Shown>{{Icon::Question, Text(kQuestion)},
                                                   {Icon::Information, u"1個の重複がありました。"}}));
    }
    for (Answer a : {Answer::No, Answer::Cancel}) {
        const auto r = runOp(CheckDuplicateCharacters, u"ab\r\na", {}, {a});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.messages(), std::vector<Text>{Text(kQuestion)});
    }
    // Only line breaks: nothing is left to check.
    EXPECT_EQ(runOp(CheckDuplicateCharacters, u"\r\r\n\n", {}).messages(),
              (std::vector<Text>{Text(kQuestion), Text(kNone)}));
    EXPECT_EQ(runOp(CheckDuplicateCharacters, u"a\rb\nc", {}).messages(),
              (std::vector<Text>{Text(kQuestion), Text(kNone)}));
}

TEST(CheckDuplicateCharacters, TheRepeatCounterHoldsEightBits) {
    const auto at255 = runOp(CheckDuplicateCharacters, Text(256, u'a'), {});
    EXPECT_EQ(at255.lower, Text(u"a"));
    EXPECT_EQ(at255.messages(), std::vector<Text>{u"255個の重複がありました。"});

    for (const Text& in : {Text(257, u'a'), Text(u"xyz") + Text(300, u'z')}) {
        const auto r = runOp(CheckDuplicateCharacters, in, {});
        EXPECT_EQ(r.lower, std::nullopt);
        EXPECT_EQ(r.ctx.shown, (std::vector<FakeContext::Shown>{{Icon::Exclamation, Text(kOverflow)}}));
    }
}

}  // namespace
}  // namespace kivo
