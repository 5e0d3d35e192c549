#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 29: `Text41` copies of the upper text, separated by line breaks, in which the `Combo29`-th
/// number (a run of half-width digits counted from side `Combo30`) counts up or down by `Combo35`
/// (`Combo28`), written with at least as many digits as the zeros of `Combo36`; `Combo37`
/// unchanged copies follow each numbered one.
std::optional<Text> AddLinesAfterNthNumber(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
