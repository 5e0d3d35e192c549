#include "text/japanese_dates.h"

#include <array>

namespace kivo {
namespace {

constexpr std::array<EraInfo, 5> kEras{{
    {Era::Meiji, u"明治", u'M', {1868, 10, 23}, {1912, 7, 29}},
    {Era::Taisho, u"大正", u'T', {1912, 7, 30}, {1926, 12, 24}},
    {Era::Showa, u"昭和", u'S', {1926, 12, 25}, {1989, 1, 7}},
    {Era::Heisei, u"平成", u'H', {1989, 1, 8}, {2019, 4, 30}},
    {Era::Reiwa, u"令和", u'R', {2019, 5, 1}, kLastDate},
}};

// Japanese text often holds full-width digits, letters and separators; they mean the same.
char16_t folded(char16_t c) {
    return c >= u'\uFF01' && c <= u'\uFF5E' ? static_cast<char16_t>(c - 0xFEE0) : c;
}

bool isDigitAt(std::u16string_view s, std::size_t i) {
    if (i >= s.size()) return false;
    const char16_t c = folded(s[i]);
    return c >= u'0' && c <= u'9';
}

bool isLatinLetter(char16_t c) {
    c = folded(c);
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isSeparator(char16_t c) {
    return c == u'/' || c == u'-' || c == u'.';
}

// A whole run of digits starting at `i` whose length is within the bounds; `i` moves past it.
std::optional<int> readNumber(std::u16string_view s, std::size_t& i, std::size_t minDigits,
                              std::size_t maxDigits) {
    std::size_t end = i;
    int value = 0;
    while (isDigitAt(s, end) && end - i <= maxDigits)
        value = value * 10 + (folded(s[end++]) - u'0');
    if (end - i < minDigits || end - i > maxDigits) return std::nullopt;
    i = end;
    return value;
}

bool readChar(std::u16string_view s, std::size_t& i, char16_t c) {
    if (i >= s.size() || folded(s[i]) != c) return false;
    ++i;
    return true;
}

// A date as written: its era when it has one, and the end of its text.
struct Written {
    std::optional<Era> era;
    int year;
    int month;
    int day;
    std::size_t end;
};

// "m<sep>d" after the year's separator, and nothing after it that would make it a longer number.
std::optional<Written> readSeparatedMonthDay(std::u16string_view s, std::size_t i, char16_t sep, Written w) {
    const auto month = readNumber(s, i, 1, 2);
    if (!month || !readChar(s, i, sep)) return std::nullopt;
    const auto day = readNumber(s, i, 1, 2);
    if (!day || (i < s.size() && folded(s[i]) == sep && isDigitAt(s, i + 1))) return std::nullopt;
    w.month = *month;
    w.day = *day;
    w.end = i;
    return w;
}

// "m月d日" after the year's 年.
std::optional<Written> readKanjiMonthDay(std::u16string_view s, std::size_t i, Written w) {
    const auto month = readNumber(s, i, 1, 2);
    if (!month || !readChar(s, i, u'月')) return std::nullopt;
    const auto day = readNumber(s, i, 1, 2);
    if (!day || !readChar(s, i, u'日')) return std::nullopt;
    w.month = *month;
    w.day = *day;
    w.end = i;
    return w;
}

// yyyy/m/d, yyyy-m-d, yyyy.m.d or yyyy年m月d日 at `i`.
std::optional<Written> readWestern(std::u16string_view s, std::size_t i) {
    if (i > 0 && isDigitAt(s, i - 1)) return std::nullopt;
    const std::size_t start = i;
    const auto year = readNumber(s, i, 4, 4);
    if (!year || i >= s.size()) return std::nullopt;
    const Written w{std::nullopt, *year, 0, 0, 0};
    const char16_t next = folded(s[i]);
    if (next == u'年') return readKanjiMonthDay(s, i + 1, w);
    if (!isSeparator(next)) return std::nullopt;
    if (start >= 2 && folded(s[start - 1]) == next && isDigitAt(s, start - 2)) return std::nullopt;
    return readSeparatedMonthDay(s, i + 1, next, w);
}

// 令和6年1月31日 or 令和元年5月1日 at `i`.
std::optional<Written> readEraName(std::u16string_view s, std::size_t i) {
    for (const EraInfo& e : kEras) {
        if (s.substr(i, e.name.size()) != e.name) continue;
        i += e.name.size();
        std::optional<int> year;
        if (readChar(s, i, u'元'))
            year = 1;
        else
            year = readNumber(s, i, 1, 2);
        if (!year || !readChar(s, i, u'年')) return std::nullopt;
        return readKanjiMonthDay(s, i, Written{e.era, *year, 0, 0, 0});
    }
    return std::nullopt;
}

// R6.1.31, R06/01/31 or H31-4-30 at `i`.
std::optional<Written> readEraLetter(std::u16string_view s, std::size_t i) {
    if (i > 0 && (isLatinLetter(s[i - 1]) || isDigitAt(s, i - 1))) return std::nullopt;
    const char16_t letter = folded(s[i]);
    for (const EraInfo& e : kEras) {
        if (e.letter != letter) continue;
        ++i;
        const auto year = readNumber(s, i, 1, 2);
        if (!year || i >= s.size() || !isSeparator(folded(s[i]))) return std::nullopt;
        const char16_t sep = folded(s[i]);
        return readSeparatedMonthDay(s, i + 1, sep, Written{e.era, *year, 0, 0, 0});
    }
    return std::nullopt;
}

FoundDate meaning(const Written& w, std::size_t start) {
    FoundDate found{start, w.end - start, FoundDateKind::DoesNotExist, Date{}};
    if (!w.era) {
        if (isValidDate(w.year, w.month, w.day)) {
            found.kind = FoundDateKind::Valid;
            found.date = Date{w.year, w.month, w.day};
        }
        return found;
    }
    const auto converted = fromEraDate(EraDate{*w.era, w.year, w.month, w.day});
    if (!converted) return found;
    found.date = converted->date;
    found.kind = converted->fit == EraFit::Inside        ? FoundDateKind::Valid
                 : converted->fit == EraFit::BeforeStart ? FoundDateKind::BeforeEraStart
                                                         : FoundDateKind::PastEraEnd;
    return found;
}

std::u16string decimal(int value, int width) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (digits.size() < static_cast<std::size_t>(width))
        digits.insert(digits.begin(), u'0');
    return digits;
}

std::u16string eraYear(int year) {
    return year == 1 ? std::u16string(u"元") : decimal(year, 1);
}

// Whether a date can start with the character: a digit, an era name's first character or an era
// letter. Most characters of a text are none, and are passed over at once.
bool canStartDate(char16_t c) {
    c = folded(c);
    if (c >= u'0' && c <= u'9') return true;
    for (const EraInfo& e : kEras)
        if (c == e.name.front() || c == e.letter) return true;
    return false;
}

}  // namespace

std::span<const EraInfo> eras() {
    return kEras;
}

const EraInfo& eraInfo(Era era) {
    return kEras[static_cast<std::size_t>(era)];
}

std::optional<EraDate> toEraDate(Date d) {
    for (auto e = kEras.rbegin(); e != kEras.rend(); ++e)
        if (d >= e->first) return EraDate{e->era, d.year - e->first.year + 1, d.month, d.day};
    return std::nullopt;
}

std::optional<EraConversion> fromEraDate(EraDate e) {
    const EraInfo& info = eraInfo(e.era);
    if (e.year < 1) return std::nullopt;
    const int year = info.first.year + e.year - 1;
    if (!isValidDate(year, e.month, e.day)) return std::nullopt;
    const Date d{year, e.month, e.day};
    const EraFit fit = d < info.first  ? EraFit::BeforeStart
                       : d > info.last ? EraFit::PastEnd
                                       : EraFit::Inside;
    return EraConversion{d, fit};
}

std::vector<FoundDate> findDates(std::u16string_view line) {
    std::vector<FoundDate> found;
    for (std::size_t i = 0; i < line.size();) {
        if (!canStartDate(line[i])) {
            ++i;
            continue;
        }
        auto written = readWestern(line, i);
        if (!written) written = readEraName(line, i);
        if (!written) written = readEraLetter(line, i);
        if (!written) {
            ++i;
            continue;
        }
        found.push_back(meaning(*written, i));
        i = written->end;
    }
    return found;
}

std::optional<std::u16string> formatJapaneseDate(Date d, DateForm form, bool withWeekday) {
    std::u16string text;
    const auto era = toEraDate(d);
    switch (form) {
        case DateForm::WesternPadded:
            text = formatDate(d);
            break;
        case DateForm::WesternPlain:
            text = decimal(d.year, 4) + u'/' + decimal(d.month, 1) + u'/' + decimal(d.day, 1);
            break;
        case DateForm::WesternKanji:
            text = decimal(d.year, 4) + u'年' + decimal(d.month, 1) + u'月' + decimal(d.day, 1) + u'日';
            break;
        case DateForm::EraKanji:
            if (!era) return std::nullopt;
            text = std::u16string(eraInfo(era->era).name) + eraYear(era->year) + u'年' + decimal(d.month, 1) +
                   u'月' + decimal(d.day, 1) + u'日';
            break;
        case DateForm::EraLetter:
        case DateForm::EraLetterPadded: {
            if (!era) return std::nullopt;
            const int width = form == DateForm::EraLetterPadded ? 2 : 1;
            text = eraInfo(era->era).letter + decimal(era->year, width) + u'.' + decimal(d.month, width) +
                   u'.' + decimal(d.day, width);
            break;
        }
    }
    if (withWeekday) text += u"（" + std::u16string(weekdayName(weekday(d))) + u"）";
    return text;
}

}  // namespace kivo
