#include "ops/characters/class_extraction.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

using namespace test;

TEST(ClassExtraction, KeepsOnlyTheClassLineByLine) {
    const OperationDeclaration &digits = kExtractDigits, &full = kExtractDoubleByteCharacters,
                               &half = kExtractHalfWidthCharacters;
    const struct {
        const OperationDeclaration& op;
        TextView upper;
        std::optional<Text> out;
        std::vector<FakeContext::Shown> shown = {};
    } rows[] = {
        {digits, u"a1b2\r\nxyz\r\n３4", u"12\r\n4"},
        {digits, u"a1\r\nxyz", u"1"},
        {digits, u"a1\r\nb2\r\n", u"1\r\n2\r\n"},
        {digits, u"1\r2\n3", u"1\r\n2\r\n3"},
        {digits, u"\r\n1", u"1"},
        {full, u"abあいｱＡ", u"あいＡ"},
        {half, u"abあいｱＡ", u"abｱ"},
        // Tabs, BS and characters without a code page 932 form are single-byte, and stay as
        // they are.
        {half, u"\tあ\b😀é", u"\t\b😀é"},
        {full, u"①髙～\r\nx\r\n—", u"①髙～\r\n—"},
        {digits, u"３４５\r\nabc", std::nullopt, {info(u"半角数字は見つかりませんでした。")}},
        {full, u"abc\r\nｱｲ", std::nullopt, {info(u"全角文字は見つかりませんでした。")}},
        {half, u"あい\r\nＡ", std::nullopt, {info(u"半角文字は見つかりませんでした。")}},
        {half, u"\r\n", std::nullopt, {info(u"半角文字は見つかりませんでした。")}},
        {digits, u"1\r\n\r\n2", std::nullopt, {info(kConsecutiveLineBreaks)}},
        {full, u"あ\n\n", std::nullopt, {info(kConsecutiveLineBreaks)}},
    };
    for (const auto& row : rows) {
        const OpRun r = run(row.op, row.upper);
        EXPECT_EQ(r.out, row.out) << row.op.name << " " << show(row.upper);
        EXPECT_EQ(r.ctx.shown, row.shown) << row.op.name << " " << show(row.upper);
    }
    EXPECT_TRUE(run(digits, u"abc", {}, closingContext()).ctx.shown.empty());
}

TEST(ClassExtraction, StopEndsWithoutOutput) {
    // One poll per line (and one that finds no line left) and one per character.
    EXPECT_EQ(run(kExtractDigits, u"a1\r\nb2").ctx.polls, 7);
    const OpRun r = run(kExtractDigits, u"a1\r\nb2", {}, stoppingAfter(3));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
