#pragma once

#include <memory>

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "app/frm_info.h"
#include "app/notices_fetch.h"

namespace kivo::window {
class FrmMain;
}

namespace kivo::app {

class FrmLogo;

inline const QString kAlreadyRunning = QStringLiteral("Kivoオートフィルはすでに起動しています。");
inline const QString kPathTooLong =
    QStringLiteral("パスが長すぎます、Kivoオートフィルをもう少し浅いディレクトリに置いて下さい。");
inline const QString kInfoLogOpenError = QStringLiteral("InfoLogファイルオープンエラー");

/// Where the program starts from and whom it asks for notices.
struct StartUpSettings {
    /// The notices server's address; empty when the program has no notices server.
    QUrl noticesServer;
    /// The program folder, ending with "/": InfoLog.txt lives here when the user may write here.
    QString programFolder;
    /// The user's data folder, ending with "/": InfoLog.txt lives here otherwise.
    QString dataFolder;
    /// Where the running copy of the program holds its lock file: the first of these in which a
    /// lock can be made, in a folder the user owns with mode 0700 (made when missing). None: no
    /// single-instance check.
    QStringList lockPaths;
    FetchLimits fetch;
};

/// The notices server's address on `host`: "http://HOST/kivoautofill/"; empty for no host.
QUrl noticesAddress(const QString& host);

/// The single-instance lock file in the user's runtime folder, else in a folder of its own in the
/// user's cache folder, else in one named for the user in the temporary folder.
QStringList defaultLockPaths();

/// The start-up of the program, from the single-instance check to the first display of the main
/// window, and the splash and notices windows it opens. It lives as long as the program runs.
class StartUp : public QObject {
    Q_OBJECT

public:
    StartUp(window::FrmMain& window, StartUpSettings settings, QObject* parent = nullptr);
    ~StartUp() override;

    /// Runs the whole start-up. False when the program ends at once: another copy is running, the
    /// program folder path is too long, or the window was closed meanwhile.
    bool run();

    /// The notices window while it exists (it stays after it is closed, hidden).
    FrmInfo* notices() const { return m_info.get(); }
    FrmLogo* splash() const { return m_splash.get(); }
    /// The notice on show and the log it was compared with.
    const NoticeRecord& record() const { return m_record; }

private:
    bool acquireLock();
    /// Lets the windows handle their pending events; false once the main window is closing.
    bool yield();
    bool endQuietly();
    void noticesStep(const Text& serverText);
    void closeOtherWindows();

    window::FrmMain& m_window;
    StartUpSettings m_settings;
    std::unique_ptr<QLockFile> m_lock;
    NoticesFetch m_fetch;
    NoticeRecord m_record;
    std::unique_ptr<FrmLogo> m_splash;
    std::unique_ptr<FrmInfo> m_info;
};

}  // namespace kivo::app
