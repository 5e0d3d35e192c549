#pragma once

#include <string_view>
#include <vector>

#include "text/lines.h"

namespace kivo {

/// Sorts lines in UTF-16 code-unit order (a prefix before its extensions), ascending or
/// descending; equal lines keep their order in both directions. The same order as
/// std::stable_sort with `a < b` (or `b < a`), in time close to linear for the lines of a text.
void sortLines(std::vector<TextView>& lines, bool descending);
/// The same order for lines of valid UTF-8: that of their UTF-16 forms.
void sortLines(std::vector<std::string_view>& lines, bool descending);

}  // namespace kivo
