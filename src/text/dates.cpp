#include "text/dates.h"

#include <chrono>
#include <ctime>

#include "text/errors.h"

namespace kivo {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;  // no such month has a day, so no day of it is valid
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= kFirstDate.year && year <= kLastDate.year && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

// Howard Hinnant's days_from_civil / civil_from_days.
std::int64_t toSerial(Date d) {
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date fromSerial(std::int64_t serial) {
    static const std::int64_t kFirst = toSerial(kFirstDate);
    static const std::int64_t kLast = toSerial(kLastDate);
    if (serial < kFirst || serial > kLast) throw RunTimeError("date out of range");
    const std::int64_t z = serial + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return Date{year, month, day};
}

int weekday(Date d) {
    // 1970/01/01 was a Thursday (5).
    const std::int64_t s = toSerial(d);
    return static_cast<int>(((s % 7 + 7 + 4) % 7) + 1);
}

std::u16string_view weekdayName(int wd) {
    static constexpr std::u16string_view kNames[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    return kNames[((wd - 1) % 7 + 7) % 7];  // any whole number names a weekday, 0 and 8 included
}

Date addDays(Date d, std::int64_t days) {
    const std::int64_t s = toSerial(d);
    std::int64_t target;
    if (__builtin_add_overflow(s, days, &target)) throw RunTimeError("date out of range");
    return fromSerial(target);
}

Date addMonths(Date d, std::int64_t months) {
    std::int64_t index;  // months since year 0
    if (__builtin_add_overflow(static_cast<std::int64_t>(d.year) * 12 + (d.month - 1), months, &index))
        throw RunTimeError("date out of range");
    const std::int64_t year = index >= 0 ? index / 12 : (index - 11) / 12;
    const int month = static_cast<int>(index - year * 12) + 1;
    if (year < kFirstDate.year || year > kLastDate.year) throw RunTimeError("date out of range");
    const int y = static_cast<int>(year);
    const int day = d.day < daysInMonth(y, month) ? d.day : daysInMonth(y, month);
    return Date{y, month, day};
}

Date addYears(Date d, std::int64_t years) {
    std::int64_t months;
    if (__builtin_mul_overflow(years, std::int64_t{12}, &months)) throw RunTimeError("date out of range");
    return addMonths(d, months);
}

std::u16string formatDate(Date d, char16_t separator) {
    auto digits = [](int v, int width) {
        std::u16string s(static_cast<std::size_t>(width), u'0');
        for (int i = width - 1; i >= 0 && v > 0; --i, v /= 10)
            s[static_cast<std::size_t>(i)] = static_cast<char16_t>(u'0' + v % 10);
        return s;
    };
    return digits(d.year, 4) + separator + digits(d.month, 2) + separator + digits(d.day, 2);
}

std::optional<Date> parseDate(std::u16string_view text) {
    int parts[3] = {0, 0, 0};
    int digitsIn[3] = {0, 0, 0};
    int part = 0;
    for (char16_t c : text) {
        if (c == u'/') {
            if (++part > 2) return std::nullopt;
        } else if (c >= u'0' && c <= u'9') {
            if (++digitsIn[part] > 4) return std::nullopt;
            parts[part] = parts[part] * 10 + (c - u'0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digitsIn[0] != 4 || digitsIn[1] == 0 || digitsIn[1] > 2 || digitsIn[2] == 0 ||
        digitsIn[2] > 2)
        return std::nullopt;
    if (parts[0] < 1 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 ||
        parts[2] > daysInMonth(parts[0], parts[1]))
        return std::nullopt;
    return Date{parts[0], parts[1], parts[2]};
}

Date today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace kivo
