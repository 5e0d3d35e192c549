#include "text/lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "text/break_lanes.h"
#include "text/characters.h"
#include "text/simd_intrinsics.h"

namespace kivo {
namespace {

constexpr std::size_t npos = TextView::npos;
#if defined(__SSE2__)
constexpr std::size_t kBlock = 16;
#endif

// The scans below look for one or two units, 16 at a time where SSE2 is there (always on
// x86-64): two vector compares packed into one mask with a bit per unit, so that a set bit's
// position is the unit's. std::u16string_view::find and the loops GCC makes of char16_t
// comparisons test one unit at a time.
template <std::size_t N>
class Units {
public:
    template <typename... Unit>
    explicit Units(Unit... units) : m_units{units...} {
#if defined(__SSE2__)
        for (std::size_t k = 0; k < N; ++k)
            m_vectors[k] = _mm_set1_epi16(static_cast<short>(m_units[k]));
#endif
    }

    bool holds(char16_t c) const {
        for (const char16_t u : m_units)
            if (c == u) return true;
        return false;
    }

#if defined(__SSE2__)
    // A lane of all ones where the unit at p is one of the units, for the 8 units from p.
    __m128i lanes(const char16_t* p) const {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i match = _mm_cmpeq_epi16(v, m_vectors[0]);
        for (std::size_t k = 1; k < N; ++k)
            match = _mm_or_si128(match, _mm_cmpeq_epi16(v, m_vectors[k]));
        return match;
    }

    // Bit k is set when p[k] is one of the units, for the 16 units from p.
    unsigned operator()(const char16_t* p) const {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lanes(p), lanes(p + 8))));
    }

    // The mask of the last `rest` (1 to 15) units before `end`, in a text of at least 16 units:
    // the final block read again and shifted so that bit 0 is the first of them, never reading
    // past the end.
    unsigned tail(const char16_t* end, std::size_t rest) const {
        return (*this)(end - kBlock) >> (kBlock - rest);
    }
#endif

private:
    char16_t m_units[N];
#if defined(__SSE2__)
    __m128i m_vectors[N];
#endif
};

template <typename... Unit>
Units(Unit...) -> Units<sizeof...(Unit)>;

template <std::size_t N>
std::size_t firstOf(TextView s, const Units<N>& units, std::size_t from) {
    const std::size_t n = s.size();
    if (from >= n) return npos;
    const char16_t* p = s.data();
    std::size_t i = from;
#if defined(__SSE2__)
    if (n >= kBlock) {
        for (; n - i >= kBlock; i += kBlock)
            if (const unsigned m = units(p + i)) return i + static_cast<std::size_t>(std::countr_zero(m));
        if (i == n) return npos;
        const unsigned m = units.tail(p + n, n - i);
        return m ? i + static_cast<std::size_t>(std::countr_zero(m)) : npos;
    }
#endif
    for (; i < n; ++i)
        if (units.holds(p[i])) return i;
    return npos;
}

template <std::size_t N>
std::size_t countOf(TextView s, const Units<N>& units) {
    const std::size_t n = s.size();
    const char16_t* p = s.data();
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Counted in the eight 16-bit lanes, each match subtracting its lane's -1, and added up
    // before a lane could overflow: two matches per lane and block. (A popcount of each block's
    // mask would be a library call: x86-64 without POPCNT has no instruction for it.)
    constexpr std::size_t kBlocksPerSum = 0xFFFF / 2;
    const __m128i lowBytes = _mm_set1_epi16(0xFF);
    while (n - i >= kBlock) {
        __m128i lanes = _mm_setzero_si128();
        const std::size_t end = i + std::min((n - i) / kBlock, kBlocksPerSum) * kBlock;
        for (; i < end; i += kBlock)
            lanes = _mm_sub_epi16(_mm_sub_epi16(lanes, units.lanes(p + i)), units.lanes(p + i + 8));
        // Unsigned 16-bit lanes summed as their low and high bytes.
        const __m128i low = _mm_sad_epu8(_mm_and_si128(lanes, lowBytes), _mm_setzero_si128());
        const __m128i high = _mm_sad_epu8(_mm_srli_epi16(lanes, 8), _mm_setzero_si128());
        const __m128i sum = _mm_add_epi64(low, _mm_slli_epi64(high, 8));
        count += static_cast<std::size_t>(_mm_cvtsi128_si64(sum)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sum, sum)));
    }
