#include "ops/characters/duplicate_check.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kQuestion = u"改行が含まれています、改行を削除しますか？";
constexpr TextView kNone = u"重複はありませんでした。";
constexpr TextView kOverflow = u"文字数が多いためオーバーフローまたはエラーしました。";

TEST(CheckDuplicateCharacters, KeepsFirstOccurrencesAndCountsRepeats) {
    Text allUnits;
    for (char32_t u = 0; u < 0x10000; ++u)
        if (u != u'\r' && u != u'\n') allUnits.push_back(static_cast<char16_t>(u));
    const struct {
        Text upper;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown;
    } rows[] = {
        {u"abcabc", u"abc", {info(u"3個の重複がありました。")}},
        {u"aaaa", u"a", {info(u"3個の重複がありました。")}},
        {u"ＡAaAａ", u"ＡAaａ", {info(u"1個の重複がありました。")}},
        {u"あいあ\tい\t", u"あい\t", {info(u"3個の重複がありました。")}},
        // No repeat writes nothing.
        {u"abc", std::nullopt, {info(kNone)}},
        {u"", std::nullopt, {info(kNone)}},
        {u"x", std::nullopt, {info(kNone)}},
        {allUnits, std::nullopt, {info(kNone)}},
        // Line breaks are removed after the question (answered Yes); only line breaks leave
        // nothing to check.
        {u"ab\r\na", u"ab", {question(kQuestion), info(u"1個の重複がありました。")}},
        {u"\r\r\n\n", std::nullopt, {question(kQuestion), info(kNone)}},
        {u"a\rb\nc", std::nullopt, {question(kQuestion), info(kNone)}},
        // The repeat counter holds eight bits.
        {Text(256, u'a'), u"a", {info(u"255個の重複がありました。")}},
        {Text(257, u'a'), std::nullopt, {exclamation(kOverflow)}},
        {Text(u"xyz") + Text(300, u'z'), std::nullopt, {exclamation(kOverflow)}},
    };
    for (const auto& row : rows) {
        const OpRun r = run(kCheckDuplicateCharacters, row.upper);
        EXPECT_EQ(r.out, row.out) << show(row.upper.substr(0, 20));
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper.substr(0, 20));
    }
}

TEST(CheckDuplicateCharacters, OnlyYesRemovesTheLineBreaks) {
    for (Answer a : {Answer::No, Answer::Cancel}) {
        const OpRun r = run(kCheckDuplicateCharacters, u"ab\r\na", {}, answering({a}));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.messages(), std::vector<Text>{Text(kQuestion)});
    }
}

}  // namespace
}  // namespace kivo
