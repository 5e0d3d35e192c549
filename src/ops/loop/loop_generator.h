#pragma once

#include <array>
#include <cstddef>

#include "ops/choices.h"
#include "ops/operation.h"

namespace kivo {

/// One of the seventeen slots: when used, it acts on the number of the template with its index.
struct LoopSlot {
    bool used = false;
    Direction direction = Direction::Increment;
    Text step = u"1";  // as its input rule leaves it: compares between "1" and "999" as a string
    int width = 1;     // at least this many digits, padded with zeros
};

inline constexpr int kLoopSlotCount = 17;

struct LoopOptions {
    Text loops = u"5";  // the number of copies, decimal digits
    std::array<LoopSlot, kLoopSlotCount> slots{};
    bool addBeside = false;  // the add string goes beside every counted number
    Side addSide = Side::Left;
    Text add;
};

/// Code 26: the upper text written `loops` times as a template; every used slot i acts on the
/// (i+1)-th number of the template, which keeps its value in the first copy and is counted up or
/// down by its step in every later one, written with its zero padding. The add string, when
/// asked for, is placed once beside every such number.
std::optional<Text> GenerateLoop(TextView upper, const LoopOptions& options, RunContext& ctx);

/// The error message of the loop generator.
inline constexpr TextView kLoopError = u"文字数オーバーまたはその他エラーです。";

/// The longest result the loop generator builds, in UTF-16 code units (1 GiB of text); a run
/// whose result would be longer ends with its error message before anything is built.
inline constexpr std::size_t kLoopOutputLimit = std::size_t{1} << 29;

extern const LazyOperation kGenerateLoop;

}  // namespace kivo
