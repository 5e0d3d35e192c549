#pragma once

#include "ops/operation.h"

namespace kivo {

struct SortOptions {
    bool descending = false;
};

/// Code 27: the lines of the upper text sorted as strings in UTF-16 code-unit order,
/// case-sensitive; equal lines keep their order. A text that ends with a line break has an empty
/// last line, which takes part.
std::optional<Text> SortLines(TextView upper, const SortOptions& options, RunContext& ctx);
/// SortLines on valid UTF-8 bytes, giving the UTF-8 of its result.
std::optional<std::string> SortLinesUtf8(std::string_view upper, const SortOptions& options, RunContext& ctx);

extern const LazyOperation kSortLines;

}  // namespace kivo
