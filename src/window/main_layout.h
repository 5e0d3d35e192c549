#pragma once

#include <vector>

#include <QColor>
#include <QString>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QWidget;

namespace kivo::window {

class PaneBar;
class PlainTextBox;
class TabPage;
struct WindowState;

inline const QString kBusyCaption = QStringLiteral("実行中…");
inline const QString kWidenTip = QStringLiteral("テキストエリアを広くする");
inline const QString kNarrowTip = QStringLiteral("テキストエリアを最小化する");
inline const QString kRunDoneCaption = QStringLiteral("実行しました");
inline const QString kRunStoppedCaption = QStringLiteral("中止しました");
inline const QString kOpeningCaption = QStringLiteral("ファイルを開いています…");
/// The Stop button's colour while a run is busy.
inline const QColor kBusyStopColour{255, 255, 128};
inline const QColor kBusyStopTextColour{0, 0, 0};

/// The main window's controls where the design puts them: the two panes with their button rows,
/// the condition tabs, Stop and Execute, the status bar's counts and file format, the File menu
/// (its items come from the file commands) and the hidden work areas. It knows how the window
/// looks while busy and while the text area is wide; what the controls do is wired elsewhere.
class MainLayout {
public:
    /// Builds every control as a child of `window`.
    MainLayout(QMainWindow* window, WindowState& state);

    /// While busy only Stop (in its busy colour) and the lower pane stay usable.
    void setBusy(bool busy);
    /// Tells the end of a run in the status bar for a while, and to a screen reader at once.
    void announceRunEnd(bool stopped);
    /// `Command25`: the panes take the tab area's place, or give it back.
    void toggleWideArea();
    /// The move of the result into the upper pane needs a result and an idle window.
    void updateMoveUp();
    /// Empties the work areas some operations use.
    void clearScratch();
    /// The designed client area, with the menu bar and the status bar around it.
    void resizeToDesignedSize();
    /// The designed size in the middle of the screen, or maximised on a screen too small for it.
    void placeOnScreen();

    PlainTextBox* upper = nullptr;  // Text1
    PlainTextBox* lower = nullptr;  // Text2
    QTabWidget* tabs = nullptr;     // SSTab1
    /// The condition tabs, in the order of the tab strip.
    std::vector<TabPage*> pages;
    QPushButton* copyUpper = nullptr;   // Command27
    QPushButton* resetUpper = nullptr;  // Command1
    QPushButton* copyLower = nullptr;   // Command28
    QPushButton* resetLower = nullptr;  // Command2
    QPushButton* moveUp = nullptr;      // Command42
    QPushButton* widen = nullptr;       // Command25
    QPushButton* stop = nullptr;        // Command6
    QPushButton* execute = nullptr;     // Command3
    QLabel* status = nullptr;           // Label8
    QCheckBox* preview = nullptr;       // the live preview's switch, beside Stop
    QLabel* fileFormat = nullptr;       // the upper pane's file's encoding and line breaks
    QMenu* fileMenu = nullptr;          // mnuFile
    QLineEdit* textFocus = nullptr;     // TextFocus

private:
    void buildClientArea();
    void buildStatusBar();
    void buildWorkAreas(QWidget* client);
    /// The panes and the bar between them over `columns` columns: the panes' own, or with the tab
    /// area's while the text area is wide.
    void placePanes(int columns);

    QMainWindow* m_window;
    WindowState& m_state;
    PaneBar* m_upperBar = nullptr;
    PaneBar* m_lowerBar = nullptr;
    QGridLayout* m_grid = nullptr;
    PlainTextBox* m_scratch = nullptr;      // TextCh
    QTableWidget* m_scratchGrid = nullptr;  // MSFlexGrid1
};

}  // namespace kivo::window
