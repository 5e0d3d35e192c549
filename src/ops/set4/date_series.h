#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 31: the date of the upper text ("yyyy/mm/dd") and `Text24` more dates, each `Text23`
/// days, months or years (`Combo52`) later or earlier (`Combo51`) than the one before, in the
/// format of `Combo53`, one per line.
std::optional<Text> GenerateDateSeries(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
