#include "window/frm_main.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <future>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include "ops/dispatch.h"
#include "ops/registry.h"
#include "window/control_events.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/file_dialog.h"
#include "window/pane_bar.h"
#include "window/pane_clipboard.h"
#include "window/pane_counts.h"
#include "window/pane_menu.h"
#include "window/qtext.h"
#include "window/session.h"
#include "window/tab_tables.h"
#include "window/text_box.h"
#include "window/text_files.h"
#include "window/window_run_context.h"

namespace kivo::window {
namespace {

// The designed client area, in pixels (15 twips each): the window's default size, at which every
// control sits where the fixed layout had it.
constexpr QSize kClientSize{996, 570};
// The tab area keeps its designed width while the panes take what the window adds; a narrower
// window takes its width from the panes first (their bars ask for no more than they need), so
// that the lines of the tabs stay whole.
constexpr int kTabsWidth = 593;
constexpr int kRightMargin = 11;
constexpr int kBottomMargin = 8;
constexpr QSize kPaneButton{65, 25};
// A window manager's title bar and borders, before the window is shown and they are known.
constexpr QMargins kFrameEstimate{4, 30, 4, 4};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QSize size) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFixedSize(size);
    b->setAutoDefault(false);
    return b;
}

PlainTextBox* makePane(QWidget* parent, const char* name) {
    auto* pane = new PlainTextBox(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return pane;
}

// The tab control, asking for its designed width; in a narrower window it gives way and its pages
// scroll.
class TabArea final : public QTabWidget {
public:
    using QTabWidget::QTabWidget;
    QSize sizeHint() const override { return {kTabsWidth, QTabWidget::sizeHint().height()}; }
};

QFont boldFont(QFont font, qreal points) {
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

const QString kOpenFailed = QStringLiteral("ファイルを開けませんでした。");
const QString kUpperSaveEmpty = QStringLiteral("上部テキストに文字、文字列がありません。");
const QString kLowerSaveEmpty = QStringLiteral("下部テキストに文字、文字列がありません。");
const QString kUpperSaveFailed = QStringLiteral("上部テキストファイルを保存できませんでした。");
const QString kLowerSaveFailed = QStringLiteral("下部テキストファイルを保存できませんでした。");
const QString kNotTextFile =
    QStringLiteral("文字コードを判別できないため開けませんでした。文字コードを指定して開いて下さい。");
const QString kReopenCaption = QStringLiteral("文字コードを指定して開き直す(&E)");

QString utf8Question(TextEncoding encoding) {
    return encodingCaption(encoding) +
           QStringLiteral("で保存できない文字が含まれています、UTF-8で保存しますか？");
}

// The pause after the last change of the upper text before it is kept.
constexpr int kKeepUpperAfterMs = 3000;
const QString kSessionSetAside =
    QStringLiteral("前回終了時の内容を読み込めませんでした。ファイルは次の場所に残してあります。");
const QString kUpperKeepFailed = QStringLiteral("次回の起動のための上部テキストを保存できませんでした。");
constexpr int kStatusMessageMs = 10000;

// Where the tab control moves in the focus order once Text40 has had the focus.
constexpr int kTabsFocusPosition = 2;

// Sees every event of `watched` before the widget does; a true result swallows the event.
class EventHook final : public QObject {
public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), m_handler(std::move(handler)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return m_handler(event); }

private:
    std::function<bool(QEvent*)> m_handler;
};

// A focus change that the user made inside the window, not the window losing or regaining the
// focus as a whole or a popup opening.
bool movesInsideWindow(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

FrmMain::FrmMain(MessageBoxes* messages, QWidget* parent) : QMainWindow(parent) {
    if (!messages) {
        m_ownMessages = std::make_unique<QtMessageBoxes>(this);
        messages = m_ownMessages.get();
    }
    m_state.messages = messages;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kWindowCaption);
    buildTopLevel();
    buildMenus();
    resizeToDesignedSize();

    m_controls = std::make_unique<ParamControls>(this);
    for (TabPage* page : m_pages)
        page->setControls(m_controls.get());

    m_ownClipboard = std::make_unique<QtClipboard>();
    m_paneCommands = new PaneCommands(m_state, m_text1, m_text2, this);
    m_paneCommands->setClipboard(m_ownClipboard.get());
    m_paneCommands->attachButtons(m_text1, m_copyUpper, m_resetUpper);
    m_paneCommands->attachButtons(m_text2, m_copyLower, m_resetLower);
    m_paneCommands->attachMoveUp(m_moveUp);
    connect(m_paneCommands, &PaneCommands::movedUp, this, [this] {
        m_files[0].format = m_files[1].format;
        m_files[1] = {};
        updateTitle();
    });
    connect(m_paneCommands, &PaneCommands::emptied, this, [this](const PlainTextBox* pane) {
        m_files[pane == m_text1 ? 0 : 1] = {};
        updateTitle();
    });
    for (PlainTextBox* pane : {m_text1, m_text2})
        connect(pane, &PlainTextBox::fileDropped, this, &FrmMain::openWithoutDialog);
    connect(m_text2, &QPlainTextEdit::textChanged, this, &FrmMain::updateMoveUp);
    m_ownDialogs = std::make_unique<QtFileDialogs>(this);
    m_dialogs = m_ownDialogs.get();
    wireTabCycling();
    refuseAltTyping(this);
    holdRulesWhileComposing(m_tabs, m_state);
}

FrmMain::~FrmMain() {
    // The hooks and the pane commands use members that go before the child widgets do.
    for (const QPointer<QObject>& hook : m_hooks)
        delete hook.data();
    delete m_paneCommands;
}

void FrmMain::resizeToDesignedSize() {
    // The menu bar and the status bar come on top of the designed client area.
    int height = kClientSize.height() + menuBar()->sizeHint().height();
    if (const auto* bar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
        height += bar->sizeHint().height();
    resize(kClientSize.width(), height);
}

void FrmMain::placeOnScreen() {
    resizeToDesignedSize();
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // The window manager's frame is known only once the window is shown: room for a title bar.
    const QRect inner = geometry();
    const QRect shown = frameGeometry();
    const QMargins frame = isVisible()
                               ? QMargins(inner.left() - shown.left(), inner.top() - shown.top(),
                                          shown.right() - inner.right(), shown.bottom() - inner.bottom())
                               : kFrameEstimate;
    const QSize room = available.size().shrunkBy(frame);
    const bool fits = size() == size().boundedTo(room);
    // Restored from maximised, the window stays inside the screen as well.
    resize(size().boundedTo(room));
    QRect outer = QRect(QPoint(), size()).marginsAdded(frame);
    outer.moveCenter(available.center());
    move(outer.topLeft());
    if (!fits) setWindowState(windowState() | Qt::WindowMaximized);
}

void FrmMain::setClipboard(Clipboard* clipboard) {
    m_paneCommands->setClipboard(clipboard);
}

void FrmMain::buildTopLevel() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    m_text1 = makePane(client, "Text1");
    m_text2 = makePane(client, "Text2");
    // Created here, the move comes after the panes in the Tab order, before the other buttons.
    m_moveUp =
        makeButton(client, "Command42", kMoveUpCaption + QStringLiteral("(&U)"), {97, kPaneButton.height()});
    m_moveUp->setEnabled(false);
    m_copyUpper = makeButton(client, "Command27", QStringLiteral("コピー(&A)"), kPaneButton);
    m_resetUpper = makeButton(client, "Command1", QStringLiteral("リセット(&B)"), kPaneButton);
    m_copyLower = makeButton(client, "Command28", QStringLiteral("コピー(&C)"), kPaneButton);
    m_resetLower = makeButton(client, "Command2", QStringLiteral("リセット(&D)"), kPaneButton);
    // The pane buttons are the width of their captions at the window's font; a point smaller
    // keeps "リセット(&B)" inside its button.
    QFont paneButtonFont = font();
    paneButtonFont.setPointSizeF(8);
    for (QPushButton* b : {m_moveUp, m_copyUpper, m_resetUpper, m_copyLower, m_resetLower})
        b->setFont(paneButtonFont);
    m_widen = makeButton(client, "Command25", QStringLiteral(">>"), {41, kPaneButton.height()});
    m_widen->setFont(boldFont(font(), font().pointSizeF()));
    connect(m_widen, &QPushButton::clicked, this, &FrmMain::toggleWideArea);
    m_stop = makeButton(client, "Command6", QStringLiteral("中止(&Y)"), {89, kPaneButton.height()});
    m_stopPalette = m_stop->palette();
    connect(m_stop, &QPushButton::clicked, this, &FrmMain::stop);
    m_execute = makeButton(client, "Command3", QStringLiteral("実行(&Z)"), {113, kPaneButton.height()});
    connect(m_execute, &QPushButton::clicked, this, &FrmMain::execute);

    m_arrow = new QLabel(QStringLiteral("↓↓↓"), client);
    m_arrow->setObjectName(QStringLiteral("Label3"));
    m_arrow->setFont(boldFont(font(), 14.25));
    m_arrow->setAlignment(Qt::AlignCenter);
    // 81 pixels wide where there is room; the bar under the pane narrows it to its words.
    m_arrow->setFixedHeight(kPaneButton.height());
    m_arrow->resize(81, kPaneButton.height());
    m_status = new QLabel(client);
    m_status->setObjectName(QStringLiteral("Label8"));
    m_status->setFont(boldFont(font(), 9));
    m_status->setMinimumWidth(QFontMetrics(m_status->font()).horizontalAdvance(kOpeningCaption));
    m_status->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_tabs = new TabArea(client);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    int tabNumber = 0;
    for (TabTable table :
         {set1Table(), set2Table(), loopTable(), set4Table(), set5Table(), set6Table(), set7Table()}) {
        m_pages.push_back(new TabPage(std::move(table), m_state));
        m_tabs->addTab(m_pages.back(), QStringLiteral("%1(&%1)").arg(++tabNumber));
    }
    shareTabKeys();
    connect(m_tabs, &QTabWidget::currentChanged, this, &FrmMain::shareTabKeys);

    m_upperBar = new PaneBar(client, {m_copyUpper, m_resetUpper}, m_arrow, {m_moveUp});
    m_lowerBar = new PaneBar(client, {m_copyLower, m_resetLower, m_widen});
    auto* runRow = new QHBoxLayout;
    runRow->setContentsMargins(8, 0, 0, 0);
    runRow->setSpacing(0);
    runRow->addWidget(m_status);
    runRow->addWidget(m_stop);
    runRow->addWidget(m_execute);

    m_layout = new QGridLayout(client);
    m_layout->setContentsMargins(0, 0, kRightMargin, kBottomMargin);
    m_layout->setSpacing(0);
    placePanes(1);
    m_layout->addWidget(m_lowerBar, 3, 0);
    m_layout->addWidget(m_tabs, 0, 1, 3, 1);
    m_layout->addLayout(runRow, 3, 1);
    m_layout->setColumnStretch(0, 1);
    m_layout->setRowStretch(0, 1);
    m_layout->setRowStretch(2, 1);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    auto* counts = new QLabel(statusBar());
    counts->setObjectName(QStringLiteral("StatusCounts"));
    statusBar()->addWidget(counts, 1);
    new PaneCounts(m_text1, m_text2, counts);
    m_fileFormat = new QLabel(statusBar());
    m_fileFormat->setObjectName(QStringLiteral("StatusFileFormat"));
    statusBar()->addPermanentWidget(m_fileFormat);

    // Work areas some operations use; never shown.
    m_textCh = new PlainTextBox(client);
    m_textCh->setObjectName(QStringLiteral("TextCh"));
    m_textCh->hide();
    m_grid = new QTableWidget(client);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->hide();
    m_textFocus = new QLineEdit(client);
    m_textFocus->setObjectName(QStringLiteral("TextFocus"));
    m_textFocus->setGeometry(-100, -100, 20, 20);
    // Reached only from an AllReset button, never as a stop of its own.
    m_textFocus->setFocusPolicy(Qt::ClickFocus);
}

void FrmMain::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&T)"));
    m_fileMenu->setObjectName(QStringLiteral("mnuFile"));
    m_fileMenu->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    const std::pair<const char*, QString> items[] = {
        {"mnuOpen", QStringLiteral("開く(&U)")},
        {"mnu1Name", QStringLiteral("上部テキストを名前をつけて保存(&V)")},
        {"mnu2Name", QStringLiteral("下部テキストを名前を付けて保存(&W)")},
    };
    QAction* actions[3];
    int i = 0;
    for (const auto& [name, caption] : items) {
        actions[i] = m_fileMenu->addAction(caption);
        actions[i++]->setObjectName(QLatin1String(name));
    }
    connect(actions[0], &QAction::triggered, this, &FrmMain::openFile);
    connect(actions[1], &QAction::triggered, this, [this] { saveText(1); });
    connect(actions[2], &QAction::triggered, this, [this] { saveText(2); });
    m_reopenMenu = m_fileMenu->addMenu(kReopenCaption);
    m_reopenMenu->setObjectName(QStringLiteral("mnuReopen"));
    for (const auto& [caption, encoding] : reopenEncodings())
        connect(m_reopenMenu->addAction(caption), &QAction::triggered, this,
                [this, encoding = encoding] { reopen(encoding); });
    m_fileMenu->addSeparator();
    m_recentMenu = m_fileMenu->addMenu(kRecentFilesCaption + QStringLiteral("(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
    rebuildRecentMenu();
    m_fileMenu->addSeparator();
    QAction* resetSettings = m_fileMenu->addAction(kResetSettingsCaption + QStringLiteral("(&S)"));
    resetSettings->setObjectName(QStringLiteral("mnuResetSettings"));
    connect(resetSettings, &QAction::triggered, this, &FrmMain::resetSettings);
}

void FrmMain::rebuildRecentMenu() {
    m_recentMenu->clear();
    for (qsizetype i = 0; i < m_history.recent.size(); ++i) {
        const QString& path = m_history.recent[i];
        // Access keys 1 to 9, then 0 for the tenth; an & of the name is shown as it is.
        QAction* item = m_recentMenu->addAction(
            QStringLiteral("&%1 %2")
                .arg((i + 1) % 10)
                .arg(QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))));
        connect(item, &QAction::triggered, this, [this, path] { openWithoutDialog(path); });
    }
    m_recentMenu->menuAction()->setEnabled(!m_history.recent.isEmpty());
}

