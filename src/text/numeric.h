#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "text/errors.h"

namespace kivo {

/// The numeric value of a text: leading blanks, an optional sign, digits with at most one "."
/// and an optional exponent; reading stops at the first character that cannot continue the
/// number; no leading number gives 0 ("12-3" → 12, "-5a" → -5, "abc" → 0). A value too large
/// for a double is a run-time error.
double numericValue(std::u16string_view text);

/// Rounds to the nearest whole number, ties to even (2.5 → 2, 3.5 → 4).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

/// A whole-number quantity of type T from a numeric value, rounded ties to even; out of range
/// (or not a number) is a run-time error.
template <std::integral T>
T toWhole(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max())))
        throw RunTimeError("overflow");
    return static_cast<T>(r);
}

/// A whole number held in a quantity of type T; out of range is a run-time error.
template <std::integral T, std::integral U>
T checked(U v) {
    if (!std::in_range<T>(v)) throw RunTimeError("overflow");
    return static_cast<T>(v);
}

/// a + b and a - b in a quantity of type T, out of range being a run-time error.
template <std::integral T>
T checkedAdd(T a, std::int64_t b) {
    return checked<T>(static_cast<std::int64_t>(a) + b);
}

/// The whole number of a text through its numeric value, as a quantity of type T.
template <std::integral T>
T wholeValue(std::u16string_view text) {
    return toWhole<T>(numericValue(text));
}

}  // namespace kivo
