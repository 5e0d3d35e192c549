#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QPalette>
#include <QPointer>

#include "ops/operation.h"
#include "text/lines.h"
#include "window/text_files.h"
#include "window/window_state.h"

class QAbstractButton;
class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QTimer;

namespace kivo::window {

class Clipboard;
class FileDialogs;
class PaneBar;
class PaneCommands;
class ParamControls;
class PlainTextBox;
class SessionStore;
class TabPage;
struct Session;

inline const QString kWindowCaption = QStringLiteral("Kivoオートフィル");
inline const QString kExitQuestion = QStringLiteral("Kivoオートフィルを終了します、よろしいですか？");
inline const QString kBusyCaption = QStringLiteral("実行中…");
inline const QString kWidenTip = QStringLiteral("テキストエリアを広くする");
inline const QString kNarrowTip = QStringLiteral("テキストエリアを最小化する");
inline const QString kOpeningCaption = QStringLiteral("ファイルを開いています…");
inline const QString kSavingCaption = QStringLiteral("名前を付けて保存…");
inline const QString kRecentFilesCaption = QStringLiteral("最近使ったファイル");
inline const QString kResetSettingsCaption = QStringLiteral("設定をすべて初期値に戻す");
inline const QString kResetSettingsQuestion = QStringLiteral("設定をすべて初期値に戻しますか？");
/// The Stop button's colour while a run is busy.
inline const QColor kBusyStopColour{255, 255, 128};

/// The main window: the two text panes, the four condition tabs, Execute and Stop. It owns the
/// layout, the run cycle and the wiring; each tab builds and looks after its own operations.
class FrmMain : public QMainWindow {
    Q_OBJECT

public:
    /// `messages` answers every message box (real modal boxes when null); it must outlive the
    /// window.
    explicit FrmMain(MessageBoxes* messages = nullptr, QWidget* parent = nullptr);
    ~FrmMain() override;

    /// Fills every list, sets every default and selects the first operation of each tab.
    void fillLists();
    /// The last step of start-up: from now on input rules show their messages.
    void finishStartUp() { m_state.loaded = true; }
    /// The program closes the window by itself: no exit question.
    void closeQuietly();
    /// The designed size in the middle of the screen, or maximised on a screen too small for it.
    void placeOnScreen();
    /// Gives the window back what it had when it last closed, as kept in `folder`, and keeps it
    /// there from now on: at closing, and the upper text also a few seconds after each change.
    void restoreSession(const QString& folder);

    const WindowState& state() const { return m_state; }
    /// The flags for the start-up and the notices window, which run beside the window.
    WindowState& state() { return m_state; }
    /// The operation chosen at the last Execute (0 before the first).
    int operationCode() const { return m_operationCode; }
    const ParamControls& controls() const { return *m_controls; }