void FrmMain::fileUsed(const QString& path) {
    m_history.used(path);
    rebuildRecentMenu();
    updateTitle();
}

void FrmMain::updateTitle() {
    const QString& path = m_files[0].path;
    m_fileFormat->setText(formatCaption(m_files[0]));
    m_reopenMenu->menuAction()->setEnabled(!path.isEmpty());
    setWindowTitle(path.isEmpty() ? kWindowCaption
                                  : QFileInfo(path).fileName() + QStringLiteral(" - ") + kWindowCaption);
}

void FrmMain::fillLists() {
    if (m_state.closing) return;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    // Long lists let the window handle its events (the close box above all) while they fill.
    auto pumpEvents = [&] {
        if (sinceEvents.elapsed() >= WindowRunContext::kEventIntervalMs) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !m_state.closing;
    };
    for (const ComboList& list : comboLists()) {
        if (list.name == "Combo54") {
            m_widen->setToolTip(kWidenTip);
            for (const char* name : {"Text11", "Text38", "Text41"})
                m_controls->restoreDefault(name);
        }
        auto* combo = qobject_cast<QComboBox*>(m_controls->control(list.name));
        if (!combo) continue;
        if (list.entries.size() >= 999) {
            for (const Text& entry : list.entries) {
                if (!pumpEvents()) return;
                combo->addItem(toQString(entry));
            }
        } else {
            QStringList entries;
            for (const Text& entry : list.entries)
                entries.append(toQString(entry));
            combo->addItems(entries);
        }
        combo->setEditText(toQString(list.defaultText));
        if (m_state.closing) return;
    }
    // The check boxes that start ticked (the width conversion's classes).
    for (const std::string& name : checkBoxNames())
        if (checkBoxDefault(name) == u"1") m_controls->restoreDefault(name);
    selectFirstOperations();
}

