#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 4: the text of `Text3` added at the start ("左") or the end (any other `Combo31` text) of
/// every line. Line breaks come out as CrLf.
std::optional<Text> AddTextAtSide(TextView upper, const Params& params, RunContext& ctx);

/// Code 11: one tab put at the start of every line, empty lines included.
std::optional<Text> IndentLinesWithTab(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
