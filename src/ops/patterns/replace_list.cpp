#include "ops/patterns/replace_list.h"

#include "ops/patterns/regex_operations.h"
#include "ops/patterns/table_options.h"

namespace kivo {
namespace {

Text countsMessage(const std::vector<std::size_t>& counts) {
    std::size_t total = 0;
    Text each;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        total += counts[i];
        each += (i == 0 ? u"" : u"、") + decimalUnits(i + 1) + u"番目 " + decimalUnits(counts[i]) + u"件";
    }
    return decimalUnits(total) + u"件置き換えました（" + each + u"）。";
}

}  // namespace

std::optional<Text> ReplaceByList(TextView upper, const ReplaceListOptions& options, RunContext& ctx) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        ReplacementList list(options.rules, options.kind, regexOptionsFor(false, ctx));
        if (list.size() == 0) {
            ctx.inform(u"置換リストに置き換える組がありません。");
            return std::nullopt;
        }
        std::optional<ReplacementListResult> result = list.apply(upper, {}, runControlOf(ctx));
        if (!result || ctx.cancelled()) return std::nullopt;
        ctx.inform(countsMessage(result->counts));
        return std::move(result->text);
    });
}

constinit const LazyOperation kReplaceByList(52, "replace-list", [] {
    return declare<ReplaceListOptions>({
        .info = {.tab = Tab::Patterns,
                 .selector = "Option7(6)",
                 .description =
                     "Runs a list of find<Tab>replacement pairs (plain or regular expressions) in order",
                 .japaneseDescription =
                     u"Tabで区切った「検索する文字」と「置換する文字」の組を1行に一つずつ書い"
                     u"た一覧で、順に置き換えます。",
                 .caption = u"置換リスト(&K)…を…で順に置き換える　(1行に「検索する文字<Tab>置換する文字」)",
                 .example = {.input = u"合計1200円（税込）",
                             .options = {"--pairs=(\\d+)円\t¥$1", "--kind=regex"},
                             .output = u"合計¥1200（税込）"}},
        .params = {textParam(&ReplaceListOptions::rules, "pairs", kSeveralLines)
                       .alias("Text53")
                       .purpose(u"置換リスト", "Pairs"),
                   listParam(&ReplaceListOptions::kind, "kind",
                             {{u"文字列", "plain", RuleKind::Plain}, {u"正規表現", "regex", RuleKind::Regex}})
                       .alias("Combo83")
                       .purpose(u"検索の種類", "Kind of search")},
        .preCheck = [](const ReplaceListOptions& o) -> std::optional<Text> {
            if (o.rules.empty())
                return Text(u"置換リストを入力して下さい（1行に「検索文字<Tab>置換文字」）。");
            return std::nullopt;
        },
        .run = ReplaceByList,
    });
});

}  // namespace kivo
