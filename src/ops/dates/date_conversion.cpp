#include "ops/dates/date_conversion.h"

#include "ops/found_places.h"
#include "ops/line_walk.h"

namespace kivo {
namespace {

// A weekday written right after a date, "（水）" or "(水)": the length it takes, or 0.
std::size_t writtenWeekdayLength(TextView line, std::size_t at) {
    if (at + 3 > line.size()) return 0;
    const char16_t open = line[at];
    const char16_t close = line[at + 2];
    const bool fullWidth = open == u'（' && close == u'）';
    const bool halfWidth = open == u'(' && close == u')';
    if (!fullWidth && !halfWidth) return 0;
    return TextView(u"日月火水木金土").find(line[at + 1]) == TextView::npos ? 0 : 3;
}

struct Reports {
    bool anyDate = false;
    FoundPlaces missing{u"存在しない日付をそのままにしました"};
    FoundPlaces outsideEra{u"元号の期間外の日付を元年から数えて変換しました"};
    FoundPlaces beforeMeiji{u"明治より前の日付は和暦にできないため、そのままにしました"};
};

void convertLine(TextView line, std::size_t number, const DateConversionOptions& options, Text& out,
                 Reports& reports, const RunContext& ctx) {
    std::size_t copied = 0;
    for (const FoundDate& found : findDates(line)) {
        reports.anyDate = true;
        const TextView written = line.substr(found.position, found.length);
        const std::size_t column = found.position + 1;
        std::optional<Text> converted;
        if (found.kind == FoundDateKind::DoesNotExist) {
            reports.missing.add(number, column, written);
        } else if (!(converted = formatJapaneseDate(found.date, options.form, options.weekday))) {
            reports.beforeMeiji.add(number, column, written);
        } else if (found.kind != FoundDateKind::Valid) {
            reports.outsideEra.add(number, column, written);
        }
        if (!converted) continue;
        // An era form with its weekday is twice a short date: asked before the line is done.
        ctx.checkResultLength(out.size() + found.position - copied + converted->size());
        std::size_t end = found.position + found.length;
        // The weekday the output writes takes the place of one already there.
        if (options.weekday) end += writtenWeekdayLength(line, end);
        out.append(line.substr(copied, found.position - copied));
        out += *converted;
        copied = end;
    }
    out.append(line.substr(copied));
    ctx.checkResultLength(out.size());
}

}  // namespace

std::vector<Choice<DateForm>> dateFormChoices() {
    return {{u"西暦(2024/01/31)", "yyyy/mm/dd", DateForm::WesternPadded},
            {u"西暦(2024/1/31)", "yyyy/m/d", DateForm::WesternPlain},
            {u"西暦(2024年1月31日)", "kanji", DateForm::WesternKanji},
            {u"和暦(令和6年1月31日)", "era", DateForm::EraKanji},
            {u"和暦(R6.1.31)", "era-letter", DateForm::EraLetter},
            {u"和暦(R06.01.31)", "era-letter-padded", DateForm::EraLetterPadded}};
}

std::optional<Text> ConvertDateForms(TextView upper, const DateConversionOptions& options, RunContext& ctx) {
    Text out;
    out.reserve(upper.size() + upper.size() / 8);
    Reports reports;
    const bool walked = walkLinesAsTheyAre(
        upper, ctx,
        [&](TextView line, std::size_t number) { convertLine(line, number, options, out, reports, ctx); },
        [&](TextView lineBreak) { out += lineBreak; });
    if (!walked || ctx.cancelled()) return std::nullopt;
    if (!reports.anyDate) ctx.inform(u"変換する日付はありませんでした。");
    reports.missing.informIfAny(ctx);
    reports.outsideEra.informIfAny(ctx);
    reports.beforeMeiji.informIfAny(ctx);
    return out;
}

constinit const LazyOperation kConvertDateForms(42, "convert-dates", [] {
    return declare<DateConversionOptions>({
        .info = {.tab = Tab::OfficeChores,
                 .selector = "Option6(0)",
                 .description =
                     "Rewrites every date (2024/1/31, 令和6年1月31日, R6.1.31, …) in one Western or era form",
                 .japaneseDescription =
                     u"テキスト中の日付（2024/1/"
                     u"31、令和6年1月31日、R6.1.31など）を、西暦または和暦の一つの形式にそろえます。",
                 .caption = u"日付を(&E)…の形式に変換する　…曜日を付ける",
                 .example = {.input = u"契約日：H31.4.30\n納期：2019/5/7",
                             .options = {"--form=era", "--weekday"},
                             .output = u"契約日：平成31年4月30日（火）\n納期：令和元年5月7日（火）"}},
        .params = {listParam(&DateConversionOptions::form, "form", dateFormChoices())
                       .alias("Combo66")
                       .purpose(u"日付の形式", "Date format"),
                   checkParam(&DateConversionOptions::weekday, "weekday")
                       .alias("Check6(0)")
                       .purpose(u"曜日を付ける", "Add the weekday")},
        .run = ConvertDateForms,
    });
});

}  // namespace kivo
