#include "text/currency.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "text/errors.h"

namespace kivo {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::optional<std::int64_t> scaledOf(double v) {
    try {
        return Currency::fromDouble(v).scaled();
    } catch (const RunTimeError&) {
        return std::nullopt;
    }
}

TEST(Currency, FromDoubleRoundsToFourDecimalsTiesToEven) {
    struct Case {
        double v;
        std::optional<std::int64_t> scaled;
    };
    constexpr std::nullopt_t kError = std::nullopt;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // clang-format off
    const Case cases[] = {
        {0, 0},              {-0.0, 0},        {1.5, 15000},        {-3.5, -35000},
        {12345.6789, 123456789},               {0.12344999, 1234},  {0.000051, 1},
        {0.00005, 0},        {0.00015, 2},     {0.00025, 2},        {0.00035, 4},
        {-0.00015, -2},      {-0.00025, -2},   {1.00025, 10002},    {1e-300, 0},    {-1e-20, 0},
        // Large whole numbers are exact up to the end of the range.
        {123456789012345.0, 1234567890123450000},
        {922337203685477.0, 9223372036854770000},   {-922337203685477.0, -9223372036854770000},
        {922337203685477.5, 9223372036854775000},   {-922337203685477.5, -9223372036854775000},
        {922337203685478.0, kError},   {-922337203685478.0, kError},   {9999999999999999.0, kError},
        {1e300, kError},   {kInf, kError},   {-kInf, kError},   {kNaN, kError},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(scaledOf(c.v), c.scaled) << c.v;
}

TEST(Currency, FromWhole) {
    EXPECT_EQ(Currency::fromWhole(-7).scaled(), -70000);
    EXPECT_EQ(Currency::fromWhole(922337203685477).scaled(), 9223372036854770000);
    EXPECT_EQ(Currency::fromWhole(-922337203685477).scaled(), -9223372036854770000);
    EXPECT_THROW(Currency::fromWhole(922337203685478), RunTimeError);
    EXPECT_THROW(Currency::fromWhole(-922337203685478), RunTimeError);
    EXPECT_THROW(Currency::fromWhole(kMin), RunTimeError);
}

TEST(Currency, ArithmeticOverflowIsARunTimeError) {
    const Currency max = Currency::fromScaled(kMax);
    const Currency min = Currency::fromScaled(kMin);
    const Currency tiny = Currency::fromScaled(1);
    EXPECT_EQ((max - tiny + tiny).scaled(), kMax);
    EXPECT_EQ((min + tiny - tiny).scaled(), kMin);
    EXPECT_EQ((Currency::fromWhole(3) * -4).scaled(), -120000);
    EXPECT_EQ((min * 1).scaled(), kMin);
    EXPECT_THROW(max + tiny, RunTimeError);
    EXPECT_THROW(min - tiny, RunTimeError);
    EXPECT_THROW(min + Currency::fromScaled(-1), RunTimeError);
    EXPECT_THROW(Currency() - min, RunTimeError);
    EXPECT_THROW(max * 2, RunTimeError);
    EXPECT_THROW(min * -1, RunTimeError);
    EXPECT_THROW(Currency::fromWhole(1000000000) * 1000000, RunTimeError);
}

TEST(Currency, AbsOfTheMinimumHasNoValue) {
    EXPECT_EQ(Currency::fromScaled(-35000).abs().scaled(), 35000);
    EXPECT_EQ(Currency::fromScaled(kMax).abs().scaled(), kMax);
    EXPECT_EQ(Currency::fromScaled(kMin + 1).abs().scaled(), kMax);
    EXPECT_THROW(Currency::fromScaled(kMin).abs(), RunTimeError);
}

TEST(Currency, ToString) {
    struct Case {
        std::int64_t scaled;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {120000, "12"},
        {-35000, "-3.5"},
        {1, "0.0001"},
        {-1, "-0.0001"},
        {10500, "1.05"},
        {12345, "1.2345"},
        {-10000, "-1"},
        {1000, "0.1"},
        {-9999, "-0.9999"},
        {9223372036854770000, "922337203685477"},
        {kMax, "922337203685477.5807"},
        {kMin, "-922337203685477.5808"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Currency::fromScaled(c.scaled).toString(), c.text);
}

TEST(Currency, Queries) {
    EXPECT_TRUE(Currency::fromWhole(-3).isWhole());
    EXPECT_FALSE(Currency::fromScaled(-30001).isWhole());
    EXPECT_TRUE(Currency::fromScaled(-1).isNegative());
    EXPECT_FALSE(Currency().isNegative());
    EXPECT_LT(Currency::fromScaled(-1), Currency());
    EXPECT_EQ(Currency::fromScaled(-25000).toDouble(), -2.5);
}

}  // namespace
}  // namespace kivo
