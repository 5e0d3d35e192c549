#pragma once

#include <cstdint>

#include "text/currency.h"
#include "text/lines.h"

// Values the fourth tab's operations share. Each reader accepts exactly what the control's input
// rule lets through; anything else only the command line can send, and it is a run-time error.
namespace kivo::numbers {

/// A text of decimal digits only (what the start-value and copies rules leave) as a currency value.
Currency digitsValue(TextView text);

/// A count text box's numeric value rounded to a 32-bit signed integer.
std::int32_t roundedCount(TextView text);

/// A whole number with at least `width` digits, padded with zeros; a negative number keeps its
/// minus sign in front of the padded digits (-3 with width 2 is "-03").
Text numberText(Currency value, int width);

}  // namespace kivo::numbers
