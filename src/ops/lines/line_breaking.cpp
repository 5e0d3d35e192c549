#include "ops/lines/line_breaking.h"

#include <cstddef>

#include "text/characters.h"
#include "text/lines.h"

namespace kivo {
namespace {

constexpr TextView kOverflowError = u"文字数が多いためオーバーフローまたはエラーしました。";
constexpr TextView kRemoveLineBreaks = u"改行がすでに含まれています、改行を削除してから行いますか？";
constexpr TextView kTooShort = u"改行を入れる数よりも文字数が少ないか同じなので行えません。";

// The text cut every n units, its last piece without a line break after it.
template <typename Char>
std::optional<std::basic_string<Char>> cutEvery(std::basic_string_view<Char> text, std::size_t n,
                                                RunContext& ctx) {
    if (n >= text.size()) {
        ctx.inform(kTooShort);
        return std::nullopt;
    }
    constexpr Char crLf[] = {Char('\r'), Char('\n')};
    std::basic_string<Char> result;
    result.reserve(text.size() + 2 * (text.size() / n));
    std::size_t pos = 0;
    do {
        if (ctx.poll()) return std::nullopt;
        result.append(text.substr(pos, n));
        result.append(crLf, 2);
        pos += n;
    } while (text.size() - pos >= n);
    result.append(text.substr(pos));
    if (pos == text.size()) result.resize(result.size() - 2);
    return result;
}

// An ASCII text without line breaks (a long code or key) is cut as its bytes, a character each.
bool cutsBytes(std::string_view upper, const BreakOptions&) {
    // Each a loop the compiler runs many bytes at a time.
    unsigned char allBits = 0;
    for (const char c : upper)
        allBits |= static_cast<unsigned char>(c);
    return allBits < 0x80 && upper.find('\n') == std::string_view::npos &&
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

const OperationDeclaration kBreakEveryNCharacters = declare<BreakOptions>({
    .info = {.code = 18,
             .tab = Tab::LinesAndPositions,
             .selector = "Option2(5)",
             .name = "fold",
             .description = "Cuts a one-line text into lines of a number of characters",
             .japaneseDescription = u"1行のテキストを、指定した文字数ごとに改行します。",
             .caption = u"1行文字列に次の文字数毎改行を入れる(&J)",
             .example = {.input = u"abcdefgh", .options = {"--width=3"}, .output = u"abc\r\ndef\r\ngh"},
             .errorMessage = kOverflowError},
    .params = {countParam(&BreakOptions::width, "width", 1, 999)
                   .alias("Combo5")
                   .purpose(u"1行の文字数", "Characters per line")},
    .run = BreakEveryNCharacters,
    .takesUtf8 = cutsBytes,
    .runUtf8 = BreakEveryNBytes,
});

}  // namespace kivo
