#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 34: from the first `Combo55` weekday of the month of `DTPicker3`, that weekday every
/// `Combo56` weeks, for as long as the dates lie within `Text29` months from that month.
std::optional<Text> ListWeekdayDates(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
