#include "window/window_run_context.h"

#include <QCoreApplication>

#include "window/controls.h"
#include "window/qtext.h"

namespace kivo::window {

WindowRunContext::WindowRunContext(WindowState& state, const ParamControls& controls)
    : m_state(state), m_controls(controls) {
    m_sinceEvents.start();
}

bool WindowRunContext::poll() {
    if (m_sinceEvents.elapsed() >= kEventIntervalMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_sinceEvents.restart();
    }
    return cancelled();
}

void WindowRunContext::assign(std::string_view control, const Text& value) {
    GuardHold hold(m_state);
    m_controls.assign(control, value);
}

void WindowRunContext::showMessage(Icon icon, TextView message) {
    m_state.show(icon, toQString(message));
}

Answer WindowRunContext::askQuestion(TextView question) {
    return m_state.ask(toQString(question)).value_or(Answer::Cancel);
}

}  // namespace kivo::window
