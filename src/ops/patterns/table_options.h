#pragma once

#include <optional>
#include <string>

#include "ops/operation.h"
#include "text/csv.h"
#include "text/run_control.h"

namespace kivo {

/// What the patterns' operations share: how a table's separator and malformed rows are chosen,
/// how the core's long computations see Stop and the result budget, and how a refused input
/// (a pattern, a rule, a malformed row) is told.

inline constexpr TextView kBadSeparator =
    u"区切り文字には1文字（「,」「;」「|」など）か「タブ」を入力して下さい。";

/// The separator a box holds: one character, or a word for the ones hard to type ("タブ",
/// "Tab", "\t"; "カンマ", "セミコロン"); nothing for anything else.
std::optional<char16_t> separatorFrom(TextView text);

/// A separator option: any text, checked before the run; a comma by default.
template <typename Options>
Param<Options> separatorParam(Text Options::*member, std::string option = "separator",
                              Text defaultText = u",") {
    return textParam(member, std::move(option), false, std::move(defaultText));
}

/// What becomes of a malformed row: the run stops with its message (the default), or it is left
/// out and its line reported.
template <typename Options>
Param<Options> malformedParam(MalformedRows Options::*member) {
    return listParam(member, "malformed",
                     {{u"中止する", "stop", MalformedRows::Stop},
                      {u"除いて続ける", "leave-out", MalformedRows::LeaveOut}});
}

/// Tells the rows a table left out and their lines, if it left out any.
void reportLeftOut(const CsvTable& table, RunContext& ctx);

/// The core's view of a run: Stop and closing through the context's polling, and its budget.
RunControl runControlOf(RunContext& ctx);

/// The words of the refusal `check` throws, or nothing when it passes: a pre-check's message.
template <typename Check>
std::optional<Text> refusalOf(Check check) {
    try {
        check();
    } catch (const RefusedInput& refused) {
        return refused.japanese();
    }
    return std::nullopt;
}

/// The 0-based column of a box that names one column (full-width digits alike).
std::size_t oneColumn(TextView text);

/// `body`'s result; an input it refuses is shown with the refusal's own words, and no result.
template <typename Body>
std::optional<Text> refusingInput(RunContext& ctx, Body body) {
    try {
        return body();
    } catch (const RefusedInput& refused) {
        ctx.exclaim(refused.japanese());
        return std::nullopt;
    }
}

}  // namespace kivo
