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

// A result beyond the lower pane's length, or more than the front end can show, is a failure.
void checkShowable(const Text& result, const RunContext& ctx) {
    if (result.size() > kMaxResultLength || !ctx.canShow(result)) throw std::length_error("result too long");
}
// A UTF-8 result is as long as its decoded text; its bytes are counted only when they could be
// too many.
void checkShowable(const std::string& result, const RunContext&) {
    if (result.size() > kMaxResultLength && utf8::utf16Length(result) > kMaxResultLength)
        throw std::length_error("result too long");
}

// The run frame: every failure (a run-time error, running out of memory, a position outside a
// string) shows the operation's error message and gives no result; so does a result too long for
// the lower pane. A stopped or closing run gives none either, silently.
// A result unit costs its own two bytes and those of one working copy.
constexpr std::uint64_t kBytesPerResultUnit = 4;

template <typename Result, typename Run>
std::optional<Result> framed(const OperationDeclaration& op, BoundOperation& bound, RunContext& ctx,
                             std::vector<OptionText>& changed, Run run) {
    // What memory allows now, unless the caller asked for less.
    const std::uint64_t memoryBytes = ctx.measuredMemory() ? *ctx.measuredMemory() : memory::resultBytes();
    ctx.setResultBudget(
        std::min(ctx.resultBudget(), memory::maxResultLength(memoryBytes, kBytesPerResultUnit)));
    // Only an operation that always completes once it has begun may write its result out as it
    // goes: any other could still end without one.
    ResultSink* const sink = ctx.resultSink();
    if (!op.streamsResult) ctx.setResultSink(nullptr);
    struct Restore {
        RunContext& ctx;
        ResultSink* sink;
        ~Restore() { ctx.setResultSink(sink); }
    } restore{ctx, sink};
    try {
        std::optional<Result> result = run(bound);
        changed = bound.changedOptions();
        if (ctx.cancelled()) return std::nullopt;
        if (result) checkShowable(*result, ctx);
        return result;
    } catch (const ResultBeyondBudget& e) {
        changed = bound.changedOptions();
        if (!ctx.explainsMemory(e.units * kBytesPerResultUnit, std::uint64_t{e.budget} * kBytesPerResultUnit))
            fail(op, bound.errorMessage(), ctx);
        return std::nullopt;
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

// Whether the bound operation runs on these UTF-8 bytes as they are; one that cannot judge them
// is run on the decoded text, which shows what that means.
bool runsOnBytes(const OperationDeclaration& op, const BoundOperation& bound, std::string_view upper) {
    if (!op.hasUtf8Run) return false;
    try {
        return bound.takesUtf8(upper);
    } catch (const std::exception&) {
        return false;
    }
}

bool isEmpty(const UpperText& upper) {
    if (const TextView* units = std::get_if<TextView>(&upper)) return units->empty();
    if (const std::string_view* bytes = std::get_if<std::string_view>(&upper)) return bytes->empty();
    return false;  // blocks are given only for a text that has some
}

// Only a stretch of the upper text itself can be shown there (an operation may walk the lines
// of a parameter too).
std::optional<TextSpan> spanWithin(TextView upper, TextView concerned) {
    const std::less_equal<const char16_t*> notAfter;
    if (!concerned.data() || !notAfter(upper.data(), concerned.data()) ||
        !notAfter(concerned.data() + concerned.size(), upper.data() + upper.size()))
        return std::nullopt;
    return TextSpan{static_cast<std::size_t>(concerned.data() - upper.data()), concerned.size()};
}

// The operation on its text, in the form the caller holds it.
void runFramed(const OperationDeclaration& op, BoundOperation& bound, const UpperText& upper, RunContext& ctx,
               DispatchResult& result) {
    const auto onUnits = [&](TextView units) {
        result.lower = framed<Text>(op, bound, ctx, result.changed,
                                    [&](BoundOperation& b) { return b.run(units, ctx); });
        if (!result.lower) result.concerned = spanWithin(units, ctx.concerned());
    };
    if (const TextView* units = std::get_if<TextView>(&upper)) return onUnits(*units);
    const std::string_view bytes = std::get<std::string_view>(upper);
    if (!runsOnBytes(op, bound, bytes)) return onUnits(utf8::decode(bytes).value());
    result.lowerUtf8 = framed<std::string>(op, bound, ctx, result.changed,
                                           [&](BoundOperation& b) { return b.runUtf8(bytes, ctx); });
}

}  // namespace

bool refusesEmptyUpper(bool upperEmpty, std::span<const OperationDeclaration* const> selected) {
    return upperEmpty && std::all_of(selected.begin(), selected.end(),
                                     [](const OperationDeclaration* op) { return op->needsUpperText; });
}

DispatchResult dispatch(const OperationDeclaration& op, UpperText upper, const OptionTexts& options,
                        RunContext& ctx) {
    DispatchResult result{DispatchEnd::Ran, std::nullopt};
    const OperationDeclaration* const selected[] = {&op};
    if (!ctx.judgesEmptyUpper() && refusesEmptyUpper(isEmpty(upper), selected)) {
        ctx.inform(kUpperTextMissing);
        result.end = DispatchEnd::PreCheckFailed;
        return result;
    }
    const std::unique_ptr<BoundOperation> operation = bound(op, options, ctx);
    if (!operation) return result;
    result.errorMessage = operation->errorMessage();
    if (const auto end = endBeforeOperation(op, *operation, ctx, result.changed)) {
        result.end = *end;
        return result;
    }
    ctx.concerns({});
    runFramed(op, *operation, upper, ctx, result);
    return result;
}

bool runsBlockByBlock(const OperationDeclaration& op, const OptionTexts& options) {
    if (!op.lineLocal) return false;
    try {
        const std::unique_ptr<BoundOperation> bound = op.bind(options);
        return bound->unread().empty() && bound->lineLocal();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kivo
