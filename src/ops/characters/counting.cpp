#include "ops/characters/counting.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "text/characters.h"
#include "text/cp932.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kCharactersLabel = u"文字数：";
constexpr TextView kBytesLabel = u"バイト数：";

Text report(TextView label, std::size_t count) {
    return Text(label) + decimalText(checked<std::int32_t>(count));
}

// The line breaks of the normalised text, and the length of everything else.
struct Composition {
    std::size_t lineBreaks = 0;
    std::size_t others = 0;
    std::size_t otherBytes = 0;
};

// Calls `count` on consecutive pieces of `upper`, polling between them so that Stop reaches a
// count of a very large text (a CrLf is never split); false when stopped.
template <typename Count>
bool countInPieces(TextView upper, RunContext& ctx, Count count) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (std::size_t from = 0; from < upper.size();) {
        if (ctx.poll()) return false;
        std::size_t to = std::min(upper.size(), from + kPiece);
        if (to < upper.size() && upper[to - 1] == kCr && upper[to] == kLf) ++to;
        count(upper.substr(from, to - from));
        from = to;
    }
    return true;
}

void compose(TextView upper, Composition& c) {
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const char16_t ch = upper[i];
        if (ch == kCr || ch == kLf) {
            if (ch == kCr && i + 1 < upper.size() && upper[i + 1] == kLf) ++i;
            ++c.lineBreaks;
        } else {
            ++c.others;
            c.otherBytes += static_cast<std::size_t>(cp932::byteLength(ch));
        }
    }
}

struct Letters {
    TextView label;
    char16_t from, to;
};

// In the order of LetterClass.
constexpr Letters kLetters[] = {
    {u"半角英小文字の数：", u'a', u'z'},
    {u"半角英大文字の数：", u'A', u'Z'},
    {u"全角英小文字の数：", u'ａ', u'ｚ'},
    {u"全角英大文字の数：", u'Ａ', u'Ｚ'},
};

}  // namespace

std::optional<Text> CountCharacters(TextView upper, const CountCharactersOptions& options, RunContext& ctx) {
    // Every mode measures in one pass over the text, without building the measured text.
    if (options.mode == CountMode::AllBytes) {
        std::size_t bytes = 0;
        if (!countInPieces(upper, ctx, [&](TextView piece) { bytes += cp932::byteCount(piece); }))
            return std::nullopt;
        return report(kBytesLabel, bytes);
    }
    Composition c;
    if (!countInPieces(upper, ctx, [&](TextView piece) { compose(piece, c); })) return std::nullopt;
    switch (options.mode) {
        case CountMode::CharactersWithoutLineBreaks:
            return report(kCharactersLabel, c.others);
        case CountMode::LineBreakAsOne:
            return report(kCharactersLabel, c.others + c.lineBreaks);
        case CountMode::LineBreakAsTwo:
            return report(kCharactersLabel, c.others + 2 * c.lineBreaks);
        default:
            return report(kBytesLabel, c.otherBytes + 2 * c.lineBreaks);
    }
}

std::optional<Text> CountLetterClass(TextView upper, const CountLetterClassOptions& options,
                                     RunContext& ctx) {
    const Letters& letters = kLetters[static_cast<int>(options.letters)];
    // No line break is a letter, so the count walks the text as it is.
    std::int32_t count = 0;
    for (const char16_t c : upper) {
        if (ctx.poll()) return std::nullopt;
        if (c >= letters.from && c <= letters.to) count = checkedAdd<std::int32_t>(count, 1);
    }
    return Text(letters.label) + decimalText(count);
}

constinit const LazyOperation kCountCharacters(1, "count-characters", [] {
    return declare<CountCharactersOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(1)",
                 .description = "Counts the characters, or the Shift-JIS bytes, of the text",
                 .japaneseDescription = u"テキストの文字数、またはShift-JISでのバイト数を数えます。",
                 .caption = u"文字数をカウント(&F)",
                 .example = {.input = u"あいう\nabc",
                             .options = {"--mode=line-break-as-one"},
                             .output = u"文字数：7"}},
        .params = {listParam(
                       &CountCharactersOptions::mode, "mode",
                       {{u"改行をカウントしない", "characters", CountMode::CharactersWithoutLineBreaks},
                        {u"改行を1文字でカウントする", "line-break-as-one", CountMode::LineBreakAsOne},
                        {u"改行を2文字でカウントする", "line-break-as-two", CountMode::LineBreakAsTwo},
                        {u"バイト数をカウントする(改行をカウントしない)", "bytes",
                         CountMode::BytesWithoutLineBreaks},
                        {u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)",
                         "all-bytes", CountMode::AllBytes}},
                       OtherText::RunsNothing)
                       .alias("Combo39")
                       .purpose(u"数え方", "What to count")},
        .run = CountCharacters,
    });
});

constinit const LazyOperation kCountLetterClass(3, "count-letters", [] {
    return declare<CountLetterClassOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(3)",
                 .description =
                     "Counts the Latin letters of one class: half or full width, lower or upper case",
                 .japaneseDescription =
                     u"半角・全角の英小文字・英大文字のうち、選んだ種類の文字の数を数えます。",
                 .caption = u"…の数をカウントする(&H)",
                 .example = {.input = u"Hello World",
                             .options = {"--letters=half-lower"},
                             .output = u"半角英小文字の数：8"},
                 .errorMessage = u"文字数が多いためオーバーフローまたはエラーしました。"},
        .params = {listParam(&CountLetterClassOptions::letters, "letters",
                             {{u"半角英小文字「a～z」", "half-lower", LetterClass::HalfLower},
                              {u"半角英大文字「A～Z」", "half-upper", LetterClass::HalfUpper},
                              {u"全角英小文字「ａ～ｚ」", "full-lower", LetterClass::FullLower},
                              {u"全角英大文字「Ａ～Ｚ」", "full-upper", LetterClass::FullUpper}},
                             OtherText::ResetsAndRunsNothing)
                       .alias("Combo19")
                       .purpose(u"数える英字の種類", "Letters to count")},
        .run = CountLetterClass,
    });
});

}  // namespace kivo
