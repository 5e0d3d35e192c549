#include "ops/patterns/csv_columns.h"

#include "ops/patterns/table_options.h"

namespace kivo {

std::optional<Text> SelectCsvColumns(TextView upper, const CsvColumnsOptions& options, RunContext& ctx) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        const char16_t separator = *separatorFrom(options.separator);
        const std::vector<std::size_t> columns = parseColumns(options.columns);
        const RunControl control = runControlOf(ctx);
        const std::optional<CsvTable> table = CsvTable::read(upper, separator, options.malformed, control);
        if (!table) return std::nullopt;
        std::optional<Text> out = options.action == ColumnAction::Take
                                      ? takeColumns(*table, columns, separator, control)
                                      : removeColumns(*table, columns, separator, control);
        if (out) reportLeftOut(*table, ctx);
        return out;
    });
}

std::optional<Text> ConvertCsv(TextView upper, const CsvConvertOptions& options, RunContext& ctx) {
    return refusingInput(ctx, [&]() -> std::optional<Text> {
        const RunControl control = runControlOf(ctx);
        const std::optional<CsvTable> table =
            CsvTable::read(upper, *separatorFrom(options.from), options.malformed, control);
        if (!table) return std::nullopt;
        std::optional<Text> out = writeCsv(*table, *separatorFrom(options.to), control);
        if (out) reportLeftOut(*table, ctx);
        return out;
    });
}

constinit const LazyOperation kSelectCsvColumns(46, "csv-columns", [] {
    return declare<CsvColumnsOptions>({
        .info = {.tab = Tab::Patterns,
                 .selector = "Option7(0)",
                 .description =
                     "Takes columns of a CSV or TSV text in a given order (3,1,2 or 2-4), or removes them",
                 .japaneseDescription =
                     u"CSV・TSVの列を指定した順（3,1,2や2-4）に取り出す、または削除します。",
                 .caption = u"CSVの列(&E)…を…　区切り：…　不正な行は…",
                 .example = {.input = u"id,name,price\n1,\"Sato, K\",300",
                             .options = {"--columns=2,3"},
                             .output = u"name,price\r\n\"Sato, K\",300"}},
        .params = {textParam(&CsvColumnsOptions::columns, "columns", false, u"1")
                       .alias("Text42")
                       .purpose(u"列の指定", "Columns"),
                   listParam(&CsvColumnsOptions::action, "action",
                             {{u"取り出す", "take", ColumnAction::Take},
                              {u"削除する", "remove", ColumnAction::Remove}})
                       .alias("Combo72")
                       .purpose(u"列の処理", "Take or remove"),
                   separatorParam(&CsvColumnsOptions::separator)
                       .alias("Text43")
                       .purpose(u"区切り文字", "Separator"),
                   malformedParam(&CsvColumnsOptions::malformed)
                       .alias("Combo73")
                       .purpose(u"不正な行の扱い", "Malformed rows")},
        .preCheck = [](const CsvColumnsOptions& o) -> std::optional<Text> {
            if (!separatorFrom(o.separator)) return Text(kBadSeparator);
            return refusalOf([&] { parseColumns(o.columns); });
        },
        .run = SelectCsvColumns,
    });
});

constinit const LazyOperation kConvertCsv(49, "csv-convert", [] {
    return declare<CsvConvertOptions>({
        .info = {.tab = Tab::Patterns,
                 .selector = "Option7(3)",
                 .description = "Writes a CSV or TSV text again with another separator (CSV to TSV and back)",
                 .japaneseDescription =
                     u"CSV・TSVの区切り文字を別の文字に変えて書き直します（CSVとTSVの相互変換）。",
                 .caption = u"CSVの区切りを(&H)…から…に変換する　不正な行は…",
                 .example = {.input = u"a,\"b\tc\",d", .options = {}, .output = u"a\t\"b\tc\"\td"}},
        .params = {separatorParam(&CsvConvertOptions::from, "from")
                       .alias("Text48")
                       .purpose(u"変換前の区切り文字", "Separator to replace"),
                   separatorParam(&CsvConvertOptions::to, "to", u"タブ")
                       .alias("Text49")
                       .purpose(u"変換後の区切り文字", "New separator"),
                   malformedParam(&CsvConvertOptions::malformed)
                       .alias("Combo78")
                       .purpose(u"不正な行の扱い", "Malformed rows")},
        .preCheck = [](const CsvConvertOptions& o) -> std::optional<Text> {
            if (!separatorFrom(o.from) || !separatorFrom(o.to)) return Text(kBadSeparator);
            return std::nullopt;
        },
        .run = ConvertCsv,
    });
});

}  // namespace kivo
