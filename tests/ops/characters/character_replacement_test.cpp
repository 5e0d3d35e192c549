#include "ops/characters/character_replacement.h"

#include <gtest/gtest.h>

#include <random>

#include "harness.h"
#include "text/utf8.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kCrLfMode = u"改行(CrLf)";
constexpr TextView kLfMode = u"改行(Lf)ラインフィード";
constexpr TextView kCrMode = u"改行(Cr)キャリッジリターン";
constexpr TextView kBsMode = u"BS(バックスペース)";
constexpr TextView kTabMode = u"Tab(タブ)";
constexpr TextView kUnifyQuestion =
    u"すべての改行をLf(ラインフィード)に統一してから置き換えますがよろしいですか？";
constexpr TextView kLfQuestion = u"CrLf(改行)があります、分解されてしまいますがよろしいですか？";
constexpr TextView kCrQuestion = u"CrLfがあります、分解されてしまいますがよろしいですか？";

OpRun replace(TextView upper, TextView mode, TextView replacement, FakeContext ctx = {}) {
    return run(kReplaceSpecialCharacter, upper, {{"Combo40", Text(mode)}, {"Text26", Text(replacement)}},
               std::move(ctx));
}

TEST(ReplaceSpecialCharacter, ReplacesEveryOccurrenceOnceAfterItsQuestion) {
    constexpr TextView mixed = u"a\r\nb\rc\nd";
    const struct {
        TextView upper, mode, replacement, out;
        std::vector<FakeContext::Shown> asked = {};
    } rows[] = {
        {mixed, kCrLfMode, u",", u"a,b,c,d", {question(kUnifyQuestion)}},
        {mixed, kLfMode, u",", u"a\r,b\rc,d", {question(kLfQuestion)}},
        {mixed, kCrMode, u",", u"a,\nb,c\nd", {question(kCrQuestion)}},
        {u"\r\n\r\n", kCrLfMode, u"|", u"||", {question(kUnifyQuestion)}},
        {u"\n\r", kCrLfMode, u"|", u"||", {question(kUnifyQuestion)}},
        // The line-break mode always asks; Lf and Cr only where the text holds a CrLf.
        {u"abc", kCrLfMode, u",", u"abc", {question(kUnifyQuestion)}},
        {u"a\r\nb", kLfMode, u",", u"a\r,b", {question(kLfQuestion)}},
        {u"a\nb\rc", kLfMode, u",", u"a,b\rc"},
        {u"a\r\nb", kCrMode, u",", u"a,\nb", {question(kCrQuestion)}},
        {u"a\rb\n", kCrMode, u",", u"a,b\n"},
        {u"a\r\nb", kBsMode, u",", u"a\r\nb"},
        {u"a\r\nb", kTabMode, u",", u"a\r\nb"},
        // The replacement is used as it is, line breaks included, and never rescanned.
        {u"a\r\nb", kCrLfMode, u"\r\n\r\n", u"a\r\n\r\nb", {question(kUnifyQuestion)}},
        {u"a\tb\tc", kTabMode, u"\t\t", u"a\t\tb\t\tc"},
        {u"a\tb\tc", kTabMode, u"", u"abc"},
        {u"a\bb\b", kBsMode, u"<BS>", u"a<BS>b<BS>"},
        {u"a\bb", kTabMode, u"x", u"a\bb"},
        {u"abc", kBsMode, u"x", u"abc"},
        {u"a\nb", kLfMode, u"", u"ab"},
    };
    for (const auto& row : rows) {
        const OpRun r = replace(row.upper, row.mode, row.replacement);
        EXPECT_EQ(r.out, Text(row.out)) << show(row.upper) << " " << show(row.mode);
        EXPECT_EQ(r.ctx.shown, row.asked) << show(row.upper) << " " << show(row.mode);
    }
}

TEST(ReplaceSpecialCharacter, OnlyYesGoesOn) {
    for (TextView mode : {kCrLfMode, kLfMode, kCrMode}) {
        EXPECT_TRUE(replace(u"a\r\nb", mode, u",", answering({Answer::Yes})).out.has_value());
        for (Answer a : {Answer::No, Answer::Cancel}) {
            const OpRun r = replace(u"a\r\nb", mode, u",", answering({a}));
            EXPECT_EQ(r.out, std::nullopt);
            EXPECT_EQ(r.ctx.shown.size(), 1u) << "no message after the answer";
        }
    }
}

