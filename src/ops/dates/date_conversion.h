#pragma once

#include <vector>

#include "ops/operation.h"
#include "text/japanese_dates.h"

namespace kivo {

/// The date forms a user picks from, as the lists show them, for every operation that writes dates.
std::vector<Choice<DateForm>> dateFormChoices();

struct DateConversionOptions {
    DateForm form = DateForm::WesternPadded;
    bool weekday = false;  // "（水）" after each date, in place of the weekday written after it
};

/// Code 42: every date found in a line (2024/1/31, 2024年1月31日, 令和6年1月31日, R6.1.31, …)
/// rewritten in one form; the rest of the text, its line breaks included, stays as it is. A date
/// that does not exist, or that an era form cannot hold (before 明治), is left and reported; an era
/// date outside its era (平成32年) is counted on from the era's first year and reported.
std::optional<Text> ConvertDateForms(TextView upper, const DateConversionOptions& options, RunContext& ctx);

extern const LazyOperation kConvertDateForms;

}  // namespace kivo
