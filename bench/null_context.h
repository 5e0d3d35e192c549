#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ops/operation.h"
#include "ops/run_context.h"

namespace kivo::bench {

/// A run that is never stopped: messages are dropped and every question is answered Yes.
class NullContext final : public RunContext {
public:
    bool poll() override { return false; }
    bool stopFlag() const override { return false; }
    bool closing() const override { return false; }
    void setStopFlag() override {}

protected:
    void showMessage(Icon, TextView) override {}
    Answer askQuestion(TextView) override { return Answer::Yes; }
};

/// The options of `op` at their defaults with `settings` set, each named by its option or its
/// control.
inline OptionTexts optionsOf(const OperationDeclaration& op,
                             const std::vector<std::pair<std::string, Text>>& settings = {}) {
    OptionTexts options = OptionTexts::defaults(op, Date{2024, 1, 1});
    for (const auto& [name, value] : settings) {
        const ParamDeclaration* p = op.paramCalled(name);
        if (!p) throw std::invalid_argument("no option " + name);
        options.set(p->option, value);
    }
    return options;
}

}  // namespace kivo::bench
