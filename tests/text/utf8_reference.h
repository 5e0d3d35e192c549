// The plain one-sequence-at-a-time UTF-8 conversion that the fast one must match on every input.
// Decoding follows the table of well-formed byte sequences (each lead byte with the range its
// second byte must fall in) rather than computing and range-checking the value, so that the two
// do not share their reasoning.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::utf8::reference {

inline std::optional<std::u16string> decode(std::string_view bytes) {
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (b0 <= 0x7F) {
            length = 1;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            if (b0 == 0xE0) low = 0xA0;   // no overlong forms
            if (b0 == 0xED) high = 0x9F;  // no surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            if (b0 == 0xF0) low = 0x90;   // no overlong forms
            if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) return std::nullopt;
        char32_t cp = length == 1 ? b0 : b0 & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            const bool inRange = k == 1 ? b >= low && b <= high : b >= 0x80 && b <= 0xBF;
            if (!inRange) return std::nullopt;
            cp = cp << 6 | (b & 0x3F);
        }
        if (cp >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(cp);
        }
        i += length;
    }
    return text;
}

inline std::string encode(std::u16string_view text) {
    std::string bytes;
    const auto put = [&bytes](unsigned v) { bytes += static_cast<char>(v); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | cp >> 6), put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | cp >> 12), put(0x80 | (cp >> 6 & 0x3F)), put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | cp >> 18), put(0x80 | (cp >> 12 & 0x3F)), put(0x80 | (cp >> 6 & 0x3F)),
                put(0x80 | (cp & 0x3F));
        }
    }
    return bytes;
}

}  // namespace kivo::utf8::reference
