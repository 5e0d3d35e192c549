#pragma once

class QWidget;

namespace kivo::window {

/// While `unseen` (a control off the screen or beneath another) has the focus, a focus frame
/// around `seen` shows the user where the keyboard is.
void showFocusOf(QWidget* unseen, QWidget* seen);

}  // namespace kivo::window
