#include "cli/files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "text/utf8.h"

namespace kivo::cli {

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw std::system_error(written == 0 ? ENOSPC : errno, std::generic_category());
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

namespace {

[[noreturn]] void cannotWrite(const std::string& path, int reason) {
    throw IoFailure("cannot write " + path + ": " + std::strerror(reason));
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool inProc(const std::string& path) {
    char real[PATH_MAX];
    return ::realpath(folderOf(path).c_str(), real) && std::string_view(real).starts_with("/proc/");
}

// Where a path's links lead: the last path that is no link (it may not exist), and whether the
// way passes through /proc, as /dev/stdin and /dev/fd/N do: such a path names a descriptor.
struct Resolved {
    std::string path;
    bool throughDescriptor = false;
};
Resolved resolveLinks(std::string path) {
    Resolved resolved;
    for (int hops = 0; hops < 40; ++hops) {
        if (inProc(path)) resolved.throughDescriptor = true;
        struct stat s {};
        if (::lstat(path.c_str(), &s) != 0 || !S_ISLNK(s.st_mode)) break;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) break;
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : folderOf(path) + "/" + target;
    }
    resolved.path = path;
    return resolved;
}

// The temporary file's name beside `path`: ".NAME.kivo-XXXXXX", the name shortened to keep within
// the file system's limit on names.
std::string temporaryNameFor(const std::string& path) {
    const std::string folder = folderOf(path);
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    constexpr std::string_view kSuffix = ".kivo-XXXXXX";
    const std::size_t room = static_cast<std::size_t>(limit > 0 ? limit : NAME_MAX) - 1 - kSuffix.size();
    return folder + "/." + nameOf(path).substr(0, room) + std::string(kSuffix);
}

// The new file gets the old one's owner and group where the user may give them (root may), and
// says so where it could not.
WriteNote keepOwner(int fd, const struct stat& old, const std::string& path) {
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) return std::nullopt;
    const bool groupKept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0 || ::getegid() == old.st_gid;
    if (::geteuid() != old.st_uid)
        return path + " now belongs to you: its owner (user " + std::to_string(old.st_uid) +
               ") could not be kept";
    if (!groupKept)
        return path + " now has your group: its group (" + std::to_string(old.st_gid) + ") could not be kept";
    return std::nullopt;
}

void writeInto(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) cannotWrite(path, errno);
    try {
        writeAll(fd, bytes);
    } catch (const std::system_error& e) {
        ::close(fd);
        cannotWrite(path, e.code().value());
    }
    if (::close(fd) != 0 && errno != EINTR) cannotWrite(path, errno);
}

template <typename String>
void changeLineBreaksIn(String& text, typename String::value_type lineBreak) {
    using Char = typename String::value_type;
    std::size_t to = text.find(Char('\r'));
    if (to == String::npos) return;
    std::size_t from = to;
    while (from < text.size()) {
        std::size_t cr = text.find(Char('\r'), from);
        if (cr == String::npos) cr = text.size();
        std::memmove(text.data() + to, text.data() + from, (cr - from) * sizeof(Char));
        to += cr - from;
        from = cr;
        if (cr == text.size()) break;
        const bool crLf = cr + 1 < text.size() && text[cr + 1] == Char('\n');
        text[to++] = crLf ? lineBreak : Char('\r');
        from = cr + (crLf ? 2 : 1);
    }
    text.resize(to);
}

}  // namespace

std::optional<std::string> inputFileFault(const std::string& path, bool inPlace) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return "no such file: " + path;
        return "cannot read " + path + ": " + std::strerror(errno);
    }
    if (S_ISDIR(s.st_mode)) return path + " is a directory";
    if (!inPlace) return std::nullopt;
    if (resolveLinks(path).throughDescriptor) return path + " is a descriptor, not a file it could replace";
    if (!S_ISREG(s.st_mode)) return path + " is not a regular file: --in-place replaces only files";
    return std::nullopt;
}

FileText decodeInputBytes(std::string_view bytes, const EncodingChoice& encoding, const std::string& what,
                          std::string& note) {
    if (!encoding) {
        std::optional<DecodedText> decoded = decodeTextBytes(bytes, AsciiAs::Utf8);
        if (!decoded) throw InputError(what + " " + textFileFault(bytes));
        return std::move(*decoded);
    }
    std::optional<DecodedText> decoded = decodeTextBytesAs(bytes, *encoding);
    if (!decoded) throw InputError(what + " is not valid " + encodingName(*encoding));
    if (*encoding == TextEncoding::Cp932)
        if (const std::optional<std::string> change = cp932ChangeOnWriting(bytes))
            note = what + ": " + *change + ", as is every character with two forms";
    return std::move(*decoded);
}

