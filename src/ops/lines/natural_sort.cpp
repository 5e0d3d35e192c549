#include "ops/lines/natural_sort.h"

#include <algorithm>

#include "ops/line_walk.h"
#include "text/characters.h"

namespace kivo {
namespace {

bool isDigit(char16_t c) {
    return isHalfDigit(c) || isFullDigit(c);
}

int digitValue(char16_t c) {
    return isHalfDigit(c) ? c - u'0' : c - u'０';
}

// The run of digits starting at `at`, without its leading zeros (an all-zero run keeps none).
TextView significantDigits(TextView s, std::size_t& at) {
    while (at < s.size() && isDigit(s[at]) && digitValue(s[at]) == 0)
        ++at;
    const std::size_t start = at;
    while (at < s.size() && isDigit(s[at]))
        ++at;
    return s.substr(start, at - start);
}

// Two runs by value: the longer run of significant digits is the larger, else the first digit
// that differs decides, whatever the widths.
int compareValues(TextView a, TextView b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (digitValue(a[k]) != digitValue(b[k])) return digitValue(a[k]) < digitValue(b[k]) ? -1 : 1;
    return 0;
}

// A full-width digit stands where the half-width digits do: no other character lies among them,
// so a run of digits of either width compares the same way against a given character. Comparing
// the full-width digit's own code unit would put it after kana and kanji while its value puts it
// beside the half-width digits, and the order would depend on the input's order.
char16_t placeAmongCharacters(char16_t c) {
    return isFullDigit(c) ? static_cast<char16_t>(u'0' + digitValue(c)) : c;
}

int compareByValue(TextView a, TextView b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareValues(significantDigits(a, i), significantDigits(b, j)))
                return order;
            continue;
        }
        if (a[i] != b[j]) return placeAmongCharacters(a[i]) < placeAmongCharacters(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

}  // namespace

int compareNaturally(TextView a, TextView b) {
    if (const int order = compareByValue(a, b)) return order;
    // Lines of equal values (x7 and x07, 第2回 and 第２回) still differ: their code units decide,
    // so that the result does not depend on the order of the input.
    const int units = a.compare(b);
    return (units > 0) - (units < 0);
}

std::optional<Text> SortLinesNaturally(TextView upper, const NaturalSortOptions& options, RunContext& ctx) {
    const LineText text(upper);
    std::optional<std::vector<TextView>> lines = text.lines(ctx);
    if (!lines) return std::nullopt;
    std::stable_sort(lines->begin(), lines->end(), [&](TextView a, TextView b) {
        return options.descending ? compareNaturally(b, a) < 0 : compareNaturally(a, b) < 0;
    });
    LineWriter out = resultWriter(ctx, text.raw().size() + lines->size() + 1);
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if ((i & 0xFFF) == 0 && ctx.poll()) return std::nullopt;
        out.addLine((*lines)[i]);
    }
    return out.take(!text.endsWithLineBreak());
}

constinit const LazyOperation kSortLinesNaturally(39, "natural-sort", [] {
    return declare<NaturalSortOptions>({
        .info = {.tab = Tab::Japanese,
                 .selector = "Option5(4)",
                 .description = "Sorts the lines with their numbers compared by value (第2回 before 第10回)",
                 .japaneseDescription =
                     u"行に含まれる数値を大きさで比べて並べ替えます（第2回が第10回より前）。",
                 .caption = u"数値の大きさ順に行を(&I)…",
                 .example = {.input = u"第10回\n第2回\n第1回",
                             .options = {},
                             .output = u"第1回\r\n第2回\r\n第10回"},
                 .streamsResult = true},
        .params = {listParam(
                       &NaturalSortOptions::descending, "order",
                       {{u"昇順でソートする", "ascending", false}, {u"降順でソートする", "descending", true}})
                       .alias("Combo63")
                       .purpose(u"並べ替えの順序", "Sort order")},
        .run = SortLinesNaturally,
    });
});

}  // namespace kivo
