#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 30: in every line holding the search text `Text15` (its first occurrence when `Combo48` is
/// "左", else its last), the search text and `Combo49` characters before it (`Combo50` "左") or
/// after it become `Text22`. Lines without the search text are left out of the result.
std::optional<Text> ReplaceAroundFoundText(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
