#pragma once

#include "ops/frame.h"

namespace kivo {

/// Code 24: from every line, `Combo13` characters from position `Combo12` counted from the side
/// `Combo16`.
std::optional<Text> ExtractFromSide(TextView upper, const Params& params, RunContext& ctx);

/// Code 25: every line without the `Combo15` characters from position `Combo14` counted from the
/// side `Combo17`.
std::optional<Text> RemainderFromSide(TextView upper, const Params& params, RunContext& ctx);

}  // namespace kivo
