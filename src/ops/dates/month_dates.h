#pragma once

#include <cstdint>

#include "ops/operation.h"
#include "text/dates.h"

namespace kivo {

struct MonthEndsOptions {
    Text months;  // a count text
    Date start;
    bool withWeekday = false;
};

/// Code 32: the last day of each of a number of months from the start's month, with the weekday's
/// name when asked.
std::optional<Text> ListMonthEnds(TextView upper, const MonthEndsOptions& options, RunContext& ctx);

struct FirstWeekdaysOptions {
    Text months;  // a count text
    Date start;
    int weekday = 1;  // 1 (Sunday) to 7
    int every = 1;    // every n-th month
};

/// Code 33: the first given weekday of the start's month and of every n-th month after it, over a
/// number of months.
std::optional<Text> ListFirstWeekdays(TextView upper, const FirstWeekdaysOptions& options, RunContext& ctx);

/// The checks of a start date and a month count shared by the month enumerations: false (after its
/// message, with the stop flag set) when the run must end. A start date whose month count reaches
/// beyond 9999/12/31 cannot be formed: that is a run-time error.
bool startDateAccepted(Date start, std::int32_t months, RunContext& ctx);

/// The end of a month enumeration: the list, or, after Stop, "中止されました。" and nothing.
std::optional<Text> enumerationResult(Text list, RunContext& ctx);

/// The pre-check of the month enumerations: the month count must be present and within 2..2000000.
std::optional<Text> monthCountRefusal(const Text& months);

extern const LazyOperation kListMonthEnds;
extern const LazyOperation kListFirstWeekdays;

}  // namespace kivo
