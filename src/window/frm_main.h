#pragma once

#include <cstdint>
#include <memory>

#include <QMainWindow>

#include "window/file_commands.h"
#include "window/main_layout.h"
#include "window/window_state.h"

namespace kivo::window {

class Clipboard;
class FileDialogs;
class LivePreview;
class PaneCommands;
class ParamControls;
class RecipePanel;
class RunController;
class SessionBinding;
class TabCycling;

inline const QString kExitQuestion = QStringLiteral("Kivoオートフィルを終了します、よろしいですか？");
inline const QString kResetSettingsCaption = QStringLiteral("設定をすべて初期値に戻す");
inline const QString kResetSettingsQuestion = QStringLiteral("設定をすべて初期値に戻しますか？");

/// The main window: the two text panes, the condition tabs, Execute and Stop. It puts together
/// the layout, the run, the file commands, the session and the tab cycling, each a part of its
/// own, and owns the start-up's filling of the tabs and the closing.
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
    void placeOnScreen() { m_layout.placeOnScreen(); }
    /// Gives the window back what it had when it last closed, as kept in `folder`, and keeps it
    /// there from now on: at closing, and the upper text also a few seconds after each change.
    void restoreSession(const QString& folder);

    const WindowState& state() const { return m_state; }
    /// The flags for the start-up and the notices window, which run beside the window.
    WindowState& state() { return m_state; }
    /// The operation chosen at the last Execute (0 before the first).
    int operationCode() const;
    const ParamControls& controls() const { return *m_controls; }

    /// Replaces the system clipboard (tests); `clipboard` must outlive the window.
    void setClipboard(Clipboard* clipboard);
    /// Replaces the file dialogs (tests); `dialogs` must outlive the window.
    void setFileDialogs(FileDialogs* dialogs);

signals:
    /// Closing was confirmed: the other windows of the program close too.
    void closingConfirmed();

public slots:
    /// Execute (`Command3`): one whole run.
    void execute();
    /// Stop (`Command6`): only sets the stop flag, which the running operation polls.
    void stop() { m_state.stop = true; }
    /// `Command25`: widens the text panes over the tabs, or restores them.
    void toggleWideArea() { m_layout.toggleWideArea(); }
    /// `mnuOpen`: loads a chosen text file into the upper pane.
    void openFile() { m_files->openFile(); }
    /// "設定をすべて初期値に戻す": every parameter, the selected operations, the tab and the window's
    /// size and place as at a first start, once the user agrees; the texts and files stay.
    void resetSettings();
    /// `mnu1Name` (1) and `mnu2Name` (2): saves the upper or the lower pane under a chosen name.
    void saveText(int target) { m_files->saveText(target); }
    /// A file from the recent files or dropped on a pane: opened into the upper pane as Open
    /// does, its encoding detected. Nothing happens while the window is busy.
    void openWithoutDialog(const QString& path) { m_files->openWithoutDialog(path); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void wirePaneCommands();
    void addResetSettingsCommand();
    /// Selects the first operation of every tab, as a start does.
    void selectFirstOperations();

    WindowState m_state;
    std::unique_ptr<MessageBoxes> m_ownMessages;
    MainLayout m_layout;
    std::unique_ptr<ParamControls> m_controls;
    std::unique_ptr<Clipboard> m_ownClipboard;
    PaneCommands* m_paneCommands = nullptr;
    FileCommands* m_files = nullptr;
    SessionBinding* m_session = nullptr;
    std::unique_ptr<RunController> m_run;
    LivePreview* m_preview = nullptr;
    RecipePanel* m_recipes = nullptr;
    std::unique_ptr<TabCycling> m_tabCycling;
};

}  // namespace kivo::window
