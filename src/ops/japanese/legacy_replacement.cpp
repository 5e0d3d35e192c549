#include "ops/japanese/legacy_replacement.h"

#include "ops/found_places.h"
#include "ops/line_walk.h"
#include "text/legacy_characters.h"
#include "text/text_encoding.h"

namespace kivo {

std::optional<Text> ReplaceLegacyCharacters(TextView upper, const LegacyOptions& options, RunContext& ctx) {
    const bool list = options.action == LegacyAction::List;
    Text out;
    if (!list) out.reserve(upper.size());
    std::size_t found = 0;
    FoundPlaces kept(u"標準の文字がない機種依存文字をそのままにしました");
    const bool walked = walkLinesAsTheyAre(
        upper, ctx,
        [&](TextView line, std::size_t number) {
            for (std::size_t i = 0; i < line.size(); ++i) {
                const char16_t c = line[i];
                if (!isLegacyCharacter(c)) {
                    if (!list) out.push_back(c);
                    continue;
                }
                ++found;
                // A listed place is a few dozen characters, a replacement a few: one character of
                // a long line must not become that many before the budget is asked.
                ctx.checkResultLength(out.size() + 64);
                if (list) {
                    if (!out.empty()) out.append(kCrLf);
                    out += characterPlace(number, i + 1, line.substr(i, 1));
                } else if (const auto standard = legacyReplacement(c)) {
                    out += *standard;
                } else {
                    out.push_back(c);
                    kept.add(number, i + 1, line.substr(i, 1));
                }
            }
        },
        [&](TextView lineBreak) {
            if (!list) out += lineBreak;
        });
    if (!walked || ctx.cancelled()) return std::nullopt;
    if (found == 0) {
        ctx.inform(list ? u"機種依存文字はありませんでした。"
                        : u"機種依存文字はありませんでした。置き換えた文字はありません。");
        if (list) return std::nullopt;
    }
    kept.informIfAny(ctx);
    return out;
}

constinit const LazyOperation kReplaceLegacyCharacters(44, "legacy-characters", [] {
    return declare<LegacyOptions>({
        .info = {.tab = Tab::OfficeChores,
                 .selector = "Option6(2)",
                 .description =
                     "Lists the characters outside JIS X 0208 (① ㈱ Ⅲ 髙), or replaces them by standard ones",
                 .japaneseDescription =
                     u"機種依存文字（①・㈱・Ⅲ・髙など）を一覧にする、または標準の文字に置き換えます。",
                 .caption = u"機種依存文字(丸数字・ローマ数字・㈱・髙など)を(&G)…",
                 .example = {.input = u"①㈱髙橋", .options = {"--action=replace"}, .output = u"(1)(株)高橋"}},
        .params = {listParam(&LegacyOptions::action, "action",
                             {{u"一覧にする", "list", LegacyAction::List},
                              {u"標準の文字に置き換える", "replace", LegacyAction::Replace}})
                       .alias("Combo70")
                       .purpose(u"機種依存文字の扱い", "What to do with the characters")},
        .run = ReplaceLegacyCharacters,
    });
});

}  // namespace kivo
