#pragma once

#include <QElapsedTimer>

#include "ops/run_context.h"
#include "window/window_state.h"

namespace kivo::window {

/// What a running operation sees of the window. Operations run on the window thread; polling
/// lets the window handle its pending events (Stop, the close box, repaints) at most every
/// kEventIntervalMs, so a run stays responsive without being slowed by event processing.
class WindowRunContext final : public RunContext {
public:
    static constexpr qint64 kEventIntervalMs = 10;

    explicit WindowRunContext(WindowState& state);

    bool poll() override;
    bool stopFlag() const override { return m_state.stop; }
    bool closing() const override { return m_state.closing; }
    void setStopFlag() override { m_state.stop = true; }
    /// The lower pane's limit by memory.
    bool canShow(TextView result) const override;
    /// Execute refuses an empty upper text before it asks anything.
    bool judgesEmptyUpper() const override { return true; }

protected:
    void showMessage(Icon icon, TextView message) override;
    Answer askQuestion(TextView question) override;

private:
    WindowState& m_state;
    QElapsedTimer m_sinceEvents;
};

}  // namespace kivo::window
