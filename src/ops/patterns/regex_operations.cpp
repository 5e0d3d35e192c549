#include "ops/patterns/regex_operations.h"

#include "ops/patterns/table_options.h"

namespace kivo {
namespace {

constexpr TextView kPatternMissing = u"正規表現を入力して下さい。";

template <typename Options>
Param<Options> scopeParam(RegexScope Options::*member) {
    return listParam(
        member, "scope",
        {{u"行ごと", "lines", RegexScope::LineByLine}, {u"テキスト全体", "whole", RegexScope::WholeText}});
}

std::optional<Text> patternRefusal(TextView pattern) {
    if (pattern.empty()) return Text(kPatternMissing);
    return std::nullopt;
}

}  // namespace

RegexOptions regexOptionsFor(bool ignoreCase, const RunContext& ctx) {
    return {.ignoreCase = ignoreCase, .timeLimit = ctx.matchStepLimit()};
}

std::optional<Text> ReplacePattern(TextView upper, const PatternReplaceOptions& options, RunContext& ctx) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        Regex regex(options.pattern, regexOptionsFor(options.ignoreCase, ctx));
        const RegexReplacement replacement(options.replacement, regex);
        std::optional<RegexResult> result = replaceMatches(
            upper, regex, replacement, {.scope = options.scope, .all = options.all}, runControlOf(ctx));
        if (!result || ctx.cancelled()) return std::nullopt;
        ctx.inform(result->count == 0
                       ? Text(u"正規表現に一致する文字列はありませんでした。置き換えた文字はありません。")
                       : decimalUnits(result->count) + u"件置き換えました。");
        return std::move(result->text);
    });
}

std::optional<Text> ExtractPattern(TextView upper, const PatternExtractOptions& options, RunContext& ctx) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        Regex regex(options.pattern, regexOptionsFor(options.ignoreCase, ctx));
        std::optional<RegexResult> result =
            extractMatches(upper, regex, options.extraction, options.scope, runControlOf(ctx));
        if (!result || ctx.cancelled()) return std::nullopt;
        if (result->count == 0) {
            ctx.inform(u"抜き出すものはありませんでした。");
            return std::nullopt;
        }
        return std::move(result->text);
    });
}

constinit const LazyOperation kReplacePattern(50, "regex-replace", [] {
    return declare<PatternReplaceOptions>({
        .info =
            {.tab = Tab::Patterns,
             .selector = "Option7(4)",
             .description =
                 "Replaces the matches of a regular expression ($1 in the replacement is its first group)",
             .japaneseDescription =
                 u"正規表現に一致した部分を置き換えます（置換後の文字の$1は最初のグループ）。",
             .caption = u"正規表現(&I)…を…に置換する …で…の一致を …大文字と小文字を区別しない",
             .example = {.input = u"2024-05-01\n2025-12-31",
                         .options = {"--pattern=(\\d+)-(\\d+)-(\\d+)", "--replacement=$1年$2月$3日"},
                         .output = u"2024年05月01日\r\n2025年12月31日"}},
        .params = {textParam(&PatternReplaceOptions::pattern, "pattern")
                       .alias("Text50")
                       .purpose(u"検索パターン", "Pattern"),
                   textParam(&PatternReplaceOptions::replacement, "replacement")
                       .alias("Text51")
                       .purpose(u"置換後の文字", "Replacement text"),
                   checkParam(&PatternReplaceOptions::ignoreCase, "ignore-case")
                       .alias("Check7(2)")
                       .purpose(u"大文字と小文字を区別しない", "Ignore case"),
                   scopeParam(&PatternReplaceOptions::scope).alias("Combo79").purpose(u"検索の単位", "Scope"),
                   listParam(&PatternReplaceOptions::all, "matches",
                             {{u"すべて", "all", true}, {u"最初の1つ", "first", false}})
                       .alias("Combo80")
                       .purpose(u"置換する一致", "Matches to replace")},
        .preCheck = [](const PatternReplaceOptions& o) { return patternRefusal(o.pattern); },
        .run = ReplacePattern,
    });
});

constinit const LazyOperation kExtractPattern(51, "regex-extract", [] {
    return declare<PatternExtractOptions>({
        .info =
            {.tab = Tab::Patterns,
             .selector = "Option7(5)",
             .description =
                 "Keeps the lines that match a regular expression (or not), or only the matches or "
                 "their first groups",
             .japaneseDescription =
                 u"正規表現に一致する行か一致しない行、一致した部分、または最初のグループを抜き出します。",
             .caption = u"正規表現(&J)…に… …で …大文字と小文字を区別しない",
             .example = {.input = u"注文番号 A-102\n備考なし\n注文番号 B-7",
                         .options = {"--pattern=[A-Z]-\\d+", "--extract=matches"},
                         .output = u"A-102\r\nB-7"}},
        .params =
            {textParam(&PatternExtractOptions::pattern, "pattern")
                 .alias("Text52")
                 .purpose(u"検索パターン", "Pattern"),
             listParam(&PatternExtractOptions::extraction, "extract",
                       {{u"一致する行を抜き出す", "matching-lines", RegexExtraction::MatchingLines},
                        {u"一致しない行を抜き出す", "other-lines", RegexExtraction::NonMatchingLines},
                        {u"一致した部分を抜き出す", "matches", RegexExtraction::MatchedParts},
                        {u"一致した最初の(…)を抜き出す", "first-group", RegexExtraction::FirstGroup}})
                 .alias("Combo81")
                 .purpose(u"抜き出すもの", "What to take"),
             checkParam(&PatternExtractOptions::ignoreCase, "ignore-case")
                 .alias("Check7(3)")
                 .purpose(u"大文字と小文字を区別しない", "Ignore case"),
             scopeParam(&PatternExtractOptions::scope).alias("Combo82").purpose(u"検索の単位", "Scope")},
        .preCheck = [](const PatternExtractOptions& o) { return patternRefusal(o.pattern); },
        .run = ExtractPattern,
    });
});

}  // namespace kivo
