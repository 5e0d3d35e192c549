#include "app/start_up.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTabWidget>

#include "app/frm_logo.h"
#include "app/info_log.h"
#include "app/notices.h"
#include "app/placement.h"
#include "app/program_folder.h"
#include "window/frm_main.h"
#include "window/qtext.h"

namespace kivo::app {

QUrl noticesAddress(const QString& host) {
    const QString trimmed = host.trimmed();
    if (trimmed.isEmpty()) return {};
    const QUrl url(QStringLiteral("http://") + trimmed + QStringLiteral("/kivoautofill/"), QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

QStringList defaultLockPaths() {
    QStringList paths;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) paths.append(runtime + QStringLiteral("/kivoautofill.lock"));
    // The cache and the temporary folder are open to others: the lock gets a folder of its own.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty()) paths.append(cache + QStringLiteral("/kivoautofill/kivoautofill.lock"));
    paths.append(QDir::tempPath() + QStringLiteral("/kivoautofill-%1/kivoautofill.lock").arg(getuid()));
    return paths;
}

namespace {

// A lock in a folder another user may write to, or owns, is one that user can make (and so keep
// the program from starting) or remove (and so hide a running copy): only a folder of this user's
// alone, made when missing, holds the lock. A symbolic link is no such folder.
bool isPrivateFolder(const QString& folder) {
    QDir().mkpath(QFileInfo(folder).absolutePath());
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat s {};
    if (::lstat(path.constData(), &s) != 0) return false;
    return S_ISDIR(s.st_mode) && s.st_uid == ::geteuid() && (s.st_mode & 07777) == 0700;
}

}  // namespace

StartUp::StartUp(window::FrmMain& window, StartUpSettings settings, QObject* parent)
    : QObject(parent), m_window(window), m_settings(std::move(settings)), m_fetch(m_settings.fetch) {
    connect(&window, &window::FrmMain::closingConfirmed, this, &StartUp::closeOtherWindows);
}

StartUp::~StartUp() = default;

bool StartUp::run() {
    window::WindowState& state = m_window.state();
    // Placed before anything is shown: message boxes centre on their hidden parent.
    m_window.placeOnScreen();
    if (!acquireLock()) {
        QApplication::beep();
        state.inform(kAlreadyRunning);
        m_window.closeQuietly();
        return false;
    }

    m_splash = std::make_unique<FrmLogo>();
    m_splash->show();

    if (programFolderTooLong(window::toText(m_settings.programFolder))) {
        // Hidden before the message: a window above all others would cover it.
        m_splash->hide();
        state.inform(kPathTooLong);
        return endQuietly();
    }

    m_splash->setStatus(kStatusAccessing);
    if (!yield()) return endQuietly();
    const Text serverText = m_fetch.fetch(m_settings.noticesServer);
    if (state.closing) return endQuietly();

    m_splash->setStatus(kStatusReceiving);
    if (!yield()) return endQuietly();

    m_splash->setStatus(kStatusSettingUp);
    m_window.fillLists();
    if (state.closing) return endQuietly();

    m_splash->setStatus(kStatusCheckingNotices);
    noticesStep(serverText);
    if (state.closing) return endQuietly();

    m_splash->close();
    if (!m_info || !m_info->isVisible()) m_window.show();
    if (m_window.isVisible()) raiseTopMostThenNormal(m_window);
    if (auto* tabs = m_window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))) tabs->setCurrentIndex(0);
    if (auto* grid = m_window.findChild<QWidget*>(QStringLiteral("MSFlexGrid1"))) grid->hide();
    // What the window had when it last closed, over the defaults and the first tab.
    if (!m_settings.dataFolder.isEmpty())
        m_window.restoreSession(m_settings.dataFolder + QStringLiteral("session"));
    m_window.finishStartUp();
    return true;
}

bool StartUp::acquireLock() {
    if (m_settings.lockPaths.isEmpty()) return true;
    for (const QString& path : m_settings.lockPaths) {
        if (!isPrivateFolder(QFileInfo(path).absolutePath())) continue;
        auto lock = std::make_unique<QLockFile>(path);
        // A lock is stale only when its holder is no longer running: a copy that has run for a
        // long time keeps its lock.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            return true;
        }
        // Only a lock held by a running copy refuses the start; a folder where no lock can be
        // made (missing, read-only, not this user's alone) passes the check on to the next one.
        if (lock->error() == QLockFile::LockFailedError) return false;
    }
    // The program must not refuse to start for want of a folder, but a second copy goes unseen.
    qWarning().noquote() << "kivoautofill: no single-instance lock could be made in"
                         << m_settings.lockPaths.join(QStringLiteral(", "))
                         << "(each needs a folder of your own with mode 0700)"
                         << "- a second copy of the program will not be noticed";
    return true;
}

bool StartUp::yield() {
    QCoreApplication::processEvents();
    return !m_window.state().closing;
}

bool StartUp::endQuietly() {
    closeOtherWindows();
    m_window.closeQuietly();
    return false;
}

void StartUp::closeOtherWindows() {
    m_fetch.cancel();
    if (m_splash) m_splash->close();
    if (m_info) m_info->close();
}

void StartUp::noticesStep(const Text& serverText) {
    std::optional<Text> notice = noticesText(serverText);
    if (!notice) return;
    m_record.logPath = infoLogPath(infoLogFolder(m_settings.programFolder, m_settings.dataFolder));
    m_record.notice = std::move(*notice);

    window::WindowState& state = m_window.state();
    if (!yield()) return;
    const InfoLogRead read = readInfoLog(m_record.logPath);
    if (read.failed) {
        m_record.logUnreadable = true;
        m_splash->hide();
        if (m_info) m_info->close();
        state.show(Icon::Exclamation, kInfoLogOpenError);
        state.stop = true;
        if (state.closing) return;
    } else {
        m_record.log = read.log;
        if (read.exists && logHoldsNotice(m_record.log, m_record.notice)) return;
    }

    state.stop = false;
    m_splash->hide();
    m_info = std::make_unique<FrmInfo>(m_window, m_record);
    m_info->show();
    m_window.hide();
}

}  // namespace kivo::app