#endif
    for (; i < n; ++i)
        count += units.holds(p[i]);
    return count;
}

struct Breaks {
    bool cr = false;
    bool lfPair = false;
};

// Two Lf in a row, and with `kFindCr` whether there is a Cr: one pass for both, which ends at the
// first Cr (after which the pair is not looked for) or else, without `kFindCr`, at the first pair.
template <bool kFindCr>
Breaks scanBreaks(TextView s) {
    const std::size_t n = s.size();
    const char16_t* p = s.data();
    Breaks found;
    std::size_t i = 0;
#if defined(__SSE2__)
    if (n >= kBlock) {
        const Units cr(kCr);
        const Units lf(kLf);
        // Bit 0 when the unit before the block was Lf.
        unsigned carry = 0;
        // False when the scan can end.
        auto add = [&](unsigned crMask, unsigned lfMask) {
            found.lfPair = found.lfPair || ((lfMask & (lfMask >> 1)) | (lfMask & carry)) != 0;
            carry = lfMask >> (kBlock - 1);
            found.cr = crMask != 0;
            return kFindCr ? !found.cr : !found.lfPair;
        };
        for (; n - i >= kBlock; i += kBlock)
            if (!add(kFindCr ? cr(p + i) : 0, lf(p + i))) return found;
        if (i < n) add(kFindCr ? cr.tail(p + n, n - i) : 0, lf.tail(p + n, n - i));
        return found;
    }
#endif
    for (; i < n; ++i) {
        if (kFindCr && p[i] == kCr) {
            found.cr = true;
            return found;
        }
        if (p[i] == kLf && i > 0 && p[i - 1] == kLf) {
            found.lfPair = true;
            if (!kFindCr) return found;
        }
    }
    return found;
}

}  // namespace

std::size_t findUnit(TextView s, char16_t unit, std::size_t from) {
    return firstOf(s, Units(unit), from);
}

std::size_t findLineBreak(TextView s, std::size_t from) {
    return firstOf(s, Units(kCr, kLf), from);
}

std::size_t findText(TextView s, TextView pattern, std::size_t from) {
    if (pattern.empty()) return from <= s.size() ? from : npos;
    const Units first(pattern.front());
    const TextView rest = pattern.substr(1);
    for (std::size_t at = firstOf(s, first, from); at != npos; at = firstOf(s, first, at + 1)) {
        if (s.size() - at < pattern.size()) break;
        if (s.substr(at + 1, rest.size()) == rest) return at;
    }
    return npos;
}

std::size_t findLastUnit(TextView s, char16_t unit) {
    const char16_t* p = s.data();
    std::size_t end = s.size();
#if defined(__SSE2__)
    if (end >= kBlock) {
        const Units units(unit);
        for (; end >= kBlock; end -= kBlock)
            if (const unsigned m = units(p + end - kBlock))
                return end - kBlock + static_cast<std::size_t>(std::bit_width(m)) - 1;
        if (end == 0) return npos;
        // The first block again, without the units already read.
        const unsigned m = units(p) & ((1u << end) - 1);
        return m ? static_cast<std::size_t>(std::bit_width(m)) - 1 : npos;
    }
#endif
    while (end > 0)
        if (p[--end] == unit) return end;
    return npos;
}

std::size_t countUnit(TextView s, char16_t unit) {
    return countOf(s, Units(unit));
}

