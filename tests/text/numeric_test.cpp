#include "text/numeric.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace kivo {
namespace {

TEST(NumericValue, ReadsTheLeadingNumber) {
    struct Case {
        std::u16string_view text;
        double value;
    };
    // clang-format off
    const Case cases[] = {
        {u"12-3", 12},    {u"-5a", -5},      {u"abc", 0},      {u"", 0},          {u"-", 0},
        {u"+", 0},        {u".", 0},         {u"-.", 0},       {u"+7", 7},        {u"--5", 0},
        {u"+-5", 0},      {u"- 5", 0},       {u"  42", 42},    {u"\t\r\n 7", 7},  {u"007", 7},
        {u".5", 0.5},     {u"-.5", -0.5},    {u"5.", 5},       {u"1.2.3", 1.2},   {u"1,000", 1},
        {u"1 2", 1},      {u"3.25x", 3.25},  {u"0x1A", 0},     {u"inf", 0},       {u"nan", 0},
        {u"１２", 0},     {u"1２", 1},       {u"a1", 0},       {u"-0", 0},
        {u"123456789012345", 123456789012345},
        // Exponents, taken only when at least one digit follows.
        {u"1e3", 1000},   {u"1E+2", 100},    {u"2e-1", 0.2},   {u"1e", 1},        {u"1e+", 1},
        {u"1e-", 1},      {u"1ex", 1},       {u"1e3.5", 1000}, {u"1.5e2x", 150},  {u".e1", 0},
        {u"e5", 0},       {u"5.e1", 50},     {u"1e-400", 0},   {u"1e１", 1},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(numericValue(c.text), c.value) << testing::PrintToString(std::u16string(c.text));
}

TEST(NumericValue, TooLargeForADoubleIsARunTimeError) {
    for (const std::u16string& text :
         {std::u16string(u"1e400"), std::u16string(u"-1e309"), std::u16string(u"1e99999999999999999999"),
          u"1" + std::u16string(400, u'0')})
        EXPECT_THROW(numericValue(text), RunTimeError) << text.size();
}

TEST(NumericValue, DoesNotDependOnTheLocaleDecimalPoint) {
    // The window application takes the user's locale; one with a decimal comma must not change
    // how "1.5" reads.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const double v = numericValue(u"1.5");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(v, 1.5);
}

template <typename T>
std::optional<std::int64_t> whole(double v) {
    try {
        return toWhole<T>(v);
    } catch (const RunTimeError&) {
        return std::nullopt;
    }
}

TEST(ToWhole, RoundsTiesToEvenAndChecksTheRange) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr std::nullopt_t kError = std::nullopt;
    struct Case {
        double v;
        std::optional<std::int64_t> want;
    };
    const Case int16Cases[] = {
        {2.5, 2},          {3.5, 4},        {-2.5, -2},       {-3.5, -4},         {0.5, 0},
        {-0.5, 0},         {1.4999, 1},     {1.5001, 2},      {32767, 32767},     {32767.4, 32767},
        {32767.5, kError}, {32768, kError}, {-32768, -32768}, {-32768.5, -32768}, {-32768.6, kError},
        {-32769, kError},  {kNaN, kError},  {kInf, kError},   {-kInf, kError},
    };
    for (const Case& c : int16Cases)
        EXPECT_EQ(whole<std::int16_t>(c.v), c.want) << c.v;
    const Case int32Cases[] = {
        {2147483647, 2147483647},       {2147483646.5, 2147483646}, {2147483647.5, kError},
        {-2147483648.5, -2147483648LL}, {-2147483649, kError},      {1e10, kError},
    };
    for (const Case& c : int32Cases)
        EXPECT_EQ(whole<std::int32_t>(c.v), c.want) << c.v;
    const Case uint8Cases[] = {
        {255, 255}, {254.5, 254}, {255.5, kError}, {-0.5, 0}, {-0.6, kError}, {-1, kError},
    };
    for (const Case& c : uint8Cases)
        EXPECT_EQ(whole<std::uint8_t>(c.v), c.want) << c.v;
    const Case int8Cases[] = {{126.5, 126}, {127.5, kError}, {-128.5, -128}, {-129, kError}};
    for (const Case& c : int8Cases)
        EXPECT_EQ(whole<std::int8_t>(c.v), c.want) << c.v;
    const Case uint16Cases[] = {{65534.5, 65534}, {65535, 65535}, {65535.5, kError}};
    for (const Case& c : uint16Cases)
        EXPECT_EQ(whole<std::uint16_t>(c.v), c.want) << c.v;
}

TEST(ToWhole, SixtyFourBitBoundsAreNotRoundedUp) {
    // The maximum of a 64-bit type rounds up to a power of two as a double: that power is out of
    // range.
    EXPECT_THROW(toWhole<std::int64_t>(9223372036854775807.0), RunTimeError);
    EXPECT_EQ(toWhole<std::int64_t>(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(toWhole<std::int64_t>(9223372036854774784.0), 9223372036854774784LL);
    EXPECT_THROW(toWhole<std::uint64_t>(18446744073709551615.0), RunTimeError);
    EXPECT_EQ(toWhole<std::uint64_t>(18446744073709549568.0), 18446744073709549568ULL);
}

TEST(Checked, HoldsOnlyWhatFits) {
    EXPECT_EQ(checked<std::int16_t>(32767), 32767);
    EXPECT_THROW(checked<std::int16_t>(32768), RunTimeError);
    EXPECT_THROW(checked<std::int16_t>(-32769), RunTimeError);
    EXPECT_EQ(checked<std::uint8_t>(255u), 255);
    EXPECT_THROW(checked<std::uint8_t>(256), RunTimeError);
    EXPECT_THROW(checked<std::uint8_t>(-1), RunTimeError);
    EXPECT_THROW(checked<std::uint32_t>(std::int64_t{-1}), RunTimeError);
    EXPECT_THROW(checked<std::int32_t>(std::numeric_limits<std::uint64_t>::max()), RunTimeError);
    EXPECT_EQ(checked<std::int64_t>(std::uint64_t{1} << 62), std::int64_t{1} << 62);
}

TEST(Checked, AddChecksTheSumInTheTargetWidth) {
    EXPECT_EQ(checkedAdd<std::int16_t>(32766, 1), 32767);
    EXPECT_THROW(checkedAdd<std::int16_t>(32767, 1), RunTimeError);
    EXPECT_THROW(checkedAdd<std::int16_t>(-32768, -1), RunTimeError);
    EXPECT_EQ(checkedAdd<std::int16_t>(-32768, 65535), 32767);
    EXPECT_EQ(checkedAdd<std::uint8_t>(200, 55), 255);
    EXPECT_THROW(checkedAdd<std::uint8_t>(0, -1), RunTimeError);
    EXPECT_THROW(checkedAdd<std::int32_t>(5, std::numeric_limits<std::int64_t>::min()), RunTimeError);
    // 64-bit sums must not wrap on the way to the check.
    EXPECT_THROW(checkedAdd<std::int64_t>(std::numeric_limits<std::int64_t>::max(), 1), RunTimeError);
    EXPECT_THROW(checkedAdd<std::int64_t>(std::numeric_limits<std::int64_t>::min(), -1), RunTimeError);
    EXPECT_EQ(checkedAdd<std::uint64_t>(std::numeric_limits<std::uint64_t>::max(), -1),
              std::numeric_limits<std::uint64_t>::max() - 1);
    EXPECT_THROW(checkedAdd<std::uint64_t>(std::numeric_limits<std::uint64_t>::max(), 1), RunTimeError);
}

TEST(WholeValue, ReadsAndConvertsAText) {
    EXPECT_EQ(wholeValue<std::int16_t>(u" -7x"), -7);
    EXPECT_EQ(wholeValue<std::int16_t>(u"2.5"), 2);
    EXPECT_EQ(wholeValue<std::int16_t>(u"abc"), 0);
    EXPECT_EQ(wholeValue<std::int32_t>(u"1e9"), 1000000000);
    EXPECT_THROW(wholeValue<std::int16_t>(u"40000"), RunTimeError);
    EXPECT_THROW(wholeValue<std::int16_t>(u"1e400"), RunTimeError);
}

}  // namespace
}  // namespace kivo
