#pragma once

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake_context.h"
#include "ops/frame.h"
#include "ops/params.h"

namespace kivo::test {

inline constexpr TextView kGeneralErrorText = u"条件が行えない行がある、または文字数、その他のエラーです。";
inline constexpr TextView kConsecutiveText = u"改行の連続があります。";

/// One run of an operation with the load defaults and the given controls changed.
struct OpRun {
    std::optional<Text> lower;
    FakeContext ctx;
    std::vector<Text> messages() const { return ctx.texts(); }
};

using Settings = std::vector<std::pair<std::string, Text>>;

inline OpRun runOp(Operation op, TextView upper, const Settings& settings, std::deque<Answer> answers = {}) {
    Params p = Params::defaults(Date{2024, 1, 1});
    for (const auto& [name, value] : settings)
        p.set(name, value);
    OpRun r;
    r.ctx.answers = std::move(answers);
    r.lower = op(upper, p, r.ctx);
    return r;
}

/// A readable rendering of a text for failure messages: line breaks and backspaces spelled out.
inline std::string show(TextView s) {
    std::string out;
    for (char16_t c : s) {
        if (c == u'\r')
            out += "<CR>";
        else if (c == u'\n')
            out += "<LF>";
        else if (c == u'\b')
            out += "<BS>";
        else if (c < 0x80)
            out += static_cast<char>(c);
        else
            out += "?";
    }
    return out;
}

}  // namespace kivo::test
