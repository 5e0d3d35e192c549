#include "ops/set4/weekday_dates.h"

#include "ops/set4/month_dates.h"
#include "ops/set4/set4_values.h"
#include "text/characters.h"
#include "text/numeric.h"

namespace kivo {

std::optional<Text> ListWeekdayDates(TextView, const Params& params, RunContext& ctx) {
    return runFramed(
        ctx, u"日付が「9999/12/31」を超えた、もしくはエラーしました。",
        [&]() -> std::optional<Text> {
            const std::int32_t months = set4::roundedCount(params, "Text29");
            const Date start = params.date("DTPicker3");
            const int wd = set4::weekdayOf(params, "Combo55");
            set4::listEntry(params, "Combo56");
            const std::int32_t weeks = countValue(params, "Combo56", 1, 100);
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
                const std::int64_t boundaries =
                    12 * std::int64_t{d.year - first->year} + (d.month - first->month);
                if (boundaries > months - 1 || ctx.cancelled()) break;
            }
            // The last date lies outside the months listed.
            if (!ctx.cancelled()) out.resize(out.size() - 12);
            return enumerationResult(std::move(out), ctx);
        },
        FrameOptions{.setStopFlagOnError = true});
}

}  // namespace kivo
