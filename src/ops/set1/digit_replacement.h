#pragma once

#include "ops/frame.h"

namespace kivo {

/// The refusal of an empty search text for code 7, before the run.
inline constexpr TextView kFoundTextMissing = u"置き換える文字を入力して下さい。";

/// Code 5: every digit of the `Combo34` class ("半角", "全角", "半角全角") replaced, one by one, by
/// the text of `Text4`. Line breaks come out as CrLf.
std::optional<Text> ReplaceDigits(TextView upper, const Params& params, RunContext& ctx);

/// Code 6: the first ("左") or last `Combo1` characters of every line replaced by `Text5`.
std::optional<Text> ReplaceEndCharacters(TextView upper, const Params& params, RunContext& ctx);

/// Code 7: in every line, the side (`Combo33`) of the first or last (`Combo2`) occurrence of
/// `Text7` replaced by `Text8`.
std::optional<Text> ReplaceSideOfFoundText(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
