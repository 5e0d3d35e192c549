#pragma once

#include <cstdint>
#include <string_view>

namespace kivo {

enum class Side { Left, Right };

/// The side a side combo names: its left entry ("左", or "左側" for the combos that say so) is the
/// left, any other text the right, as the dispatcher reads these combos.
inline Side sideOf(std::u16string_view comboText, std::u16string_view leftEntry = u"左") {
    return comboText == leftEntry ? Side::Left : Side::Right;
}

/// The 1-based position of the p-th character from the right of a line of length n (may be 0 or
/// negative when p exceeds n: callers decide what that means).
inline std::int64_t positionFromRight(std::int64_t n, std::int64_t p) {
    return n - p + 1;
}

}  // namespace kivo
