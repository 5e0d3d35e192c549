#pragma once

#include "ops/choices.h"
#include "ops/operation.h"

namespace kivo {

enum class DateUnit { Days, Months, Years };

struct DateSeriesOptions {
    Direction direction = Direction::Increment;
    DateUnit unit = DateUnit::Days;
    Text step;   // a count text
    Text lines;  // a count text
    char16_t separator = u'/';
};

/// Code 31: the date of the upper text ("yyyy/mm/dd") and `lines` more dates, each `step` days,
/// months or years later or earlier than the one before, with the separator, one per line.
std::optional<Text> GenerateDateSeries(TextView upper, const DateSeriesOptions& options, RunContext& ctx);

extern const LazyOperation kGenerateDateSeries;

}  // namespace kivo