namespace {

std::size_t findCr(TextView s, std::size_t from) {
    return findUnit(s, kCr, from);
}
std::size_t findCr(std::string_view s, std::size_t from) {
    return s.find('\r', from);
}

// Appends `s` normalised to `out`, `cr` being its first Cr (or npos).
template <typename Char>
void appendNormalized(std::basic_string_view<Char> s, std::size_t cr, std::basic_string<Char>& out) {
    std::size_t from = 0;
    for (; cr != npos; cr = findCr(s, from)) {
        out.append(s.substr(from, cr - from));
        out.push_back(Char('\n'));
        from = cr + 1;
        if (from < s.size() && s[from] == Char('\n')) ++from;
    }
    out.append(s.substr(from));
}

}  // namespace

Text normalizeLineBreaks(TextView s) {
    const std::size_t cr = findCr(s, 0);
    if (cr == npos) return Text(s);
    Text out;
    out.reserve(s.size());
    appendNormalized(s, cr, out);
    return out;
}

void normalizeLineBreaksInto(std::string_view utf8, std::string& out) {
    out.clear();
    appendNormalized(utf8, findCr(utf8, 0), out);
}

NormalizedText::NormalizedText(TextView s) : m_original(s) {
    const Breaks breaks = scanBreaks<true>(s);
    if (breaks.cr) {
        m_copy = normalizeLineBreaks(s);
        m_copied = true;
        m_consecutive = kivo::hasConsecutiveLineBreaks(m_copy);
    } else {
        m_consecutive = breaks.lfPair;
    }
}

Text withLineBreaks(TextView s, TextView lineBreak) {
    if (lineBreak == u"\n") return normalizeLineBreaks(s);
    const Units breaks(kCr, kLf);
    // A bound of the length, exact without CrLf: every Cr and Lf taken for a line break.
    const std::size_t breakUnits = countOf(s, breaks);
    Text out;
    out.reserve(s.size() - breakUnits + breakUnits * lineBreak.size());
    std::size_t from = 0;
    for (std::size_t at = firstOf(s, breaks, 0); at != npos; at = firstOf(s, breaks, from)) {
        out.append(s.substr(from, at - from));
        out.append(lineBreak);
        from = at + 1;
        if (s[at] == kCr && from < s.size() && s[from] == kLf) ++from;
    }
    out.append(s.substr(from));
    return out;
}

bool hasConsecutiveLineBreaks(TextView normalized) {
    return scanBreaks<false>(normalized).lfPair;
}

Text lfToCrLf(TextView s) {
    return replaceAll(s, u"\n", kCrLf);
}

Text replaceAll(TextView s, TextView find, TextView replacement) {
    if (find.empty()) return Text(s);
    Text out;
    // One unit for a longer text: the result's length is known after a count.
    if (find.size() == 1 && replacement.size() > 1)
        out.reserve(s.size() + countUnit(s, find.front()) * (replacement.size() - 1));
    else
        out.reserve(s.size());
    std::size_t from = 0;
    for (std::size_t at = findText(s, find); at != npos; at = findText(s, find, from)) {
        out.append(s.substr(from, at - from));
        out.append(replacement);
        from = at + find.size();
    }
    out.append(s.substr(from));
    return out;
}

std::size_t lineCount(TextView normalized) {
    return countUnit(normalized, kLf) + 1;
}

LineReader::LineReader(TextView text, LineEnds ends)
    : m_text(text),
      m_ends(ends),
      m_appended(text.empty() || !(text.back() == kLf || (ends == LineEnds::Any && text.back() == kCr))) {}

bool LineReader::next(TextView& line) {
    if (m_pos > m_text.size() || (m_pos == m_text.size() && !m_appended)) return false;
    const std::size_t at =
        m_ends == LineEnds::Lf ? findUnit(m_text, kLf, m_pos) : findLineBreak(m_text, m_pos);
    const std::size_t end = at == npos ? m_text.size() : at;
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    if (at != npos && m_text[at] == kCr && m_pos < m_text.size() && m_text[m_pos] == kLf) ++m_pos;
    m_break = at == npos ? TextView() : m_text.substr(at, m_pos - at);
    ++m_number;
    return true;
}

