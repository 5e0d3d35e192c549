#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/operation.h"
#include "text/memory_budget.h"

namespace kivo {

inline constexpr TextView kUpperTextMissing = u"上部テキストボックスに文字、文字列を入力して下さい。";
inline constexpr TextView kOverwriteQuestion =
    u"下部テキストボックスに文字または文字列があります、上書きされますがよろしいですか？";

/// The longest lower text: what the lower pane can hold. A longer result ends the run with the
/// operation's error message, like running out of memory.
inline constexpr std::size_t kMaxResultLength = memory::kPaneMaxLength;

enum class DispatchEnd {
    PreCheckFailed,  // the pre-check's message was shown
    NothingRan,      // the variant text matched no entry
    Ran,             // the operation ran (and may or may not have produced the lower text)
};

/// A stretch of the upper text, as offsets into it.
struct TextSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};

struct DispatchResult {
    DispatchEnd end;
    std::optional<Text> lower;  // set only when the operation completed with a result
    /// Option texts the front end shows after the run.
    std::vector<OptionText> changed = {};
    /// The message that reports this run failing, for a failure after it (the window's pane).
    TextView errorMessage = kGeneralError;
    /// The line of the upper text (or its line break) that a refusal or a failure concerns.
    std::optional<TextSpan> concerned = {};
};

/// Step 9 of Execute: the pre-check, the variant choice and the operation in its run frame: a
/// failure shows the operation's error message, a stopped run (or a closing window) gives no
/// result.
DispatchResult dispatch(const OperationDeclaration& op, TextView upper, const OptionTexts& options,
                        RunContext& ctx);

struct Utf8DispatchResult {
    DispatchEnd end;
    std::optional<std::string> lower;  // UTF-8
};

/// dispatch() on the valid UTF-8 bytes of the upper text, when the operation takes them with
/// these parameters; nothing (and nothing shown) when the text must be decoded and dispatched.
std::optional<Utf8DispatchResult> dispatchUtf8(const OperationDeclaration& op, std::string_view upper,
                                               const OptionTexts& options, RunContext& ctx);

/// Whether dispatchUtf8Lines runs the operation on any UTF-8 text with these parameters.
bool takesUtf8Lines(const OperationDeclaration& op, const OptionTexts& options);

/// dispatchUtf8() on a text read a block of lines at a time, for an operation and parameters that
/// takesUtf8Lines() accepts. The result is given whole at the end, never written out before.
Utf8DispatchResult dispatchUtf8Lines(const OperationDeclaration& op, Utf8LineBlocks& upper,
                                     const OptionTexts& options, RunContext& ctx);

}  // namespace kivo
