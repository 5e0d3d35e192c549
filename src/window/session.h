#pragma once

#include <optional>

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include "text/lines.h"
#include "window/text_files.h"

namespace kivo::window {

/// What the window had when it closed, and what the next start gives it back.
struct Session {
    int tab = 0;
    /// The objectNames of the ticked operation selectors of every tab.
    QStringList selected;
    /// Every parameter control's text by its objectName.
    QMap<QString, QString> params;
    /// The window's size and place, as QWidget::saveGeometry() gives them.
    QByteArray geometry;
    FileHistory history;
    /// The file of the upper and of the lower pane.
    PaneFile files[2];
    std::optional<Text> upper;
    std::optional<Text> lower;
};

/// The session kept in a folder that only the user can read: the settings in one file, each
/// pane's text in a file of its own, every file replaced whole or not at all.
class SessionStore {
public:
    explicit SessionStore(QString folder) : m_folder(std::move(folder)) {}

    const QString& folder() const { return m_folder; }
    /// The kept session; the settings are empty on a first start, and a pane's text is missing
    /// when none was kept or it cannot be read.
    Session load() const;
    /// Keeps the whole session; false when a file could not be written.
    bool save(const Session& session) const;
    /// Keeps the upper text alone, as it is saved between starts.
    bool saveUpper(TextView text) const;
    /// Forgets the settings; the texts stay.
    void forgetSettings() const;

private:
    QString path(const char* name) const;
    /// The folder, created if needed, readable by the user only.
    bool prepare() const;
    bool saveText(const char* name, TextView text) const;

    QString m_folder;
};

}  // namespace kivo::window
