#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include <QGroupBox>
#include <QString>
#include <QWidget>

#include "window/window_state.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kivo::window {

class ParamControls;
class PlainTextBox;

/// A piece of an operation caption: words, or a blank stretch where parameter controls sit.
struct CaptionPiece {
    QString text;
    bool blank = false;
    bool operator==(const CaptionPiece&) const = default;
};

/// Splits a caption at its blank stretches (runs of ASCII or full-width spaces; a single space
/// between words stays part of the words, a leading run is always a stretch).
std::vector<CaptionPiece> captionPieces(const QString& caption);

/// One condition tab: its frame and the operation lines inside it. Subclasses build their lines
/// in the constructor and attach the input rules, Reset buttons and AllReset of their operations.
class TabPage : public QWidget {
    Q_OBJECT

public:
    TabPage(const QString& frameName, const QString& frameCaption, WindowState& state, QWidget* parent);

    QGroupBox* frame() const { return m_frame; }
    /// Connects the tab's controls that need the bridge (Reset buttons); called once the whole
    /// window exists.
    void setControls(const ParamControls* controls) { m_controls = controls; }

protected:
    // Control factories: the objectName is the control name, the parent the frame.
    QComboBox* combo(const QString& name, int maxWidth = 600);
    /// A one-line box with its load default.
    QLineEdit* textBox(const QString& name, int width);
    PlainTextBox* multiLineBox(const QString& name, int width);
    QLabel* label(const QString& name, const QString& caption);
    QPushButton* button(const QString& name, const QString& caption, int width);
    QPushButton* resetButton(const QString& name);
    QRadioButton* option(const QString& name);
    QCheckBox* checkBox(const QString& name, const QString& caption = {});
    QDateEdit* datePicker(const QString& name);

    /// An operation line read as its caption: the selector carries the first words (when the
    /// caption starts with words), every further piece of words becomes a label, the i-th blank
    /// stretch holds `stretches[i]`, and `after` follows the caption. The label with the access
    /// key clicks the selector.
    void addCaptionLine(QAbstractButton* selector, const QString& caption,
                        const std::vector<std::vector<QWidget*>>& stretches,
                        const std::vector<QWidget*>& after = {});
    /// A further line of an operation, indented under its caption.
    void addLine(const std::vector<QWidget*>& widgets, int indent = kIndent);
    /// The last line: the tab's "AllReset(&X)" at the right, with `under` lying beneath it.
    void addAllResetLine(QPushButton* allReset, QWidget* under = nullptr,
                         const std::vector<QWidget*>& before = {});
    /// Sets the Tab order of the tab's controls to the order of its lines, each left to right;
    /// called once all lines are built. The order in which the controls were created, which the
    /// order of evaluating a call's arguments decides, counts for nothing.
    void chainFocusAlongLines();

    /// A control of this tab by name (for attaching rules and resets after the lines are built).
    template <typename T>
    T* named(const char* name) const {
        return m_frame->findChild<T*>(QLatin1String(name));
    }

    /// Runs `action` on a click, under the re-entrancy guard; nothing while the guard is held.
    void onClick(QPushButton* button, std::function<void()> action);
    /// A Reset button: restores `names` to their load defaults under the guard.
    void resetOnClick(QPushButton* button, std::initializer_list<const char*> names);
    /// The tab's "AllReset(&X)": sets the focus-cycling flag (the focus move after the click
    /// stays on this tab) and runs `action` under the guard.
    void onAllReset(QPushButton* button, std::function<void()> action);
    /// Sets the named controls to their load defaults (the caller holds the guard).
    void restoreDefaults(std::initializer_list<const char*> names) const;

    /// Height of one control line.
    static constexpr int kLineHeight = 20;
    static constexpr int kIndent = 20;

    WindowState& m_state;
    const ParamControls* m_controls = nullptr;

private:
    void addStops(const std::vector<QWidget*>& widgets);

    QGroupBox* m_frame;
    QVBoxLayout* m_lines;
    /// The controls of the lines in their order, left to right.
    std::vector<QWidget*> m_stops;
};

}  // namespace kivo::window
