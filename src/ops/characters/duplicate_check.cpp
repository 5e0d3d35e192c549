#include "ops/characters/duplicate_check.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

#include "text/lines.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kOverflowError = u"文字数が多いためオーバーフローまたはエラーしました。";
constexpr TextView kRemoveLineBreaks = u"改行が含まれています、改行を削除しますか？";
constexpr TextView kNoDuplicates = u"重複はありませんでした。";

}  // namespace

std::optional<Text> CheckDuplicateCharacters(TextView upper, const NoOptions&, RunContext& ctx) {
    // The upper text is copied only when its line breaks have to go.
    TextView s = upper;
    Text joined;
    if (findLineBreak(s) != TextView::npos) {
        // Closing asks nothing and ends, as No does.
        if (ctx.ask(kRemoveLineBreaks) != Answer::Yes) return std::nullopt;
        joined = withoutLineBreaks(s);
        s = joined;
    }
    // The seen set beside the kept string keeps the check linear in the text.
    auto seen = std::make_unique<std::bitset<0x10000>>();
    Text kept;
    std::uint8_t duplicates = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        // Stop does not end this loop: at most 65,536 distinct units and 255 repeats pass
        // before it ends by itself. Closing ends it, as the program ends then.
        if (i > 0) ctx.poll();
        if (ctx.closing()) return std::nullopt;
        const char16_t c = s[i];
        if (seen->test(c)) {
            duplicates = checkedAdd<std::uint8_t>(duplicates, 1);
        } else {
            seen->set(c);
            kept.push_back(c);
        }
    }
    if (duplicates == 0) {
        ctx.inform(kNoDuplicates);
        return std::nullopt;
    }
    const std::string count = std::to_string(duplicates);
    ctx.inform(Text(count.begin(), count.end()) + u"個の重複がありました。");
    return kept;
}

constinit const LazyOperation kCheckDuplicateCharacters(15, "remove-repeats", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(2)",
                 .description =
                     "Keeps the first occurrence of each character and reports how many repeats went",
                 .japaneseDescription = u"同じ文字の2回目以降を取り除き、取り除いた数を知らせます。",
                 .caption = u"改行無しデータを1文字ずつ重複チェックを行う(&G)",
                 .example = {.input = u"abcabcd", .options = {}, .output = u"abcd"},
                 .errorMessage = kOverflowError},
        .run = CheckDuplicateCharacters,
    });
});

}  // namespace kivo
