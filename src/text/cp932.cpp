#include "text/cp932.h"

#include <array>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#ifndef KIVO_CP932_TABLE_SOURCE
#include "text/iconv_converter.h"
#endif

namespace kivo::cp932 {
namespace {

constexpr char16_t kNoChar = 0xFFFF;  // U+FFFF is a non-character: nothing in code page 932 maps to it

// One 64K table from UTF-16 units to their code page 932 bytes (0 length: no form), and the
// reverse tables for single bytes and lead/trail pairs, all built once from the system iconv, or,
// where the C library has no CP932 converter (the browser edition's), from the same tables written
// out by the native build (tableSource()).
struct Tables {
    std::array<std::uint16_t, 65536> encoded{};  // the byte or the two bytes, high byte first
    std::array<std::uint8_t, 65536> length{};    // 0 when the unit has no form
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(256 * 256, kNoChar);
    // Whether the pair's character is written back as the same pair: not for the duplicates of
    // the NEC row 13 and the NEC-selected IBM extensions, which iconv writes as their twins.
    std::vector<bool> pairComesBack = std::vector<bool>(256 * 256, false);
    std::array<bool, 256> lead{};

    Tables() {
        for (unsigned b = 0; b < 256; ++b)
            lead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
#ifdef KIVO_CP932_TABLE_SOURCE
        fillFromSource();
#else
        fillFromIconv();
#endif
        for (unsigned index = 0; index < pair.size(); ++index) {
            const char16_t c = pair[index];
            pairComesBack[index] = c != kNoChar && length[c] == 2 && encoded[c] == index;
        }
    }

private:
    void setEncoded(unsigned u, unsigned code) {
        encoded[u] = static_cast<std::uint16_t>(code);
        length[u] = code > 0xFF ? 2 : 1;
    }

#ifdef KIVO_CP932_TABLE_SOURCE
    void fillFromSource() {
#include KIVO_CP932_TABLE_SOURCE
        for (const auto& [u, code] : kEncoded)
            setEncoded(u, code);
        for (unsigned b = 0; b < 256; ++b)
            single[b] = kSingles[b];
        for (const auto& [index, c] : kPairs)
            pair[index] = c;
    }
#else
    void fillFromIconv() {
        IconvConverter toCp932("CP932", "UTF-16LE");
        for (unsigned u = 0; u < 65536; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF) continue;
            const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            char out[8];
            const long n = toCp932.convert(in, 2, out, sizeof out);
            if (n == 1) setEncoded(u, static_cast<std::uint8_t>(out[0]));
            if (n == 2)
                setEncoded(u, static_cast<unsigned>(static_cast<std::uint8_t>(out[0]) << 8 |
                                                    static_cast<std::uint8_t>(out[1])));
        }
        IconvConverter fromCp932("UTF-16LE", "CP932");
        auto decodeOne = [&](const char* in, std::size_t n) -> char16_t {
            char out[8];
            if (fromCp932.convert(in, n, out, sizeof out) != 2) return kNoChar;
            return static_cast<char16_t>(static_cast<std::uint8_t>(out[0]) | static_cast<std::uint8_t>(out[1])
                                                                                 << 8);
        };
        for (unsigned b = 0; b < 256; ++b) {
            const char in[1] = {static_cast<char>(b)};
            single[b] = decodeOne(in, 1);
        }
        for (unsigned l = 0x81; l <= 0xFC; ++l) {
            if (!lead[l]) continue;
            for (unsigned t = 0x40; t <= 0xFC; ++t) {
                const char in[2] = {static_cast<char>(l), static_cast<char>(t)};
                pair[l << 8 | t] = decodeOne(in, 2);
            }
        }
    }
#endif
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// A pair that decodes but would not come back is bad when `exact`.
template <bool exact, typename OnBad>
bool decodeInto(std::string_view bytes, std::u16string& out, OnBad onBad) {
    const Tables& t = tables();
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (t.lead[b] && i + 1 < bytes.size()) {
            const unsigned index = b << 8 | static_cast<std::uint8_t>(bytes[i + 1]);
            const char16_t c = t.pair[index];
            if (c != kNoChar && (!exact || t.pairComesBack[index])) {
                out.push_back(c);
                ++i;
                continue;
            }
        }
        if (t.single[b] != kNoChar) {
            out.push_back(t.single[b]);
        } else if (!onBad(out)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int byteLength(char16_t c) {
    return tables().length[c] == 2 ? 2 : 1;
}

bool hasForm(char16_t c) {
    return tables().length[c] != 0;
}

std::size_t byteCount(std::u16string_view s) {
    const Tables& t = tables();
    std::size_t n = 0;
    for (char16_t c : s)
        n += t.length[c] == 2 ? 2 : 1;
    return n;
}

std::string encode(std::u16string_view s) {
    const Tables& t = tables();
    std::string out;
    out.reserve(s.size() * 2);
    for (char16_t c : s) {
        switch (t.length[c]) {
            case 2:
                out.push_back(static_cast<char>(t.encoded[c] >> 8));
                out.push_back(static_cast<char>(t.encoded[c] & 0xFF));
                break;
            case 1:
                out.push_back(static_cast<char>(t.encoded[c]));
                break;
            default:
                out.push_back('?');
        }
    }
    return out;
}

std::optional<std::u16string> decode(std::string_view bytes) {
    std::u16string out;
    if (!decodeInto<false>(bytes, out, [](std::u16string&) { return false; })) return std::nullopt;
    return out;
}

std::optional<std::u16string> decodeExact(std::string_view bytes) {
    std::u16string out;
    if (!decodeInto<true>(bytes, out, [](std::u16string&) { return false; })) return std::nullopt;
    return out;
}

std::size_t firstPairNotComingBack(std::string_view bytes) {
    const Tables& t = tables();
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (!t.lead[b]) continue;
        const unsigned index = b << 8 | static_cast<std::uint8_t>(bytes[i + 1]);
        if (t.pair[index] == kNoChar) continue;
        if (!t.pairComesBack[index]) return i;
        ++i;
    }
    return std::string_view::npos;
}

std::string detail::tableSource() {
    const Tables& t = tables();
    std::ostringstream out;
    out << "// Code page 932 as the system iconv maps it, written by the native build.\n"
           "static constexpr std::pair<unsigned, unsigned> kEncoded[] = {";
    for (unsigned u = 0; u < 65536; ++u)
        if (t.length[u] != 0) out << '{' << u << ',' << t.encoded[u] << "},";
    out << "};\nstatic constexpr char16_t kSingles[256] = {";
    for (const char16_t c : t.single)
        out << unsigned{c} << ',';
    out << "};\nstatic constexpr std::pair<unsigned, char16_t> kPairs[] = {";
    for (unsigned index = 0; index < t.pair.size(); ++index)
        if (t.pair[index] != kNoChar) out << '{' << index << ',' << unsigned{t.pair[index]} << "},";
    out << "};\n";
    return out.str();
}

std::u16string decodeLenient(std::string_view bytes) {
    std::u16string out;
    decodeInto<false>(bytes, out, [](std::u16string& o) {
        o.push_back(u'\uFFFD');
        return true;
    });
    return out;
}

}  // namespace kivo::cp932
