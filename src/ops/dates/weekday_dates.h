#pragma once

#include "ops/operation.h"
#include "text/dates.h"

namespace kivo {

struct WeekdayDatesOptions {
    Text months;  // a count text
    Date start;
    int weekday = 1;  // 1 (Sunday) to 7
    int weeks = 1;    // every n weeks
};

/// Code 34: from the first given weekday of the start's month, that weekday every n weeks, for as
/// long as the dates lie within a number of months from that month.
std::optional<Text> ListWeekdayDates(TextView upper, const WeekdayDatesOptions& options, RunContext& ctx);

extern const LazyOperation kListWeekdayDates;

}  // namespace kivo
