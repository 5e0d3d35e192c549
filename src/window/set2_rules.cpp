#include "window/set2_rules.h"

#include <QLineEdit>

#include "text/errors.h"
#include "text/numeric.h"
#include "window/qtext.h"

namespace kivo::window {
namespace {

constexpr double kLargestLineNumber = 2147483647.0;

// A value too large for a double is far beyond the largest line number: it counts as too large
// rather than letting the conversion's error reach the event loop.
double valueOf(const QString& text) {
    try {
        return numericValue(toText(text));
    } catch (const RunTimeError&) {
        return kLargestLineNumber + 1;
    }
}

}  // namespace

QString repairLineNumber(const QString& typed) {
    const QString text = halfWidthDigits(typed);
    const QString one = QStringLiteral("1");
    // Ten digits or more starting above 2 are certainly too large; checked before the value so
    // that a long text is not converted at all.
    if (text.size() > 9 && valueOf(text.left(1)) > 2) return one;
    if (valueOf(text) > kLargestLineNumber) return one;
    // The scan is short and pure, so it neither yields nor stops on the stop flag: a rule that
    // gave up after a stopped run would let a non-number stay in the box.
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return one;
    if (valueOf(text) == 0) return one;
    return text;
}

LineNumberRule::LineNumberRule(QLineEdit* box, WindowState& state) : InputRule(box, state) {
    connect(box, &QLineEdit::textChanged, this, [this, box](const QString& text) {
        if (!idle()) return;
        const QString repaired = repairLineNumber(text);
        if (repaired == text) return;
        GuardHold hold(m_state);
        box->setText(repaired);
    });
}

}  // namespace kivo::window
