#include "ops/set1/line_filter.h"

#include "ops/set1/text_search.h"

namespace kivo {

std::optional<Text> FilterLines(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const Text s = normalizeLineBreaks(upper);
        if (hasConsecutiveLineBreaks(s)) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        const Text& condition = params.text("Text13");
        if (condition.find_first_of(u"\r\n") != Text::npos) {
            ctx.inform(u"条件の文字に改行が含まれています。");
            return std::nullopt;
        }
        const Text& mode = params.text("Combo47");
        const bool keepContaining = mode == u"次の文字を含む行を抜き出す";
        const TextSearch search(condition);
        LineReader lines(s);
        LineWriter out;
        // A mode that is neither entry keeps no line.
        if (keepContaining || mode == u"次の文字を含まない行を抜き出す") {
            for (TextView line; !ctx.poll() && lines.next(line);)
                if (search.foundIn(line) == keepContaining) out.addLine(line);
        }
        if (ctx.cancelled()) return std::nullopt;
        if (out.empty()) {
            ctx.inform(u"条件を満たす行はありませんでした。");
            return std::nullopt;
        }
        return out.take(lines.appendedLf());
    });
}

}  // namespace kivo