void FrmMain::selectFirstOperations() {
    for (TabPage* page : m_pages) {
        for (QAbstractButton* op : page->operations())
            op->setChecked(op == page->operations().front());
    }
}

void FrmMain::restoreSession(const QString& folder) {
    if (m_upperWrite.valid()) m_upperWrite.wait();
    m_session = std::make_unique<SessionStore>(folder);
    Session session = m_session->load();
    applySession(session);
    if (!session.setAside.isEmpty()) {
        QStringList lines{kSessionSetAside};
        for (const QString& path : session.setAside)
            lines.append(QDir::toNativeSeparators(path));
        m_state.show(Icon::Exclamation, lines.join(QLatin1Char('\n')));
    }
    m_keepUpper = new QTimer(this);
    m_keepUpper->setSingleShot(true);
    m_keepUpper->setInterval(kKeepUpperAfterMs);
    connect(m_keepUpper, &QTimer::timeout, this, &FrmMain::keepUpperText);
    connect(m_text1, &QPlainTextEdit::textChanged, m_keepUpper, qOverload<>(&QTimer::start));
}

// Writing a text of tens of megabytes and waiting for the disk takes seconds: the copy is
// written by a thread of its own while the window goes on. One write at a time, so that an older
// text never lands after a newer one; a change made meanwhile is kept after the next pause.
void FrmMain::keepUpperText() {
    if (m_upperWrite.valid() && m_upperWrite.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        m_keepUpper->start();
        return;
    }
    try {
        m_upperWrite =
            std::async(std::launch::async, [this, store = m_session.get(), text = m_text1->text()] {
                const bool kept = store->saveUpper(text);
                QMetaObject::invokeMethod(
                    this, [this, kept] { upperKept(kept); }, Qt::QueuedConnection);
            });
    } catch (const std::exception&) {
        // Out of memory copying the text, or no thread to write it: the copy kept before stays.
        upperKept(false);
    }
}

