#include "ops/positions/replace_around.h"

#include <vector>

#include "ops/choices.h"
#include "ops/line_walk.h"
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

std::optional<Text> ReplaceAroundFoundText(TextView upper, const ReplaceAroundOptions& options,
                                           RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    const Text& x = options.found;
    if (x.find_first_of(u"\r\n") != Text::npos) {
        ctx.inform(u"条件の文字に改行が含まれています。");
        return std::nullopt;
    }
    // The run cycle refuses an empty search text before the operation.
    if (x.empty()) throw RunTimeError("no search text");
    const Finder finder(x);
    if (finder.find(text->raw(), false) == TextView::npos) {
        ctx.inform(u"「" + x + u"」は見つかりませんでした。");
        return std::nullopt;
    }
    const auto n = static_cast<std::size_t>(options.count);
    const bool lastOccurrence = options.occurrence == Side::Right;
    const bool before = options.side == Side::Left;

    // At most every line holds the found text once.
    ctx.checkResultLength(text->raw().size() +
                          std::uint64_t{text->lineCount()} * (options.replacement.size() + 2));
    std::int64_t lineNumber = 0;
    return text->eachLine(ctx, [&](TextView line, LineWriter& out) {
        ++lineNumber;
        const std::size_t at = finder.find(line, lastOccurrence);
        if (at == TextView::npos) return true;
        std::size_t from = at;
        std::size_t to = at + x.size();
        if (n > 0 && before) {
            if (n > at) {
                ctx.inform(decimalText(lineNumber) + u"行目の左側の文字数が足りません。");
                return false;
            }
            from -= n;
        } else if (n > 0) {
            if (to + n > line.size()) {
                ctx.inform(decimalText(lineNumber) + u"行目の右側の文字数が足りません。");
                return false;
            }
            to += n;
        }
        out.add(line.substr(0, from));
        out.add(options.replacement);
        out.addLine(line.substr(to));
        return true;
    });
}

constinit const LazyOperation kReplaceAroundFoundText(30, "replace-around", [] {
    return declare<ReplaceAroundOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(3)",
                 .description =
                     "Replaces a text found in every line together with characters before or after it",
                 .japaneseDescription =
                     u"各行で見つけた文字を、その左側または右側の指定した文字数と共に置き換えます。",
                 .caption = u"…から見つけた…を含む…側…文字を次の文字に置き換える (&H)",
                 .example = {.input = u"A:100円\nB:2000円",
                             .options = {"--find=円", "--side=left", "--count=2", "--replacement=**円"},
                             .output = u"A:1**円\r\nB:20**円"}},
        .params = {listParam(&ReplaceAroundOptions::occurrence, "from", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo48")
                       .purpose(u"探す方向", "Side to search from"),
                   textParam(&ReplaceAroundOptions::found, "find", kSeveralLines)
                       .alias("Text15")
                       .purpose(u"探す文字", "Text to find"),
                   listParam(&ReplaceAroundOptions::side, "side", sideChoices(), OtherText::IsLastEntry)
                       .alias("Combo50")
                       .purpose(u"置換する側", "Side to replace"),
                   countParam(&ReplaceAroundOptions::count, "count", 0, 999, 1)
                       .alias("Combo49")
                       .purpose(u"置換する文字数", "Number of characters to replace"),
                   textParam(&ReplaceAroundOptions::replacement, "replacement", kSeveralLines)
                       .alias("Text22")
                       .purpose(u"置換後の文字", "Replacement text")},
        .preCheck = [](const ReplaceAroundOptions& o) -> std::optional<Text> {
            if (o.found.empty()) return Text(u"…から見つけた●●●を含む文字を入力して下さい。");
            return std::nullopt;
        },
        .run = ReplaceAroundFoundText,
    });
});

}  // namespace kivo
