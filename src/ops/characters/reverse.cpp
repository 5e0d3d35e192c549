#include "ops/characters/reverse.h"

#include <algorithm>

#include "ops/line_walk.h"
#include "text/characters.h"
#include "text/surrogates.h"

namespace kivo {
namespace {

// Normalising the line breaks, reversing and writing every Lf as CrLf, in one pass from the end
// into a result of the exact length: a lone Cr or Lf becomes two units, a CrLf stays two.
// Reading backwards meets the Lf of a CrLf first, and the low half of a pair first.
Text reverseWholeText(TextView upper) {
    const std::size_t n = upper.size();
    std::size_t size = n;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = upper[i];
        size += (c == kLf && (i == 0 || upper[i - 1] != kCr)) ||
                (c == kCr && (i + 1 == n || upper[i + 1] != kLf));
    }
    Text out(size, u'\0');
    char16_t* o = out.data();
    for (std::size_t i = n; i > 0;) {
        const char16_t c = upper[--i];
        if (c == kLf || c == kCr) {
            if (c == kLf && i > 0 && upper[i - 1] == kCr) --i;
            *o++ = kCr;
            *o++ = kLf;
        } else if (isLowSurrogate(c) && i > 0 && isHighSurrogate(upper[i - 1])) {
            *o++ = upper[--i];
            *o++ = c;
        } else {
            *o++ = c;
        }
    }
    return out;
}

std::optional<Text> reverseEveryFewLines(TextView upper, int interval, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    std::int32_t i = 0;
    return text->eachLine(ctx, [&](TextView line, LineWriter& out) {
        ++i;
        if (interval == 0 || i == 1) {
            out.addLine(reversed(line));
        } else if (i > interval + 1) {
            i = 1;
            out.addLine(reversed(line));
        } else {
            out.addLine(line);
        }
    });
}

}  // namespace

Text reversed(TextView s) {
    Text r(s.rbegin(), s.rend());
    // Reversing turned every pair into low-high: put each back in order.
    for (std::size_t k = 0; k + 1 < r.size(); ++k) {
        if (isLowSurrogate(r[k]) && isHighSurrogate(r[k + 1])) {
            std::swap(r[k], r[k + 1]);
            ++k;
        }
    }
    return r;
}

std::optional<Text> ReverseText(TextView upper, const ReverseOptions& options, RunContext& ctx) {
    if (options.mode == ReverseMode::WholeText) return reverseWholeText(upper);
    return reverseEveryFewLines(upper, options.interval, ctx);
}

constinit const LazyOperation kReverseText(0, "reverse", [] {
    return declare<ReverseOptions>({
        .info = {.tab = Tab::Characters,
                 .selector = "Option1(0)",
                 .description = "Reverses the whole text, or one line in every few",
                 .japaneseDescription = u"テキスト全体、または数行おきの行の文字の並びを逆にします。",
                 .caption = u"リバース(&E)",
                 .example = {.input = u"一行目\n二行目\n三行目",
                             .options = {"--mode=every-few-lines", "--interval=1"},
                             .output = u"目行一\r\n二行目\r\n目行三"}},
        .params = {listParam(&ReverseOptions::mode, "mode",
                             {{u"全文リバースする", "whole", ReverseMode::WholeText},
                              {u"数行おきにリバースする", "every-few-lines", ReverseMode::EveryFewLines}},
                             OtherText::RunsNothing)
                       .alias("Combo41")
                       .purpose(u"リバースの範囲", "What to reverse"),
                   countParam(&ReverseOptions::interval, "interval", 0, 999)
                       .alias("Combo42")
                       .purpose(u"行間隔", "Lines between")},
        .run = ReverseText,
    });
});

}  // namespace kivo
