#pragma once

#include <QString>

#include "window/rules.h"

class QLineEdit;

namespace kivo::window {

/// The repair of the line-number box `Text11`: decimal digits with a value of 1..2147483647 stay
/// as typed (leading zeros included, "0002" is line 2; full-width digits come back half-width);
/// anything else becomes "1".
QString repairLineNumber(const QString& text);

/// The input rule of `Text11`, on every change of its text.
class LineNumberRule final : public InputRule {
    Q_OBJECT

public:
    LineNumberRule(QLineEdit* box, WindowState& state);
};

}  // namespace kivo::window
