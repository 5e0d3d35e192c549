#pragma once

#include <optional>
#include <string_view>

namespace kivo {

/// Whether the character is one that code page 932 adds to JIS X 0208, which systems that take
/// only JIS X 0208 mangle: the NEC special characters (row 13: ① Ⅲ ㈱ ㍻ ㎝ …), the IBM extensions
/// and their NEC-selected copies (ⅰ 髙 﨑 …), and the user-defined area (U+E000–U+E757), whose
/// look depends on each machine's fonts. A character of row 13 that JIS X 0208 also has (≒ ≡ ∫ √
/// ⊥ ∠ ∵ ∩ ∪), like ¬ of the IBM extensions, is not one. The set comes from the system's iconv:
/// the characters with a double-byte code page 932 form that its Shift_JIS does not decode.
bool isLegacyCharacter(char16_t c);

/// The standard characters that stand for a legacy character (① → (1), Ⅲ → III, ㈱ → (株), ㍻ → 平成,
/// ㎝ → cm, ㌔ → キロ, 髙 → 高, 﨑 → 崎), or none when it has no standard form or is no legacy
/// character.
std::optional<std::u16string_view> legacyReplacement(char16_t c);

}  // namespace kivo
