#include "ops/set4/month_dates.h"

#include "ops/set4/set4_values.h"
#include "text/characters.h"

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

std::optional<Text> enumerationResult(Text list, RunContext& ctx) {
    if (ctx.stopFlag()) {
        ctx.inform(u"中止されました。");
        return std::nullopt;
    }
    return list;
}

std::optional<Text> ListMonthEnds(TextView, const Params& params, RunContext& ctx) {
    return runFramed(
        ctx, u"月末の日付を取得の際にエラーしました。",
        [&]() -> std::optional<Text> {
            const std::int32_t months = set4::roundedCount(params, "Text27");
            const Date start = params.date("DTPicker1");
            const bool withWeekday = set4::tickedBox(params, "chkYoubi");
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
        },
        FrameOptions{.setStopFlagOnError = true});
}

std::optional<Text> ListFirstWeekdays(TextView, const Params& params, RunContext& ctx) {
    return runFramed(
        ctx, u"月初めの週を取得の際にエラーしました。",
        [&]() -> std::optional<Text> {
            const std::int32_t months = set4::roundedCount(params, "Text28");
            const Date start = params.date("DTPicker2");
            const int wd = set4::weekdayOf(params, "Combo54");
            set4::listEntry(params, "Combo57");
            const int every = countValue(params, "Combo57", 1, 100);
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
        },
        FrameOptions{.setStopFlagOnError = true});
}

}  // namespace kivo
