#include "ops/set1/digit_replacement.h"

#include "ops/set1/text_search.h"
#include "text/characters.h"
#include "text/errors.h"

namespace kivo {
namespace {

constexpr TextView kNothingToReplace = u"置き換える文字、文字列が見つかりませんでした。";
constexpr TextView kCountBeyondText = u"置き換える文字数が元のデータより大きい値になっています。";
constexpr TextView kLineBreakInFoundText = u"改行が含まれています。";
constexpr TextView kFoundTextNotFound = u"置き換える文字が見つかりませんでした。";

// The common start of the three operations: the normalised text, or nothing after refusing two
// line breaks in a row.
std::optional<NormalizedText> normalizedLines(TextView upper, RunContext& ctx) {
    NormalizedText s(upper);
    if (s.hasConsecutiveLineBreaks()) {
        ctx.inform(kConsecutiveLineBreaks);
        return std::nullopt;
    }
    return s;
}

// The digit class is read once per run, not compared as a text at every character.
struct DigitClass {
    bool half;
    bool full;
    bool contains(char16_t c) const { return (half && isHalfDigit(c)) || (full && isFullDigit(c)); }
};

bool hasLineBreak(TextView s) {
    return s.find_first_of(u"\r\n") != TextView::npos;
}

}  // namespace

std::optional<Text> ReplaceDigits(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const std::optional<NormalizedText> s = normalizedLines(upper, ctx);
        if (!s) return std::nullopt;
        const Text& digitClassName = params.text("Combo34");
        // Only the command line can send another text, and it names no digits to replace.
        if (digitClassName != u"半角" && digitClassName != u"全角" && digitClassName != u"半角全角")
            throw RunTimeError("unknown digit class");
        const DigitClass digitClass{digitClassName != u"全角", digitClassName != u"半角"};
        // Every Lf of the result becomes CrLf, those brought in by the replacement too: a CrLf
        // typed into the box must arrive as one Lf, not as a Cr followed by a line break.
        const Text replacement = normalizeLineBreaks(params.text("Text4"));
        const bool appendedLf = s->view().empty() || s->view().back() != kLf;
        Text out;
        out.reserve(s->view().size() + 1);
        bool found = false;
        auto take = [&](char16_t c) {
            if (digitClass.contains(c)) {
                out.append(replacement);
                found = true;
            } else {
                out.push_back(c);
            }
        };
        for (const char16_t c : s->view()) {
            if (ctx.poll()) return std::nullopt;
            take(c);
        }
        if (appendedLf) {
            if (ctx.poll()) return std::nullopt;
            take(kLf);
        }
        if (!found) {
            ctx.exclaim(kNothingToReplace);
            return std::nullopt;
        }
        Text result = lfToCrLf(out);
        if (appendedLf) result.resize(result.size() - 2);
        return result;
    });
}

std::optional<Text> ReplaceEndCharacters(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const std::optional<NormalizedText> s = normalizedLines(upper, ctx);
        if (!s) return std::nullopt;
        const std::size_t n = static_cast<std::size_t>(countValue(params, "Combo1", 1, 999));
        const bool fromLeft = params.text("Combo32") == u"左";
        const Text& replacement = params.text("Text5");
        auto replaced = [&](TextView line, auto&& append) {
            if (fromLeft) {
                append(replacement);
                append(line.substr(n));
            } else {
                append(line.substr(0, line.size() - n));
                append(replacement);
            }
        };

        if (findUnit(*s, kLf) == TextView::npos) {
            if (s->view().size() < n) {
                ctx.inform(kCountBeyondText);
                return std::nullopt;
            }
            Text out;
            replaced(s->view(), [&](TextView piece) { out.append(piece); });
            return out;
        }

        LineReader lines(*s);
        LineWriter out;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            // A line too short for the count fails the whole run.
            if (line.size() < n) throw RunTimeError("line shorter than the count");
            replaced(line, [&](TextView piece) { out.add(piece); });
            out.endLine();
        }
        if (ctx.cancelled()) return std::nullopt;
        return out.take(lines.appendedLf());
    });
}

std::optional<Text> ReplaceSideOfFoundText(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const Text& found = params.text("Text7");
        if (found.empty()) {
            ctx.inform(kFoundTextMissing);
            return std::nullopt;
        }
        const std::optional<NormalizedText> s = normalizedLines(upper, ctx);
        if (!s) return std::nullopt;
        if (hasLineBreak(found)) {
            ctx.inform(kLineBreakInFoundText);
            return std::nullopt;
        }
        const TextSearch search(found);
        const bool firstOccurrence = params.text("Combo2") == u"左";
        const bool leftSide = params.text("Combo33") == u"左側";
        const Text& replacement = params.text("Text8");
        auto position = [&](TextView line) {
            return firstOccurrence ? search.first(line) : search.last(line);
        };

        if (findUnit(*s, kLf) == TextView::npos) {
            const std::size_t at = position(*s);
            if (at == TextView::npos) {
                ctx.inform(kFoundTextNotFound);
                return std::nullopt;
            }
            // A single line keeps what follows the whole found text, and the found text's first
            // character when its right side goes.
            const TextView line = *s;
            return leftSide ? replacement + Text(line.substr(at + found.size()))
                            : Text(line.substr(0, at + 1)) + replacement;
        }

        LineReader lines(*s);
        LineWriter out;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            const std::size_t at = position(line);
            if (at == TextView::npos) {
                out.addLine(line);
            } else if (leftSide) {
                // Of several lines, the found text's first character goes with the chosen side.
                out.add(replacement);
                out.addLine(line.substr(at + 1));
            } else {
                out.add(line.substr(0, at));
                out.addLine(replacement);
            }
        }
        if (ctx.cancelled()) return std::nullopt;
        return out.take(lines.appendedLf());
    });
}

}  // namespace kivo
