#include "window/preview.h"

#include <sys/resource.h>
#include <unistd.h>

#include <exception>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "ops/dispatch.h"
#include "ops/registry.h"
#include "window/controls.h"
#include "window/main_layout.h"
#include "window/qtext.h"
#include "window/run_controller.h"
#include "window/spoken_names.h"
#include "window/text_box.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

// A tint that tells the preview from a result at a glance, light enough for any text colour.
const QColor kPreviewBase{236, 244, 255};
// A piece of the preview goes into the editor in a few milliseconds even on a busy machine
// (256 K units, the panes' own pieces, took up to 40 ms on a loaded 2-core machine).
constexpr std::size_t kPreviewPieceLength = std::size_t{1} << 15;
// Linux gives each thread a nice value of its own.
constexpr int kWorkerNice = 10;
// While a newer preview waits for the older one to notice its stop flag.
constexpr int kRetryMs = 20;

// What the operation sees of a preview: no events to process (it runs beside the window), no box
// shown, and no question asked: a question ends the run, since the answer is the user's to give
// at Execute.
class PreviewRunContext final : public RunContext {
public:
    explicit PreviewRunContext(const std::atomic<bool>& cancel) : m_cancel(cancel) {}

    bool poll() override { return cancelled(); }
    bool stopFlag() const override { return m_stopped || m_cancel.load(std::memory_order_relaxed); }
    bool closing() const override { return false; }
    void setStopFlag() override { m_stopped = true; }
    bool canShow(TextView result) const override {
        m_outcome.tooLong = result.size() > LivePreview::kMaxResultLength;
        return !m_outcome.tooLong && PlainTextBox::canShow(result);
    }
    bool judgesEmptyUpper() const override { return true; }

    PreviewOutcome take() { return std::move(m_outcome); }

protected:
    void showMessage(Icon, TextView message) override {
        if (m_outcome.message.empty()) m_outcome.message = Text(message);
    }
    Answer askQuestion(TextView question) override {
        m_outcome.question = Text(question);
        m_stopped = true;
        return Answer::Cancel;
    }

private:
    const std::atomic<bool>& m_cancel;
    bool m_stopped = false;
    mutable PreviewOutcome m_outcome;
};

bool editsText(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Undo))
        return true;
    switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            return key->modifiers() == Qt::NoModifier;
        default:
            break;
    }
    const QString typed = key->text();
    return !typed.isEmpty() && typed.front().isPrint() &&
           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

LivePreview::LivePreview(QMainWindow* window, MainLayout& layout, const ParamControls& controls,
                         const RunController& run, WindowState& state)
    : QObject(window),
      m_window(window),
      m_layout(layout),
      m_controls(controls),
      m_run(run),
      m_state(state),
      m_toggle(layout.preview),
      m_pane(new PlainTextBox(layout.lower)),
      m_mark(new QLabel(kPreviewCaption, m_pane)),
      m_pause(new QTimer(this)) {
    // A read-only pane over the lower pane: the lower pane keeps its text, cursor and undo
    // history under it, and the preview leaves no trace there.
    m_pane->setObjectName(QStringLiteral("Text2Preview"));
    nameControl(m_pane, spoken(QStringLiteral("プレビュー（実行した場合の結果）"),
                               QStringLiteral("Preview of the result")));
    m_pane->setReadOnly(true);
    m_pane->setPieceLength(kPreviewPieceLength);
    m_pane->setAcceptDrops(false);
    m_pane->setFocusPolicy(Qt::ClickFocus);
    m_pane->setLineWrapMode(layout.lower->lineWrapMode());
    QPalette tinted = m_pane->palette();
    tinted.setColor(QPalette::Base, kPreviewBase);
    m_pane->setPalette(tinted);
    m_pane->hide();
    m_mark->setObjectName(QStringLiteral("LabelPreview"));
    m_mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_mark->setStyleSheet(QStringLiteral("QLabel { background: #3070c0; color: white; padding: 1px 6px; }"));
    layout.lower->installEventFilter(this);
    m_pane->installEventFilter(this);

    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_pause, &QTimer::timeout, this, &LivePreview::runWhenIdle);
    connect(m_toggle, &QCheckBox::toggled, this, &LivePreview::setOn);
    attachToChanges();
}

LivePreview::~LivePreview() {
    if (m_cancel) m_cancel->store(true);
    if (m_worker.joinable()) m_worker.join();
}

void LivePreview::attachToChanges() {
    connect(m_layout.upper, &QPlainTextEdit::textChanged, this, &LivePreview::changed);
    connect(m_layout.tabs, &QTabWidget::currentChanged, this, &LivePreview::changed);
    // Every control of the tabs, whatever operation it belongs to: a change of another line's
    // control selects that line's operation, which is a change of what the preview shows.
    for (QWidget* w : m_layout.tabs->findChildren<QWidget*>()) {
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            connect(combo, &QComboBox::currentTextChanged, this, &LivePreview::changed);
        } else if (auto* box = qobject_cast<PlainTextBox*>(w)) {
            connect(box, &QPlainTextEdit::textChanged, this, &LivePreview::changed);
        } else if (auto* picker = qobject_cast<QDateEdit*>(w)) {
            connect(picker, &QDateEdit::dateChanged, this, &LivePreview::changed);
        } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
            connect(line, &QLineEdit::textChanged, this, &LivePreview::changed);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
            connect(button, &QAbstractButton::toggled, this, &LivePreview::changed);
        }
    }
    // What these act on is the lower pane's own text: it shows again first.
    for (QPushButton* command : {m_layout.copyLower, m_layout.resetLower, m_layout.moveUp})
        connect(command, &QPushButton::pressed, this, &LivePreview::dismiss);
    connect(m_layout.fileMenu, &QMenu::aboutToShow, this, &LivePreview::dismiss);
}

