#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/lines.h"

namespace kivo {

/// The encodings a text file is read and written in. The numbers are kept in saved sessions.
enum class TextEncoding {
    Cp932,         // code page 932 (Shift-JIS), the Japanese ANSI code page
    Utf8,          // UTF-8 without a byte-order mark
    Utf8WithMark,  // UTF-8 after a byte-order mark
    Utf16Le,       // UTF-16, little-endian, after a byte-order mark (Excel's "Unicode text")
    Utf16Be,       // UTF-16, big-endian, after a byte-order mark
    EucJp,         // EUC-JP with the extensions of code page 932 (glibc's EUC-JP-MS)
};
inline constexpr TextEncoding kLastTextEncoding = TextEncoding::EucJp;

/// UTF-8, with a byte-order mark or without.
constexpr bool isUtf8(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark;
}

/// The encoding's name as users know it: "Shift-JIS", "UTF-8", "UTF-8 (BOM)", "UTF-16LE", …
const char* encodingName(TextEncoding encoding);

/// A text file's text and the encoding it was read in. `guessed`: more than one encoding reads
/// the bytes without loss, each as another text, and nothing in them tells which was meant (a short
/// "café" is also code page 932 "cafﾃｩ"); the encoding is then the one the caller prefers.
struct DecodedText {
    Text text;
    TextEncoding encoding = TextEncoding::Cp932;
    bool guessed = false;
};

/// The encoding a file of ASCII bytes alone is taken to be in: the window's users come from Windows
/// (code page 932), the command line's from Linux (UTF-8).
enum class AsciiAs { Cp932, Utf8 };

/// A text file's bytes as text, read only in an encoding that gives them back unchanged when the
/// text is written again: a byte-order mark first (UTF-8, UTF-16LE, UTF-16BE), then UTF-8, code
/// page 932 or EUC-JP, whichever reads the bytes without loss; where several do, the clear reading
/// (Japanese characters in UTF-8, kana in EUC-JP), else code page 932 (or UTF-8), marked as
/// guessed.
/// Nothing when no encoding reads the bytes so (a NUL byte outside UTF-16, a sequence valid in
/// none): textFileFault() tells why. A large file is decoded a block at a time, `betweenBlocks`
/// running between two blocks.
std::optional<DecodedText> decodeTextBytes(std::string_view bytes, AsciiAs asciiAs,
                                           const std::function<void()>& betweenBlocks = {});

/// decodeTextBytes() of a text looked at a block at a time, never held whole: each block cut after
/// an Lf, which no character of UTF-8, code page 932 or EUC-JP holds as one of its bytes. A first
/// pass tells a byte-order mark, ASCII and clear UTF-8; only bytes it leaves undecided need a
/// second pass, for code page 932 and EUC-JP.
class EncodingDetector {
public:
    explicit EncodingDetector(AsciiAs asciiAs) : m_asciiAs(asciiAs) {}

    void addFirstPass(std::string_view block);
    bool needsSecondPass() const;
    /// Whether the blocks so far are all valid UTF-8 (ASCII included), after a UTF-8 mark or none.
    bool readsAsUtf8() const;
    void addSecondPass(std::string_view block);
    /// The encoding decodeTextBytes() would read the whole text in, and whether it was a guess;
    /// nothing when none reads it.
    std::optional<std::pair<TextEncoding, bool>> verdict() const;

private:
    AsciiAs m_asciiAs;
    bool m_first = true;
    std::optional<TextEncoding> m_marked;
    bool m_nul = false;
    bool m_ascii = true;
    bool m_utf8 = true;
    bool m_clearlyUtf8 = false;
    std::size_t m_outsideAscii = 0;  // characters, in the blocks read as UTF-8
    bool m_cp932 = true;
    bool m_eucJp = true;
    bool m_kana = false;
    bool m_oddBytes = false;
};

/// Why decodeTextBytes() reads no text in `bytes`, in English for the command line, to follow a
/// file's name: "is not a text file: a NUL byte at offset 12 …", "would not come back as it was: …".
std::string textFileFault(std::string_view bytes);

/// For code page 932 bytes that decode but would not come back (decodeExact() refuses them): "the
/// code page 932 bytes ED 40 at offset 3 are written back as FA 5C"; nothing for other bytes.
/// `offset` is where the bytes begin in their file.
std::optional<std::string> cp932ChangeOnWriting(std::string_view bytes, std::size_t offset = 0);

/// The bytes as text in the encoding the user named, or nothing when they are not valid in it. A
/// byte-order mark of the encoding is skipped (UTF-8 then gives Utf8WithMark); UTF-16 is read
/// without a mark too.
std::optional<DecodedText> decodeTextBytesAs(std::string_view bytes, TextEncoding encoding);

/// decodeTextBytesAs() where each byte without a character becomes U+FFFD: for a file the user
/// asks to see in an encoding that does not read it.
DecodedText decodeTextBytesLeniently(std::string_view bytes, TextEncoding encoding);

/// The text's bytes in `encoding`, its byte-order mark first where it has one unless `withMark` is
/// false (a piece after the first). A character the encoding cannot hold (unmappableIndex() finds
/// it) becomes "?" (a lone surrogate in UTF-8 U+FFFD).
std::string encodeTextBytes(TextView text, TextEncoding encoding, bool withMark = true);

/// The byte-order mark the encoding writes first: empty for code page 932, UTF-8 and EUC-JP.
std::string_view byteOrderMark(TextEncoding encoding);

/// The index of the first character of `text` that `encoding` cannot hold (a lone surrogate in
/// UTF-8, a character without a form in code page 932 or EUC-JP), or nothing.
std::optional<std::size_t> unmappableIndex(TextView text, TextEncoding encoding);

/// Where the character at `index` of `text` is and what it is, as the Shift-JIS check lists it:
/// "2行5文字目：😀（U+1F600）" (a CrLf is one line break; a surrogate pair one character); the text
/// may follow `linesBefore` lines of its whole.
Text characterPlace(TextView text, std::size_t index, std::size_t linesBefore = 0);
/// The same for a character known to be at `line` and `column` (both from 1).
Text characterPlace(std::size_t line, std::size_t column, TextView character);

}  // namespace kivo
