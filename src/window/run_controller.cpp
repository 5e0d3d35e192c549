#include "window/run_controller.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTabWidget>

#include "ops/dispatch.h"
#include "ops/registry.h"
#include "text/dates.h"
#include "window/controls.h"
#include "window/file_commands.h"
#include "window/main_layout.h"
#include "window/qtext.h"
#include "window/tab_page.h"
#include "window/text_box.h"
#include "window/window_run_context.h"

namespace kivo::window {
namespace {

// A recipe's messages and questions say which step they come from.
class StepMessages final : public MessageBoxes {
public:
    StepMessages(WindowState& state, std::size_t index)
        : m_state(state), m_inner(state.messages), m_prefix(QStringLiteral("ステップ%1: ").arg(index + 1)) {
        if (m_inner) m_state.messages = this;
    }
    ~StepMessages() override { m_state.messages = m_inner; }
    StepMessages(const StepMessages&) = delete;
    StepMessages& operator=(const StepMessages&) = delete;

    void show(Icon icon, const QString& text) override { m_inner->show(icon, m_prefix + text); }
    Answer ask(const QString& question) override { return m_inner->ask(m_prefix + question); }

private:
    WindowState& m_state;
    MessageBoxes* m_inner;
    QString m_prefix;
};

}  // namespace

RunController::RunController(MainLayout& layout, const ParamControls& controls, FileCommands& files,
                             WindowState& state)
    : m_layout(layout), m_controls(controls), m_files(files), m_state(state) {}

void RunController::execute() {
    if (m_state.guard) return;
    const QPointer<QWidget> focusBefore = QApplication::focusWidget();
    {
        GuardHold hold(m_state);
        // Memory can run out outside the operation's own frame too (copying the upper text, reading
        // the controls): the run ends as a failed one does, and nothing escapes into the event loop.
        try {
            runOnce();
        } catch (const std::exception&) {
            m_layout.setBusy(false);
            m_state.show(Icon::Exclamation, toQString(kGeneralError));
        }
    }
    keepFocusInSight(focusBefore);
}

// The busy state disables the focused control, and Qt may pass the focus on to one the busy
// state disables next, which leaves it nowhere: it goes back where the run began.
void RunController::keepFocusInSight(QWidget* before) {
    const QWidget* now = QApplication::focusWidget();
    if (now && now->isVisible() && now->isEnabled()) return;
    if (before && before->isVisible() && before->isEnabled())
        before->setFocus(Qt::OtherFocusReason);
    else
        m_layout.lower->setFocus(Qt::OtherFocusReason);
}

bool RunController::selected(const OperationDeclaration& op) const {
    const auto* button =
        m_layout.tabs->findChild<const QAbstractButton*>(QString::fromStdString(op.selector));
    return button && button->isChecked();
}

std::optional<std::uint8_t> RunController::selectedOperation() const {
    const int tab = m_layout.tabs->currentIndex();
    if (tab < 0) return std::nullopt;
    return m_layout.pages[static_cast<std::size_t>(tab)]->selectedCode();
}

QString RunController::noSelectionMessage() const {
    return m_layout.pages[static_cast<std::size_t>(m_layout.tabs->currentIndex())]->noSelectionMessage();
}

bool RunController::refusesEmptyUpper() const {
    // Whatever tab is current, its selection counts.
    std::vector<const OperationDeclaration*> selectedOnAnyTab;
    std::copy_if(operations().begin(), operations().end(), std::back_inserter(selectedOnAnyTab),
                 [this](const OperationDeclaration* op) { return selected(*op); });
    return kivo::refusesEmptyUpper(m_layout.upper->isEmpty(), selectedOnAnyTab);
}

void RunController::runOnce() {
    m_state.stop = false;
    m_lowerChanged = false;
    m_layout.clearScratch();
    PlainTextBox* upper = m_layout.upper;

    if (refusesEmptyUpper()) {
        m_state.inform(toQString(kUpperTextMissing));
        return;
    }
    // A user who sees a tab without a selected operation must not get the previous run's
    // operation from another tab: nothing runs, and the lower text is not asked about.
    const std::optional<std::uint8_t> selectedCode = selectedOperation();
    if (!selectedCode) {
        m_state.inform(noSelectionMessage());
        return;
    }
    if (!mayOverwriteLower()) return;
    m_operationCode = *selectedCode;

    m_layout.setBusy(true);
    // The pane is disabled while the run reads it: a text it was given is read where it is, and
    // only a typed one is copied out of the editor.
    std::optional<Text> typed;
    const Text* assigned = upper->assignedText();
    if (!assigned) typed = upper->text();
    const TextView upperText = assigned ? *assigned : *typed;
    const OperationDeclaration& op = operation(m_operationCode);
    WindowRunContext ctx(m_state);
    DispatchResult result = dispatch(op, upperText, m_controls.optionsOf(op), ctx);
    // The run's answers to its questions, or a variant set back, as program assignments: no
    // input rule fires (the guard is held).
    m_controls.show(op, result.changed);
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
        m_layout.announceRunEnd(true);
        return;
    }
    endRun();
    m_layout.announceRunEnd(m_state.stop);
    m_layout.clearScratch();
    if (result.concerned) {
        // After the message, the line it is about, selected where the user can see it.
        upper->select(result.concerned->start, result.concerned->length);
        upper->setFocus();
    }
}

