#include "ops/japanese/kana_conversion.h"

namespace kivo {
namespace {

// Hiragana and katakana lie the same distance apart in both blocks.
constexpr char16_t kKanaDistance = u'ァ' - u'ぁ';

bool isConvertedHiragana(char16_t c) {
    return (c >= u'ぁ' && c <= u'ゖ') || c == u'ゝ' || c == u'ゞ';
}
// ヵ and ヶ stay: in 一ヶ月 or 三ヵ所 they stand for 箇, not for a small kana.
bool isConvertedKatakana(char16_t c) {
    return (c >= u'ァ' && c <= u'ヴ') || c == u'ヽ' || c == u'ヾ';
}

}  // namespace

std::optional<Text> ConvertKana(TextView upper, const KanaOptions& options, RunContext& ctx) {
    Text out(upper);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if ((i & 0xFFFF) == 0 && ctx.poll()) return std::nullopt;
        char16_t& c = out[i];
        if (options.toKatakana && isConvertedHiragana(c)) {
            c = static_cast<char16_t>(c + kKanaDistance);
        } else if (!options.toKatakana && isConvertedKatakana(c)) {
            c = static_cast<char16_t>(c - kKanaDistance);
        }
    }
    return out;
}

constinit const LazyOperation kConvertKana(36, "convert-kana", [] {
    return declare<KanaOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(1)",
                 .description = "Converts hiragana to katakana, or katakana to hiragana",
                 .japaneseDescription = u"ひらがなをカタカナに、またはカタカナをひらがなに変換します。",
                 .caption = u"…に変換する(&F)",
                 .example = {.input = u"ひらがな", .options = {}, .output = u"ヒラガナ"},
                 .lineLocal = true},
        .params = {listParam(&KanaOptions::toKatakana, "direction",
                             {{u"ひらがな→カタカナ", "to-katakana", true},
                              {u"カタカナ→ひらがな", "to-hiragana", false}})
                       .alias("Combo60")
                       .purpose(u"変換の向き", "Direction of the conversion")},
        .run = ConvertKana,
    });
});

}  // namespace kivo
