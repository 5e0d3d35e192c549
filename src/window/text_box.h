#pragma once

#include <optional>

#include <QPlainTextEdit>

#include "text/lines.h"

namespace kivo::window {

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
    /// A program assignment: kept as it is and shown.
    void assign(TextView text);
    /// Whether the box still holds exactly what the program assigned.
    bool holdsAssignedText() const { return m_kept.has_value(); }

signals:
    /// The user (not the program) changed the text.
    void edited();

private:
    std::optional<Text> m_kept;
    bool m_assigning = false;
};

}  // namespace kivo::window
