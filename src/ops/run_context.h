#pragma once

#include <optional>
#include <string_view>

#include "text/lines.h"

namespace kivo {

enum class Icon { Information, Exclamation, Question };
enum class Answer { Yes, No, Cancel };

/// What a running operation sees of the window: the stop and closing flags, event processing and
/// message boxes. The window and the command line implement it.
class RunContext {
public:
    virtual ~RunContext() = default;

    /// Called once per pass of every loop whose length depends on the text: lets the window
    /// process pending events (throttled by time, not per call) and tells whether the loop must
    /// end because Stop was pressed or the window is closing.
    virtual bool poll() = 0;

    virtual bool stopFlag() const = 0;
    virtual bool closing() const = 0;
    /// The month enumerations mark a failed run as aborted; no other operation touches it.
    virtual void setStopFlag() = 0;

    /// Stop pressed or window closing: the run writes nothing.
    bool cancelled() const { return stopFlag() || closing(); }

    /// Message boxes with OK; nothing is shown while closing.
    void inform(TextView message) { showUnlessClosing(Icon::Information, message); }
    void exclaim(TextView message) { showUnlessClosing(Icon::Exclamation, message); }

    /// A Yes/No/Cancel question; nothing is asked while closing (no answer).
    std::optional<Answer> ask(TextView question) {
        if (closing()) return std::nullopt;
        return askQuestion(question);
    }

protected:
    virtual void showMessage(Icon icon, TextView message) = 0;
    virtual Answer askQuestion(TextView question) = 0;

private:
    void showUnlessClosing(Icon icon, TextView message) {
        if (!closing()) showMessage(icon, message);
    }
};

}  // namespace kivo
