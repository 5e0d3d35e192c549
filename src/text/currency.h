#pragma once

#include <cstdint>
#include <string>

namespace kivo {

/// A 64-bit fixed-point number with four decimals (the range is ±922337203685477.5807); every
/// conversion and operation out of range is a run-time error.
class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;
    /// The value rounded to four decimals, ties to even, taking the double as the shortest decimal
    /// that reads back as it (so 0.00015 is a tie and gives 0.0002, and whole numbers are exact).
    static Currency fromDouble(double v);
    static Currency fromWhole(std::int64_t v);
    static constexpr Currency fromScaled(std::int64_t scaled) { return Currency(scaled); }

    constexpr std::int64_t scaled() const { return m_scaled; }
    double toDouble() const { return static_cast<double>(m_scaled) / kScale; }
    bool isWhole() const { return m_scaled % kScale == 0; }
    bool isNegative() const { return m_scaled < 0; }
    /// Its absolute value (the most negative value has none and is a run-time error).
    Currency abs() const;

    /// Decimal digits with a "-" sign when negative and the fraction only when there is one,
    /// without trailing zeros ("12", "-3.5", "0.0001").
    std::string toString() const;

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator*(std::int64_t k) const;
    auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(std::int64_t scaled) : m_scaled(scaled) {}
    std::int64_t m_scaled = 0;
};

}  // namespace kivo
