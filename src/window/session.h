#pragma once

#include <array>
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
    /// The recipes' own folder and recent list.
    FileHistory recipes;
    /// The file of the upper and of the lower pane.
    PaneFile files[2];
    std::optional<Text> upper;
    std::optional<Text> lower;
    /// The kept files that could not be read whole, where they are now: renamed aside, or where
    /// they were when even that failed.
    QStringList setAside;
};

/// The session kept in a folder that only the user can read: the settings in one file, each
/// pane's text in a file of its own, every file replaced whole or not at all.
class SessionStore {
public:
    explicit SessionStore(QString folder) : m_folder(std::move(folder)) {}

    const QString& folder() const { return m_folder; }
    /// The kept session; the settings are empty on a first start, and a pane's text is missing
    /// when none was kept. A file that cannot be read whole (not a regular file, unreadable, of an
    /// odd size, larger than a pane could show with the memory available) is set aside and named
    /// in Session::setAside; the settings then are the defaults, the text missing.
    Session load();
    /// Sets the kept text of pane 0 (upper) or 1 (lower) aside, when it was read but the pane
    /// could not take it: where the file is now.
    QString setTextAside(int pane);
    /// Keeps the whole session; false when a file could not be written.
    bool save(const Session& session) const;
    /// Keeps the upper text alone, as it is saved between starts.
    bool saveUpper(TextView text) const;
    /// Forgets the settings; the texts stay.
    void forgetSettings() const;

private:
    enum Kept { Settings, Upper, Lower, KeptCount };

    QString path(Kept file) const;
    /// The folder, created if needed, readable by the user only.
    bool prepare() const;
    void loadSettings(Session& session);
    std::optional<Text> loadText(Kept file, Session& session);
    /// Renames `file` aside; where it is now.
    QString setAside(Kept file);
    bool saveSettings(const Session& session) const;
    bool saveText(Kept file, TextView text) const;

    QString m_folder;
    /// The kept files that could not be read nor renamed aside: this store never replaces them.
    std::array<bool, KeptCount> m_held{};
};

}  // namespace kivo::window
