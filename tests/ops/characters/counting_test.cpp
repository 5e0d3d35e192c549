#include "ops/characters/counting.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kNoBreaks = u"改行をカウントしない";
constexpr TextView kBreakAsOne = u"改行を1文字でカウントする";
constexpr TextView kBreakAsTwo = u"改行を2文字でカウントする";
constexpr TextView kBytesNoBreaks = u"バイト数をカウントする(改行をカウントしない)";
constexpr TextView kBytesRaw =
    u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)";

OpRun count(TextView upper, TextView mode, FakeContext ctx = {}) {
    return run(kCountCharacters, upper, {{"Combo39", Text(mode)}}, std::move(ctx));
}

OpRun countLetters(TextView upper, TextView letterClass, FakeContext ctx = {}) {
    return run(kCountLetterClass, upper, {{"Combo19", Text(letterClass)}}, std::move(ctx));
}

TEST(CountCharacters, Modes) {
    const struct {
        TextView upper, mode, report;
    } rows[] = {
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
    for (const auto& row : rows)
        EXPECT_EQ(count(row.upper, row.mode).out, Text(row.report))
            << show(row.upper) << " " << show(row.mode);
}

TEST(CountLetterClass, Classes) {
    constexpr TextView sample = u"Year yY ｙＹ";
    const struct {
        TextView upper, letterClass, report;
    } rows[] = {
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
    for (const auto& row : rows)
        EXPECT_EQ(countLetters(row.upper, row.letterClass).out, Text(row.report)) << show(row.upper);
}

// Another mode counts nothing; another letter class is set back to the first as well.
TEST(Counting, AnotherVariantRunsNothing) {
    const OpRun characters = count(u"abc", u"x");
    EXPECT_EQ(characters.end, DispatchEnd::NothingRan);
    EXPECT_EQ(characters.out, std::nullopt);
    EXPECT_TRUE(characters.changed.empty());
    const OpRun letters = countLetters(u"abc", u"abc");
    EXPECT_EQ(letters.end, DispatchEnd::NothingRan);
    EXPECT_EQ(letters.out, std::nullopt);
    EXPECT_EQ(letters.changed, (std::vector<ControlText>{{"Combo19", u"半角英小文字「a～z」"}}));
    EXPECT_TRUE(letters.ctx.shown.empty());
}

TEST(CountLetterClass, PollsOncePerCharacterAndStopsWithoutOutput) {
    EXPECT_EQ(run(kCountLetterClass, u"abcd").ctx.polls, 4);
    const OpRun stopped = run(kCountLetterClass, u"abcd", {}, stoppingAfter(2));
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
    const OpRun r = count(upper, kBreakAsOne);
    EXPECT_EQ(r.out, u"文字数：" + Text(u"1048577"));
    EXPECT_EQ(r.ctx.polls, 2);
    const OpRun stopped = run(kCountCharacters, u"abc", {}, stoppingAfter(0));
    EXPECT_EQ(stopped.out, std::nullopt);
    EXPECT_TRUE(stopped.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
