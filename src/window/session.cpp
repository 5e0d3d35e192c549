#include "window/session.h"

#include <cstring>

#include <QDir>
#include <QFile>
#include <QSettings>

namespace kivo::window {
namespace {

constexpr const char* kSettingsFile = "window.ini";
// The texts as their UTF-16 code units, so that every text comes back exactly, lone surrogates
// and all.
constexpr const char* kUpperFile = "upper.utf16";
constexpr const char* kLowerFile = "lower.utf16";
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

std::optional<Text> readText(const QString& path) {
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes || bytes->size() % 2 != 0) return std::nullopt;
    Text text(bytes->size() / 2, u'\0');
    std::memcpy(text.data(), bytes->data(), bytes->size());
    return text;
}

void writePaneFile(QSettings& settings, const QString& group, const PaneFile& file) {
    settings.beginGroup(group);
    settings.setValue("path", file.path);
    if (file.format) {
        settings.setValue("encoding", static_cast<int>(file.format->encoding));
        settings.setValue("lineBreak", static_cast<int>(file.format->lineBreak));
    }
    settings.endGroup();
}

PaneFile readPaneFile(QSettings& settings, const QString& group) {
    settings.beginGroup(group);
    PaneFile file{settings.value("path").toString(), std::nullopt};
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

QString SessionStore::path(const char* name) const {
    return QDir(m_folder).filePath(QLatin1String(name));
}

bool SessionStore::prepare() const {
    if (!QDir().mkpath(m_folder)) return false;
    return QFile::setPermissions(m_folder, kOwnerOnly | QFileDevice::ExeOwner);
}

Session SessionStore::load() const {
    Session session;
    QSettings settings(path(kSettingsFile), QSettings::IniFormat);
    session.tab = settings.value("tab", 0).toInt();
    session.selected = settings.value("selected").toStringList();
    session.geometry = settings.value("geometry").toByteArray();
    settings.beginGroup("params");
    for (const QString& name : settings.childKeys())
        session.params.insert(name, settings.value(name).toString());
    settings.endGroup();
    session.history.folder = settings.value("files/folder").toString();
    session.history.recent = settings.value("files/recent").toStringList().mid(0, FileHistory::kMaxRecent);
    session.files[0] = readPaneFile(settings, "upper");
    session.files[1] = readPaneFile(settings, "lower");
    session.upper = readText(path(kUpperFile));
    session.lower = readText(path(kLowerFile));
    return session;
}

bool SessionStore::save(const Session& session) const {
    if (!prepare()) return false;
    {
        QSettings settings(path(kSettingsFile), QSettings::IniFormat);
        settings.clear();
        settings.setValue("tab", session.tab);
        settings.setValue("selected", session.selected);
        settings.setValue("geometry", session.geometry);
        settings.beginGroup("params");
        for (auto it = session.params.cbegin(); it != session.params.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.endGroup();
        settings.setValue("files/folder", session.history.folder);
        settings.setValue("files/recent", session.history.recent);
        writePaneFile(settings, "upper", session.files[0]);
        writePaneFile(settings, "lower", session.files[1]);
        settings.sync();
        if (settings.status() != QSettings::NoError) return false;
    }
    QFile::setPermissions(path(kSettingsFile), kOwnerOnly);
    const bool upper = !session.upper || saveText(kUpperFile, *session.upper);
    const bool lower = !session.lower || saveText(kLowerFile, *session.lower);
    return upper && lower;
}

bool SessionStore::saveUpper(TextView text) const {
    return prepare() && saveText(kUpperFile, text);
}

bool SessionStore::saveText(const char* name, TextView text) const {
    const QString file = path(name);
    const bool written = writeFileBytes(
        file, std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)));
    return written && QFile::setPermissions(file, kOwnerOnly);
}

void SessionStore::forgetSettings() const {
    QFile::remove(path(kSettingsFile));
}

}  // namespace kivo::window