void FrmMain::upperKept(bool kept) {
    if (kept) {
        if (m_keepFailureShown) statusBar()->clearMessage();
    } else if (!m_keepFailureShown) {
        statusBar()->showMessage(kUpperKeepFailed, kStatusMessageMs);
    }
    m_keepFailureShown = !kept;
}

Session FrmMain::currentSession() const {
    Session session;
    session.tab = m_tabs->currentIndex();
    for (const TabPage* page : m_pages) {
        for (const QAbstractButton* op : page->operations())
            if (op->isChecked()) session.selected.append(op->objectName());
    }
    const ControlTexts params = m_controls->read();
    for (const auto& [name, value] : params.all())
        if (m_controls->control(name)) session.params.insert(QString::fromStdString(name), toQString(value));
    session.geometry = saveGeometry();
    session.history = m_history;
    session.files[0] = m_files[0];
    session.files[1] = m_files[1];
    session.upper = m_text1->text();
    session.lower = m_text2->text();
    return session;
}

void FrmMain::applySession(Session& session) {
    // Program assignments: no input rule fires and no message shows.
    GuardHold hold(m_state);
    for (auto it = session.params.cbegin(); it != session.params.cend(); ++it)
        if (m_controls->control(it.key().toStdString()))
            m_controls->assign(it.key().toStdString(), toText(it.value()));
    for (TabPage* page : m_pages) {
        for (QAbstractButton* op : page->operations())
            if (session.selected.contains(op->objectName())) op->setChecked(true);
    }
    if (session.tab >= 0 && session.tab < m_tabs->count()) m_tabs->setCurrentIndex(session.tab);
    if (!session.geometry.isEmpty()) restoreGeometry(session.geometry);
    m_history = session.history;
    m_files[0] = session.files[0];
    m_files[1] = session.files[1];
    rebuildRecentMenu();
    updateTitle();
    // Set aside rather than left in place: a close would write the empty pane over it.
    if (!restoreText(m_text1, session.upper)) session.setAside.append(m_session->setTextAside(0));
    if (!restoreText(m_text2, session.lower)) session.setAside.append(m_session->setTextAside(1));
}

