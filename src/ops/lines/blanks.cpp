#include "ops/lines/blanks.h"

#include "ops/line_walk.h"

namespace kivo {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

TextView trimmedEnd(TextView line) {
    std::size_t end = line.size();
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    return line.substr(0, end);
}

TextView trimmed(TextView line) {
    line = trimmedEnd(line);
    std::size_t start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    return line.substr(start);
}

bool isBlankLine(TextView line) {
    return trimmedEnd(line).empty();
}

}  // namespace

std::optional<Text> CleanBlanks(TextView upper, const BlanksOptions& options, RunContext& ctx) {
    const LineText text(upper);
    bool afterBlankLine = false;
    return text.eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            switch (options.cleaning) {
                case BlankCleaning::TrimBothEnds:
                    out.addLine(trimmed(line));
                    break;
                case BlankCleaning::TrimEnd:
                    out.addLine(trimmedEnd(line));
                    break;
                case BlankCleaning::RemoveBlankLines:
                    if (!isBlankLine(line)) out.addLine(line);
                    break;
                case BlankCleaning::SqueezeBlankLines: {
                    const bool blank = isBlankLine(line);
                    if (!blank) {
                        out.addLine(line);
                    } else if (!afterBlankLine) {
                        out.endLine();
                    }
                    afterBlankLine = blank;
                    break;
                }
            }
        },
        text.raw().size() + text.lineCount() + 1);
}

constinit const LazyOperation kCleanBlanks(38, "clean-blanks", [] {
    return declare<BlanksOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(3)",
                 .description = "Removes blanks at the line ends, or removes or squeezes blank lines",
                 .japaneseDescription =
                     u"行頭・行末の空白を削除する、空行を削除する、または連続する空行を1行にまとめます。",
                 .caption = u"空白と空行を(&H)…",
                 .example = {.input = u"  a  \n\tb ", .options = {}, .output = u"a\r\nb"},
                 .streamsResult = true,
                 .lineLocal = true},
        .params = {listParam(&BlanksOptions::cleaning, "mode",
                             {{u"行頭と行末の空白を削除する", "trim", BlankCleaning::TrimBothEnds},
                              {u"行末の空白を削除する", "trim-end", BlankCleaning::TrimEnd},
                              {u"空行を削除する", "remove-blank-lines", BlankCleaning::RemoveBlankLines},
                              {u"連続する空行を1行にする", "squeeze-blank-lines",
                               BlankCleaning::SqueezeBlankLines}})
                       .alias("Combo62")
                       .purpose(u"空白と空行の扱い", "What to do with blanks")},
        .run = CleanBlanks,
        // Blank lines are removed or squeezed across whole runs of them, which a cut may split.
        .lineLocalWith =
            [](const BlanksOptions& o) {
                return o.cleaning == BlankCleaning::TrimBothEnds || o.cleaning == BlankCleaning::TrimEnd;
            },
    });
});

}  // namespace kivo
