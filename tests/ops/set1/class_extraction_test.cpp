#include "ops/set1/class_extraction.h"

#include <gtest/gtest.h>

#include "run_operation.h"

namespace kivo {
namespace {

using namespace test;

TEST(ClassExtraction, KeepsOnlyTheClassLineByLine) {
    struct Case {
        Operation op;
        TextView upper, out;
    };
    const Case cases[] = {
        {ExtractDigits, u"a1b2\r\nxyz\r\n３4", u"12\r\n4"},
        {ExtractDigits, u"a1\r\nxyz", u"1"},
        {ExtractDigits, u"a1\r\nb2\r\n", u"1\r\n2\r\n"},
        {ExtractDigits, u"1\r2\n3", u"1\r\n2\r\n3"},
        {ExtractDigits, u"\r\n1", u"1"},
        {ExtractDoubleByteCharacters, u"abあいｱＡ", u"あいＡ"},
        {ExtractHalfWidthCharacters, u"abあいｱＡ", u"abｱ"},
        // Tabs, BS and characters without a code page 932 form are single-byte, and stay as
        // they are.
        {ExtractHalfWidthCharacters, u"\tあ\b😀é", u"\t\b😀é"},
        {ExtractDoubleByteCharacters, u"①髙～\r\nx\r\n—", u"①髙～\r\n—"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runOperation(c.op, c.upper).out, Text(c.out)) << show(c.upper);
}

TEST(ClassExtraction, Refusals) {
    struct Case {
        Operation op;
        TextView upper, message;
    };
    const Case cases[] = {
        {ExtractDigits, u"３４５\r\nabc", u"半角数字は見つかりませんでした。"},
        {ExtractDoubleByteCharacters, u"abc\r\nｱｲ", u"全角文字は見つかりませんでした。"},
        {ExtractHalfWidthCharacters, u"あい\r\nＡ", u"半角文字は見つかりませんでした。"},
        {ExtractHalfWidthCharacters, u"\r\n", u"半角文字は見つかりませんでした。"},
        {ExtractDigits, u"1\r\n\r\n2", u"改行の連続があります。"},
        {ExtractDoubleByteCharacters, u"あ\n\n", u"改行の連続があります。"},
    };
    for (const Case& c : cases) {
        const OpRun r = runOperation(c.op, c.upper);
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, std::vector{info(c.message)}) << show(c.upper);
    }
    EXPECT_TRUE(runOperation(ExtractDigits, u"abc", {}, closingContext()).ctx.shown.empty());
}

TEST(ClassExtraction, StopEndsWithoutOutput) {
    // One poll per line (and one that finds no line left) and one per character.
    const OpRun done = runOperation(ExtractDigits, u"a1\r\nb2");
    EXPECT_EQ(done.ctx.polls, 7);
    const OpRun r = runOperation(ExtractDigits, u"a1\r\nb2", {}, stoppingAfter(3));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_TRUE(r.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
