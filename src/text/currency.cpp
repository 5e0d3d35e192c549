#include "text/currency.h"

#include <cmath>
#include <limits>

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

}  // namespace

Currency Currency::fromDouble(double v) {
    const double scaled = std::nearbyint(v * kScale);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0))
        throw RunTimeError("currency overflow");
    return Currency(static_cast<std::int64_t>(scaled));
}

Currency Currency::fromWhole(std::int64_t v) {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_mul_overflow(v, kScale, r); }));
}

Currency Currency::abs() const {
    if (m_scaled == std::numeric_limits<std::int64_t>::min()) throw RunTimeError("currency overflow");
    return Currency(m_scaled < 0 ? -m_scaled : m_scaled);
}

Currency Currency::operator+(Currency o) const {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_add_overflow(m_scaled, o.m_scaled, r); }));
}

Currency Currency::operator-(Currency o) const {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_sub_overflow(m_scaled, o.m_scaled, r); }));
}

Currency Currency::operator*(std::int64_t k) const {
    return Currency(checkedResult([&](std::int64_t* r) { return __builtin_mul_overflow(m_scaled, k, r); }));
}

std::string Currency::toString() const {
    // Work on the unsigned magnitude so that the most negative value prints too.
    const bool negative = m_scaled < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t{0} - static_cast<std::uint64_t>(m_scaled) : static_cast<std::uint64_t>(m_scaled);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / kScale);
    std::uint64_t fraction = magnitude % kScale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        while (digits.back() == '0') digits.pop_back();
        out += "." + digits;
    }
    return out;
}

}  // namespace kivo
