#include "window/text_files.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo::window {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

OpenedText decodeTextFile(std::string_view bytes, OpenEncoding encoding,
                          const std::function<void()>& betweenBlocks) {
    DecodedText decoded = encoding == OpenEncoding::Auto    ? decodeTextBytes(bytes, betweenBlocks)
                          : encoding == OpenEncoding::Cp932 ? decodeTextBytesAs(bytes, TextEncoding::Cp932)
                                                            : decodeTextBytesAs(bytes, TextEncoding::Utf8);
    const LineBreak lineBreak = lineBreakOf(decoded.text);
    return {std::move(decoded.text), {decoded.encoding, lineBreak}};
}

LineBreak lineBreakOf(TextView text) {
    std::size_t crLf = 0;
    std::size_t lf = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') continue;
        ++(i > 0 && text[i - 1] == u'\r' ? crLf : lf);
    }
    return lf > crLf ? LineBreak::Lf : LineBreak::CrLf;
}

bool fitsCodePage932(TextView text) {
    // encode() writes "?" for a character without a form, and byteLength() says how many bytes
    // each character took, so the two can be walked side by side.
    const std::string bytes = cp932::encode(text);
    std::size_t b = 0;
    for (const char16_t c : text) {
        const int length = cp932::byteLength(c);
        if (length == 1 && bytes[b] == '?' && c != u'?') return false;
        b += static_cast<std::size_t>(length);
    }
    return true;
}

std::string encodeTextFile(TextView text, const FileFormat& format) {
    const TextView lineBreak = format.lineBreak == LineBreak::Lf ? TextView(u"\n") : TextView(u"\r\n");
    Text written;
    written.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        if (text[i] == u'\n') {
            written.append(lineBreak);
        } else {
            written.push_back(text[i]);
        }
    }
    if (!text.ends_with(u'\n') && !text.ends_with(u'\r')) written.append(lineBreak);
    switch (format.encoding) {
        case TextEncoding::Cp932:
            return cp932::encode(written);
        case TextEncoding::Utf8:
            return utf8::encode(written);
        case TextEncoding::Utf8WithMark:
            return std::string(kUtf8Bom) + utf8::encode(written);
    }
    return {};
}

void FileHistory::used(const QString& path) {
    const QFileInfo info(path);
    folder = info.absolutePath();
    const QString file = info.absoluteFilePath();
    recent.removeAll(file);
    recent.prepend(file);
    while (recent.size() > kMaxRecent)
        recent.removeLast();
}

std::optional<std::string> readFileBytes(const QString& path, const std::function<void()>& betweenBlocks) {
    // Only a regular file has a whole to read: a FIFO without a writer would block the window for
    // good, and a device such as /dev/zero never ends.
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    constexpr qint64 kBlock = qint64{8} << 20;
    std::string bytes(static_cast<std::size_t>(file.size()), '\0');
    std::size_t held = 0;
    for (qint64 got = 0; held < bytes.size(); held += static_cast<std::size_t>(got)) {
        if (held > 0 && betweenBlocks) betweenBlocks();
        got = file.read(bytes.data() + held,
                        std::min<qint64>(kBlock, static_cast<qint64>(bytes.size() - held)));
        if (got < 0) return std::nullopt;
        if (got == 0) break;  // the file shrank while it was read
    }
    bytes.resize(held);
    // A file that grew while it was read: the rest, at once.
    const QByteArray rest = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    bytes.append(rest.constData(), static_cast<std::size_t>(rest.size()));
    return bytes;
}

bool writeFileBytes(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace kivo::window
