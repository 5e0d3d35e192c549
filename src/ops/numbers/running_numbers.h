#pragma once

#include "ops/choices.h"
#include "ops/operation.h"

namespace kivo {

inline constexpr TextView kRunningNumbersIncrementError =
    u"インクリメントする数値を差し込む為の文字数が足らない行があるまたは文字数オーバーです。";
inline constexpr TextView kRunningNumbersDecrementError =
    u"デクリメントする数値を差し込む為の文字数が足らない行があるまたは文字数オーバーです。";

// The first line, the gap and the position come from lists of up to 999 and are held in 8 bits.
struct RunningNumbersOptions {
    Held<std::uint8_t> firstLine = 1;  // the first numbered line
    Held<std::uint8_t> gap = 0;        // lines left as they are after each numbered one
    Side side = Side::Left;
    Held<std::uint8_t> position = 0;  // the number goes after the position-th character from the side
    Text start;                       // the first number, decimal digits
    Direction direction = Direction::Increment;
    int step = 1;
    int width = 3;  // at least this many digits, padded with zeros
};

/// Code 28: from the first line on, one line numbered and `gap` lines left as they are, over and
/// over. Asked to, it changes a right-side position of 0 to 1, which the window then shows.
std::optional<Text> InsertRunningNumbers(TextView upper, RunningNumbersOptions& options, RunContext& ctx);

extern const LazyOperation kInsertRunningNumbers;

}  // namespace kivo
