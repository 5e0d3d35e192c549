#include "window/frm_main.h"

#include <algorithm>
#include <exception>
#include <functional>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include "ops/dispatch.h"
#include "ops/lists.h"
#include "window/control_events.h"
#include "window/controls.h"
#include "window/file_dialog.h"
#include "window/pane_clipboard.h"
#include "window/pane_menu.h"
#include "window/qtext.h"
#include "window/tab_tables.h"
#include "window/text_box.h"
#include "window/text_files.h"
#include "window/window_run_context.h"

namespace kivo::window {
namespace {

// The fixed layout, in pixels (15 twips each).
constexpr int kClientWidth = 996;
constexpr int kClientHeight = 570;
constexpr int kPaneWidth = 393;
constexpr int kPaneHeight = 257;
constexpr QRect kText1{0, 0, kPaneWidth, kPaneHeight};
constexpr QRect kText2{0, 280, kPaneWidth, kPaneHeight};
constexpr QRect kTabs{392, 0, 593, 537};
constexpr int kCopyUpperLeft = 264;
constexpr int kResetUpperLeft = 328;
constexpr int kCopyLowerLeft = 224;
constexpr int kResetLowerLeft = 288;
constexpr int kWidenLeft = 352;
constexpr int kArrowLeft = 152;
constexpr int kUpperButtonsTop = 256;
constexpr int kLowerButtonsTop = 536;
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 25;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

PlainTextBox* makePane(QWidget* parent, const char* name, QRect geometry) {
    auto* pane = new PlainTextBox(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setGeometry(geometry);
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return pane;
}

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
const QString kUtf8Question =
    QStringLiteral("Shift-JISで保存できない文字が含まれています、UTF-8で保存しますか？");

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
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildTopLevel();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_controls = std::make_unique<ParamControls>(this);
    for (TabPage* page : m_pages)
        page->setControls(m_controls.get());

    m_ownClipboard = std::make_unique<QtClipboard>();
    m_paneCommands = new PaneCommands(m_state, m_text1, m_text2, this);
    m_paneCommands->setClipboard(m_ownClipboard.get());
    m_paneCommands->attachButtons(m_text1, m_copyUpper, m_resetUpper);
    m_paneCommands->attachButtons(m_text2, m_copyLower, m_resetLower);
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

void FrmMain::setClipboard(Clipboard* clipboard) {
    m_paneCommands->setClipboard(clipboard);
}

void FrmMain::buildTopLevel() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    m_text1 = makePane(client, "Text1", kText1);
    m_text2 = makePane(client, "Text2", kText2);
    m_copyUpper = makeButton(client, "Command27", QStringLiteral("コピー(&A)"),
                             {kCopyUpperLeft, kUpperButtonsTop, kButtonWidth, kButtonHeight});
    m_resetUpper = makeButton(client, "Command1", QStringLiteral("リセット(&B)"),
                              {kResetUpperLeft, kUpperButtonsTop, kButtonWidth, kButtonHeight});
    m_copyLower = makeButton(client, "Command28", QStringLiteral("コピー(&C)"),
                             {kCopyLowerLeft, kLowerButtonsTop, kButtonWidth, kButtonHeight});
    m_resetLower = makeButton(client, "Command2", QStringLiteral("リセット(&D)"),
                              {kResetLowerLeft, kLowerButtonsTop, kButtonWidth, kButtonHeight});
    // The pane buttons are the width of their captions at the window's font; a point smaller
    // keeps "リセット(&B)" inside its button.
    QFont paneButtonFont = font();
    paneButtonFont.setPointSizeF(8);
    for (QPushButton* b : {m_copyUpper, m_resetUpper, m_copyLower, m_resetLower})
        b->setFont(paneButtonFont);
    m_widen = makeButton(client, "Command25", QStringLiteral(">>"),
                         {kWidenLeft, kLowerButtonsTop, 41, kButtonHeight});
    m_widen->setFont(boldFont(font(), font().pointSizeF()));
    connect(m_widen, &QPushButton::clicked, this, &FrmMain::toggleWideArea);
    m_stop = makeButton(client, "Command6", QStringLiteral("中止(&Y)"),
                        {784, kLowerButtonsTop, 89, kButtonHeight});
    m_stopPalette = m_stop->palette();
    connect(m_stop, &QPushButton::clicked, this, &FrmMain::stop);
    m_execute = makeButton(client, "Command3", QStringLiteral("実行(&Z)"),
                           {872, kLowerButtonsTop, 113, kButtonHeight});
    connect(m_execute, &QPushButton::clicked, this, &FrmMain::execute);

    m_arrow = new QLabel(QStringLiteral("↓↓↓"), client);
    m_arrow->setObjectName(QStringLiteral("Label3"));
    m_arrow->setFont(boldFont(font(), 14.25));
    m_arrow->setAlignment(Qt::AlignCenter);
    m_arrow->setGeometry(kArrowLeft, kUpperButtonsTop, 81, kButtonHeight);
    m_status = new QLabel(client);
    m_status->setObjectName(QStringLiteral("Label8"));
    m_status->setFont(boldFont(font(), 9));
    m_status->setGeometry(400, 544, 265, 17);

    m_tabs = new QTabWidget(client);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->setGeometry(kTabs);
    int tabNumber = 0;
    for (TabTable table : {set1Table(), set2Table(), loopTable(), set4Table(), set5Table()}) {
        m_pages.push_back(new TabPage(std::move(table), m_state));
        m_tabs->addTab(m_pages.back(), QStringLiteral("%1(&%1)").arg(++tabNumber));
    }

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
    for (TabPage* page : m_pages)
        page->operations().front()->setChecked(true);
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

    // Whatever tab is current, a selected operation that needs no upper text lets an empty one pass.
    const bool withoutUpperText = std::ranges::any_of(operations(), [this](const OperationDeclaration* op) {
        return !op->needsUpperText && selected(op->selector.c_str());
    });
    if (m_text1->isEmpty() && !withoutUpperText) {
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
    const int code = m_operationCode;
    WindowRunContext ctx(m_state);
    const Params params = m_controls->read();
    DispatchResult result = dispatch(code, upper, params, ctx);
    // The run's answers to its questions, or a variant set back, as program assignments: no
    // input rule fires (the guard is held).
    for (const ControlText& changed : result.changed)
        m_controls->assign(changed.control, changed.text);
    if (result.lower) showResult(std::move(*result.lower), operation(code), params);

    if (result.end == DispatchEnd::PreCheckFailed) {
        endRun();
        return;
    }
    // The month enumerations write nothing when stopped and mark their own failures as stopped:
    // the lower pane keeps its text and the next close asks again.
    if (!operation(code).needsUpperText && (m_state.closing || m_state.stop)) {
        m_state.stop = false;
        endRun();
        return;
    }
    endRun();
    clearScratch();
}

void FrmMain::showResult(Text result, const OperationDeclaration& op, const Params& params) {
    const bool shown = PlainTextBox::canShow(result) && m_text2->assignDuringRun(std::move(result), [this] {
        return m_state.stop || m_state.closing;
    });
    if (shown) return;
    m_state.show(Icon::Exclamation, toQString(op.errorMessageOf(params)));
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
    m_stop->setPalette(m_stopPalette);
    m_status->clear();
    m_fileMenu->menuAction()->setEnabled(true);
}

void FrmMain::clearScratch() {
    m_textCh->assign(Text());
    m_grid->clear();
    m_grid->setRowCount(0);
    m_grid->setColumnCount(0);
}

void FrmMain::toggleWideArea() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    const bool widen = m_widen->text() == QStringLiteral(">>");
    const int paneWidth = widen ? kPaneWidth + kTabs.width() : kPaneWidth;
    m_text1->setGeometry(kText1.x(), kText1.y(), paneWidth, kPaneHeight);
    m_text2->setGeometry(kText2.x(), kText2.y(), paneWidth, kPaneHeight);
    if (widen) {
        m_copyUpper->move(kText1.x(), kUpperButtonsTop);
        m_copyLower->move(kText1.x(), kLowerButtonsTop);
        m_resetUpper->move(m_copyUpper->geometry().right() + 1, kUpperButtonsTop);
        m_resetLower->move(m_copyLower->geometry().right() + 1, kLowerButtonsTop);
        m_widen->move(m_resetLower->geometry().right() + 1, kLowerButtonsTop);
        m_widen->setText(QStringLiteral("<<"));
        m_arrow->move(paneWidth / 2 - m_arrow->width() / 2, kUpperButtonsTop);
    } else {
        m_copyUpper->move(kCopyUpperLeft, kUpperButtonsTop);
        m_copyLower->move(kCopyLowerLeft, kLowerButtonsTop);
        m_resetUpper->move(kResetUpperLeft, kUpperButtonsTop);
        m_resetLower->move(kResetLowerLeft, kLowerButtonsTop);
        m_widen->move(kWidenLeft, kLowerButtonsTop);
        m_widen->setText(QStringLiteral(">>"));
        m_arrow->move(kArrowLeft, kUpperButtonsTop);
    }
    m_stop->setVisible(!widen);
    m_execute->setVisible(!widen);
    m_tabs->setVisible(!widen);
    m_widen->setToolTip(widen ? kNarrowTip : kWidenTip);
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
}

void FrmMain::openFile() {
    m_status->setText(kOpeningCaption);
    beginRun();
    const QString path = m_dialogs->openFileName();
    if (!path.isEmpty()) {
        beginRun();
        if (!loadFile(path)) {
            leaveBusyState();
            m_state.show(Icon::Exclamation, kOpenFailed);
            return;
        }
        // The close box was answered while the file was read: the window goes without asking again.
        if (m_state.closing && isVisible()) closeQuietly();
    }
    // Opening never touches the lower pane, not even after a stopped run.
    leaveBusyState();
    m_status->clear();
}

bool FrmMain::loadFile(const QString& path) {
    try {
        const QFileInfo info(path);
        if (!info.exists()) return false;
        if (info.isFile() && info.size() == 0) return true;
        QCoreApplication::processEvents();
        const auto betweenBlocks = [] { QCoreApplication::processEvents(); };
        std::optional<std::string> bytes = readFileBytes(path, betweenBlocks);
        if (!bytes) return false;
        if (bytes->empty()) return true;
        Text text = decodeTextFile(*bytes, betweenBlocks);
        bytes.reset();
        // A file the pane cannot hold is one that cannot be opened; the upper text stays.
        if (!PlainTextBox::canShow(text)) return false;
        // Stop does not end an open: the upper pane shows the whole file or, when closing, nothing.
        return m_text1->assignDuringRun(std::move(text), [this] { return m_state.closing; });
    } catch (const std::exception&) {
        return false;
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
    FileEncoding encoding = FileEncoding::Cp932;
    // Code page 932 would turn these characters into "?" without a word.
    if (!fitsCodePage932(text)) {
        const std::optional<Answer> answer = m_state.ask(kUtf8Question);
        if (!answer || *answer == Answer::Cancel) return;
        if (*answer == Answer::Yes) encoding = FileEncoding::Utf8;
    }
    const QString path = m_dialogs->saveFileName();
    if (path.isEmpty()) return;
    beginRun();
    bool written = false;
    try {
        written = writeFileBytes(path, encodeTextFile(text, encoding));
    } catch (const std::exception&) {
        written = false;
    }
    leaveBusyState();
    if (!written) m_state.show(Icon::Exclamation, target == 1 ? kUpperSaveFailed : kLowerSaveFailed);
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
