#include "cli/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

[[noreturn]] void cannotWrite(const std::string& path) {
    throw IoFailure("cannot write " + path + ": " + std::strerror(errno));
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            throw std::system_error(errno, std::generic_category());
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
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

}  // namespace

FileText readTextFile(const std::string& path, InputEncoding encoding, std::uint64_t maxBytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw InputError("cannot read " + path + ": " + std::strerror(errno));
    const InputBytes input(file, maxBytes);
    const std::string_view bytes = input.view();
    switch (encoding) {
        case InputEncoding::Auto:
            return decodeTextBytes(bytes);
        case InputEncoding::Utf8: {
            const bool marked = bytes.starts_with(kUtf8Mark);
            std::optional<Text> text = utf8::decode(marked ? bytes.substr(kUtf8Mark.size()) : bytes);
            if (!text) throw InputError(path + " is not valid UTF-8");
            return {std::move(*text), marked ? TextEncoding::Utf8WithMark : TextEncoding::Utf8};
        }
        case InputEncoding::Cp932: {
            std::optional<Text> text = cp932::decode(bytes);
            if (!text) throw InputError(path + " is not valid code page 932");
            return {std::move(*text), TextEncoding::Cp932};
        }
    }
    return {};
}

std::string encodeText(TextView text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932:
            return cp932::encode(text);
        case TextEncoding::Utf8WithMark:
            return std::string(kUtf8Mark) + utf8::encode(text);
        case TextEncoding::Utf8:
            break;
    }
    return utf8::encode(text);
}

TextEncoding outputEncodingOf(OutputEncoding asked, TextEncoding input) {
    switch (asked) {
        case OutputEncoding::Utf8:
            return TextEncoding::Utf8;
        case OutputEncoding::Utf8WithMark:
            return TextEncoding::Utf8WithMark;
        case OutputEncoding::Cp932:
            return TextEncoding::Cp932;
        case OutputEncoding::AsInput:
            break;
    }
    return input;
}

void replaceFile(const std::string& path, std::string_view bytes) {
    std::string temporary = folderOf(path) + "/." + nameOf(path) + ".kivo-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) cannotWrite(path);
    try {
        struct stat old {};
        // A new file gets what the umask leaves of rw-rw-rw-, as any program's new file does.
        mode_t mode = 0666;
        if (::stat(path.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode &= ~mask;
        }
        if (::fchmod(fd, mode) != 0) throw std::system_error(errno, std::generic_category());
        writeAll(fd, bytes);
        if (::fsync(fd) != 0) throw std::system_error(errno, std::generic_category());
        if (::close(fd) != 0) {
            ::unlink(temporary.c_str());
            cannotWrite(path);
        }
    } catch (const std::system_error& e) {
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = e.code().value();
        cannotWrite(path);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temporary.c_str());
        errno = reason;
        cannotWrite(path);
    }
}

}  // namespace kivo::cli
