#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <ostream>

#include "text/break_lanes.h"
#include "text/simd_intrinsics.h"
#include "text/surrogates.h"

namespace kivo::utf8 {
namespace {

// ---- The portable kernel: one sequence at a time, with runs of ASCII taken eight bytes at once.

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

std::uint64_t load8(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Used only where the processor stores the highest byte first.
[[maybe_unused]] constexpr std::uint32_t byteSwapped(std::uint32_t v) {
    return v >> 24 | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | v << 24;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The UTF-16 length of valid UTF-8: one unit per lead byte, two for a four-byte sequence. For
// invalid bytes it is only an upper bound of what decoding writes before it finds the fault, since
// every sequence it accepts writes exactly what its lead byte counted here.
std::size_t decodedLength(const unsigned char* p, std::size_t n) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < n; ++i)
        units += static_cast<std::size_t>(!isContinuation(p[i])) + static_cast<std::size_t>(p[i] >= 0xF0);
    return units;
}

// One to three bytes by the unit's value; a surrogate pair, counted 3 + 3 that way, takes 4.
// Pairs cannot overlap, so counting every high half followed by a low half finds them all. Written
// without branches, so that the compiler can vectorise it.
std::size_t encodedLength(const char16_t* text, std::size_t n) {
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

// The length of the sequence at in[i] (at least 2: the caller takes ASCII itself) with its value
// in `cp`, or 0 when it is not valid UTF-8.
std::size_t readSequence(const unsigned char* in, std::size_t n, std::size_t i, char32_t& cp) {
    const unsigned char b0 = in[i];
    std::size_t extra;
    char32_t least;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + extra >= n) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const unsigned char b = in[i + k];
        if (!isContinuation(b)) return 0;
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return extra + 1;
}

char16_t* putCodePoint(char32_t cp, char16_t* o) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
        *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        *o++ = static_cast<char16_t>(cp);
    }
    return o;
}

