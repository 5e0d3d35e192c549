#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "text/lines.h"
#include "window/text_files.h"

class QMainWindow;
class QMenu;

namespace kivo::window {

class FileDialogs;
class MainLayout;
class PlainTextBox;
struct WindowState;

inline const QString kWindowCaption = QStringLiteral("Kivoオートフィル");
inline const QString kSavingCaption = QStringLiteral("名前を付けて保存…");
inline const QString kRecentFilesCaption = QStringLiteral("最近使ったファイル");

/// The File menu's commands and what they remember: the file of each pane with its encoding and
/// line breaks, the recent files and the dialogs' folder, shown in the window title, the status
/// bar and the menu.
class FileCommands final : public QObject {
    Q_OBJECT

public:
    /// Adds the commands to the layout's File menu.
    FileCommands(QMainWindow* window, MainLayout& layout, WindowState& state);
    ~FileCommands() override;

    /// Replaces the file dialogs (tests); `dialogs` must outlive this object.
    void setFileDialogs(FileDialogs* dialogs) { m_dialogs = dialogs; }

    /// `mnuOpen`: loads a chosen text file into the upper pane.
    void openFile();
    /// A file from the recent files or dropped on a pane: opened into the upper pane as Open
    /// does, its encoding detected. Nothing happens while the window is busy.
    void openWithoutDialog(const QString& path);
    /// `mnu1Name` (1) and `mnu2Name` (2): saves the upper or the lower pane under a chosen name,
    /// or to `path` without asking for one.
    void saveText(int target, const QString& path = QString());
    /// `mnuSave` (Ctrl+S): saves the pane that has or last had the focus to its file, in the
    /// file's encoding and line breaks; a pane without a file is saved under a chosen name.
    void saveInPlace();

    /// A run's result was shown: it is written as the text it came from was.
    void resultShown();
    /// The result became the upper text, and with it its file's form.
    void movedUp();
    /// `pane` was emptied: it no longer holds a file.
    void emptied(const PlainTextBox* pane);

    const FileHistory& history() const { return m_history; }
    /// The file of the upper (0) or the lower (1) pane.
    const PaneFile& file(int pane) const { return m_files[pane]; }
    /// What a kept session remembered.
    void restore(const FileHistory& history, const PaneFile& upper, const PaneFile& lower);

signals:
    /// The close box was answered while a file was read: the window goes without asking again.
    void closeConfirmedWhileOpening();

private:
    void buildMenu();
    /// Opens the upper pane's file again in the encoding the user names.
    void reopen(OpenEncoding encoding);
    /// Opens `path` (nothing on an empty path) into the upper pane after the busy state began,
    /// and ends it; false when the file could not be read.
    bool openChosenFile(const QString& path, OpenEncoding encoding);
    enum class Loaded { Yes, No, NotText };
    /// Reads the chosen file into the upper pane: No when it cannot be read or shown, NotText when
    /// no encoding reads it as detection asked.
    Loaded loadFile(const QString& path, OpenEncoding encoding);
    /// Asks for the encoding when needed, then for the name unless `path` names the file, and
    /// writes the file.
    void saveToFile(const Text& text, int target, const QString& path);
    /// `path` was opened or saved: the dialogs start in its folder and it heads the recent files.
    void fileUsed(const QString& path);
    void rebuildRecentMenu();
    /// The window title with the name of the upper pane's file.
    void updateTitle();
    bool busy() const;

    QMainWindow* m_window;
    MainLayout& m_layout;
    WindowState& m_state;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    FileDialogs* m_dialogs = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_reopenMenu = nullptr;
    PaneFile m_files[2];
    /// The pane Ctrl+S saves: the upper (1) or the lower (2), whichever had the focus last.
    int m_focusedTarget = 1;
    FileHistory m_history;
};

}  // namespace kivo::window
