#include "ops/lines/line_breaking.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text/characters.h"
#include "text/lines.h"

namespace kivo {
namespace {

constexpr TextView kOverflowError = u"文字数が多いためオーバーフローまたはエラーしました。";
constexpr TextView kRemoveLineBreaks = u"改行がすでに含まれています、改行を削除してから行いますか？";
constexpr TextView kTooShort = u"改行を入れる数よりも文字数が少ないか同じなので行えません。";

// The text cut every n units, its last piece without a line break after it; written out as it is
// made when the run streams its result.
template <typename Char>
std::optional<std::basic_string<Char>> cutEvery(std::basic_string_view<Char> text, std::size_t n,
                                                RunContext& ctx) {
    if (n >= text.size()) {
        ctx.inform(kTooShort);
        return std::nullopt;
    }
    // ASCII when cut as bytes: a byte is a unit.
    BasicLineWriter<Char> out(text.size() + 2 * (text.size() / n), ctx.resultBudget(), ctx.resultSink());
    std::size_t pos = 0;
    for (; text.size() - pos >= n; pos += n) {
        if (ctx.poll()) return std::nullopt;
        out.addLine(text.substr(pos, n));
    }
    out.add(text.substr(pos));
    // A text cut to its end has no piece after its last line break.
    return out.take(pos == text.size());
}

// An ASCII text without line breaks (a long code or key) is cut as its bytes, a character each.
bool cutsBytes(std::string_view upper, const BreakOptions&) {
    // Eight bytes a step.
    std::uint64_t allBits = 0;
    std::size_t i = 0;
    for (; i + 8 <= upper.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, upper.data() + i, 8);
        allBits |= word;
    }
    for (; i < upper.size(); ++i)
        allBits |= static_cast<unsigned char>(upper[i]);
    return (allBits & 0x8080808080808080u) == 0 && upper.find('\n') == std::string_view::npos &&
           upper.find('\r') == std::string_view::npos;
}

std::optional<std::string> BreakEveryNBytes(std::string_view upper, const BreakOptions& options,
                                            RunContext& ctx) {
    return cutEvery(upper, static_cast<std::size_t>(options.width), ctx);
}

}  // namespace

std::optional<Text> BreakEveryNCharacters(TextView upper, const BreakOptions& options, RunContext& ctx) {
    // The upper text is copied only when its line breaks have to go.
    TextView text = upper;
    Text joined;
    if (findLineBreak(upper) != TextView::npos) {
        // Closing asks nothing and ends, as No does.
        if (ctx.ask(kRemoveLineBreaks) != Answer::Yes) return std::nullopt;
        joined = withoutLineBreaks(upper);
        text = joined;
    }
    return cutEvery(text, static_cast<std::size_t>(options.width), ctx);
}

constinit const LazyOperation kBreakEveryNCharacters(18, "fold", [] {
    return declare<BreakOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(5)",
                 .description = "Cuts a one-line text into lines of a number of characters",
                 .japaneseDescription = u"1行のテキストを、指定した文字数ごとに改行します。",
                 .caption = u"1行文字列に次の文字数毎改行を入れる(&J)",
                 .example = {.input = u"abcdefgh", .options = {"--width=3"}, .output = u"abc\r\ndef\r\ngh"},
                 .errorMessage = kOverflowError,
                 .streamsResult = true},
        .params = {countParam(&BreakOptions::width, "width", 1, 999)
                       .alias("Combo5")
                       .purpose(u"1行の文字数", "Characters per line")},
        .run = BreakEveryNCharacters,
        .takesUtf8 = cutsBytes,
        .runUtf8 = BreakEveryNBytes,
    });
});

}  // namespace kivo