// Decodes and checks in one pass into `o`, which has room for decodedLength(in, n) units.
bool decodePortable(const unsigned char* in, std::size_t n, char16_t*& o) {
    std::size_t i = 0;
    while (i < n) {
        while (i + 8 <= n && (load8(in + i) & kHighBits) == 0) {
            for (std::size_t k = 0; k < 8; ++k)
                o[k] = in[i + k];
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
        char32_t cp;
        const std::size_t length = readSequence(in, n, i, cp);
        if (length == 0) return false;
        o = putCodePoint(cp, o);
        i += length;
    }
    return true;
}

bool isValidPortable(const unsigned char* in, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        while (i + 8 <= n && (load8(in + i) & kHighBits) == 0)
            i += 8;
        if (i >= n) break;
        if (in[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        const std::size_t length = readSequence(in, n, i, cp);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// The four bytes of `word`, lowest first.
void putWord(char* o, std::uint32_t word) {
    if constexpr (std::endian::native != std::endian::little) word = byteSwapped(word);
    std::memcpy(o, &word, sizeof word);
}

// The unit at text[i], or the pair that starts there, into `o`; returns the index after it.
// Every unit outside the surrogates is written as a four-byte word of which only its own one to
// three bytes are kept, chosen without a branch on the length: in text that mixes kana and ASCII
// that branch would be guessed wrong at every change of script. Surrogates, rare, take a branch.
std::size_t encodeUnit(const char16_t* text, std::size_t n, std::size_t i, char*& o) {
    std::uint32_t c = text[i];
    if ((c & 0xF800) == 0xD800) {
        if (c <= 0xDBFF && i + 1 < n && isLowSurrogate(text[i + 1])) {
            const std::uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            const std::uint32_t word = (0xF0 | cp >> 18) | (0x80 | (cp >> 12 & 0x3F)) << 8 |
                                       (0x80 | (cp >> 6 & 0x3F)) << 16 | (0x80 | (cp & 0x3F)) << 24;
            putWord(o, word);
            o += 4;
            return i + 2;
        }
        c = 0xFFFD;  // a lone surrogate
    }
    const std::uint32_t one = c;
    const std::uint32_t two = (0xC0 | c >> 6) | (0x80 | (c & 0x3F)) << 8;
    const std::uint32_t three = (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16;
    const std::uint32_t word = c < 0x80 ? one : c < 0x800 ? two : three;
    putWord(o, word);
    o += 1 + static_cast<std::size_t>(c >= 0x80) + static_cast<std::size_t>(c >= 0x800);
    return i + 1;
}

// Where encoding stopped: the next unit and the next byte.
struct EncodePosition {
    std::size_t i;
    char* o;
};

// text[i, end) into `o` (a pair that starts before `end` is taken whole). `o` needs three bytes of
// room beyond what it keeps. Both positions are returned rather than updated through references,
// which would keep the vector loop's output pointer in memory.
EncodePosition encodeUnits(const char16_t* text, std::size_t n, std::size_t i, std::size_t end, char* o) {
    while (i < end) {
        while (i + 8 <= end && ((text[i] | text[i + 1] | text[i + 2] | text[i + 3] | text[i + 4] |
                                 text[i + 5] | text[i + 6] | text[i + 7]) < 0x80)) {
            for (std::size_t k = 0; k < 8; ++k)
                o[k] = static_cast<char>(text[i + k]);
            o += 8;
            i += 8;
        }
        if (i < end) i = encodeUnit(text, n, i, o);
    }
    return {i, o};
}

#ifdef KIVO_AVX2

// ---- The AVX2 kernel. Decoding checks each piece of the input with three table lookups per 32
// bytes and then converts it knowing that it is valid, 32 bytes at a time; encoding converts 32
// units at a time. Blocks with four-byte sequences or surrogates, rare, take a slower path.

// Each check of the validation is one bit. A table looked up by the high nibble of a byte, one by
// its low nibble and one by the high nibble of the byte after it each say which checks may fail
// for that pair; a check fails when all three keep its bit.
constexpr std::uint8_t kTooShort = 1 << 0;   // a lead byte followed by ASCII or another lead byte
constexpr std::uint8_t kTooLong = 1 << 1;    // ASCII followed by a continuation byte
constexpr std::uint8_t kOverlong3 = 1 << 2;  // E0 followed by 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;   // F4..FF followed by 90..BF
constexpr std::uint8_t kSurrogate = 1 << 4;  // ED followed by A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;  // C0 or C1 followed by a continuation byte
// F0 followed by 80..8F (overlong) and F5..FF followed by 80..8F (too large) share a bit: the two
// lead bytes differ in their low nibble.
constexpr std::uint8_t kOverlong4OrTooLarge = 1 << 6;
// Two continuation bytes in a row: right exactly when they are the third or fourth byte of a
// sequence, which is checked apart.
constexpr std::uint8_t kTwoContinuations = 1 << 7;
// The checks decided by the high nibbles alone pass every low nibble.
constexpr std::uint8_t kAnyLow = kTooShort | kTooLong | kTwoContinuations;

// A table of 16 bytes in both halves, for a lookup of 32 nibbles at once.
KIVO_AVX2_HELPER __m256i table(std::array<std::uint8_t, 16> t) {
    __m128i v;
    std::memcpy(&v, t.data(), sizeof v);
    return _mm256_broadcastsi128_si256(v);
}

KIVO_AVX2_HELPER __m256i highNibbles(__m256i v) {
    return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

KIVO_AVX2_HELPER __m256i lowNibbles(__m256i v) {
    return _mm256_and_si256(v, _mm256_set1_epi8(0x0F));
}

// The 32 bytes that end `back` bytes before each byte of `input` (1 to 15), reaching into
// `previous`: a shift across the two halves of the register.
template <int back>
KIVO_AVX2_HELPER __m256i before(__m256i input, __m256i previous) {
    return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(previous, input, 0x21), 16 - back);
}

// The faults found in every pair of adjacent bytes of `input` (the first byte's pair reaches back
// into `previous`).
KIVO_AVX2_HELPER __m256i pairFaults(__m256i input, __m256i previous) {
    constexpr std::uint8_t kOne = kTooLong;
    constexpr std::uint8_t kCont = kTwoContinuations;
    constexpr std::uint8_t kLarge = kTooLarge | kOverlong4OrTooLarge;
    const __m256i byHigh = table({kOne, kOne, kOne, kOne, kOne, kOne, kOne, kOne,           // 0_______
                                  kCont, kCont, kCont, kCont,                               // 10______
                                  kTooShort | kOverlong2,                                   // 1100____
                                  kTooShort,                                                // 1101____
                                  kTooShort | kOverlong3 | kSurrogate,                      // 1110____
                                  kTooShort | kTooLarge | kOverlong4OrTooLarge});           // 1111____
    const __m256i byLow = table({kAnyLow | kOverlong3 | kOverlong2 | kOverlong4OrTooLarge,  // ____0000
                                 kAnyLow | kOverlong2,                                      // ____0001
                                 kAnyLow, kAnyLow,                                          // ____001_
                                 kAnyLow | kTooLarge,                                       // ____0100
                                 kAnyLow | kLarge, kAnyLow | kLarge, kAnyLow | kLarge,      // ____0101..0111
                                 kAnyLow | kLarge, kAnyLow | kLarge, kAnyLow | kLarge,      // ____1000..1010
                                 kAnyLow | kLarge, kAnyLow | kLarge,                        // ____1011..1100
                                 kAnyLow | kLarge | kSurrogate,                             // ____1101
                                 kAnyLow | kLarge, kAnyLow | kLarge});                      // ____111_
    constexpr std::uint8_t kShort = kTooShort;
    constexpr std::uint8_t kAfter = kTooLong | kOverlong2 | kTwoContinuations;
    const __m256i nextByHigh =
        table({kShort, kShort, kShort, kShort, kShort, kShort, kShort, kShort,    // 0_______
               kAfter | kOverlong3 | kOverlong4OrTooLarge,                        // 1000____
               kAfter | kOverlong3 | kTooLarge,                                   // 1001____
               kAfter | kSurrogate | kTooLarge, kAfter | kSurrogate | kTooLarge,  // 101_____
               kShort, kShort, kShort, kShort});                                  // 11______
    const __m256i first = before<1>(input, previous);
    return _mm256_and_si256(_mm256_and_si256(_mm256_shuffle_epi8(byHigh, highNibbles(first)),
                                             _mm256_shuffle_epi8(byLow, lowNibbles(first))),
                            _mm256_shuffle_epi8(nextByHigh, highNibbles(input)));
}

// The faults of `input` after `previous`: those of its byte pairs, and a continuation byte where
// a three- or four-byte sequence needs one, or one where none is needed, both seen as a mismatch
// with the two-continuations bit.
KIVO_AVX2_HELPER __m256i blockFaults(__m256i input, __m256i previous) {
    // Only E0..FF two bytes before and F0..FF three bytes before keep their top bit here.
    const __m256i thirdByte =
        _mm256_subs_epu8(before<2>(input, previous), _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
    const __m256i fourthByte =
        _mm256_subs_epu8(before<3>(input, previous), _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
    const __m256i needed =
        _mm256_and_si256(_mm256_or_si256(thirdByte, fourthByte), _mm256_set1_epi8(static_cast<char>(0x80)));
    return _mm256_xor_si256(needed, pairFaults(input, previous));
}

// Bytes that no sequence continues: ASCII and lead bytes.
KIVO_AVX2_HELPER unsigned startsOf(__m256i bytes) {
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-65))));
}

// Lead bytes of four-byte sequences (in invalid input also F5..FF).
KIVO_AVX2_HELPER unsigned fourByteLeadsOf(__m256i bytes) {
    const __m256i atLeastF0 = _mm256_max_epu8(bytes, _mm256_set1_epi8(static_cast<char>(0xF0)));
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(atLeastF0, bytes)));
}

// What the bytes selected by `mask` add to the UTF-16 length, were they valid: one unit for each
// byte that is no continuation byte, one more for each lead byte of four.
KIVO_AVX2_HELPER std::size_t unitsOf(__m256i bytes, unsigned mask) {
    return static_cast<std::size_t>(std::popcount(startsOf(bytes) & mask) +
                                    std::popcount(fourByteLeadsOf(bytes) & mask));
}

// The UTF-16 length of p[0, n), were it valid.
KIVO_TARGET_AVX2 std::size_t unitCountAvx2(const unsigned char* p, std::size_t n) {
    std::size_t units = 0;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32)
        units += unitsOf(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i)), ~0u);
    return units + decodedLength(p + i, n - i);
}