Text withoutLineBreaks(TextView s) {
    Text out;
    out.reserve(s.size());
    LineReader lines(s, LineEnds::Any);
    for (TextView line; lines.next(line);)
        out.append(line);
    return out;
}

std::size_t lineCountOf(TextView s) {
    // Each Cr or Lf is a break, but the Lf of a CrLf.
    std::size_t crLf = 0;
    for (std::size_t at = findUnit(s, kCr); at != npos; at = findUnit(s, kCr, at + 1))
        crLf += at + 1 < s.size() && s[at + 1] == kLf;
    return countUnit(s, kCr) + countUnit(s, kLf) - crLf + 1;
}

namespace {

// Reads the Cr and Lf masks of a text block after block (a bit a unit). The breaks are mixed once
// the text has a Cr and an Lf without a Cr just before it, or a Cr without an Lf just after it.
// Two breaks in a row after normalisation are two adjacent units that are each Cr or Lf, other
// than a CrLf (a CrLf followed by a break shows as its Lf and that break).
class BreakScan {
public:
    /// Takes the next `width` units; true when both answers are known.
    bool doneAfter(std::uint64_t cr, std::uint64_t lf, unsigned width) {
        const std::uint64_t all = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
        const std::uint64_t breaks = cr | lf;
        // What stands before each unit, the first one's from the block before.
        const std::uint64_t crBefore = ((cr << 1) | m_lastCr) & all;
        const std::uint64_t breakBefore = (breaks << 1) | m_lastBreak;
        m_anyCr |= cr;
        m_notAllCrLf |= lf ^ crBefore;
        m_consecutive |= breakBefore & breaks & ~(crBefore & lf);
        m_lastCr = (cr >> (width - 1)) & 1;
        m_lastBreak = (breaks >> (width - 1)) & 1;
        return m_consecutive != 0 && m_anyCr != 0 && m_notAllCrLf != 0;
    }
    /// At the end of the text, where a Cr has no Lf after it.
    LineBreakShape shape() const {
        const bool uniform = m_anyCr == 0 || (m_notAllCrLf == 0 && m_lastCr == 0);
        return {.uniform = uniform, .consecutive = m_consecutive != 0, .crLf = uniform && m_anyCr != 0};
    }

private:
    // Bits that have been set anywhere: the answers so far.
    std::uint64_t m_anyCr = 0;
    std::uint64_t m_notAllCrLf = 0;
    std::uint64_t m_consecutive = 0;
    std::uint64_t m_lastCr = 0;
    std::uint64_t m_lastBreak = 0;
};

struct BreakMasks {
    unsigned cr, lf;
};

// The scan's answer once the last `n` units are taken one at a time.
template <typename Char>
LineBreakShape finishedShape(BreakScan& scan, const Char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (scan.doneAfter(p[i] == Char('\r'), p[i] == Char('\n'), 1)) break;
    return scan.shape();
}

template <typename Char, typename Masks>
LineBreakShape shapeOf(const Char* p, std::size_t n, [[maybe_unused]] Masks masks) {
    BreakScan scan;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four blocks a step: the masks' bookkeeping costs as much for 64 units as for 16.
    constexpr std::size_t kStep = 4 * kBlock;
    for (; n - i >= kStep; i += kStep) {
        std::uint64_t cr = 0;
        std::uint64_t lf = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const BreakMasks block = masks(p + i + k * kBlock);
            cr |= std::uint64_t{block.cr} << (k * kBlock);
            lf |= std::uint64_t{block.lf} << (k * kBlock);
        }
        if (scan.doneAfter(cr, lf, kStep)) return scan.shape();
    }
#endif
    return finishedShape(scan, p + i, n - i);
}

// crLfToLfIn from byte `in`, written from byte `out`, a byte at a time; the new size.
std::size_t crLfToLfFrom(char* s, std::size_t n, std::size_t in, std::size_t out) {
    for (; in < n; ++in)
        if (s[in] != '\r' || in + 1 == n || s[in + 1] != '\n') s[out++] = s[in];
    return out;
}

