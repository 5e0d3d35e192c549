#include "text/currency.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "text/errors.h"

namespace kivo {
namespace {

// Runs one of the __builtin_*_overflow operations and throws when it overflowed.
template <typename Op>
std::int64_t checkedResult(Op op) {
    std::int64_t r = 0;
    if (op(&r)) throw RunTimeError("currency overflow");
    return r;
}

// The shortest decimal in scientific notation that reads back as v, in `buf`. A C++ library
// without floating-point to_chars (the browser edition's) finds it by trying each precision.
std::string_view shortestScientific(double v, char (&buf)[32]) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    const auto written = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    return {buf, static_cast<std::size_t>(written.ptr - buf)};
#else
    for (int precision = 0;; ++precision) {
        const int length = std::snprintf(buf, sizeof buf, "%.*e", precision, v);
        if (precision >= 16 || std::strtod(buf, nullptr) == v) return {buf, static_cast<std::size_t>(length)};
    }
#endif
}

}  // namespace

Currency Currency::fromDouble(double v) {
    if (!std::isfinite(v)) throw RunTimeError("currency overflow");
    if (v == 0) return Currency();
    // The value comes from a decimal text. Scaling it in double would round twice and lose the
    // last digits of a large whole number (922337203685477 would gain a fraction), and a tie such
    // as 0.00015 lies just below or above its binary neighbour. Working on the shortest decimal
    // that reads back as v (at most 17 digits) rounds the number as it was written.
    char buf[32];
    std::string_view s = shortestScientific(v, buf);  // [-]d[.ddd]e±xx
    const bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    const std::size_t e = s.find('e');
    std::uint64_t digits = 0;
    int count = 0;
    for (char c : s.substr(0, e)) {
        if (c == '.') continue;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        ++count;
    }
    int exponent = 0;
    std::from_chars(s.data() + e + 2, s.data() + s.size(), exponent);
    if (s[e + 1] == '-') exponent = -exponent;

    // v = digits × 10^(exponent - count + 1); the scaled value is that times 10^4.
    const int shift = exponent - count + 1 + 4;
    std::uint64_t magnitude = 0;
    if (shift >= 0) {
        magnitude = digits;
        for (int i = 0; i < shift; ++i)
            if (__builtin_mul_overflow(magnitude, std::uint64_t{10}, &magnitude))
                throw RunTimeError("currency overflow");
    } else if (-shift <= 19) {  // 10^19 is the largest power of ten in 64 unsigned bits
        std::uint64_t divisor = 1;
        for (int i = 0; i < -shift; ++i)
            divisor *= 10;
        magnitude = digits / divisor;
        const std::uint64_t rest = digits % divisor;
        if (rest > divisor / 2 || (rest == divisor / 2 && magnitude % 2 == 1)) ++magnitude;
    }  // otherwise all (at most 17) digits lie 20 or more places below 0.0001: it rounds to 0
    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (magnitude > kMax + (negative ? 1 : 0)) throw RunTimeError("currency overflow");
    return Currency(negative ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude)
                             : static_cast<std::int64_t>(magnitude));
}

Currency Currency::fromWhole(std::int64_t v) {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_mul_overflow(v, kScale, r); }));
}

Currency Currency::abs() const {
    if (m_scaled == std::numeric_limits<std::int64_t>::min()) throw RunTimeError("currency overflow");
    return Currency(m_scaled < 0 ? -m_scaled : m_scaled);
}

Currency Currency::operator+(Currency o) const {
    return Currency(
        checkedResult([&](std::int64_t* r) { return __builtin_add_overflow(m_scaled, o.m_scaled, r); }));
}

Currency Currency::operator-(Currency o) const {
    return Currency(
        checkedResult([&](std::int64_t* r) { return __builtin_sub_overflow(m_scaled, o.m_scaled, r); }));
}

Currency Currency::operator*(std::int64_t k) const {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_mul_overflow(m_scaled, k, r); }));
}

std::string Currency::toString() const {
    // Work on the unsigned magnitude so that the most negative value prints too.
    const bool negative = m_scaled < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(m_scaled)
                                             : static_cast<std::uint64_t>(m_scaled);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / kScale);
    std::uint64_t fraction = magnitude % kScale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        while (digits.back() == '0')
            digits.pop_back();
        out += "." + digits;
    }
    return out;
}

}  // namespace kivo