    /// Replaces the system clipboard (tests); `clipboard` must outlive the window.
    void setClipboard(Clipboard* clipboard);
    /// Replaces the file dialogs (tests); `dialogs` must outlive the window.
    void setFileDialogs(FileDialogs* dialogs) { m_dialogs = dialogs; }

signals:
    /// Closing was confirmed: the other windows of the program close too.
    void closingConfirmed();

public slots:
    /// Execute (`Command3`): one whole run.
    void execute();
    /// Stop (`Command6`): only sets the stop flag, which the running operation polls.
    void stop() { m_state.stop = true; }
    /// `Command25`: widens the text panes over the tabs, or restores them.
    void toggleWideArea();
    /// `mnuOpen`: loads a chosen text file into the upper pane.
    void openFile();
    /// "設定をすべて初期値に戻す": every parameter, the selected operations, the tab and the window's
    /// size and place as at a first start, once the user agrees; the texts and files stay.
    void resetSettings();
    /// `mnu1Name` (1) and `mnu2Name` (2): saves the upper or the lower pane under a chosen name.
    void saveText(int target);
    /// A file from the recent files or dropped on a pane: opened into the upper pane as Open
    /// does, its encoding detected. Nothing happens while the window is busy.
    void openWithoutDialog(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopLevel();
    /// The designed client area, with the menu bar and the status bar around it.
    void resizeToDesignedSize();
    /// The panes and the bar between them over `columns` columns: the panes' own, or with the
    /// tab area's while the text area is wide.
    void placePanes(int columns);
    void buildMenus();
    /// The tab strip, the AllReset buttons and `TextFocus`: selection by the strip and keyboard
    /// cycling from the last stop of one tab to the first operation of the next.
    void wireTabCycling();
    /// Selects the first operation of `tab` (ticks `Check3` on tab 2) and gives it the focus.
    void focusFirstOperation(int tab);
    QAbstractButton* firstOperation(int tab) const;
    void tabStripTouched();
    /// Gives each tab's access key (Alt+1 …) to the strip, except one that a control of the tab on
    /// show has as its own (the loop generator's fourteenth row has Alt+6).
    void shareTabKeys();
    void passFocusToNextTab();
    /// Moves the tab control to `position` (0-based) among the stops of the window's Tab order.
    void putTabsInFocusOrder(int position);
    /// Opens `path` (nothing on an empty path) into the upper pane after the busy state began,
    /// and ends it; false when the file could not be read.
    bool openChosenFile(const QString& path, OpenEncoding encoding);
    /// Opens the upper pane's file again in the encoding the user names.
    void reopen(OpenEncoding encoding);
    enum class Loaded { Yes, No, NotText };
    /// Reads the chosen file into the upper pane: No when it cannot be read or shown, NotText when
    /// no encoding reads it as detection asked.
    Loaded loadFile(const QString& path, OpenEncoding encoding);
    /// Asks for the encoding when needed, then for the name, and writes the file.
    void saveToFile(const Text& text, int target);
    /// `path` was opened or saved: the dialogs start in its folder and it heads the recent files.
    void fileUsed(const QString& path);
    void rebuildRecentMenu();
    Session currentSession() const;
    /// Gives the window what `session` kept; a kept text a pane cannot take is set aside and
    /// added to the session's set-aside files.
    void applySession(Session& session);
    /// Gives `pane` the kept `text`; false when it cannot take it.
    static bool restoreText(PlainTextBox* pane, std::optional<Text>& text);
    /// Selects the first operation of every tab, as a start does.
    void selectFirstOperations();
    void keepUpperText();
    /// A write of the upper text between starts ended: a failure is said once in the status bar,
    /// until a write succeeds again.
    void upperKept(bool kept);
    /// The window title with the name of the upper pane's file.
    void updateTitle();
    /// The operation of the current tab and its selection; none when the tab runs nothing.
    std::optional<std::uint8_t> selectedOperation() const;
    /// Execute's run, under its guard.
    void runOnce();
    /// The lower pane takes the result when it can hold it; otherwise the run of `op` ends as a
    /// failed one does: its error message, the lower pane empty.
    void showResult(Text result, const OperationDeclaration& op, TextView errorMessage);
    void beginRun();
    void endRun();
    /// The busy state ends, without the emptying of the lower pane that ends a stopped run.
    void leaveBusyState();
    void clearScratch();
    /// The move of the result into the upper pane needs a result and an idle window.
    void updateMoveUp();
    bool selected(const char* option) const;

    WindowState m_state;
    std::unique_ptr<MessageBoxes> m_ownMessages;
    std::unique_ptr<ParamControls> m_controls;
    std::uint8_t m_operationCode = 0;
    std::unique_ptr<Clipboard> m_ownClipboard;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    FileDialogs* m_dialogs = nullptr;
    PaneCommands* m_paneCommands = nullptr;

    PlainTextBox* m_text1 = nullptr;
    PlainTextBox* m_text2 = nullptr;
    PlainTextBox* m_textCh = nullptr;
    QTableWidget* m_grid = nullptr;
    QTabWidget* m_tabs = nullptr;
    /// The four condition tabs, in the order of the tab strip.
    std::vector<TabPage*> m_pages;
    QPushButton* m_copyUpper = nullptr;   // Command27
    QPushButton* m_resetUpper = nullptr;  // Command1
    QPushButton* m_copyLower = nullptr;   // Command28
    QPushButton* m_resetLower = nullptr;  // Command2
    QPushButton* m_widen = nullptr;       // Command25
    QPushButton* m_stop = nullptr;        // Command6
    QPushButton* m_execute = nullptr;     // Command3
    QPushButton* m_moveUp = nullptr;      // Command42
    QLabel* m_arrow = nullptr;            // Label3
    QLabel* m_status = nullptr;           // Label8
    QMenu* m_fileMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_reopenMenu = nullptr;
    QLabel* m_fileFormat = nullptr;  // the upper pane's file's encoding and line breaks
    /// The file of the upper and of the lower pane.
    PaneFile m_files[2];
    FileHistory m_history;
    /// Where the session is kept; none in tests that do not ask for it.
    std::unique_ptr<SessionStore> m_session;
    QTimer* m_keepUpper = nullptr;
    // The upper text being kept in the background; declared after the store it writes through,
    // so that it is waited for before the store goes.
    std::future<void> m_upperWrite;
    bool m_keepFailureShown = false;
    QGridLayout* m_layout = nullptr;
    PaneBar* m_upperBar = nullptr;
    PaneBar* m_lowerBar = nullptr;
    QLineEdit* m_textFocus = nullptr;  // TextFocus
    /// The event hooks of the tab cycling, removed first when the window goes.
    std::vector<QPointer<QObject>> m_hooks;
    QPalette m_stopPalette;
};

}  // namespace kivo::window
