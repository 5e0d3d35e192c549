#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "ops/recipe.h"

namespace kivo::cli {

/// One operation of a run: a command line's one, or a recipe's step.
using Step = RecipeStep;

/// Message boxes become lines on standard error ("information: …"), after `prefix`; questions
/// take the given answers in order, then Yes.
class CliContext final : public RunContext {
public:
    CliContext(std::ostream& err, std::deque<Answer> answers) : m_err(err), m_answers(std::move(answers)) {
        setMatchStepLimit(kMatchStepLimit);
    }

    bool poll() override { return cancelled(); }
    bool stopFlag() const override { return m_stop; }
    bool closing() const override { return false; }
    void setStopFlag() override { m_stop = true; }

    /// What every message line starts with from now on.
    void setPrefix(std::string prefix) { m_prefix = std::move(prefix); }
    /// A result beyond memory is told with the sizes, not as the operation's failure.
    bool explainsMemory(std::uint64_t neededBytes, std::uint64_t availableBytes) override;
    /// How many messages were shown, and the last of them.
    int messagesShown() const { return m_shown; }
    const Text& lastMessage() const { return m_last; }

protected:
    void showMessage(Icon icon, TextView message) override;
    Answer askQuestion(TextView question) override;

private:
    // No one can press Stop here: a pattern that backtracks without end is refused after a few
    // seconds of one match (ICU's steps are of the order of a millisecond).
    static constexpr std::int32_t kMatchStepLimit = 3000;

    void line(const char* kind, TextView text);

    std::ostream& m_err;
    std::deque<Answer> m_answers;
    std::string m_prefix;
    bool m_stop = false;
    int m_shown = 0;
    Text m_last;
};

/// Runs the steps one after the other, each on the result of the one before: the last result, or
/// nothing when a step ends without one (its messages tell why). `prefix` starts every message.
/// With `sink`, the last step may write its result there as it is made, and gives back the rest.
std::optional<Text> runSteps(const std::vector<Step>& steps, Text upper, CliContext& ctx,
                             const std::string& prefix = {}, ResultSink* sink = nullptr);

}  // namespace kivo::cli
