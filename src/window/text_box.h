#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include <QPlainTextEdit>
#include <QTextCursor>

#include "text/lines.h"

namespace kivo::window {

/// The offset into `text` of editor position `position`, where each CrLf, Cr or Lf of the text
/// is one position of the editor (positions past the end give the text's length).
std::size_t textOffset(TextView text, int position);
/// The editor position of offset `offset` into `text`; an offset between the Cr and the Lf of a
/// CrLf gives the position after that line break.
int editorPosition(TextView text, std::size_t offset);

/// A selection as offsets into the box's text: the cursor position and the selected length.
struct TextSelection {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSelection&) const = default;
};

/// A plain-text pane or multi-line parameter box whose text is UTF-16 with CrLf line breaks.
/// A text the program assigns is kept exactly (lone Cr, lone Lf, BS and all) until the user
/// edits the box; the editor only shows it, with each CrLf, Cr or Lf as one line break.
class PlainTextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit PlainTextBox(QWidget* parent = nullptr);

    /// The kept text, or the editor's text with each line break as CrLf once the user edited it.
    Text text() const;
    bool isEmpty() const;
    /// Whether a box can show `text` with the memory available now: the text is no longer than
    /// memory::kPaneMaxLength, and the editor's blocks and lines for it fit in memory::resultBytes.
    /// The editor cannot fail cleanly for lack of memory, so a text is asked about before it goes in.
    static bool canShow(TextView text);
    /// The longest text a box could take with the memory available now, before its lines are
    /// counted: the text itself and the editor's copy of it.
    static std::size_t longestShowable();

    /// What an assignment does to the editor's undo history.
    enum class Undo {
        Cleared,  // the program's own text: nothing to undo before it
        Step,     // a whole-text change the user asked for: one step that Ctrl+Z takes back
        Joined,   // a change that completes the step of the assignment just before it
    };

    /// A program assignment: kept as it is and shown.
    void assign(TextView text, Undo undo = Undo::Cleared);
    /// An assignment made by a run, with every control but Stop disabled: a large text lets all
    /// events through while it is shown, and showing ends with the box empty once `interrupted`.
    /// The text is kept without a copy. False, with the box empty, when memory ran out while it
    /// was shown (canShow() says beforehand whether it should fit).
    bool assignDuringRun(Text text, const std::function<bool()>& interrupted, Undo undo = Undo::Cleared);
    /// Whether replacing the whole text by `incoming` can be a step for Ctrl+Z: the editor then
    /// keeps the replaced text and a record of each line it removes and adds, and all it keeps
    /// for undo may take an eighth of what a result may take (memory::resultBytes()), which the
    /// reserve beside that budget covers.
    bool canKeepForUndo(TextView incoming) const;
    /// Whether the box still holds exactly what the program assigned.
    bool holdsAssignedText() const { return m_kept.has_value(); }
    /// The text the program assigned, while the box still holds exactly it; nullptr otherwise.
    const Text* assignedText() const { return m_kept ? &*m_kept : nullptr; }

    /// The longest piece of a large text that goes into the editor between two turns of the
    /// event loop, in UTF-16 units: a box shown while the user types takes shorter pieces.
    void setPieceLength(std::size_t units) { m_pieceLength = units; }

    /// The editor's selection in offsets into text() (a CrLf counts two).
    TextSelection selection() const;
    /// Selects `length` characters of text() from `start` (the cursor ends at `start + length`).
    void select(std::size_t start, std::size_t length = 0);
    /// Puts `text` in place of the selection as a paste does, one step for undo, the cursor after
    /// it; a text the box cannot show (canShow()) leaves the box as it was and is refused.
    void insertPasted(const QString& text);

signals:
    /// The user (not the program) changed the text.
    void edited();
    /// A file was dropped on the box: it is opened, not inserted.
    void fileDropped(const QString& path);
    /// A paste or a drop was refused: its text is too large for the memory available.
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void keepAndShow(Text text, const std::function<bool()>& interrupted, Undo undo);
    void showInPieces(unsigned assignment, const std::function<bool()>& interrupted, Undo undo);
    /// What replacing the whole text by one of `incomingBlocks` blocks adds to the undo history.
    std::uint64_t undoBytesOfReplacing(std::uint64_t incomingBlocks) const;
    /// Begins (or for Joined continues) the edit block of a whole-text change, the text selected.
    static void openStep(QTextCursor& cursor, Undo undo);
    /// Empties the box when a run stopped the showing of its text.
    void emptyInterrupted(QTextCursor& end, bool inStep);
    /// Input and undo come back once a text is whole.
    void endAssignment();

    std::optional<Text> m_kept;
    std::size_t m_pieceLength;
    /// What the editor keeps for undo of the whole-text changes since the last assignment that
    /// cleared its history, in bytes.
    std::uint64_t m_undoBytes = 0;
    bool m_assigning = false;
    unsigned m_assignments = 0;
    std::optional<bool> m_readOnlyBeforePieces;
};

}  // namespace kivo::window
