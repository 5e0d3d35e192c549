#include "ops/set1/counting.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "text/characters.h"
#include "text/cp932.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kLetterClassError = u"文字数が多いためオーバーフローまたはエラーしました。";
constexpr TextView kCharactersLabel = u"文字数：";
constexpr TextView kBytesLabel = u"バイト数：";

Text decimalText(long long value) {
    const std::string digits = std::to_string(value);
    return Text(digits.begin(), digits.end());
}

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

struct LetterClass {
    TextView entry;
    TextView label;
    char16_t from, to;
};

constexpr LetterClass kLetterClasses[] = {
    {u"半角英小文字「a～z」", u"半角英小文字の数：", u'a', u'z'},
    {u"半角英大文字「A～Z」", u"半角英大文字の数：", u'A', u'Z'},
    {u"全角英小文字「ａ～ｚ」", u"全角英小文字の数：", u'ａ', u'ｚ'},
    {u"全角英大文字「Ａ～Ｚ」", u"全角英大文字の数：", u'Ａ', u'Ｚ'},
};

}  // namespace

std::optional<Text> CountCharacters(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const Text& mode = params.text("Combo39");
        // Every mode measures in one pass over the text, without building the measured text.
        if (mode == u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)") {
            std::size_t bytes = 0;
            if (!countInPieces(upper, ctx, [&](TextView piece) { bytes += cp932::byteCount(piece); }))
                return std::nullopt;
            return report(kBytesLabel, bytes);
        }
        Composition c;
        if (!countInPieces(upper, ctx, [&](TextView piece) { compose(piece, c); })) return std::nullopt;
        if (mode == u"改行をカウントしない") return report(kCharactersLabel, c.others);
        if (mode == u"改行を1文字でカウントする") return report(kCharactersLabel, c.others + c.lineBreaks);
        if (mode == u"改行を2文字でカウントする")
            return report(kCharactersLabel, c.others + 2 * c.lineBreaks);
        if (mode == u"バイト数をカウントする(改行をカウントしない)")
            return report(kBytesLabel, c.otherBytes + 2 * c.lineBreaks);
        return std::nullopt;
    });
}

std::optional<Text> CountLetterClass(TextView upper, const Params& params, RunContext& ctx) {
    const Text& entry = params.text("Combo19");
    const LetterClass* letters = nullptr;
    for (const LetterClass& c : kLetterClasses)
        if (entry == c.entry) letters = &c;
    if (!letters) {
        ctx.assign("Combo19", Text(kLetterClasses[0].entry));
        return std::nullopt;
    }
    return runFramed(ctx, kLetterClassError, [&]() -> std::optional<Text> {
        // No line break is a letter, so the count walks the text as it is.
        std::int32_t count = 0;
        for (const char16_t c : upper) {
            if (ctx.poll()) return std::nullopt;
            if (c >= letters->from && c <= letters->to) count = checkedAdd<std::int32_t>(count, 1);
        }
        return Text(letters->label) + decimalText(count);
    });
}

}  // namespace kivo
