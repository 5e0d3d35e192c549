#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 22: line `Combo8` and then every line after skipping `Combo9` lines.
std::optional<Text> ExtractEveryNthLine(TextView upper, const Params& params, RunContext& ctx);

/// Code 23: the lines that line `Combo10` and every line after skipping `Combo11` leave over.
std::optional<Text> RemainderEveryNthLine(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
