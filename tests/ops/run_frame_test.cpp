// Stop and closing for every operation of the tab.
#include <gtest/gtest.h>

#include "harness.h"
#include "ops/characters/duplicate_check.h"
#include "ops/lines/every_nth_line.h"
#include "ops/lines/line_breaking.h"
#include "ops/lines/line_count.h"
#include "ops/lines/line_replacement.h"
#include "ops/positions/positional_replacement.h"
#include "ops/positions/range_replacement.h"
#include "ops/positions/side_extraction.h"

namespace kivo {
namespace {

using namespace test;

const Settings kSettings = {{"Text11", u"4"}, {"Text12", u"X"}, {"Text14", u"X"}, {"Text16", u"["},
                            {"Text17", u"]"}, {"Text18", u"X"}, {"Text19", u"["}, {"Text20", u"]"},
                            {"Text21", u"X"}, {"Text34", u"X"}, {"Combo5", u"1"}};

constexpr TextView kLines = u"[a]\r\n[b]\r\n[c]\r\n[d]\r\n[e]";

struct OnText {
    const OperationDeclaration& op;
    TextView upper;
};

const OnText kLineRuns[] = {
    {kExtractLine, kLines},
    {kReplaceLine, kLines},
    {kInsertAtPosition, kLines},
    {kBreakEveryNCharacters, u"abcdefgh"},
    {kReplaceAllRangesInLine, kLines},
    {kReplaceRangePerLine, kLines},
    {kReplaceByPosition, kLines},
    {kExtractEveryNthLine, kLines},
    {kRemainderEveryNthLine, kLines},
    {kExtractFromSide, kLines},
    {kRemainderFromSide, kLines},
};

TEST(ConditionSet2, StopEndsTheLoopWithoutOutputOrMessage) {
    for (const OnText& o : kLineRuns) {
        // Every operation runs with these settings.
        EXPECT_NE(run(o.op, o.upper, kSettings).out, std::nullopt) << o.op.name;
        const OpRun r = run(o.op, o.upper, kSettings, stoppingAfter(1));
        EXPECT_EQ(r.out, std::nullopt) << o.op.name;
        EXPECT_TRUE(r.ctx.shown.empty()) << o.op.name;
        // The range search polls in its inner loop as well.
        EXPECT_LE(r.ctx.polls, 3) << o.op.name;
    }
}

TEST(ConditionSet2, ClosingShowsNothingAndWritesNothing) {
    // Inputs that would bring a message or a question.
    const OnText refused[] = {
        {kCountLines, u"a"},
        {kExtractLine, u"a\r\n\r\nc"},
        {kCheckDuplicateCharacters, u"aa\r\n"},
        {kCheckDuplicateCharacters, u"aa"},
        {kReplaceLine, u"a\r\n\r\nb"},
        {kInsertAtPosition, u"a\r\n\r\nb"},
        {kBreakEveryNCharacters, u"a\r\nb"},
        {kBreakEveryNCharacters, u"a"},
        {kReplaceAllRangesInLine, u"x"},
        {kReplaceRangePerLine, u"x"},
        {kReplaceByPosition, u""},
        {kExtractEveryNthLine, u"a\r\n\r\nb"},
        {kExtractFromSide, u"a\r\n\r\nb"},
    };
    for (const OnText& o : refused) {
        const OpRun r = run(o.op, o.upper, kSettings, closingContext());
        EXPECT_EQ(r.out, std::nullopt) << o.op.name;
        EXPECT_TRUE(r.ctx.shown.empty()) << o.op.name;
    }
}

TEST(ConditionSet2, StopDoesNotEndTheDuplicateCheck) {
    const OpRun r = run(kCheckDuplicateCharacters, u"abcabc", kSettings, stoppingAfter(0));
    EXPECT_EQ(r.out, std::nullopt);
    EXPECT_EQ(r.messages(), std::vector<Text>{u"3個の重複がありました。"});
    EXPECT_EQ(r.ctx.polls, 5);
}

}  // namespace
}  // namespace kivo
