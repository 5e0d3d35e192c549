#pragma once

#include "ops/operation.h"

namespace kivo {

struct NaturalSortOptions {
    bool descending = false;
};

/// Code 39: the lines sorted with their runs of digits (half-width and full-width alike) compared
/// by value, standing where the half-width digits do among the other characters, and every other
/// character by its UTF-16 code unit; lines of equal values are ordered by their code units.
std::optional<Text> SortLinesNaturally(TextView upper, const NaturalSortOptions& options, RunContext& ctx);

/// Below zero when `a` comes before `b` in that order, zero only when they are the same text,
/// above zero after.
int compareNaturally(TextView a, TextView b);

extern const LazyOperation kSortLinesNaturally;

}  // namespace kivo
