#include "window/kept_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

namespace kivo::window {
namespace {

// One read or write call moves at most this much: Linux moves no more than about 2 GB at once.
constexpr std::size_t kChunk = std::size_t{1} << 30;

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    /// Closes now, so that a failure of the close (a full disk on some file systems) is seen.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool readExactly(int fd, char* out, std::size_t size) {
    for (std::size_t held = 0; held < size;) {
        const ssize_t got = ::read(fd, out + held, std::min(size - held, kChunk));
        if (got < 0 && errno == EINTR) continue;
        // A file that shrank while it was read is not read whole.
        if (got <= 0) return false;
        held += static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, std::min(bytes.size() - done, kChunk));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// A new file beside `target`, made for this write alone; its name goes to `temp`.
int createBeside(const QByteArray& target, mode_t mode, QByteArray& temp) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        temp = target + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Renames `from` to `to` unless `to` exists.
bool renameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot refuse to replace: the name is checked first.
    struct stat existing {};
    if (::lstat(to.constData(), &existing) == 0 || errno != ENOENT) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

}  // namespace

KeptRead readKeptFile(const QString& path, std::uint64_t maxBytes,
                      const std::function<char*(std::size_t)>& buffer) {
    // Without blocking, a FIFO opens at once and is then refused as no regular file.
    Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return errno == ENOENT || errno == ENOTDIR ? KeptRead::Missing : KeptRead::Unreadable;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return KeptRead::Unreadable;
    const auto size = static_cast<std::size_t>(info.st_size);
    try {
        return readExactly(file.get(), buffer(size), size) ? KeptRead::Read : KeptRead::Unreadable;
    } catch (const std::bad_alloc&) {
        return KeptRead::Unreadable;
    }
}

bool writeKeptFile(const QString& path, std::string_view bytes, KeptAccess access) {
    const QByteArray target = QFile::encodeName(path);
    std::optional<mode_t> mode;
    struct stat old {};
    if (access == KeptAccess::OwnerOnly) {
        mode = S_IRUSR | S_IWUSR;
    } else if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    }
    QByteArray temp;
    // A new file of its own gets what the umask allows, as any new file does.
    Descriptor file(createBeside(target, mode.value_or(0666), temp));
    if (file.get() < 0) return false;
    const bool written = (!mode || ::fchmod(file.get(), *mode) == 0) && writeAll(file.get(), bytes) &&
                         ::fdatasync(file.get()) == 0;
    // rename() replaces a link at the name itself, where opening the name would follow it.
    if (file.close() && written && ::rename(temp.constData(), target.constData()) == 0) return true;
    ::unlink(temp.constData());
    return false;
}

QString setKeptFileAside(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QByteArray from = QFile::encodeName(path);
    for (int n = 1; n <= 99; ++n) {
        QString aside = path + QStringLiteral(".unreadable-") + stamp;
        if (n > 1) aside += QLatin1Char('-') + QString::number(n);
        if (renameWithoutReplacing(from, QFile::encodeName(aside))) return aside;
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace kivo::window
