#pragma once

#include "ops/operation.h"

namespace kivo {

struct BreakOptions {
    int width = 1;  // characters per line
};

/// Code 18: a one-line text cut into lines of `width` characters.
std::optional<Text> BreakEveryNCharacters(TextView upper, const BreakOptions& options, RunContext& ctx);

extern const LazyOperation kBreakEveryNCharacters;

}  // namespace kivo