FileText readTextFile(const std::string& path, const EncodingChoice& encoding, std::uint64_t maxBytes,
                      std::string& note) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw InputError("cannot read " + path + ": " + std::strerror(errno));
    const InputBytes input(file, maxBytes, path);
    return decodeInputBytes(input.view(), encoding, path, note);
}

void refuseGuessedRewrite(bool guessed, TextEncoding encoding, const Settings& s, const std::string& file) {
    if (!guessed || s.encoding || !(s.inPlace || s.outputDir)) return;
    throw InputError(file + ": its encoding is unclear: it reads as " + encodingName(encoding) +
                     " and as another encoding alike; name it with --encoding (the file is left as it is)");
}

OutputForm outputFormOf(const Settings& settings, TextEncoding input, LineBreakStyle inputBreaks) {
    OutputForm form{settings.outputEncoding.value_or(input), u"\r\n", settings.questionMarks};
    const bool keep = settings.lineBreaks == LineBreaks::Keep;
    if (settings.lineBreaks == LineBreaks::Lf || (keep && inputBreaks == LineBreakStyle::Lf))
        form.lineBreak = u"\n";
    if (keep && inputBreaks == LineBreakStyle::Cr) form.lineBreak = u"\r";
    return form;
}

UnmappableCharacter::UnmappableCharacter(TextView text, std::size_t index, TextEncoding encoding,
                                         std::size_t linesBefore)
    : IoFailure("the result holds a character that " + std::string(encodingName(encoding)) +
                " cannot hold, " + utf8::encode(characterPlace(text, index, linesBefore)) +
                "; nothing was written (--unmappable=question-mark writes \"?\" for it)") {}

void changeLineBreaks(Text& text, std::u16string_view lineBreak) {
    if (lineBreak.size() == 1) changeLineBreaksIn(text, lineBreak[0]);
}

void changeLineBreaks(std::string& utf8, std::u16string_view lineBreak) {
    if (lineBreak == u"\n")
        crLfToLfIn(utf8);
    else if (lineBreak.size() == 1)
        changeLineBreaksIn(utf8, static_cast<char>(lineBreak[0]));
}

std::string resultBytes(Text result, const OutputForm& form) {
    changeLineBreaks(result, form.lineBreak);
    if (!form.questionMarks)
        if (const std::optional<std::size_t> at = unmappableIndex(result, form.encoding))
            throw UnmappableCharacter(result, *at, form.encoding);
    return encodeTextBytes(result, form.encoding);
}

ReplacingFile::ReplacingFile(const std::string& path, std::string shown)
    : m_path(path), m_shown(std::move(shown)), m_temporary(temporaryNameFor(path)) {
    m_fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
    if (m_fd < 0) cannotWrite(m_shown, errno);
    try {
        struct stat old {};
        // A new file gets what the umask leaves of rw-rw-rw-, as any program's new file does.
        mode_t mode = 0666;
        if (::stat(path.c_str(), &old) == 0) {
            m_note = keepOwner(m_fd, old, m_shown);
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode &= ~mask;
        }
        // After the owner: a change of owner clears the set-user-ID bits.
        if (::fchmod(m_fd, mode) != 0) throw std::system_error(errno, std::generic_category());
    } catch (const std::system_error& e) {
        abandon();
        cannotWrite(m_shown, e.code().value());
    }
}

ReplacingFile::~ReplacingFile() {
    if (m_fd >= 0) abandon();
}

void ReplacingFile::abandon() {
    ::close(std::exchange(m_fd, -1));
    ::unlink(m_temporary.c_str());
}

void ReplacingFile::write(std::string_view bytes) {
    try {
        writeAll(m_fd, bytes);
    } catch (const std::system_error& e) {
        abandon();
        cannotWrite(m_shown, e.code().value());
    }
}

WriteNote ReplacingFile::commit() {
    if (::fsync(m_fd) != 0) {
        const int reason = errno;
        abandon();
        cannotWrite(m_shown, reason);
    }
    if (::close(std::exchange(m_fd, -1)) != 0 || ::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        const int reason = errno;
        ::unlink(m_temporary.c_str());
        cannotWrite(m_shown, reason);
    }
    return m_note;
}

WriteNote writeFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolveLinks(path).path;
    struct stat s {};
    if (::stat(target.c_str(), &s) == 0 && !S_ISREG(s.st_mode)) {
        writeInto(target, bytes);
        return std::nullopt;
    }
    ReplacingFile file(target, path);
    file.write(bytes);
    return file.commit();
}

std::optional<std::string> replacedPath(const std::string& path) {
    const std::string target = resolveLinks(path).path;
    struct stat s {};
    if (::stat(target.c_str(), &s) == 0 && !S_ISREG(s.st_mode)) return std::nullopt;
    return target;
}

}  // namespace kivo::cli
