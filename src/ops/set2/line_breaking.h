#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 18: a one-line text cut into lines of `Combo5` characters.
std::optional<Text> BreakEveryNCharacters(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
