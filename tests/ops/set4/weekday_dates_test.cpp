#include "ops/set4/weekday_dates.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::crlfLines;
using test::FakeContext;
using test::runOp;

constexpr TextView kError = u"日付が「9999/12/31」を超えた、もしくはエラーしました。";

std::optional<Text> weekdayDates(TextView start, TextView months, TextView wd, TextView weeks,
                                 FakeContext& ctx) {
    return runOp(ListWeekdayDates, u"",
                 {{"DTPicker3", start}, {"Text29", months}, {"Combo55", wd}, {"Combo56", weeks}}, ctx);
}

TEST(ListWeekdayDates, ListsTheWeekdayEveryNWeeks) {
    struct Case {
        TextView start, months, wd, weeks;
        Text out;
    };
    const Case cases[] = {
        {u"2024/01/20", u"2", u"日", u"1",
         crlfLines({u"2024/01/07", u"2024/01/14", u"2024/01/21", u"2024/01/28", u"2024/02/04", u"2024/02/11",
                    u"2024/02/18", u"2024/02/25"})},
        {u"2024/01/20", u"2", u"日", u"2",
         crlfLines({u"2024/01/07", u"2024/01/21", u"2024/02/04", u"2024/02/18"})},
        // A step that leaves the months at once lists the first date only.
        {u"2024/01/31", u"2", u"月", u"9", crlfLines({u"2024/01/01"})},
        {u"2024/12/01", u"2", u"火", u"4", crlfLines({u"2024/12/03", u"2024/12/31", u"2025/01/28"})},
        {u"2023/12/15", u"3", u"土", u"3",
         crlfLines({u"2023/12/02", u"2023/12/23", u"2024/01/13", u"2024/02/03", u"2024/02/24"})},
        // Near the end of the range: the next date must still be a date.
        {u"9999/10/01", u"2", u"金", u"4", crlfLines({u"9999/10/01", u"9999/10/29", u"9999/11/26"})},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(weekdayDates(c.start, c.months, c.wd, c.weeks, ctx), c.out) << test::narrow(c.start);
        EXPECT_TRUE(ctx.shown.empty());
        EXPECT_FALSE(ctx.stop);
    }
}

TEST(ListWeekdayDates, FailuresSetTheStopFlag) {
    struct Case {
        TextView start, months, wd, weeks;
        Icon icon;
        TextView message;
    };
    const Case cases[] = {
        {u"0099/12/31", u"2", u"日", u"1", Icon::Information, u"西暦100年01/01より以前の日付は扱えません。"},
        {u"9999/11/01", u"2", u"日", u"1", Icon::Exclamation, kError},
        {u"2024/01/01", u"2000000", u"日", u"1", Icon::Exclamation, kError},
        // The date after the last one listed lies beyond 9999/12/31.
        {u"9999/10/01", u"2", u"金", u"100", Icon::Exclamation, kError},
        {u"2024/01/01", u"2", u"Sun", u"1", Icon::Exclamation, kError},
        {u"2024/01/01", u"2", u"日", u"0", Icon::Exclamation, kError},
        {u"2024/01/01", u"2", u"日", u"1000", Icon::Exclamation, kError},
        {u"2024/13/01", u"2", u"日", u"1", Icon::Exclamation, kError},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(weekdayDates(c.start, c.months, c.wd, c.weeks, ctx), std::nullopt);
        EXPECT_EQ(ctx.shown, (std::vector<FakeContext::Shown>{{c.icon, Text(c.message)}}))
            << test::narrow(c.start);
        EXPECT_TRUE(ctx.stop);
    }
}

TEST(ListWeekdayDates, LongestRunAndStop) {
    FakeContext ctx;
    const std::optional<Text> all = weekdayDates(u"0100/01/01", u"118799", u"日", u"1", ctx);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->substr(0, 12), u"0100/01/03\r\n");
    EXPECT_EQ(all->substr(all->size() - 12), u"9999/11/28\r\n");

    for (int polls : {0, 3, 20}) {
        FakeContext stopped;
        stopped.stopAfterPolls = polls;
        EXPECT_EQ(weekdayDates(u"2024/01/01", u"50", u"日", u"1", stopped), std::nullopt);
        EXPECT_EQ(stopped.shown, (std::vector<FakeContext::Shown>{{Icon::Information, u"中止されました。"}}));
    }
}

}  // namespace
}  // namespace kivo
