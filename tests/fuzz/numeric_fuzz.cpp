// The numeric value of any text is a number or a run-time error, and the checked conversions
// never let an out-of-range value through.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i)
        text.push_back(data[i] >= 0xF8 ? static_cast<char16_t>(0xFF10 + (data[i] & 7)) : data[i]);
    try {
        const double v = kivo::numericValue(text);
        if (v != v) __builtin_trap();  // never NaN
        try {
            const auto w = kivo::toWhole<std::int16_t>(v);
            if (static_cast<double>(w) - v > 0.5 || v - static_cast<double>(w) > 0.5) __builtin_trap();
        } catch (const kivo::RunTimeError&) {
        }
    } catch (const kivo::RunTimeError&) {
    }
    return 0;
}