// What the check has seen of the input so far: its last 32 bytes and the faults found.
struct Checker {
    __m256i previous;
    __m256i faults;
};

// Checks p[0, n) after what `checker` has seen and returns what these bytes add to the UTF-16
// length, were they valid. Unless `last`, n is a multiple of 32. The last bytes are checked with
// zeros after them, so that a sequence cut short at the end fails as one followed by ASCII would.
KIVO_AVX2_HELPER std::size_t check(Checker& checker, const unsigned char* p, std::size_t n, bool last) {
    std::size_t units = 0;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        checker.faults = _mm256_or_si256(checker.faults, blockFaults(input, checker.previous));
        units += unitsOf(input, ~0u);
        checker.previous = input;
    }
    if (last) {
        unsigned char bytes[32] = {};
        if (n > i) std::memcpy(bytes, p + i, n - i);
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
        checker.faults = _mm256_or_si256(checker.faults, blockFaults(input, checker.previous));
        units += unitsOf(input, (1u << (n - i)) - 1);
    }
    return units;
}

// check() that also takes every byte into the line breaks' shape.
KIVO_AVX2_HELPER void checkAndShape(Checker& checker, kivo::detail::BreakLanes& lanes, const unsigned char* p,
                                    std::size_t n, bool last) {
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        kivo::detail::takeBreakPairs(lanes, input, before<1>(input, checker.previous));
        checker.faults = _mm256_or_si256(checker.faults, blockFaults(input, checker.previous));
        checker.previous = input;
    }
    if (last) {
        unsigned char bytes[32] = {};
        if (n > i) std::memcpy(bytes, p + i, n - i);
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
        kivo::detail::takeBreakPairs(lanes, input, before<1>(input, checker.previous));
        checker.faults = _mm256_or_si256(checker.faults, blockFaults(input, checker.previous));
    }
}

