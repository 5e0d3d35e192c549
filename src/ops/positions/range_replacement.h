#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct RangeOptions {
    Text start;  // the text a range starts with
    Text end;    // the text it ends with
    Text replacement;
};

/// Code 19: in every line, every range from the start text to the end text replaced.
std::optional<Text> ReplaceAllRangesInLine(TextView upper, const RangeOptions& options, RunContext& ctx);

struct FirstRangeOptions {
    Side from = Side::Left;  // the range found first from the left, or from the right
    RangeOptions range;
};

/// Code 20: in every line, the first range found from one side replaced.
std::optional<Text> ReplaceRangePerLine(TextView upper, const FirstRangeOptions& options, RunContext& ctx);

extern const LazyOperation kReplaceAllRangesInLine;
extern const LazyOperation kReplaceRangePerLine;

}  // namespace kivo
