#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "window/window_state.h"

class QComboBox;
class QLineEdit;

namespace kivo::window {

class PlainTextBox;

/// The longest parameter text, a line break counting two characters.
inline constexpr int kMaxParameterLength = 65535;
inline const QString kLengthMessage = QStringLiteral("改行2文字を含む65535文字まで有効です。");
/// The message of the four delimiter boxes of the range replacements.
inline const QString kDelimiterLengthMessage = QStringLiteral("65535文字まで有効です。");
inline const QString kDigitsOnlyMessage = QStringLiteral("半角数字のみ有効です。");

// The repairs of the parameter-control conventions, as pure functions of the control's text.

/// The text with each full-width digit "０"–"９" as its half-width digit: the rules that take only
/// digits read what an input method commits as the digits the user meant.
QString halfWidthDigits(QString text);

/// A count combo of `low`..999 (`low` 0 or 1): anything but decimal digits within the range
/// becomes `low`; leading zeros go unless the value is 0 ("007" → "7", "00" stays). Full-width
/// digits count as digits and come back half-width.
QString repairNumericCombo(const QString& text, int low);
/// "左" and "右" stay; anything else becomes "左".
QString repairSideCombo(const QString& text);
/// A text that is none of `entries` becomes `defaultText`.
QString repairListOnlyCombo(const QString& text, const QStringList& entries, const QString& defaultText);

struct CountRepair {
    QString text;
    /// A character other than a digit was found (the rule says so).
    bool notDigits = false;
};
/// A count text box: digits with a value of 1..2147483647 in at most 10 characters, full-width
/// ones coming back half-width; anything else becomes `startValue`.
CountRepair repairCountText(const QString& text, const QString& startValue);

/// Base of the input rules: a rule lives as a child of its control and does nothing while the
/// re-entrancy guard is held, so its own edits, resets and runs fire no rules.
class InputRule : public QObject {
    Q_OBJECT

protected:
    InputRule(QObject* control, WindowState& state) : QObject(control), m_state(state) {}
    bool idle() const { return !m_state.guard; }
    /// Sets a combo's text under the guard.
    void setComboText(QComboBox* combo, const QString& text);

    WindowState& m_state;
};

/// Numeric combo rule (1..999, or 0..999 with `low` 0), on every text change.
class NumericComboRule final : public InputRule {
    Q_OBJECT

public:
    NumericComboRule(QComboBox* combo, WindowState& state, int low = 1);

private:
    QComboBox* m_combo;
    int m_low;
};

/// Side combo rule: any text but "左" and "右" becomes "左".
class SideComboRule final : public InputRule {
    Q_OBJECT

public:
    SideComboRule(QComboBox* combo, WindowState& state);
};

/// List-only combo rule: a text that is none of the combo's entries becomes `defaultText`.
class ListOnlyComboRule final : public InputRule {
    Q_OBJECT

public:
    ListOnlyComboRule(QComboBox* combo, WindowState& state, QString defaultText);
    /// A text that is none of the entries becomes the combo's load default.
    ListOnlyComboRule(QComboBox* combo, WindowState& state);
};

/// Text-length rule: a text longer than 65535 characters shows `message` and empties the box.
class TextLengthRule final : public InputRule {
    Q_OBJECT

public:
    TextLengthRule(QLineEdit* box, WindowState& state, QString message = kLengthMessage);
    TextLengthRule(PlainTextBox* box, WindowState& state, QString message = kLengthMessage);

private:
    QString m_message;
};

/// Count text rule: only half-width digits ("半角数字のみ有効です。" otherwise), at most 10 of
/// them, value 1..2147483647; anything else becomes the box's start value.
class CountTextRule final : public InputRule {
    Q_OBJECT

public:
    CountTextRule(QLineEdit* box, WindowState& state, QString startValue);
};

}  // namespace kivo::window
