#include "text/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "text/cp932.h"
#include "text/iconv_converter.h"
#include "text/lines.h"
#include "text/simd_intrinsics.h"
#include "text/surrogates.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// glibc's EUC-JP with the NEC and IBM extensions that code page 932 has, mapped as code page 932
// maps them: a file from Windows converted to EUC-JP keeps its ① and ～.
constexpr const char* kEucJpName = "EUC-JP-MS";
// A valid UTF-8 reading with this many multibyte characters is no accident of code page 932
// bytes: there, only half-width katakana pairs of one pattern form such characters.
constexpr std::size_t kClearlyUtf8Characters = 4;
// A large text is decoded a block of this many bytes at a time.
constexpr std::size_t kBlock = std::size_t{4} << 20;

bool isAscii(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

Text widened(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}

// Kana, kanji, Japanese punctuation and the full-width and half-width forms.
bool isJapanese(char16_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// A character outside ASCII is one unit, or two surrogates: its low surrogate is not counted.
std::size_t charactersOutsideAscii(TextView text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= 0x80 && !isLowSurrogate(c); }));
}

bool clearlyUtf8(TextView text) {
    return std::any_of(text.begin(), text.end(), isJapanese) ||
           charactersOutsideAscii(text) >= kClearlyUtf8Characters;
}

// Hiragana and full-width katakana: EUC-JP text has them on almost every line, while code page 932
// bytes that happen to be valid EUC-JP never give them (their bytes 0x82 and 0x83 are no EUC-JP).
bool hasKana(TextView text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x3041 && c <= 0x30FA; });
}

// The index of the first surrogate of `text`, or its size: eight units a step where the processor
// has SSE2, since a result written as UTF-8 is searched whole for lone ones.
std::size_t firstSurrogate(TextView text) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, mask), surrogate)) != 0) break;
    }
#endif
    while (i < text.size() && (text[i] & 0xF800) != 0xD800)
        ++i;
    return i;
}

// ---- UTF-16 -------------------------------------------------------------------------------------

Text decodeUtf16(std::string_view bytes, bool bigEndian) {
    Text text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

std::string encodeUtf16(TextView text, bool bigEndian) {
    std::string bytes(2 * text.size(), '\0');
    char* out = bytes.data();
    for (const char16_t c : text) {
        const auto high = static_cast<char>(c >> 8);
        const auto low = static_cast<char>(c & 0xFF);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
    return bytes;
}

// ---- EUC-JP, through iconv ----------------------------------------------------------------------

// EUC-JP as text; each sequence without a character becomes U+FFFD, or ends the reading when
// `lenient` is false.
std::optional<Text> decodeEucJp(std::string_view bytes, bool lenient) {
    IconvConverter converter("UTF-16LE", kEucJpName);
    // A byte never gives more than one unit.
    std::string units(2 * bytes.size(), '\0');
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* out = units.data();
    std::size_t outLeft = units.size();
    while (inLeft > 0) {
        if (converter.convertUntilStopped(in, inLeft, out, outLeft)) continue;
        if (!lenient) return std::nullopt;
        converter.reset();
        *out++ = '\xFD';
        *out++ = '\xFF';
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    units.resize(units.size() - outLeft);
    return decodeUtf16(units, false);
}

// The EUC-JP bytes of `text`: "?" for each character without a form, or nothing at the first such
// character when `stopAt` is given (its index then goes there).
std::optional<std::string> encodeEucJp(TextView text, std::size_t* stopAt) {
    IconvConverter converter(kEucJpName, "UTF-16LE");
    const std::string units = encodeUtf16(text, false);
    std::string bytes(3 * text.size(), '\0');
    const char* in = units.data();
    std::size_t inLeft = units.size();
    char* out = bytes.data();
    std::size_t outLeft = bytes.size();
    while (inLeft > 0) {
        if (converter.convertUntilStopped(in, inLeft, out, outLeft)) continue;
        const std::size_t index = static_cast<std::size_t>(in - units.data()) / 2;
        if (stopAt) {
            *stopAt = index;
            return std::nullopt;
        }
        converter.reset();
        *out++ = '?';
        --outLeft;
        const std::size_t skipped = pairStartsAt(text, index) ? 4 : 2;
        in += skipped;
        inLeft -= skipped;
    }
    bytes.resize(bytes.size() - outLeft);
    return bytes;
}

// ---- Readings that give the bytes back ----------------------------------------------------------

// The bytes decoded a block at a time, `betweenBlocks` running between two, each block ending after
// a byte below 0x40: in code page 932 and EUC-JP such a byte is a character of its own, never part
// of another, so the blocks decode as the whole does.
template <typename Decode>
std::optional<Text> decodeInBlocks(std::string_view bytes, const std::function<void()>& betweenBlocks,
                                   Decode decode) {
    if (!betweenBlocks || bytes.size() <= kBlock) return decode(bytes);
    Text text;
    text.reserve(bytes.size());
    for (std::size_t from = 0; from < bytes.size();) {
        if (from > 0) betweenBlocks();
        std::size_t end = std::min(bytes.size(), from + kBlock);
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end - 1]) >= 0x40)
            ++end;
        std::optional<Text> block = decode(bytes.substr(from, end - from));
        if (!block) return std::nullopt;
        text += *block;
        from = end;
    }
    return text;
}

