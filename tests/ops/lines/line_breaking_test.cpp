#include "ops/lines/line_breaking.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "text/utf8.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kQuestion = u"改行がすでに含まれています、改行を削除してから行いますか？";
constexpr TextView kTooShort = u"改行を入れる数よりも文字数が少ないか同じなので行えません。";

OpRun breakEvery(TextView upper, TextView n, FakeContext ctx = {}) {
    return run(kBreakEveryNCharacters, upper, {{"Combo5", Text(n)}}, std::move(ctx));
}

TEST(BreakEveryNCharacters, CutsIntoLinesOfNOrRefuses) {
    const Text long1000(1000, u'x');
    const std::vector error = {exclamation(u"文字数が多いためオーバーフローまたはエラーしました。")};
    const struct {
        TextView upper, n;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {u"abcdefg", u"3", u"abc\r\ndef\r\ng"},
        {u"abcdef", u"3", u"abc\r\ndef"},
        {u"abcd", u"1", u"a\r\nb\r\nc\r\nd"},
        {u"abcd", u"3", u"abc\r\nd"},
        {u"あいうえお", u"2", u"あい\r\nうえ\r\nお"},
        {long1000, u"999", Text(999, u'x') + u"\r\nx"},
        // Line breaks are removed after the question (answered Yes).
        {u"ab\r\ncd", u"1", u"a\r\nb\r\nc\r\nd", {question(kQuestion)}},
        {u"ab\rc\nd", u"3", u"abc\r\nd", {question(kQuestion)}},
        // A text no longer than n; only breaks are empty after Yes, then too short.
        {u"abc", u"3", std::nullopt, {info(kTooShort)}},
        {u"abc", u"4", std::nullopt, {info(kTooShort)}},
        {u"a", u"1", std::nullopt, {info(kTooShort)}},
        {u"", u"1", std::nullopt, {info(kTooShort)}},
        {u"\r\n\r\n", u"1", std::nullopt, {question(kQuestion), info(kTooShort)}},
        // A width outside its rule is a run-time error.
        {u"abcdef", u"0", std::nullopt, error},
        {u"abcdef", u"1000", std::nullopt, error},
        {u"abcdef", u"x", std::nullopt, error},
        {u"abcdef", u"", std::nullopt, error},
    };
    for (const auto& row : rows) {
        const OpRun r = breakEvery(row.upper, row.n);
        EXPECT_EQ(r.out, row.out) << show(row.upper.substr(0, 20)) << " n=" << show(row.n);
        EXPECT_EQ(r.ctx.shown, row.shown) << show(row.upper.substr(0, 20)) << " n=" << show(row.n);
        // The command line runs the UTF-8 bytes (an ASCII text's as they are) to the same end.
        const BytesRun onBytes = runOnBytes(kBreakEveryNCharacters, row.upper, {{"Combo5", Text(row.n)}});
        EXPECT_EQ(onBytes.out, utf8Of(row.out)) << show(row.upper);
        EXPECT_EQ(onBytes.ctx.shown, row.shown) << show(row.upper);
    }
}

TEST(BreakEveryNCharacters, OnlyYesRemovesTheLineBreaks) {
    for (Answer a : {Answer::No, Answer::Cancel}) {
        const OpRun r = breakEvery(u"ab\r\ncd", u"1", answering({a}));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.messages(), std::vector<Text>{Text(kQuestion)});
    }
}

}  // namespace
}  // namespace kivo
