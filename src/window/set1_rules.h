#pragma once

#include <QString>

#include "window/rules.h"

class QComboBox;

namespace kivo::window {

/// The special-character combo `Combo40`: a text that is none of its entries becomes
/// `defaultText` on a text change, on a pick from the list and on a key press (before the key is
/// handled), so a text the program left there is repaired at the first touch.
class SpecialCharacterComboRule final : public InputRule {
    Q_OBJECT

public:
    SpecialCharacterComboRule(QComboBox* combo, WindowState& state, QString defaultText);

private:
    void repair(const QString& text);

    QComboBox* m_combo;
    QString m_default;
};

}  // namespace kivo::window
