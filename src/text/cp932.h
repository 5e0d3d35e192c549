#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::cp932 {

/// Bytes the UTF-16 code unit takes in code page 932: 1 or 2. A unit without a code page 932
/// form (a surrogate half included) becomes a one-byte "?" and so counts 1.
int byteLength(char16_t c);

/// Whether the UTF-16 code unit has a code page 932 form (a surrogate half has none).
bool hasForm(char16_t c);

/// Single-byte (half-width) in code page 932: ASCII, half-width katakana and every unit without
/// a code page 932 form.
inline bool isSingleByte(char16_t c) {
    return byteLength(c) == 1;
}
inline bool isDoubleByte(char16_t c) {
    return byteLength(c) == 2;
}

/// Total code page 932 bytes of a text.
std::size_t byteCount(std::u16string_view s);

/// The text in code page 932; a unit without a form becomes "?".
std::string encode(std::u16string_view s);

/// The code page 932 bytes as text, or nothing when a byte sequence has no character.
std::optional<std::u16string> decode(std::string_view bytes);

/// decode(), and nothing either when a pair's character would be written back as other bytes (the
/// NEC-selected IBM extensions and the NEC row 13 duplicates, which encode() writes as their twins).
std::optional<std::u16string> decodeExact(std::string_view bytes);

/// The offset of the first pair whose character encode() writes back as another pair; npos if none.
std::size_t firstPairNotComingBack(std::string_view bytes);

/// The code page 932 bytes as text, each undecodable byte becoming U+FFFD.
std::u16string decodeLenient(std::string_view bytes);

namespace detail {
/// The tables this build uses, as C++ source that a build without the system's CP932 converter
/// compiles in (KIVO_CP932_TABLE_SOURCE).
std::string tableSource();
}  // namespace detail

}  // namespace kivo::cp932
