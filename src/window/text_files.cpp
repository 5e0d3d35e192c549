#include "window/text_files.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>

namespace kivo::window {
std::optional<OpenedText> decodeTextFile(std::string_view bytes, OpenEncoding encoding,
                                         const std::function<void()>& betweenBlocks) {
    static constexpr std::optional<TextEncoding> kNamed[] = {std::nullopt,          TextEncoding::Cp932,
                                                             TextEncoding::Utf8,    TextEncoding::Utf16Le,
                                                             TextEncoding::Utf16Be, TextEncoding::EucJp};
    return kivo::decodeTextFile(bytes, kNamed[static_cast<int>(encoding)], betweenBlocks);
}

QString encodingCaption(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8WithMark:
            return QStringLiteral("UTF-8(BOM付き)");
        case TextEncoding::Utf16Le:
            return QStringLiteral("UTF-16LE(BOM付き)");
        case TextEncoding::Utf16Be:
            return QStringLiteral("UTF-16BE(BOM付き)");
        case TextEncoding::Cp932:
        case TextEncoding::Utf8:
        case TextEncoding::EucJp:
            break;
    }
    return QString::fromUtf8(encodingName(encoding));
}

QString formatCaption(const PaneFile& file) {
    if (!file.format) return QString();
    return encodingCaption(file.format->encoding) + (file.guessed ? QStringLiteral("（推定）") : QString()) +
           QStringLiteral("・") +
           (file.format->lineBreak == LineBreak::Lf ? QStringLiteral("Lf") : QStringLiteral("CrLf"));
}

const std::vector<std::pair<QString, OpenEncoding>>& reopenEncodings() {
    static const std::vector<std::pair<QString, OpenEncoding>> encodings{
        {QStringLiteral("Shift-JIS(&S)"), OpenEncoding::Cp932},
        {QStringLiteral("UTF-8(&U)"), OpenEncoding::Utf8},
        {QStringLiteral("UTF-16LE(&L)"), OpenEncoding::Utf16Le},
        {QStringLiteral("UTF-16BE(&B)"), OpenEncoding::Utf16Be},
        {QStringLiteral("EUC-JP(&E)"), OpenEncoding::EucJp},
    };
    return encodings;
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

void fillRecentMenu(QMenu* menu, const QStringList& paths, const std::function<void(const QString&)>& open) {
    menu->clear();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths[i];
        // Access keys 1 to 9, then 0 for the tenth; an & of the name is shown as it is.
        QAction* item =
            menu->addAction(QStringLiteral("&%1 %2")
                                .arg((i + 1) % 10)
                                .arg(QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))));
        QObject::connect(item, &QAction::triggered, menu, [open, path] { open(path); });
    }
    menu->menuAction()->setEnabled(!paths.isEmpty());
}

}  // namespace kivo::window
