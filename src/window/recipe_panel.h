#pragma once

#include <memory>
#include <vector>

#include <QDockWidget>
#include <QString>

#include "ops/option_words.h"
#include "window/text_files.h"

class QListWidget;
class QMainWindow;
class QMenu;
class QPushButton;

namespace kivo::window {

class FileDialogs;
class MainLayout;
class ParamControls;
class RunController;
struct WindowState;

inline const QString kRecipeCaption = QStringLiteral("レシピ");
inline const QString kAddToRecipeCaption = QStringLiteral("この処理をレシピに追加");
inline const QString kRunRecipeCaption = QStringLiteral("レシピを実行");
inline const QString kRecentRecipesCaption = QStringLiteral("最近使ったレシピ");
inline const QString kRecipeEmpty = QStringLiteral("レシピに処理がありません。");
inline const QString kRecipeOpenFailed = QStringLiteral("レシピを開けませんでした。");
inline const QString kRecipeSaveFailed = QStringLiteral("レシピを保存できませんでした。");

/// The recipe panel: a list of steps, each an operation with its options as the command line's
/// recipe files write it, made from the tabs' selection, run on the upper text as one run, and
/// kept in and read from those files. Hidden until the File menu shows it.
class RecipePanel final : public QDockWidget {
    Q_OBJECT

public:
    /// Docks itself beside the tabs and adds its commands to the layout's File menu.
    RecipePanel(QMainWindow* window, MainLayout& layout, const ParamControls& controls, RunController& run,
                WindowState& state);
    ~RecipePanel() override;

    /// Replaces the file dialogs (tests); `dialogs` must outlive the panel.
    void setFileDialogs(FileDialogs* dialogs) { m_dialogs = dialogs; }
    /// The steps' lines, as a recipe file holds them.
    QStringList lines() const;
    const FileHistory& history() const { return m_history; }
    /// The folder and the recipes of the last session.
    void restoreHistory(const FileHistory& history);

    /// 「この処理をレシピに追加」: the selected operation with the options its controls hold.
    void addSelected();
    /// Double-click or Enter: the step's operation selected on its tab, its controls set to its options.
    void showStep(int row);
    /// 「レシピを実行」.
    void run();
    void open();
    void openFile(const QString& path, OpenEncoding encoding = OpenEncoding::Auto);
    void save();

signals:
    /// 「レシピを実行」 is about to run the steps, and has run them: a preview must not cover
    /// the lower pane the run writes to.
    void runStarting();
    void runEnded();

private:
    void buildButtons(QWidget* inside);
    void addMenuCommands(QMenu* menu);
    void move(int by);
    void remove();
    void setSteps(std::vector<OperationCall> steps, int current);
    void recipeUsed(const QString& path);
    void rebuildRecentMenu();
    bool busy() const;

    MainLayout& m_layout;
    const ParamControls& m_controls;
    RunController& m_run;
    WindowState& m_state;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    FileDialogs* m_dialogs = nullptr;
    QListWidget* m_list = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::vector<OperationCall> m_steps;
    FileHistory m_history;
};

}  // namespace kivo::window
