#pragma once

#include "ops/operation.h"

namespace kivo {

struct EveryNthLineOptions {
    int first = 1;  // the first line picked
    int skip = 1;   // lines passed over between two picked ones
};

/// Code 22: the first line picked, then every line after skipping `skip` lines.
std::optional<Text> ExtractEveryNthLine(TextView upper, const EveryNthLineOptions& options, RunContext& ctx);

/// Code 23: the lines that ExtractEveryNthLine leaves over.
std::optional<Text> RemainderEveryNthLine(TextView upper, const EveryNthLineOptions& options,
                                          RunContext& ctx);

extern const LazyOperation kExtractEveryNthLine;
extern const LazyOperation kRemainderEveryNthLine;

}  // namespace kivo
