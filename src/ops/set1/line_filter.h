#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 12: the lines that contain ("次の文字を含む行を抜き出す") or do not contain
/// ("次の文字を含まない行を抜き出す") the text of `Text13`, in their order and unchanged.
std::optional<Text> FilterLines(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
