#include "ops/lines/duplicate_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ops/line_walk.h"
#include "text/utf8.h"

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
    template <typename View>
    bool build(const std::vector<View>& lines, RunContext& ctx) {
        const std::size_t mask = std::bit_ceil(std::max<std::size_t>(16, 2 * lines.size())) - 1;
        std::vector<std::uint32_t> slots(mask + 1, 0);  // a group's number plus one; 0 is free
        m_groupOf.resize(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if ((i & 0xFFF) == 0 && ctx.poll()) return false;
            std::size_t slot = std::hash<View>{}(lines[i]) & mask;
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

// The lines kept or counted, written to `out`; nothing when stopped.
template <typename Char>
std::optional<std::basic_string<Char>> withoutDuplicates(
    const std::vector<std::basic_string_view<Char>>& lines, bool endsWithLineBreak, DuplicateLines mode,
    BasicLineWriter<Char>& out, RunContext& ctx) {
    LineGroups groups;
    if (!groups.build(lines, ctx)) return std::nullopt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if ((i & 0xFFF) == 0 && ctx.poll()) return std::nullopt;
        const std::basic_string_view<Char> line = lines[i];
        const Group& group = groups.of(i);
        switch (mode) {
            case DuplicateLines::KeepFirst:
                if (group.first == i) out.addLine(line);
                break;
            case DuplicateLines::KeepLast:
                if (group.last == i) out.addLine(line);
                break;
            case DuplicateLines::KeepUnique:
                if (group.count == 1) out.addLine(line);
                break;
            case DuplicateLines::Count: {
                if (group.first != i) break;
                const std::string count = std::to_string(group.count);
                out.add(std::basic_string<Char>(count.begin(), count.end()));
                constexpr Char kTab[] = {Char('\t')};
                out.add({kTab, 1});
                out.addLine(line);
                break;
            }
        }
    }
    return out.take(!endsWithLineBreak);
}

// Each line adds a count of ten digits at most, a Tab and a CrLf to its bytes, each byte a unit at most.
constexpr std::size_t kMostAddedALine = 13;

}  // namespace

std::optional<Text> RemoveDuplicateLines(TextView upper, const DuplicateLinesOptions& options,
                                         RunContext& ctx) {
    const LineText text(upper);
    const std::optional<std::vector<TextView>> lines = text.lines(ctx);
    if (!lines) return std::nullopt;
    LineWriter out = resultWriter(ctx, text.raw().size() + lines->size() + 1);
    return withoutDuplicates(*lines, text.endsWithLineBreak(), options.mode, out, ctx);
}

std::optional<std::string> RemoveDuplicateLinesUtf8(std::string_view upper,
                                                    const DuplicateLinesOptions& options, RunContext& ctx) {
    const Utf8Lines text(upper);
    const std::optional<std::vector<std::string_view>> lines = text.lines(ctx);
    if (!lines) return std::nullopt;
    // A result that may come near the budget is made by the run on UTF-16 units, which counts them.
    if (upper.size() + lines->size() * kMostAddedALine + 1 > ctx.resultBudget()) {
        const std::optional<Text> result = RemoveDuplicateLines(*utf8::decode(upper), options, ctx);
        return result ? std::optional(utf8::encode(*result)) : std::nullopt;
    }
    Utf8LineWriter out(text.text().size() + lines->size() + 1, Utf8LineWriter::kNoBudget, ctx.resultSink());
    return withoutDuplicates(*lines, text.endsWithLineBreak(), options.mode, out, ctx);
}

constinit const LazyOperation kRemoveDuplicateLines(37, "duplicate-lines", [] {
    return declare<DuplicateLinesOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(2)",
                 .description = "Removes repeated lines (keeping the first or the last), keeps the unique "
                                "ones, or counts them",
                 .japaneseDescription =
                     u"重複する行を削除する（最初か最後を残す）、1回だけの行を残す、または回数を数えます。",
                 .caption = u"重複する行を(&G)…",
                 .example = {.input = u"東京\n大阪\n東京", .options = {}, .output = u"東京\r\n大阪"},
                 .streamsResult = true},
        .params = {listParam(
                       &DuplicateLinesOptions::mode, "mode",
                       {{u"削除する(最初の行を残す)", "keep-first", DuplicateLines::KeepFirst},
                        {u"削除する(最後の行を残す)", "keep-last", DuplicateLines::KeepLast},
                        {u"すべて削除する(1回だけの行を残す)", "keep-unique", DuplicateLines::KeepUnique},
                        {u"数える(回数とTabを行頭に付ける)", "count", DuplicateLines::Count}})
                       .alias("Combo61")
                       .purpose(u"重複する行の扱い", "What to do with repeated lines")},
        .run = RemoveDuplicateLines,
        .takesUtf8 = [](std::string_view, const DuplicateLinesOptions&) { return true; },
        .runUtf8 = RemoveDuplicateLinesUtf8,
    });
});

}  // namespace kivo
