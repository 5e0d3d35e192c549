#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "ops/operation.h"
#include "ops/recipe.h"
#include "window/text_box.h"

class QWidget;

namespace kivo::window {

class FileCommands;
class MainLayout;
class ParamControls;
struct WindowState;

/// Execute's whole run: the checks before it, the busy state, the operation on the upper text with
/// the selected tab's options, the result in the lower pane, and the line a message is about.
class RunController {
public:
    RunController(MainLayout& layout, const ParamControls& controls, FileCommands& files, WindowState& state);

    /// Execute (`Command3`): one whole run, under the re-entrancy guard.
    void execute();
    /// The operation chosen at the last Execute (0 before the first).
    std::uint8_t operationCode() const { return m_operationCode; }
    /// 「レシピを実行」: the steps one after the other, the first on the upper text and each on the
    /// result of the one before, under the guard; the last result goes to the lower pane as one
    /// undo step there. Each message names its step. The number (from 0) of the step that ended
    /// the run without a result, when one did.
    std::optional<std::size_t> runRecipe(const std::vector<RecipeStep>& steps);

    /// The operation of the current tab and its selection; none when the tab runs nothing.
    std::optional<std::uint8_t> selectedOperation() const;
    /// Execute's message when the current tab runs nothing.
    QString noSelectionMessage() const;
    /// Execute refuses the upper text for being empty, whatever tab is current.
    bool refusesEmptyUpper() const;

private:
    void runOnce();
    std::optional<std::size_t> runRecipeOnce(const std::vector<RecipeStep>& steps);
    /// Asks, when the lower pane holds a text, whether a run may replace it; Yes empties it.
    bool mayOverwriteLower();
    bool selected(const OperationDeclaration& op) const;
    /// The lower pane takes the result when it can hold it; otherwise the run of `op` ends as a
    /// failed one does: its error message, the lower pane empty.
    void showResult(Text result, const OperationDeclaration& op, TextView errorMessage);
    void endRun();
    /// Puts the focus back on `before`, or on the lower pane, when the run left it nowhere in sight.
    void keepFocusInSight(QWidget* before);
    /// The undo of the run's next change of the lower pane, to `incoming`.
    PlainTextBox::Undo lowerChange(TextView incoming);

    MainLayout& m_layout;
    const ParamControls& m_controls;
    FileCommands& m_files;
    WindowState& m_state;
    std::uint8_t m_operationCode = 0;
    /// This run changed the lower pane already.
    bool m_lowerChanged = false;
};

}  // namespace kivo::window