// A byte that EUC-JP text never holds: the C1 controls, which iconv reads as characters of their own
// (code page 932 lead bytes among them), and 0xFF. SS2 (0x8E) and SS3 (0x8F) start characters.
bool neverInEucJp(char b) {
    const auto u = static_cast<unsigned char>(b);
    return (u >= 0x80 && u <= 0xA0 && u != 0x8E && u != 0x8F) || u == 0xFF;
}

// Whether the C library converts EUC-JP as code page 932's users expect; the browser edition's
// does not, and reads no EUC-JP.
bool eucJpAvailable() {
    static const bool available = [] {
        try {
            IconvConverter converter("UTF-16LE", kEucJpName);
            return true;
        } catch (const std::runtime_error&) {
            return false;
        }
    }();
    return available;
}

std::optional<Text> eucJpComingBack(std::string_view bytes) {
    if (!eucJpAvailable() || std::any_of(bytes.begin(), bytes.end(), neverInEucJp)) return std::nullopt;
    std::optional<Text> text = decodeEucJp(bytes, false);
    if (!text || encodeEucJp(*text, nullptr) != bytes) return std::nullopt;
    return text;
}

std::optional<TextEncoding> markedEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return TextEncoding::Utf8WithMark;
    if (bytes.starts_with(kUtf16LeMark)) return TextEncoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeMark)) return TextEncoding::Utf16Be;
    return std::nullopt;
}

std::string_view withoutMark(std::string_view bytes, std::string_view mark) {
    return bytes.starts_with(mark) ? bytes.substr(mark.size()) : bytes;
}

// UTF-8 where each maximal part of a damaged sequence becomes one U+FFFD, as Unicode recommends.
struct Lead {
    int length;
    unsigned char low;
    unsigned char high;
};
// The length of the UTF-8 sequence that `b` starts and the range of its second byte, which
// excludes overlong forms, surrogates and values above U+10FFFF; 0 for a byte that starts none.
Lead leadOf(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

Text decodeUtf8Lenient(std::string_view bytes) {
    if (std::optional<Text> text = utf8::decode(bytes)) return std::move(*text);
    Text text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text.push_back(b);
            ++i;
            continue;
        }
        const Lead lead = leadOf(b);
        std::size_t end = i + 1;
        for (int k = 1; k < lead.length && end < bytes.size(); ++k, ++end) {
            const auto c = static_cast<unsigned char>(bytes[end]);
            const bool fits = k == 1 ? c >= lead.low && c <= lead.high : c >= 0x80 && c <= 0xBF;
            if (!fits) break;
        }
        const std::string_view sequence = bytes.substr(i, end - i);
        if (lead.length == 0 || sequence.size() != static_cast<std::size_t>(lead.length) ||
            !utf8::appendDecoded(sequence, text))
            text.push_back(u'\uFFFD');
        i = end;
    }
    return text;
}

std::string hexBytes(std::string_view bytes) {
    std::string hex;
    for (const char b : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(b));
        hex += (hex.empty() ? "" : " ") + std::string(two);
    }
    return hex;
}

}  // namespace

const char* encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932:
            return "Shift-JIS";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8WithMark:
            return "UTF-8 (BOM)";
        case TextEncoding::Utf16Le:
            return "UTF-16LE";
        case TextEncoding::Utf16Be:
            return "UTF-16BE";
        case TextEncoding::EucJp:
            return "EUC-JP";
    }
    return "";
}

std::optional<DecodedText> decodeTextBytes(std::string_view bytes, AsciiAs asciiAs,
                                           const std::function<void()>& betweenBlocks) {
    if (const std::optional<TextEncoding> marked = markedEncoding(bytes))
        return decodeTextBytesAs(bytes, *marked);
    if (std::memchr(bytes.data(), '\0', bytes.size())) return std::nullopt;
    if (isAscii(bytes))
        return DecodedText{widened(bytes),
                           asciiAs == AsciiAs::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8};
    std::optional<Text> utf8 = utf8::decode(bytes);
    if (utf8 && clearlyUtf8(*utf8)) return DecodedText{std::move(*utf8), TextEncoding::Utf8};
    std::optional<Text> cp932 = decodeInBlocks(bytes, betweenBlocks, cp932::decodeExact);
    std::optional<Text> eucJp = decodeInBlocks(bytes, betweenBlocks, eucJpComingBack);
    if (eucJp && hasKana(*eucJp)) return DecodedText{std::move(*eucJp), TextEncoding::EucJp};
    const int readings = int(utf8.has_value()) + int(cp932.has_value()) + int(eucJp.has_value());
    const bool guessed = readings > 1;
    if (cp932) return DecodedText{std::move(*cp932), TextEncoding::Cp932, guessed};
    if (utf8) return DecodedText{std::move(*utf8), TextEncoding::Utf8, guessed};
    if (eucJp) return DecodedText{std::move(*eucJp), TextEncoding::EucJp, guessed};
    return std::nullopt;
}

