#include "ops/set2/every_nth_line.h"

#include <cstdint>

#include "text/characters.h"
#include "text/numeric.h"

namespace kivo {
namespace {

struct Picked {
    Text result;
    bool any = false;
    bool appendedLf = false;
};

// Line k is picked, then every m-th line after the last picked one. Extraction keeps the picked
// lines, the remainder the others.
std::optional<Picked> pick(TextView upper, const Params& params, RunContext& ctx,
                           std::string_view firstControl, std::string_view skipControl, bool keepPicked) {
    const NormalizedText normalized(upper);
    const TextView s = normalized;
    if (normalized.hasConsecutiveLineBreaks()) {
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }
    // The first line and the step are held in 8 bits: k up to 255, a skip up to 254.
    const std::uint8_t k = checked<std::uint8_t>(countValue(params, firstControl, 1, 999));
    const std::uint8_t m = checked<std::uint8_t>(countValue(params, skipControl, 1, 999) + 1);
    LineReader lines(s);
    Picked out;
    // At most every line with a CrLf: untouched room costs nothing, a reallocation a copy.
    out.result.reserve(s.size() + lineCount(s) + 1);
    out.appendedLf = lines.appendedLf();
    int counter = 0;
    bool started = false;
    for (TextView line; !ctx.poll() && lines.next(line);) {
        ++counter;
        bool picked = false;
        if (!started && counter == k) {
            picked = started = true;
            counter = 0;
        } else if (started && counter == m) {
            picked = true;
            counter = 0;
        }
        out.any = out.any || picked;
        if (picked == keepPicked) {
            out.result.append(line);
            out.result.append(kCrLf);
        }
    }
    if (ctx.cancelled()) return std::nullopt;
    return out;
}

void dropFinalCrLf(Text& s) {
    if (s.size() >= 2) s.resize(s.size() - 2);
}

}  // namespace

std::optional<Text> ExtractEveryNthLine(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        std::optional<Picked> picked = pick(upper, params, ctx, "Combo8", "Combo9", true);
        if (!picked) return std::nullopt;
        // The last picked line never keeps a break, whether the text ended with one or not.
        if (picked->any) dropFinalCrLf(picked->result);
        return std::move(picked->result);
    });
}

std::optional<Text> RemainderEveryNthLine(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        std::optional<Picked> picked = pick(upper, params, ctx, "Combo10", "Combo11", false);
        if (!picked) return std::nullopt;
        if (picked->appendedLf) dropFinalCrLf(picked->result);
        return std::move(picked->result);
    });
}

}  // namespace kivo