KIVO_AVX2_HELPER bool faultless(const Checker& checker) {
    return _mm256_testz_si256(checker.faults, checker.faults);
}

// Input is checked, and converted, a piece at a time, so that a fault ends the work early and,
// in decoding, each piece is converted while it is still in the first-level cache: on a large
// input that halves what travels to and from memory. A multiple of 32.
constexpr std::size_t kPiece = std::size_t{1} << 15;

KIVO_TARGET_AVX2 bool isValidAvx2(const unsigned char* p, std::size_t n) {
    Checker checker{_mm256_setzero_si256(), _mm256_setzero_si256()};
    for (std::size_t from = 0;; from += kPiece) {
        const std::size_t to = std::min(n, from + kPiece);
        check(checker, p + from, to - from, to == n);
        if (!faultless(checker)) return false;
        if (to == n) return true;
    }
}

KIVO_TARGET_AVX2 std::optional<LineBreakShape> checkedShapeAvx2(const unsigned char* p, std::size_t n) {
    Checker checker{_mm256_setzero_si256(), _mm256_setzero_si256()};
    kivo::detail::BreakLanes lanes = kivo::detail::noBreakLanes();
    for (std::size_t from = 0;; from += kPiece) {
        const std::size_t to = std::min(n, from + kPiece);
        checkAndShape(checker, lanes, p + from, to - from, to == n);
        if (!faultless(checker)) return std::nullopt;
        if (to == n) return kivo::detail::shapeOfLanes(lanes, n == 0 ? '\0' : static_cast<char>(p[n - 1]));
    }
}

// The sequences that start in [p, end), valid UTF-8, from `p`, which may sit inside a sequence
// whose start was decoded already. The last one may end past `end`, but never past `limit`.
char16_t* decodeValidTail(const unsigned char* p, const unsigned char* end, const unsigned char* limit,
                          char16_t* o) {
    while (p < end && isContinuation(*p))
        ++p;
    while (p < end) {
        const unsigned char b0 = *p;
        const std::size_t length = b0 < 0x80 ? 1 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
        if (length > static_cast<std::size_t>(limit - p)) break;  // cut short: found by the check
        char32_t cp = b0 & (0xFF >> length);
        for (std::size_t k = 1; k < length; ++k)
            cp = cp << 6 | (p[k] & 0x3F);
        o = putCodePoint(cp, o);
        p += length;
    }
    return o;
}

// Shuffles that move the 16-bit lanes chosen by an 8-bit mask to the front, in order.
constexpr auto kPackUnits = [] {
    std::array<std::array<std::uint8_t, 16>, 256> t{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        t[mask].fill(0x80);
        unsigned k = 0;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if ((mask >> lane & 1) == 0) continue;
            t[mask][k++] = static_cast<std::uint8_t>(2 * lane);
            t[mask][k++] = static_cast<std::uint8_t>(2 * lane + 1);
        }
    }
    return t;
}();

// The lanes of `units` chosen by `mask` to `o`; 8 units are stored, popcount(mask) kept.
KIVO_AVX2_HELPER char16_t* packUnits(__m128i units, unsigned mask, char16_t* o) {
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPackUnits[mask].data()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(units, shuffle));
    return o + std::popcount(mask);
}

KIVO_AVX2_HELPER __m256i widened(const unsigned char* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

KIVO_AVX2_HELPER __m256i load32(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Bytes at least `least`, compared without sign.
KIVO_AVX2_HELPER __m256i bytesAtLeast(__m256i bytes, unsigned char least) {
    return _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, _mm256_set1_epi8(static_cast<char>(least))), bytes);
}

