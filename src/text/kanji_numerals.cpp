#include "text/kanji_numerals.h"

#include <array>

namespace kivo {
namespace {

constexpr std::u16string_view kDigits = u"〇一二三四五六七八九";
constexpr std::size_t kMaxDigits = 16;

struct Unit {
    char16_t character;
    std::int64_t value;
};
constexpr std::array<Unit, 3> kSmallUnits{{{u'千', 1000}, {u'百', 100}, {u'十', 10}}};
constexpr std::array<Unit, 3> kLargeUnits{
    {{u'兆', 1'000'000'000'000}, {u'億', 100'000'000}, {u'万', 10'000}}};

std::optional<int> digitValue(char16_t c) {
    if (c == u'零') return 0;
    const std::size_t i = kDigits.find(c);
    return i == std::u16string_view::npos ? std::nullopt : std::optional<int>(static_cast<int>(i));
}

std::optional<std::int64_t> unitValue(char16_t c, const std::array<Unit, 3>& units) {
    for (const Unit& u : units)
        if (u.character == c) return u.value;
    return std::nullopt;
}

bool isNumeralCharacter(char16_t c) {
    return digitValue(c) || unitValue(c, kSmallUnits) || unitValue(c, kLargeUnits);
}

bool isZero(char16_t c) {
    return c == u'〇' || c == u'零';
}

std::optional<std::int64_t> parsePositional(std::u16string_view s) {
    if (s.empty() || s.size() > kMaxDigits) return std::nullopt;
    std::int64_t value = 0;
    for (char16_t c : s) {
        const auto d = digitValue(c);
        if (!d) return std::nullopt;
        value = value * 10 + *d;
    }
    return value;
}

// 1..9999 written with 千, 百 and 十, each unit at most once and in that order, each with an optional
// digit 一..九 before it, and an optional last digit.
std::optional<std::int64_t> parseBelowTenThousand(std::u16string_view s) {
    std::int64_t value = 0;
    std::int64_t lastUnit = 10'000;
    for (std::size_t i = 0; i < s.size();) {
        const auto d = digitValue(s[i]);
        if (d && *d == 0) return std::nullopt;
        const std::int64_t digit = d ? *d : 1;
        if (d) ++i;
        const auto unit = i < s.size() ? unitValue(s[i], kSmallUnits) : std::nullopt;
        if (!unit) {
            if (!d || i != s.size()) return std::nullopt;
            return value + digit;
        }
        if (*unit >= lastUnit) return std::nullopt;
        value += digit * *unit;
        lastUnit = *unit;
        ++i;
    }
    return value > 0 ? std::optional<std::int64_t>(value) : std::nullopt;
}

std::optional<std::int64_t> parseWithUnits(std::u16string_view s) {
    std::int64_t value = 0;
    std::int64_t lastUnit = kMaxKanjiNumber;
    std::size_t groupStart = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto unit = unitValue(s[i], kLargeUnits);
        if (!unit) continue;
        const auto group = parseBelowTenThousand(s.substr(groupStart, i - groupStart));
        if (!group || *unit >= lastUnit) return std::nullopt;
        value += *group * *unit;
        lastUnit = *unit;
        groupStart = i + 1;
    }
    if (groupStart == s.size()) return value;
    const auto last = parseBelowTenThousand(s.substr(groupStart));
    return last ? std::optional<std::int64_t>(value + *last) : std::nullopt;
}

bool hasUnit(std::u16string_view s) {
    for (char16_t c : s)
        if (unitValue(c, kSmallUnits) || unitValue(c, kLargeUnits)) return true;
    return false;
}

bool inRange(std::int64_t value) {
    return value >= 0 && value <= kMaxKanjiNumber;
}

// 1..9999 with 千, 百 and 十 (no 一 before them).
std::u16string belowTenThousand(std::int64_t value) {
    std::u16string text;
    for (const Unit& u : kSmallUnits) {
        const std::int64_t digit = value / u.value % 10;
        if (digit == 0) continue;
        if (digit > 1) text += kDigits[static_cast<std::size_t>(digit)];
        text += u.character;
    }
    if (value % 10 != 0) text += kDigits[static_cast<std::size_t>(value % 10)];
    return text;
}

bool isArabicDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

int arabicDigitValue(char16_t c) {
    return c <= u'9' ? c - u'0' : c - u'０';
}

bool joinsDigits(std::u16string_view line, std::size_t separator, std::size_t digit) {
    return separator < line.size() && digit < line.size() &&
           (line[separator] == u'.' || line[separator] == u',') && isArabicDigit(line[digit]);
}

}  // namespace

std::optional<std::int64_t> parseKanjiNumeral(std::u16string_view text) {
    return hasUnit(text) ? parseWithUnits(text) : parsePositional(text);
}

std::optional<std::u16string> toKanjiDigits(std::int64_t value, std::size_t minDigits) {
    if (!inRange(value)) return std::nullopt;
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[static_cast<std::size_t>(value % 10)]);
        value /= 10;
    } while (value > 0);
    if (text.size() < minDigits) text.insert(0, minDigits - text.size(), u'〇');
    return text;
}

std::optional<std::u16string> toKanjiWithUnits(std::int64_t value) {
    if (!inRange(value)) return std::nullopt;
    if (value == 0) return std::u16string(u"〇");
    std::u16string text;
    for (const Unit& u : kLargeUnits) {
        const std::int64_t group = value / u.value % 10'000;
        if (group == 0) continue;
        // 一万, not 万: a large unit always has its number.
        text += group == 1 ? std::u16string(u"一") : belowTenThousand(group);
        text += u.character;
    }
    return text + belowTenThousand(value % 10'000);
}

std::u16string toArabicDigits(std::int64_t value, bool fullWidth, std::size_t minDigits) {
    const char16_t zero = fullWidth ? u'０' : u'0';
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(zero + value % 10));
        value /= 10;
    } while (value > 0);
    if (text.size() < minDigits) text.insert(0, minDigits - text.size(), zero);
    return text;
}

std::vector<FoundNumber> findKanjiNumerals(std::u16string_view line) {
    std::vector<FoundNumber> found;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t end = i;
        while (end < line.size() && isNumeralCharacter(line[end]))
            ++end;
        if (end == i) {
            ++i;
            continue;
        }
        const std::u16string_view run = line.substr(i, end - i);
        bool onlyZeros = true;
        for (char16_t c : run)
            onlyZeros = onlyZeros && isZero(c);
        const auto value = parseKanjiNumeral(run);
        if (run.size() >= 2 && !onlyZeros && value) found.push_back({i, run.size(), *value, !hasUnit(run)});
        i = end;
    }
    return found;
}

std::vector<FoundNumber> findArabicNumbers(std::u16string_view line) {
    std::vector<FoundNumber> found;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t end = i;
        std::int64_t value = 0;
        while (end < line.size() && isArabicDigit(line[end])) {
            if (end - i < kMaxDigits) value = value * 10 + arabicDigitValue(line[end]);
            ++end;
        }
        if (end == i) {
            ++i;
            continue;
        }
        const bool joined = (i >= 2 && joinsDigits(line, i - 1, i - 2)) || joinsDigits(line, end, end + 1);
        if (!joined && end - i <= kMaxDigits) found.push_back({i, end - i, value, true});
        i = end;
    }
    return found;
}

}  // namespace kivo
