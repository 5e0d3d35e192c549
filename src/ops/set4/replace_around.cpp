#include "ops/set4/replace_around.h"

#include <vector>

#include "ops/set4/set4_values.h"
#include "text/characters.h"
#include "text/errors.h"
#include "text/sides.h"

namespace kivo {
namespace {

// Knuth–Morris–Pratt, so that a search text with long self-overlaps stays linear in the line.
class Finder {
public:
    explicit Finder(TextView pattern) : m_pattern(pattern), m_border(pattern.size(), 0) {
        for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
            while (k > 0 && pattern[i] != pattern[k])
                k = m_border[k - 1];
            if (pattern[i] == pattern[k]) ++k;
            m_border[i] = k;
        }
    }

    /// The index of the first (or last) occurrence in `text`, npos when there is none.
    std::size_t find(TextView text, bool last) const {
        std::size_t found = TextView::npos;
        for (std::size_t i = 0, k = 0; i < text.size(); ++i) {
            while (k > 0 && text[i] != m_pattern[k])
                k = m_border[k - 1];
            if (text[i] == m_pattern[k]) ++k;
            if (k == m_pattern.size()) {
                found = i + 1 - k;
                if (!last) break;
                k = m_border[k - 1];
            }
        }
        return found;
    }

private:
    TextView m_pattern;
    std::vector<std::size_t> m_border;
};

}  // namespace

std::optional<Text> ReplaceAroundFoundText(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        const Text& x = params.text("Text15");
        if (x.find_first_of(u"\r\n") != Text::npos) {
            ctx.inform(u"条件の文字に改行が含まれています。");
            return std::nullopt;
        }
        // The run cycle refuses an empty search text before the operation.
        if (x.empty()) throw RunTimeError("no search text");
        const Finder finder(x);
        if (finder.find(s, false) == TextView::npos) {
            ctx.inform(u"「" + x + u"」は見つかりませんでした。");
            return std::nullopt;
        }
        const std::size_t n = static_cast<std::size_t>(countValue(params, "Combo49", 0, 999));
        const bool lastOccurrence = kivo::sideOf(params.text("Combo48")) == Side::Right;
        const bool before = kivo::sideOf(params.text("Combo50")) == Side::Left;
        const Text& replacement = params.text("Text22");

        LineReader lines(s);
        LineWriter out;
        std::int64_t lineNumber = 0;
        for (TextView line; !ctx.poll() && lines.next(line);) {
            ++lineNumber;
            const std::size_t at = finder.find(line, lastOccurrence);
            if (at == TextView::npos) continue;
            std::size_t from = at;
            std::size_t to = at + x.size();
            if (n > 0 && before) {
                if (n > at) {
                    ctx.inform(set4::decimalText(lineNumber) + u"行目の左側の文字数が足りません。");
                    return std::nullopt;
                }
                from -= n;
            } else if (n > 0) {
                if (to + n > line.size()) {
                    ctx.inform(set4::decimalText(lineNumber) + u"行目の右側の文字数が足りません。");
                    return std::nullopt;
                }
                to += n;
            }
            out.add(line.substr(0, from));
            out.add(replacement);
            out.add(line.substr(to));
            out.endLine();
        }
        if (ctx.cancelled()) return std::nullopt;
        return out.take(lines.appendedLf());
    });
}

}  // namespace kivo
