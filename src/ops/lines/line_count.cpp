#include "ops/lines/line_count.h"

#include <cstdint>
#include <limits>
#include <string>

#include "text/characters.h"
#include "text/errors.h"
#include "text/lines.h"
#include "text/utf8.h"

namespace kivo {
namespace {

constexpr TextView kCountError = u"行数を調べる際にエラーしました。";
constexpr TextView kNoText = u"抜き出す行番号を入力して下さい。";
constexpr TextView kLineNumberTooLarge =
    u"テキストボックスの行数よりも指定された行番号の方が大きい値になっています。";

// The input rule of `Text11` keeps it decimal digits with a value of 1 to 2147483647 (leading
// zeros may stay); anything else can only come from the command line.
std::int32_t lineNumber(TextView text) {
    if (text.empty()) throw RunTimeError("no line number");
    std::int64_t v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') throw RunTimeError("not a line number");
        v = v * 10 + (c - u'0');
        if (v > std::numeric_limits<std::int32_t>::max()) throw RunTimeError("line number overflow");
    }
    if (v == 0) throw RunTimeError("line number 0");
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::optional<Text> CountLines(TextView upper, const NoOptions&, RunContext&) {
    return u"行数：" + decimalText(static_cast<long long>(lineCountOf(upper)));
}

std::optional<std::string> CountLinesUtf8(std::string_view upper, const NoOptions&, RunContext&) {
    return utf8::encode(u"行数：") + std::to_string(lineBreakCountOf(upper) + 1);
}

std::optional<Text> ExtractLine(TextView upper, const ExtractLineOptions& options, RunContext& ctx) {
    const NormalizedText normalized(upper);
    TextView s = normalized;
    // A single final break ends the last line rather than opening an empty one.
    if (!s.empty() && s.back() == kLf) s.remove_suffix(1);
    const std::int32_t n = lineNumber(options.lineNumber);
    const std::size_t lines = lineCount(s);
    if (s.empty()) {
        ctx.inform(kNoText);
        return std::nullopt;
    }
    if (static_cast<std::size_t>(n) > lines) {
        ctx.inform(kLineNumberTooLarge);
        return std::nullopt;
    }
    // Line i is the text after the (i-1)-th Lf. When the text still ends with Lf (it ended
    // with two breaks) the last line is the empty one after that Lf: it is found as well
    // instead of the walk stopping one line short and returning the line before it.
    const TextView text = s;
    std::size_t pos = 0;
    TextView line;
    for (std::int32_t i = 0; i < n; ++i) {
        if (ctx.poll()) return std::nullopt;
        const std::size_t lf = findUnit(text, kLf, pos);
        const std::size_t end = lf == TextView::npos ? text.size() : lf;
        line = text.substr(pos, end - pos);
        pos = end + 1;
    }
    if (line.empty()) {
        // Appending to a named text rather than prefixing a temporary: GCC 12 at -O3 reports
        // a bogus overlap (-Wrestrict) inside the prefix insert of `literal + string&&`.
        Text message(u"「");
        message += decimalText(n);
        message += u"」行目の文字が見つかりませんでした。";
        ctx.inform(message);
    }
    return Text(line);
}

constinit const LazyOperation kCountLines(13, "count-lines", [] {
    return declare<NoOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(0)",
                 .description = "Counts the lines of the text",
                 .japaneseDescription = u"テキストの行数を数えます。",
                 .caption = u"複数行の行数をカウントする(&E)",
                 .example = {.input = u"a\nb\nc", .options = {}, .output = u"行数：3"},
                 .errorMessage = kCountError},
        .run = CountLines,
        .takesUtf8 = [](std::string_view, const NoOptions&) { return true; },
        .runUtf8 = CountLinesUtf8,
    });
});

constinit const LazyOperation kExtractLine(14, "extract-line", [] {
    return declare<ExtractLineOptions>({
        .info = {.tab = Tab::LinesAndPositions,
                 .selector = "Option2(1)",
                 .description = "Takes out one line by its number",
                 .japaneseDescription = u"指定した行番号の行を1行抜き出します。",
                 .caption = u"複数行から1行抜き出す(&F)",
                 .example = {.input = u"a\nb\nc", .options = {"--line=2"}, .output = u"b"}},
        .params = {numberTextParam(&ExtractLineOptions::lineNumber, "line", 1, 2147483647, u"2")
                       .alias("Text11")
                       .purpose(u"抜き出す行番号", "Line number")},
        .run = ExtractLine,
    });
});

}  // namespace kivo
