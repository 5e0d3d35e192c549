#pragma once

#include <cstddef>
#include <vector>

#include "text/lines.h"

namespace kivo {

/// Finds one fixed text in many lines in time linear in each line, whatever the text: a long
/// search text made of repeats (typed or pasted into a parameter box) would make a plain search
/// quadratic.
class TextSearch {
public:
    /// `pattern` must outlive the search.
    explicit TextSearch(TextView pattern);

    /// The 0-based index of the first occurrence in `s`, or npos. An empty pattern is found at 0.
    std::size_t first(TextView s) const;
    /// The 0-based index of the last occurrence in `s`, or npos. An empty pattern is found at the
    /// end of `s`.
    std::size_t last(TextView s) const;
    bool foundIn(TextView s) const { return first(s) != TextView::npos; }

private:
    TextView m_pattern;
    std::vector<std::size_t> m_forward;   // failure function of the pattern
    std::vector<std::size_t> m_backward;  // failure function of the pattern read backwards
};

}  // namespace kivo