// Each byte shifted by `shift` (left when positive) and masked; shifting 16-bit lanes moves bits
// between neighbouring bytes, which the mask removes.
template <int shift>
KIVO_AVX2_HELPER __m256i bitsAt(__m256i bytes, unsigned char mask) {
    __m256i shifted;
    if constexpr (shift >= 0) {
        shifted = _mm256_slli_epi16(bytes, shift);
    } else {
        shifted = _mm256_srli_epi16(bytes, -shift);
    }
    return _mm256_and_si256(shifted, _mm256_set1_epi8(static_cast<char>(mask)));
}

// Thirty-two bytes without a four-byte sequence starting among them. At every position the unit is
// computed that a sequence of one, two or three bytes starting there would give, its high and low
// bytes apart, in byte lanes; interleaved, they are the units, of which those at the positions
// where a sequence does start are kept. A sequence may end in the two bytes after the block.
//   110aaaaa 10bbbbbb           -> 00000aaa aabbbbbb
//   1110aaaa 10bbbbbb 10cccccc  -> aaaabbbb bbcccccc
KIVO_AVX2_HELPER char16_t* decodeShortSequences(const unsigned char* p, unsigned starts, char16_t* o) {
    const __m256i lead = load32(p);
    const __m256i second = load32(p + 1);
    const __m256i third = load32(p + 2);
    const __m256i two = bytesAtLeast(lead, 0xC0);  // two bytes or three
    const __m256i three = bytesAtLeast(lead, 0xE0);
    const __m256i highOfTwo = bitsAt<-2>(lead, 0x07);
    const __m256i lowOfTwo = _mm256_or_si256(bitsAt<6>(lead, 0xC0), bitsAt<0>(second, 0x3F));
    const __m256i highOfThree = _mm256_or_si256(bitsAt<4>(lead, 0xF0), bitsAt<-2>(second, 0x0F));
    const __m256i lowOfThree = _mm256_or_si256(bitsAt<6>(second, 0xC0), bitsAt<0>(third, 0x3F));
    const __m256i high = _mm256_and_si256(two, _mm256_blendv_epi8(highOfTwo, highOfThree, three));
    const __m256i low = _mm256_blendv_epi8(_mm256_blendv_epi8(lead, lowOfTwo, two), lowOfThree, three);
    // Interleaving works within each half of the register: positions 0-7 and 16-23 in one result.
    const __m256i units0to7And16to23 = _mm256_unpacklo_epi8(low, high);
    const __m256i units8to15And24to31 = _mm256_unpackhi_epi8(low, high);
    o = packUnits(_mm256_castsi256_si128(units0to7And16to23), starts & 0xFF, o);
    o = packUnits(_mm256_castsi256_si128(units8to15And24to31), starts >> 8 & 0xFF, o);
    o = packUnits(_mm256_extracti128_si256(units0to7And16to23, 1), starts >> 16 & 0xFF, o);
    return packUnits(_mm256_extracti128_si256(units8to15And24to31, 1), starts >> 24, o);
}

// The valid sequence at `s` of any length, with its three following bytes readable, into `o`.
// The length selects masks and a shift, not a branch: a byte of ASCII takes the same path as
// an emoji. Two units are always stored; the second is kept only for a pair.
KIVO_AVX2_HELPER char16_t* decodeSequence(const unsigned char* s, char16_t* o) {
    // By the lead byte's high nibble (continuation bytes never start a sequence).
    static constexpr std::uint8_t kLength[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 3, 4};
    static constexpr std::uint8_t kLeadBits[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    const unsigned length = kLength[s[0] >> 4];
    const std::uint32_t bits = static_cast<std::uint32_t>(s[0] & kLeadBits[length]) << 18 |
                               (s[1] & 0x3Fu) << 12 | (s[2] & 0x3Fu) << 6 | (s[3] & 0x3Fu);
    const std::uint32_t cp = bits >> (6 * (4 - length));
    const bool pair = cp >= 0x10000;
    const std::uint32_t above = cp - 0x10000;
    o[0] = static_cast<char16_t>(pair ? 0xD800 + (above >> 10) : cp);
    o[1] = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
    return o + 1 + static_cast<std::size_t>(pair);
}

// Valid UTF-8 into `o`, which ends at `end`. The input goes 32 bytes at a time whatever the
// sequences do: each block writes the sequences that start in it, which may end up to three bytes
// past it, and skips the continuation bytes of the one before it. Blocks are this long because in
// text that mixes scripts a shorter all-ASCII block comes and goes at random, and each guess of
// the branch that went wrong would cost more than converting the block the general way.
KIVO_TARGET_AVX2 void decodeValidAvx2(const unsigned char* p, std::size_t n, const unsigned char* limit,
                                      char16_t* o, const char16_t* end) {
    std::size_t i = 0;
    // A block reads at most 35 bytes and stores at most 34 units, of which it keeps up to 33.
    for (; i + 48 <= n && end - o >= 48; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        if (_mm256_movemask_epi8(bytes) == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), widened(p + i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + 16), widened(p + i + 16));
            o += 32;
            continue;
        }
        unsigned starts = startsOf(bytes);
        if (fourByteLeadsOf(bytes) == 0) {
            o = decodeShortSequences(p + i, starts, o);
            continue;
        }
        for (; starts != 0; starts &= starts - 1)
            o = decodeSequence(p + i + std::countr_zero(starts), o);
    }
    decodeValidTail(p + i, p + n, limit, o);
}

