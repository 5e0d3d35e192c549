#pragma once

#include "ops/operation.h"

namespace kivo {

enum class DuplicateLines {
    KeepFirst,   // each line once, where it first occurs
    KeepLast,    // each line once, where it last occurs
    KeepUnique,  // only the lines that occur once
    Count,       // each line once, where it first occurs, after its count and a Tab
};

struct DuplicateLinesOptions {
    DuplicateLines mode = DuplicateLines::KeepFirst;
};

/// Code 37: repeated lines removed or counted; lines compare exactly. Empty lines are lines like
/// any other.
std::optional<Text> RemoveDuplicateLines(TextView upper, const DuplicateLinesOptions& options,
                                         RunContext& ctx);
/// RemoveDuplicateLines on valid UTF-8 bytes, giving the UTF-8 of its result.
std::optional<std::string> RemoveDuplicateLinesUtf8(std::string_view upper,
                                                    const DuplicateLinesOptions& options, RunContext& ctx);

extern const LazyOperation kRemoveDuplicateLines;

}  // namespace kivo
