#pragma once

#include "ops/operation.h"

namespace kivo {

enum class ReverseMode { WholeText, EveryFewLines };

struct ReverseOptions {
    ReverseMode mode = ReverseMode::WholeText;
    int interval = 0;  // lines left as they are after each reversed one
};

/// Code 0: the upper text reversed, as a whole or one line in every interval + 1 lines. Line
/// breaks come out as CrLf.
std::optional<Text> ReverseText(TextView upper, const ReverseOptions& options, RunContext& ctx);

/// Reverses a text by characters, keeping each surrogate pair (one non-BMP character) whole.
Text reversed(TextView s);

extern const LazyOperation kReverseText;

}  // namespace kivo
