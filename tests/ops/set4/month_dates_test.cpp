#include "ops/set4/month_dates.h"

#include <gtest/gtest.h>

#include "run_set4.h"

namespace kivo {
namespace {

using test::crlfLines;
using test::FakeContext;
using test::runOp;

constexpr TextView kEndsError = u"月末の日付を取得の際にエラーしました。";
constexpr TextView kFirstsError = u"月初めの週を取得の際にエラーしました。";

std::optional<Text> monthEnds(TextView start, TextView months, TextView weekday, FakeContext& ctx) {
    return runOp(ListMonthEnds, u"", {{"DTPicker1", start}, {"Text27", months}, {"chkYoubi", weekday}}, ctx);
}

std::optional<Text> firstWeekdays(TextView start, TextView months, TextView wd, TextView every,
                                  FakeContext& ctx) {
    return runOp(ListFirstWeekdays, u"",
                 {{"DTPicker2", start}, {"Text28", months}, {"Combo54", wd}, {"Combo57", every}}, ctx);
}

TEST(ListMonthEnds, ListsTheLastDayOfEachMonth) {
    struct Case {
        TextView start, months, weekday;
        Text out;
    };
    const Case cases[] = {
        {u"2024/01/15", u"3", u"0", crlfLines({u"2024/01/31", u"2024/02/29", u"2024/03/31"})},
        {u"2024/01/15", u"3", u"1", crlfLines({u"2024/01/31 水", u"2024/02/29 木", u"2024/03/31 日"})},
        {u"2023/01/31", u"2", u"0", crlfLines({u"2023/01/31", u"2023/02/28"})},
        {u"1900/02/01", u"2", u"0", crlfLines({u"1900/02/28", u"1900/03/31"})},
        {u"2000/02/10", u"2", u"0", crlfLines({u"2000/02/29", u"2000/03/31"})},
        {u"2100/01/31", u"2", u"0", crlfLines({u"2100/01/31", u"2100/02/28"})},
        {u"2024/11/30", u"3", u"0", crlfLines({u"2024/11/30", u"2024/12/31", u"2025/01/31"})},
        // The months are whole numbers, rounded.
        {u"2024/04/01", u"2.4", u"0", crlfLines({u"2024/04/30", u"2024/05/31"})},
        // The last month before the range ends, and the first month of it.
        {u"9999/10/31", u"2", u"0", crlfLines({u"9999/10/31", u"9999/11/30"})},
        {u"0100/01/01", u"2", u"0", crlfLines({u"0100/01/31", u"0100/02/28"})},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(monthEnds(c.start, c.months, c.weekday, ctx), c.out) << test::narrow(c.start);
        EXPECT_TRUE(ctx.shown.empty());
        EXPECT_FALSE(ctx.stop);
    }
}

TEST(ListFirstWeekdays, ListsTheFirstWeekdayOfEveryNthMonth) {
    struct Case {
        TextView start, months, wd, every;
        Text out;
    };
    const Case cases[] = {
        {u"2024/01/20", u"3", u"月", u"1", crlfLines({u"2024/01/01", u"2024/02/05", u"2024/03/04"})},
        {u"2024/01/20", u"5", u"月", u"2", crlfLines({u"2024/01/01", u"2024/03/04", u"2024/05/06"})},
        {u"2024/01/20", u"4", u"日", u"3", crlfLines({u"2024/01/07", u"2024/04/07"})},
        {u"2024/02/29", u"2", u"土", u"1", crlfLines({u"2024/02/03", u"2024/03/02"})},
        {u"2024/01/01", u"2", u"火", u"1", crlfLines({u"2024/01/02", u"2024/02/06"})},
        {u"2024/01/01", u"2", u"水", u"1", crlfLines({u"2024/01/03", u"2024/02/07"})},
        {u"2024/01/01", u"2", u"木", u"1", crlfLines({u"2024/01/04", u"2024/02/01"})},
        {u"2024/01/01", u"2", u"金", u"100", crlfLines({u"2024/01/05"})},
        {u"9999/10/31", u"2", u"日", u"1", crlfLines({u"9999/10/03", u"9999/11/07"})},
    };
    for (const Case& c : cases) {
        FakeContext ctx;
        EXPECT_EQ(firstWeekdays(c.start, c.months, c.wd, c.every, ctx), c.out) << test::narrow(c.start);
        EXPECT_TRUE(ctx.shown.empty());
    }
}

// Both month enumerations share the start-date checks, and every failure sets the stop flag.
TEST(MonthEnumerations, StartDateChecksAndErrors) {
    struct Case {
        TextView start, months;
        Icon icon;
        TextView endsMessage, firstsMessage;
    };
    const Case cases[] = {
        {u"0099/12/31", u"2", Icon::Information, u"西暦100年01/01より以前の日付は扱えません。",
         u"西暦100年01/01より以前の日付は扱えません。"},
        {u"0001/01/01", u"2", Icon::Information, u"西暦100年01/01より以前の日付は扱えません。",
         u"西暦100年01/01より以前の日付は扱えません。"},
        // S + m months, one month more than the last listed, must be a date.
        {u"9999/11/01", u"2", Icon::Exclamation, kEndsError, kFirstsError},
        {u"9999/12/31", u"2", Icon::Exclamation, kEndsError, kFirstsError},
        {u"2024/01/01", u"2000000", Icon::Exclamation, kEndsError, kFirstsError},
        {u"0100/01/01", u"118800", Icon::Exclamation, kEndsError, kFirstsError},
        // Values only the command line can send.
        {u"2024/02/30", u"2", Icon::Exclamation, kEndsError, kFirstsError},
        {u"tomorrow", u"2", Icon::Exclamation, kEndsError, kFirstsError},
        {u"2024/01/01", u"1e99", Icon::Exclamation, kEndsError, kFirstsError},
    };
    for (const Case& c : cases) {
        FakeContext ends;
        EXPECT_EQ(monthEnds(c.start, c.months, u"0", ends), std::nullopt);
        EXPECT_EQ(ends.shown, (std::vector<FakeContext::Shown>{{c.icon, Text(c.endsMessage)}}))
            << test::narrow(c.start);
        EXPECT_TRUE(ends.stop);
        FakeContext firsts;
        EXPECT_EQ(firstWeekdays(c.start, c.months, u"日", u"1", firsts), std::nullopt);
        EXPECT_EQ(firsts.shown, (std::vector<FakeContext::Shown>{{c.icon, Text(c.firstsMessage)}}));
        EXPECT_TRUE(firsts.stop);
    }
    // The longest valid count runs to the last month at once.
    FakeContext longest;
    const std::optional<Text> all = monthEnds(u"0100/01/01", u"118799", u"1", longest);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->substr(all->size() - 14), u"9999/11/30 火\r\n");
    FakeContext firsts;
    ASSERT_TRUE(firstWeekdays(u"0100/01/01", u"118799", u"日", u"1", firsts));
}

TEST(MonthEnumerations, ControlTextsOutsideTheirListsAreRunTimeErrors) {
    for (TextView box : {u"2", u"yes", u""}) {
        FakeContext ctx;
        EXPECT_EQ(monthEnds(u"2024/01/01", u"2", box, ctx), std::nullopt);
        EXPECT_EQ(ctx.texts(), std::vector<Text>{Text(kEndsError)});
        EXPECT_TRUE(ctx.stop);
    }
    const std::pair<TextView, TextView> settings[] = {{u"日曜", u"1"}, {u"", u"1"},     {u"8", u"1"},
                                                      {u"日", u"0"},   {u"日", u"101"}, {u"日", u"01"}};
    for (const auto& [wd, every] : settings) {
        FakeContext ctx;
        EXPECT_EQ(firstWeekdays(u"2024/01/01", u"2", wd, every, ctx), std::nullopt);
        EXPECT_EQ(ctx.texts(), std::vector<Text>{Text(kFirstsError)});
        EXPECT_TRUE(ctx.stop);
    }
}

TEST(MonthEnumerations, StopSaysSo) {
    for (int polls : {0, 1, 10}) {
        FakeContext ends;
        ends.stopAfterPolls = polls;
        EXPECT_EQ(monthEnds(u"2024/01/01", u"100", u"0", ends), std::nullopt);
        EXPECT_EQ(ends.shown, (std::vector<FakeContext::Shown>{{Icon::Information, u"中止されました。"}}));
        FakeContext firsts;
        firsts.stopAfterPolls = polls;
        EXPECT_EQ(firstWeekdays(u"2024/01/01", u"100", u"土", u"1", firsts), std::nullopt);
        EXPECT_EQ(firsts.shown, (std::vector<FakeContext::Shown>{{Icon::Information, u"中止されました。"}}));
    }
    FakeContext closing;
    closing.closingFlag = true;
    EXPECT_EQ(monthEnds(u"0001/01/01", u"2", u"0", closing), std::nullopt);
    EXPECT_TRUE(closing.shown.empty());
}

}  // namespace
}  // namespace kivo
