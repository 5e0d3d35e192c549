#include "ops/set1/character_replacement.h"

#include <gtest/gtest.h>

#include <random>

#include "text/utf8.h"

#include "run_operation.h"

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
    return runOperation(ReplaceSpecialCharacter, upper,
                        {{"Combo40", Text(mode)}, {"Text26", Text(replacement)}}, std::move(ctx));
}

TEST(ReplaceSpecialCharacter, ReplacesEveryOccurrenceOnce) {
    struct Case {
        TextView upper, mode, replacement, out;
    };
    constexpr TextView mixed = u"a\r\nb\rc\nd";
    const Case cases[] = {
        {mixed, kCrLfMode, u",", u"a,b,c,d"},
        {mixed, kLfMode, u",", u"a\r,b\rc,d"},
        {mixed, kCrMode, u",", u"a,\nb,c\nd"},
        {u"\r\n\r\n", kCrLfMode, u"|", u"||"},
        {u"\n\r", kCrLfMode, u"|", u"||"},
        // The replacement is used as it is, line breaks included, and never rescanned.
        {u"a\r\nb", kCrLfMode, u"\r\n\r\n", u"a\r\n\r\nb"},
        {u"a\tb\tc", kTabMode, u"\t\t", u"a\t\tb\t\tc"},
        {u"a\tb\tc", kTabMode, u"", u"abc"},
        {u"a\bb\b", kBsMode, u"<BS>", u"a<BS>b<BS>"},
        {u"a\bb", kTabMode, u"x", u"a\bb"},
        {u"abc", kBsMode, u"x", u"abc"},
        {u"a\nb", kLfMode, u"", u"ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace(c.upper, c.mode, c.replacement).out, Text(c.out))
            << show(c.upper) << " " << show(c.mode);
}

TEST(ReplaceSpecialCharacter, AsksFirstWhereTheModeSays) {
    struct Case {
        TextView upper, mode;
        std::vector<FakeContext::Shown> asked;
    };
    const Case cases[] = {
        {u"abc", kCrLfMode, {question(kUnifyQuestion)}},
        {u"a\r\nb", kLfMode, {question(kLfQuestion)}},
        {u"a\nb\rc", kLfMode, {}},
        {u"a\r\nb", kCrMode, {question(kCrQuestion)}},
        {u"a\rb\n", kCrMode, {}},
        {u"a\r\nb", kBsMode, {}},
        {u"a\r\nb", kTabMode, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replace(c.upper, c.mode, u",").ctx.shown, c.asked) << show(c.upper);
}

TEST(ReplaceSpecialCharacter, OnlyYesGoesOn) {
    for (TextView mode : {kCrLfMode, kLfMode, kCrMode}) {
        EXPECT_EQ(replace(u"a\r\nb", mode, u",", answering(Answer::Yes)).out.has_value(), true);
        for (Answer a : {Answer::No, Answer::Cancel}) {
            const OpRun r = replace(u"a\r\nb", mode, u",", answering(a));
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
    struct Case {
        TextView mode, message;
    };
    const Case cases[] = {
        {kCrLfMode, u"CrLf(改行)を置き換えの際にエラーしました。"},
        {kLfMode, u"Lf(ラインフィード)を置き換えの際にエラーしました。"},
        {kCrMode, u"Cr(キャリッジリターン)を置き換え中にエラーしました。"},
        {kBsMode, u"BS(バックスペース)を置き換えの際にエラーしました。"},
        {kTabMode, u"Tab(タブ)を置き換えの際にエラーしました。"},
    };
    for (const Case& c : cases) {
        // Without its replacement box the run fails inside the operation.
        Params p;
        p.set("Combo40", Text(c.mode));
        FakeContext ctx;
        EXPECT_EQ(ReplaceSpecialCharacter(u"a\r\nb", p, ctx), std::nullopt);
        ASSERT_FALSE(ctx.shown.empty());
        EXPECT_EQ(ctx.shown.back(), exclamation(c.message));
    }
}

TEST(ReplaceSpecialCharacter, AnotherModeRunsNothing) {
    const OpRun r = replace(u"a\r\nb", u"x", u",");
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

// The command line replaces the byte of a special character in UTF-8 without decoding: the same
// questions, messages and result as the replacement in the decoded text, for every mode it takes.
TEST(ReplaceSpecialCharacter, BytesGiveWhatTheDecodedTextGives) {
    std::mt19937 random(3);
    const Text pieces[] = {u"a", u"あ", u"\t", u"\b", u"\r", u"\n", u"\r\n", u"\U0001F600"};
    const Text replacements[] = {u"", u" ", u"あ", u"\U0001F600x", u"\r\n", u"\t\t"};
    const TextView modes[] = {kLfMode, kCrMode, kBsMode, kTabMode};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), length(0, 30);
    for (int round = 0; round < 3000; ++round) {
        Text upper;
        for (std::size_t n = length(random); n > 0; --n)
            upper += pieces[piece(random)];
        Params p = Params::defaults(Date{2024, 1, 1});
        p.set("Combo40", Text(modes[static_cast<std::size_t>(round) % std::size(modes)]));
        p.set("Text26", replacements[static_cast<std::size_t>(round / 4) % std::size(replacements)]);
        const std::string bytes = utf8::encode(upper);
        ASSERT_TRUE(replacesInUtf8(bytes, p));
        const Answer answer = round % 3 == 0 ? Answer::No : Answer::Yes;
        FakeContext decoded = answering(answer), raw = answering(answer);
        const std::optional<Text> expected = ReplaceSpecialCharacter(upper, p, decoded);
        const std::optional<std::string> got = ReplaceSpecialCharacterUtf8(bytes, p, raw);
        SCOPED_TRACE(round);
        ASSERT_EQ(got.has_value(), expected.has_value()) << show(upper);
        if (expected) {
            ASSERT_EQ(*got, utf8::encode(*expected)) << show(upper);
        }
        ASSERT_EQ(raw.texts(), decoded.texts());
    }
}

TEST(ReplaceSpecialCharacter, LineBreaksAndLoneSurrogatesAreDecodedFirst) {
    Params p = Params::defaults(Date{2024, 1, 1});
    p.set("Combo40", Text(kTabMode));
    p.set("Text26", u" ");
    EXPECT_TRUE(replacesInUtf8("a\tb", p));
    p.set("Text26", Text(1, u'\xDC00'));
    EXPECT_FALSE(replacesInUtf8("a\tb", p));
    p.set("Text26", u" ");
    p.set("Combo40", Text(kCrLfMode));
    EXPECT_FALSE(replacesInUtf8("a\tb", p));
    p.set("Combo40", u"x");
    EXPECT_FALSE(replacesInUtf8("a\tb", p));
}

}  // namespace
}  // namespace kivo