// The text is sized once, by a count of the whole input beforehand unless its room is known to
// suffice (a byte never gives more than one unit); each piece is checked before it is converted.
// A sequence that starts in a piece may end in the next one, whose bytes are checked only with that
// piece: conversion reads no further than the input's end, and a fault found later discards all
// that was converted.
KIVO_TARGET_AVX2 bool appendDecodedAvx2(const unsigned char* p, std::size_t n, std::u16string& text) {
    const std::size_t old = text.size();
    if (n > kPiece && text.capacity() - old < n) text.reserve(old + unitCountAvx2(p, n));
    Checker checker{_mm256_setzero_si256(), _mm256_setzero_si256()};
    for (std::size_t from = 0;; from += kPiece) {
        const std::size_t to = std::min(n, from + kPiece);
        const std::size_t units = check(checker, p + from, to - from, to == n);
        if (!faultless(checker)) {
            text.resize(old);
            return false;
        }
        const std::size_t at = text.size();
        text.resize(at + units);
        decodeValidAvx2(p + from, to - from, p + n, text.data() + at, text.data() + at + units);
        if (to == n) return true;
    }
}

// Lanes of 16-bit units: how many are at least `least` (a power of two).
KIVO_AVX2_HELPER std::size_t countAtLeast(__m256i units, std::uint16_t least) {
    const __m256i below = _mm256_cmpeq_epi16(
        _mm256_and_si256(units, _mm256_set1_epi16(static_cast<short>(-least))), _mm256_setzero_si256());
    return 16 -
           static_cast<std::size_t>(std::popcount(static_cast<unsigned>(_mm256_movemask_epi8(below)))) / 2;
}

KIVO_AVX2_HELPER bool hasSurrogate(__m256i units) {
    const __m256i surrogate =
        _mm256_cmpeq_epi16(_mm256_and_si256(units, _mm256_set1_epi16(static_cast<short>(0xF800))),
                           _mm256_set1_epi16(static_cast<short>(0xD800)));
    return !_mm256_testz_si256(surrogate, surrogate);
}

// encodedLength 16 units at a time; the rare blocks with surrogates count their pairs one by one.
KIVO_TARGET_AVX2 std::size_t encodedLengthAvx2(const char16_t* text, std::size_t n) {
    std::size_t bytes = 0;
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        bytes += 16 + countAtLeast(units, 0x80) + countAtLeast(units, 0x800);
        if (!hasSurrogate(units)) continue;
        for (std::size_t k = i; k < i + 16 && k + 1 < n; ++k)
            if ((text[k] & 0xFC00) == 0xD800 && (text[k + 1] & 0xFC00) == 0xDC00) bytes -= 2;
    }
    // A pair that starts before i was counted above, so the rest is counted on its own.
    return bytes + encodedLength(text + i, n - i);
}

// Shuffles that keep, of four 32-bit lanes each holding a character's bytes lowest first, the
// first one, two or three bytes of each: bit k of the key says that lane k has at least two,
// bit k + 4 that it has three.
constexpr auto kPackBytes = [] {
    std::array<std::array<std::uint8_t, 16>, 256> t{};
    for (unsigned key = 0; key < 256; ++key) {
        t[key].fill(0x80);
        unsigned k = 0;
        for (unsigned lane = 0; lane < 4; ++lane) {
            const unsigned length = 1 + (key >> lane & 1) + (key >> (lane + 4) & 1);
            for (unsigned b = 0; b < length; ++b)
                t[key][k++] = static_cast<std::uint8_t>(4 * lane + b);
        }
    }
    return t;
}();

