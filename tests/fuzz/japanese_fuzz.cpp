// The scanners for dates and numerals in Japanese text find only what they can read back, never
// overlap and stay inside the line, on any text made of the characters their grammars use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/japanese_dates.h"
#include "text/kanji_numerals.h"

namespace {

// Each byte picks one character, so that short inputs reach deep into the grammars.
constexpr std::u16string_view kAlphabet =
    u"0123456789０１２３/-.,／．年月日元令和平成昭大正明治RHSTMＲ〇零一二三四五六七八九十百千万億兆 あA";

template <typename Found>
void checkPlaces(const std::vector<Found>& found, std::size_t size) {
    std::size_t end = 0;
    for (const Found& f : found) {
        if (f.position < end || f.length == 0 || f.position + f.length > size) __builtin_trap();
        end = f.position + f.length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string line;
    for (std::size_t i = 0; i < size; ++i)
        line.push_back(kAlphabet[data[i] % kAlphabet.size()]);

    const auto dates = kivo::findDates(line);
    checkPlaces(dates, line.size());
    for (const auto& d : dates)
        if (d.kind != kivo::FoundDateKind::DoesNotExist &&
            !kivo::isValidDate(d.date.year, d.date.month, d.date.day))
            __builtin_trap();

    const auto numerals = kivo::findKanjiNumerals(line);
    checkPlaces(numerals, line.size());
    for (const auto& n : numerals) {
        if (kivo::parseKanjiNumeral(std::u16string_view(line).substr(n.position, n.length)) != n.value)
            __builtin_trap();
        if (kivo::parseKanjiNumeral(*kivo::toKanjiWithUnits(n.value)) != n.value) __builtin_trap();
    }

    const auto numbers = kivo::findArabicNumbers(line);
    checkPlaces(numbers, line.size());
    for (const auto& n : numbers)
        if (n.value < 0 || n.value > kivo::kMaxKanjiNumber) __builtin_trap();
    return 0;
}
