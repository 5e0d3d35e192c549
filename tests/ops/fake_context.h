#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ops/run_context.h"

namespace kivo::test {

/// A run context for operation tests: records every message box, answers questions from a
/// script (then Yes), and can press Stop after a number of polls or be closing from the start.
class FakeContext final : public RunContext {
public:
    struct Shown {
        Icon icon;
        Text text;
        bool operator==(const Shown&) const = default;
    };

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    int stopAfterPolls = -1;  // -1: never
    bool closingFlag = false;
    bool stop = false;
    int polls = 0;
    std::size_t longestShown = static_cast<std::size_t>(-1);
    // Operations run on an empty text as the window lets them (a month enumeration selected on
    // another tab); the dispatcher's own refusal is tested with this off.
    bool judgesEmpty = true;

    bool poll() override {
        ++polls;
        if (stopAfterPolls >= 0 && polls > stopAfterPolls) stop = true;
        return cancelled();
    }
    bool stopFlag() const override { return stop; }
    bool closing() const override { return closingFlag; }
    void setStopFlag() override { stop = true; }
    bool canShow(TextView result) const override { return result.size() <= longestShown; }
    bool judgesEmptyUpper() const override { return judgesEmpty; }

    /// The texts of the messages shown, in order.
    std::vector<Text> texts() const {
        std::vector<Text> out;
        for (const Shown& s : shown)
            out.push_back(s.text);
        return out;
    }

protected:
    void showMessage(Icon icon, TextView message) override { shown.push_back({icon, Text(message)}); }
    Answer askQuestion(TextView question) override {
        shown.push_back({Icon::Question, Text(question)});
        if (answers.empty()) return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace kivo::test
