#include "ops/dispatch.h"

#include <array>

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
#include "text/numeric.h"

namespace kivo {
namespace {

std::optional<Text> whenEmpty(const Params& p, std::string_view control, Text message) {
    if (p.text(control).empty()) return message;
    return std::nullopt;
}

// Codes 32–34: the month count must be present and within 2..2000000.
std::optional<Text> monthCount(const Params& p, std::string_view control) {
    if (p.text(control).empty()) return Text(u"列挙する月数を入力して下さい。");
    // A number too large for a double is above 2000000 as well.
    double months = 0;
    try {
        months = numericValue(p.text(control));
    } catch (const RunTimeError&) {
        months = 2000001;
    }
    if (months < 2 || months > 2000000) return Text(u"2以上2000000以下の数値を入力して下さい。");
    return std::nullopt;
}

std::array<DispatchRow, kOperationCount> buildTable() {
    std::array<DispatchRow, kOperationCount> t{};

    // Condition set 1.
    t[0] = {.variantControl = "Combo41",
            .variants = {u"全文リバースする", u"数行おきにリバースする"},
            .operation = ReverseText};
    t[1] = {.variantControl = "Combo39",
            .variants = {u"改行をカウントしない", u"改行を1文字でカウントする", u"改行を2文字でカウントする",
                         u"バイト数をカウントする(改行をカウントしない)",
                         u"バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)"},
            .operation = CountCharacters};
    t[2] = {.variantControl = "Combo40",
            .variants = {u"改行(CrLf)", u"改行(Lf)ラインフィード", u"改行(Cr)キャリッジリターン",
                         u"BS(バックスペース)", u"Tab(タブ)"},
            .operation = ReplaceSpecialCharacter,
            .takesUtf8 = replacesInUtf8,
            .utf8Operation = ReplaceSpecialCharacterUtf8};
    t[3] = {.variantControl = "Combo19",
            .variants = {u"半角英小文字「a～z」", u"半角英大文字「A～Z」", u"全角英小文字「ａ～ｚ」",
                         u"全角英大文字「Ａ～Ｚ」"},
            .variantReset = u"半角英小文字「a～z」",
            .operation = CountLetterClass};
    t[4] = {.preCheck =
                [](const Params& p) {
                    return whenEmpty(p, "Text3",
                                     p.text("Combo31") + u"側に足す文字、文字列を入力して下さい。");
                },
            .operation = AddTextAtSide};
    t[5] = {.operation = ReplaceDigits};
    t[6] = {.operation = ReplaceEndCharacters};
    // An empty search text would match in every line; it is refused like the other missing texts.
    t[7] = {.preCheck = [](const Params& p) { return whenEmpty(p, "Text7", Text(kFoundTextMissing)); },
            .operation = ReplaceSideOfFoundText};
    t[8] = {.operation = ExtractDigits};
    t[9] = {.operation = ExtractDoubleByteCharacters};
    t[10] = {.operation = ExtractHalfWidthCharacters};
    t[11] = {.operation = IndentLinesWithTab};
    t[12] = {
        .preCheck =
            [](const Params& p) { return whenEmpty(p, "Text13", u"条件を満たす文字を入力して下さい。"); },
        .operation = FilterLines,
        .takesUtf8 = filtersUtf8,
        .utf8Operation = FilterLinesUtf8};

    // Condition set 2.
    t[13] = {.operation = CountLines};
    t[14] = {.operation = ExtractLine};
    t[15] = {.operation = CheckDuplicateCharacters};
    t[16] = {.variantControl = "Combo38", .operation = ReplaceLine};
    t[17] = {.preCheck =
                 [](const Params& p) {
                     return whenEmpty(p, "Text14",
                                      p.text("Combo4") == u"左"
                                          ? u"左側から置き換える文字を入力して下さい。"
                                          : u"右側から置き換える文字を入力して下さい。");
                 },
             .variantControl = "Combo4",
             .operation = InsertAtPosition};
    t[18] = {.operation = BreakEveryNCharacters};
    t[19] = {.operation = ReplaceAllRangesInLine};
    t[20] = {.variantControl = "Combo43", .operation = ReplaceRangePerLine};
    t[21] = {.variantControl = "Combo18", .operation = ReplaceByPosition};
    t[22] = {.operation = ExtractEveryNthLine};
    t[23] = {.operation = RemainderEveryNthLine};
    t[24] = {.variantControl = "Combo16", .operation = ExtractFromSide};
    t[25] = {.variantControl = "Combo17", .operation = RemainderFromSide};

    // The loop generator.
    t[26] = {
        .preCheck = [](const Params& p) { return whenEmpty(p, "Text6", u"ループ回数を入力して下さい。"); },
        .operation = GenerateLoop};

    // Condition set 4.
    t[27] = {.operation = SortLines};
    t[28] = {.operation = InsertRunningNumbers};
    t[29] = {.preCheck = [](const Params& p) -> std::optional<Text> {
                 if (numericValue(p.text("Text41")) < 2)
                     return p.text("Combo28") + u"～し改行して追加する行数を「2」以上で入力して下さい。";
                 return std::nullopt;
             },
             .operation = AddLinesAfterNthNumber};
    t[30] = {.preCheck =
                 [](const Params& p) {
                     return whenEmpty(p, "Text15", u"…から見つけた●●●を含む文字を入力して下さい。");
                 },
             .operation = ReplaceAroundFoundText};
    t[31] = {.preCheck = [](const Params& p) -> std::optional<Text> {
                 if (p.text("Text23").empty()) return Text(u"ステップを入力して下さい。");
                 return whenEmpty(p, "Text24", u"追加する行数を入力して下さい。");
             },
             .operation = GenerateDateSeries};
    t[32] = {.preCheck = [](const Params& p) { return monthCount(p, "Text27"); }, .operation = ListMonthEnds};
    t[33] = {.preCheck = [](const Params& p) { return monthCount(p, "Text28"); },
             .operation = ListFirstWeekdays};
    t[34] = {.preCheck = [](const Params& p) { return monthCount(p, "Text29"); },
             .operation = ListWeekdayDates};
    return t;
}

const std::array<DispatchRow, kOperationCount>& table() {
    static const std::array<DispatchRow, kOperationCount> t = buildTable();
    return t;
}

bool variantMatches(const DispatchRow& row, const Params& params) {
    if (row.variantControl.empty() || row.variants.empty()) return true;
    const Text& value = params.text(row.variantControl);
    for (TextView v : row.variants)
        if (value == v) return true;
    return false;
}

// The pre-check and the variant choice: how the run ends before the operation, or nothing when
// the operation runs.
std::optional<DispatchEnd> endBeforeOperation(const DispatchRow& row, const Params& params, RunContext& ctx) {
    if (row.preCheck) {
        // A pre-check reads values only the command line can make odd (a number too large for a
        // double): that is the operation's run-time error, not a crash.
        std::optional<Text> refusal;
        try {
            refusal = row.preCheck(params);
        } catch (const std::exception&) {
            ctx.exclaim(kGeneralError);
            return DispatchEnd::PreCheckFailed;
        }
        if (refusal) {
            ctx.inform(*refusal);
            return DispatchEnd::PreCheckFailed;
        }
    }
    if (!variantMatches(row, params)) {
        if (!row.variantReset.empty()) ctx.assign(row.variantControl, Text(row.variantReset));
        return DispatchEnd::NothingRan;
    }
    return std::nullopt;
}

}  // namespace

const DispatchRow& dispatchRow(int code) {
    return table().at(static_cast<std::size_t>(code));
}

bool isBuilt(int code) {
    return code >= 0 && code < kOperationCount && dispatchRow(code).operation != nullptr;
}

DispatchResult dispatch(int code, TextView upper, const Params& params, RunContext& ctx) {
    const DispatchRow& row = dispatchRow(code);
    if (const auto end = endBeforeOperation(row, params, ctx)) return {*end, std::nullopt};
    return {DispatchEnd::Ran, row.operation(upper, params, ctx)};
}

bool hasUtf8Operation(int code) {
    return dispatchRow(code).utf8Operation != nullptr;
}

std::optional<Utf8DispatchResult> dispatchUtf8(int code, std::string_view upper, const Params& params,
                                               RunContext& ctx) {
    const DispatchRow& row = dispatchRow(code);
    // Taking the text is judged first: the decoded run would show its pre-check message itself.
    bool takes = false;
    try {
        takes = row.utf8Operation && row.takesUtf8(upper, params);
    } catch (const std::exception&) {
        // A parameter the judgement cannot read: the decoded run shows what that means.
    }
    if (!takes) return std::nullopt;
    if (const auto end = endBeforeOperation(row, params, ctx)) return Utf8DispatchResult{*end, std::nullopt};
    return Utf8DispatchResult{DispatchEnd::Ran, row.utf8Operation(upper, params, ctx)};
}

}  // namespace kivo
