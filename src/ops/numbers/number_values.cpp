#include "ops/numbers/number_values.h"

#include <string>

#include "text/errors.h"
#include "text/numeric.h"

namespace kivo::numbers {

Currency digitsValue(TextView text) {
    if (text.empty()) throw RunTimeError("not a number");
    Currency value;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') throw RunTimeError("not a number");
        value = value * 10 + Currency::fromWhole(c - u'0');
    }
    return value;
}

std::int32_t roundedCount(TextView text) {
    return toWhole<std::int32_t>(numericValue(text));
}

Text numberText(Currency value, int width) {
    std::string digits = value.toString();
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.erase(0, 1);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    if (negative) digits.insert(0, 1, '-');
    return Text(digits.begin(), digits.end());
}

}  // namespace kivo::numbers
