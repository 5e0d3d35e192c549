#include "ops/dispatch.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>

#include "text/utf8.h"

namespace kivo {
namespace {

// Reports a failed run: its error message, and the stop flag of the operations that set it.
void fail(const OperationDeclaration& op, TextView message, RunContext& ctx) {
    ctx.exclaim(message);
    if (op.setsStopFlagOnError) ctx.setStopFlag();
}

// The pre-check, the variant choice and the options that could not be read: how the run ends
// before the operation, or nothing when the operation runs.
std::optional<DispatchEnd> endBeforeOperation(const OperationDeclaration& op, const BoundOperation& bound,
                                              RunContext& ctx, std::vector<OptionText>& changed) {
    // A pre-check reads values only the command line can make odd (a number too large for a
    // double): that is the operation's run-time error, not a crash.
    std::optional<Text> refusal;
    try {
        refusal = bound.refusal();
    } catch (const std::exception&) {
        ctx.exclaim(bound.errorMessage());
        return DispatchEnd::PreCheckFailed;
    }
    if (refusal) {
        ctx.inform(*refusal);
        return DispatchEnd::PreCheckFailed;
    }
    for (const ParamDeclaration& p : op.params) {
        if (!p.isVariant() || !bound.unread().contains(p.option)) continue;
        if (p.otherText == OtherText::ResetsAndRunsNothing) changed.push_back({p.option, p.defaultText});
        return DispatchEnd::NothingRan;
    }
    if (!bound.unread().empty()) {
        fail(op, bound.errorMessage(), ctx);
        return DispatchEnd::Ran;
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
std::optional<Result> framed(const OperationDeclaration& op, BoundOperation& bound, RunContext& ctx,
                             std::vector<OptionText>& changed, Run run, bool mayStream = true) {
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
    try {
        std::optional<Result> result = run(bound);
        changed = bound.changedOptions();
        if (ctx.cancelled()) return std::nullopt;
        if (result && lengthOf(*result) > kMaxResultLength) throw std::length_error("result too long");
        return result;
    } catch (const std::exception&) {
        changed = bound.changedOptions();
        fail(op, bound.errorMessage(), ctx);
        return std::nullopt;
    }
}

// Binds the options; running out of memory on the way is the operation's run-time error.
std::unique_ptr<BoundOperation> bound(const OperationDeclaration& op, const OptionTexts& options,
                                      RunContext& ctx) {
    try {
        return op.bind(options);
    } catch (const std::exception&) {
        fail(op, op.errorMessage, ctx);
        return nullptr;
    }
}

// Taking the text is judged first: the decoded run would show its pre-check message itself.
// Options the judgement cannot read are left to the decoded run, which shows what that means.
template <typename Takes>
bool takes(const OperationDeclaration& op, const OptionTexts& options, Takes judge) {
    try {
        const std::unique_ptr<BoundOperation> bound = op.bind(options);
        return bound->unread().empty() && judge(*bound);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

DispatchResult dispatch(const OperationDeclaration& op, TextView upper, const OptionTexts& options,
                        RunContext& ctx) {
    DispatchResult result{DispatchEnd::Ran, std::nullopt};
    const std::unique_ptr<BoundOperation> operation = bound(op, options, ctx);
    if (!operation) return result;
    result.errorMessage = operation->errorMessage();
    if (const auto end = endBeforeOperation(op, *operation, ctx, result.changed)) {
        result.end = *end;
        return result;
    }
    ctx.concerns({});
    result.lower = framed<Text>(op, *operation, ctx, result.changed,
                                [&](BoundOperation& b) { return b.run(upper, ctx); });
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

std::optional<Utf8DispatchResult> dispatchUtf8(const OperationDeclaration& op, std::string_view upper,
                                               const OptionTexts& options, RunContext& ctx) {
    if (!op.hasUtf8Run ||
        !takes(op, options, [&](const BoundOperation& bound) { return bound.takesUtf8(upper); }))
        return std::nullopt;
    const std::unique_ptr<BoundOperation> operation = bound(op, options, ctx);
    if (!operation) return Utf8DispatchResult{DispatchEnd::Ran, std::nullopt};
    std::vector<OptionText> changed;
    if (const auto end = endBeforeOperation(op, *operation, ctx, changed))
        return Utf8DispatchResult{*end, std::nullopt};
    return Utf8DispatchResult{DispatchEnd::Ran,
                              framed<std::string>(op, *operation, ctx, changed,
                                                  [&](BoundOperation& b) { return b.runUtf8(upper, ctx); })};
}

bool takesUtf8Lines(const OperationDeclaration& op, const OptionTexts& options) {
    return op.hasUtf8LinesRun &&
           takes(op, options, [](const BoundOperation& bound) { return bound.takesUtf8Lines(); });
}

Utf8DispatchResult dispatchUtf8Lines(const OperationDeclaration& op, Utf8LineBlocks& upper,
                                     const OptionTexts& options, RunContext& ctx) {
    const std::unique_ptr<BoundOperation> operation = bound(op, options, ctx);
    if (!operation) return {DispatchEnd::Ran, std::nullopt};
    std::vector<OptionText> changed;
    if (const auto end = endBeforeOperation(op, *operation, ctx, changed)) return {*end, std::nullopt};
    // A later block may still end the run without a result: nothing is written out before.
    constexpr bool kMayStream = false;
    return {DispatchEnd::Ran, framed<std::string>(
                                  op, *operation, ctx, changed,
                                  [&](BoundOperation& b) { return b.runUtf8Lines(upper, ctx); }, kMayStream)};
}

}  // namespace kivo
