#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "text/dates.h"

namespace kivo {

/// The first and last years whose holidays are known: the holiday law's rules from 1955 on, and
/// the equinox approximation that holds up to 2099.
inline constexpr int kFirstHolidayYear = 1955;
inline constexpr int kLastHolidayYear = 2099;

/// Whether the date's year is one whose holidays are known.
bool holidaysKnown(Date d);

/// The Japanese name of the national holiday on the date: a 国民の祝日 ("元日", "春分の日", …, the
/// one-off days such as "即位の日"), "振替休日" or "国民の休日"; none on other days and outside the
/// known years.
std::optional<std::u16string_view> holidayName(Date d);

/// Whether the date is a business day: not a Saturday, a Sunday or a holiday, and, when
/// `yearEndOff`, not one of the days 12/29 to 1/3.
bool isBusinessDay(Date d, bool yearEndOff);

/// The business days from `start` (included) until the same day `months` months later (excluded).
/// Leaving the known years is a run-time error.
std::vector<Date> businessDaysForMonths(Date start, int months, bool yearEndOff);

/// The first `count` business days from `start` (included) on. Leaving the known years is a
/// run-time error.
std::vector<Date> businessDays(Date start, int count, bool yearEndOff);

}  // namespace kivo
