#include "ops/choices.h"

#include "text/dates.h"

namespace kivo {

std::vector<Choice<Side>> sideChoices() {
    return {{u"左", "left", Side::Left}, {u"右", "right", Side::Right}};
}

std::vector<Choice<Direction>> directionChoices() {
    return {{u"インクリメント", "increment", Direction::Increment},
            {u"デクリメント", "decrement", Direction::Decrement}};
}

std::vector<Choice<int>> zeroFormatChoices() {
    std::vector<Choice<int>> formats;
    for (int width = 1; width <= 16; ++width)
        formats.push_back({Text(static_cast<std::size_t>(width), u'0'), std::to_string(width), width});
    return formats;
}

std::vector<Choice<int>> weekdayChoices() {
    const char* aliases[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    std::vector<Choice<int>> days;
    for (int wd = 1; wd <= 7; ++wd)
        days.push_back({Text(weekdayName(wd)), aliases[wd - 1], wd});
    return days;
}

}  // namespace kivo
