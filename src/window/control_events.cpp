#include "window/control_events.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace kivo::window {
namespace {

class EventWatcher final : public QObject {
public:
    EventWatcher(QWidget* control, QEvent::Type type, std::function<void()> handler)
        : QObject(control), m_type(type), m_handler(std::move(handler)) {
        control->installEventFilter(this);
        // The combo is its line edit's focus proxy and forwards focus and keys to it itself; only
        // the mouse goes to the line edit directly.
        if (auto* combo = qobject_cast<QComboBox*>(control);
            combo && combo->lineEdit() &&
            (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonPress))
            combo->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type) m_handler();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_handler;
};

// Qt lets a key with Alt type its text when no shortcut takes it. AltGr, which types on many
// keyboards, is no Alt here: X11 reports it as a key of its own, Windows as Ctrl+Alt.
class AltTypingFilter final : public QObject {
public:
    explicit AltTypingFilter(QWidget* window) : QObject(window), m_window(window) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        const Qt::KeyboardModifiers alt = key->modifiers() & (Qt::AltModifier | Qt::ControlModifier);
        if (alt != Qt::AltModifier || key->text().isEmpty() || !key->text().front().isPrint()) return false;
        const auto* widget = static_cast<const QWidget*>(watched);
        if (widget->window() != m_window || !widget->testAttribute(Qt::WA_InputMethodEnabled)) return false;
        QApplication::beep();
        return true;
    }

private:
    QWidget* m_window;
};

QEvent::Type qtType(ControlEvent event) {
    switch (event) {
        case ControlEvent::FocusIn:
            return QEvent::FocusIn;
        case ControlEvent::KeyPress:
            return QEvent::KeyPress;
        case ControlEvent::MouseRelease:
            return QEvent::MouseButtonRelease;
        case ControlEvent::MousePress:
            return QEvent::MouseButtonPress;
    }
    return QEvent::None;
}

}  // namespace

void onControlEvent(QWidget* control, ControlEvent event, std::function<void()> handler) {
    new EventWatcher(control, qtType(event), std::move(handler));
}

void refuseAltTyping(QWidget* window) {
    new AltTypingFilter(window);
}

}  // namespace kivo::window