KIVO_AVX2_HELPER char* packBytes(__m128i words, unsigned key, char* o) {
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPackBytes[key].data()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(words, shuffle));
    return o + 4 + std::popcount(key);
}

// Lanes of 16-bit units: all ones where the unit is at least `least`, compared without sign.
KIVO_AVX2_HELPER __m256i atLeast(__m256i units, std::uint16_t least) {
    const __m256i floor = _mm256_set1_epi16(static_cast<short>(least));
    return _mm256_cmpeq_epi16(_mm256_max_epu16(units, floor), units);
}

// Sixteen units without surrogates. Their first, second and third bytes are computed in 16-bit
// lanes and interleaved into 32-bit lanes, four units to each quarter of the two registers, and
// each quarter is packed to the lengths of its units. unpacklo/unpackhi work within each half of a
// register, so units 0-3 and 8-11 land in one register, 4-7 and 12-15 in the other.
KIVO_AVX2_HELPER char* encodeSixteen(__m256i c, char* o) {
    const __m256i two = atLeast(c, 0x80);
    const __m256i three = atLeast(c, 0x800);
    const __m256i low6 = _mm256_set1_epi16(0x3F);
    const __m256i cont = _mm256_set1_epi16(0x80);
    const __m256i leadOfTwo = _mm256_or_si256(_mm256_srli_epi16(c, 6), _mm256_set1_epi16(0xC0));
    const __m256i leadOfThree = _mm256_or_si256(_mm256_srli_epi16(c, 12), _mm256_set1_epi16(0xE0));
    const __m256i first = _mm256_blendv_epi8(_mm256_blendv_epi8(c, leadOfTwo, two), leadOfThree, three);
    const __m256i second =
        _mm256_or_si256(_mm256_and_si256(_mm256_blendv_epi8(c, _mm256_srli_epi16(c, 6), three), low6), cont);
    const __m256i third = _mm256_or_si256(_mm256_and_si256(c, low6), cont);
    const __m256i firstTwo = _mm256_or_si256(first, _mm256_slli_epi16(second, 8));
    const __m256i words0to3And8to11 = _mm256_unpacklo_epi16(firstTwo, third);
    const __m256i words4to7And12to15 = _mm256_unpackhi_epi16(firstTwo, third);
    // Bits 0-7: units 0-7 have two bytes or more; 8-15: they have three; 16-31: the same for 8-15.
    const auto lengths = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_packs_epi16(two, three)));
    const auto key = [lengths](unsigned from) {
        return (lengths >> from & 0xF) | (lengths >> (from + 8) & 0xF) << 4;
    };
    o = packBytes(_mm256_castsi256_si128(words0to3And8to11), key(0), o);
    o = packBytes(_mm256_castsi256_si128(words4to7And12to15), key(4), o);
    o = packBytes(_mm256_extracti128_si256(words0to3And8to11, 1), key(16), o);
    return packBytes(_mm256_extracti128_si256(words4to7And12to15, 1), key(20), o);
}

// text into `o`, which ends at `end` and has three bytes of room after it. Blocks of 32 units, for
// the same reason as in decoding.
KIVO_TARGET_AVX2 char* encodeAvx2(const char16_t* text, std::size_t n, char* o, const char* end) {
    std::size_t i = 0;
    // A block writes at most 96 bytes with a store reaching 4 beyond, or the scalar words' slack.
    while (i + 32 <= n && end - o >= 112) {
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 16));
        if (_mm256_testz_si256(_mm256_or_si256(first, second),
                               _mm256_set1_epi16(static_cast<short>(0xFF80)))) {
            // packus works within each half: the bytes come out in the order 0-7, 16-23, 8-15, 24-31.
            const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), bytes);
            o += 32;
            i += 32;
        } else if (hasSurrogate(first) || hasSurrogate(second)) {
            const EncodePosition next = encodeUnits(text, n, i, i + 32, o);
            i = next.i;
            o = next.o;
        } else {
            o = encodeSixteen(first, o);
            o = encodeSixteen(second, o);
            i += 32;
        }
    }
    return encodeUnits(text, n, i, n, o).o;
}

#endif  // KIVO_AVX2

using simd::fastest;

