#include "ops/dispatch.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>

#include "text/utf8.h"

namespace kivo {
namespace {

// The pre-check and the variant choice: how the run ends before the operation, or nothing when
// the operation runs.
std::optional<DispatchEnd> endBeforeOperation(const OperationDeclaration& op, const Params& params,
                                              RunContext& ctx, std::vector<ControlText>& changed) {
    if (op.preCheck) {
        // A pre-check reads values only the command line can make odd (a number too large for a
        // double): that is the operation's run-time error, not a crash.
        std::optional<Text> refusal;
        try {
            refusal = op.preCheck(params);
        } catch (const std::exception&) {
            ctx.exclaim(op.errorMessageOf(params));
            return DispatchEnd::PreCheckFailed;
        }
        if (refusal) {
            ctx.inform(*refusal);
            return DispatchEnd::PreCheckFailed;
        }
    }
    for (const ParamDeclaration& p : op.params) {
        const bool variant =
            p.otherText == OtherText::RunsNothing || p.otherText == OtherText::ResetsAndRunsNothing;
        if (!variant || p.isEntry(params.text(p.control))) continue;
        if (p.otherText == OtherText::ResetsAndRunsNothing) changed.push_back({p.control, p.defaultText});
        return DispatchEnd::NothingRan;
    }
    return std::nullopt;
}

std::size_t lengthOf(const Text& result) {
    return result.size();
}
// A UTF-8 result is as long as its decoded text; its bytes are counted only when they could be
// too many.
std::size_t lengthOf(const std::string& result) {
    return result.size() <= kMaxResultLength ? result.size() : utf8::utf16Length(result);
}

// The run frame: every failure (a run-time error, running out of memory, a position outside a
// string) shows the operation's error message and gives no result; so does a result too long for
// the lower pane. A stopped or closing run gives none either, silently.
// A result unit costs its own two bytes and those of one working copy.
constexpr std::uint64_t kBytesPerResultUnit = 4;

template <typename Result, typename Run>
std::optional<Result> framed(const OperationDeclaration& op, const Params& params, RunContext& ctx,
                             std::vector<ControlText>& changed, Run run, bool mayStream = true) {
    // What memory allows now, unless the caller asked for less.
    ctx.setResultBudget(
        std::min(ctx.resultBudget(), memory::maxResultLength(memory::resultBytes(), kBytesPerResultUnit)));
    // Only an operation that always completes once it has begun may write its result out as it
    // goes: any other could still end without one.
    ResultSink* const sink = ctx.resultSink();
    if (!op.streamsResult || !mayStream) ctx.setResultSink(nullptr);
    struct Restore {
        RunContext& ctx;
        ResultSink* sink;
        ~Restore() { ctx.setResultSink(sink); }
    } restore{ctx, sink};
    std::unique_ptr<BoundOperation> bound;
    try {
        bound = op.bind(params);
        std::optional<Result> result = run(*bound);
        changed = bound->changedControls();
        if (ctx.cancelled()) return std::nullopt;
        if (result && lengthOf(*result) > kMaxResultLength) throw std::length_error("result too long");
        return result;
    } catch (const std::exception&) {
        if (bound) changed = bound->changedControls();
        ctx.exclaim(op.errorMessageOf(params));
        if (op.setsStopFlagOnError) ctx.setStopFlag();
        return std::nullopt;
    }
}

// Taking the text is judged first: the decoded run would show its pre-check message itself.
// Options the judgement cannot read are left to the decoded run, which shows what that means.
template <typename Takes>
bool takes(const OperationDeclaration& op, const Params& params, Takes judge) {
    try {
        return judge(*op.bind(params));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

DispatchResult dispatch(const OperationDeclaration& op, TextView upper, const Params& params,
                        RunContext& ctx) {
    DispatchResult result{DispatchEnd::Ran, std::nullopt};
    if (const auto end = endBeforeOperation(op, params, ctx, result.changed)) {
        result.end = *end;
        return result;
    }
    ctx.concerns({});
    result.lower = framed<Text>(op, params, ctx, result.changed,
                                [&](BoundOperation& bound) { return bound.run(upper, ctx); });
    // Only a stretch of the upper text itself can be shown there (an operation may walk the lines
    // of a parameter too).
    const TextView concerned = ctx.concerned();
    const std::less_equal<const char16_t*> notAfter;
    if (!result.lower && concerned.data() && notAfter(upper.data(), concerned.data()) &&
        notAfter(concerned.data() + concerned.size(), upper.data() + upper.size()))
        result.concerned =
            TextSpan{static_cast<std::size_t>(concerned.data() - upper.data()), concerned.size()};
    return result;
}

std::optional<Utf8DispatchResult> dispatchUtf8(int code, std::string_view upper, const Params& params,
                                               RunContext& ctx) {
    const OperationDeclaration& op = operation(code);
    if (!op.hasUtf8Run ||
        !takes(op, params, [&](const BoundOperation& bound) { return bound.takesUtf8(upper); }))
        return std::nullopt;
    std::vector<ControlText> changed;
    if (const auto end = endBeforeOperation(op, params, ctx, changed))
        return Utf8DispatchResult{*end, std::nullopt};
    return Utf8DispatchResult{DispatchEnd::Ran,
                              framed<std::string>(op, params, ctx, changed, [&](BoundOperation& bound) {
                                  return bound.runUtf8(upper, ctx);
                              })};
}

bool takesUtf8Lines(const OperationDeclaration& op, const Params& params) {
    return op.hasUtf8LinesRun &&
           takes(op, params, [](const BoundOperation& bound) { return bound.takesUtf8Lines(); });
}

Utf8DispatchResult dispatchUtf8Lines(const OperationDeclaration& op, Utf8LineBlocks& upper,
                                     const Params& params, RunContext& ctx) {
    std::vector<ControlText> changed;
    if (const auto end = endBeforeOperation(op, params, ctx, changed)) return {*end, std::nullopt};
    // A later block may still end the run without a result: nothing is written out before.
    constexpr bool kMayStream = false;
    return {DispatchEnd::Ran,
            framed<std::string>(
                op, params, ctx, changed,
                [&](BoundOperation& bound) { return bound.runUtf8Lines(upper, ctx); }, kMayStream)};
}

}  // namespace kivo
