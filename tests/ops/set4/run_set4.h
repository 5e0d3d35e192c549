#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "fake_context.h"
#include "ops/frame.h"
#include "ops/params.h"

namespace kivo::test {

using Settings = std::initializer_list<std::pair<const char*, TextView>>;

/// Runs an operation on the load defaults (date pickers on 2024/05/01) changed by `settings`.
inline std::optional<Text> runOp(Operation op, TextView upper, Settings settings, FakeContext& ctx) {
    Params p = Params::defaults(Date{2024, 5, 1});
    for (const auto& [name, value] : settings)
        p.set(name, Text(value));
    return op(upper, p, ctx);
}

inline std::optional<Text> runOp(Operation op, TextView upper, Settings settings = {}) {
    FakeContext ctx;
    return runOp(op, upper, settings, ctx);
}

/// Lines each followed by CrLf.
inline Text crlfLines(std::initializer_list<TextView> lines) {
    Text out;
    for (TextView line : lines) {
        out.append(line);
        out.append(u"\r\n");
    }
    return out;
}

inline std::string narrow(TextView t) {
    std::string s;
    for (char16_t c : t)
        s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return s;
}

}  // namespace kivo::test
