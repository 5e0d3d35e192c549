#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct SideRunOptions {
    Side side = Side::Left;
    int position = 1;  // counted from the side
    int count = 1;
};

/// Code 24: from every line, `count` characters from a position counted from a side.
std::optional<Text> ExtractFromSide(TextView upper, const SideRunOptions& options, RunContext& ctx);

/// Code 25: every line without what ExtractFromSide takes out of it.
std::optional<Text> RemainderFromSide(TextView upper, const SideRunOptions& options, RunContext& ctx);

extern const LazyOperation kExtractFromSide;
extern const LazyOperation kRemainderFromSide;

}  // namespace kivo
