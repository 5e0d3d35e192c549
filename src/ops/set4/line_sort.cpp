#include "ops/set4/line_sort.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ops/set4/set4_values.h"
#include "text/characters.h"

namespace kivo {
namespace {

// A row of the sorting table with its first four code units packed into one number (missing units
// as 0), so that most comparisons look at one integer. Packed this way the numbers order like the
// lines; only equal numbers need the lines themselves.
struct Row {
    std::uint64_t key;
    TextView line;
};

Row rowOf(TextView line) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 4; ++i)
        key = key << 16 | (i < line.size() ? line[i] : 0u);
    return {key, line};
}

bool before(const Row& a, const Row& b) {
    return a.key != b.key ? a.key < b.key : a.line < b.line;
}

}  // namespace

std::optional<Text> SortLines(TextView upper, const Params& params, RunContext& ctx) {
    return runFramed(ctx, kGeneralError, [&]() -> std::optional<Text> {
        const Text s = normalizeLineBreaks(upper);
        if (hasConsecutiveLineBreaks(s)) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        // The pane's line count: a final line break adds an empty last line, which is sorted too.
        const std::size_t n = lineCount(s);
        if (n <= 1) {
            ctx.inform(u"1行なのでソートできません。");
            return std::nullopt;
        }
        const bool descending = set4::listEntry(params, "Combo20") == u"降順でソートする";

        // Rows that receive no line keep an empty text and are sorted with the others.
        std::vector<Row> rows(n, rowOf(TextView()));
        LineReader lines(s);
        for (std::size_t i = 0; i < n && !ctx.poll(); ++i) {
            TextView line;
            if (!lines.next(line)) break;
            rows[i] = rowOf(line);
        }
        if (ctx.cancelled()) return std::nullopt;

        // Views compare code units as unsigned numbers: this is code-unit order.
        if (descending) {
            std::stable_sort(rows.begin(), rows.end(),
                             [](const Row& a, const Row& b) { return before(b, a); });
        } else {
            std::stable_sort(rows.begin(), rows.end(), before);
        }

        Text out;
        out.reserve(s.size() + 2 * n);
        for (const Row& row : rows) {
            if (ctx.poll()) return std::nullopt;
            out.append(row.line);
            out.append(kCrLf);
        }
        if (lines.appendedLf()) out.resize(out.size() - 2);
        return out;
    });
}

}  // namespace kivo
