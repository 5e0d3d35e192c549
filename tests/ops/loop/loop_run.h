#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fake_context.h"
#include "ops/lists.h"
#include "ops/loop/loop_generator.h"
#include "ops/params.h"

namespace kivo::loop_test {

using test::FakeContext;

/// One ticked number slot.
struct SlotSetting {
    int index = 0;
    Text id = u"インクリメント";
    Text step = u"1";
    Text format = u"0";
};

inline SlotSetting slot(int index, Text id = u"インクリメント", Text step = u"1", Text format = u"0") {
    return {index, std::move(id), std::move(step), std::move(format)};
}
inline SlotSetting down(int index, Text step = u"1", Text format = u"0") {
    return {index, u"デクリメント", std::move(step), std::move(format)};
}
inline SlotSetting padded(int index, Text format) {
    return {index, u"インクリメント", u"1", std::move(format)};
}

/// The add-before-loop setting (`Check4` ticked).
struct AddSetting {
    Text side = u"左";
    Text text;
};

/// The loop generator's controls: the load defaults with some slots ticked.
inline Params loopParams(const std::vector<SlotSetting>& slots, Text loops = u"3",
                         std::optional<AddSetting> add = std::nullopt) {
    Params p = Params::defaults(Date{2024, 1, 1});
    p.set("Text6", std::move(loops));
    for (const SlotSetting& s : slots) {
        p.set(arrayName("Check1", s.index), u"1");
        p.set(arrayName("ComboId", s.index), s.id);
        p.set(arrayName("ComboStep", s.index), s.step);
        p.set(arrayName("ComboFm", s.index), s.format);
    }
    if (add) {
        p.set("Check4", u"1");
        p.set("Combo58", add->side);
        p.set("Text30", add->text);
    }
    return p;
}

struct LoopRun {
    std::optional<Text> out;
    FakeContext ctx;
};

inline LoopRun runLoop(TextView upper, const Params& p, FakeContext ctx = {}) {
    LoopRun r{std::nullopt, std::move(ctx)};
    r.out = GenerateLoop(upper, p, r.ctx);
    return r;
}

/// The messages and questions a run showed, in order.
inline std::vector<FakeContext::Shown> shownBy(const LoopRun& r) {
    return r.ctx.shown;
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
        } else if (c == u'\b') {
            out += "\\b";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
        }
    }
    return out;
}

inline std::string showResult(const std::optional<Text>& s) {
    return s ? show(*s) : std::string("(nothing)");
}

}  // namespace kivo::loop_test
