#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/lines.h"
#include "text/simd.h"

namespace kivo {

/// Finds one fixed text in many lines in time linear in each line, whatever the text: a long
/// search text made of repeats (typed or pasted into a parameter box) would make a plain search
/// quadratic. Over UTF-16 units, or over the bytes of UTF-8 text.
template <typename Char>
class BasicTextSearch {
public:
    using View = std::basic_string_view<Char>;

    /// `pattern` must outlive the search.
    explicit BasicTextSearch(View pattern);

    /// The 0-based index of the first occurrence in `s`, or npos. An empty pattern is found at 0.
    std::size_t first(View s) const;
    /// first() by the given kernel (which only bytes have a choice of).
    std::size_t first(View s, simd::Kernel kernel) const;
    /// The 0-based index of the last occurrence in `s`, or npos. An empty pattern is found at the
    /// end of `s`.
    std::size_t last(View s) const;
    bool foundIn(View s) const { return first(s) != View::npos; }

private:
    std::size_t firstByKmp(View s) const;

    View m_pattern;
    std::vector<std::size_t> m_forward;   // failure function of the pattern
    std::vector<std::size_t> m_backward;  // failure function of the pattern read backwards
};

using TextSearch = BasicTextSearch<char16_t>;
using ByteSearch = BasicTextSearch<char>;

}  // namespace kivo