void EncodingDetector::addFirstPass(std::string_view block) {
    if (std::exchange(m_first, false)) {
        m_marked = markedEncoding(block);
        if (m_marked == TextEncoding::Utf8WithMark) block = withoutMark(block, kUtf8Mark);
    }
    if (m_marked) {
        m_utf8 = m_utf8 && (m_marked != TextEncoding::Utf8WithMark || utf8::isValid(block));
        m_oddBytes ^= block.size() % 2 == 1;
        return;
    }
    m_nul = m_nul || std::memchr(block.data(), '\0', block.size());
    if (m_nul || isAscii(block)) return;
    m_ascii = false;
    m_utf8 = m_utf8 && utf8::isValid(block);
    // Once the text reads clearly as UTF-8, the rest need only be valid: a block held whole is
    // decoded a quarter of a megabyte at a time, only until it does.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    for (std::string_view rest = block; m_utf8 && !m_clearlyUtf8 && !rest.empty();) {
        const std::string_view piece = rest.substr(0, utf8::completeLength(rest.substr(0, kPiece)));
        const Text text = *utf8::decode(piece);
        m_outsideAscii += charactersOutsideAscii(text);
        m_clearlyUtf8 =
            std::any_of(text.begin(), text.end(), isJapanese) || m_outsideAscii >= kClearlyUtf8Characters;
        rest.remove_prefix(piece.size());
    }
}

bool EncodingDetector::needsSecondPass() const {
    return !m_marked && !m_nul && !m_ascii && !(m_utf8 && m_clearlyUtf8);
}

bool EncodingDetector::readsAsUtf8() const {
    if (m_marked) return m_marked == TextEncoding::Utf8WithMark && m_utf8;
    return !m_nul && m_utf8;
}

void EncodingDetector::addSecondPass(std::string_view block) {
    m_cp932 = m_cp932 && cp932::decodeExact(block);
    if (!m_eucJp) return;
    const std::optional<Text> eucJp = eucJpComingBack(block);
    m_eucJp = eucJp.has_value();
    m_kana = m_kana || (eucJp && hasKana(*eucJp));
}

std::optional<std::pair<TextEncoding, bool>> EncodingDetector::verdict() const {
    // UTF-16 comes in pairs of bytes; UTF-8 must be valid after its mark.
    const bool wide = m_marked == TextEncoding::Utf16Le || m_marked == TextEncoding::Utf16Be;
    if (m_marked)
        return (wide ? !m_oddBytes : m_utf8) ? std::optional(std::pair(*m_marked, false)) : std::nullopt;
    if (m_nul) return std::nullopt;
    if (m_ascii)
        return std::pair(m_asciiAs == AsciiAs::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8, false);
    if (m_utf8 && m_clearlyUtf8) return std::pair(TextEncoding::Utf8, false);
    if (m_eucJp && m_kana) return std::pair(TextEncoding::EucJp, false);
    const bool guessed = int(m_utf8) + int(m_cp932) + int(m_eucJp) > 1;
    if (m_cp932) return std::pair(TextEncoding::Cp932, guessed);
    if (m_utf8) return std::pair(TextEncoding::Utf8, guessed);
    if (m_eucJp) return std::pair(TextEncoding::EucJp, guessed);
    return std::nullopt;
}

std::string textFileFault(std::string_view bytes) {
    if (markedEncoding(bytes))
        return std::string("is not a text file: its bytes are not valid ") +
               encodingName(*markedEncoding(bytes)) + " after its byte-order mark";
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        return "is not a text file: a NUL byte at offset " +
               std::to_string(static_cast<const char*>(nul) - bytes.data()) +
               " (UTF-16 is read after a byte-order mark only)";
    if (const std::optional<std::string> change = cp932ChangeOnWriting(bytes))
        return "would not come back as it was: " + *change + " (--encoding=cp932 reads it anyway)";
    return "is not a text file: its bytes are valid in neither UTF-8, code page 932 nor EUC-JP";
}

