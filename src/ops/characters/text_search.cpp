#include "ops/characters/text_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "text/simd_intrinsics.h"

namespace kivo {
namespace {

// The first position of `unit` at or after `from`, and the last position of `unit`, or npos: a
// block at a time.
std::size_t nextUnit(TextView s, char16_t unit, std::size_t from) {
    return findUnit(s, unit, from);
}
std::size_t nextUnit(std::string_view s, char unit, std::size_t from) {
    return s.find(unit, from);
}
std::size_t lastUnit(TextView s, char16_t unit) {
    return findLastUnit(s, unit);
}
std::size_t lastUnit(std::string_view s, char unit) {
    return s.rfind(unit);
}

// Knuth–Morris–Pratt: at(k) is the k-th unit of the pattern in the chosen reading direction.
template <typename At>
std::vector<std::size_t> failureFunction(std::size_t m, At at) {
    std::vector<std::size_t> f(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && at(i) != at(k))
            k = f[k - 1];
        if (at(i) == at(k)) ++k;
        f[i] = k;
    }
    return f;
}

// The number of units read from `s` (in the chosen direction) when the pattern first matches
// completely, or npos. `skip(i)` is the first position from i on (in that direction) that holds
// the pattern's first unit, or n.
template <typename PatternAt, typename TextAt, typename Skip>
std::size_t matchEnd(const std::vector<std::size_t>& f, std::size_t m, PatternAt p, std::size_t n, TextAt t,
                     Skip skip) {
    for (std::size_t i = 0, k = 0; i < n; ++i) {
        // Outside a partial match only the pattern's first unit can start one: the rest is
        // stepped over a block at a time, as the general step would one unit at a time.
        if (k == 0) {
            i = skip(i);
            if (i == n) break;
        }
        while (k > 0 && t(i) != p(k))
            k = f[k - 1];
        if (t(i) == p(k)) ++k;
        if (k == m) return i + 1;
    }
    return std::string_view::npos;
}

}  // namespace

template <typename Char>
BasicTextSearch<Char>::BasicTextSearch(View pattern) : m_pattern(pattern) {
    const std::size_t m = pattern.size();
    m_forward = failureFunction(m, [&](std::size_t i) { return pattern[i]; });
    m_backward = failureFunction(m, [&](std::size_t i) { return pattern[m - 1 - i]; });
}

template <typename Char>
std::size_t BasicTextSearch<Char>::first(View s) const {
    return first(s, simd::fastest());
}

template <typename Char>
std::size_t BasicTextSearch<Char>::first(View s, simd::Kernel) const {
    return firstByKmp(s);
}

template <typename Char>
std::size_t BasicTextSearch<Char>::firstByKmp(View s) const {
    const std::size_t m = m_pattern.size();
    if (m == 0) return 0;
    if (m > s.size()) return View::npos;
    const std::size_t n = s.size();
    const Char first = m_pattern.front();
    const std::size_t end = matchEnd(
        m_forward, m, [&](std::size_t i) { return m_pattern[i]; }, n, [&](std::size_t i) { return s[i]; },
        [&](std::size_t i) {
            const std::size_t at = nextUnit(s, first, i);
            return at == View::npos ? n : at;
        });
    return end == View::npos ? end : end - m;
}

template <typename Char>
std::size_t BasicTextSearch<Char>::last(View s) const {
    const std::size_t m = m_pattern.size();
    const std::size_t n = s.size();
    if (m == 0) return n;
    if (m > n) return View::npos;
    const Char first = m_pattern.back();
    const std::size_t read = matchEnd(
        m_backward, m, [&](std::size_t i) { return m_pattern[m - 1 - i]; }, n,
        [&](std::size_t i) { return s[n - 1 - i]; },
        [&](std::size_t i) {
            // Read backwards, position i is unit n-1-i: the last one before n-i.
            const std::size_t at = lastUnit(s.substr(0, n - i), first);
            return at == View::npos ? n : n - 1 - at;
        });
    return read == View::npos ? read : n - read;
}

