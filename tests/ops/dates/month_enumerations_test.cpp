// The month enumerations: month ends, first weekdays and weekday dates. They share the start-date
// checks and the count's pre-check, and every failure sets the stop flag.
#include <gtest/gtest.h>

#include "harness.h"
#include "ops/dates/month_dates.h"
#include "ops/dates/weekday_dates.h"

namespace kivo {
namespace {

using namespace test;

constexpr TextView kEndsError = u"月末の日付を取得の際にエラーしました。";
constexpr TextView kFirstsError = u"月初めの週を取得の際にエラーしました。";
constexpr TextView kWeekdaysError = u"日付が「9999/12/31」を超えた、もしくはエラーしました。";
constexpr TextView kBefore100 = u"西暦100年01/01より以前の日付は扱えません。";
constexpr TextView kCountRange = u"2以上2000000以下の数値を入力して下さい。";
const std::vector kStopped = {info(u"中止されました。")};

OpRun monthEnds(TextView start, TextView months, TextView weekday, FakeContext ctx = {}) {
    return run(kListMonthEnds, u"",
               {{"DTPicker1", Text(start)}, {"Text27", Text(months)}, {"chkYoubi", Text(weekday)}},
               std::move(ctx));
}

OpRun firstWeekdays(TextView start, TextView months, TextView wd, TextView every, FakeContext ctx = {}) {
    return run(kListFirstWeekdays, u"",
               {{"DTPicker2", Text(start)},
                {"Text28", Text(months)},
                {"Combo54", Text(wd)},
                {"Combo57", Text(every)}},
               std::move(ctx));
}

OpRun weekdayDates(TextView start, TextView months, TextView wd, TextView weeks, FakeContext ctx = {}) {
    return run(kListWeekdayDates, u"",
               {{"DTPicker3", Text(start)},
                {"Text29", Text(months)},
                {"Combo55", Text(wd)},
                {"Combo56", Text(weeks)}},
               std::move(ctx));
}

void expectListed(const OpRun& r, TextView out, TextView start) {
    EXPECT_EQ(r.out, Text(out)) << show(start);
    EXPECT_TRUE(r.ctx.shown.empty()) << show(start);
    EXPECT_FALSE(r.ctx.stop) << show(start);
}

void expectFailed(const OpRun& r, const FakeContext::Shown& shown, bool stops, TextView start) {
    EXPECT_EQ(r.out, std::nullopt) << show(start);
    EXPECT_EQ(r.ctx.shown, std::vector{shown}) << show(start);
    EXPECT_EQ(r.ctx.stop, stops) << show(start);
}

TEST(ListMonthEnds, ListsTheLastDayOfEachMonth) {
    const struct {
        TextView start, months, weekday, out;
    } rows[] = {
        {u"2024/01/15", u"3", u"0", u"2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n"},
        {u"2024/01/15", u"3", u"1", u"2024/01/31 水\r\n2024/02/29 木\r\n2024/03/31 日\r\n"},
        {u"2023/01/31", u"2", u"0", u"2023/01/31\r\n2023/02/28\r\n"},
        {u"1900/02/01", u"2", u"0", u"1900/02/28\r\n1900/03/31\r\n"},
        {u"2000/02/10", u"2", u"0", u"2000/02/29\r\n2000/03/31\r\n"},
        {u"2100/01/31", u"2", u"0", u"2100/01/31\r\n2100/02/28\r\n"},
        {u"2024/11/30", u"3", u"0", u"2024/11/30\r\n2024/12/31\r\n2025/01/31\r\n"},
        // The months are whole numbers, rounded.
        {u"2024/04/01", u"2.4", u"0", u"2024/04/30\r\n2024/05/31\r\n"},
        // The last month before the range ends, and the first month of it.
        {u"9999/10/31", u"2", u"0", u"9999/10/31\r\n9999/11/30\r\n"},
        {u"0100/01/01", u"2", u"0", u"0100/01/31\r\n0100/02/28\r\n"},
    };
    for (const auto& row : rows)
        expectListed(monthEnds(row.start, row.months, row.weekday), row.out, row.start);
}

TEST(ListFirstWeekdays, ListsTheFirstWeekdayOfEveryNthMonth) {
    const struct {
        TextView start, months, wd, every, out;
    } rows[] = {
        {u"2024/01/20", u"3", u"月", u"1", u"2024/01/01\r\n2024/02/05\r\n2024/03/04\r\n"},
        {u"2024/01/20", u"5", u"月", u"2", u"2024/01/01\r\n2024/03/04\r\n2024/05/06\r\n"},
        {u"2024/01/20", u"4", u"日", u"3", u"2024/01/07\r\n2024/04/07\r\n"},
        {u"2024/02/29", u"2", u"土", u"1", u"2024/02/03\r\n2024/03/02\r\n"},
        {u"2024/01/01", u"2", u"火", u"1", u"2024/01/02\r\n2024/02/06\r\n"},
        {u"2024/01/01", u"2", u"水", u"1", u"2024/01/03\r\n2024/02/07\r\n"},
        {u"2024/01/01", u"2", u"木", u"1", u"2024/01/04\r\n2024/02/01\r\n"},
        {u"2024/01/01", u"2", u"金", u"100", u"2024/01/05\r\n"},
        {u"9999/10/31", u"2", u"日", u"1", u"9999/10/03\r\n9999/11/07\r\n"},
        // A count takes leading zeros.
        {u"2024/01/01", u"2", u"日", u"01", u"2024/01/07\r\n2024/02/04\r\n"},
    };
    for (const auto& row : rows)
        expectListed(firstWeekdays(row.start, row.months, row.wd, row.every), row.out, row.start);
}

TEST(ListWeekdayDates, ListsTheWeekdayEveryNWeeks) {
    const struct {
        TextView start, months, wd, weeks, out;
    } rows[] = {
        {u"2024/01/20", u"2", u"日", u"1",
         u"2024/01/07\r\n2024/01/14\r\n2024/01/21\r\n2024/01/28\r\n2024/02/04\r\n2024/02/11\r\n2024/02/18\r\n"
         u"2024/02/25\r\n"},
        {u"2024/01/20", u"2", u"日", u"2", u"2024/01/07\r\n2024/01/21\r\n2024/02/04\r\n2024/02/18\r\n"},
        // A step that leaves the months at once lists the first date only.
        {u"2024/01/31", u"2", u"月", u"9", u"2024/01/01\r\n"},
        {u"2024/12/01", u"2", u"火", u"4", u"2024/12/03\r\n2024/12/31\r\n2025/01/28\r\n"},
        {u"2023/12/15", u"3", u"土", u"3",
         u"2023/12/02\r\n2023/12/23\r\n2024/01/13\r\n2024/02/03\r\n2024/02/24\r\n"},
        // Near the end of the range: the next date must still be a date.
        {u"9999/10/01", u"2", u"金", u"4", u"9999/10/01\r\n9999/10/29\r\n9999/11/26\r\n"},
    };
    for (const auto& row : rows)
        expectListed(weekdayDates(row.start, row.months, row.wd, row.weeks), row.out, row.start);
}

TEST(MonthEnumerations, StartDateChecksAndErrors) {
    const struct {
        TextView start, months;
        Icon icon;
        TextView ends, firsts, weekdays;
        bool stops = true;
    } rows[] = {
        {u"0099/12/31", u"2", Icon::Information, kBefore100, kBefore100, kBefore100},
        {u"0001/01/01", u"2", Icon::Information, kBefore100, kBefore100, kBefore100},
        // S + m months, one month more than the last listed, must be a date.
        {u"9999/11/01", u"2", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        {u"9999/12/31", u"2", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        {u"2024/01/01", u"2000000", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        {u"0100/01/01", u"118800", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        // Values only the command line can send.
        {u"2024/02/30", u"2", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        {u"2024/13/01", u"2", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        {u"tomorrow", u"2", Icon::Exclamation, kEndsError, kFirstsError, kWeekdaysError},
        // The pre-check reads the count first, and fails without the stop flag.
        {u"2024/01/01", u"1e99", Icon::Information, kCountRange, kCountRange, kCountRange, false},
    };
    for (const auto& row : rows) {
        expectFailed(monthEnds(row.start, row.months, u"0"), {row.icon, Text(row.ends)}, row.stops,
                     row.start);
        expectFailed(firstWeekdays(row.start, row.months, u"日", u"1"), {row.icon, Text(row.firsts)},
                     row.stops, row.start);
        expectFailed(weekdayDates(row.start, row.months, u"日", u"1"), {row.icon, Text(row.weekdays)},
                     row.stops, row.start);
    }
    // The longest valid count runs to the last month at once.
    const std::optional<Text> ends = monthEnds(u"0100/01/01", u"118799", u"1").out;
    ASSERT_TRUE(ends);
    EXPECT_EQ(ends->substr(ends->size() - 14), u"9999/11/30 火\r\n");
    ASSERT_TRUE(firstWeekdays(u"0100/01/01", u"118799", u"日", u"1").out);
    const std::optional<Text> weekdays = weekdayDates(u"0100/01/01", u"118799", u"日", u"1").out;
    ASSERT_TRUE(weekdays);
    EXPECT_EQ(weekdays->substr(0, 12), u"0100/01/03\r\n");
    EXPECT_EQ(weekdays->substr(weekdays->size() - 12), u"9999/11/28\r\n");
}

TEST(MonthEnumerations, ControlTextsOutsideTheirListsAreRunTimeErrors) {
    for (TextView box : {u"2", u"yes", u""})
        expectFailed(monthEnds(u"2024/01/01", u"2", box), exclamation(kEndsError), true, box);
    const std::pair<TextView, TextView> settings[] = {
        {u"日曜", u"1"}, {u"", u"1"}, {u"8", u"1"}, {u"日", u"0"}, {u"日", u"101"}};
    for (const auto& [wd, every] : settings)
        expectFailed(firstWeekdays(u"2024/01/01", u"2", wd, every), exclamation(kFirstsError), true, wd);
    const std::pair<TextView, TextView> weekly[] = {{u"Sun", u"1"}, {u"日", u"0"}, {u"日", u"1000"}};
    for (const auto& [wd, weeks] : weekly)
        expectFailed(weekdayDates(u"2024/01/01", u"2", wd, weeks), exclamation(kWeekdaysError), true, wd);
    // The date after the last one listed lies beyond 9999/12/31.
    expectFailed(weekdayDates(u"9999/10/01", u"2", u"金", u"100"), exclamation(kWeekdaysError), true, u"");
}

TEST(MonthEnumerations, StopSaysSo) {
    for (int polls : {0, 1, 10}) {
        for (const OpRun& r : {monthEnds(u"2024/01/01", u"100", u"0", stoppingAfter(polls)),
                               firstWeekdays(u"2024/01/01", u"100", u"土", u"1", stoppingAfter(polls))}) {
            EXPECT_EQ(r.out, std::nullopt);
            EXPECT_EQ(r.ctx.shown, kStopped);
        }
    }
    for (int polls : {0, 3, 20}) {
        const OpRun r = weekdayDates(u"2024/01/01", u"50", u"日", u"1", stoppingAfter(polls));
        EXPECT_EQ(r.out, std::nullopt);
        EXPECT_EQ(r.ctx.shown, kStopped);
    }
    const OpRun closing = monthEnds(u"0001/01/01", u"2", u"0", closingContext());
    EXPECT_EQ(closing.out, std::nullopt);
    EXPECT_TRUE(closing.ctx.shown.empty());
}

}  // namespace
}  // namespace kivo
