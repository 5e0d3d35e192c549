#include "app/placement.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kivo::app {

void centreOnScreen(QWidget& window) {
    window.adjustSize();
    const QScreen* screen = window.screen();
    if (!screen) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void raiseTopMostThenNormal(QWidget& window) {
    window.raise();
    // Toggling the native window's flag keeps it mapped; QWidget::setWindowFlag would hide and
    // recreate it.
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlag(Qt::WindowStaysOnTopHint, true);
        handle->setFlag(Qt::WindowStaysOnTopHint, false);
    }
}

}  // namespace kivo::app
