#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <stdexcept>

#include "ops/params.h"
#include "ops/run_context.h"
#include "text/lines.h"

namespace kivo {

/// An operation: the lower text from the upper text and the parameters, or nothing when the run
/// ends without writing the lower pane.
using Operation = std::optional<Text> (*)(TextView upper, const Params& params, RunContext& ctx);

/// The error message of most operations.
inline constexpr TextView kGeneralError = u"条件が行えない行がある、または文字数、その他のエラーです。";
/// The message of a text with two line breaks in a row, refused by most line operations.
inline constexpr TextView kConsecutiveLineBreaks = u"改行の連続があります。";

/// The longest lower text: what the lower pane can hold (its positions are 32-bit). A longer
/// result ends the run with the operation's error message, like running out of memory.
inline constexpr std::size_t kMaxResultLength = 2147483647;

struct FrameOptions {
    /// The month enumerations mark a failed run as aborted.
    bool setStopFlagOnError = false;
};

/// The run frame every operation runs its body in: any failure (a run-time error, running out of
/// memory, a position outside a string) shows the operation's own error message and ends the run
/// without output; a run that was stopped or is closing writes nothing either.
template <typename Body>
auto runFramed(RunContext& ctx, TextView errorMessage, Body&& body, FrameOptions options = {})
    -> decltype(body()) {
    try {
        auto result = body();
        if (ctx.cancelled()) return std::nullopt;
        if (result && result->size() > kMaxResultLength) throw std::length_error("result too long");
        return result;
    } catch (const std::exception&) {
        ctx.exclaim(errorMessage);
        if (options.setStopFlagOnError) ctx.setStopFlag();
        return std::nullopt;
    }
}

}  // namespace kivo
