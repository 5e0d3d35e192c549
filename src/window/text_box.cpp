#include "window/text_box.h"

#include <algorithm>

#include <QCoreApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include "window/qtext.h"

namespace kivo::window {
namespace {

// The length of the line break starting at `i`: 2 for CrLf, 1 for a lone Cr or Lf, else 0.
std::size_t lineBreakAt(TextView text, std::size_t i) {
    if (text[i] == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return text[i] == u'\n' ? 1 : 0;
}

// The length of the piece of `text` from `from` that goes into the editor at once: a surrogate
// pair or a CrLf is never split, which would show as two characters or two line breaks.
qsizetype pieceLength(const QString& text, qsizetype from) {
    constexpr qsizetype kPieceLength = qsizetype{1} << 18;
    const qsizetype end = std::min(text.size(), from + kPieceLength);
    if (end == text.size()) return end - from;
    const QChar last = text.at(end - 1);
    const bool splits = last.isHighSurrogate() || (last == u'\r' && text.at(end) == u'\n');
    return end - from - (splits ? 1 : 0);
}

void letTheWindowPaint() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
    keepAndShow(text, {});
}

void PlainTextBox::assignDuringRun(TextView text, const std::function<bool()>& interrupted) {
    keepAndShow(text, interrupted);
}

void PlainTextBox::keepAndShow(TextView text, const std::function<bool()>& interrupted) {
    // Kept first, so that a rule reading the box on textChanged sees the new text.
    m_kept = Text(text);
    const unsigned assignment = ++m_assignments;
    const QString shown = toQString(normalizeLineBreaks(text));
    m_assigning = true;
    if (pieceLength(shown, 0) == shown.size()) {
        setPlainText(shown);
    } else {
        showInPieces(shown, assignment, interrupted);
    }
    // A newer assignment made while this one let events through has finished it all.
    if (assignment != m_assignments) return;
    m_assigning = false;
    if (m_readOnlyBeforePieces) {
        document()->setUndoRedoEnabled(true);
        setReadOnly(*m_readOnlyBeforePieces);
        m_readOnlyBeforePieces.reset();
    }
}

// The editor takes about 70 ms per megabyte to build its lines: a large text goes in a piece at a
// time, the window painting between pieces. Outside a run input waits until the text is whole, so
// that nothing the user does meets a half-shown text; a newer assignment (from a timer) ends this
// one. During a run only Stop takes input, and an interrupted showing leaves the box empty.
void PlainTextBox::showInPieces(const QString& shown, unsigned assignment,
                                const std::function<bool()>& interrupted) {
    if (!m_readOnlyBeforePieces) m_readOnlyBeforePieces = isReadOnly();
    setReadOnly(true);
    document()->setUndoRedoEnabled(false);
    QTextCursor end(document());
    for (qsizetype from = 0; from < shown.size() && assignment == m_assignments;) {
        const qsizetype length = pieceLength(shown, from);
        if (from == 0) {
            setPlainText(shown.first(length));
        } else {
            end.movePosition(QTextCursor::End);
            end.insertText(shown.sliced(from, length));
        }
        from += length;
        if (from == shown.size()) break;
        if (!interrupted) {
            letTheWindowPaint();
        } else {
            QCoreApplication::processEvents();
            if (assignment == m_assignments && interrupted()) {
                m_kept = Text();
                setPlainText({});
                return;
            }
        }
    }
}

// Qt's own paste (or drop) builds every line of the text in one call: a large text goes in pieces
// as an assignment does, and stays one step for undo.
void PlainTextBox::insertFromMimeData(const QMimeData* source) {
    const QString text = source && source->hasText() ? source->text() : QString();
    if (isReadOnly() || pieceLength(text, 0) == text.size())
        return QPlainTextEdit::insertFromMimeData(source);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype length = pieceLength(text, from);
        cursor.insertText(text.sliced(from, length));
        from += length;
        if (from < text.size()) letTheWindowPaint();
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
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
