#include "ops/dates/month_dates.h"

#include "ops/choices.h"
#include "ops/numbers/number_values.h"
#include "text/characters.h"
#include "text/numeric.h"

namespace kivo {
namespace {

// The first day 1 to 7 of a month that falls on `wd`; nothing when the search was stopped.
std::optional<Date> firstWeekdayOfMonth(int year, int month, int wd, RunContext& ctx) {
    for (int d = 1; d <= 7; ++d) {
        if (ctx.poll()) return std::nullopt;
        const Date date{year, month, d};
        if (weekday(date) == wd) return date;
    }
    return std::nullopt;
}

}  // namespace

bool startDateAccepted(Date start, std::int32_t months, RunContext& ctx) {
    auto refuse = [&](TextView message) {
        ctx.inform(message);
        ctx.setStopFlag();
        return false;
    };
    if (start < kFirstDate) return refuse(u"西暦100年01/01より以前の日付は扱えません。");
    if (start > kLastDate) return refuse(u"西暦9999年12/12以降の日付は扱えません。");
    // Throws when the month lies beyond 9999/12.
    if (addMonths(start, months) > kLastDate)
        return refuse(u"計算結果の日付が西暦9999年12/12以降になります。");
    return true;
}

std::optional<Text> monthCountRefusal(const Text& months) {
    if (months.empty()) return Text(u"列挙する月数を入力して下さい。");
    // A number too large for a double is above 2000000 as well.
    double count = 0;
    try {
        count = numericValue(months);
    } catch (const RunTimeError&) {
        count = 2000001;
    }
    if (count < 2 || count > 2000000) return Text(u"2以上2000000以下の数値を入力して下さい。");
    return std::nullopt;
}

std::optional<Text> enumerationResult(Text list, RunContext& ctx) {
    if (ctx.stopFlag()) {
        ctx.inform(u"中止されました。");
        return std::nullopt;
    }
    return list;
}

std::optional<Text> ListMonthEnds(TextView, const MonthEndsOptions& options, RunContext& ctx) {
    const std::int32_t months = numbers::roundedCount(options.months);
    const Date start = options.start;
    const bool withWeekday = options.withWeekday;
    if (!startDateAccepted(start, months, ctx)) return std::nullopt;
    Text out;
    for (std::int32_t i = 0; i < months; ++i) {
        if (i > 0 && ctx.poll()) break;
        const Date m = addMonths(start, i);
        const Date last{m.year, m.month, daysInMonth(m.year, m.month)};
        out.append(formatDate(last));
        if (withWeekday) {
            out.push_back(u' ');
            out.append(weekdayName(weekday(last)));
        }
        out.append(kCrLf);
        if (ctx.cancelled()) break;
    }
    return enumerationResult(std::move(out), ctx);
}

std::optional<Text> ListFirstWeekdays(TextView, const FirstWeekdaysOptions& options, RunContext& ctx) {
    const std::int32_t months = numbers::roundedCount(options.months);
    const Date start = options.start;
    const int wd = options.weekday;
    const int every = options.every;
    if (!startDateAccepted(start, months, ctx)) return std::nullopt;
    Text out;
    if (const std::optional<Date> first = firstWeekdayOfMonth(start.year, start.month, wd, ctx)) {
        out.append(formatDate(*first));
        out.append(kCrLf);
    }
    std::int32_t found = 0;
    for (std::int32_t j = 1; j < months && !ctx.cancelled(); ++j) {
        if (ctx.poll()) break;
        const Date m = addMonths(start, j);
        if (const std::optional<Date> day = firstWeekdayOfMonth(m.year, m.month, wd, ctx)) {
            if (++found % every == 0) {
                out.append(formatDate(*day));
                out.append(kCrLf);
            }
        }
    }
    return enumerationResult(std::move(out), ctx);
}

constinit const LazyOperation kListMonthEnds(32, "month-ends", [] {
    return declare<MonthEndsOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(5)",
                 .description = "Lists the last day of each month, with its weekday when asked",
                 .japaneseDescription = u"開始月から各月の末日を並べます（曜日も付けられます）。",
                 .caption = u"月末の日にちを列挙する(&J)",
                 .example = {.input = u"",
                             .options = {"--months=3", "--start=2024/01/01"},
                             .output = u"2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n"},
                 .errorMessage = u"月末の日付を取得の際にエラーしました。",
                 .needsUpperText = false,
                 .setsStopFlagOnError = true},
        .params = {numberTextParam(&MonthEndsOptions::months, "months", 2, 2000000, u"2")
                       .alias("Text27")
                       .purpose(u"月数", "Number of months"),
                   dateParam(&MonthEndsOptions::start, "start")
                       .alias("DTPicker1")
                       .purpose(u"開始月", "First month"),
                   checkParam(&MonthEndsOptions::withWeekday, "weekday")
                       .alias("chkYoubi")
                       .purpose(u"曜日も付加する", "Add the weekday")},
        .preCheck = [](const MonthEndsOptions& o) { return monthCountRefusal(o.months); },
        .run = ListMonthEnds,
    });
});

constinit const LazyOperation kListFirstWeekdays(33, "first-weekdays", [] {
    return declare<FirstWeekdaysOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(6)",
                 .description = "Lists the first given weekday of every n-th month",
                 .japaneseDescription = u"数か月おきに、各月の最初の指定した曜日の日付を並べます。",
                 .caption = u"月初めの…の日にちを列挙する(&L)",
                 .example = {.input = u"",
                             .options = {"--months=3", "--start=2024/01/01", "--weekday=mon"},
                             .output = u"2024/01/01\r\n2024/02/05\r\n2024/03/04\r\n"},
                 .errorMessage = u"月初めの週を取得の際にエラーしました。",
                 .needsUpperText = false,
                 .setsStopFlagOnError = true},
        .params = {numberTextParam(&FirstWeekdaysOptions::months, "months", 2, 2000000, u"2")
                       .alias("Text28")
                       .purpose(u"月数", "Number of months"),
                   dateParam(&FirstWeekdaysOptions::start, "start")
                       .alias("DTPicker2")
                       .purpose(u"開始月", "First month"),
                   listParam(&FirstWeekdaysOptions::weekday, "weekday", weekdayChoices())
                       .alias("Combo54")
                       .purpose(u"曜日", "Weekday"),
                   countParam(&FirstWeekdaysOptions::every, "every", 1, 100)
                       .alias("Combo57")
                       .purpose(u"月のステップ", "Months between")},
        .preCheck = [](const FirstWeekdaysOptions& o) { return monthCountRefusal(o.months); },
        .run = ListFirstWeekdays,
    });
});

}  // namespace kivo
