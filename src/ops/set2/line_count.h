#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 13: "行数：" followed by the number of lines of the upper text (line breaks plus one).
std::optional<Text> CountLines(TextView upper, const Params& params, RunContext& ctx);

/// Code 14: line number `Text11` of the upper text, without its line break.
std::optional<Text> ExtractLine(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
