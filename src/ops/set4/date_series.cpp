#include "ops/set4/date_series.h"

#include <array>

#include "ops/set4/set4_values.h"
#include "text/characters.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

enum class Unit { Days, Months, Years };

Unit unitOf(const Params& params) {
    const Text& text = params.text("Combo52");
    if (text == u"日にち") return Unit::Days;
    if (text == u"月") return Unit::Months;
    if (text == u"年") return Unit::Years;
    throw RunTimeError("not a unit");
}

// The separator of each entry of the format list, in list order. The asterisk and the yen mark
// are written with "/" and put in at the end, in place of every "/" of the result.
constexpr std::array<char16_t, 17> kSeparators = {u'/', u'-', u'_', u'.', u',', u'*',  u' ',  u'|', u'+',
                                                  u'=', u'#', u'$', u'%', u'&', u'\'', u'\\', u'@'};

char16_t separatorOf(const Params& params) {
    const Text& format = set4::listEntry(params, "Combo53");
    for (std::size_t i = 0; i < kSeparators.size(); ++i)
        if (format.find(Text(u"「") + kSeparators[i] + u"」") == 0) return kSeparators[i];
    throw RunTimeError("not a date format");
}

int digitsValue(TextView digits) {
    int v = 0;
    for (char16_t c : digits)
        v = v * 10 + (c - u'0');
    return v;
}

// The refusal of a start text that is no date "yyyy/mm/dd" of the years 100 to 9999, in the order
// the checks are made; nothing when it is one.
std::optional<TextView> refusalOf(TextView t) {
    if (t.find_first_of(u"\r\n") != TextView::npos) return u"改行が含まれています。";
    if (t.size() != 10)
        return u"日付の形式が違います「yyyy/mm/dd」の様に4桁の西暦と2桁の月と日にちを入力して下さい。";
    if (t.find_first_not_of(u"0123456789/") != TextView::npos)
        return u"使用できる文字は半角数字および「/スラッシュ」です。";
    std::size_t slashes = 0;
    for (char16_t c : t)
        slashes += c == u'/';
    if (slashes != 2 || t[4] != u'/' || t[7] != u'/') return u"スラッシュの位置を確認してください。";
    const int year = digitsValue(t.substr(0, 4));
    const int month = digitsValue(t.substr(5, 2));
    const int day = digitsValue(t.substr(8, 2));
    if (year < 100) return u"西暦100年～西暦9999年以外は指定できません。";
    if (month < 1 || month > 12) return u"月の設定は01～12の範囲で指定してください。";
    if (day < 1 || day > 31) return u"日にちの設定は01～31の範囲で指定してください。";
    if (!isValidDate(year, month, day)) return u"日付を確認してください。";
    return std::nullopt;
}

Date moved(Date d, Unit unit, std::int64_t by) {
    switch (unit) {
        case Unit::Days:
            return addDays(d, by);
        case Unit::Months:
            return addMonths(d, by);
        case Unit::Years:
            return addYears(d, by);
    }
    throw RunTimeError("not a unit");
}

}  // namespace

std::optional<Text> GenerateDateSeries(TextView upper, const Params& params, RunContext& ctx) {
    const bool increment = params.text("Combo51") == u"インクリメント";
    return runFramed(ctx,
                     increment ? u"西暦9999年以上になる行がある、またはその他のエラーです。"
                               : u"西暦100年以下になる行がある、またはその他のエラーです。",
                     [&]() -> std::optional<Text> {
                         const std::int32_t step = set4::roundedCount(params, "Text23");
                         const std::int32_t lines = set4::roundedCount(params, "Text24");
                         // The count text rule keeps both at 1 or more; the result holds lines + 1 dates.
                         if (step < 1 || lines < 1) throw RunTimeError("count below 1");
                         if (const std::optional<TextView> refusal = refusalOf(upper)) {
                             ctx.inform(*refusal);
                             return std::nullopt;
                         }
                         const Date start{digitsValue(upper.substr(0, 4)), digitsValue(upper.substr(5, 2)),
                                          digitsValue(upper.substr(8, 2))};
                         const int sign = increment ? 1 : -1;
                         const Unit unit = unitOf(params);
                         const char16_t separator = separatorOf(params);

                         // The offset k × step grows by 32-bit additions: the last one, lines × step,
                         // overflows exactly when any does.
                         const std::int32_t lastOffset = checked<std::int32_t>(std::int64_t{lines} * step);
                         if (unit == Unit::Years) {
                             if (sign > 0 && std::int64_t{start.year} + lastOffset > 9999) {
                                 ctx.inform(u"「西暦 + ステップ × 行数」が9999を超えています。");
                                 return std::nullopt;
                             }
                             if (sign < 0 && std::int64_t{start.year} - lastOffset < 100) {
                                 ctx.inform(u"「西暦 - ステップ × 行数」が西暦100年を下回っています。");
                                 return std::nullopt;
                             }
                         }
                         // The dates move one way only, so the last one is the first to leave the range: a
                         // series that would fail there fails at once rather than after building millions of
                         // lines.
                         moved(start, unit, std::int64_t{sign} * lastOffset);

                         const char16_t written = separator == u'*' || separator == u'\\' ? u'/' : separator;
                         Text out = formatDate(start, written);
                         out.append(kCrLf);
                         std::int32_t offset = 0;
                         for (std::int32_t k = 1; k <= lines && !ctx.poll(); ++k) {
                             offset = checkedAdd<std::int32_t>(offset, step);
                             out.append(formatDate(moved(start, unit, std::int64_t{sign} * offset), written));
                             out.append(kCrLf);
                         }
                         if (written != separator) out = replaceAll(out, u"/", Text(1, separator));
                         return out;
                     });
}

}  // namespace kivo
