#include "window/rules.h"

#include <QComboBox>
#include <QLineEdit>

#include "window/controls.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

QString halfWidthDigits(QString text) {
    for (QChar& c : text)
        if (c >= u'０' && c <= u'９') c = QChar(u'0' + (c.unicode() - u'０'));
    return text;
}

QString repairNumericCombo(const QString& typed, int low) {
    const QString text = halfWidthDigits(typed);
    const QString fallback = QString::number(low);
    if (text.isEmpty() || !allDigits(text)) return fallback;
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == u'0')
        ++first;
    const QString significant = text.mid(first);
    if (significant.size() > 3) return fallback;
    const int value = significant.toInt();
    if (value < low) return fallback;
    return value == 0 ? text : significant;
}

QString repairSideCombo(const QString& text) {
    return text == QStringLiteral("左") || text == QStringLiteral("右") ? text : QStringLiteral("左");
}

QString repairListOnlyCombo(const QString& text, const QStringList& entries, const QString& defaultText) {
    return entries.contains(text) ? text : defaultText;
}

CountRepair repairCountText(const QString& typed, const QString& startValue) {
    const QString text = halfWidthDigits(typed);
    if (!allDigits(text)) return {startValue, true};
    if (text.size() > 10) return {startValue, false};
    const qint64 value = text.isEmpty() ? 0 : text.toLongLong();
    if (value == 0 || value > 2147483647) return {startValue, false};
    return {text, false};
}

void InputRule::setComboText(QComboBox* combo, const QString& text) {
    GuardHold hold(m_state);
    combo->setEditText(text);
}

NumericComboRule::NumericComboRule(QComboBox* combo, WindowState& state, int low)
    : InputRule(combo, state), m_combo(combo), m_low(low) {
    connect(combo, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!idle()) return;
        const QString repaired = repairNumericCombo(text, m_low);
        if (repaired != text) setComboText(m_combo, repaired);
    });
}

SideComboRule::SideComboRule(QComboBox* combo, WindowState& state) : InputRule(combo, state) {
    connect(combo, &QComboBox::editTextChanged, this, [this, combo](const QString& text) {
        if (!idle()) return;
        const QString repaired = repairSideCombo(text);
        if (repaired != text) setComboText(combo, repaired);
    });
}

ListOnlyComboRule::ListOnlyComboRule(QComboBox* combo, WindowState& state, QString defaultText)
    : InputRule(combo, state) {
    connect(combo, &QComboBox::editTextChanged, this,
            [this, combo, defaultText = std::move(defaultText)](const QString& text) {
                if (!idle()) return;
                if (combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
                    setComboText(combo, defaultText);
            });
}

ListOnlyComboRule::ListOnlyComboRule(QComboBox* combo, WindowState& state)
    : ListOnlyComboRule(combo, state, toQString(loadDefault(combo->objectName().toStdString()))) {}

TextLengthRule::TextLengthRule(QLineEdit* box, WindowState& state, QString message)
    : InputRule(box, state), m_message(std::move(message)) {
    box->setMaxLength(16 * 1024 * 1024);
    connect(box, &QLineEdit::textChanged, this, [this, box](const QString& text) {
        if (!idle() || text.size() <= kMaxParameterLength) return;
        // Held while the message is up too: what arrives meanwhile (an input method's reset, say)
        // is no second change.
        GuardHold hold(m_state);
        m_state.informLoaded(m_message);
        box->clear();
    });
}

TextLengthRule::TextLengthRule(PlainTextBox* box, WindowState& state, QString message)
    : InputRule(box, state), m_message(std::move(message)) {
    connect(box, &QPlainTextEdit::textChanged, this, [this, box] {
        // The document counts a line break once; only a box near the limit needs the exact text.
        if (!idle() || box->document()->characterCount() <= kMaxParameterLength / 2) return;
        if (box->text().size() <= static_cast<std::size_t>(kMaxParameterLength)) return;
        GuardHold hold(m_state);
        m_state.informLoaded(m_message);
        box->assign(Text());
    });
}

CountTextRule::CountTextRule(QLineEdit* box, WindowState& state, QString startValue) : InputRule(box, state) {
    connect(box, &QLineEdit::textChanged, this,
            [this, box, startValue = std::move(startValue)](const QString& text) {
                if (!idle()) return;
                const CountRepair repair = repairCountText(text, startValue);
                GuardHold hold(m_state);
                if (repair.notDigits) m_state.informLoaded(kDigitsOnlyMessage);
                if (repair.text != text) box->setText(repair.text);
            });
}

}  // namespace kivo::window
