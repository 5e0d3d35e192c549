#include "window/reverse_rules.h"

#include <QComboBox>

#include "window/control_events.h"
#include "window/rules.h"

namespace kivo::window {

ReverseRules::ReverseRules(QComboBox* mode, QComboBox* interval, WindowState& state)
    : QObject(mode), m_mode(mode), m_interval(interval), m_state(state) {
    connect(mode, &QComboBox::editTextChanged, this, &ReverseRules::modeChanged);
    connect(interval, &QComboBox::editTextChanged, this, &ReverseRules::intervalChanged);
    for (QComboBox* combo : {mode, interval}) {
        connect(combo, &QComboBox::activated, this, &ReverseRules::keepIntervalZero);
        onControlEvent(combo, ControlEvent::KeyPress, [this] { keepIntervalZero(); });
        onControlEvent(combo, ControlEvent::FocusIn, [this] { keepIntervalZero(); });
    }
}

void ReverseRules::modeChanged(const QString& text) {
    if (m_state.guard) return;
    if (text == kWholeText) {
        setText(m_interval, QStringLiteral("0"));
    } else if (text != kEveryFewLines) {
        setText(m_mode, kWholeText);
    }
}

void ReverseRules::intervalChanged(const QString& text) {
    if (m_state.guard) return;
    const QString mode = m_mode->currentText();
    if (mode == kWholeText) {
        GuardHold hold(m_state);
        m_state.informLoaded(kChangeModeMessage);
        setText(m_interval, QStringLiteral("0"));
    } else if (mode == kEveryFewLines) {
        const QString repaired = repairNumericCombo(text, 0);
        if (repaired != text) setText(m_interval, repaired);
    }
}

void ReverseRules::keepIntervalZero() {
    if (m_state.guard) return;
    if (m_mode->currentText() == kWholeText) setText(m_interval, QStringLiteral("0"));
}

void ReverseRules::setText(QComboBox* combo, const QString& text) {
    GuardHold hold(m_state);
    combo->setEditText(text);
}

}  // namespace kivo::window
