#include "text/utf8.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <ostream>

namespace kivo::utf8 {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

std::uint64_t load8(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

constexpr std::uint32_t byteSwapped(std::uint32_t v) {
    return v >> 24 | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | v << 24;
}

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The UTF-16 length of valid UTF-8: one unit per lead byte, two for a four-byte sequence. For
// invalid bytes it is only an upper bound of what decoding writes before it finds the fault, since
// every sequence it accepts writes exactly what its lead byte counted here.
std::size_t decodedLength(const unsigned char* p, std::size_t n) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < n; ++i)
        units += static_cast<std::size_t>((p[i] & 0xC0) != 0x80) + static_cast<std::size_t>(p[i] >= 0xF0);
    return units;
}

// One to three bytes by the unit's value; a surrogate pair, counted 3 + 3 that way, takes 4.
// Pairs cannot overlap, so counting every high half followed by a low half finds them all. Written
// without branches, so that the compiler can vectorise it.
std::size_t encodedLength(std::u16string_view text) {
    const std::size_t n = text.size();
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        bytes += 1 + static_cast<std::size_t>(c >= 0x80) + static_cast<std::size_t>(c >= 0x800);
    }
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < n; ++i)
        pairs +=
            static_cast<std::size_t>(((text[i] & 0xFC00) == 0xD800) & ((text[i + 1] & 0xFC00) == 0xDC00));
    return bytes - 2 * pairs;
}

// The sequence at in[i], of any form; false when it is not valid UTF-8.
bool decodeOne(const unsigned char* in, std::size_t n, std::size_t& i, char16_t*& o) {
    const unsigned char b0 = in[i];
    if (b0 < 0x80) {
        *o++ = b0;
        ++i;
        return true;
    }
    int extra;
    char32_t cp;
    char32_t least;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (i + static_cast<std::size_t>(extra) >= n) return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = in[i + static_cast<std::size_t>(k)];
        if ((b & 0xC0) != 0x80) return false;
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
        *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        *o++ = static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

// The four bytes of `word`, lowest first.
void putWord(char* o, std::uint32_t word) {
    if constexpr (std::endian::native != std::endian::little) word = byteSwapped(word);
    std::memcpy(o, &word, sizeof word);
}

}  // namespace

// Sized once and written through a pointer: the text of a whole file passes through here.
std::optional<std::u16string> decode(std::string_view bytes) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::u16string out(decodedLength(in, n), u'\0');
    char16_t* o = out.data();
    std::size_t i = 0;
    while (i < n) {
        // Runs of ASCII, eight bytes at a time.
        while (i + 8 <= n && (load8(in + i) & kHighBits) == 0) {
            for (int k = 0; k < 8; ++k)
                o[k] = in[i + static_cast<std::size_t>(k)];
            o += 8;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char b0 = in[i];
        if (b0 < 0x80) {
            *o++ = b0;
            ++i;
            continue;
        }
        // Kana and kanji are three bytes: their own path, without the general loop.
        if ((b0 & 0xF0) == 0xE0 && i + 2 < n) {
            const unsigned char b1 = in[i + 1];
            const unsigned char b2 = in[i + 2];
            const char32_t cp = (char32_t{b0} & 0x0F) << 12 | (char32_t{b1} & 0x3F) << 6 | (b2 & 0x3F);
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80 || cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
                return std::nullopt;
            *o++ = static_cast<char16_t>(cp);
            i += 3;
            continue;
        }
        if (!decodeOne(in, n, i, o)) return std::nullopt;
    }
    return out;
}

std::string encode(std::u16string_view text) {
    std::string out;
    encodeInto(text, out);
    return out;
}

// Every unit outside the surrogates is written as a four-byte word of which only its own one to
// three bytes are kept, chosen without a branch on the length: in text that mixes kana and ASCII
// that branch would be guessed wrong at every change of script. Surrogates, rare, take a branch.
void encodeInto(std::u16string_view text, std::string& out) {
    const std::size_t size = encodedLength(text);
    out.resize(size + 3);  // the word written for the last unit may reach three bytes beyond it
    char* o = out.data();
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Runs of ASCII, eight units at a time.
        while (i + 8 <= n && ((text[i] | text[i + 1] | text[i + 2] | text[i + 3] | text[i + 4] | text[i + 5] |
                               text[i + 6] | text[i + 7]) < 0x80)) {
            for (std::size_t k = 0; k < 8; ++k)
                o[k] = static_cast<char>(text[i + k]);
            o += 8;
            i += 8;
        }
        if (i >= n) break;
        std::uint32_t c = text[i];
        if ((c & 0xF800) == 0xD800) {
            if (c <= 0xDBFF && i + 1 < n && isLowSurrogate(text[i + 1])) {
                const std::uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
                const std::uint32_t word = (0xF0 | cp >> 18) | (0x80 | (cp >> 12 & 0x3F)) << 8 |
                                           (0x80 | (cp >> 6 & 0x3F)) << 16 | (0x80 | (cp & 0x3F)) << 24;
                putWord(o, word);
                o += 4;
                continue;
            }
            c = 0xFFFD;  // a lone surrogate
        }
        const std::uint32_t one = c;
        const std::uint32_t two = (0xC0 | c >> 6) | (0x80 | (c & 0x3F)) << 8;
        const std::uint32_t three =
            (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16;
        const std::uint32_t word = c < 0x80 ? one : c < 0x800 ? two : three;
        putWord(o, word);
        o += 1 + static_cast<std::size_t>(c >= 0x80) + static_cast<std::size_t>(c >= 0x800);
    }
    out.resize(size);
}

void write(std::u16string_view text, std::ostream& out) {
    constexpr std::size_t kBlock = std::size_t{1} << 15;
    std::string bytes;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = std::min(text.size(), pos + kBlock);
        // A pair is never split between two blocks: it would be written as two replacements.
        if (end < text.size() && end - pos > 1 && (text[end - 1] & 0xFC00) == 0xD800) --end;
        encodeInto(text.substr(pos, end - pos), bytes);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        pos = end;
    }
}

}  // namespace kivo::utf8