#ifdef KIVO_AVX2
KIVO_AVX2_HELPER std::uint32_t maskOf32(const char* p, __m256i unit) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, unit)));
}
// A bit for each of the 64 bytes from `p` that is `unit`.
KIVO_AVX2_HELPER std::uint64_t maskOf(const char* p, __m256i unit) {
    return maskOf32(p, unit) | std::uint64_t{maskOf32(p + 32, unit)} << 32;
}

// lineBreakCountOf, 64 bytes a step: every Cr, and every Lf without a Cr just before it.
KIVO_TARGET_AVX2 std::size_t lineBreakCountAvx2(const char* p, std::size_t n) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    std::size_t count = 0;
    std::uint64_t lastCr = 0;
    std::size_t i = 0;
    for (; n - i >= 64; i += 64) {
        const std::uint64_t crs = maskOf(p + i, cr);
        count += static_cast<std::size_t>(std::popcount(crs) +
                                          std::popcount(maskOf(p + i, lf) & ~((crs << 1) | lastCr)));
        lastCr = crs >> 63;
    }
    for (; i < n; ++i) {
        count += p[i] == '\r' || (p[i] == '\n' && lastCr == 0);
        lastCr = p[i] == '\r';
    }
    return count;
}

// shapeOf on bytes, 32 a step (break_lanes.h); the last step may read pairs read already.
KIVO_TARGET_AVX2 LineBreakShape shapeOfBytesAvx2(const char* p, std::size_t n) {
    if (n <= 32) {
        BreakScan scan;
        return finishedShape(scan, p, n);
    }
    detail::BreakLanes lanes = detail::noBreakLanes();
    // The first byte alone, with nothing before it.
    const __m256i firstByte = _mm256_set_epi64x(0, 0, 0, static_cast<unsigned char>(p[0]));
    detail::takeBreakPairs(lanes, firstByte, _mm256_setzero_si256());
    for (std::size_t at = 1; at < n; at += 32) {
        const char* here = p + std::min(at, n - 32);
        detail::takeBreakPairs(lanes, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(here)),
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(here - 1)));
    }
    return detail::shapeOfLanes(lanes, p[n - 1]);
}

// crLfToLfIn 32 bytes a step. A step writes its bytes whole, then the bytes after each Cr it drops,
// 32 of them a store: a store reaches 32 bytes past where it starts, never into bytes still to be
// read once the text has shrunk by 32. The first 32 drops are made a byte at a time.
KIVO_TARGET_AVX2 std::size_t crLfToLfAvx2(char* s, std::size_t n) {
    std::size_t in = 0, out = 0;
    for (; in < n && in - out < 32; ++in)
        if (s[in] != '\r' || in + 1 == n || s[in + 1] != '\n') s[out++] = s[in];
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    for (; n - in >= 64; in += 32) {
        const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + in));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + in + 1));
        auto drops = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(here, cr), _mm256_cmpeq_epi8(next, lf))));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(s + out), here);
        std::size_t dropped = 0;
        for (; drops != 0; drops &= drops - 1, ++dropped) {
            const auto at = static_cast<std::size_t>(std::countr_zero(drops));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(s + out + at - dropped),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + in + at + 1)));
        }
        out += 32 - dropped;
    }
    return crLfToLfFrom(s, n, in, out);
}
#endif

}  // namespace

LineBreakShape lineBreakShapeOf(TextView s) {
#if defined(__SSE2__)
    const Units cr(kCr);
    const Units lf(kLf);
    return shapeOf(s.data(), s.size(), [&](const char16_t* p) { return BreakMasks{cr(p), lf(p)}; });
#else
    return shapeOf(s.data(), s.size(), nullptr);
#endif
}

LineBreakShape lineBreakShapeOf(std::string_view utf8) {
    return detail::lineBreakShapeOf(utf8, simd::fastest());
}

