#include "window/window_run_context.h"

#include <QCoreApplication>

#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {

WindowRunContext::WindowRunContext(WindowState& state) : m_state(state) {
    m_sinceEvents.start();
}

bool WindowRunContext::poll() {
    if (m_sinceEvents.elapsed() >= kEventIntervalMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_sinceEvents.restart();
    }
    return cancelled();
}

bool WindowRunContext::canShow(TextView result) const {
    return PlainTextBox::canShow(result);
}

void WindowRunContext::showMessage(Icon icon, TextView message) {
    m_state.show(icon, toQString(message));
}

Answer WindowRunContext::askQuestion(TextView question) {
    return m_state.ask(toQString(question)).value_or(Answer::Cancel);
}

}  // namespace kivo::window
