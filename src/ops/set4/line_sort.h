#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 27: the lines of the upper text sorted "昇順でソートする" or "降順でソートする" (`Combo20`), as
/// strings in UTF-16 code-unit order, case-sensitive; equal lines keep their order. A text that
/// ends with a line break has an empty last line, which takes part.
std::optional<Text> SortLines(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
