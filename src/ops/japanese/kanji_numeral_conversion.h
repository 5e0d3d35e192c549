#pragma once

#include "ops/operation.h"

namespace kivo {

enum class NumeralDirection {
    ToHalfWidthDigits,  // 二千二十四 → 2024
    ToFullWidthDigits,  // 二千二十四 → ２０２４
    ToKanjiDigits,      // 2024 → 二〇二四
    ToKanjiWithUnits,   // 2024 → 二千二十四
};

struct KanjiNumeralOptions {
    NumeralDirection direction = NumeralDirection::ToHalfWidthDigits;
};

/// Code 45: kanji numerals to digits, or digits to kanji. Kanji numerals are the runs of two or
/// more numeral characters that make one number (二千二十四, 一〇五, 三万五千, 十五), so that words with
/// one numeral (一人, 一部, 十分) stay; digits are the runs of half-width or full-width digits that
/// no "." or "," joins to more digits. Positional numbers keep their leading zeros both ways
/// (〇〇七 ↔ 007).
std::optional<Text> ConvertKanjiNumerals(TextView upper, const KanjiNumeralOptions& options, RunContext& ctx);

extern const LazyOperation kConvertKanjiNumerals;

}  // namespace kivo
