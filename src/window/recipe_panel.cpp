#include "window/recipe_panel.h"

#include <exception>
#include <utility>

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "ops/recipe.h"
#include "ops/registry.h"
#include "text/dates.h"
#include "text/utf8.h"
#include "window/controls.h"
#include "window/file_dialog.h"
#include "window/main_layout.h"
#include "window/qtext.h"
#include "window/run_controller.h"
#include "window/spoken_names.h"
#include "window/tab_page.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

// What a step shows: its recipe line, or its operation's name when a value keeps it off one line
// (a replacement list read with --rules=FILE).
QString displayed(const OperationCall& call) {
    const RecipeLine line = recipeLine(call);
    return QString::fromStdString(line.refusal.empty() ? line.line : call.op->name + " …");
}

// --rules=FILE in a recipe the window opens names a file beside the recipe unless its path is
// absolute.
RulesFileReader rulesBeside(const QString& recipePath) {
    const QDir folder = QFileInfo(recipePath).absoluteDir();
    return [folder](const std::string& path) {
        const QString rules = folder.absoluteFilePath(QString::fromStdString(path));
        const std::optional<std::string> bytes = readFileBytes(rules);
        std::optional<OpenedText> opened = bytes ? decodeTextFile(*bytes) : std::nullopt;
        if (!opened) throw UsageError{"cannot read the rules file '" + path + "'"};
        return std::move(opened->text);
    };
}

}  // namespace

RecipePanel::RecipePanel(QMainWindow* window, MainLayout& layout, const ParamControls& controls,
                         RunController& run, WindowState& state)
    : QDockWidget(kRecipeCaption, window),
      m_layout(layout),
      m_controls(controls),
      m_run(run),
      m_state(state),
      m_ownDialogs(std::make_unique<QtFileDialogs>(window)),
      m_dialogs(m_ownDialogs.get()) {
    setObjectName(QStringLiteral("dockRecipe"));
    auto* inside = new QWidget(this);
    m_list = new QListWidget(inside);
    m_list->setObjectName(QStringLiteral("lstRecipe"));
    nameControl(m_list, spoken(QStringLiteral("レシピの手順"), QStringLiteral("Recipe steps")));
    // A double-click, or Enter on the step.
    connect(m_list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showStep(m_list->row(item)); });
    buildButtons(inside);
    setWidget(inside);
    window->addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    addMenuCommands(layout.fileMenu);
}

RecipePanel::~RecipePanel() = default;

void RecipePanel::buildButtons(QWidget* inside) {
    auto* grid = new QGridLayout(inside);
    grid->addWidget(m_list, 0, 0, 1, 3);
    struct Button {
        const char* objectName;
        QString caption;
        QString japaneseName;  // what a screen reader says: the caption alone is vague in a panel
        QString englishName;
    };
    const Button captions[] = {
        {"cmdRecipeAdd", kAddToRecipeCaption, kAddToRecipeCaption,
         QStringLiteral("Add the selected operation")},
        {"cmdRecipeUp", QStringLiteral("上へ"), QStringLiteral("選んだ手順を上へ"),
         QStringLiteral("Move step up")},
        {"cmdRecipeDown", QStringLiteral("下へ"), QStringLiteral("選んだ手順を下へ"),
         QStringLiteral("Move step down")},
        {"cmdRecipeRemove", QStringLiteral("削除"), QStringLiteral("選んだ手順を削除"),
         QStringLiteral("Remove step")},
        {"cmdRecipeRun", kRunRecipeCaption, kRunRecipeCaption, QStringLiteral("Run the recipe")},
        {"cmdRecipeOpen", QStringLiteral("開く…"), QStringLiteral("レシピを開く"),
         QStringLiteral("Open a recipe")},
        {"cmdRecipeSave", QStringLiteral("保存…"), QStringLiteral("レシピを保存"),
         QStringLiteral("Save the recipe")},
    };
    const std::function<void()> commands[] = {
        [this] { addSelected(); }, [this] { move(-1); }, [this] { move(1); }, [this] { remove(); },
        [this] { run(); },         [this] { open(); },   [this] { save(); },
    };
    // The add and run buttons span the panel; the others share rows of three.
    const int places[][3] = {{1, 0, 3}, {2, 0, 1}, {2, 1, 1}, {2, 2, 1}, {3, 0, 3}, {4, 0, 1}, {4, 1, 1}};
    for (std::size_t i = 0; i < std::size(captions); ++i) {
        auto* button = new QPushButton(captions[i].caption, inside);
        button->setObjectName(QLatin1String(captions[i].objectName));
        nameControl(button, spoken(captions[i].japaneseName, captions[i].englishName));
        connect(button, &QPushButton::clicked, this, commands[i]);
        grid->addWidget(button, places[i][0], places[i][1], 1, places[i][2]);
    }
}

