#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 19: in every line, every range from `Text16` to `Text17` replaced by `Text18`.
std::optional<Text> ReplaceAllRangesInLine(TextView upper, const Params& params, RunContext& ctx);

/// Code 20: in every line, the first range from `Text19` to `Text20` found from the side that
/// `Combo43` names replaced by `Text21`.
std::optional<Text> ReplaceRangePerLine(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
