#include "window/set1_rules.h"

#include <QComboBox>

#include "window/control_events.h"

namespace kivo::window {

SpecialCharacterComboRule::SpecialCharacterComboRule(QComboBox* combo, WindowState& state,
                                                     QString defaultText)
    : InputRule(combo, state), m_combo(combo), m_default(std::move(defaultText)) {
    connect(combo, &QComboBox::editTextChanged, this, &SpecialCharacterComboRule::repair);
    connect(combo, &QComboBox::activated, this, [this] { repair(m_combo->currentText()); });
    onControlEvent(combo, ControlEvent::KeyPress, [this] { repair(m_combo->currentText()); });
}

void SpecialCharacterComboRule::repair(const QString& text) {
    if (!idle()) return;
    if (m_combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        setComboText(m_combo, m_default);
}

}  // namespace kivo::window
