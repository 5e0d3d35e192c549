#include "text/text_encoding.h"

#include <algorithm>
#include <optional>

#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// A valid UTF-8 reading with this many multibyte characters is no accident of code page 932
// bytes: there, only half-width katakana pairs of one pattern form such characters.
constexpr std::size_t kClearlyUtf8Characters = 4;

bool hasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

// Kana, kanji, Japanese punctuation and the full-width and half-width forms.
bool isJapanese(char16_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

bool clearlyUtf8(TextView text) {
    if (std::any_of(text.begin(), text.end(), isJapanese)) return true;
    // A character outside ASCII is one unit, or two surrogates: its low surrogate is not counted.
    const auto multibyte = std::count_if(text.begin(), text.end(),
                                         [](char16_t c) { return c >= 0x80 && (c < 0xDC00 || c > 0xDFFF); });
    return static_cast<std::size_t>(multibyte) >= kClearlyUtf8Characters;
}

// The length of the UTF-8 sequence that `lead` starts and the range of its second byte, which
// excludes overlong forms, surrogates and values above U+10FFFF; 0 for a byte that starts none.
struct Lead {
    int length;
    unsigned char low;
    unsigned char high;
};
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

// UTF-8 where each maximal part of a damaged sequence becomes one U+FFFD, as Unicode recommends.
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

// Code page 932 a block of some megabytes at a time. A block ends after a byte below 0x40, which
// is a character of its own and never the second byte of one, so that the blocks decode as the
// whole does.
Text decodeCp932InBlocks(std::string_view bytes, const std::function<void()>& betweenBlocks) {
    constexpr std::size_t kBlock = std::size_t{4} << 20;
    if (!betweenBlocks || bytes.size() <= kBlock) return cp932::decodeLenient(bytes);
    Text text;
    text.reserve(bytes.size());
    for (std::size_t from = 0; from < bytes.size();) {
        if (from > 0) betweenBlocks();
        std::size_t end = std::min(bytes.size(), from + kBlock);
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end - 1]) >= 0x40)
            ++end;
        text += cp932::decodeLenient(bytes.substr(from, end - from));
        from = end;
    }
    return text;
}

}  // namespace

DecodedText decodeTextBytes(std::string_view bytes, const std::function<void()>& betweenBlocks) {
    if (bytes.starts_with(kUtf8Mark))
        return {decodeUtf8Lenient(bytes.substr(kUtf8Mark.size())), TextEncoding::Utf8WithMark};
    if (hasNonAscii(bytes)) {
        if (std::optional<Text> utf8 = utf8::decode(bytes)) {
            if (clearlyUtf8(*utf8)) return {std::move(*utf8), TextEncoding::Utf8};
            if (std::optional<Text> cp932 = cp932::decode(bytes))
                return {std::move(*cp932), TextEncoding::Cp932};
            return {std::move(*utf8), TextEncoding::Utf8};
        }
    }
    return {decodeCp932InBlocks(bytes, betweenBlocks), TextEncoding::Cp932};
}

DecodedText decodeTextBytesAs(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932) return {cp932::decodeLenient(bytes), TextEncoding::Cp932};
    if (bytes.starts_with(kUtf8Mark))
        return {decodeUtf8Lenient(bytes.substr(kUtf8Mark.size())), TextEncoding::Utf8WithMark};
    return {decodeUtf8Lenient(bytes), TextEncoding::Utf8};
}

}  // namespace kivo
