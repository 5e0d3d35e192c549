#pragma once

#include "ops/choices.h"
#include "ops/operation.h"

namespace kivo {

struct NumberedCopiesOptions {
    Listed<Direction> direction = {Direction::Increment, u"インクリメント"};
    int number = 1;  // k: the k-th number counted from the side
    Side side = Side::Left;
    Text copies;  // decimal digits
    int step = 1;
    int width = 3;  // at least this many digits, padded with zeros
    int gap = 0;    // unchanged copies after each numbered one
};

/// Code 29: copies of the upper text, separated by line breaks, in which the k-th number (a run
/// of half-width digits counted from a side) counts up or down, written with at least `width`
/// digits; `gap` unchanged copies follow each numbered one.
std::optional<Text> AddLinesAfterNthNumber(TextView upper, const NumberedCopiesOptions& options,
                                           RunContext& ctx);

extern const LazyOperation kAddLinesAfterNthNumber;

}  // namespace kivo
