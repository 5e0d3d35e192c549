#pragma once

#include "ops/operation.h"

namespace kivo {

enum class LegacyAction {
    List,     // one line per occurrence, as the Shift-JIS check lists
    Replace,  // each replaced by its standard form; one without stays and is reported
};

struct LegacyOptions {
    LegacyAction action = LegacyAction::List;
};

/// Code 44: the characters code page 932 adds to JIS X 0208 (機種依存文字: ① Ⅲ ㈱ ㍻ 髙 﨑 and the
/// user-defined area), listed or replaced by their standard forms (① → (1), 髙 → 高).
std::optional<Text> ReplaceLegacyCharacters(TextView upper, const LegacyOptions& options, RunContext& ctx);

extern const LazyOperation kReplaceLegacyCharacters;

}  // namespace kivo
