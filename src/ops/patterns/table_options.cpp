#include "ops/patterns/table_options.h"

namespace kivo {

std::optional<char16_t> separatorFrom(TextView text) {
    if (text == u"タブ" || text == u"Tab" || text == u"TAB" || text == u"tab" || text == u"\\t") return u'\t';
    if (text == u"カンマ") return u',';
    if (text == u"セミコロン") return u';';
    if (text.size() == 1 && isCsvSeparator(text.front())) return text.front();
    return std::nullopt;
}

void reportLeftOut(const CsvTable& table, RunContext& ctx) {
    if (table.leftOut().empty()) return;
    Text lines;
    for (const MalformedRow& row : table.leftOut())
        lines += (lines.empty() ? u"" : u"、") + decimalUnits(row.line) + u"行目";
    ctx.inform(u"不正な行を除きました（" + decimalUnits(table.leftOut().size()) + u"行）：" + lines + u"。");
}

std::size_t oneColumn(TextView text) {
    const std::vector<std::size_t> columns = parseColumns(text);
    if (columns.size() != 1) throw RefusedInput("name one column", u"列の番号を1つ入力して下さい。");
    return columns.front();
}

RunControl runControlOf(RunContext& ctx) {
    return {.stop = [&ctx] { return ctx.poll(); }, .resultBudget = ctx.resultBudget()};
}

}  // namespace kivo
