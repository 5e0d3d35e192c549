#include "ops/registry.h"

#include <stdexcept>

#include "ops/characters/add_text.h"
#include "ops/characters/character_replacement.h"
#include "ops/characters/class_extraction.h"
#include "ops/characters/counting.h"
#include "ops/characters/digit_replacement.h"
#include "ops/characters/duplicate_check.h"
#include "ops/characters/reverse.h"
#include "ops/dates/business_days.h"
#include "ops/dates/date_conversion.h"
#include "ops/dates/date_series.h"
#include "ops/dates/month_dates.h"
#include "ops/dates/weekday_dates.h"
#include "ops/japanese/byte_fold.h"
#include "ops/japanese/kana_conversion.h"
#include "ops/japanese/kanji_numeral_conversion.h"
#include "ops/japanese/legacy_replacement.h"
#include "ops/japanese/shift_jis_check.h"
#include "ops/japanese/width_conversion.h"
#include "ops/lines/blanks.h"
#include "ops/lines/duplicate_lines.h"
#include "ops/lines/every_nth_line.h"
#include "ops/lines/line_breaking.h"
#include "ops/lines/line_count.h"
#include "ops/lines/line_filter.h"
#include "ops/lines/line_replacement.h"
#include "ops/lines/line_sort.h"
#include "ops/lines/natural_sort.h"
#include "ops/loop/loop_generator.h"
#include "ops/numbers/numbered_copies.h"
#include "ops/numbers/running_numbers.h"
#include "ops/patterns/csv_columns.h"
#include "ops/patterns/csv_rows.h"
#include "ops/positions/positional_replacement.h"
#include "ops/positions/range_replacement.h"
#include "ops/positions/replace_around.h"
#include "ops/positions/side_extraction.h"
#ifndef KIVO_WITHOUT_REGEX
#include "ops/patterns/regex_operations.h"
#include "ops/patterns/replace_list.h"
#endif

namespace kivo {
namespace {

std::vector<const LazyOperation*> registered() {
    std::vector<const LazyOperation*> all = {
        &kReverseText,
        &kCountCharacters,
        &kReplaceSpecialCharacter,
        &kCountLetterClass,
        &kAddTextAtSide,
        &kReplaceDigits,
        &kReplaceEndCharacters,
        &kReplaceSideOfFoundText,
        &kExtractDigits,
        &kExtractDoubleByteCharacters,
        &kExtractHalfWidthCharacters,
        &kIndentLinesWithTab,
        &kFilterLines,
        &kCountLines,
        &kExtractLine,
        &kCheckDuplicateCharacters,
        &kReplaceLine,
        &kInsertAtPosition,
        &kBreakEveryNCharacters,
        &kReplaceAllRangesInLine,
        &kReplaceRangePerLine,
        &kReplaceByPosition,
        &kExtractEveryNthLine,
        &kRemainderEveryNthLine,
        &kExtractFromSide,
        &kRemainderFromSide,
        &kGenerateLoop,
        &kSortLines,
        &kInsertRunningNumbers,
        &kAddLinesAfterNthNumber,
        &kReplaceAroundFoundText,
        &kGenerateDateSeries,
        &kListMonthEnds,
        &kListFirstWeekdays,
        &kListWeekdayDates,
        &kConvertWidth,
        &kConvertKana,
        &kRemoveDuplicateLines,
        &kCleanBlanks,
        &kSortLinesNaturally,
        &kCheckShiftJis,
        &kBreakLinesByBytes,
        &kConvertDateForms,
        &kListBusinessDays,
        &kReplaceLegacyCharacters,
        &kConvertKanjiNumerals,
        &kSelectCsvColumns,
        &kSortCsvRows,
        &kRemoveDuplicateCsvRows,
        &kConvertCsv,
    // The browser edition has no ICU, and so none of the operations on regular expressions: they
    // come last, so that the others keep their codes there.
#ifndef KIVO_WITHOUT_REGEX
        &kReplacePattern,
        &kExtractPattern,
        &kReplaceByList,
#endif
    };
    for (std::size_t code = 0; code < all.size(); ++code)
        if (all[code]->code() != static_cast<int>(code)) throw std::logic_error("operations out of order");
    return all;
}

// Every operation, not yet declared: finding one by its code or name declares only that one.
const std::vector<const LazyOperation*>& lazyOperations() {
    static const std::vector<const LazyOperation*> all = registered();
    return all;
}

}  // namespace

const std::vector<const OperationDeclaration*>& operations() {
    static const std::vector<const OperationDeclaration*> all = [] {
        std::vector<const OperationDeclaration*> declared;
        for (const LazyOperation* op : lazyOperations())
            declared.push_back(&op->get());
        return declared;
    }();
    return all;
}

bool isOperationCode(int code) {
    return code >= 0 && static_cast<std::size_t>(code) < lazyOperations().size();
}

const OperationDeclaration& operation(int code) {
    return lazyOperations().at(static_cast<std::size_t>(code))->get();
}

const OperationDeclaration* operationNamed(std::string_view name) {
    for (const LazyOperation* op : lazyOperations())
        if (op->name() == name) return &op->get();
    return nullptr;
}

std::vector<const OperationDeclaration*> operationsOnTab(Tab tab) {
    std::vector<const OperationDeclaration*> onTab;
    for (const OperationDeclaration* op : operations())
        if (op->tab == tab) onTab.push_back(op);
    return onTab;
}

std::optional<AliasedParam> paramAliased(std::string_view control) {
    for (const OperationDeclaration* op : operations())
        if (const ParamDeclaration* p = op->paramAliased(control)) return AliasedParam{op, p};
    return std::nullopt;
}

}  // namespace kivo
