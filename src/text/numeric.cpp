#include "text/numeric.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace kivo {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The window application takes the user's locale at start-up, and a locale whose decimal point
// is "," would make plain strtod stop at the ".": the number is always read in the C locale.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

double numericValue(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;

    std::string number;  // the ASCII prefix that forms the number, handed to strtod for exactness
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        number.push_back(static_cast<char>(text[i++]));
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digits = true;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number.push_back(static_cast<char>(text[i]));
    }
    if (!digits) return 0.0;

    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            exponent.push_back(static_cast<char>(text[j++]));
        const std::size_t firstDigit = j;
        while (j < text.size() && isDigit(text[j]))
            exponent.push_back(static_cast<char>(text[j++]));
        if (j > firstDigit) number += exponent;
    }
    const double v = strtod_l(number.c_str(), nullptr, cLocale());
    if (!std::isfinite(v)) throw RunTimeError("overflow");
    return v;
}

}  // namespace kivo
