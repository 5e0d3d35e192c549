#pragma once

#include "ops/operation.h"

namespace kivo {

struct KanaOptions {
    bool toKatakana = true;  // hiragana to katakana, or back
};

/// Code 36: hiragana ぁ–ゖ and ゝゞ converted to katakana ァ–ヶ and ヽヾ, or katakana ァ–ヴ and ヽヾ
/// back; everything else (ヵ, ヶ, ー, ヷ–ヺ, half-width katakana) is kept.
std::optional<Text> ConvertKana(TextView upper, const KanaOptions& options, RunContext& ctx);

extern const LazyOperation kConvertKana;

}  // namespace kivo
