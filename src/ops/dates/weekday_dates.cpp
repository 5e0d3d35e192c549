#include "ops/dates/weekday_dates.h"

#include "ops/choices.h"
#include "ops/dates/month_dates.h"
#include "ops/numbers/number_values.h"
#include "text/characters.h"
#include "text/numeric.h"

namespace kivo {

std::optional<Text> ListWeekdayDates(TextView, const WeekdayDatesOptions& options, RunContext& ctx) {
    const std::int32_t months = numbers::roundedCount(options.months);
    const Date start = options.start;
    const int wd = options.weekday;
    const std::int32_t weeks = options.weeks;
    if (!startDateAccepted(start, months, ctx)) return std::nullopt;

    std::optional<Date> first;
    for (int d = 1; d <= 7 && !first && !ctx.poll(); ++d)
        if (weekday(Date{start.year, start.month, d}) == wd) first = Date{start.year, start.month, d};
    if (!first) return enumerationResult(Text(), ctx);

    Text out = formatDate(*first);
    out.append(kCrLf);
    // A date beyond 9999/12/31 cannot be formed: moving there is the run-time error.
    for (std::int32_t k = 1; !ctx.poll(); ++k) {
        const std::int32_t days = checked<std::int32_t>(std::int64_t{7} * k * weeks);
        const Date d = addDays(*first, days);
        out.append(formatDate(d));
        out.append(kCrLf);
        const std::int64_t boundaries = 12 * std::int64_t{d.year - first->year} + (d.month - first->month);
        if (boundaries > months - 1 || ctx.cancelled()) break;
    }
    // The last date lies outside the months listed.
    if (!ctx.cancelled()) out.resize(out.size() - 12);
    return enumerationResult(std::move(out), ctx);
}

constinit const LazyOperation kListWeekdayDates(34, "weekday-dates", [] {
    return declare<WeekdayDatesOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(7)",
                 .description = "Lists a weekday every n weeks over a number of months",
                 .japaneseDescription = u"指定した曜日の日付を、数週間おきに指定した月数分並べます。",
                 .caption = u"…を列挙する(&M)",
                 .example = {.input = u"",
                             .options = {"--months=2", "--start=2024/01/01", "--weekday=fri", "--weeks=2"},
                             .output = u"2024/01/05\r\n2024/01/19\r\n2024/02/02\r\n2024/02/16\r\n"},
                 .errorMessage = u"日付が「9999/12/31」を超えた、もしくはエラーしました。",
                 .needsUpperText = false,
                 .setsStopFlagOnError = true},
        .params = {numberTextParam(&WeekdayDatesOptions::months, "months", 2, 2000000, u"2")
                       .alias("Text29")
                       .purpose(u"月数", "Number of months"),
                   dateParam(&WeekdayDatesOptions::start, "start")
                       .alias("DTPicker3")
                       .purpose(u"開始月", "First month"),
                   listParam(&WeekdayDatesOptions::weekday, "weekday", weekdayChoices())
                       .alias("Combo55")
                       .purpose(u"曜日", "Weekday"),
                   countParam(&WeekdayDatesOptions::weeks, "weeks", 1, 100)
                       .alias("Combo56")
                       .purpose(u"週のステップ", "Weeks between")},
        .preCheck = [](const WeekdayDatesOptions& o) { return monthCountRefusal(o.months); },
        .run = ListWeekdayDates,
    });
});

}  // namespace kivo
