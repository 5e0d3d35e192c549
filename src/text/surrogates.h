#pragma once

#include <cstddef>
#include <string_view>

// A character beyond the Basic Multilingual Plane is two UTF-16 units, a surrogate pair: every
// walk that counts, reverses or lists characters keeps the pair whole.
namespace kivo {

constexpr bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

/// Whether a surrogate pair starts at `i` of `text`.
constexpr bool pairStartsAt(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}

/// The code point of the character at `i` of `text`: a pair's, or the unit's own.
constexpr char32_t codePointAt(std::u16string_view text, std::size_t i) {
    if (!pairStartsAt(text, i)) return text[i];
    return 0x10000 + ((static_cast<char32_t>(text[i]) - 0xD800) << 10) +
           (static_cast<char32_t>(text[i + 1]) - 0xDC00);
}

}  // namespace kivo
