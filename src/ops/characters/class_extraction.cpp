#include "ops/characters/class_extraction.h"

#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/cp932.h"

namespace kivo {
namespace {

constexpr TextView kNoDigit = u"半角数字は見つかりませんでした。";
constexpr TextView kNoDoubleByte = u"全角文字は見つかりませんでした。";
constexpr TextView kNoSingleByte = u"半角文字は見つかりませんでした。";

template <typename InClass>
std::optional<Text> extractClass(TextView upper, RunContext& ctx, TextView noneFound, InClass inClass) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    bool keptAny = false;
    std::optional<Text> out = text->eachLine(ctx, [&](TextView line, LineWriter& lines) {
        bool kept = false;
        for (const char16_t c : line) {
            if (ctx.poll()) return false;
            if (!inClass(c)) continue;
            lines.add(TextView(&c, 1));
            kept = true;
        }
        // A line with nothing of the class leaves no trace, not even an empty line.
        if (kept) lines.endLine();
        keptAny = keptAny || kept;
        return true;
    });
    if (out && !keptAny) {
        ctx.inform(noneFound);
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<Text> ExtractDigits(TextView upper, const NoOptions&, RunContext& ctx) {
    return extractClass(upper, ctx, kNoDigit, isHalfDigit);
}

std::optional<Text> ExtractDoubleByteCharacters(TextView upper, const NoOptions&, RunContext& ctx) {
    return extractClass(upper, ctx, kNoDoubleByte, cp932::isDoubleByte);
}

std::optional<Text> ExtractHalfWidthCharacters(TextView upper, const NoOptions&, RunContext& ctx) {
    return extractClass(upper, ctx, kNoSingleByte, cp932::isSingleByte);
}

constinit const LazyOperation kExtractDigits(8, "extract-digits", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(8)",
                 .description = "Keeps only the half-width digits of every line",
                 .japaneseDescription = u"各行から半角数字だけを抜き出します。",
                 .caption = u"数字だけを抜き出す(&M)",
                 .example = {.input = u"価格 1,200円\n在庫 35個", .options = {}, .output = u"1200\r\n35"},
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .emptyResultMessage = kNoDigit},
        .run = ExtractDigits,
    });
});

constinit const LazyOperation kExtractDoubleByteCharacters(9, "extract-full-width", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(9)",
                 .description = "Keeps only the full-width (double-byte Shift-JIS) characters of every line",
                 .japaneseDescription = u"各行から全角（Shift-JISで2バイト）の文字だけを抜き出します。",
                 .caption = u"ダブルバイト文字だけを抜き出す(&N)",
                 .example = {.input = u"ABCあいう123漢字", .options = {}, .output = u"あいう漢字"},
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .emptyResultMessage = kNoDoubleByte},
        .run = ExtractDoubleByteCharacters,
    });
});

constinit const LazyOperation kExtractHalfWidthCharacters(10, "extract-half-width", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(10)",
                 .description = "Keeps only the half-width (single-byte Shift-JIS) characters of every line",
                 .japaneseDescription = u"各行から半角（Shift-JISで1バイト）の文字だけを抜き出します。",
                 .caption = u"半角文字だけを抜き出す(&O)",
                 .example = {.input = u"ABCあいう123漢字", .options = {}, .output = u"ABC123"},
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .emptyResultMessage = kNoSingleByte},
        .run = ExtractHalfWidthCharacters,
    });
});

}  // namespace kivo
