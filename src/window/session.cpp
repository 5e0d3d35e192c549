#include "window/session.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

#include "window/kept_files.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// The texts as their UTF-16 code units, so that every text comes back exactly, lone surrogates
// and all.
constexpr const char* kFileNames[] = {"window.ini", "upper.utf16", "lower.utf16"};
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
// The settings hold a few hundred values of at most 65,535 characters, six bytes each at most.
constexpr qint64 kMaxSettingsBytes = qint64{64} << 20;

// Whether QSettings may read the settings file: it reads through links and would wait for good
// on a FIFO, and takes any size whole.
KeptRead settingsFileState(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return KeptRead::Missing;
    if (!info.isFile() || info.size() > kMaxSettingsBytes) return KeptRead::Unreadable;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? KeptRead::Read : KeptRead::Unreadable;
}

void writePaneFile(QSettings& settings, const QString& group, const PaneFile& file) {
    settings.beginGroup(group);
    settings.setValue("path", file.path);
    settings.setValue("lossy", file.lossy);
    if (file.format) {
        settings.setValue("encoding", static_cast<int>(file.format->encoding));
        settings.setValue("lineBreak", static_cast<int>(file.format->lineBreak));
    }
    settings.endGroup();
}

PaneFile readPaneFile(QSettings& settings, const QString& group) {
    settings.beginGroup(group);
    PaneFile file{settings.value("path").toString(), std::nullopt};
    file.lossy = settings.value("lossy", false).toBool();
    const int encoding = settings.value("encoding", -1).toInt();
    const int lineBreak = settings.value("lineBreak", -1).toInt();
    // A value this program never writes leaves the pane without a file format.
    if (encoding >= 0 && encoding <= static_cast<int>(kLastTextEncoding) && lineBreak >= 0 &&
        lineBreak <= static_cast<int>(LineBreak::Lf))
        file.format = FileFormat{static_cast<TextEncoding>(encoding), static_cast<LineBreak>(lineBreak)};
    settings.endGroup();
    return file;
}

}  // namespace

QString SessionStore::path(Kept file) const {
    return QDir(m_folder).filePath(QLatin1String(kFileNames[file]));
}

bool SessionStore::prepare() const {
    if (!QDir().mkpath(m_folder)) return false;
    return QFile::setPermissions(m_folder, kOwnerOnly | QFileDevice::ExeOwner);
}

Session SessionStore::load() {
    Session session;
    loadSettings(session);
    session.upper = loadText(Upper, session);
    session.lower = loadText(Lower, session);
    return session;
}

void SessionStore::loadSettings(Session& session) {
    switch (settingsFileState(path(Settings))) {
        case KeptRead::Missing:
            return;
        case KeptRead::Unreadable:
            session.setAside.append(setAside(Settings));
            return;
        case KeptRead::Read:
            break;
    }
    QSettings settings(path(Settings), QSettings::IniFormat);
    // The file is read at the first value asked for.
    const int tab = settings.value("tab", 0).toInt();
    if (settings.status() != QSettings::NoError) {
        session.setAside.append(setAside(Settings));
        return;
    }
    session.tab = tab;
    session.selected = settings.value("selected").toStringList();
    session.geometry = settings.value("geometry").toByteArray();
    settings.beginGroup("params");
    for (const QString& name : settings.childKeys())
        session.params.insert(name, settings.value(name).toString());
    settings.endGroup();
    session.history.folder = settings.value("files/folder").toString();
    session.history.recent = settings.value("files/recent").toStringList().mid(0, FileHistory::kMaxRecent);
    session.recipes.folder = settings.value("recipes/folder").toString();
    session.recipes.recent = settings.value("recipes/recent").toStringList().mid(0, FileHistory::kMaxRecent);
    session.files[0] = readPaneFile(settings, "upper");
    session.files[1] = readPaneFile(settings, "lower");
}

std::optional<Text> SessionStore::loadText(Kept file, Session& session) {
    // Read straight into the text: a copy would double what a large text takes at start-up.
    Text text;
    std::size_t bytes = 0;
    const KeptRead read =
        readKeptFile(path(file), std::uint64_t{2} * PlainTextBox::longestShowable(), [&](std::size_t size) {
            bytes = size;
            text.resize((size + 1) / 2);
            return reinterpret_cast<char*>(text.data());
        });
    if (read == KeptRead::Missing) return std::nullopt;
    if (read == KeptRead::Read && bytes % 2 == 0) return text;
    text = Text();
    session.setAside.append(setAside(file));
    return std::nullopt;
}

QString SessionStore::setTextAside(int pane) {
    return setAside(pane == 0 ? Upper : Lower);
}

QString SessionStore::setAside(Kept file) {
    const QString original = path(file);
    const QString aside = setKeptFileAside(original);
    if (!aside.isEmpty()) return aside;
    m_held[file] = true;
    return original;
}

bool SessionStore::save(const Session& session) const {
    if (!prepare()) return false;
    const bool settings = saveSettings(session);
    const bool upper = !session.upper || saveText(Upper, *session.upper);
    const bool lower = !session.lower || saveText(Lower, *session.lower);
    return settings && upper && lower;
}

// QSettings writes through a link at its file and leaves a half-written file after a failure: it
// writes a new file of its own here, which then replaces the settings file.
bool SessionStore::saveSettings(const Session& session) const {
    if (m_held[Settings]) return false;
    const QString target = path(Settings);
    QString temp;
    {
        QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
        file.setAutoRemove(false);
        if (!file.open()) return false;
        temp = file.fileName();
    }
    bool written = false;
    {
        QSettings settings(temp, QSettings::IniFormat);
        settings.setValue("tab", session.tab);
        settings.setValue("selected", session.selected);
        settings.setValue("geometry", session.geometry);
        settings.beginGroup("params");
        for (auto it = session.params.cbegin(); it != session.params.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.endGroup();
        settings.setValue("files/folder", session.history.folder);
        settings.setValue("files/recent", session.history.recent);
        settings.setValue("recipes/folder", session.recipes.folder);
        settings.setValue("recipes/recent", session.recipes.recent);
        writePaneFile(settings, "upper", session.files[0]);
        writePaneFile(settings, "lower", session.files[1]);
        settings.sync();
        written = settings.status() == QSettings::NoError;
    }
    if (written && QFile::setPermissions(temp, kOwnerOnly) &&
        std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    QFile::remove(temp);
    return false;
}

bool SessionStore::saveUpper(TextView text) const {
    return prepare() && saveText(Upper, text);
}

bool SessionStore::saveText(Kept file, TextView text) const {
    if (m_held[file]) return false;
    return writeKeptFile(
        path(file),
        std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)),
        KeptAccess::OwnerOnly);
}

void SessionStore::forgetSettings() const {
    if (!m_held[Settings]) QFile::remove(path(Settings));
}

}  // namespace kivo::window