std::optional<std::string> cp932ChangeOnWriting(std::string_view bytes, std::size_t offset) {
    const std::size_t at = cp932::firstPairNotComingBack(bytes);
    if (at == std::string_view::npos || !cp932::decode(bytes)) return std::nullopt;
    const std::string_view pair = bytes.substr(at, 2);
    return "the code page 932 bytes " + hexBytes(pair) + " at offset " + std::to_string(offset + at) +
           " are written back as " + hexBytes(cp932::encode(*cp932::decode(pair)));
}

std::optional<DecodedText> decodeTextBytesAs(std::string_view bytes, TextEncoding encoding) {
    std::optional<Text> text;
    switch (encoding) {
        case TextEncoding::Cp932:
            text = cp932::decode(bytes);
            break;
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark:
            encoding = bytes.starts_with(kUtf8Mark) ? TextEncoding::Utf8WithMark : TextEncoding::Utf8;
            text = utf8::decode(withoutMark(bytes, kUtf8Mark));
            break;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            const bool bigEndian = encoding == TextEncoding::Utf16Be;
            const std::string_view units = withoutMark(bytes, bigEndian ? kUtf16BeMark : kUtf16LeMark);
            if (units.size() % 2 == 0) text = decodeUtf16(units, bigEndian);
            break;
        }
        case TextEncoding::EucJp:
            text = decodeEucJp(bytes, false);
            break;
    }
    if (!text) return std::nullopt;
    return DecodedText{std::move(*text), encoding};
}

DecodedText decodeTextBytesLeniently(std::string_view bytes, TextEncoding encoding) {
    if (std::optional<DecodedText> decoded = decodeTextBytesAs(bytes, encoding)) return std::move(*decoded);
    switch (encoding) {
        case TextEncoding::Cp932:
            return {cp932::decodeLenient(bytes), encoding};
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark: {
            const bool marked = bytes.starts_with(kUtf8Mark);
            return {decodeUtf8Lenient(withoutMark(bytes, kUtf8Mark)),
                    marked ? TextEncoding::Utf8WithMark : TextEncoding::Utf8};
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            // Only an odd last byte stops UTF-16.
            DecodedText decoded = *decodeTextBytesAs(bytes.substr(0, bytes.size() - 1), encoding);
            decoded.text.push_back(u'\uFFFD');
            return decoded;
        }
        case TextEncoding::EucJp:
            break;
    }
    return {*decodeEucJp(bytes, true), encoding};
}

std::string_view byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8WithMark:
            return kUtf8Mark;
        case TextEncoding::Utf16Le:
            return kUtf16LeMark;
        case TextEncoding::Utf16Be:
            return kUtf16BeMark;
        case TextEncoding::Cp932:
        case TextEncoding::Utf8:
        case TextEncoding::EucJp:
            break;
    }
    return {};
}

std::string encodeTextBytes(TextView text, TextEncoding encoding, bool withMark) {
    std::string bytes(withMark ? byteOrderMark(encoding) : std::string_view());
    switch (encoding) {
        case TextEncoding::Cp932:
            return bytes + cp932::encode(text);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark:
            return bytes + utf8::encode(text);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return bytes + encodeUtf16(text, encoding == TextEncoding::Utf16Be);
        case TextEncoding::EucJp:
            break;
    }
    return bytes + *encodeEucJp(text, nullptr);
}

std::optional<std::size_t> unmappableIndex(TextView text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932: {
            const auto it =
                std::find_if(text.begin(), text.end(), [](char16_t c) { return !cp932::hasForm(c); });
            if (it == text.end()) return std::nullopt;
            return static_cast<std::size_t>(it - text.begin());
        }
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithMark:
            for (std::size_t i = firstSurrogate(text); i < text.size(); ++i) {
                if (pairStartsAt(text, i)) {
                    ++i;
                } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
                    return i;
                }
            }
            return std::nullopt;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return std::nullopt;
        case TextEncoding::EucJp:
            break;
    }
    std::size_t index = 0;
    if (encodeEucJp(text, &index)) return std::nullopt;
    return index;
}

Text characterPlace(std::size_t line, std::size_t column, TextView character) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(codePointAt(character, 0)));
    Text place = widened(std::to_string(line)) + u"行" + widened(std::to_string(column)) + u"文字目：";
    place += character;
    return place + u"（U+" + widened(hex) + u"）";
}

Text characterPlace(TextView text, std::size_t index, std::size_t linesBefore) {
    LineReader lines(text, LineEnds::Any);
    TextView line;
    std::size_t lineStart = 0;
    // To the line whose text or break holds the character.
    while (lines.next(line)) {
        lineStart = static_cast<std::size_t>(line.data() - text.data());
        if (index < lineStart + line.size() + lines.lineBreak().size()) break;
    }
    return characterPlace(linesBefore + lines.lineNumber(), index - lineStart + 1,
                          text.substr(index, pairStartsAt(text, index) ? 2 : 1));
}

}  // namespace kivo
