#pragma once

#include "ops/operation.h"

namespace kivo {

enum class UnrepresentableAction {
    List,          // one line per occurrence: where it is and what it is
    QuestionMark,  // each becomes "?"
    Remove,        // each is removed
};

struct ShiftJisCheckOptions {
    UnrepresentableAction action = UnrepresentableAction::List;
};

/// Code 40: the characters that have no code page 932 form (a surrogate pair is one character),
/// listed, replaced by "?" or removed.
std::optional<Text> CheckShiftJis(TextView upper, const ShiftJisCheckOptions& options, RunContext& ctx);

extern const LazyOperation kCheckShiftJis;

}  // namespace kivo
