#pragma once

#include <optional>
#include <vector>

#include "harness.h"
#include "ops/loop/loop_generator.h"

// The loop generator's controls as its tests set them: some number slots ticked, the number of
// copies and the add-beside setting.
namespace kivo::loop_test {

using test::FakeContext;
using test::OpRun;
using test::show;

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

/// The load defaults with these slots ticked.
inline test::Settings loopSettings(const std::vector<SlotSetting>& slots, Text loops = u"3",
                                   std::optional<AddSetting> add = std::nullopt) {
    test::Settings settings = {{"Text6", std::move(loops)}};
    for (const SlotSetting& s : slots) {
        settings.push_back({arrayName("Check1", s.index), u"1"});
        settings.push_back({arrayName("ComboId", s.index), s.id});
        settings.push_back({arrayName("ComboStep", s.index), s.step});
        settings.push_back({arrayName("ComboFm", s.index), s.format});
    }
    if (add) {
        settings.push_back({"Check4", u"1"});
        settings.push_back({"Combo58", add->side});
        settings.push_back({"Text30", add->text});
    }
    return settings;
}

inline OpRun runLoop(TextView upper, const test::Settings& settings, FakeContext ctx = {}) {
    return test::run(kGenerateLoop, upper, settings, std::move(ctx));
}

}  // namespace kivo::loop_test
