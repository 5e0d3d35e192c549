#pragma once

#include <string>
#include <string_view>

#include "ops/operation.h"

namespace kivo {

enum class SpecialCharacter { LineBreak, Lf, Cr, Bs, Tab };

struct SpecialCharacterOptions {
    SpecialCharacter character = SpecialCharacter::LineBreak;
    Text replacement;
};

/// Code 2: every occurrence of a special character (line breaks, Lf, Cr, BS or Tab) replaced by
/// the replacement, after the character's question where it has one.
std::optional<Text> ReplaceSpecialCharacter(TextView upper, const SpecialCharacterOptions& options,
                                            RunContext& ctx);

/// Whether ReplaceSpecialCharacterUtf8 takes these UTF-8 bytes: every special character but the
/// line breaks is one ASCII byte in UTF-8, so replacing that byte by the replacement's UTF-8 gives
/// the UTF-8 of the replaced text.
bool replacesInUtf8(std::string_view upper, const SpecialCharacterOptions& options);

/// ReplaceSpecialCharacter on valid UTF-8 bytes that replacesInUtf8 accepts: the same question
/// and messages, and its result in UTF-8.
std::optional<std::string> ReplaceSpecialCharacterUtf8(std::string_view upper,
                                                       const SpecialCharacterOptions& options,
                                                       RunContext& ctx);

extern const LazyOperation kReplaceSpecialCharacter;

}  // namespace kivo
