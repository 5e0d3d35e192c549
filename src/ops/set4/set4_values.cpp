#include "ops/set4/set4_values.h"

#include <string>

#include "ops/lists.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo::set4 {
namespace {

Text ascii(const std::string& s) {
    return Text(s.begin(), s.end());
}

}  // namespace

Direction directionOf(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    if (text == u"インクリメント") return Direction::Increment;
    if (text == u"デクリメント") return Direction::Decrement;
    throw RunTimeError("not a direction");
}

Side strictSide(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    if (text == u"左") return Side::Left;
    if (text == u"右") return Side::Right;
    throw RunTimeError("not a side");
}

int zeroFormatWidth(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    if (text.empty() || text.size() > 16 || text.find_first_not_of(u'0') != Text::npos)
        throw RunTimeError("not a number format");
    return static_cast<int>(text.size());
}

int weekdayOf(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    for (int wd = 1; wd <= 7; ++wd)
        if (text == weekdayName(wd)) return wd;
    throw RunTimeError("not a weekday");
}

const Text& listEntry(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    for (const Text& entry : comboList(control).entries)
        if (text == entry) return text;
    throw RunTimeError("not an entry of the list");
}

std::uint8_t byteCount(const Params& params, std::string_view control, int min) {
    return checked<std::uint8_t>(countValue(params, control, min, 999));
}

Currency digitsValue(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    if (text.empty()) throw RunTimeError("not a number");
    Currency value;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') throw RunTimeError("not a number");
        value = value * 10 + Currency::fromWhole(c - u'0');
    }
    return value;
}

std::int32_t roundedCount(const Params& params, std::string_view control) {
    return toWhole<std::int32_t>(numericValue(params.text(control)));
}

bool tickedBox(const Params& params, std::string_view control) {
    const Text& text = params.text(control);
    if (text != u"0" && text != u"1") throw RunTimeError("not a check box value");
    return text == u"1";
}

Text numberText(Currency value, int width) {
    std::string digits = value.toString();
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.erase(0, 1);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return ascii(negative ? "-" + digits : digits);
}

Text decimalText(std::int64_t value) {
    return ascii(std::to_string(value));
}

}  // namespace kivo::set4
