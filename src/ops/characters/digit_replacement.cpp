#include "ops/characters/digit_replacement.h"

#include <algorithm>

#include "ops/characters/text_search.h"
#include "ops/choices.h"
#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/errors.h"

namespace kivo {
namespace {

constexpr TextView kNothingToReplace = u"置き換える文字、文字列が見つかりませんでした。";
constexpr TextView kCountBeyondText = u"置き換える文字数が元のデータより大きい値になっています。";
constexpr TextView kLineBreakInFoundText = u"改行が含まれています。";
constexpr TextView kFoundTextNotFound = u"置き換える文字が見つかりませんでした。";

// The digit class is read once per run, not compared at every character.
struct DigitTest {
    bool half;
    bool full;
    bool contains(char16_t c) const { return (half && isHalfDigit(c)) || (full && isFullDigit(c)); }
};

bool hasLineBreak(TextView s) {
    return s.find_first_of(u"\r\n") != TextView::npos;
}

}  // namespace

std::optional<Text> ReplaceDigits(TextView upper, const ReplaceDigitsOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    // Every character is looked at, line breaks included: the normalised text is walked whole.
    const TextView s = text->normalized();
    const DigitTest digitTest{options.digits != DigitClass::Full, options.digits != DigitClass::Half};
    // Every Lf of the result becomes CrLf, those brought in by the replacement too: a CrLf
    // typed into the box must arrive as one Lf, not as a Cr followed by a line break.
    const Text replacement = normalizeLineBreaks(options.replacement);
    const bool appendedLf = s.empty() || s.back() != kLf;
    // Each digit takes the whole replacement, and every Lf becomes two units at the end.
    const auto digits = static_cast<std::uint64_t>(
        std::count_if(s.begin(), s.end(), [&](char16_t c) { return digitTest.contains(c); }));
    const std::uint64_t replaced = s.size() + 1 + digits * replacement.size();
    ctx.checkResultLength(replaced + countUnit(s, kLf) + digits * countUnit(replacement, kLf) + 1);
    Text out;
    out.reserve(s.size() + 1);
    bool found = false;
    auto take = [&](char16_t c) {
        if (digitTest.contains(c)) {
            out.append(replacement);
            found = true;
        } else {
            out.push_back(c);
        }
    };
    for (const char16_t c : s) {
        if (ctx.poll()) return std::nullopt;
        take(c);
    }
    if (appendedLf) {
        if (ctx.poll()) return std::nullopt;
        take(kLf);
    }
    if (!found) {
        ctx.exclaim(kNothingToReplace);
        return std::nullopt;
    }
    Text result = lfToCrLf(out);
    if (appendedLf) result.resize(result.size() - 2);
    return result;
}

std::optional<Text> ReplaceEndCharacters(TextView upper, const ReplaceEndOptions& options, RunContext& ctx) {
    const std::optional<LineText> s = LineText::refusingEmptyLines(upper, ctx);
    if (!s) return std::nullopt;
    const auto n = static_cast<std::size_t>(options.count);
    const Text& replacement = options.replacement;
    auto replaced = [&](TextView line, auto&& append) {
        if (options.side == Side::Left) {
            append(replacement);
            append(line.substr(n));
        } else {
            append(line.substr(0, line.size() - n));
            append(replacement);
        }
    };

    if (s->isOneLine()) {
        if (s->raw().size() < n) {
            ctx.inform(kCountBeyondText);
            return std::nullopt;
        }
        Text out;
        replaced(s->raw(), [&](TextView piece) { out.append(piece); });
        return out;
    }
    ctx.checkResultLength(s->raw().size() + std::uint64_t{s->lineCount()} * (replacement.size() + 2));
    return s->eachLine(ctx, [&](TextView line, LineWriter& out) {
        // A line too short for the count fails the whole run.
        if (line.size() < n) throw RunTimeError("line shorter than the count");
        replaced(line, [&](TextView piece) { out.add(piece); });
        out.endLine();
    });
}

std::optional<Text> ReplaceSideOfFoundText(TextView upper, const ReplaceSideOptions& options,
                                           RunContext& ctx) {
    const Text& found = options.found;
    const std::optional<LineText> s = LineText::refusingEmptyLines(upper, ctx);
    if (!s) return std::nullopt;
    if (hasLineBreak(found)) {
        ctx.inform(kLineBreakInFoundText);
        return std::nullopt;
    }
    const TextSearch search(found);
    const Text& replacement = options.replacement;
    auto position = [&](TextView line) {
        return options.occurrence == Side::Left ? search.first(line) : search.last(line);
    };

    if (s->isOneLine()) {
        const std::size_t at = position(s->raw());
        if (at == TextView::npos) {
            ctx.inform(kFoundTextNotFound);
            return std::nullopt;
        }
        // A single line keeps what follows the whole found text, and the found text's first
        // character when its right side goes.
        const TextView line = s->raw();
        return options.side == Side::Left ? replacement + Text(line.substr(at + found.size()))
                                          : Text(line.substr(0, at + 1)) + replacement;
    }
    ctx.checkResultLength(s->raw().size() + std::uint64_t{s->lineCount()} * (replacement.size() + 2));
    return s->eachLine(ctx, [&](TextView line, LineWriter& out) {
        const std::size_t at = position(line);
        if (at == TextView::npos) {
            out.addLine(line);
        } else if (options.side == Side::Left) {
            // Of several lines, the found text's first character goes with the chosen side.
            out.add(replacement);
            out.addLine(line.substr(at + 1));
        } else {
            out.add(line.substr(0, at));
            out.addLine(replacement);
        }
    });
}

constinit const LazyOperation kReplaceDigits(5, "replace-digits", [] {
    return declare<ReplaceDigitsOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(5)",
                 .description = "Replaces every half-width or full-width digit by a text",
                 .japaneseDescription = u"半角または全角の数字を、すべて指定した文字に置き換えます。",
                 .caption = u"…数字を…に置き換(&J)",
                 .example = {.input = u"第1回と第２回",
                             .options = {"--digits=both", "--replacement=#"},
                             .output = u"第#回と第#回"}},
        .params = {listParam(&ReplaceDigitsOptions::digits, "digits",
                             {{u"半角", "half", DigitClass::Half},
                              {u"全角", "full", DigitClass::Full},
                              {u"半角全角", "both", DigitClass::Both}})
                       .alias("Combo34")
                       .purpose(u"置換する数字の種類", "Digits to replace"),
                   textParam(&ReplaceDigitsOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text4")
                       .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceDigits,
    });
});

