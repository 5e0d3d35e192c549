#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>
#include <utility>

#include "text/errors.h"

namespace kivo {

/// The numeric value of a text: leading blanks, an optional sign, digits with at most one "."
/// and an optional exponent; reading stops at the first character that cannot continue the
/// number; no leading number gives 0 ("12-3" → 12, "-5a" → -5, "abc" → 0). A value too large
/// for a double is a run-time error.
double numericValue(std::u16string_view text);

/// Rounds to the nearest whole number, ties to even (2.5 → 2, 3.5 → 4).
inline double roundHalfEven(double v) {
    return std::nearbyint(v);
}

/// A whole-number quantity of type T from a numeric value, rounded ties to even; out of range
/// (or not a number) is a run-time error.
template <std::integral T>
T toWhole(double v) {
    const double r = roundHalfEven(v);
    // The bounds as powers of two are exact doubles for every width, where the maximum of a
    // 64-bit type is not (it rounds up to 2^63 or 2^64 and would let an overflow through).
    constexpr int kDigits = std::numeric_limits<T>::digits;
    const double upper = std::ldexp(1.0, kDigits);
    const double lower = std::is_signed_v<T> ? -upper : 0.0;
    if (!(r >= lower && r < upper)) throw RunTimeError("overflow");
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
    // The builtin adds in unbounded precision, so a 64-bit T cannot wrap on the way.
    T r;
    if (__builtin_add_overflow(a, b, &r)) throw RunTimeError("overflow");
    return r;
}

/// The whole number of a text through its numeric value, as a quantity of type T.
template <std::integral T>
T wholeValue(std::u16string_view text) {
    return toWhole<T>(numericValue(text));
}

}  // namespace kivo
