#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "text/lines.h"
#include "text/simd.h"

namespace kivo::utf8 {

/// UTF-8 bytes as UTF-16, or nothing when they are not valid UTF-8 (overlong forms, encoded
/// surrogates and values above U+10FFFF included).
std::optional<std::u16string> decode(std::string_view bytes);

/// Whether decode(bytes) succeeds, without building the text.
bool isValid(std::string_view bytes);

/// The line breaks' shape of valid UTF-8 bytes, found as they are checked (one pass, where
/// isValid and lineBreakShapeOf would make two); nothing when they are not valid.
std::optional<LineBreakShape> checkedShape(std::string_view bytes);

/// The length of decode(bytes) in UTF-16 units, for valid bytes: one a sequence, two for those of
/// four bytes (a surrogate pair).
std::size_t utf16Length(std::string_view validBytes);

/// Appends decode(bytes) to `text`; false, with `text` unchanged, when the bytes are not valid.
bool appendDecoded(std::string_view bytes, std::u16string& text);

/// The length of the part of `bytes` that can be decoded before more bytes arrive: all of them,
/// unless they end inside a sequence, whose first bytes are then left for the next block. Cut
/// there, decoding block by block accepts and gives exactly what decoding the whole would.
std::size_t completeLength(std::string_view bytes);

/// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string encode(std::u16string_view text);

/// The bytes of encode(text) into `bytes`, replacing what it held (its storage is reused).
void encodeInto(std::u16string_view text, std::string& bytes);

/// The bytes of encode(text) written to `out` a block at a time, never all of them held at once.
void write(std::u16string_view text, std::ostream& out);

namespace detail {

/// The implementations behind the functions above, the fastest chosen once.
using Kernel = simd::Kernel;
using simd::available;

bool appendDecoded(std::string_view bytes, std::u16string& text, Kernel kernel);
bool isValid(std::string_view bytes, Kernel kernel);
std::optional<LineBreakShape> checkedShape(std::string_view bytes, Kernel kernel);
void encodeInto(std::u16string_view text, std::string& bytes, Kernel kernel);

}  // namespace detail

}  // namespace kivo::utf8
