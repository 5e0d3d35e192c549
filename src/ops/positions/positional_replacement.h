#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct ReplaceByPositionOptions {
    Side side = Side::Left;
    int position = 1;
    int count = 1;
    Text replacement;
};

/// Code 21: in every line, `count` characters from a position counted from a side replaced.
std::optional<Text> ReplaceByPosition(TextView upper, const ReplaceByPositionOptions& options,
                                      RunContext& ctx);

extern const LazyOperation kReplaceByPosition;

}  // namespace kivo
