#include "text/holidays.h"

#include <cstdint>

#include "text/errors.h"

namespace kivo {
namespace {

constexpr int kMonday = 2;
constexpr int kSunday = 1;
constexpr int kSaturday = 7;

// Days that were holidays once, each by a law of its own.
struct OneOff {
    Date date;
    std::u16string_view name;
};
constexpr OneOff kOneOffs[] = {
    {{1959, 4, 10}, u"皇太子明仁親王の結婚の儀"},
    {{1989, 2, 24}, u"昭和天皇の大喪の礼"},
    {{1990, 11, 12}, u"即位礼正殿の儀"},
    {{1993, 6, 9}, u"皇太子徳仁親王の結婚の儀"},
    {{2019, 5, 1}, u"即位の日"},
    {{2019, 10, 22}, u"即位礼正殿の儀"},
};

// The first days of the substitute-holiday rule, of the rule for a day between two holidays, and
// of the substitute rule that skips over consecutive holidays.
constexpr Date kSubstituteFrom{1973, 4, 12};
constexpr Date kBetweenFrom{1985, 12, 27};
constexpr Date kConsecutiveSubstituteFrom{2007, 1, 1};

int nthMonday(int year, int month, int n) {
    const int first = weekday(Date{year, month, 1});
    return 1 + (kMonday - first + 7) % 7 + 7 * (n - 1);
}

// The usual approximation of the equinoxes, in millionths of a day: the day in the month of the
// equinox seen from Japan, valid from 1900 to 2099. The leap-year term is truncated towards zero,
// as the published formula computes it.
int equinoxDay(int year, std::int64_t before1980, std::int64_t from1980) {
    const bool early = year < 1980;
    const std::int64_t leapDays = early ? (year - 1983) / 4 : (year - 1980) / 4;
    const std::int64_t v = (early ? before1980 : from1980) + 242194LL * (year - 1980) - leapDays * 1000000;
    return static_cast<int>(v / 1000000);
}

int vernalEquinox(int year) {
    return equinoxDay(year, 20835700, 20843100);
}

int autumnalEquinox(int year) {
    return equinoxDay(year, 23258800, 23248800);
}

// 海の日, スポーツの日 and 山の日 moved for the Olympic Games of 2020, held in 2021.
int marineDay(int year) {
    if (year == 2020) return 23;
    if (year == 2021) return 22;
    return year < 2003 ? 20 : nthMonday(year, 7, 3);
}

int mountainDay(int year) {
    if (year == 2020) return 10;
    if (year == 2021) return 8;
    return 11;
}

std::optional<std::u16string_view> sportsDay(Date d) {
    if ((d.year == 2020 && d.month == 7 && d.day == 24) || (d.year == 2021 && d.month == 7 && d.day == 23))
        return u"スポーツの日";
    if (d.month != 10 || d.year < 1966 || d.year == 2020 || d.year == 2021) return std::nullopt;
    if (d.day != (d.year < 2000 ? 10 : nthMonday(d.year, 10, 2))) return std::nullopt;
    return d.year < 2020 ? u"体育の日" : u"スポーツの日";
}

std::optional<std::u16string_view> dayOfApril29(int year) {
    if (year < 1989) return u"天皇誕生日";
    return year < 2007 ? u"みどりの日" : u"昭和の日";
}

// A 国民の祝日 or a one-off holiday.
std::optional<std::u16string_view> nationalHoliday(Date d) {
    for (const OneOff& o : kOneOffs)
        if (o.date == d) return o.name;
    if (auto sports = sportsDay(d)) return sports;
    const int y = d.year;
    switch (d.month) {
        case 1:
            if (d.day == 1) return u"元日";
            if (d.day == (y < 2000 ? 15 : nthMonday(y, 1, 2))) return u"成人の日";
            break;
        case 2:
            if (d.day == 11 && y >= 1967) return u"建国記念の日";
            if (d.day == 23 && y >= 2020) return u"天皇誕生日";
            break;
        case 3:
            if (d.day == vernalEquinox(y)) return u"春分の日";
            break;
        case 4:
            if (d.day == 29) return dayOfApril29(y);
            break;
        case 5:
            if (d.day == 3) return u"憲法記念日";
            if (d.day == 4 && y >= 2007) return u"みどりの日";
            if (d.day == 5) return u"こどもの日";
            break;
        case 7:
            if (y >= 1996 && d.day == marineDay(y)) return u"海の日";
            break;
        case 8:
            if (y >= 2016 && d.day == mountainDay(y)) return u"山の日";
            break;
        case 9:
            if (y >= 1966 && d.day == (y < 2003 ? 15 : nthMonday(y, 9, 3))) return u"敬老の日";
            if (d.day == autumnalEquinox(y)) return u"秋分の日";
            break;
        case 11:
            if (d.day == 3) return u"文化の日";
            if (d.day == 23) return u"勤労感謝の日";
            break;
        case 12:
            if (d.day == 23 && y >= 1989 && y <= 2018) return u"天皇誕生日";
            break;
        default:
            break;
    }
    return std::nullopt;
}

bool isNationalHoliday(Date d) {
    return nationalHoliday(d).has_value();
}

// Until 2006 only the day after a Sunday holiday; from 2007 the first day after it that is no
// 国民の祝日, so that 5/3 on a Sunday gives 5/6.
bool isSubstituteHoliday(Date d) {
    Date before = addDays(d, -1);
    if (before < kSubstituteFrom) return false;
    if (d < kConsecutiveSubstituteFrom) return weekday(before) == kSunday && isNationalHoliday(before);
    for (; isNationalHoliday(before); before = addDays(before, -1))
        if (weekday(before) == kSunday) return true;
    return false;
}

// A day other than a Sunday between two 国民の祝日.
bool isDayBetweenHolidays(Date d) {
    return d >= kBetweenFrom && weekday(d) != kSunday && isNationalHoliday(addDays(d, -1)) &&
           isNationalHoliday(addDays(d, 1));
}

bool isYearEnd(Date d) {
    return (d.month == 12 && d.day >= 29) || (d.month == 1 && d.day <= 3);
}

void requireKnown(Date d) {
    if (!holidaysKnown(d)) throw RunTimeError("holidays of this year are not known");
}

}  // namespace

bool holidaysKnown(Date d) {
    return d.year >= kFirstHolidayYear && d.year <= kLastHolidayYear;
}

std::optional<std::u16string_view> holidayName(Date d) {
    if (!holidaysKnown(d)) return std::nullopt;
    if (auto name = nationalHoliday(d)) return name;
    if (isSubstituteHoliday(d)) return u"振替休日";
    if (isDayBetweenHolidays(d)) return u"国民の休日";
    return std::nullopt;
}

bool isBusinessDay(Date d, bool yearEndOff) {
    const int wd = weekday(d);
    if (wd == kSaturday || wd == kSunday || (yearEndOff && isYearEnd(d))) return false;
    return !holidayName(d).has_value();
}

std::vector<Date> businessDaysForMonths(Date start, int months, bool yearEndOff) {
    std::vector<Date> days;
    const Date end = addMonths(start, months);
    for (Date d = start; d < end; d = addDays(d, 1)) {
        requireKnown(d);
        if (isBusinessDay(d, yearEndOff)) days.push_back(d);
    }
    return days;
}

std::vector<Date> businessDays(Date start, int count, bool yearEndOff) {
    std::vector<Date> days;
    for (Date d = start; static_cast<int>(days.size()) < count; d = addDays(d, 1)) {
        requireKnown(d);
        if (isBusinessDay(d, yearEndOff)) days.push_back(d);
    }
    return days;
}

}  // namespace kivo
