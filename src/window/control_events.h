#pragma once

#include <functional>

#include <QObject>

class QWidget;

namespace kivo::window {

/// The events of a control that handlers and input rules react to besides a text change.
enum class ControlEvent {
    FocusIn,       // the control (or an editable combo's line edit) gets the focus
    KeyPress,      // a key goes down in it, before the key is handled
    MouseRelease,  // a mouse button is released over it
    MousePress,    // a mouse button goes down on it
};

/// Calls `handler` on `event` of `control`; for an editable combo its line edit counts as the
/// control. The watcher lives as long as the control.
void onControlEvent(QWidget* control, ControlEvent event, std::function<void()> handler);

/// An Alt combination that no access key of `window` takes beeps instead of typing its letter
/// into the text box, pane or combo that has the focus. Lives as long as the window.
void refuseAltTyping(QWidget* window);

}  // namespace kivo::window
