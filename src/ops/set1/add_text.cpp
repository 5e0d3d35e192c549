#include "ops/set1/add_text.h"

#include "text/characters.h"

namespace kivo {

std::optional<Text> AddTextAtSide(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText s(upper);
        if (s.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        // Every Lf of the result becomes CrLf, those brought in by the added text too: a CrLf
        // typed into the box must arrive as one Lf, not as a Cr followed by a line break.
        const Text added = lfToCrLf(normalizeLineBreaks(params.text("Text3")));
        const bool left = params.text("Combo31") == u"左";
        TextView body = s;
        const bool finalLineBreak = !body.empty() && body.back() == kLf;
        if (finalLineBreak) body.remove_suffix(1);
        // One pass into a result of the exact length: the added text once per line of the body.
        const std::size_t breaks = lineCount(body) - 1;
        Text out;
        out.reserve(body.size() + breaks * kCrLf.size() + (breaks + 1) * added.size() +
                    (finalLineBreak ? kCrLf.size() : 0));
        if (left) out.append(added);
        for (std::size_t from = 0;;) {
            const std::size_t lf = findUnit(body, kLf, from);
            out.append(body.substr(from, lf == TextView::npos ? TextView::npos : lf - from));
            if (lf == TextView::npos) break;
            if (!left) out.append(added);
            out.append(kCrLf);
            if (left) out.append(added);
            from = lf + 1;
        }
        if (!left) out.append(added);
        if (finalLineBreak) out.append(kCrLf);
        return out;
    });
}

std::optional<Text> IndentLinesWithTab(TextView upper, const Params&, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
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
