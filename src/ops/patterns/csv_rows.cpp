#include "ops/patterns/csv_rows.h"

#include "ops/lines/natural_sort.h"
#include "ops/patterns/table_options.h"

namespace kivo {
namespace {

KeyOrder orderOf(KeyKind key) {
    switch (key) {
        case KeyKind::Natural:
            return {.kind = KeyOrder::Kind::Custom, .compare = compareNaturally};
        case KeyKind::Numeric:
            return {.kind = KeyOrder::Kind::Numeric};
        case KeyKind::CodeUnits:
            break;
    }
    return {};
}

std::optional<Text> columnRefusal(TextView column, TextView separator) {
    if (!separatorFrom(separator)) return Text(kBadSeparator);
    return refusalOf([&] { oneColumn(column); });
}

template <typename Write>
std::optional<Text> rewriteRows(TextView upper, TextView separatorText, MalformedRows malformed,
                                RunContext& ctx, Write write) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        const char16_t separator = *separatorFrom(separatorText);
        const RunControl control = runControlOf(ctx);
        const std::optional<CsvTable> table = CsvTable::read(upper, separator, malformed, control);
        if (!table) return std::nullopt;
        std::optional<Text> out = write(*table, separator, control);
        if (out) reportLeftOut(*table, ctx);
        return out;
    });
}

}  // namespace

std::optional<Text> SortCsvRows(TextView upper, const CsvSortOptions& options, RunContext& ctx) {
    return rewriteRows(upper, options.separator, options.malformed, ctx,
                       [&](const CsvTable& table, char16_t separator, const RunControl& control) {
                           const RowSort sort{.column = oneColumn(options.column),
                                              .order = orderOf(options.key),
                                              .descending = options.descending,
                                              .header = options.header};
                           return sortRows(table, sort, separator, control);
                       });
}

std::optional<Text> RemoveDuplicateCsvRows(TextView upper, const CsvUniqueOptions& options, RunContext& ctx) {
    return rewriteRows(upper, options.separator, options.malformed, ctx,
                       [&](const CsvTable& table, char16_t separator, const RunControl& control) {
                           return removeDuplicateRows(table, oneColumn(options.column), options.header,
                                                      separator, control);
                       });
}

constinit const LazyOperation kSortCsvRows(47, "csv-sort", [] {
    return declare<CsvSortOptions>({
        .info = {.tab = Tab::Patterns,
                 .selector = "Option7(1)",
                 .description =
                     "Sorts the rows of a CSV or TSV text by one column, as text, naturally or by number",
                 .japaneseDescription =
                     u"CSV・TSVの行を一つの列で、文字コード順・自然順・数値順に並べ替えます。",
                 .caption = u"CSVの行を列(&F)…で……に並べ替える …1行目は見出し　区切り：…　不正な行は…",
                 .example = {.input = u"name,price\nb,300\na,1200\nc,45",
                             .options = {"--column=2", "--key=numeric"},
                             .output = u"name,price\r\nc,45\r\nb,300\r\na,1200"}},
        .params =
            {numberTextParam(&CsvSortOptions::column, "column", 1, 1000000, u"1")
                 .alias("Text44")
                 .purpose(u"並べ替える列", "Column"),
             listParam(&CsvSortOptions::key, "key",
                       {{u"文字コード順", "text", KeyKind::CodeUnits},
                        {u"自然順", "natural", KeyKind::Natural},
                        {u"数値順", "numeric", KeyKind::Numeric}})
                 .alias("Combo74")
                 .purpose(u"比べ方", "Comparison"),
             listParam(&CsvSortOptions::descending, "direction",
                       {{u"昇順", "ascending", false}, {u"降順", "descending", true}})
                 .alias("Combo75")
                 .purpose(u"並べ替えの順序", "Sort order"),
             checkParam(&CsvSortOptions::header, "header", true)
                 .alias("Check7(0)")
                 .purpose(u"1行目は見出し", "First row is a header"),
             separatorParam(&CsvSortOptions::separator).alias("Text45").purpose(u"区切り文字", "Separator"),
             malformedParam(&CsvSortOptions::malformed)
                 .alias("Combo76")
                 .purpose(u"不正な行の扱い", "Malformed rows")},
        .preCheck = [](const CsvSortOptions& o) { return columnRefusal(o.column, o.separator); },
        .run = SortCsvRows,
    });
});

constinit const LazyOperation kRemoveDuplicateCsvRows(48, "csv-unique", [] {
    return declare<CsvUniqueOptions>({
        .info = {.tab = Tab::Patterns,
                 .selector = "Option7(2)",
                 .description =
                     "Removes the rows of a CSV or TSV text whose key column repeats, keeping the first",
                 .japaneseDescription =
                     u"CSV・TSVで、指定した列の値が重複する行を削除します（最初の行を残します）。",
                 .caption = u"CSVの列(&G)…が重複する行を削除する …1行目は見出し　区切り：…　不正な行は…",
                 .example = {.input = u"id,name\n1,a\n2,b\n1,c",
                             .options = {"--column=1"},
                             .output = u"id,name\r\n1,a\r\n2,b"}},
        .params =
            {numberTextParam(&CsvUniqueOptions::column, "column", 1, 1000000, u"1")
                 .alias("Text46")
                 .purpose(u"比べる列", "Key column"),
             checkParam(&CsvUniqueOptions::header, "header", true)
                 .alias("Check7(1)")
                 .purpose(u"1行目は見出し", "First row is a header"),
             separatorParam(&CsvUniqueOptions::separator).alias("Text47").purpose(u"区切り文字", "Separator"),
             malformedParam(&CsvUniqueOptions::malformed)
                 .alias("Combo77")
                 .purpose(u"不正な行の扱い", "Malformed rows")},
        .preCheck = [](const CsvUniqueOptions& o) { return columnRefusal(o.column, o.separator); },
        .run = RemoveDuplicateCsvRows,
    });
});

}  // namespace kivo