bool FrmMain::restoreText(PlainTextBox* pane, std::optional<Text>& text) {
    if (!text) return true;
    // Moved, not copied: the text may be as large as memory allows.
    const bool shown = PlainTextBox::canShow(*text) && pane->assignDuringRun(std::move(*text), {});
    text.reset();
    return shown;
}

void FrmMain::resetSettings() {
    if (m_state.guard || m_state.ask(kResetSettingsQuestion) != Answer::Yes) return;
    {
        GuardHold hold(m_state);
        const ControlTexts defaults = ControlTexts::defaults(Date{2000, 1, 1});
        for (const auto& [name, value] : defaults.all())
            if (m_controls->control(name)) m_controls->restoreDefault(name);
        selectFirstOperations();
        m_tabs->setCurrentIndex(0);
    }
    if (m_session) m_session->forgetSettings();
    showNormal();
    placeOnScreen();
}

void FrmMain::closeQuietly() {
    m_state.quietExit = true;
    close();
}

bool FrmMain::selected(const char* option) const {
    const auto* button = findChild<const QAbstractButton*>(QLatin1String(option));
    return button && button->isChecked();
}

std::optional<std::uint8_t> FrmMain::selectedOperation() const {
    const int tab = m_tabs->currentIndex();
    if (tab < 0) return std::nullopt;
    return m_pages[static_cast<std::size_t>(tab)]->selectedCode();
}

void FrmMain::execute() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    // Memory can run out outside the operation's own frame too (copying the upper text, reading
    // the controls): the run ends as a failed one does, and nothing escapes into the event loop.
    try {
        runOnce();
    } catch (const std::exception&) {
        leaveBusyState();
        m_state.show(Icon::Exclamation, toQString(kGeneralError));
    }
}

void FrmMain::runOnce() {
    m_state.stop = false;
    clearScratch();

    // Whatever tab is current, its selection counts.
    std::vector<const OperationDeclaration*> selectedOnAnyTab;
    std::ranges::copy_if(operations(), std::back_inserter(selectedOnAnyTab),
                         [this](const OperationDeclaration* op) { return selected(op->selector.c_str()); });
    if (refusesEmptyUpper(m_text1->isEmpty(), selectedOnAnyTab)) {
        m_state.inform(toQString(kUpperTextMissing));
        return;
    }
    // A user who sees a tab without a selected operation must not get the previous run's
    // operation from another tab: nothing runs, and the lower text is not asked about.
    const std::optional<std::uint8_t> selectedCode = selectedOperation();
    if (!selectedCode) {
        m_state.inform(m_pages[static_cast<std::size_t>(m_tabs->currentIndex())]->noSelectionMessage());
        return;
    }
    if (!m_text2->isEmpty() && !m_state.closing) {
        if (m_state.ask(toQString(kOverwriteQuestion)) != Answer::Yes) return;
        m_text2->assign(Text());
    }
    m_operationCode = *selectedCode;

    beginRun();
    // The pane is disabled while the run reads it: a text it was given is read where it is, and
    // only a typed one is copied out of the editor.
    std::optional<Text> typed;
    const Text* assigned = m_text1->assignedText();
    if (!assigned) typed = m_text1->text();
    const TextView upper = assigned ? *assigned : *typed;
    const OperationDeclaration& op = operation(m_operationCode);
    WindowRunContext ctx(m_state);
    DispatchResult result = dispatch(op, upper, m_controls->optionsOf(op), ctx);
    // The run's answers to its questions, or a variant set back, as program assignments: no
    // input rule fires (the guard is held).
    m_controls->show(op, result.changed);
    if (result.lower) showResult(std::move(*result.lower), op, result.errorMessage);

    if (result.end == DispatchEnd::PreCheckFailed) {
        endRun();
        return;
    }
    // The month enumerations write nothing when stopped and mark their own failures as stopped:
    // the lower pane keeps its text and the next close asks again.
    if (!op.needsUpperText && (m_state.closing || m_state.stop)) {
        m_state.stop = false;
        endRun();
        return;
    }
    endRun();
    clearScratch();
    if (result.concerned) {
        // After the message, the line it is about, selected where the user can see it.
        m_text1->select(result.concerned->start, result.concerned->length);
        m_text1->setFocus();
    }
}

