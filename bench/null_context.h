#pragma once

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

}  // namespace kivo::bench
