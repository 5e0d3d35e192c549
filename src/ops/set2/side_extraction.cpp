#include "ops/set2/side_extraction.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

struct Run {
    std::size_t p;  // position counted from the side
    std::size_t c;  // count
    bool left;
};

// Left: up to c characters from position p (none when the line is shorter than p).
// Right: the last p characters when p = c; otherwise up to c from the p-th from the right.
void extractRun(Text& out, TextView line, Run r) {
    const std::size_t n = line.size();
    if (r.left) {
        if (n >= r.p) out.append(line.substr(r.p - 1, r.c));
    } else if (r.p == r.c) {
        out.append(line.substr(n - std::min(n, r.p)));
    } else {
        if (n < r.p) throw RunTimeError("line shorter than the position");
        out.append(line.substr(n - r.p, r.c));
    }
}

// The line without the run of extractRun.
void removeRun(Text& out, TextView line, Run r) {
    const std::size_t n = line.size();
    if (r.left) {
        if (n < r.p + r.c - 1) throw RunTimeError("line shorter than the run");
        out.append(line.substr(0, r.p - 1));
        out.append(line.substr(r.p + r.c - 1));
    } else if (r.p == r.c) {
        if (n < r.p) throw RunTimeError("line shorter than the position");
        out.append(line.substr(0, n - r.p));
    } else {
        if (n < r.p || r.c > r.p) throw RunTimeError("run outside the line");
        // The start position and the end of the run are held in 8 bits here, which limits this
        // case to lines of at most 254 + p - c characters.
        if (n - r.p + 1 + r.c > 255) throw RunTimeError("8-bit overflow");
        out.append(line.substr(0, n - r.p));
        out.append(line.substr(n - (r.p - r.c)));
    }
}

template <typename LineFn>
std::optional<Text> eachLine(TextView upper, const Params& params, RunContext& ctx,
                             std::string_view sideControl, std::string_view positionControl,
                             std::string_view countControl, LineFn lineFn) {
    const NormalizedText normalized(upper);
    const TextView s = normalized;
    if (normalized.hasConsecutiveLineBreaks()) {
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }
    // Both are held in 8 bits, although the combos offer up to 999.
    const Run run{checked<std::uint8_t>(countValue(params, positionControl, 1, 999)),
                  checked<std::uint8_t>(countValue(params, countControl, 1, 999)),
                  params.text(sideControl) == u"左"};
    LineReader lines(s);
    LineWriter out;
    Text piece;
    for (TextView line; !ctx.poll() && lines.next(line);) {
        piece.clear();
        lineFn(piece, line, run);
        out.addLine(piece);
    }
    if (ctx.cancelled()) return std::nullopt;
    return out.take(lines.appendedLf());
}

}  // namespace

std::optional<Text> ExtractFromSide(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&] {
        return eachLine(upper, params, ctx, "Combo16", "Combo12", "Combo13", extractRun);
    });
}

std::optional<Text> RemainderFromSide(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&] {
        return eachLine(upper, params, ctx, "Combo17", "Combo14", "Combo15", removeRun);
    });
}

}  // namespace kivo
