#pragma once

#include <cstddef>

#include "ops/frame.h"

namespace kivo {

/// Code 26: the upper text written `Text6` times as a template; every ticked slot `Check1(i)` acts
/// on the (i+1)-th number of the template, which keeps its value in the first copy and is counted
/// up or down by `ComboStep(i)` in every later one, written with the zero padding of `ComboFm(i)`.
/// With `Check4` ticked, `Text30` is placed once beside every such number (`Combo58`: its side).
std::optional<Text> GenerateLoop(TextView upper, const Params& params, RunContext& ctx);

/// The error message of the loop generator.
inline constexpr TextView kLoopError = u"文字数オーバーまたはその他エラーです。";

/// The longest result the loop generator builds, in UTF-16 code units (1 GiB of text); a run
/// whose result would be longer ends with its error message before anything is built.
inline constexpr std::size_t kLoopOutputLimit = std::size_t{1} << 29;

}  // namespace kivo