void FrmMain::showResult(Text result, const OperationDeclaration& op, TextView errorMessage) {
    const bool shown =
        m_text2->assignDuringRun(std::move(result), [this] { return m_state.stop || m_state.closing; });
    if (shown) {
        // The result is written as the text it came from was.
        m_files[1] = {QString(), m_files[0].format};
        return;
    }
    m_state.show(Icon::Exclamation, toQString(errorMessage));
    if (op.setsStopFlagOnError) m_state.stop = true;
}

void FrmMain::beginRun() {
    for (TabPage* page : m_pages)
        page->frame()->setEnabled(false);
    m_text1->setEnabled(false);
    m_resetUpper->setEnabled(false);
    m_resetLower->setEnabled(false);
    m_execute->setEnabled(false);
    m_tabs->setEnabled(false);
    m_widen->setEnabled(false);
    m_copyUpper->setEnabled(false);
    m_copyLower->setEnabled(false);
    m_moveUp->setEnabled(false);
    QPalette busy = m_stopPalette;
    busy.setColor(QPalette::Button, kBusyStopColour);
    m_stop->setPalette(busy);
    m_fileMenu->menuAction()->setEnabled(false);
    m_status->setText(kBusyCaption);
}

void FrmMain::endRun() {
    leaveBusyState();
    if (m_state.stop) m_text2->assign(Text());
}

void FrmMain::leaveBusyState() {
    for (TabPage* page : m_pages)
        page->frame()->setEnabled(true);
    m_text1->setEnabled(true);
    m_resetUpper->setEnabled(true);
    m_resetLower->setEnabled(true);
    m_execute->setEnabled(true);
    m_tabs->setEnabled(true);
    m_widen->setEnabled(true);
    m_copyUpper->setEnabled(true);
    m_copyLower->setEnabled(true);
    updateMoveUp();
    m_stop->setPalette(m_stopPalette);
    m_status->clear();
    m_fileMenu->menuAction()->setEnabled(true);
}

void FrmMain::updateMoveUp() {
    // The upper pane is disabled while a run or a file command is busy.
    m_moveUp->setEnabled(m_text1->isEnabled() && !m_text2->isEmpty());
}

void FrmMain::clearScratch() {
    m_textCh->assign(Text());
    m_grid->clear();
    m_grid->setRowCount(0);
    m_grid->setColumnCount(0);
}

void FrmMain::placePanes(int columns) {
    const std::pair<QWidget*, int> rows[] = {{m_text1, 0}, {m_upperBar, 1}, {m_text2, 2}};
    for (const auto& [widget, row] : rows) {
        m_layout->removeWidget(widget);
        m_layout->addWidget(widget, row, 0, 1, columns);
    }
}

void FrmMain::toggleWideArea() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    const bool widen = m_widen->text() == QStringLiteral(">>");
    m_stop->setVisible(!widen);
    m_execute->setVisible(!widen);
    m_tabs->setVisible(!widen);
    // The panes take the tab area's columns; their buttons go to the panes' left edge.
    placePanes(widen ? 2 : 1);
    m_upperBar->packLeft(widen);
    m_lowerBar->packLeft(widen);
    m_widen->setText(widen ? QStringLiteral("<<") : QStringLiteral(">>"));
    m_widen->setToolTip(widen ? kNarrowTip : kWidenTip);
    m_layout->activate();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    const bool sessionEnding = qApp->isSavingSession();
    if (!sessionEnding && !m_state.stop && !m_state.closing && !m_state.quietExit) {
        if (m_state.ask(kExitQuestion) != Answer::Yes) {
            event->ignore();
            return;
        }
    }
    m_state.closing = true;
    emit closingConfirmed();
    event->accept();
    if (m_session) {
        m_keepUpper->stop();
        if (m_upperWrite.valid()) m_upperWrite.wait();
        // The window is gone by now: a failure can only be told where the program was started.
        bool saved = false;
        try {
            saved = m_session->save(currentSession());
        } catch (const std::exception&) {
            // Out of memory copying the texts: what was kept before stays.
        }
        if (!saved)
            qWarning().noquote() << "kivoautofill: the window's texts and settings could not be kept in"
                                 << QDir::toNativeSeparators(m_session->folder());
    }
}

