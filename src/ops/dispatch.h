#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/frame.h"

namespace kivo {

inline constexpr int kOperationCount = 35;

inline constexpr TextView kUpperTextMissing = u"上部テキストボックスに文字、文字列を入力して下さい。";
inline constexpr TextView kOverwriteQuestion =
    u"下部テキストボックスに文字または文字列があります、上書きされますがよろしいですか？";

/// The message of a failed pre-check, or nothing when the run may go on.
using PreCheck = std::optional<Text> (*)(const Params& params);

/// One row of the dispatch table.
struct DispatchRow {
    PreCheck preCheck = nullptr;
    /// The control whose text chooses the variant, and the texts that run the operation (the
    /// operation reads the control itself); no texts: any text runs.
    std::string_view variantControl = {};
    std::vector<TextView> variants = {};
    /// For a variant text that matches none: the control is set back to this text.
    TextView variantReset = {};
    /// Empty until the operation is built.
    Operation operation = nullptr;
    /// For the command line: the operation on the upper text's UTF-8 bytes, giving the encoded
    /// result of `operation`, and whether it takes a given text with given parameters.
    bool (*takesUtf8)(std::string_view upper, const Params& params) = nullptr;
    std::optional<std::string> (*utf8Operation)(std::string_view upper, const Params& params,
                                                RunContext& ctx) = nullptr;
};

/// The row of an operation code 0–34.
const DispatchRow& dispatchRow(int code);

/// Whether the operation of `code` exists in this build.
bool isBuilt(int code);

/// The operations that need no upper text (the month enumerations).
inline bool runsWithoutUpperText(int code) {
    return code >= 32 && code <= 34;
}

enum class DispatchEnd {
    PreCheckFailed,  // the pre-check's message was shown
    NothingRan,      // the variant text matched no value
    Ran,             // the operation ran (and may or may not have produced the lower text)
};

struct DispatchResult {
    DispatchEnd end;
    std::optional<Text> lower;  // set only when the operation completed with a result
};

/// Step 9 of Execute: the pre-check, the variant choice and the operation. `code` must be built.
DispatchResult dispatch(int code, TextView upper, const Params& params, RunContext& ctx);

struct Utf8DispatchResult {
    DispatchEnd end;
    std::optional<std::string> lower;  // UTF-8
};

/// Whether the operation of `code` may run on UTF-8 bytes without decoding them.
bool hasUtf8Operation(int code);

/// dispatch() on the valid UTF-8 bytes of the upper text, when the operation takes them with
/// these parameters; nothing (and nothing shown) when the text must be decoded and dispatched.
std::optional<Utf8DispatchResult> dispatchUtf8(int code, std::string_view upper, const Params& params,
                                               RunContext& ctx);

}  // namespace kivo