bool RunController::mayOverwriteLower() {
    if (m_layout.lower->isEmpty() || m_state.closing) return true;
    if (m_state.ask(toQString(kOverwriteQuestion)) != Answer::Yes) return false;
    m_layout.lower->assign(Text(), lowerChange({}));
    return true;
}

std::optional<std::size_t> RunController::runRecipe(const std::vector<RecipeStep>& steps) {
    if (m_state.guard || steps.empty()) return std::nullopt;
    GuardHold hold(m_state);
    try {
        return runRecipeOnce(steps);
    } catch (const std::exception&) {
        m_layout.setBusy(false);
        m_state.show(Icon::Exclamation, toQString(kGeneralError));
        return std::nullopt;
    }
}

std::optional<std::size_t> RunController::runRecipeOnce(const std::vector<RecipeStep>& steps) {
    m_state.stop = false;
    m_lowerChanged = false;
    m_layout.clearScratch();
    PlainTextBox* upper = m_layout.upper;
    const OperationDeclaration* first[] = {steps.front().call.op};
    if (kivo::refusesEmptyUpper(upper->isEmpty(), first)) {
        m_state.inform(toQString(kUpperTextMissing));
        return std::nullopt;
    }
    if (!mayOverwriteLower()) return std::nullopt;

    m_layout.setBusy(true);
    Text text = upper->assignedText() ? *upper->assignedText() : upper->text();
    const Date date = today();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const OperationDeclaration& op = *steps[i].call.op;
        StepMessages messages(m_state, i);
        WindowRunContext ctx(m_state);
        DispatchResult run = dispatch(op, TextView(text), steps[i].call.texts(date), ctx);
        const bool stopped = m_state.stop || m_state.closing;
        if (!run.lower || stopped) {
            endRun();
            if (stopped) return std::nullopt;
            // Only the first step's lines are the upper text's.
            if (run.concerned && i == 0) {
                upper->select(run.concerned->start, run.concerned->length);
                upper->setFocus();
            }
            return i;
        }
        if (i + 1 < steps.size()) {
            text = std::move(*run.lower);
        } else {
            showResult(std::move(*run.lower), op, run.errorMessage);
        }
    }
    endRun();
    m_layout.clearScratch();
    return std::nullopt;
}

void RunController::showResult(Text result, const OperationDeclaration& op, TextView errorMessage) {
    const PlainTextBox::Undo undo = lowerChange(result);
    const bool shown = m_layout.lower->assignDuringRun(
        std::move(result), [this] { return m_state.stop || m_state.closing; }, undo);
    if (shown) {
        m_files.resultShown();
        return;
    }
    m_state.show(Icon::Exclamation, toQString(errorMessage));
    if (op.setsStopFlagOnError) m_state.stop = true;
}

void RunController::endRun() {
    m_layout.setBusy(false);
    if (m_state.stop) m_layout.lower->assign(Text(), lowerChange({}));
}

// What a run does to the lower pane is one step for Ctrl+Z there, as a whole-text change of the
// user's is: the first change begins it and the others join it. A change whose undo would take
// memory the run's texts need clears the pane's history instead, as every run did before.
PlainTextBox::Undo RunController::lowerChange(TextView incoming) {
    if (!m_layout.lower->canKeepForUndo(incoming)) return PlainTextBox::Undo::Cleared;
    return std::exchange(m_lowerChanged, true) ? PlainTextBox::Undo::Joined : PlainTextBox::Undo::Step;
}

}  // namespace kivo::window