void LivePreview::setOn(bool on) {
    if (on) {
        m_pause->start(0);
    } else {
        dismiss();
    }
}

void LivePreview::changed() {
    if (!m_toggle->isChecked()) return;
    // The preview on the screen no longer matches, and the one being made neither.
    ++m_generation;
    if (m_cancel) m_cancel->store(true);
    m_pause->start(kPauseMs);
}

void LivePreview::dismiss() {
    ++m_generation;
    m_pause->stop();
    if (m_cancel) m_cancel->store(true);
    hidePane();
    clearStatus();
}

void LivePreview::hidePane() {
    if (m_pane->isHidden()) return;
    const bool hadFocus = m_pane->hasFocus();
    m_pane->hide();
    if (hadFocus) m_layout.lower->setFocus();
    m_pane->assign(Text());
}

bool LivePreview::workerIdle() {
    if (!m_worker.joinable()) return true;
    if (!m_done->load()) return false;
    m_worker.join();
    return true;
}

void LivePreview::runWhenIdle() {
    if (!m_toggle->isChecked()) return;
    // A run or a file command is under way, or the older preview has not noticed its stop yet.
    if (m_state.closing) return;
    if (m_state.guard || !m_layout.execute->isEnabled() || !workerIdle()) {
        m_pause->start(kRetryMs);
        return;
    }
    try {
        start();
    } catch (const std::exception&) {
        // Out of memory copying the text, or no thread: there is simply no preview.
        hidePane();
        clearStatus();
    }
}

void LivePreview::start() {
    if (m_run.refusesEmptyUpper()) {
        hidePane();
        showStatus(kPreviewRefused.arg(toQString(kUpperTextMissing)));
        return;
    }
    const std::optional<std::uint8_t> code = m_run.selectedOperation();
    if (!code) {
        hidePane();
        showStatus(kPreviewRefused.arg(m_run.noSelectionMessage()));
        return;
    }
    const Text* assigned = m_layout.upper->assignedText();
    const std::size_t length = assigned ? assigned->size() : m_layout.upper->document()->characterCount();
    if (length > kMaxUpperLength) {
        hidePane();
        showStatus(kPreviewUpperTooLarge);
        return;
    }
    const OperationDeclaration& op = operation(*code);
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_done = std::make_shared<std::atomic<bool>>(false);
    const unsigned generation = m_generation;
    m_worker = std::thread([this, &op, generation, upper = assigned ? *assigned : m_layout.upper->text(),
                            options = m_controls.optionsOf(op), cancel = m_cancel, done = m_done] {
        // On a machine with few cores the window's thread comes first: typing is what must not
        // wait, the preview can.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
        PreviewOutcome outcome;
        try {
            PreviewRunContext ctx(*cancel);
            DispatchResult result = dispatch(op, TextView(upper), options, ctx);
            outcome = ctx.take();
            outcome.result = std::move(result.lower);
        } catch (const std::exception&) {
            outcome = {};
        }
        if (!cancel->load())
            QMetaObject::invokeMethod(
                this,
                [this, generation, o = std::move(outcome)]() mutable { finished(generation, std::move(o)); },
                Qt::QueuedConnection);
        done->store(true);
    });
}

void LivePreview::finished(unsigned generation, PreviewOutcome outcome) {
    if (generation != m_generation || !m_toggle->isChecked() || m_state.guard) return;
    if (!outcome.question.empty()) {
        hidePane();
        showStatus(kPreviewWillAsk.arg(toQString(outcome.question)));
        return;
    }
    if (outcome.tooLong) {
        hidePane();
        showStatus(kPreviewResultTooLarge);
        return;
    }
    if (!outcome.result) {
        hidePane();
        showStatus(outcome.message.empty() ? kPreviewNoResult
                                           : kPreviewRefused.arg(toQString(outcome.message)));
        return;
    }
    m_pane->setGeometry(m_layout.lower->rect());
    m_pane->show();
    m_pane->raise();
    m_pane->assign(std::move(*outcome.result));
    // An operation that tells something beside its result (nothing found, a count) says it here.
    showStatus(outcome.message.empty() ? kPreviewShown : kPreviewRefused.arg(toQString(outcome.message)));
}

void LivePreview::showStatus(const QString& text) {
    m_status = text;
    m_window->statusBar()->showMessage(text);
}

void LivePreview::clearStatus() {
    // Only the preview's own words: a message of another part of the window stays.
    if (!m_status.isEmpty() && m_window->statusBar()->currentMessage() == m_status)
        m_window->statusBar()->clearMessage();
    m_status.clear();
}

bool LivePreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_layout.lower && event->type() == QEvent::Resize) {
        m_pane->setGeometry(m_layout.lower->rect());
    } else if (watched == m_pane && event->type() == QEvent::Resize) {
        m_mark->adjustSize();
        m_mark->move(m_pane->width() - m_mark->width() - m_pane->verticalScrollBar()->sizeHint().width() - 4,
                     2);
    } else if (event->type() == QEvent::KeyPress) {
        return forwardEdit(watched, event);
    }
    return false;
}

bool LivePreview::forwardEdit(QObject* watched, QEvent* event) {
    if (m_pane->isHidden() || !editsText(static_cast<QKeyEvent*>(event))) return false;
    // Typing goes to the text the user can then see: the lower pane's own.
    dismiss();
    if (watched == m_pane) {
        m_layout.lower->setFocus();
        const auto* key = static_cast<QKeyEvent*>(event);
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                       static_cast<quint16>(key->count()));
        QCoreApplication::sendEvent(m_layout.lower, &copy);
        return true;
    }
    return false;
}

}  // namespace kivo::window
