#pragma once

#include <optional>

#include <QString>

#include "ops/run_context.h"
#include "window/message_box.h"

namespace kivo::window {

/// The run-control flags of the main window, shared by the run cycle, the tabs and the input
/// rules, with the message boxes that every part of the window shows through.
struct WindowState {
    /// Held by Execute for a whole run and by every handler that changes several controls at
    /// once; input rules and handlers that find it held do nothing.
    bool guard = false;
    bool stop = false;
    /// Set once closing the window is confirmed: loops end, messages are no longer shown.
    bool closing = false;
    /// Set last in start-up; input rules show their messages only from then on.
    bool loaded = false;
    bool focusCycling = false;
    /// The program closes the window itself: no exit question.
    bool quietExit = false;

    MessageBoxes* messages = nullptr;

    /// An OK message box, not shown while closing.
    void show(Icon icon, const QString& text) const {
        if (!closing && messages) messages->show(icon, text);
    }
    void inform(const QString& text) const { show(Icon::Information, text); }
    /// Messages of input rules: only once the window has loaded, never while closing.
    void informLoaded(const QString& text) const {
        if (loaded) inform(text);
    }
    /// A Yes/No/Cancel question; no answer while closing.
    std::optional<Answer> ask(const QString& question) const {
        if (closing || !messages) return std::nullopt;
        return messages->ask(question);
    }
};

/// Holds the re-entrancy guard for a scope and gives it back as it was.
class GuardHold {
public:
    explicit GuardHold(WindowState& state) : m_state(state), m_previous(state.guard) { state.guard = true; }
    ~GuardHold() { m_state.guard = m_previous; }
    GuardHold(const GuardHold&) = delete;
    GuardHold& operator=(const GuardHold&) = delete;

private:
    WindowState& m_state;
    bool m_previous;
};

}  // namespace kivo::window
