#include "ops/lines/duplicate_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <vector>

#include "ops/line_walk.h"

namespace kivo {
namespace {

// The lines that are equal form a group: how many there are, and the first and the last.
struct Group {
    std::uint32_t count = 0;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

// The group of every line, found through an open-addressing table of group numbers: a few bytes a
// line, where a node-based map took some sixty and an allocation each. Nothing when stopped.
class LineGroups {
public:
    bool build(const std::vector<TextView>& lines, RunContext& ctx) {
        const std::size_t mask = std::bit_ceil(std::max<std::size_t>(16, 2 * lines.size())) - 1;
        std::vector<std::uint32_t> slots(mask + 1, 0);  // a group's number plus one; 0 is free
        m_groupOf.resize(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if ((i & 0xFFF) == 0 && ctx.poll()) return false;
            std::size_t slot = std::hash<TextView>{}(lines[i]) & mask;
            while (slots[slot] != 0 && lines[m_groups[slots[slot] - 1].first] != lines[i])
                slot = (slot + 1) & mask;
            if (slots[slot] == 0) {
                const auto line = static_cast<std::uint32_t>(i);
                m_groups.push_back({0, line, line});
                slots[slot] = static_cast<std::uint32_t>(m_groups.size());
            }
            Group& group = m_groups[slots[slot] - 1];
            ++group.count;
            group.last = static_cast<std::uint32_t>(i);
            m_groupOf[i] = slots[slot] - 1;
        }
        return true;
    }
    const Group& of(std::size_t line) const { return m_groups[m_groupOf[line]]; }

private:
    std::vector<Group> m_groups;
    std::vector<std::uint32_t> m_groupOf;
};

}  // namespace

std::optional<Text> RemoveDuplicateLines(TextView upper, const DuplicateLinesOptions& options,
                                         RunContext& ctx) {
    const LineText text(upper);
    const std::optional<std::vector<TextView>> lines = text.lines(ctx);
    if (!lines) return std::nullopt;
    LineGroups groups;
    if (!groups.build(*lines, ctx)) return std::nullopt;
    LineWriter out = resultWriter(ctx, text.raw().size() + lines->size() + 1);
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if ((i & 0xFFF) == 0 && ctx.poll()) return std::nullopt;
        const TextView line = (*lines)[i];
        const Group& group = groups.of(i);
        switch (options.mode) {
            case DuplicateLines::KeepFirst:
                if (group.first == i) out.addLine(line);
                break;
            case DuplicateLines::KeepLast:
                if (group.last == i) out.addLine(line);
                break;
            case DuplicateLines::KeepUnique:
                if (group.count == 1) out.addLine(line);
                break;
            case DuplicateLines::Count:
                if (group.first != i) break;
                out.add(decimalText(static_cast<long long>(group.count)));
                out.add(u"\t");
                out.addLine(line);
                break;
        }
    }
    return out.take(!text.endsWithLineBreak());
}

const OperationDeclaration kRemoveDuplicateLines = declare<DuplicateLinesOptions>({
    .info =
        {.code = 37,
         .tab = Tab::Japanese,
         .selector = "Option5(2)",
         .name = "duplicate-lines",
         .description =
             "Removes repeated lines (keeping the first or the last), keeps the unique ones, or counts them",
         .japaneseDescription =
             u"重複する行を削除する（最初か最後を残す）、1回だけの行を残す、または回数を数えます。",
         .caption = u"重複する行を(&G)…",
         .example = {.input = u"東京\n大阪\n東京", .options = {}, .output = u"東京\r\n大阪"},
         .streamsResult = true},
    .params = {listParam(&DuplicateLinesOptions::mode, "mode",
                         {{u"削除する(最初の行を残す)", "keep-first", DuplicateLines::KeepFirst},
                          {u"削除する(最後の行を残す)", "keep-last", DuplicateLines::KeepLast},
                          {u"すべて削除する(1回だけの行を残す)", "keep-unique", DuplicateLines::KeepUnique},
                          {u"数える(回数とTabを行頭に付ける)", "count", DuplicateLines::Count}})
                   .alias("Combo61")
                   .purpose(u"重複する行の扱い", "What to do with repeated lines")},
    .run = RemoveDuplicateLines,
});

}  // namespace kivo
