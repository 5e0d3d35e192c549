#include "ops/set1/class_extraction.h"

#include "text/characters.h"
#include "text/cp932.h"

namespace kivo {
namespace {

template <typename InClass>
std::optional<Text> extractClass(TextView upper, RunContext& ctx, TextView noneFound, InClass inClass) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        LineReader lines(s);
        LineWriter out;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            bool kept = false;
            for (const char16_t c : line) {
                if (ctx.poll()) return std::nullopt;
                if (!inClass(c)) continue;
                out.add(TextView(&c, 1));
                kept = true;
            }
            // A line with nothing of the class leaves no trace, not even an empty line.
            if (kept) out.endLine();
        }
        if (ctx.cancelled()) return std::nullopt;
        if (out.empty()) {
            ctx.inform(noneFound);
            return std::nullopt;
        }
        return out.take(lines.appendedLf());
    });
}

}  // namespace

std::optional<Text> ExtractDigits(TextView upper, const Params&, RunContext& ctx) {
    return extractClass(upper, ctx, u"半角数字は見つかりませんでした。", isHalfDigit);
}

std::optional<Text> ExtractDoubleByteCharacters(TextView upper, const Params&, RunContext& ctx) {
    return extractClass(upper, ctx, u"全角文字は見つかりませんでした。", cp932::isDoubleByte);
}

std::optional<Text> ExtractHalfWidthCharacters(TextView upper, const Params&, RunContext& ctx) {
    return extractClass(upper, ctx, u"半角文字は見つかりませんでした。", cp932::isSingleByte);
}

}  // namespace kivo
