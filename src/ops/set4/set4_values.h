#pragma once

#include <cstdint>
#include <string_view>

#include "ops/params.h"
#include "text/currency.h"
#include "text/lines.h"
#include "text/sides.h"

// Readers and writers of the values the fourth tab's operations share. Each reader accepts exactly
// what the control's input rule lets through; anything else only the command line can send, and
// it is a run-time error.
namespace kivo::set4 {

enum class Direction { Increment, Decrement };

/// "インクリメント" or "デクリメント".
Direction directionOf(const Params& params, std::string_view control);

/// "左" or "右".
Side strictSide(const Params& params, std::string_view control);

/// The width of a zero-format combo ("0" … sixteen "0"): 1 to 16.
int zeroFormatWidth(const Params& params, std::string_view control);

/// The weekday number 1 (日) … 7 (土) of a weekday combo.
int weekdayOf(const Params& params, std::string_view control);

/// The control's text, which must be one of its combo's list entries.
const Text& listEntry(const Params& params, std::string_view control);

/// A count combo of 0..999 or 1..999 held in an unsigned 8-bit quantity (above 255 overflows).
std::uint8_t byteCount(const Params& params, std::string_view control, int min);

/// A text of decimal digits only (what the start-value and copies rules leave) as a currency value.
Currency digitsValue(const Params& params, std::string_view control);

/// A count text box's numeric value rounded to a 32-bit signed integer.
std::int32_t roundedCount(const Params& params, std::string_view control);

/// Whether a check box is ticked ("1") or not ("0").
bool tickedBox(const Params& params, std::string_view control);

/// A whole number with at least `width` digits, padded with zeros; a negative number keeps its
/// minus sign in front of the padded digits (-3 with width 2 is "-03").
Text numberText(Currency value, int width);

/// A whole number in plain decimal.
Text decimalText(std::int64_t value);

}  // namespace kivo::set4