TEST(ReplaceSpecialCharacter, ClosingAsksNothingAndWritesNothing) {
    const OpRun r = replace(u"a\r\nb", kCrLfMode, u",", closingContext());
    EXPECT_TRUE(r.ctx.shown.empty());
    EXPECT_EQ(r.out, std::nullopt);
}

TEST(ReplaceSpecialCharacter, EachModeHasItsOwnErrorMessage) {
    const struct {
        TextView mode, message;
    } rows[] = {
        {kCrLfMode, u"CrLf(改行)を置き換えの際にエラーしました。"},
        {kLfMode, u"Lf(ラインフィード)を置き換えの際にエラーしました。"},
        {kCrMode, u"Cr(キャリッジリターン)を置き換え中にエラーしました。"},
        {kBsMode, u"BS(バックスペース)を置き換えの際にエラーしました。"},
        {kTabMode, u"Tab(タブ)を置き換えの際にエラーしました。"},
    };
    for (const auto& row : rows) {
        // Without its replacement box the options cannot be read: the run fails in its frame.
        OptionTexts p;
        p.set("character", Text(row.mode));
        FakeContext ctx;
        EXPECT_EQ(dispatch(kReplaceSpecialCharacter, u"a\r\nb", p, ctx).lower, std::nullopt);
        EXPECT_EQ(ctx.shown, std::vector{exclamation(row.message)});
    }
}

TEST(ReplaceSpecialCharacter, AnotherModeRunsNothing) {
    const OpRun r = replace(u"a\r\nb", u"x", u",");
    EXPECT_EQ(r.end, DispatchEnd::NothingRan);
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

// The command line replaces the byte of a special character in UTF-8 without decoding: the same
// questions, messages and result as the replacement in the decoded text, for every mode it takes.
TEST(ReplaceSpecialCharacter, BytesGiveWhatTheDecodedTextGives) {
    std::mt19937 random(3);
    const Text pieces[] = {u"a", u"あ", u"\t", u"\b", u"\r", u"\n", u"\r\n", u"\U0001F600"};
    const Text replacements[] = {u"", u" ", u"あ", u"\U0001F600x", u"\r\n", u"\t\t"};
    const SpecialCharacter modes[] = {SpecialCharacter::Lf, SpecialCharacter::Cr, SpecialCharacter::Bs,
                                      SpecialCharacter::Tab};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), length(0, 30);
    for (int round = 0; round < 3000; ++round) {
        Text upper;
        for (std::size_t n = length(random); n > 0; --n)
            upper += pieces[piece(random)];
        const SpecialCharacterOptions options{
            modes[static_cast<std::size_t>(round) % std::size(modes)],
            replacements[static_cast<std::size_t>(round / 4) % std::size(replacements)]};
        const std::string bytes = utf8::encode(upper);
        ASSERT_TRUE(replacesInUtf8(bytes, options));
        const Answer answer = round % 3 == 0 ? Answer::No : Answer::Yes;
        FakeContext decoded = answering({answer}), raw = answering({answer});
        const std::optional<Text> expected = ReplaceSpecialCharacter(upper, options, decoded);
        const std::optional<std::string> got = ReplaceSpecialCharacterUtf8(bytes, options, raw);
        SCOPED_TRACE(round);
        ASSERT_EQ(got.has_value(), expected.has_value()) << show(upper);
        if (expected) {
            ASSERT_EQ(*got, utf8::encode(*expected)) << show(upper);
        }
        ASSERT_EQ(raw.texts(), decoded.texts());
    }
}

TEST(ReplaceSpecialCharacter, LineBreaksLoneSurrogatesAndOtherModesAreDecodedFirst) {
    EXPECT_TRUE(replacesInUtf8("a\tb", {SpecialCharacter::Tab, u" "}));
    EXPECT_FALSE(replacesInUtf8("a\tb", {SpecialCharacter::Tab, Text(1, u'\xDC00')}));
    EXPECT_FALSE(replacesInUtf8("a\tb", {SpecialCharacter::LineBreak, u" "}));
    // A mode outside the list is not taken in bytes: the decoded run says what it means.
    FakeContext ctx;
    EXPECT_FALSE(dispatchUtf8(kReplaceSpecialCharacter, "a\tb",
                              optionsOf(kReplaceSpecialCharacter, {{"Combo40", u"x"}}), ctx)
                     .has_value());
    EXPECT_TRUE(ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
