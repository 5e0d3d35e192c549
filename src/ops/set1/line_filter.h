#pragma once

#include <string>
#include <string_view>

#include "ops/frame.h"

namespace kivo {

/// Code 12: the lines that contain ("次の文字を含む行を抜き出す") or do not contain
/// ("次の文字を含まない行を抜き出す") the text of `Text13`, in their order and unchanged.
std::optional<Text> FilterLines(TextView upper, const Params& params, RunContext& ctx);

/// Whether FilterLinesUtf8 can take these UTF-8 bytes: a line holds the condition exactly when its
/// UTF-8 holds the condition's, so the result is the same without decoding, unless the text holds
/// a Cr (its line breaks must be normalised first) or the condition a lone surrogate.
bool filtersUtf8(std::string_view upper, const Params& params);
/// FilterLines on valid UTF-8 bytes that filtersUtf8 accepts: the same messages, and its result
/// in UTF-8.
std::optional<std::string> FilterLinesUtf8(std::string_view upper, const Params& params, RunContext& ctx);

}  // namespace kivo