LineBreakShape detail::lineBreakShapeOf(std::string_view utf8, [[maybe_unused]] simd::Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == simd::Kernel::Avx2) return shapeOfBytesAvx2(utf8.data(), utf8.size());
#endif
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    return shapeOf(utf8.data(), utf8.size(), [&](const char* p) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return BreakMasks{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))),
                          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))};
    });
#else
    return shapeOf(utf8.data(), utf8.size(), nullptr);
#endif
}

void crLfToLfIn(std::string& utf8) {
    detail::crLfToLfIn(utf8, simd::fastest());
}

void detail::crLfToLfIn(std::string& utf8, [[maybe_unused]] simd::Kernel kernel) {
    const std::size_t first = utf8.find('\r');
    if (first == npos) return;
#ifdef KIVO_AVX2
    if (kernel == simd::Kernel::Avx2) {
        utf8.resize(first + crLfToLfAvx2(utf8.data() + first, utf8.size() - first));
        return;
    }
#endif
    utf8.resize(crLfToLfFrom(utf8.data(), utf8.size(), first, first));
}

std::size_t lineBreakCountOf(std::string_view utf8) {
    return detail::lineBreakCountOf(utf8, simd::fastest());
}

std::size_t detail::lineBreakCountOf(std::string_view utf8, [[maybe_unused]] simd::Kernel kernel) {
#ifdef KIVO_AVX2
    if (kernel == simd::Kernel::Avx2) return lineBreakCountAvx2(utf8.data(), utf8.size());
#endif
    auto count = static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\n'));
    for (std::size_t cr = utf8.find('\r'); cr != npos; cr = utf8.find('\r', cr + 1))
        count += cr + 1 == utf8.size() || utf8[cr + 1] != '\n';
    return count;
}

namespace {

// The style of a text from its count of Cr and Lf; `allCrsBeforeLf` tells whether every Cr is the
// first half of a CrLf, asked only when it matters.
template <typename AllCrsBeforeLf>
LineBreakStyle styleFromCounts(std::size_t cr, std::size_t lf, AllCrsBeforeLf allCrsBeforeLf) {
    if (cr == 0) return lf == 0 ? LineBreakStyle::None : LineBreakStyle::Lf;
    if (lf == 0) return LineBreakStyle::Cr;
    return cr == lf && allCrsBeforeLf() ? LineBreakStyle::CrLf : LineBreakStyle::Mixed;
}

template <typename Char>
bool allCrsBeforeLf(std::basic_string_view<Char> s) {
    for (std::size_t cr = s.find(Char('\r')); cr != s.npos; cr = s.find(Char('\r'), cr + 1))
        if (cr + 1 == s.size() || s[cr + 1] != Char('\n')) return false;
    return true;
}

}  // namespace

LineBreakStyle lineBreakStyleOf(TextView s) {
    return styleFromCounts(countUnit(s, kCr), countUnit(s, kLf), [&] { return allCrsBeforeLf(s); });
}

LineBreakStyle lineBreakStyleOf(std::string_view utf8) {
    return lineBreakStyleOf(utf8, lineBreakShapeOf(utf8));
}

LineBreakStyle lineBreakStyleOf(std::string_view utf8, const LineBreakShape& shape) {
    if (shape.uniform) {
        if (shape.crLf) return LineBreakStyle::CrLf;
        const bool hasLf = !utf8.empty() && (utf8.back() == '\n' || utf8.find('\n') != utf8.npos);
        return hasLf ? LineBreakStyle::Lf : LineBreakStyle::None;
    }
    return styleFromCounts(static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\r')),
                           static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '\n')),
                           [&] { return allCrsBeforeLf(utf8); });
}

LineBreakStyle combinedStyle(LineBreakStyle a, LineBreakStyle b) {
    if (a == LineBreakStyle::None) return b;
    if (b == LineBreakStyle::None || a == b) return a;
    return LineBreakStyle::Mixed;
}

}  // namespace kivo
