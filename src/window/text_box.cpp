#include "window/text_box.h"

#include <algorithm>

#include <QTextDocument>

#include "window/qtext.h"

namespace kivo::window {
namespace {

// The length of the line break starting at `i`: 2 for CrLf, 1 for a lone Cr or Lf, else 0.
std::size_t lineBreakAt(TextView text, std::size_t i) {
    if (text[i] == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return text[i] == u'\n' ? 1 : 0;
}

}  // namespace

std::size_t textOffset(TextView text, int position) {
    std::size_t i = 0;
    for (int p = 0; p < position && i < text.size(); ++p)
        i += std::max<std::size_t>(lineBreakAt(text, i), 1);
    return i;
}

int editorPosition(TextView text, std::size_t offset) {
    offset = std::min(offset, text.size());
    int position = 0;
    std::size_t i = 0;
    while (i < offset) {
        i += std::max<std::size_t>(lineBreakAt(text, i), 1);
        ++position;
    }
    return position;
}

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
    // Kept first, so that a rule reading the box on textChanged sees the new text.
    m_kept = Text(text);
    m_assigning = true;
    setPlainText(toQString(normalizeLineBreaks(text)));
    m_assigning = false;
}

TextSelection PlainTextBox::selection() const {
    const QTextCursor cursor = textCursor();
    const Text t = text();
    const std::size_t start = textOffset(t, cursor.selectionStart());
    return {start, textOffset(t, cursor.selectionEnd()) - start};
}

void PlainTextBox::select(std::size_t start, std::size_t length) {
    const Text t = text();
    QTextCursor cursor = textCursor();
    cursor.setPosition(editorPosition(t, start));
    cursor.setPosition(editorPosition(t, start + length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

}  // namespace kivo::window
