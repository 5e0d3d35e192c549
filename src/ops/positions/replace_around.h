#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct ReplaceAroundOptions {
    Side occurrence = Side::Left;  // the first occurrence in a line, or the last
    Text found;
    Side side = Side::Left;  // the characters before the found text, or after it
    int count = 1;           // how many of them go with it
    Text replacement;
};

/// Code 30: in every line holding the found text (its first or last occurrence), the found text and
/// `count` characters before or after it replaced. Lines without it are left out of the result.
std::optional<Text> ReplaceAroundFoundText(TextView upper, const ReplaceAroundOptions& options,
                                           RunContext& ctx);

extern const LazyOperation kReplaceAroundFoundText;

}  // namespace kivo
