#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

/// The range of numbers written here in kanji or found as digits: 0 to 9999兆9999億9999万9999.
inline constexpr std::int64_t kMaxKanjiNumber = 9'999'999'999'999'999;

/// The value of a text that is one kanji numeral as a whole, or none. Two styles: positional digits
/// (〇一二…九, 零 as a synonym of 〇; at most 16 of them: 二〇二四, 一〇五, 〇〇七) and units (二千二十四,
/// 三万五千, 十 and 百 and 千 with or without a leading 一, 万 and 億 and 兆 always with a number before
/// them, each unit smaller than the one before it, no 〇 among units); 〇 and 零 alone are 0.
std::optional<std::int64_t> parseKanjiNumeral(std::u16string_view text);

/// The value in positional kanji digits (2024 → 二〇二四), padded with 〇 to `minDigits`; none outside
/// the range.
std::optional<std::u16string> toKanjiDigits(std::int64_t value, std::size_t minDigits = 1);

/// The value in kanji with units (2024 → 二千二十四, 35000 → 三万五千, 0 → 〇): 十, 百 and 千 without
/// a leading 一, 万, 億 and 兆 with it (10000000 → 千万, 10000 → 一万); none outside the range.
std::optional<std::u16string> toKanjiWithUnits(std::int64_t value);

/// The value in half-width or full-width Arabic digits, padded with zeros to `minDigits`.
std::u16string toArabicDigits(std::int64_t value, bool fullWidth, std::size_t minDigits = 1);

/// A number found in a line: its place in UTF-16 units, its value, and whether it is written in
/// positional digits (whose count is then its length, leading zeros included).
struct FoundNumber {
    std::size_t position;
    std::size_t length;
    std::int64_t value;
    bool positional;
};

/// The kanji numerals of a line: each longest run of numeral characters (〇零一二三四五六七八九十百千万億
/// 兆) of two or more characters that is one numeral as a whole and not only 〇 or 零. So words with a
/// single numeral (一人, 一部, 一番, 十分) and placeholders (〇〇様) stay, and so does a run that is no
/// numeral (万一); idioms written with two numerals (四六時中, 十二分) cannot be told from numbers.
std::vector<FoundNumber> findKanjiNumerals(std::u16string_view line);

/// The numbers of a line in Arabic digits: each longest run of half-width or full-width digits within
/// the range, except one joined by "." or "," to more digits (3.14 and 1,000 stay as they are).
std::vector<FoundNumber> findArabicNumbers(std::u16string_view line);

}  // namespace kivo
