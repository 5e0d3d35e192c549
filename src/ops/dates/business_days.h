#pragma once

#include "ops/operation.h"
#include "text/japanese_dates.h"

namespace kivo {

/// How far business days are listed: for a number of months, or until a number of them.
enum class BusinessSpan { Months, BusinessDays };

struct BusinessDaysOptions {
    Date start = {};
    int count = 1;
    BusinessSpan span = BusinessSpan::Months;
    DateForm form = DateForm::WesternPadded;
    bool weekday = false;
    bool yearEndOff = false;    // 12/29 to 1/3 are days off too
    bool showHolidays = false;  // the holidays of the span listed too, each with its name
};

/// Code 43: the business days from the start date (included), skipping Saturdays, Sundays and the
/// national holidays (and 12/29–1/3 when asked), one a line in the chosen form; the weekday
/// holidays of the span listed among them with a Tab and their names when asked. Only the years
/// whose holidays are known can be listed.
std::optional<Text> ListBusinessDays(TextView upper, const BusinessDaysOptions& options, RunContext& ctx);

extern const LazyOperation kListBusinessDays;

}  // namespace kivo
