#pragma once

#include <cstddef>
#include <optional>

#include <QObject>
#include <QString>

#include "text/lines.h"
#include "window/window_state.h"

class QAction;
class QEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPushButton;
class QWidget;

namespace kivo::window {

class Clipboard;
class PlainTextBox;

/// The caption of the move of the result into the upper pane (the button adds its access key).
inline const QString kMoveUpCaption = QStringLiteral("↑結果を上へ");

/// `text` with the `length` characters from `start` replaced by `insert` (start and length are
/// cut to the text). Tab, cut, paste and delete of the pane menu are all this edit.
Text replaceSelection(TextView text, std::size_t start, std::size_t length, TextView insert);

/// What the window adds around its two text panes: the Ctrl+V filter, the context menu
/// `mnuMenu` acting on the pane last released over, and each pane's copy and reset buttons.
class PaneCommands final : public QObject {
    Q_OBJECT

public:
    /// `menuParent` owns the context menu.
    PaneCommands(WindowState& state, PlainTextBox* upper, PlainTextBox* lower, QWidget* menuParent);

    /// `clipboard` must outlive this object.
    void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }
    /// Wires the copy and reset buttons of `pane`.
    void attachButtons(PlainTextBox* pane, QPushButton* copy, QPushButton* reset);
    /// Wires the button that moves the result into the upper pane.
    void attachMoveUp(QPushButton* moveUp);
    /// The lower text replaces the upper one, as one step of the upper pane's undo, and the lower
    /// pane is emptied: the result becomes the input of the next run.
    void moveResultUp();

    QMenu* menu() const { return m_menu; }

signals:
    /// The result became the upper text.
    void movedUp();
    /// Reset emptied `pane`.
    void emptied(PlainTextBox* pane);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// True when the key must be discarded.
    bool filterControlKey(PlainTextBox* pane, const QKeyEvent* event);
    void mouseReleased(PlainTextBox* pane, const QMouseEvent* event);
    /// The clipboard's text, read once; nothing when it was too large to copy.
    std::optional<QString> clipboardText() const;
    /// The pane the menu items act on: the upper pane once released over, else the lower.
    PlainTextBox* target() const;
    bool isUpper(const PlainTextBox* pane) const { return pane == m_upper; }

    void undo();
    void redo();
    void insertTab();
    void cut();
    void copy();
    void paste();
    void remove();
    void selectAll();
    void copyWhole(PlainTextBox* pane);
    void reset(PlainTextBox* pane);
    void fail(const QString& message) const;

    WindowState& m_state;
    Clipboard* m_clipboard = nullptr;
    PlainTextBox* m_upper;
    PlainTextBox* m_lower;
    QMenu* m_menu;
    QAction* m_undo;
    QAction* m_redo;
    QAction* m_tab;
    QAction* m_cut;
    QAction* m_copy;
    QAction* m_paste;
    QAction* m_delete;
    QAction* m_all;
    QAction* m_moveUp;
    /// 1 upper, 2 lower, 0 before the first release over a pane.
    int m_target = 0;
    /// The clipboard's text as read at the last release over a pane.
    QString m_clipboardText;
};

}  // namespace kivo::window