void FrmMain::openFile() {
    m_status->setText(kOpeningCaption);
    beginRun();
    const OpenChoice choice = m_dialogs->chooseFileToOpen(m_history.folder);
    openChosenFile(choice.path, choice.encoding);
}

void FrmMain::openWithoutDialog(const QString& path) {
    if (m_state.guard || !m_execute->isEnabled()) return;
    m_status->setText(kOpeningCaption);
    beginRun();
    if (openChosenFile(path, OpenEncoding::Auto)) return;
    // A recent file that went away is no longer offered.
    if (!QFileInfo::exists(path) && m_history.recent.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        rebuildRecentMenu();
}

void FrmMain::reopen(OpenEncoding encoding) {
    if (m_state.guard || !m_execute->isEnabled()) return;
    m_status->setText(kOpeningCaption);
    beginRun();
    openChosenFile(m_files[0].path, encoding);
}

bool FrmMain::openChosenFile(const QString& path, OpenEncoding encoding) {
    if (!path.isEmpty()) {
        beginRun();
        if (const Loaded loaded = loadFile(path, encoding); loaded != Loaded::Yes) {
            leaveBusyState();
            m_state.show(Icon::Exclamation, loaded == Loaded::NotText ? kNotTextFile : kOpenFailed);
            return false;
        }
        // The close box was answered while the file was read: the window goes without asking again.
        if (m_state.closing && isVisible()) closeQuietly();
    }
    // Opening never touches the lower pane, not even after a stopped run.
    leaveBusyState();
    m_status->clear();
    return true;
}

FrmMain::Loaded FrmMain::loadFile(const QString& path, OpenEncoding encoding) {
    try {
        const QFileInfo info(path);
        if (!info.exists()) return Loaded::No;
        if (info.isFile() && info.size() == 0) return Loaded::Yes;
        QCoreApplication::processEvents();
        const auto betweenBlocks = [] { QCoreApplication::processEvents(); };
        std::optional<std::string> bytes = readFileBytes(path, betweenBlocks);
        if (!bytes) return Loaded::No;
        if (bytes->empty()) return Loaded::Yes;
        std::optional<OpenedText> decoded = decodeTextFile(*bytes, encoding, betweenBlocks);
        bytes.reset();
        if (!decoded) return Loaded::NotText;
        OpenedText& opened = *decoded;
        // A file the pane cannot hold is one that cannot be opened; the upper text stays.
        if (!PlainTextBox::canShow(opened.text)) return Loaded::No;
        // Stop does not end an open: the upper pane shows the whole file or, when closing, nothing.
        if (!m_text1->assignDuringRun(
                std::move(opened.text), [this] { return m_state.closing; }, PlainTextBox::Undo::Step))
            return Loaded::No;
        m_files[0] = {info.absoluteFilePath(), opened.format, opened.guessed};
        fileUsed(path);
        return Loaded::Yes;
    } catch (const std::exception&) {
        return Loaded::No;
    }
}

void FrmMain::saveText(int target) {
    m_status->setText(kSavingCaption);
    beginRun();
    const PlainTextBox* pane = target == 1 ? m_text1 : m_text2;
    try {
        if (pane->isEmpty()) {
            m_state.inform(target == 1 ? kUpperSaveEmpty : kLowerSaveEmpty);
        } else {
            saveToFile(pane->text(), target);
        }
    } catch (const std::exception&) {
        // Out of memory copying or encoding the text: the save fails as a failed write does.
        leaveBusyState();
        m_state.show(Icon::Exclamation, target == 1 ? kUpperSaveFailed : kLowerSaveFailed);
    }
    // Saving never empties the pane it saved, not even after a stopped run.
    leaveBusyState();
    m_status->clear();
}

void FrmMain::saveToFile(const Text& text, int target) {
    PaneFile& file = m_files[target - 1];
    // A text from no file keeps the line breaks it has.
    FileFormat format = file.format.value_or(FileFormat{TextEncoding::Cp932, lineBreakOf(text)});
    // Code page 932 and EUC-JP would turn these characters into "?" without a word.
    const bool legacy = format.encoding == TextEncoding::Cp932 || format.encoding == TextEncoding::EucJp;
    if (legacy && unmappableIndex(text, format.encoding)) {
        const std::optional<Answer> answer = m_state.ask(utf8Question(format.encoding));
        if (!answer || *answer == Answer::Cancel) return;
        if (*answer == Answer::Yes) format.encoding = TextEncoding::Utf8WithMark;
    }
    const SaveChoice choice = m_dialogs->chooseFileToSave(m_history.folder, format);
    if (choice.path.isEmpty()) return;
    beginRun();
    bool written = false;
    try {
        written = writeFileBytes(choice.path, encodeTextFile(text, choice.format));
    } catch (const std::exception&) {
        written = false;
    }
    leaveBusyState();
    if (!written) {
        m_state.show(Icon::Exclamation, target == 1 ? kUpperSaveFailed : kLowerSaveFailed);
        return;
    }
    file = {QFileInfo(choice.path).absoluteFilePath(), choice.format};
    fileUsed(choice.path);
}

void FrmMain::wireTabCycling() {
    auto hook = [this](QObject* watched, std::function<bool(QEvent*)> handler) {
        m_hooks.emplace_back(new EventHook(watched, std::move(handler)));
    };
    QTabBar* strip = m_tabs->tabBar();
    hook(strip, [this, strip](QEvent* event) {
        switch (event->type()) {
            case QEvent::FocusIn:
                // A run disables the focused Execute button, and Qt hands the focus to the strip:
                // that is no user touching the strip, and the run's operation must stay selected.
                if (m_state.guard) return false;
                m_state.focusCycling = false;
                focusFirstOperation(m_tabs->currentIndex());
                return false;
            case QEvent::KeyRelease:
            case QEvent::MouseButtonRelease:
                tabStripTouched();
                return false;
            case QEvent::Shortcut: {
                // An access key switches the tab and, as a click on the strip would, selects the
                // first operation of the tab it shows.
                const bool handled = static_cast<QObject*>(strip)->event(event);
                tabStripTouched();
                return handled;
            }
            default:
                return false;
        }
    });
    for (TabPage* page : m_pages) {
        hook(page->allResetButton(), [this](QEvent* event) {
            if (event->type() != QEvent::FocusOut || m_state.focusCycling) return false;
            if (static_cast<const QFocusEvent*>(event)->reason() != Qt::TabFocusReason) return false;
            m_textFocus->setFocus(Qt::TabFocusReason);
            // The Tab that left the button goes on past the focus target, which turns the tab.
            if (m_textFocus->hasFocus()) m_textFocus->clearFocus();
            return false;
        });
    }
    hook(m_textFocus, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut && !m_state.focusCycling && movesInsideWindow(event))
            passFocusToNextTab();
        return false;
    });
    if (auto* text40 = findChild<QWidget*>(QStringLiteral("Text40"))) {
        hook(text40, [this](QEvent* event) {
            if (event->type() == QEvent::FocusIn) putTabsInFocusOrder(kTabsFocusPosition);
            return false;
        });
    }
}

