#pragma once

#include <functional>
#include <string_view>

#include "text/lines.h"

namespace kivo {

/// The encodings a text file is read in.
enum class TextEncoding {
    Cp932,         // code page 932 (Shift-JIS), the Japanese ANSI code page
    Utf8,          // UTF-8 without a byte-order mark
    Utf8WithMark,  // UTF-8 after a byte-order mark
};

/// A text file's text and the encoding it was read in.
struct DecodedText {
    Text text;
    TextEncoding encoding = TextEncoding::Cp932;
};

/// A text file's bytes as text, for a Japanese user: code page 932 unless the bytes start with a
/// UTF-8 byte-order mark or are valid UTF-8 whose reading is clearly the better one (it holds
/// Japanese characters or several multibyte characters, or the bytes are no valid code page 932).
/// Short texts are often valid in both; such a text is code page 932. The mark is dropped; after
/// a mark each damaged UTF-8 sequence becomes one U+FFFD, and in code page 932 each byte without a
/// character becomes U+FFFD. A large text is decoded a block at a time, `betweenBlocks` running
/// between two blocks.
DecodedText decodeTextBytes(std::string_view bytes, const std::function<void()>& betweenBlocks = {});

/// A text file's bytes as text in the encoding the user named: code page 932, or UTF-8 (after a
/// byte-order mark when the bytes start with one, which gives Utf8WithMark), damaged sequences
/// replaced as above.
DecodedText decodeTextBytesAs(std::string_view bytes, TextEncoding encoding);

}  // namespace kivo
