#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 0: the upper text reversed, as a whole ("全文リバースする") or one line in every
/// `Combo42` + 1 lines ("数行おきにリバースする"). Line breaks come out as CrLf.
std::optional<Text> ReverseText(TextView upper, const Params& params, RunContext& ctx);

/// Reverses a text by characters, keeping each surrogate pair (one non-BMP character) whole.
Text reversed(TextView s);

}  // namespace kivo
