#include "window/text_box.h"

#include <QTextDocument>

#include "window/qtext.h"

namespace kivo::window {

PlainTextBox::PlainTextBox(QWidget* parent) : QPlainTextEdit(parent), m_kept(Text()) {
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (m_assigning || (removed == 0 && added == 0)) return;
        m_kept.reset();
        emit edited();
    });
}

Text PlainTextBox::text() const {
    if (m_kept) return *m_kept;
    // The raw text keeps every character as typed (toPlainText would turn no-break spaces into
    // spaces); only the block and line separators are line breaks.
    const QString raw = document()->toRawText();
    Text out;
    out.reserve(static_cast<std::size_t>(raw.size()) + 16);
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n') {
            out.append(u"\r\n");
        } else {
            out.push_back(c.unicode());
        }
    }
    return out;
}

bool PlainTextBox::isEmpty() const {
    return m_kept ? m_kept->empty() : document()->isEmpty();
}

void PlainTextBox::assign(TextView text) {
    m_assigning = true;
    setPlainText(toQString(normalizeLineBreaks(text)));
    m_assigning = false;
    m_kept = Text(text);
}

}  // namespace kivo::window
