#pragma once

#include <cstdint>

#include "ops/frame.h"
#include "text/dates.h"

namespace kivo {

/// Code 32: the last day of each of `Text27` months from the month of `DTPicker1`, with the
/// weekday name when `chkYoubi` is ticked.
std::optional<Text> ListMonthEnds(TextView upper, const Params& params, RunContext& ctx);

/// Code 33: the first `Combo54` weekday of the month of `DTPicker2` and of every `Combo57`-th month
/// after it, over `Text28` months.
std::optional<Text> ListFirstWeekdays(TextView upper, const Params& params, RunContext& ctx);

/// The checks of a start date and a month count shared by the month enumerations: false (after its
/// message, with the stop flag set) when the run must end. A start date whose month count reaches
/// beyond 9999/12/31 cannot be formed: that is a run-time error.
bool startDateAccepted(Date start, std::int32_t months, RunContext& ctx);

/// The end of a month enumeration: the list, or, after Stop, "中止されました。" and nothing.
std::optional<Text> enumerationResult(Text list, RunContext& ctx);

}  // namespace kivo
