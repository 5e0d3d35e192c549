#include "window/set4_rules.h"

#include <QComboBox>
#include <QLineEdit>

#include "window/control_events.h"

namespace kivo::window {
namespace {

bool onlyDigits(const QString& text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// Digits only: the value is 0 exactly when every digit is "0" (or there is none). Deciding it
// from the digits keeps a run of hundreds of digits from ever becoming a floating-point value.
bool zeroValue(const QString& digits) {
    for (const QChar c : digits)
        if (c != u'0') return false;
    return true;
}

}  // namespace

QString repairStartValue(const QString& typed) {
    const QString text = halfWidthDigits(typed);
    const QString digits = onlyDigits(text) ? text : QStringLiteral("1");
    return zeroValue(digits) ? QStringLiteral("0") : digits;
}

QString repairCopyCount(const QString& typed) {
    const QString text = halfWidthDigits(typed);
    if (!onlyDigits(text) || zeroValue(text)) return QStringLiteral("2");
    return text;
}

EntryComboRule::EntryComboRule(QComboBox* combo, WindowState& state, QStringList entries, QString fallback,
                               ComboChecks also)
    : InputRule(combo, state),
      m_combo(combo),
      m_entries(std::move(entries)),
      m_fallback(std::move(fallback)) {
    connect(combo, &QComboBox::editTextChanged, this, &EntryComboRule::check);
    if (also.testFlag(ComboCheck::Pick)) connect(combo, &QComboBox::activated, this, &EntryComboRule::check);
    if (also.testFlag(ComboCheck::KeyPress))
        onControlEvent(combo, ControlEvent::KeyPress, [this] { check(); });
}

void EntryComboRule::check() {
    if (!idle()) return;
    const QString text = m_combo->currentText();
    const QString repaired = repairListOnlyCombo(text, m_entries, m_fallback);
    if (repaired != text) setComboText(m_combo, repaired);
}

TypedCountComboRule::TypedCountComboRule(QComboBox* combo, WindowState& state) : InputRule(combo, state) {
    // textEdited, unlike editTextChanged, comes only from typing, pasting and deleting in the box.
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& text) {
        if (!idle()) return;
        const QString repaired = repairNumericCombo(text, 1);
        if (repaired != text) setComboText(combo, repaired);
    });
}

DigitTextRule::DigitTextRule(QLineEdit* box, WindowState& state, QString (*repair)(const QString&),
                             std::function<void()> afterChange)
    : InputRule(box, state) {
    // The scan is a single pass over a one-line box, so it needs no event processing of its own.
    connect(box, &QLineEdit::textChanged, this,
            [this, box, repair, afterChange = std::move(afterChange)](const QString& text) {
                if (!idle()) return;
                const QString repaired = repair(text);
                if (repaired != text) {
                    GuardHold hold(m_state);
                    box->setText(repaired);
                }
                afterChange();
            });
}

}  // namespace kivo::window
