#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

struct ReplaceLineOptions {
    bool odd = true;  // the odd lines are replaced, or the even ones
    Text replacement;
};

/// Code 16: every odd or even line replaced by a text.
std::optional<Text> ReplaceLine(TextView upper, const ReplaceLineOptions& options, RunContext& ctx);

struct InsertOptions {
    int position = 1;
    Side side = Side::Left;
    Text text;
};

/// Code 17: a text put into every line at a position counted from a side.
std::optional<Text> InsertAtPosition(TextView upper, const InsertOptions& options, RunContext& ctx);

extern const LazyOperation kReplaceLine;
extern const LazyOperation kInsertAtPosition;

}  // namespace kivo
