#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 21: in every line, the `Combo7` characters from position `Combo6` (counted from the side
/// `Combo18`) replaced by `Text34`.
std::optional<Text> ReplaceByPosition(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
