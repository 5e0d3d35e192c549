#include "ops/set2/line_replacement.h"

#include <cstddef>

#include "text/characters.h"
#include "text/errors.h"

namespace kivo {
namespace {

constexpr TextView kRemoveEmptyLines = u"削除されて改行のみの行を削除しますか？";
constexpr TextView kDoubleCrLf = u"\r\n\r\n";

// One left-to-right pass: a run of three breaks keeps two.
void askToJoinEmptyLines(Text& result, RunContext& ctx, bool dropLeadingBreak) {
    if (findText(result, kDoubleCrLf) == Text::npos) return;
    if (ctx.ask(kRemoveEmptyLines) != Answer::Yes) return;
    result = replaceAll(result, kDoubleCrLf, kCrLf);
    if (dropLeadingBreak && TextView(result).starts_with(kCrLf)) result.erase(0, 2);
}

void dropFinalCrLf(Text& result) {
    if (result.size() >= 2) result.resize(result.size() - 2);
}

// The new line when the text has several lines. Left: the p-th character is replaced by T.
// Right: T goes in before the last p-1 characters, and nothing is removed.
void insertIntoLine(Text& out, TextView line, std::size_t p, TextView t, bool left) {
    const std::size_t n = line.size();
    if (left) {
        if (n < p) throw RunTimeError("line shorter than the position");
        out.append(line.substr(0, p - 1));
        out.append(t);
        out.append(line.substr(p));
    } else {
        if (n < p - 1) throw RunTimeError("line shorter than the position");
        out.append(line.substr(0, n - (p - 1)));
        out.append(t);
        out.append(line.substr(n - (p - 1)));
    }
}

// A text without line breaks: a position at or past its end appends T; otherwise the p-th
// character counted from the side is replaced.
Text insertIntoSingleLine(TextView s, std::size_t p, TextView t, bool left) {
    const std::size_t n = s.size();
    Text out;
    if (p >= n) {
        out.append(s);
        out.append(t);
    } else if (left) {
        out.append(s.substr(0, p - 1));
        out.append(t);
        out.append(s.substr(p));
    } else {
        out.append(s.substr(0, n - p));
        out.append(t);
        out.append(s.substr(n - p + 1));
    }
    return out;
}

}  // namespace

std::optional<Text> ReplaceLine(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        const bool odd = params.text("Combo38") == u"奇数";
        const Text& replacement = params.text("Text12");
        LineReader lines(s);
        Text result;
        std::size_t i = 0;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            ++i;
            result.append(i % 2 == (odd ? 1 : 0) ? TextView(replacement) : line);
            result.append(kCrLf);
        }
        if (ctx.cancelled()) return std::nullopt;
        if (odd) {
            if (lines.appendedLf()) dropFinalCrLf(result);
            askToJoinEmptyLines(result, ctx, true);
        } else {
            askToJoinEmptyLines(result, ctx, false);
            if (lines.appendedLf()) dropFinalCrLf(result);
        }
        return result;
    });
}

std::optional<Text> InsertAtPosition(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        const std::size_t p = static_cast<std::size_t>(countValue(params, "Combo3", 1, 999));
        // Every Lf of the result becomes CrLf at the end: the inserted text's own breaks are
        // brought to Lf first, or its CrLf would come out as Cr CrLf.
        const Text t = normalizeLineBreaks(params.text("Text14"));
        const bool left = params.text("Combo4") == u"左";
        Text result;
        bool appended = false;
        if (findUnit(s, kLf) != Text::npos) {
            LineReader lines(s);
            appended = lines.appendedLf();
            for (TextView line; !ctx.poll() && lines.next(line);) {
                insertIntoLine(result, line, p, t, left);
                result.push_back(kLf);
            }
        } else {
            result = insertIntoSingleLine(s, p, t, left);
        }
        if (ctx.cancelled()) return std::nullopt;
        if (appended) result.pop_back();
        return lfToCrLf(result);
    });
}

}  // namespace kivo
