#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 1: the number of characters or code page 932 bytes of the upper text, as one report
/// line; `Combo39` says how line breaks count.
std::optional<Text> CountCharacters(TextView upper, const Params& params, RunContext& ctx);

/// Code 3: the number of Latin letters of the `Combo19` class (half or full width, lower or upper
/// case), as one report line.
std::optional<Text> CountLetterClass(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
