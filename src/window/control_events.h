#pragma once

#include <functional>

#include <QObject>

#include "window/window_state.h"

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

/// An input method's pre-edit is no text yet: while a parameter control under `area` composes,
/// its changes (a selection goes when a composition starts) reach no input rule, and when the
/// composition is committed, given up or left by the focus, the control announces its text once
/// if it differs from the text the composition started from. Lives as long as `area`.
void holdRulesWhileComposing(QWidget* area, WindowState& state);

/// An Alt combination that no access key of `window` takes beeps instead of typing its letter
/// into the text box, pane or combo that has the focus. Lives as long as the window.
void refuseAltTyping(QWidget* window);

}  // namespace kivo::window
