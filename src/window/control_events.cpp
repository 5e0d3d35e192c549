#include "window/control_events.h"

#include <QComboBox>
#include <QEvent>
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

}  // namespace kivo::window
