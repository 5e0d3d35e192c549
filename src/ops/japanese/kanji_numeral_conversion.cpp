#include "ops/japanese/kanji_numeral_conversion.h"

#include "ops/line_walk.h"
#include "text/kanji_numerals.h"

namespace kivo {
namespace {

bool toKanji(NumeralDirection d) {
    return d == NumeralDirection::ToKanjiDigits || d == NumeralDirection::ToKanjiWithUnits;
}

Text converted(const FoundNumber& found, NumeralDirection direction) {
    const std::size_t digits = found.positional ? found.length : 1;
    switch (direction) {
        case NumeralDirection::ToHalfWidthDigits:
            return toArabicDigits(found.value, false, digits);
        case NumeralDirection::ToFullWidthDigits:
            return toArabicDigits(found.value, true, digits);
        case NumeralDirection::ToKanjiDigits:
            return *toKanjiDigits(found.value, digits);
        case NumeralDirection::ToKanjiWithUnits:
            return *toKanjiWithUnits(found.value);
    }
    return {};
}

}  // namespace

std::optional<Text> ConvertKanjiNumerals(TextView upper, const KanjiNumeralOptions& options,
                                         RunContext& ctx) {
    Text out;
    out.reserve(upper.size());
    bool found = false;
    const bool walked = walkLinesAsTheyAre(
        upper, ctx,
        [&](TextView line, std::size_t) {
            std::size_t copied = 0;
            const std::vector<FoundNumber> numbers =
                toKanji(options.direction) ? findArabicNumbers(line) : findKanjiNumerals(line);
            for (const FoundNumber& number : numbers) {
                out.append(line.substr(copied, number.position - copied));
                const Text written = converted(number, options.direction);
                // 9090 with units is twice its digits: asked before the line is done.
                ctx.checkResultLength(out.size() + written.size());
                out += written;
                copied = number.position + number.length;
                found = true;
            }
            out.append(line.substr(copied));
            ctx.checkResultLength(out.size());
        },
        [&](TextView lineBreak) { out += lineBreak; });
    if (!walked || ctx.cancelled()) return std::nullopt;
    if (!found)
        ctx.inform(toKanji(options.direction) ? u"変換する数字はありませんでした。"
                                              : u"変換する漢数字はありませんでした。");
    return out;
}

constinit const LazyOperation kConvertKanjiNumerals(45, "kanji-numerals", [] {
    return declare<KanjiNumeralOptions>({
        .info =
            {.tab = Tab::OfficeChores,
             .selector = "Option6(3)",
             .description = "Converts numbers in kanji (二千二十四, 一〇五) to digits, or digits to kanji",
             .japaneseDescription = u"漢数字（二千二十四、一〇五）を数字に、または数字を漢数字に変換します。",
             .caption = u"漢数字と数字を(&H)…に変換する　(一人・一部のように漢数字1文字だけの語は変換しない)",
             .example = {.input = u"二千二十四年に一人で三万五千円",
                         .options = {},
                         .output = u"2024年に一人で35000円"}},
        .params = {listParam(
                       &KanjiNumeralOptions::direction, "direction",
                       {{u"漢数字→半角数字", "to-digits", NumeralDirection::ToHalfWidthDigits},
                        {u"漢数字→全角数字", "to-full-width-digits", NumeralDirection::ToFullWidthDigits},
                        {u"数字→漢数字(二〇二四)", "to-kanji-digits", NumeralDirection::ToKanjiDigits},
                        {u"数字→漢数字(二千二十四)", "to-kanji", NumeralDirection::ToKanjiWithUnits}})
                       .alias("Combo71")
                       .purpose(u"変換の向き", "Direction of the conversion")},
        .run = ConvertKanjiNumerals,
    });
});

}  // namespace kivo