void FrmMain::focusFirstOperation(int tab) {
    if (tab < 0 || tab >= static_cast<int>(m_pages.size())) return;
    QAbstractButton* first = firstOperation(tab);
    first->setChecked(true);
    first->setFocus();
}

QAbstractButton* FrmMain::firstOperation(int tab) const {
    return m_pages[static_cast<std::size_t>(tab)]->operations().front();
}

void FrmMain::tabStripTouched() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    m_state.focusCycling = false;
    focusFirstOperation(m_tabs->currentIndex());
}

void FrmMain::shareTabKeys() {
    const QWidget* shown = m_tabs->currentWidget();
    auto ownedOnShownTab = [shown](const QKeySequence& key) {
        for (const QAbstractButton* b : shown->findChildren<QAbstractButton*>())
            if (QKeySequence::mnemonic(b->text()) == key) return true;
        for (const QLabel* l : shown->findChildren<QLabel*>())
            if (QKeySequence::mnemonic(l->text()) == key) return true;
        return false;
    };
    for (int tab = 0; tab < m_tabs->count(); ++tab) {
        const QString number = QString::number(tab + 1);
        const bool owned = ownedOnShownTab(QKeySequence::mnemonic(u'&' + number));
        m_tabs->setTabText(tab, (owned ? QStringLiteral("%1(%1)") : QStringLiteral("%1(&%1)")).arg(number));
    }
}

void FrmMain::passFocusToNextTab() {
    const int tab = m_tabs->currentIndex();
    if (tab < 0) return;
    const int next = (tab + 1) % m_tabs->count();
    firstOperation(tab)->setChecked(true);
    m_tabs->setCurrentIndex(next);
    focusFirstOperation(next);
}

void FrmMain::putTabsInFocusOrder(int position) {
    // The stops of the window's Tab order in their order, the tab control once for all it holds.
    QList<QWidget*> stops;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (w == m_tabs || m_tabs->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) stops.append(w);
    }
    if (position < 1 || stops.isEmpty()) return;
    setTabOrder(stops[std::min<qsizetype>(position, stops.size()) - 1], m_tabs);
}

}  // namespace kivo::window
