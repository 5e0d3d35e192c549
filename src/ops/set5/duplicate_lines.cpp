#include "ops/set5/duplicate_lines.h"

#include <unordered_map>

#include "ops/line_walk.h"

namespace kivo {
namespace {

struct Seen {
    std::size_t count = 0;
    std::size_t first = 0;  // the line's first and last index
    std::size_t last = 0;
};

}  // namespace

std::optional<Text> RemoveDuplicateLines(TextView upper, const DuplicateLinesOptions& options,
                                         RunContext& ctx) {
    const LineText text(upper);
    const std::optional<std::vector<TextView>> lines = text.lines(ctx);
    if (!lines) return std::nullopt;
    std::unordered_map<TextView, Seen> seen;
    seen.reserve(lines->size());
    for (std::size_t i = 0; i < lines->size(); ++i) {
        Seen& s = seen.try_emplace((*lines)[i], Seen{0, i, i}).first->second;
        ++s.count;
        s.last = i;
    }
    LineWriter out = resultWriter(ctx, text.raw().size() + lines->size() + 1);
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if ((i & 0xFFF) == 0 && ctx.poll()) return std::nullopt;
        const TextView line = (*lines)[i];
        const Seen& s = seen.at(line);
        switch (options.mode) {
            case DuplicateLines::KeepFirst:
                if (s.first == i) out.addLine(line);
                break;
            case DuplicateLines::KeepLast:
                if (s.last == i) out.addLine(line);
                break;
            case DuplicateLines::KeepUnique:
                if (s.count == 1) out.addLine(line);
                break;
            case DuplicateLines::Count:
                if (s.first != i) break;
                out.add(decimalText(static_cast<long long>(s.count)));
                out.add(u"\t");
                out.addLine(line);
                break;
        }
    }
    return out.take(!text.endsWithLineBreak());
}

const OperationDeclaration kRemoveDuplicateLines = declare<DuplicateLinesOptions>({
    .code = 37,
    .tab = 4,
    .selector = "Option5(2)",
    .name = "duplicate-lines",
    .description =
        "Removes repeated lines (keeping the first or the last), keeps the unique ones, or counts them",
    .caption = u"重複する行を(&G)…",
    .example = {.input = u"東京\n大阪\n東京", .options = {}, .output = u"東京\r\n大阪"},
    .params = {listParam(&DuplicateLinesOptions::mode, "Combo61", "mode",
                         {{u"削除する(最初の行を残す)", "keep-first", DuplicateLines::KeepFirst},
                          {u"削除する(最後の行を残す)", "keep-last", DuplicateLines::KeepLast},
                          {u"すべて削除する(1回だけの行を残す)", "keep-unique", DuplicateLines::KeepUnique},
                          {u"数える(回数とTabを行頭に付ける)", "count", DuplicateLines::Count}})},
    .streamsResult = true,
    .run = RemoveDuplicateLines,
});

}  // namespace kivo
