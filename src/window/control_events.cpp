#include "window/control_events.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include "window/controls.h"

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

// The control whose text an input-method event changes: an editable combo for its line edit.
QWidget* composingControl(QObject* watched) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return nullptr;
    if (qobject_cast<QComboBox*>(widget->parentWidget()) && qobject_cast<QLineEdit*>(widget))
        widget = widget->parentWidget();
    const bool takesText = qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                           qobject_cast<QPlainTextEdit*>(widget);
    return takesText ? widget : nullptr;
}

// What a control does when the user changes its text, done once for the whole composition.
void announceText(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) control = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        emit line->textEdited(line->text());
        emit line->textChanged(line->text());
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        emit box->textChanged();
    }
}

class CompositionFilter final : public QObject {
public:
    CompositionFilter(QWidget* area, WindowState& state) : QObject(area), m_area(area), m_state(state) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool input = event->type() == QEvent::InputMethod;
        if (!input && !(event->type() == QEvent::FocusOut && m_composing == watched)) return false;
        QWidget* control = composingControl(watched);
        if (!control || !m_area->isAncestorOf(control) || m_state.guard) return false;
        if (m_composing != watched) {
            m_composing = watched;
            m_before = ParamControls::readControl(control);
            m_committed = false;
        }
        {
            // The widget handles the event here, with every rule held off.
            GuardHold hold(m_state);
            watched->event(event);
        }
        if (input) {
            const auto* im = static_cast<QInputMethodEvent*>(event);
            m_committed = m_committed || !im->commitString().isEmpty() || im->replacementLength() != 0;
            if (!im->preeditString().isEmpty()) return true;
        }
        m_composing = nullptr;
        if (ParamControls::readControl(control) == m_before) return true;
        if (m_committed) {
            announceText(control);
        } else {
            // A composition given up (Escape) or left without a commit typed nothing: the text it
            // took the place of, a selection, comes back, rather than the rule's default.
            GuardHold hold(m_state);
            ParamControls::writeControl(control, m_before);
        }
        return true;
    }

private:
    QWidget* m_area;
    WindowState& m_state;
    QPointer<QObject> m_composing;
    Text m_before;
    bool m_committed = false;
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

void holdRulesWhileComposing(QWidget* area, WindowState& state) {
    new CompositionFilter(area, state);
}

void refuseAltTyping(QWidget* window) {
    new AltTypingFilter(window);
}

}  // namespace kivo::window
