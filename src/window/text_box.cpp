#include "window/text_box.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include "text/memory_budget.h"
#include "window/qtext.h"

namespace kivo::window {
namespace {

constexpr std::size_t kPieceLength = std::size_t{1} << 18;

// What the editor takes for a text beyond the two bytes a unit that the box keeps: its document's
// copy (whose buffer grows by steps) and the layout data of each block. Measured offscreen at the
// peak of the address space while a text went in and was scrolled to its end and painted: 4.1
// bytes a unit (1.1 G units in lines of 1,000) and 160 to 205 bytes a block (10 M to 160 M units
// in lines of 3 to 8); rounded up.
constexpr std::uint64_t kEditorBytesPerUnit = 5;
constexpr std::uint64_t kEditorBytesPerBlock = 256;
// What an undo step keeps: the replaced text stays in the editor's buffer (no copy is made), and
// each block removed or added leaves a record. Measured offscreen on 20 M units replaced twice:
// 2 bytes a unit and 62 bytes a block; rounded up.
constexpr std::uint64_t kUndoBytesPerUnit = 2;
constexpr std::uint64_t kUndoBytesPerBlock = 64;

// The length of the line break starting at `i`: 2 for CrLf, 1 for a lone Cr or Lf, else 0.
std::size_t lineBreakAt(TextView text, std::size_t i) {
    if (text[i] == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return text[i] == u'\n' ? 1 : 0;
}

// The end of the piece of `text` from `from` that goes into the editor at once: a surrogate pair
// or a CrLf is never split, which would show as two characters or two line breaks.
std::size_t pieceEnd(TextView text, std::size_t from, std::size_t length) {
    const std::size_t end = std::min(text.size(), from + length);
    if (end == text.size()) return end;
    const char16_t last = text[end - 1];
    const bool splits = (last & 0xFC00) == 0xD800 || (last == u'\r' && text[end] == u'\n');
    return end - (splits ? 1 : 0);
}

// A piece as the editor takes it: each CrLf or lone Cr becomes the Lf that ends a block.
QString shownPiece(TextView piece) {
    if (findUnit(piece, u'\r') == TextView::npos) return toQString(piece);
    QString shown(static_cast<qsizetype>(piece.size()), Qt::Uninitialized);
    QChar* out = shown.data();
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != u'\r') {
            *out++ = QChar(piece[i]);
            continue;
        }
        *out++ = QChar(u'\n');
        if (i + 1 < piece.size() && piece[i + 1] == u'\n') ++i;
    }
    shown.truncate(out - shown.constData());
    return shown;
}

// The editor's blocks for `text`: one per line break (a CrLf is one) and one more.
std::uint64_t editorBlocks(TextView text) {
    std::uint64_t breaks = countUnit(text, u'\n');
    for (std::size_t cr = findUnit(text, u'\r'); cr != TextView::npos; cr = findUnit(text, u'\r', cr + 1))
        if (cr + 1 == text.size() || text[cr + 1] != u'\n') ++breaks;
    return breaks + 1;
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

PlainTextBox::PlainTextBox(QWidget* parent)
    : QPlainTextEdit(parent), m_kept(Text()), m_pieceLength(kPieceLength) {
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

bool PlainTextBox::canShow(TextView text) {
    if (text.size() > memory::kPaneMaxLength) return false;
    if (text.size() <= kPieceLength) return true;
    const std::uint64_t needed =
        text.size() * kEditorBytesPerUnit + editorBlocks(text) * kEditorBytesPerBlock;
    return needed <= memory::resultBytes();
}

std::size_t PlainTextBox::longestShowable() {
    return memory::maxResultLength(memory::resultBytes(), sizeof(char16_t) + kEditorBytesPerUnit);
}

void PlainTextBox::assign(TextView text, Undo undo) {
    keepAndShow(Text(text), {}, undo);
}

bool PlainTextBox::assignDuringRun(Text text, const std::function<bool()>& interrupted, Undo undo) {
    try {
        keepAndShow(std::move(text), interrupted, undo);
        return true;
    } catch (const std::bad_alloc&) {
        // Whatever the editor holds of the text goes, and the kept text with it.
        m_kept = Text();
        ++m_assignments;
        m_assigning = true;
        m_undoBytes = 0;
        setPlainText({});
        endAssignment();
        return false;
    }
}

void PlainTextBox::keepAndShow(Text text, const std::function<bool()>& interrupted, Undo undo) {
    // The user's own change since the step began (the lower pane takes input during a run) ends
    // that step: this change is a step of its own.
    if (undo == Undo::Joined && !m_kept) undo = Undo::Step;
    // Kept first, so that a rule reading the box on textChanged sees the new text. It is the only
    // copy besides the editor's: the editor takes it a piece at a time.
    m_kept = std::move(text);
    const unsigned assignment = ++m_assignments;
    m_assigning = true;
    m_undoBytes = undo == Undo::Cleared ? 0 : m_undoBytes + undoBytesOfReplacing(editorBlocks(*m_kept));
    if (m_kept->size() > m_pieceLength) {
        showInPieces(assignment, interrupted, undo);
    } else if (undo == Undo::Cleared) {
        setPlainText(shownPiece(*m_kept));
    } else {
        QTextCursor whole(document());
        openStep(whole, undo);
        whole.insertText(shownPiece(*m_kept));
        whole.endEditBlock();
    }
    if (undo != Undo::Cleared) moveCursor(QTextCursor::Start);
    // A newer assignment made while this one let events through has finished it all.
    if (assignment == m_assignments) endAssignment();
}

bool PlainTextBox::canKeepForUndo(TextView incoming) const {
    return (m_undoBytes + undoBytesOfReplacing(editorBlocks(incoming))) * 8 <= memory::resultBytes();
}

std::uint64_t PlainTextBox::undoBytesOfReplacing(std::uint64_t incomingBlocks) const {
    const auto units = static_cast<std::uint64_t>(document()->characterCount() - 1);
    const auto blocks = static_cast<std::uint64_t>(document()->blockCount());
    return units * kUndoBytesPerUnit + (blocks + incomingBlocks) * kUndoBytesPerBlock;
}

void PlainTextBox::openStep(QTextCursor& cursor, Undo undo) {
    if (undo == Undo::Joined) {
        cursor.joinPreviousEditBlock();
    } else {
        cursor.beginEditBlock();
    }
    cursor.select(QTextCursor::Document);
}

void PlainTextBox::endAssignment() {
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
void PlainTextBox::showInPieces(unsigned assignment, const std::function<bool()>& interrupted, Undo undo) {
    if (!m_readOnlyBeforePieces) m_readOnlyBeforePieces = isReadOnly();
    setReadOnly(true);
    // An undo step replaces the whole text in one edit block, which stays open across the pieces.
    if (undo == Undo::Cleared) document()->setUndoRedoEnabled(false);
    QTextCursor end(document());
    struct EditBlock {
        QTextCursor& cursor;
        bool open;
        ~EditBlock() {
            if (open) cursor.endEditBlock();
        }
    } block{end, undo != Undo::Cleared};
    if (block.open) openStep(end, undo);
    for (std::size_t from = 0; assignment == m_assignments;) {
        // The kept text is this assignment's as long as no newer one came.
        const TextView kept = *m_kept;
        const std::size_t to = pieceEnd(kept, from, m_pieceLength);
        const QString piece = shownPiece(kept.substr(from, to - from));
        if (from == 0 && undo == Undo::Cleared) {
            setPlainText(piece);
        } else {
            if (from > 0) end.movePosition(QTextCursor::End);
            end.insertText(piece);
        }
        from = to;
        if (from == kept.size()) break;
        if (!interrupted) {
            letTheWindowPaint();
        } else {
            QCoreApplication::processEvents();
            if (assignment == m_assignments && interrupted()) {
                m_kept = Text();
                emptyInterrupted(end, block.open);
                return;
            }
        }
    }
}

// Within a step the half-shown text goes in the same step, so that Ctrl+Z brings back the text
// from before it.
void PlainTextBox::emptyInterrupted(QTextCursor& end, bool inStep) {
    if (!inStep) return setPlainText({});
    m_undoBytes += undoBytesOfReplacing(0);
    end.select(QTextCursor::Document);
    end.removeSelectedText();
}

namespace {

// The first local file a drag brings; a file manager's drag carries its name as text too, which
// must not be inserted.
QString droppedFile(const QMimeData* source) {
    if (!source || !source->hasUrls()) return QString();
    for (const QUrl& url : source->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return QString();
}

}  // namespace

bool PlainTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return !droppedFile(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void PlainTextBox::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) return QPlainTextEdit::dropEvent(event);
    event->acceptProposedAction();
    emit fileDropped(file);
}

// The clipboard's owner may give its data up as soon as it has served it, and the data object
// goes with it at the next event the window processes (Qt's own paste then read an object without
// formats and took the window down): the text is asked for once, before anything else, and the
// object is never touched again.
void PlainTextBox::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source) return;
    QString text;
    try {
        text = source->text();
    } catch (const std::bad_alloc&) {
        emit pasteRefused();
        return;
    }
    insertPasted(text);
}

// Qt's own paste builds every line of the text in one call: a large text goes in pieces as an
// assignment does, and stays one step for undo.
void PlainTextBox::insertPasted(const QString& text) {
    if (isReadOnly() || text.isEmpty()) return;
    const TextView units = viewOf(text);
    if (!canShow(units)) {
        emit pasteRefused();
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    for (std::size_t from = 0; from < units.size();) {
        const std::size_t to = pieceEnd(units, from, m_pieceLength);
        cursor.insertText(text.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(to - from)));
        from = to;
        if (from < units.size()) letTheWindowPaint();
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// Ctrl+Y redoes, as on the systems this program's users come from, beside the platform's own key.
void PlainTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) && !isReadOnly()) {
        redo();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
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
