#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
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

/// The upper text as the caller holds it: UTF-16 units, or valid UTF-8 bytes.
using UpperText = std::variant<TextView, std::string_view>;

struct DispatchResult {
    DispatchEnd end;
    /// The result, set only when the operation completed with one: in UTF-16 units, or made from
    /// UTF-8 bytes as UTF-8 (never both).
    std::optional<Text> lower;
    std::optional<std::string> lowerUtf8 = {};
    /// Option texts the front end shows after the run.
    std::vector<OptionText> changed = {};
    /// The message that reports this run failing, for a failure after it (the window's pane).
    TextView errorMessage = kGeneralError;
    /// The line of a UTF-16 upper text (or its line break) that a refusal or a failure concerns.
    std::optional<TextSpan> concerned = {};

    bool hasResult() const { return lower || lowerUtf8; }
};

/// The whole run frame: an empty upper text refused for an operation that needs
/// one, the pre-check, the variant choice and the operation, its result held to the budget and to
/// what the front end can show; a failure shows the operation's error message, a stopped run (or
/// a closing window) gives no result. UTF-8 bytes are run as they are where the operation takes
/// them with these options, and decoded otherwise.
DispatchResult dispatch(const OperationDeclaration& op, UpperText upper, const OptionTexts& options,
                        RunContext& ctx);

/// Whether an empty upper text is refused before a run where these operations are selected: one
/// that needs no upper text lets an empty one pass (the window keeps a selection on every tab).
bool refusesEmptyUpper(bool upperEmpty, std::span<const OperationDeclaration* const> selected);

/// Whether the operation is line-local with these options (OperationInfo::lineLocal), so that
/// the caller may run it a block of lines at a time.
bool runsBlockByBlock(const OperationDeclaration& op, const OptionTexts& options);

}  // namespace kivo