constinit const LazyOperation kReplaceEndCharacters(6, "replace-ends", [] {
    return declare<ReplaceEndOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(6)",
                 .description = "Replaces the first or last characters of every line by a text",
                 .japaneseDescription =
                     u"各行の先頭または末尾から指定した文字数を、指定した文字に置き換えます。",
                 .caption = u"…から…文字を次の文字に置き換える(&K)",
                 .example = {.input = u"abc123\ndef456",
                             .options = {"--side=right", "--count=3", "--replacement=***"},
                             .output = u"abc***\r\ndef***"},
                 .lineLocal = true,
                 .refusesSomeLines = true},
        .params = {listParam(&ReplaceEndOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo32")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&ReplaceEndOptions::count, "count", 1, 999)
                       .alias("Combo1")
                       .purpose(u"置換する文字数", "Number of characters to replace"),
                   textParam(&ReplaceEndOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text5")
                       .purpose(u"置換後の文字", "Replacement text")},
        .run = ReplaceEndCharacters,
    });
});

constinit const LazyOperation kReplaceSideOfFoundText(7, "replace-beside", [] {
    return declare<ReplaceSideOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(7)",
                 .description = "Replaces what lies left or right of a text found in every line",
                 .japaneseDescription = u"各行で見つけた文字の左側または右側を、指定した文字に置き換えます。",
                 .caption = u"…から見つけた…の…を次の文字に置換(&L)",
                 .example = {.input = u"名前:太郎\n住所:東京",
                             .options = {"--find=:", "--side=right", "--replacement=:***"},
                             .output = u"名前:***\r\n住所:***"}},
        .params = {listParam(&ReplaceSideOptions::occurrence, "from", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo2")
                       .purpose(u"探す方向", "Side to search from"),
                   textParam(&ReplaceSideOptions::found, "find")
                       .alias("Text7")
                       .purpose(u"探す文字", "Text to find"),
                   listParam(&ReplaceSideOptions::side, "side",
                             {{u"左側", "left", Side::Left}, {u"右側", "right", Side::Right}},
                             OtherText::IsLastEntry)
                       .alias("Combo33")
                       .purpose(u"置換する側", "Side to replace"),
                   textParam(&ReplaceSideOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text8")
                       .purpose(u"置換後の文字", "Replacement text")},
        // An empty search text would match in every line; it is refused like the other missing texts.
        .preCheck = [](const ReplaceSideOptions& o) -> std::optional<Text> {
            if (o.found.empty()) return Text(kFoundTextMissing);
            return std::nullopt;
        },
        .run = ReplaceSideOfFoundText,
    });
});

}  // namespace kivo
