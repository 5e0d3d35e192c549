#pragma once

#include "ops/operation.h"
#include "text/sides.h"

namespace kivo {

/// The refusal of an empty search text for code 7, before the run.
inline constexpr TextView kFoundTextMissing = u"置き換える文字を入力して下さい。";

enum class DigitClass { Half, Full, Both };

struct ReplaceDigitsOptions {
    DigitClass digits = DigitClass::Half;
    Text replacement;
};

/// Code 5: every digit of the class replaced, one by one, by the replacement. Line breaks come
/// out as CrLf.
std::optional<Text> ReplaceDigits(TextView upper, const ReplaceDigitsOptions& options, RunContext& ctx);

struct ReplaceEndOptions {
    Side side = Side::Left;
    int count = 1;
    Text replacement;
};

/// Code 6: the first (left) or last (right) `count` characters of every line replaced.
std::optional<Text> ReplaceEndCharacters(TextView upper, const ReplaceEndOptions& options, RunContext& ctx);

struct ReplaceSideOptions {
    Side occurrence = Side::Left;  // the first occurrence found from the left, or the last
    Text found;
    Side side = Side::Left;  // the side of the found text that is replaced
    Text replacement;
};

/// Code 7: in every line, one side of the first or last occurrence of a text replaced.
std::optional<Text> ReplaceSideOfFoundText(TextView upper, const ReplaceSideOptions& options,
                                           RunContext& ctx);

extern const LazyOperation kReplaceDigits;
extern const LazyOperation kReplaceEndCharacters;
extern const LazyOperation kReplaceSideOfFoundText;

}  // namespace kivo