const unsigned char* bytesOf(std::string_view bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

// The bytes of `n` units into `o`, which ends at `end` at least 3n + 112 bytes on; where they end.
char* encodeUncounted(const char16_t* text, std::size_t n, char* o, [[maybe_unused]] const char* end) {
#ifdef KIVO_AVX2
    if (fastest() == detail::Kernel::Avx2) return encodeAvx2(text, n, o, end);
#endif
    return encodeUnits(text, n, 0, n, o).o;
}

}  // namespace

namespace detail {

bool appendDecoded(std::string_view bytes, std::u16string& text, [[maybe_unused]] Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == Kernel::Avx2) return appendDecodedAvx2(bytesOf(bytes), bytes.size(), text);
#endif
    const std::size_t old = text.size();
    text.resize(old + decodedLength(bytesOf(bytes), bytes.size()));
    char16_t* o = text.data() + old;
    if (!decodePortable(bytesOf(bytes), bytes.size(), o)) {
        text.resize(old);
        return false;
    }
    text.resize(static_cast<std::size_t>(o - text.data()));
    return true;
}

bool isValid(std::string_view bytes, [[maybe_unused]] Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == Kernel::Avx2) return isValidAvx2(bytesOf(bytes), bytes.size());
#endif
    return isValidPortable(bytesOf(bytes), bytes.size());
}

std::optional<LineBreakShape> checkedShape(std::string_view bytes, [[maybe_unused]] Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == Kernel::Avx2) return checkedShapeAvx2(bytesOf(bytes), bytes.size());
#endif
    if (!isValidPortable(bytesOf(bytes), bytes.size())) return std::nullopt;
    return lineBreakShapeOf(bytes);
}

void encodeInto(std::u16string_view text, std::string& bytes, [[maybe_unused]] Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == Kernel::Avx2) {
        const std::size_t size = encodedLengthAvx2(text.data(), text.size());
        bytes.resize(size + 3);  // the word written for the last unit may reach three bytes beyond it
        encodeAvx2(text.data(), text.size(), bytes.data(), bytes.data() + size);
        bytes.resize(size);
        return;
    }
#endif
    const std::size_t size = encodedLength(text.data(), text.size());
    bytes.resize(size + 3);
    encodeUnits(text.data(), text.size(), 0, text.size(), bytes.data());
    bytes.resize(size);
}

}  // namespace detail

std::optional<std::u16string> decode(std::string_view bytes) {
    std::u16string text;
    if (!appendDecoded(bytes, text)) return std::nullopt;
    return text;
}

bool isValid(std::string_view bytes) {
    return detail::isValid(bytes, fastest());
}

std::optional<LineBreakShape> checkedShape(std::string_view bytes) {
    return detail::checkedShape(bytes, fastest());
}

std::size_t utf16Length(std::string_view validBytes) {
    std::size_t units = 0;
    for (const unsigned char byte : validBytes)
        units += (byte & 0xC0) != 0x80 ? 1 + (byte >= 0xF0) : 0;
    return units;
}

bool appendDecoded(std::string_view bytes, std::u16string& text) {
    return detail::appendDecoded(bytes, text, fastest());
}

// A sequence is at most four bytes, so its start is among the last three when the block ends
// inside it. Cutting before a byte that is no continuation byte keeps every sequence whole, so each
// part is valid exactly when the whole is; an invalid lead byte may be held back too, and fails
// with the next block or at the end.
std::size_t completeLength(std::string_view bytes) {
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, n); ++back) {
        const auto b = static_cast<unsigned char>(bytes[n - back]);
        if (isContinuation(b)) continue;
        const std::size_t length = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        return length > back ? n - back : n;
    }
    return n;
}

std::string encode(std::u16string_view text) {
    std::string out;
    encodeInto(text, out);
    return out;
}

void encodeInto(std::u16string_view text, std::string& bytes) {
    detail::encodeInto(text, bytes, fastest());
}

// Each block is encoded into room for three bytes per unit (and what the kernels write beyond),
// which spares the pass that counts the bytes first.
void write(std::u16string_view text, std::ostream& out) {
    constexpr std::size_t kBlock = std::size_t{1} << 15;
    std::string bytes(3 * kBlock + 112, '\0');
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = std::min(text.size(), pos + kBlock);
        // A pair is never split between two blocks: it would be written as two replacements.
        if (end < text.size() && end - pos > 1 && (text[end - 1] & 0xFC00) == 0xD800) --end;
        const char* written =
            encodeUncounted(text.data() + pos, end - pos, bytes.data(), bytes.data() + bytes.size());
        out.write(bytes.data(), static_cast<std::streamsize>(written - bytes.data()));
        pos = end;
    }
}

}  // namespace kivo::utf8
