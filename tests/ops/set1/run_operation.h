#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_context.h"
#include "ops/frame.h"
#include "ops/params.h"

namespace kivo::test {

using Values = std::vector<std::pair<std::string, Text>>;

/// An operation run on the load defaults with some controls changed: its result and what the
/// context saw.
struct OpRun {
    std::optional<Text> out;
    FakeContext ctx;
};

inline OpRun runOperation(Operation op, TextView upper, const Values& values = {}, FakeContext ctx = {}) {
    Params p = Params::defaults(Date{2024, 1, 1});
    for (const auto& [name, value] : values)
        p.set(name, value);
    OpRun r{std::nullopt, std::move(ctx)};
    r.out = op(upper, p, r.ctx);
    return r;
}

inline FakeContext stoppingAfter(int polls) {
    FakeContext ctx;
    ctx.stopAfterPolls = polls;
    return ctx;
}

inline FakeContext closingContext() {
    FakeContext ctx;
    ctx.closingFlag = true;
    return ctx;
}

inline FakeContext answering(Answer a) {
    FakeContext ctx;
    ctx.answers.push_back(a);
    return ctx;
}

inline FakeContext::Shown info(TextView text) {
    return {Icon::Information, Text(text)};
}
inline FakeContext::Shown exclamation(TextView text) {
    return {Icon::Exclamation, Text(text)};
}
inline FakeContext::Shown question(TextView text) {
    return {Icon::Question, Text(text)};
}

/// Readable failure output for UTF-16 texts.
inline std::string show(TextView s) {
    std::string out;
    for (char16_t c : s) {
        if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
        }
    }
    return out;
}

}  // namespace kivo::test