namespace {

#if defined(__SSE2__)
// Bytes are searched for a block at a time: the positions where both the pattern's first and its
// last byte stand are compared whole. On text built to make those comparisons fail late, once
// they have cost more than a few times the bytes passed, the linear search takes over.
bool comparisonsPayOff(std::size_t compared, std::size_t passed) {
    return compared <= 4 * passed + 4096;
}

// The first of the candidates (a bit each for the positions from `i`) where the pattern stands, or
// npos; the bytes compared are counted.
std::size_t firstMatchAmong(std::uint32_t candidates, std::string_view s, std::size_t i,
                            std::string_view pattern, std::size_t& compared) {
    for (; candidates != 0; candidates &= candidates - 1) {
        const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(candidates));
        if (std::memcmp(s.data() + at + 1, pattern.data() + 1, pattern.size() - 2) == 0) return at;
        compared += pattern.size();
    }
    return std::string_view::npos;
}
#endif

// The first match while the comparisons pay off, 32 positions a step, from `i`; npos with `i` where
// the step left off when there is none.
std::size_t firstMatchByBlocks([[maybe_unused]] std::string_view s, [[maybe_unused]] std::string_view pattern,
                               [[maybe_unused]] std::size_t& i) {
#if defined(__SSE2__)
    std::size_t compared = 0;
    const std::size_t m = pattern.size();
    const __m128i first = _mm_set1_epi8(pattern.front());
    const __m128i last = _mm_set1_epi8(pattern.back());
    // The positions k.. where the first byte stands and, m - 1 further on, the last.
    const auto candidatesAt = [&](std::size_t k) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + k));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + k + m - 1));
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
    };
    for (; i + m - 1 + 32 <= s.size() && comparisonsPayOff(compared, i); i += 32) {
        const std::uint32_t candidates = candidatesAt(i) | candidatesAt(i + 16) << 16;
        if (const std::size_t at = firstMatchAmong(candidates, s, i, pattern, compared); at != s.npos)
            return at;
    }
#endif
    return s.npos;
}

#ifdef KIVO_AVX2
KIVO_AVX2_HELPER std::uint32_t candidatesAvx2(const char* p, std::size_t m, __m256i first, __m256i last) {
    const __m256i starts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i ends = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + m - 1));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(starts, first), _mm256_cmpeq_epi8(ends, last))));
}

// firstMatchByBlocks with AVX2 registers, two a step while 64 positions are left: most steps find
// no candidate at all.
KIVO_TARGET_AVX2 std::size_t firstMatchByBlocksAvx2(std::string_view s, std::string_view pattern,
                                                    std::size_t& i) {
    std::size_t compared = 0;
    const std::size_t m = pattern.size();
    const __m256i first = _mm256_set1_epi8(pattern.front());
    const __m256i last = _mm256_set1_epi8(pattern.back());
    for (; i + m - 1 + 64 <= s.size() && comparisonsPayOff(compared, i); i += 64) {
        const std::uint32_t low = candidatesAvx2(s.data() + i, m, first, last);
        const std::uint32_t high = candidatesAvx2(s.data() + i + 32, m, first, last);
        if ((low | high) == 0) continue;
        if (const std::size_t at = firstMatchAmong(low, s, i, pattern, compared); at != s.npos) return at;
        if (const std::size_t at = firstMatchAmong(high, s, i + 32, pattern, compared); at != s.npos)
            return at;
    }
    for (; i + m - 1 + 32 <= s.size() && comparisonsPayOff(compared, i); i += 32) {
        const std::uint32_t candidates = candidatesAvx2(s.data() + i, m, first, last);
        if (const std::size_t at = firstMatchAmong(candidates, s, i, pattern, compared); at != s.npos)
            return at;
    }
    return s.npos;
}
#endif

}  // namespace

template <>
std::size_t BasicTextSearch<char>::first(View s, [[maybe_unused]] simd::Kernel kernel) const {
    const std::size_t m = m_pattern.size();
    if (m == 0) return 0;
    if (m > s.size()) return View::npos;
    if (m == 1) return s.find(m_pattern.front());
    std::size_t i = 0;
#ifdef KIVO_AVX2
    const std::size_t found = kernel == simd::Kernel::Avx2 ? firstMatchByBlocksAvx2(s, m_pattern, i)
                                                           : firstMatchByBlocks(s, m_pattern, i);
#else
    const std::size_t found = firstMatchByBlocks(s, m_pattern, i);
#endif
    if (found != View::npos) return found;
    const std::size_t rest = firstByKmp(s.substr(i));
    return rest == View::npos ? rest : i + rest;
}

template class BasicTextSearch<char16_t>;
template class BasicTextSearch<char>;

}  // namespace kivo
