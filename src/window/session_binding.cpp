#include "window/session_binding.h"

#include <chrono>
#include <exception>

#include <QAbstractButton>
#include <QDebug>
#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "window/controls.h"
#include "window/file_commands.h"
#include "window/main_layout.h"
#include "window/qtext.h"
#include "window/recipe_panel.h"
#include "window/session.h"
#include "window/tab_page.h"
#include "window/text_box.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

// The pause after the last change of the upper text before it is kept.
constexpr int kKeepUpperAfterMs = 3000;
const QString kSessionSetAside =
    QStringLiteral("前回終了時の内容を読み込めませんでした。ファイルは次の場所に残してあります。");
const QString kUpperKeepFailed = QStringLiteral("次回の起動のための上部テキストを保存できませんでした。");
constexpr int kStatusMessageMs = 10000;

}  // namespace

SessionBinding::SessionBinding(QMainWindow* window, MainLayout& layout, const ParamControls& controls,
                               FileCommands& files, RecipePanel& recipes, WindowState& state)
    : QObject(window),
      m_window(window),
      m_layout(layout),
      m_controls(controls),
      m_files(files),
      m_recipes(recipes),
      m_state(state) {}

SessionBinding::~SessionBinding() {
    if (m_upperWrite.valid()) m_upperWrite.wait();
}

void SessionBinding::restore(const QString& folder) {
    if (m_upperWrite.valid()) m_upperWrite.wait();
    m_store = std::make_unique<SessionStore>(folder);
    Session session = m_store->load();
    apply(session);
    if (!session.setAside.isEmpty()) {
        QStringList lines{kSessionSetAside};
        for (const QString& path : session.setAside)
            lines.append(QDir::toNativeSeparators(path));
        m_state.show(Icon::Exclamation, lines.join(QLatin1Char('\n')));
    }
    if (!m_keepUpper) {
        m_keepUpper = new QTimer(this);
        m_keepUpper->setSingleShot(true);
        m_keepUpper->setInterval(kKeepUpperAfterMs);
        connect(m_keepUpper, &QTimer::timeout, this, &SessionBinding::keepUpperText);
        connect(m_layout.upper, &QPlainTextEdit::textChanged, m_keepUpper, qOverload<>(&QTimer::start));
    }
}

void SessionBinding::keepAtClose() {
    if (!m_store) return;
    m_keepUpper->stop();
    if (m_upperWrite.valid()) m_upperWrite.wait();
    // The window is gone by now: a failure can only be told where the program was started.
    bool saved = false;
    try {
        saved = m_store->save(current());
    } catch (const std::exception&) {
        // Out of memory copying the texts: what was kept before stays.
    }
    if (!saved)
        qWarning().noquote() << "kivoautofill: the window's texts and settings could not be kept in"
                             << QDir::toNativeSeparators(m_store->folder());
}

void SessionBinding::forgetSettings() {
    if (m_store) m_store->forgetSettings();
}

// Writing a text of tens of megabytes and waiting for the disk takes seconds: the copy is
// written by a thread of its own while the window goes on. One write at a time, so that an older
// text never lands after a newer one; a change made meanwhile is kept after the next pause.
void SessionBinding::keepUpperText() {
    if (m_upperWrite.valid() && m_upperWrite.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        m_keepUpper->start();
        return;
    }
    try {
        m_upperWrite =
            std::async(std::launch::async, [this, store = m_store.get(), text = m_layout.upper->text()] {
                const bool kept = store->saveUpper(text);
                QMetaObject::invokeMethod(
                    this, [this, kept] { upperKept(kept); }, Qt::QueuedConnection);
            });
    } catch (const std::exception&) {
        // Out of memory copying the text, or no thread to write it: the copy kept before stays.
        upperKept(false);
    }
}

void SessionBinding::upperKept(bool kept) {
    if (kept) {
        if (m_keepFailureShown) m_window->statusBar()->clearMessage();
    } else if (!m_keepFailureShown) {
        m_window->statusBar()->showMessage(kUpperKeepFailed, kStatusMessageMs);
    }
    m_keepFailureShown = !kept;
}

Session SessionBinding::current() const {
    Session session;
    session.tab = m_layout.tabs->currentIndex();
    for (const TabPage* page : m_layout.pages) {
        for (const QAbstractButton* op : page->operations())
            if (op->isChecked()) session.selected.append(op->objectName());
    }
    const ControlTexts params = m_controls.read();
    for (const auto& [name, value] : params.all())
        if (m_controls.control(name)) session.params.insert(QString::fromStdString(name), toQString(value));
    session.geometry = m_window->saveGeometry();
    session.history = m_files.history();
    session.recipes = m_recipes.history();
    session.files[0] = m_files.file(0);
    session.files[1] = m_files.file(1);
    session.upper = m_layout.upper->text();
    session.lower = m_layout.lower->text();
    return session;
}

void SessionBinding::apply(Session& session) {
    // Program assignments: no input rule fires and no message shows.
    GuardHold hold(m_state);
    for (auto it = session.params.cbegin(); it != session.params.cend(); ++it)
        if (m_controls.control(it.key().toStdString()))
            m_controls.assign(it.key().toStdString(), toText(it.value()));
    for (TabPage* page : m_layout.pages) {
        for (QAbstractButton* op : page->operations())
            if (session.selected.contains(op->objectName())) op->setChecked(true);
    }
    if (session.tab >= 0 && session.tab < m_layout.tabs->count()) m_layout.tabs->setCurrentIndex(session.tab);
    if (!session.geometry.isEmpty()) m_window->restoreGeometry(session.geometry);
    m_files.restore(session.history, session.files[0], session.files[1]);
    m_recipes.restoreHistory(session.recipes);
    // Set aside rather than left in place: a close would write the empty pane over it.
    if (!restoreText(m_layout.upper, session.upper)) session.setAside.append(m_store->setTextAside(0));
    if (!restoreText(m_layout.lower, session.lower)) session.setAside.append(m_store->setTextAside(1));
}

bool SessionBinding::restoreText(PlainTextBox* pane, std::optional<Text>& text) {
    if (!text) return true;
    // Moved, not copied: the text may be as large as memory allows.
    const bool shown = PlainTextBox::canShow(*text) && pane->assignDuringRun(std::move(*text), {});
    text.reset();
    return shown;
}

}  // namespace kivo::window
