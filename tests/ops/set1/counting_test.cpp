#include "ops/set1/counting.h"

#include <gtest/gtest.h>

#include "run_operation.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kNoBreaks = u"改行をカウントしない";
constexpr TextView kBreakAsOne = u"改行を1文字でカウントする";
constexpr TextView kBreakAsTwo = u"改行を2文字でカウントする";
constexpr TextView kBytesNoBreaks = u"バイト数をカウントする(改行をカウントしない)";
constexpr TextView kBytesRaw =
    u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)";

std::optional<Text> count(TextView upper, TextView mode) {
    return runOperation(CountCharacters, upper, {{"Combo39", Text(mode)}}).out;
}

TEST(CountCharacters, Modes) {
    struct Case {
        TextView upper, mode, report;
    };
    const Case cases[] = {
        {u"ab\r\nc", kNoBreaks, u"文字数：3"},
        {u"ab\r\nc", kBreakAsOne, u"文字数：4"},
        {u"ab\r\nc", kBreakAsTwo, u"文字数：5"},
        {u"\r\n\r\n\n\r", kNoBreaks, u"文字数：0"},
        // A lone Cr and a lone Lf are one line break each, a CrLf too.
        {u"a\rb\nc\r\n", kBreakAsOne, u"文字数：6"},
        {u"a\rb\nc\r\n", kBreakAsTwo, u"文字数：9"},
        {u"\r\r\n", kBreakAsOne, u"文字数：2"},
        {u"あa\r\nb", kBytesNoBreaks, u"バイト数：6"},
        {u"あa\r\nb", kBytesRaw, u"バイト数：6"},
        {u"a\nb", kBytesNoBreaks, u"バイト数：4"},
        {u"a\nb", kBytesRaw, u"バイト数：3"},
        {u"a\rb", kBytesRaw, u"バイト数：3"},
        // BS is one character or byte in every mode; half-width katakana one byte; a character
        // without a code page 932 form one byte (its question mark).
        {u"a\bb", kNoBreaks, u"文字数：3"},
        {u"a\bb", kBytesNoBreaks, u"バイト数：3"},
        {u"ｱア", kBytesRaw, u"バイト数：3"},
        {u"😀", kBytesRaw, u"バイト数：2"},
        {u"😀", kNoBreaks, u"文字数：2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(count(c.upper, c.mode), Text(c.report)) << show(c.upper) << " " << show(c.mode);
}

TEST(CountCharacters, AnotherModeCountsNothing) {
    EXPECT_EQ(count(u"abc", u"x"), std::nullopt);
}

std::optional<Text> countLetters(TextView upper, TextView letterClass, FakeContext ctx = {}) {
    return runOperation(CountLetterClass, upper, {{"Combo19", Text(letterClass)}}, std::move(ctx)).out;
}

TEST(CountLetterClass, Classes) {
    struct Case {
        TextView upper, letterClass, report;
    };
    constexpr TextView sample = u"Year yY ｙＹ";
    const Case cases[] = {
        {sample, u"半角英小文字「a～z」", u"半角英小文字の数：4"},
        {sample, u"半角英大文字「A～Z」", u"半角英大文字の数：2"},
        {sample, u"全角英小文字「ａ～ｚ」", u"全角英小文字の数：1"},
        {sample, u"全角英大文字「Ａ～Ｚ」", u"全角英大文字の数：1"},
        {u"azAZ`{@[", u"半角英小文字「a～z」", u"半角英小文字の数：2"},
        {u"azAZ`{@[", u"半角英大文字「A～Z」", u"半角英大文字の数：2"},
        {u"ａｚＡＺ｀｛＠［", u"全角英小文字「ａ～ｚ」", u"全角英小文字の数：2"},
        {u"ａｚＡＺ｀｛＠［", u"全角英大文字「Ａ～Ｚ」", u"全角英大文字の数：2"},
        // Accented letters and other scripts never count; line breaks are no letters.
        {u"éÉαあ\r\n\r\n", u"半角英小文字「a～z」", u"半角英小文字の数：0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(countLetters(c.upper, c.letterClass), Text(c.report)) << show(c.upper);
}

TEST(CountLetterClass, AnotherClassIsSetBackAndCountsNothing) {
    const OpRun r = runOperation(CountLetterClass, u"abc", {{"Combo19", u"abc"}});
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_EQ(r.ctx.assigned,
              (std::vector<std::pair<std::string, Text>>{{"Combo19", u"半角英小文字「a～z」"}}));
    EXPECT_TRUE(r.ctx.shown.empty());
}

TEST(CountLetterClass, PollsOncePerCharacterAndStopsWithoutOutput) {
    const OpRun done = runOperation(CountLetterClass, u"abcd");
    EXPECT_EQ(done.ctx.polls, 4);
    const OpRun stopped = runOperation(CountLetterClass, u"abcd", {}, stoppingAfter(2));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
    EXPECT_EQ(stopped.ctx.polls, 3);
}

// The count goes through the text a million units at a time, polling between the pieces: a
// CrLf across a piece's end is still one line break, and Stop ends the count without output.
TEST(CountCharacters, CountsInPiecesThatStop) {
    Text upper(std::size_t{1} << 20, u'a');
    upper[upper.size() - 1] = u'\r';
    upper += u"\nb";
    const OpRun r = runOperation(CountCharacters, upper, {{"Combo39", u"改行を1文字でカウントする"}});
    EXPECT_EQ(r.out, u"文字数：" + Text(u"1048577"));
    EXPECT_EQ(r.ctx.polls, 2);
    const OpRun stopped = runOperation(CountCharacters, u"abc", {}, stoppingAfter(0));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
