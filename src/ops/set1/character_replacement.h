#pragma once

#include <string>
#include <string_view>

#include "ops/frame.h"

namespace kivo {

/// Code 2: every occurrence of the special character named by `Combo40` (line breaks, Lf, Cr,
/// BS or Tab) replaced by the text of `Text26`, after the mode's question where it has one.
std::optional<Text> ReplaceSpecialCharacter(TextView upper, const Params& params, RunContext& ctx);

/// Whether ReplaceSpecialCharacterUtf8 takes these UTF-8 bytes: every special character but the
/// line breaks is one ASCII byte in UTF-8, so replacing that byte by the replacement's UTF-8 gives
/// the UTF-8 of the replaced text.
bool replacesInUtf8(std::string_view upper, const Params& params);
/// ReplaceSpecialCharacter on valid UTF-8 bytes that replacesInUtf8 accepts: the same question
/// and messages, and its result in UTF-8.
std::optional<std::string> ReplaceSpecialCharacterUtf8(std::string_view upper, const Params& params,
                                                       RunContext& ctx);

}  // namespace kivo
