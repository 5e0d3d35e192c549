// The main window as every window test meets it, and the test doubles it runs with.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "window/app_style.h"
#include "window/file_dialog.h"
#include "window/frm_main.h"
#include "window/message_box.h"
#include "window/pane_clipboard.h"
#include "window/qtext.h"
#include "window/text_box.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QTabWidget;

Q_DECLARE_METATYPE(kivo::Answer)

namespace kivo::window {

/// Measures the longest stretch during which the window processed no events: a 5 ms timer
/// notes the gaps between its firings.
class EventGapMeter {
public:
    EventGapMeter() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }
    /// The stretch since the last firing counts too: it is the one a blocking call just made.
    qint64 longestMs() const { return std::max(m_longest, m_clock.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

/// Answers each dialog with the next scripted name (none left: Cancel) and, when one is scripted,
/// the next encoding or format (none left: the one proposed); counts the dialogs and notes what
/// the last one started with.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::deque<QString> names;
    std::deque<OpenEncoding> encodings;
    std::deque<FileFormat> formats;
    int opened = 0;
    int saved = 0;
    QString lastFolder;
    FileFormat lastProposal;
    /// Runs while a dialog is "open".
    std::function<void()> during;

    OpenChoice chooseFileToOpen(const QString& folder) override;
    SaveChoice chooseFileToSave(const QString& folder, const FileFormat& proposed) override;

private:
    QString next();
};

/// The system clipboard, able to refuse text, to look empty, or to serve its text only so many
/// times (`serves`, -1 for ever) and look empty after.
class TestClipboard final : public Clipboard {
public:
    bool refuses = false;
    bool looksEmpty = false;
    mutable int serves = -1;
    QString text() const override {
        if (looksEmpty || serves == 0) return QString();
        if (serves > 0) --serves;
        return m_system.text();
    }
    bool setText(const QString& text) override { return !refuses && m_system.setText(text); }

private:
    QtClipboard m_system;
};

/// A window test: each test meets a loaded, shown and active main window with scripted message
/// boxes, file dialogs and clipboard, on `startTab`, and finds its controls by objectName.
class WindowFixture : public QObject {
    Q_OBJECT

protected:
    explicit WindowFixture(int startTab = 0) : m_startTab(startTab) {}

    /// Tests whose key is the same and not empty share one window: building one takes about a
    /// second. A shared window is dropped after a failure.
    virtual QString windowKey(const QByteArray& function) const {
        Q_UNUSED(function);
        return {};
    }
    /// Runs last in each test's set-up; `reused`: the window is one the test shares with the
    /// tests before it.
    virtual void startTest(bool reused) { Q_UNUSED(reused); }

    template <typename T = QWidget>
    T* get(const QString& name) const {
        T* w = m_window->findChild<T*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    PlainTextBox* pane(const QString& name) const;
    QComboBox* combo(const QString& name) const;
    QCheckBox* check(const QString& name) const;
    QRadioButton* option(const QString& name) const;
    QTabWidget* tabs() const;
    /// The window's run-control flags, which only its own handlers change; tests set them to
    /// reach states that otherwise need a run in progress.
    WindowState& state() const { return m_window->state(); }

    /// A parameter control's text as a run reads it.
    QString textOf(const QString& name) const;
    /// Changes a control as the user does, typing or pasting its whole text: its rule runs.
    void setByUser(const QString& name, const QString& text);
    /// A change as the program makes it, outside the guard: the control's rule fires.
    void assign(const QString& name, const QString& text);
    /// Records, in order, the controls of `names` whose text changes until `scope` goes, each
    /// marked " unguarded" when the change came without the re-entrancy guard.
    void recordChanges(const QStringList& names, QObject* scope, QStringList& changed) const;
    void click(const QString& button) const;
    /// Execute, clicked with the mouse.
    void execute() const;
    void showTab(int tab) const;
    /// Shows the tab that holds the control named `name`, and returns the control.
    QWidget* showTabOf(const QString& name) const;
    /// Gives `w` the focus as Tab does and waits until it has it.
    void focus(QWidget* w) const;
    /// A file in the test's own folder.
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    ScriptedFileDialogs m_dialogs;
    TestClipboard m_clipboard;
    std::unique_ptr<FrmMain> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init();
    void cleanup();
    void cleanupTestCase();

private:
    void dropWindow();

    int m_startTab;
    QString m_key;
};

}  // namespace kivo::window

/// The main function of a window test: the application set up as the program sets it up.
#define KIVO_WINDOW_TEST_MAIN(TestClass)        \
    int main(int argc, char** argv) {           \
        QApplication app(argc, argv);           \
        kivo::window::setUpApplication(app);    \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
