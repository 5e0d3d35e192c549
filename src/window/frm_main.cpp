#include "window/frm_main.h"

#include <exception>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "window/control_events.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/focus_ring.h"
#include "window/pane_clipboard.h"
#include "window/pane_menu.h"
#include "window/preview.h"
#include "window/qtext.h"
#include "window/recipe_panel.h"
#include "window/run_controller.h"
#include "window/session_binding.h"
#include "window/tab_cycling.h"
#include "window/tab_page.h"
#include "window/text_box.h"
#include "window/window_run_context.h"

namespace kivo::window {

FrmMain::FrmMain(MessageBoxes* messages, QWidget* parent) : QMainWindow(parent), m_layout(this, m_state) {
    if (!messages) {
        m_ownMessages = std::make_unique<QtMessageBoxes>(this);
        messages = m_ownMessages.get();
    }
    m_state.messages = messages;
    setObjectName(QStringLiteral("frmMain"));

    m_controls = std::make_unique<ParamControls>(this);
    for (TabPage* page : m_layout.pages)
        page->setControls(m_controls.get());
    m_files = new FileCommands(this, m_layout, m_state);
    connect(m_files, &FileCommands::closeConfirmedWhileOpening, this, &FrmMain::closeQuietly);
    addResetSettingsCommand();
    m_run = std::make_unique<RunController>(m_layout, *m_controls, *m_files, m_state);
    m_preview = new LivePreview(this, m_layout, *m_controls, *m_run, m_state);
    m_recipes = new RecipePanel(this, m_layout, *m_controls, *m_run, m_state);
    m_session = new SessionBinding(this, m_layout, *m_controls, *m_files, *m_recipes, m_state);
    connect(m_recipes, &RecipePanel::runStarting, m_preview, &LivePreview::dismiss);
    connect(m_recipes, &RecipePanel::runEnded, m_preview, &LivePreview::dismiss);
    wirePaneCommands();
    connect(m_layout.widen, &QPushButton::clicked, this, &FrmMain::toggleWideArea);
    connect(m_layout.stop, &QPushButton::clicked, this, &FrmMain::stop);
    connect(m_layout.execute, &QPushButton::clicked, this, &FrmMain::execute);
    m_tabCycling = std::make_unique<TabCycling>(this, m_layout, m_state);
    new FocusRing(this, m_layout);
    refuseAltTyping(this);
    holdRulesWhileComposing(m_layout.tabs, m_state);
}

FrmMain::~FrmMain() {
    // The tab cycling's hooks and the pane commands use members that go before the child widgets
    // do.
    m_tabCycling.reset();
    delete m_paneCommands;
    delete m_preview;
}

void FrmMain::wirePaneCommands() {
    m_ownClipboard = std::make_unique<QtClipboard>();
    m_paneCommands = new PaneCommands(m_state, m_layout.upper, m_layout.lower, this);
    m_paneCommands->setClipboard(m_ownClipboard.get());
    m_paneCommands->attachButtons(m_layout.upper, m_layout.copyUpper, m_layout.resetUpper);
    m_paneCommands->attachButtons(m_layout.lower, m_layout.copyLower, m_layout.resetLower);
    m_paneCommands->attachMoveUp(m_layout.moveUp);
    connect(m_paneCommands, &PaneCommands::movedUp, m_files, &FileCommands::movedUp);
    connect(m_paneCommands, &PaneCommands::emptied, m_files, &FileCommands::emptied);
    for (PlainTextBox* pane : {m_layout.upper, m_layout.lower})
        connect(pane, &PlainTextBox::fileDropped, m_files, &FileCommands::openWithoutDialog);
    connect(m_layout.lower, &QPlainTextEdit::textChanged, this, [this] { m_layout.updateMoveUp(); });
}

void FrmMain::addResetSettingsCommand() {
    m_layout.fileMenu->addSeparator();
    QAction* resetSettings = m_layout.fileMenu->addAction(kResetSettingsCaption + QStringLiteral("(&S)"));
    resetSettings->setObjectName(QStringLiteral("mnuResetSettings"));
    connect(resetSettings, &QAction::triggered, this, &FrmMain::resetSettings);
}

void FrmMain::setFileDialogs(FileDialogs* dialogs) {
    m_files->setFileDialogs(dialogs);
    m_recipes->setFileDialogs(dialogs);
}

void FrmMain::setClipboard(Clipboard* clipboard) {
    m_paneCommands->setClipboard(clipboard);
}

int FrmMain::operationCode() const {
    return m_run->operationCode();
}

void FrmMain::execute() {
    // The run meets the lower pane as it would without a preview, and what it changes in the
    // options brings no preview over its result.
    m_preview->dismiss();
    m_run->execute();
    m_preview->dismiss();
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
    for (const LoadStep& step : loadSteps()) {
        if (!step.list) {
            m_controls->restoreDefault(step.textBox);
            continue;
        }
        const ComboList& list = *step.list;
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
    for (TabPage* page : m_layout.pages) {
        for (QAbstractButton* op : page->operations())
            op->setChecked(op == page->operations().front());
    }
}

void FrmMain::restoreSession(const QString& folder) {
    m_session->restore(folder);
}

void FrmMain::resetSettings() {
    if (m_state.guard || m_state.ask(kResetSettingsQuestion) != Answer::Yes) return;
    {
        GuardHold hold(m_state);
        const ControlTexts defaults = ControlTexts::defaults(Date{2000, 1, 1});
        for (const auto& [name, value] : defaults.all())
            if (m_controls->control(name)) m_controls->restoreDefault(name);
        selectFirstOperations();
        m_layout.tabs->setCurrentIndex(0);
    }
    m_session->forgetSettings();
    showNormal();
    placeOnScreen();
}

void FrmMain::closeQuietly() {
    m_state.quietExit = true;
    close();
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
    m_session->keepAtClose();
}

}  // namespace kivo::window
