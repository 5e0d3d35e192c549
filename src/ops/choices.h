#pragma once

#include <vector>

#include "ops/operation.h"
#include "text/sides.h"

// Lists that several operations share, with their typed values and English aliases.
namespace kivo {

enum class Direction { Increment, Decrement };

/// "左", "右".
std::vector<Choice<Side>> sideChoices();

/// "インクリメント", "デクリメント".
std::vector<Choice<Direction>> directionChoices();

/// The zero formats "0" … sixteen "0", as their widths 1 to 16.
std::vector<Choice<int>> zeroFormatChoices();

/// "日" … "土", as the weekday numbers 1 (Sunday) to 7.
std::vector<Choice<int>> weekdayChoices();

}  // namespace kivo
