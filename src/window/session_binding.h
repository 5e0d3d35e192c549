#pragma once

#include <future>
#include <memory>
#include <optional>

#include <QObject>
#include <QString>

#include "text/lines.h"

class QMainWindow;
class QTimer;

namespace kivo::window {

class FileCommands;
class RecipePanel;
class MainLayout;
class ParamControls;
class PlainTextBox;
class SessionStore;
struct Session;
struct WindowState;

/// Keeps the window between starts: the texts of both panes, every parameter, the selected
/// operations and tab, the window's size and place, the panes' files and the recent files. The
/// upper text is also kept a few seconds after each change, so that a crash loses little.
class SessionBinding final : public QObject {
    Q_OBJECT

public:
    SessionBinding(QMainWindow* window, MainLayout& layout, const ParamControls& controls,
                   FileCommands& files, RecipePanel& recipes, WindowState& state);
    ~SessionBinding() override;

    /// Gives the window what it had when it last closed, as kept in `folder`, and keeps it there
    /// from now on.
    void restore(const QString& folder);
    /// The window closes: everything is kept, when a folder was given.
    void keepAtClose();
    /// The settings are back at their defaults: the kept ones are forgotten.
    void forgetSettings();

private:
    Session current() const;
    /// Gives the window what `session` kept; a kept text a pane cannot take is set aside and
    /// added to the session's set-aside files.
    void apply(Session& session);
    /// Gives `pane` the kept `text`; false when it cannot take it.
    static bool restoreText(PlainTextBox* pane, std::optional<Text>& text);
    void keepUpperText();
    /// A write of the upper text between starts ended: a failure is said once in the status bar,
    /// until a write succeeds again.
    void upperKept(bool kept);

    QMainWindow* m_window;
    MainLayout& m_layout;
    const ParamControls& m_controls;
    FileCommands& m_files;
    RecipePanel& m_recipes;
    WindowState& m_state;
    /// Where the session is kept; none in tests that do not ask for it.
    std::unique_ptr<SessionStore> m_store;
    QTimer* m_keepUpper = nullptr;
    // The upper text being kept in the background; declared after the store it writes through,
    // so that it is waited for before the store goes.
    std::future<void> m_upperWrite;
    bool m_keepFailureShown = false;
};

}  // namespace kivo::window
