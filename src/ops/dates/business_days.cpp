#include "ops/dates/business_days.h"

#include "ops/dates/date_conversion.h"
#include "text/characters.h"
#include "text/holidays.h"

namespace kivo {
namespace {

constexpr TextView kUnknownYears = u"祝日の分かる1955年～2099年の範囲で指定して下さい。";

bool isWeekend(Date d) {
    const int wd = weekday(d);
    return wd == 1 || wd == 7;
}

// A weekday that is no business day: a holiday by name, or one of the year-end days off.
std::optional<TextView> dayOffName(Date d, bool yearEndOff) {
    if (isWeekend(d)) return std::nullopt;
    if (const auto name = holidayName(d)) return *name;
    if (yearEndOff && !isBusinessDay(d, true)) return TextView(u"年末年始");
    return std::nullopt;
}

}  // namespace

std::optional<Text> ListBusinessDays(TextView, const BusinessDaysOptions& options, RunContext& ctx) {
    std::vector<Date> days;
    Date end{};  // the day after the span
    try {
        if (options.span == BusinessSpan::Months) {
            days = businessDaysForMonths(options.start, options.count, options.yearEndOff);
            end = addMonths(options.start, options.count);
        } else {
            days = businessDays(options.start, options.count, options.yearEndOff);
            end = addDays(days.back(), 1);
        }
    } catch (const RunTimeError&) {
        ctx.inform(kUnknownYears);
        return std::nullopt;
    }
    Text out;
    auto addLine = [&](Date d, std::optional<TextView> name) {
        out += *formatJapaneseDate(d, options.form, options.weekday);
        if (name) out += u"\t" + Text(*name);
        out += kCrLf;
    };
    std::size_t next = 0;
    for (Date d = options.start; d < end; d = addDays(d, 1)) {
        if (ctx.poll()) return std::nullopt;
        if (next < days.size() && days[next] == d) {
            addLine(d, std::nullopt);
            ++next;
        } else if (options.showHolidays) {
            if (const auto name = dayOffName(d, options.yearEndOff)) addLine(d, name);
        }
    }
    return out;
}

constinit const LazyOperation kListBusinessDays(43, "business-days", [] {
    return declare<BusinessDaysOptions>({
        .info = {.tab = Tab::OfficeChores,
                 .selector = "Option6(1)",
                 .description =
                     "Lists the business days from a date, without weekends and Japanese national holidays",
                 .japaneseDescription = u"開始日から、土日と祝日を除いた営業日を並べます。",
                 .caption = u"営業日を列挙する(&F)　開始日：…から……　形式：… …曜日を付ける …12/29～1/3を休む "
                            u"…祝日も表示",
                 .example = {.input = u"",
                             .options = {"--start=2025/01/01", "--count=3", "--span=business-days"},
                             .output = u"2025/01/02\r\n2025/01/03\r\n2025/01/06\r\n"},
                 .needsUpperText = false},
        .params = {dateParam(&BusinessDaysOptions::start, "start")
                       .alias("DTPicker4")
                       .purpose(u"開始日", "First day"),
                   countParam(&BusinessDaysOptions::count, "count", 1, 999)
                       .alias("Combo67")
                       .purpose(u"期間", "Length of the span"),
                   listParam(&BusinessDaysOptions::span, "span",
                             {{u"ヶ月分", "months", BusinessSpan::Months},
                              {u"営業日分", "business-days", BusinessSpan::BusinessDays}})
                       .alias("Combo68")
                       .purpose(u"期間の単位", "Unit of the span"),
                   listParam(&BusinessDaysOptions::form, "form", dateFormChoices())
                       .alias("Combo69")
                       .purpose(u"日付の形式", "Date format"),
                   checkParam(&BusinessDaysOptions::weekday, "weekday")
                       .alias("Check6(1)")
                       .purpose(u"曜日を付ける", "Add the weekday"),
                   checkParam(&BusinessDaysOptions::yearEndOff, "year-end-off")
                       .alias("Check6(2)")
                       .purpose(u"12/29～1/3を休む", "Year-end days off"),
                   checkParam(&BusinessDaysOptions::showHolidays, "holidays")
                       .alias("Check6(3)")
                       .purpose(u"祝日も表示する", "Show the holidays too")},
        .run = ListBusinessDays,
    });
});

}  // namespace kivo