void RecipePanel::addMenuCommands(QMenu* menu) {
    menu->addSeparator();
    QAction* toggle = toggleViewAction();
    toggle->setText(kRecipeCaption + QStringLiteral("(&L)"));
    toggle->setObjectName(QStringLiteral("mnuRecipe"));
    menu->addAction(toggle);
    m_recentMenu = menu->addMenu(kRecentRecipesCaption + QStringLiteral("(&K)"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecentRecipes"));
    rebuildRecentMenu();
}

bool RecipePanel::busy() const {
    return m_state.guard || !m_layout.execute->isEnabled();
}

QStringList RecipePanel::lines() const {
    QStringList lines;
    for (const OperationCall& call : m_steps)
        lines.append(displayed(call));
    return lines;
}

void RecipePanel::setSteps(std::vector<OperationCall> steps, int current) {
    m_steps = std::move(steps);
    m_list->clear();
    m_list->addItems(lines());
    m_list->setCurrentRow(current);
}

void RecipePanel::addSelected() {
    if (busy()) return;
    const int tab = m_layout.tabs->currentIndex();
    if (tab < 0) return;
    const TabPage& page = *m_layout.pages[static_cast<std::size_t>(tab)];
    const std::optional<std::uint8_t> code = page.selectedCode();
    if (!code) {
        m_state.inform(page.noSelectionMessage());
        return;
    }
    const OperationDeclaration& op = operation(*code);
    const RecipeLine line = recipeLine(op, m_controls.optionsOf(op));
    if (!line.refusal.empty()) {
        m_state.inform(toQString(line.refusal));
        return;
    }
    // The step is what the command line reads from its line, so that both run the same.
    std::vector<OperationCall> steps = m_steps;
    steps.push_back(parseStep(splitWords(line.line)));
    setSteps(std::move(steps), static_cast<int>(m_steps.size()));
}

void RecipePanel::move(int by) {
    const int row = m_list->currentRow();
    const int to = row + by;
    if (busy() || row < 0 || to < 0 || to >= static_cast<int>(m_steps.size())) return;
    std::vector<OperationCall> steps = m_steps;
    std::swap(steps[static_cast<std::size_t>(row)], steps[static_cast<std::size_t>(to)]);
    setSteps(std::move(steps), to);
}

void RecipePanel::remove() {
    const int row = m_list->currentRow();
    if (busy() || row < 0) return;
    std::vector<OperationCall> steps = m_steps;
    steps.erase(steps.begin() + row);
    setSteps(std::move(steps), std::min(row, static_cast<int>(steps.size()) - 1));
}

void RecipePanel::showStep(int row) {
    if (busy() || row < 0 || row >= static_cast<int>(m_steps.size())) return;
    const OperationCall& call = m_steps[static_cast<std::size_t>(row)];
    auto* selector = m_layout.tabs->findChild<QAbstractButton*>(QString::fromStdString(call.op->selector));
    if (!selector) return;
    GuardHold hold(m_state);
    for (std::size_t tab = 0; tab < m_layout.pages.size(); ++tab)
        if (m_layout.pages[tab]->isAncestorOf(selector))
            m_layout.tabs->setCurrentIndex(static_cast<int>(tab));
    selector->setChecked(true);
    std::vector<OptionText> options;
    const OptionTexts texts = call.texts(today());
    for (const auto& [option, text] : texts.all())
        options.push_back({option, text});
    m_controls.show(*call.op, options);
}

void RecipePanel::run() {
    if (busy()) return;
    if (m_steps.empty()) {
        m_state.inform(kRecipeEmpty);
        return;
    }
    std::vector<RecipeStep> steps;
    for (const OperationCall& call : m_steps)
        steps.push_back({call, {}});
    emit runStarting();
    const std::optional<std::size_t> refused = m_run.runRecipe(steps);
    emit runEnded();
    if (refused) m_list->setCurrentRow(static_cast<int>(*refused));
}

void RecipePanel::open() {
    if (busy()) return;
    const OpenChoice choice = m_dialogs->chooseFileToOpen(m_history.folder);
    if (!choice.path.isEmpty()) openFile(choice.path, choice.encoding);
}

void RecipePanel::openFile(const QString& path, OpenEncoding encoding) {
    if (busy()) return;
    std::vector<OperationCall> steps;
    try {
        const std::optional<std::string> bytes = readFileBytes(path);
        const std::optional<OpenedText> opened = bytes ? decodeTextFile(*bytes, encoding) : std::nullopt;
        if (!opened) {
            m_state.show(Icon::Exclamation, kRecipeOpenFailed);
            return;
        }
        const std::string name = QFileInfo(path).fileName().toStdString();
        for (RecipeStep& step : parseRecipe(utf8::encode(opened->text), name, rulesBeside(path)))
            steps.push_back(std::move(step.call));
    } catch (const UsageError& e) {
        m_state.show(Icon::Exclamation,
                     kRecipeOpenFailed + QLatin1Char('\n') + QString::fromStdString(e.message));
        return;
    } catch (const std::exception&) {
        m_state.show(Icon::Exclamation, kRecipeOpenFailed);
        return;
    }
    setSteps(std::move(steps), 0);
    show();
    recipeUsed(path);
}

void RecipePanel::save() {
    if (busy()) return;
    if (m_steps.empty()) {
        m_state.inform(kRecipeEmpty);
        return;
    }
    std::string text;
    for (const OperationCall& call : m_steps) {
        const RecipeLine line = recipeLine(call);
        if (!line.refusal.empty()) {
            m_state.inform(toQString(line.refusal));
            return;
        }
        text += line.line + '\n';
    }
    // UTF-8 with Lf, as the command line's recipes are written.
    const SaveChoice choice =
        m_dialogs->chooseFileToSave(m_history.folder, {TextEncoding::Utf8, LineBreak::Lf});
    if (choice.path.isEmpty()) return;
    bool written = false;
    try {
        const Text lines = *utf8::decode(text);
        // A recipe loses nothing: an encoding that cannot hold a character is not used.
        const bool holdsAll = !unmappableIndex(lines, choice.format.encoding);
        written = writeFileBytes(choice.path, holdsAll ? encodeTextFile(lines, choice.format) : text);
    } catch (const std::exception&) {
        written = false;
    }
    if (!written) {
        m_state.show(Icon::Exclamation, kRecipeSaveFailed);
        return;
    }
    recipeUsed(choice.path);
}

void RecipePanel::restoreHistory(const FileHistory& history) {
    m_history = history;
    rebuildRecentMenu();
}

void RecipePanel::recipeUsed(const QString& path) {
    m_history.used(path);
    rebuildRecentMenu();
}

void RecipePanel::rebuildRecentMenu() {
    fillRecentMenu(m_recentMenu, m_history.recent, [this](const QString& path) { openFile(path); });
}

}  // namespace kivo::window
