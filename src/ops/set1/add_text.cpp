#include "ops/set1/add_text.h"

#include "text/special.h"

namespace kivo {

std::optional<Text> AddTextAtSide(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        Text s = normalizeLineBreaks(upper);
        if (hasConsecutiveLineBreaks(s)) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        // Every Lf of the result becomes CrLf, those brought in by the added text too: a CrLf
        // typed into the box must arrive as one Lf, not as a Cr followed by a line break.
        const Text added = normalizeLineBreaks(params.text("Text3"));
        const bool finalLineBreak = !s.empty() && s.back() == kLf;
        if (finalLineBreak) s.pop_back();
        if (params.text("Combo31") == u"左") {
            s = added + replaceAll(s, u"\n", u"\n" + added);
        } else {
            s = replaceAll(s, u"\n", added + u"\n");
            s += added;
        }
        if (finalLineBreak) s.push_back(kLf);
        return lfToCrLf(s);
    });
}

std::optional<Text> IndentLinesWithTab(TextView upper, const Params&, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const Text s = normalizeLineBreaks(upper);
        LineReader lines(s);
        LineWriter out;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            out.add(u"\t");
            out.addLine(line);
        }
        if (ctx.cancelled()) return std::nullopt;
        return out.take(lines.appendedLf());
    });
}

}  // namespace kivo
