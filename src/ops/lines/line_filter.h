#pragma once

#include <string>
#include <string_view>

#include "ops/operation.h"

namespace kivo {

struct FilterOptions {
    bool keepContaining = true;  // keep the lines that contain the condition, or the others
    Text condition;
};

/// Code 12: the lines that contain (or do not contain) the condition, in their order and unchanged.
std::optional<Text> FilterLines(TextView upper, const FilterOptions& options, RunContext& ctx);

/// Whether FilterLinesUtf8 takes every UTF-8 text with these options: a line holds the condition
/// exactly when its UTF-8 holds the condition's, so the result is the same without decoding,
/// unless the condition holds a lone surrogate (or a line break, which is refused).
bool filtersUtf8(const FilterOptions& options);

/// FilterLines on valid UTF-8: the same messages, and its result in UTF-8.
std::optional<std::string> FilterLinesUtf8(std::string_view upper, const FilterOptions& options,
                                           RunContext& ctx);

extern const LazyOperation kFilterLines;

}  // namespace kivo
