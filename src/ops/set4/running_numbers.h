#pragma once

#include "ops/frame.h"

namespace kivo {

inline constexpr TextView kRunningNumbersIncrementError =
    u"インクリメントする数値を差し込む為の文字数が足らない行があるまたは文字数オーバーです。";
inline constexpr TextView kRunningNumbersDecrementError =
    u"デクリメントする数値を差し込む為の文字数が足らない行があるまたは文字数オーバーです。";

/// Code 28: from line `Combo27` on, one line numbered and `Combo26` lines left as they are, over
/// and over; the number goes after the `Combo21`-th character from side `Combo24`, starts at
/// `Text38`, moves by `Combo23` (`Combo22`) after each numbered line and has at least as many
/// digits as the zeros of `Combo25`.
std::optional<Text> InsertRunningNumbers(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
