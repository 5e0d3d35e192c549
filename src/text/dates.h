#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

/// A date of the proleptic Gregorian calendar from 0100/01/01 to 9999/12/31.
struct Date {
    int year = 100;
    int month = 1;
    int day = 1;
    auto operator<=>(const Date&) const = default;
};

inline constexpr Date kFirstDate{100, 1, 1};
inline constexpr Date kLastDate{9999, 12, 31};

bool isLeapYear(int year);
/// The days of the month (28..31), 0 for a month number outside 1..12.
int daysInMonth(int year, int month);
/// True for a real calendar date inside the range.
bool isValidDate(int year, int month, int day);

/// Days since 1970/01/01 (negative before it).
std::int64_t toSerial(Date d);
/// The date of a day number; outside the range is a run-time error.
Date fromSerial(std::int64_t serial);

/// 1 = Sunday … 7 = Saturday.
int weekday(Date d);
/// The weekday's name, "日" … "土" (taken modulo 7, so 0 is "土" and 8 is "日").
std::u16string_view weekdayName(int weekday);

/// Moving by days, months or years; months and years keep the day where the target month has it
/// and clamp to its last day otherwise. A result outside the range is a run-time error.
Date addDays(Date d, std::int64_t days);
Date addMonths(Date d, std::int64_t months);
Date addYears(Date d, std::int64_t years);

/// yyyy/mm/dd with zero padding, `separator` between the parts.
std::u16string formatDate(Date d, char16_t separator = u'/');
/// A yyyy/mm/dd text (one- or two-digit month and day accepted) as a real calendar date of the
/// years 0001..9999: a date picker's value, which operations check against the range themselves.
std::optional<Date> parseDate(std::u16string_view text);

/// Today in local time.
Date today();

}  // namespace kivo
