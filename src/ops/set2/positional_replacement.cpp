#include "ops/set2/positional_replacement.h"

#include <cstddef>
#include <cstdint>

#include "text/characters.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kNothingReplaced = u"置き換える文字が見つかりませんでした。";

// Left: characters p to p+c-1. Right: c characters from the p-th from the right towards the end.
void markRun(Text& out, TextView line, std::size_t p, std::size_t c, bool left) {
    const std::size_t n = line.size();
    if (left) {
        if (n < p + c - 1) throw RunTimeError("line shorter than the run");
        out.append(line.substr(0, p - 1));
        out.push_back(kBs);
        out.append(line.substr(p + c - 1));
    } else {
        if (n < p || c > p) throw RunTimeError("run outside the line");
        out.append(line.substr(0, n - p));
        out.push_back(kBs);
        out.append(line.substr(n - p + c));
    }
}

}  // namespace

std::optional<Text> ReplaceByPosition(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        // Both are held in 8 bits, although the combos offer up to 999.
        const std::uint8_t p = checked<std::uint8_t>(countValue(params, "Combo6", 1, 999));
        const std::uint8_t c = checked<std::uint8_t>(countValue(params, "Combo7", 1, 999));
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        const bool left = params.text("Combo18") == u"左";
        LineReader lines(s);
        Text marked;
        marked.reserve(s.size() + 2);
        for (TextView line; !ctx.poll() && lines.next(line);) {
            markRun(marked, line, p, c, left);
            marked.append(kCrLf);
        }
        if (ctx.cancelled()) return std::nullopt;
        // A backspace of the upper text is replaced as well: it cannot be told from a marker.
        Text result = replaceAll(marked, TextView(&kBs, 1), params.text("Text34"));
        if (lines.appendedLf()) result.resize(result.size() - 2);
        if (result == upper) {
            ctx.inform(kNothingReplaced);
            return std::nullopt;
        }
        return result;
    });
}

}  // namespace kivo
