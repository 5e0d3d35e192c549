#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 16: every odd ("奇数" in `Combo38`) or even line replaced by `Text12`.
std::optional<Text> ReplaceLine(TextView upper, const Params& params, RunContext& ctx);

/// Code 17: `Text14` put into every line at position `Combo3`, counted from the side `Combo4`.
std::optional<Text> InsertAtPosition(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
