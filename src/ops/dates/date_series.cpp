#include "ops/dates/date_series.h"

#include <vector>

#include "ops/numbers/number_values.h"
#include "text/characters.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

// The entries of the format list, each with its separator. The asterisk and the yen mark are
// written with "/" and put in at the end, in place of every "/" of the result.
std::vector<Choice<char16_t>> formatChoices() {
    return {{u"「/」 スラッシュ(yyyy/mm/dd)", "slash", u'/'},
            {u"「-」 ハイフン(yyyy-mm-dd)", "hyphen", u'-'},
            {u"「_」 アンダースコア(yyyy_mm_dd)", "underscore", u'_'},
            {u"「.」 ドット(yyyy.mm.dd)", "dot", u'.'},
            {u"「,」 カンマ(yyyy,mm,dd)", "comma", u','},
            {u"「*」 アスタリスク(yyyy*mm*dd)", "asterisk", u'*'},
            {u"「 」 半角スペース(yyyy mm dd)", "space", u' '},
            {u"「|」 バーティカルバー(yyyy|mm|dd)", "bar", u'|'},
            {u"「+」 プラス(yyyy+mm+dd)", "plus", u'+'},
            {u"「=」 イコール(yyyy=mm=dd)", "equals", u'='},
            {u"「#」 シャープ(yyyy#mm#dd)", "hash", u'#'},
            {u"「$」 ドル(yyyy$mm$dd)", "dollar", u'$'},
            {u"「%」 パーセント(yyyy%mm%dd)", "percent", u'%'},
            {u"「&」 アンパサンド(yyyy&mm&dd)", "ampersand", u'&'},
            {u"「'」 アポストロフィー(yyyy'mm'dd)", "apostrophe", u'\''},
            {u"「\\」 円マーク(yyyy\\mm\\dd)", "yen", u'\\'},
            {u"「@」 アットマーク(yyyy@mm@dd)", "at", u'@'}};
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

Date moved(Date d, DateUnit unit, std::int64_t by) {
    switch (unit) {
        case DateUnit::Days:
            return addDays(d, by);
        case DateUnit::Months:
            return addMonths(d, by);
        case DateUnit::Years:
            return addYears(d, by);
    }
    throw RunTimeError("not a unit");
}

}  // namespace

std::optional<Text> GenerateDateSeries(TextView upper, const DateSeriesOptions& options, RunContext& ctx) {
    const std::int32_t step = numbers::roundedCount(options.step);
    const std::int32_t lines = numbers::roundedCount(options.lines);
    // The count text rule keeps both at 1 or more; the result holds lines + 1 dates.
    if (step < 1 || lines < 1) throw RunTimeError("count below 1");
    if (const std::optional<TextView> refusal = refusalOf(upper)) {
        ctx.inform(*refusal);
        return std::nullopt;
    }
    const Date start{digitsValue(upper.substr(0, 4)), digitsValue(upper.substr(5, 2)),
                     digitsValue(upper.substr(8, 2))};
    const int sign = options.direction == Direction::Increment ? 1 : -1;
    const DateUnit unit = options.unit;
    const char16_t separator = options.separator;

    // The offset k × step grows by 32-bit additions: the last one, lines × step,
    // overflows exactly when any does.
    const std::int32_t lastOffset = checked<std::int32_t>(std::int64_t{lines} * step);
    if (unit == DateUnit::Years) {
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

    // Every date takes ten units and a line break.
    ctx.checkResultLength((std::uint64_t{static_cast<std::uint32_t>(lines)} + 1) * 12);
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
}

constinit const LazyOperation kGenerateDateSeries(31, "date-series", [] {
    return declare<DateSeriesOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(4)",
                 .description =
                     "Lists dates from the date of the text, a number of days, months or years apart",
                 .japaneseDescription =
                     u"テキストの日付から、日・月・年単位で増やすか減らした日付を並べます。",
                 .caption = u"…を…する(&I)",
                 .example = {.input = u"2024/01/31",
                             .options = {"--unit=months", "--lines=3"},
                             .output = u"2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n2024/04/30\r\n"}},
        .params = {listParam(&DateSeriesOptions::direction, "direction", directionChoices(),
                             OtherText::IsLastEntry)
                       .alias("Combo51")
                       .purpose(u"増減", "Count up or down"),
                   listParam(&DateSeriesOptions::unit, "unit",
                             {{u"日にち", "days", DateUnit::Days},
                              {u"月", "months", DateUnit::Months},
                              {u"年", "years", DateUnit::Years}})
                       .alias("Combo52")
                       .purpose(u"単位", "Unit"),
                   listParam(&DateSeriesOptions::separator, "format", formatChoices())
                       .alias("Combo53")
                       .purpose(u"日付の形式", "Date format"),
                   numberTextParam(&DateSeriesOptions::step, "step", 1, 2147483647, u"1")
                       .alias("Text23")
                       .purpose(u"ステップ", "Step"),
                   numberTextParam(&DateSeriesOptions::lines, "lines", 1, 2147483647, u"2")
                       .alias("Text24")
                       .purpose(u"追加する行数", "Number of lines to add")},
        .preCheck = [](const DateSeriesOptions& o) -> std::optional<Text> {
            if (o.step.empty()) return Text(u"ステップを入力して下さい。");
            if (o.lines.empty()) return Text(u"追加する行数を入力して下さい。");
            return std::nullopt;
        },
        .errorMessageOf = [](const DateSeriesOptions& o, const UnreadOptions&) -> TextView {
            return o.direction == Direction::Increment
                       ? u"西暦9999年以上になる行がある、またはその他のエラーです。"
                       : u"西暦100年以下になる行がある、またはその他のエラーです。";
        },
        .run = GenerateDateSeries,
    });
});

}  // namespace kivo
