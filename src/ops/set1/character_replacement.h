#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 2: every occurrence of the special character named by `Combo40` (line breaks, Lf, Cr,
/// BS or Tab) replaced by the text of `Text26`, after the mode's question where it has one.
std::optional<Text> ReplaceSpecialCharacter(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
