#include "ops/japanese/byte_fold.h"

#include "ops/line_walk.h"
#include "text/cp932.h"
#include "text/surrogates.h"

namespace kivo {
namespace {

// The characters a line may not start with, and those it may not end with (JIS X 4051's
// closing brackets, punctuation, iteration marks, prolonged sound mark and small kana, in both
// widths).
constexpr TextView kNoLineStart =
    u"、。，．・：；？！゛゜ヽヾゝゞ々〻ー‐–〜～…‥）］｝〕〉》」』】〙〗〟’”｠»"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
    u"！％），．：；？］｝｡｣､･ｧｨｩｪｫｬｭｮｯｰﾞﾟ"
    u"!%),.:;?]}";
constexpr TextView kNoLineEnd = u"（［｛〔〈《「『【〘〖〝‘“｟«([{｢";

bool mayNotStartLine(char16_t c) {
    return kNoLineStart.find(c) != TextView::npos;
}
bool mayNotEndLine(char16_t c) {
    return kNoLineEnd.find(c) != TextView::npos;
}

// The start of the character before `i`: a surrogate pair is one character.
std::size_t previousCharacter(TextView line, std::size_t i) {
    return i >= 2 && isLowSurrogate(line[i - 1]) && isHighSurrogate(line[i - 2]) ? i - 2 : i - 1;
}

// Where the piece from `start` ends when the character at `cut` does not fit, by the line rules:
// after `cut` when that character alone may hang over the limit, else the latest place before
// it that breaks no rule and leaves the piece a character, else `cut` itself.
std::size_t ruledCut(TextView line, std::size_t start, std::size_t cut) {
    const bool nextMayStart = cut + 1 >= line.size() || !mayNotStartLine(line[cut + 1]);
    if (mayNotStartLine(line[cut]) && nextMayStart) return cut + 1;
    auto breaksRule = [&](std::size_t at) {
        return mayNotStartLine(line[at]) || mayNotEndLine(line[at - 1]);
    };
    for (std::size_t at = cut; at > start; at = previousCharacter(line, at))
        if (!breaksRule(at)) return at;
    return cut;
}

}  // namespace

std::optional<Text> BreakLinesByBytes(TextView upper, const ByteFoldOptions& options, RunContext& ctx) {
    const LineText text(upper);
    const auto limit = static_cast<std::size_t>(options.bytes);
    return text.eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            std::size_t pieceStart = 0;
            std::size_t pieceBytes = 0;
            for (std::size_t i = 0; i < line.size();) {
                // A surrogate pair is one character: each of its halves counts as the byte of
                // its "?", as the byte count has it.
                const std::size_t units = pairStartsAt(line, i) ? 2 : 1;
                std::size_t width = 0;
                for (std::size_t k = i; k < i + units; ++k)
                    width += static_cast<std::size_t>(cp932::byteLength(line[k]));
                if (pieceBytes > 0 && pieceBytes + width > limit) {
                    const std::size_t cut = options.lineRules ? ruledCut(line, pieceStart, i) : i;
                    out.addLine(line.substr(pieceStart, cut - pieceStart));
                    pieceStart = cut;
                    pieceBytes = 0;
                    if (cut != i) {
                        // The piece ended elsewhere: the next one is counted again from its start.
                        i = cut;
                        continue;
                    }
                }
                pieceBytes += width;
                i += units;
            }
            // A character hanging at the line's end leaves no piece after it.
            if (pieceStart < line.size() || line.empty()) out.addLine(line.substr(pieceStart));
        },
        text.raw().size() * 2 + 2);
}

constinit const LazyOperation kBreakLinesByBytes(41, "fold-bytes", [] {
    return declare<ByteFoldOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(6)",
                 .description = "Cuts every line into pieces of at most a number of Shift-JIS bytes, never "
                                "inside a character",
                 .japaneseDescription = u"各行を、全角文字を分けずに指定したバイト数以内ごとに改行します。",
                 .caption = u"1行を…バイト以内毎に改行する(全角文字は分けない)(&K) …禁則処理",
                 .example = {.input = u"あいうえおかきくけこ",
                             .options = {"--bytes=8"},
                             .output = u"あいうえ\r\nおかきく\r\nけこ"},
                 .streamsResult = true,
                 .lineLocal = true},
        .params = {countParam(&ByteFoldOptions::bytes, "bytes", 1, 999, 80)
                       .alias("Combo65")
                       .purpose(u"1行のバイト数", "Bytes per line"),
                   checkParam(&ByteFoldOptions::lineRules, "line-rules")
                       .alias("Check5(5)")
                       .purpose(u"禁則処理をする", "Keep the line-breaking rules")},
        .run = BreakLinesByBytes,
    });
});

}  // namespace kivo
