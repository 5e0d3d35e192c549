#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/dates.h"

namespace kivo {

/// The Japanese eras from 明治 on, oldest first.
enum class Era { Meiji, Taisho, Showa, Heisei, Reiwa };

/// An era's name, its one-letter abbreviation and its first and last days.
struct EraInfo {
    Era era;
    std::u16string_view name;
    char16_t letter;
    Date first;
    Date last;
};

/// The five eras, oldest first. 明治 starts on 1868/10/23, the day the era was proclaimed, as most
/// converters take it (the proclamation dated the era back to the start of that lunisolar year),
/// and its dates are read as Gregorian ones although Japan kept the lunisolar calendar until
/// 明治5年; 令和 has no last day yet, so its last day is the last date of the calendar.
std::span<const EraInfo> eras();
/// The names and days of one era.
const EraInfo& eraInfo(Era era);

/// A date written in an era: year 1 is 元年.
struct EraDate {
    Era era;
    int year;
    int month;
    int day;
    auto operator<=>(const EraDate&) const = default;
};

/// Where a date counted in an era falls against that era's own days.
enum class EraFit { Inside, BeforeStart, PastEnd };

/// The calendar date of an era date and where it falls against its era.
struct EraConversion {
    Date date;
    EraFit fit;
};

/// The era date of a calendar date: none before 明治's first day.
std::optional<EraDate> toEraDate(Date d);
/// The calendar date of an era date, counted on from the era's first year even outside the era
/// (平成32年 is 2020); none when the counted date is no calendar date (平成31年2月29日).
std::optional<EraConversion> fromEraDate(EraDate e);

/// What a date found in a line means.
enum class FoundDateKind { Valid, DoesNotExist, BeforeEraStart, PastEraEnd };

/// One date found in a line: its place in UTF-16 units from the line's start, what it means, and
/// its calendar date (counted on from the era's first year when outside the era; unset when the
/// date does not exist).
struct FoundDate {
    std::size_t position;
    std::size_t length;
    FoundDateKind kind;
    Date date;
};

/// Every date of `line`, left to right, none overlapping. Forms: yyyy/m/d, yyyy-m-d, yyyy.m.d,
/// yyyy年m月d日 (a four-digit year), 令和6年1月31日 and 令和元年5月1日 (any era's name, a year of one
/// or two digits or 元), and R6.1.31, R06/01/31, H31-4-30 (an upper-case era letter M, T, S, H or R,
/// a year of one or two digits). Months and days have one or two digits; the two separators of a
/// date are the same. Full-width digits, letters and separators count as their half-width forms.
/// A date is never part of a longer number: no digit (nor, for the era letters, a Latin letter)
/// stands right before it, and no digit, nor its separator followed by a digit, right after it; so
/// 12024/1/31, 2024/1/311, 2024.1.31.5 and AR6.1.31 hold no date.
std::vector<FoundDate> findDates(std::u16string_view line);

/// The output forms of a date.
enum class DateForm {
    WesternPadded,    // 2024/01/31
    WesternPlain,     // 2024/1/31
    WesternKanji,     // 2024年1月31日
    EraKanji,         // 令和6年1月31日, 令和元年5月1日
    EraLetter,        // R6.1.31
    EraLetterPadded,  // R06.01.31
};

/// The date in the form, followed by its weekday as "（水）" when asked; none for an era form
/// before 明治's first day.
std::optional<std::u16string> formatJapaneseDate(Date d, DateForm form, bool withWeekday = false);

}  // namespace kivo
