#include "ops/registry.h"

#include <stdexcept>

#include "ops/loop/loop_generator.h"
#include "ops/set1/add_text.h"
#include "ops/set1/character_replacement.h"
#include "ops/set1/class_extraction.h"
#include "ops/set1/counting.h"
#include "ops/set1/digit_replacement.h"
#include "ops/set1/line_filter.h"
#include "ops/set1/reverse.h"
#include "ops/set2/duplicate_check.h"
#include "ops/set2/every_nth_line.h"
#include "ops/set2/line_breaking.h"
#include "ops/set2/line_count.h"
#include "ops/set2/line_replacement.h"
#include "ops/set2/positional_replacement.h"
#include "ops/set2/range_replacement.h"
#include "ops/set2/side_extraction.h"
#include "ops/set4/date_series.h"
#include "ops/set4/line_sort.h"
#include "ops/set4/month_dates.h"
#include "ops/set4/numbered_copies.h"
#include "ops/set4/replace_around.h"
#include "ops/set4/running_numbers.h"
#include "ops/set4/weekday_dates.h"
#include "ops/set5/blanks.h"
#include "ops/set5/byte_fold.h"
#include "ops/set5/duplicate_lines.h"
#include "ops/set5/kana_conversion.h"
#include "ops/set5/natural_sort.h"
#include "ops/set5/shift_jis_check.h"
#include "ops/set5/width_conversion.h"
#include "ops/set6/business_days.h"
#include "ops/set6/date_conversion.h"
#include "ops/set6/kanji_numeral_conversion.h"
#include "ops/set6/legacy_replacement.h"

namespace kivo {
namespace {

std::vector<const OperationDeclaration*> registered() {
    std::vector<const OperationDeclaration*> all = {
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
    };
    for (std::size_t code = 0; code < all.size(); ++code)
        if (all[code]->code != static_cast<int>(code)) throw std::logic_error("operations out of order");
    return all;
}

}  // namespace

const std::vector<const OperationDeclaration*>& operations() {
    static const std::vector<const OperationDeclaration*> all = registered();
    return all;
}

bool isOperationCode(int code) {
    return code >= 0 && static_cast<std::size_t>(code) < operations().size();
}

const OperationDeclaration& operation(int code) {
    return *operations().at(static_cast<std::size_t>(code));
}

const OperationDeclaration* operationNamed(std::string_view name) {
    for (const OperationDeclaration* op : operations())
        if (op->name == name) return op;
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
