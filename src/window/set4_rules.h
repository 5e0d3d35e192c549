#pragma once

#include <functional>

#include <QFlags>
#include <QString>
#include <QStringList>

#include "window/rules.h"

class QComboBox;
class QLineEdit;

namespace kivo::window {

// The repairs of the fourth tab's own rules, as pure functions of the control's text.

/// The start value of the running numbers (`Text38`): anything but digits becomes "1"; a value of
/// 0 (the empty text included) becomes "0". Full-width digits come back half-width.
QString repairStartValue(const QString& text);
/// The number of copies (`Text41`): anything but digits becomes "2", and so does a value of 0
/// (the empty text included). Full-width digits come back half-width.
QString repairCopyCount(const QString& text);

/// When a combo rule looks at its text besides every text change.
enum class ComboCheck {
    KeyPress = 0x1,  // a key goes down in the combo
    Pick = 0x2,      // an entry is picked from the list
};
Q_DECLARE_FLAGS(ComboChecks, ComboCheck)
Q_DECLARE_OPERATORS_FOR_FLAGS(ComboChecks)

/// A combo whose text must be one of `entries` (its own list, whether or not it is filled yet);
/// any other text becomes `fallback`.
class EntryComboRule final : public InputRule {
    Q_OBJECT

public:
    EntryComboRule(QComboBox* combo, WindowState& state, QStringList entries, QString fallback,
                   ComboChecks also = {});

private:
    void check();

    QComboBox* m_combo;
    QStringList m_entries;
    QString m_fallback;
};

/// A count combo of 1..999 whose rule runs only on what the user types into it: an entry picked
/// from the list (`Combo49`'s "0") is taken as it is.
class TypedCountComboRule final : public InputRule {
    Q_OBJECT

public:
    TypedCountComboRule(QComboBox* combo, WindowState& state);
};

/// A one-line box of digits repaired by `repair` on every change; `afterChange` runs after every
/// change the rule sees (the running-number and copy boxes tick the loop generator's `Check3`).
class DigitTextRule final : public InputRule {
    Q_OBJECT

public:
    DigitTextRule(QLineEdit* box, WindowState& state, QString (*repair)(const QString&),
                  std::function<void()> afterChange);
};

}  // namespace kivo::window
