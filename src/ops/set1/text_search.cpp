#include "ops/set1/text_search.h"

namespace kivo {
namespace {

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
// completely, or npos.
template <typename PatternAt, typename TextAt>
std::size_t matchEnd(const std::vector<std::size_t>& f, std::size_t m, PatternAt p, std::size_t n, TextAt t) {
    const auto first = p(0);
    for (std::size_t i = 0, k = 0; i < n; ++i) {
        // Outside a partial match only the pattern's first unit can start one: step over the
        // rest in a tight loop, as the general step would, one unit at a time.
        if (k == 0) {
            while (i < n && t(i) != first)
                ++i;
            if (i == n) break;
        }
        while (k > 0 && t(i) != p(k))
            k = f[k - 1];
        if (t(i) == p(k)) ++k;
        if (k == m) return i + 1;
    }
    return TextView::npos;
}

}  // namespace

TextSearch::TextSearch(TextView pattern) : m_pattern(pattern) {
    const std::size_t m = pattern.size();
    m_forward = failureFunction(m, [&](std::size_t i) { return pattern[i]; });
    m_backward = failureFunction(m, [&](std::size_t i) { return pattern[m - 1 - i]; });
}

std::size_t TextSearch::first(TextView s) const {
    const std::size_t m = m_pattern.size();
    if (m == 0) return 0;
    if (m > s.size()) return TextView::npos;
    const std::size_t end = matchEnd(
        m_forward, m, [&](std::size_t i) { return m_pattern[i]; }, s.size(),
        [&](std::size_t i) { return s[i]; });
    return end == TextView::npos ? end : end - m;
}

std::size_t TextSearch::last(TextView s) const {
    const std::size_t m = m_pattern.size();
    const std::size_t n = s.size();
    if (m == 0) return n;
    if (m > n) return TextView::npos;
    const std::size_t read = matchEnd(
        m_backward, m, [&](std::size_t i) { return m_pattern[m - 1 - i]; }, n,
        [&](std::size_t i) { return s[n - 1 - i]; });
    return read == TextView::npos ? read : n - read;
}

}  // namespace kivo
