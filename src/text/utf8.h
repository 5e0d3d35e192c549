#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::utf8 {

/// UTF-8 bytes as UTF-16, or nothing when they are not valid UTF-8 (overlong forms, encoded
/// surrogates and values above U+10FFFF included).
std::optional<std::u16string> decode(std::string_view bytes);

/// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string encode(std::u16string_view text);

/// The bytes of encode(text) into `bytes`, replacing what it held (its storage is reused).
void encodeInto(std::u16string_view text, std::string& bytes);

/// The bytes of encode(text) written to `out` a block at a time, never all of them held at once.
void write(std::u16string_view text, std::ostream& out);

}  // namespace kivo::utf8
