// Stop and closing for every operation of the tab.
#include <gtest/gtest.h>

#include "ops/set2/duplicate_check.h"
#include "ops/set2/every_nth_line.h"
#include "ops/set2/line_breaking.h"
#include "ops/set2/line_count.h"
#include "ops/set2/line_replacement.h"
#include "ops/set2/positional_replacement.h"
#include "ops/set2/range_replacement.h"
#include "ops/set2/side_extraction.h"
#include "run_op.h"

namespace kivo {
namespace {

using test::FakeContext;

struct Op {
    const char* name;
    Operation op;
    TextView in;
};

const test::Settings kSettings = {{"Text11", u"4"}, {"Text12", u"X"}, {"Text14", u"X"}, {"Text16", u"["},
                                  {"Text17", u"]"}, {"Text18", u"X"}, {"Text19", u"["}, {"Text20", u"]"},
                                  {"Text21", u"X"}, {"Text34", u"X"}, {"Combo5", u"1"}};

constexpr TextView kLines = u"[a]\r\n[b]\r\n[c]\r\n[d]\r\n[e]";

const Op kLineOps[] = {
    {"ExtractLine", ExtractLine, kLines},
    {"ReplaceLine", ReplaceLine, kLines},
    {"InsertAtPosition", InsertAtPosition, kLines},
    {"BreakEveryNCharacters", BreakEveryNCharacters, u"abcdefgh"},
    {"ReplaceAllRangesInLine", ReplaceAllRangesInLine, kLines},
    {"ReplaceRangePerLine", ReplaceRangePerLine, kLines},
    {"ReplaceByPosition", ReplaceByPosition, kLines},
    {"ExtractEveryNthLine", ExtractEveryNthLine, kLines},
    {"RemainderEveryNthLine", RemainderEveryNthLine, kLines},
    {"ExtractFromSide", ExtractFromSide, kLines},
    {"RemainderFromSide", RemainderFromSide, kLines},
};

Params settings() {
    Params p = Params::defaults(Date{2024, 1, 1});
    for (const auto& [name, value] : kSettings)
        p.set(name, value);
    return p;
}

TEST(ConditionSet2, EveryOperationRunsWithTheseSettings) {
    const Params p = settings();
    for (const Op& o : kLineOps) {
        FakeContext ctx;
        EXPECT_NE(o.op(o.in, p, ctx), std::nullopt) << o.name;
    }
}

TEST(ConditionSet2, StopEndsTheLoopWithoutOutputOrMessage) {
    const Params p = settings();
    for (const Op& o : kLineOps) {
        FakeContext ctx;
        ctx.stopAfterPolls = 1;
        EXPECT_EQ(o.op(o.in, p, ctx), std::nullopt) << o.name;
        EXPECT_TRUE(ctx.shown.empty()) << o.name;
        // The range search polls in its inner loop as well.
        EXPECT_LE(ctx.polls, 3) << o.name;
    }
}

TEST(ConditionSet2, ClosingShowsNothingAndWritesNothing) {
    const Params p = settings();
    // Inputs that would bring a message or a question.
    const Op refused[] = {
        {"CountLines", CountLines, u"a"},
        {"ExtractLine", ExtractLine, u"a\r\n\r\nc"},
        {"CheckDuplicateCharacters", CheckDuplicateCharacters, u"aa\r\n"},
        {"CheckDuplicateCharacters", CheckDuplicateCharacters, u"aa"},
        {"ReplaceLine", ReplaceLine, u"a\r\n\r\nb"},
        {"InsertAtPosition", InsertAtPosition, u"a\r\n\r\nb"},
        {"BreakEveryNCharacters", BreakEveryNCharacters, u"a\r\nb"},
        {"BreakEveryNCharacters", BreakEveryNCharacters, u"a"},
        {"ReplaceAllRangesInLine", ReplaceAllRangesInLine, u"x"},
        {"ReplaceRangePerLine", ReplaceRangePerLine, u"x"},
        {"ReplaceByPosition", ReplaceByPosition, u""},
        {"ExtractEveryNthLine", ExtractEveryNthLine, u"a\r\n\r\nb"},
        {"ExtractFromSide", ExtractFromSide, u"a\r\n\r\nb"},
    };
    for (const Op& o : refused) {
        FakeContext ctx;
        ctx.closingFlag = true;
        EXPECT_EQ(o.op(o.in, p, ctx), std::nullopt) << o.name;
        EXPECT_TRUE(ctx.shown.empty()) << o.name;
    }
}

TEST(ConditionSet2, StopDoesNotEndTheDuplicateCheck) {
    FakeContext ctx;
    ctx.stopAfterPolls = 0;
    EXPECT_EQ(CheckDuplicateCharacters(u"abcabc", settings(), ctx), std::nullopt);
    EXPECT_EQ(ctx.texts(), std::vector<Text>{u"3個の重複がありました。"});
    EXPECT_EQ(ctx.polls, 5);
}

}  // namespace
}  // namespace kivo
