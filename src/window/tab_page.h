#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "window/window_state.h"

class QAbstractButton;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kivo {
struct OperationDeclaration;
}

namespace kivo::window {

/// The tooltip of an operation's caption: its one-line description and its example run, with
/// the values the example sets as the window's controls show them, in the session's language.
QString operationTip(const OperationDeclaration& op);

class ParamControls;
class TabPage;

/// What touching a control does to the choice of operation: the control getting the focus, or a
/// mouse button released over a label.
enum class Touch {
    Select,        // selects the line's operation and clears the focus-cycling flag
    SelectOnly,    // selects it and leaves the flag as it is
    ClearCycling,  // only clears the flag
    Nothing,
};

/// One piece of an operation line: words of its caption, or a control with its objectName.
struct Piece {
    enum class Kind {
        Words,
        Option,
        Check,
        Combo,
        TextBox,
        MultiLineBox,
        Label,
        Reset,
        Button,
        DatePicker,
        // Only in a layout, before its line is built from the declaration.
        Parameter,
        NextLine,
    };
    Kind kind = Kind::Words;
    QString name = {};
    /// The words, or the caption of a label, check box or button.
    QString text = {};
    /// The width of a box or button; the widest a combo grows to fit its entries.
    int width = 0;
    Touch touch = Touch::Select;
    /// A Reset button: the controls it restores, in the order the button assigns them.
    QStringList restores = {};
    /// A control that holds an option of the line's operation.
    bool parameter = false;

    Piece with(Touch t) const {
        Piece p = *this;
        p.touch = t;
        return p;
    }
};

// The pieces of the tables, named as the tables read.
inline Piece words(const QString& text) {
    return {.kind = Piece::Kind::Words, .text = text};
}
inline Piece option(const QString& name) {
    return {.kind = Piece::Kind::Option, .name = name};
}
inline Piece check(const QString& name, const QString& caption = {}) {
    return {.kind = Piece::Kind::Check, .name = name, .text = caption};
}
inline Piece combo(const QString& name, int widest = 600) {
    return {.kind = Piece::Kind::Combo, .name = name, .width = widest};
}
inline Piece textBox(const QString& name, int width) {
    return {.kind = Piece::Kind::TextBox, .name = name, .width = width};
}
inline Piece multiLineBox(const QString& name, int width) {
    return {.kind = Piece::Kind::MultiLineBox, .name = name, .width = width};
}
inline Piece label(const QString& name, const QString& caption = {}) {
    return {.kind = Piece::Kind::Label, .name = name, .text = caption};
}
inline Piece reset(const QString& name, QStringList restores = {}) {
    return {.kind = Piece::Kind::Reset,
            .name = name,
            .text = QStringLiteral("Reset"),
            .width = 44,
            .restores = std::move(restores)};
}
inline Piece button(const QString& name, const QString& caption, int width) {
    return {
        .kind = Piece::Kind::Button, .name = name, .text = caption, .width = width, .touch = Touch::Nothing};
}
inline Piece datePicker(const QString& name) {
    return {.kind = Piece::Kind::DatePicker, .name = name};
}

/// An operation line as the user reads it: its selector (an option button or a check box), then
/// the words of its caption and its controls from left to right; the first words are the
/// selector's own caption. A line without a selector goes on with the operation of the line
/// above, indented under its caption.
struct OperationLine {
    std::optional<Piece> selector = {};
    std::vector<Piece> pieces = {};
    /// The selector that the line's controls select: by default the line's own, or for a further
    /// line that of the line above.
    QString operation = {};
};

/// A condition tab as a table: its frame, its operation lines top to bottom, its
/// "AllReset(&X)" line, and what it adds to the controls once they exist.
struct TabTable {
    QString frameName = {};
    QString frameCaption = {};
    /// The operation code of the tab's first operation; the i-th operation runs firstCode + i.
    int firstCode = 0;
    /// Execute with no operation selected: the message it shows and runs nothing, or, when
    /// empty, the tab's last operation runs.
    QString noSelectionMessage = {};
    std::vector<OperationLine> lines = {};
    Piece allReset = {};
    /// A box lying under the AllReset button.
    std::optional<Piece> underAllReset = {};
    /// The tab's input rules and its AllReset action.
    std::function<void(TabPage&)> attach = {};
};

/// One condition tab built from its table: the frame with its lines, the Tab order along the
/// lines, the selection of an operation by touching its controls, and the Reset buttons.
class TabPage final : public QWidget {
    Q_OBJECT

public:
    TabPage(TabTable table, WindowState& state, QWidget* parent = nullptr);

    QGroupBox* frame() const { return m_frame; }
    /// Connects the controls that need the bridge (Reset buttons); called once the whole
    /// window exists.
    void setControls(const ParamControls* controls) { m_controls = controls; }
    const ParamControls* controls() const { return m_controls; }
    WindowState& state() const { return m_state; }

    /// The selectors of the tab's operations, in the order of their codes.
    const std::vector<QAbstractButton*>& operations() const { return m_operations; }
    QPushButton* allResetButton() const { return m_allReset; }
    /// The operation code that Execute runs from this tab, if it runs one.
    std::optional<std::uint8_t> selectedCode() const;
    const QString& noSelectionMessage() const { return m_table.noSelectionMessage; }

    /// A control of this tab by name.
    template <typename T>
    T* named(const QString& name) const {
        T* w = m_frame->findChild<T*>(name);
        Q_ASSERT(w);
        return w;
    }
    /// The words of a selector's caption that are labels of their own.
    std::vector<QLabel*> captionWords(const QAbstractButton* selector) const;

    /// Runs `action` on a click, under the re-entrancy guard; nothing while the guard is held.
    void onClick(QPushButton* button, std::function<void()> action);
    /// The tab's "AllReset(&X)": sets the focus-cycling flag (the focus move after the click
    /// stays on this tab) and runs `action` under the guard.
    void onAllReset(std::function<void()> action);
    /// The tab's parameter controls, line by line and each line left to right.
    const QStringList& parameters() const { return m_parameters; }
    /// Makes "AllReset(&X)" set every parameter of the tab to its load default, then select the
    /// first operation and give it the focus.
    void restoreAllOnAllReset();
    /// Sets the named controls to their load defaults (the caller holds the guard).
    void restoreDefaults(const QStringList& names) const;
    /// Selects the tab's first operation and gives it the focus.
    void selectFirstOperation() const;

private:
    QWidget* create(const Piece& piece);
    void addLine(const OperationLine& line, QAbstractButton* operation);
    void addAllResetLine();
    /// Each operation's selector and caption words show what the operation does, and every
    /// control of its lines says to a screen reader what it is.
    void describeOperations();
    void nameLineControls(const OperationDeclaration& op, QAbstractButton* selector);
    void nameTabControls();
    /// What touching `control` does to `operation`.
    void selectOnTouch(QWidget* control, const Piece& piece, QAbstractButton* operation);

    TabTable m_table;
    WindowState& m_state;
    const ParamControls* m_controls = nullptr;
    QGroupBox* m_frame;
    QVBoxLayout* m_lines;
    std::vector<QAbstractButton*> m_operations;
    QPushButton* m_allReset = nullptr;
    /// The controls of the lines in their order, each line left to right.
    std::vector<QWidget*> m_stops;
    QStringList m_parameters;
    /// Every control of the lines in their order, with the selector of its operation and the
    /// piece it was made from.
    struct LineControl {
        QWidget* control;
        QAbstractButton* operation;
        Piece piece;
    };
    std::vector<LineControl> m_lineControls;
    QWidget* m_underAllReset = nullptr;
};

}  // namespace kivo::window
