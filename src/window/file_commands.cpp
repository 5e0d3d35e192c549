#include "window/file_commands.h"

#include <exception>
#include <iterator>

#include <QApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>

#include "window/file_dialog.h"
#include "window/main_layout.h"
#include "window/text_box.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

const QString kOpenFailed = QStringLiteral("ファイルを開けませんでした。");
const QString kUpperSaveEmpty = QStringLiteral("上部テキストに文字、文字列がありません。");
const QString kLowerSaveEmpty = QStringLiteral("下部テキストに文字、文字列がありません。");
const QString kUpperSaveFailed = QStringLiteral("上部テキストファイルを保存できませんでした。");
const QString kLowerSaveFailed = QStringLiteral("下部テキストファイルを保存できませんでした。");
const QString kNotTextFile =
    QStringLiteral("文字コードを判別できないため開けませんでした。文字コードを指定して開いて下さい。");
const QString kLossySaveAs = QStringLiteral(
    "このファイルには指定の文字コードで読めなかったバイトがあり、上書きすると元に戻せません。"
    "名前を付けて保存します。");
const QString kReopenCaption = QStringLiteral("文字コードを指定して開き直す(&E)");

QString utf8Question(TextEncoding encoding) {
    return encodingCaption(encoding) +
           QStringLiteral("で保存できない文字が含まれています、UTF-8で保存しますか？");
}

}  // namespace

FileCommands::FileCommands(QMainWindow* window, MainLayout& layout, WindowState& state)
    : QObject(window),
      m_window(window),
      m_layout(layout),
      m_state(state),
      m_ownDialogs(std::make_unique<QtFileDialogs>(window)),
      m_dialogs(m_ownDialogs.get()) {
    buildMenu();
}

FileCommands::~FileCommands() = default;

void FileCommands::buildMenu() {
    QMenu* menu = m_layout.fileMenu;
    const std::pair<const char*, QString> items[] = {
        {"mnuOpen", QStringLiteral("開く(&U)")},
        {"mnuSave", QStringLiteral("上書き保存(&O)")},
        {"mnu1Name", QStringLiteral("上部テキストを名前をつけて保存(&V)")},
        {"mnu2Name", QStringLiteral("下部テキストを名前を付けて保存(&W)")},
    };
    QAction* actions[std::size(items)];
    int i = 0;
    for (const auto& [name, caption] : items) {
        actions[i] = menu->addAction(caption);
        actions[i++]->setObjectName(QLatin1String(name));
    }
    connect(actions[0], &QAction::triggered, this, &FileCommands::openFile);
    actions[1]->setShortcut(QKeySequence::Save);
    connect(actions[1], &QAction::triggered, this, &FileCommands::saveInPlace);
    connect(actions[2], &QAction::triggered, this, [this] { saveText(1); });
    connect(actions[3], &QAction::triggered, this, [this] { saveText(2); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == m_layout.upper || now == m_layout.lower) m_focusedTarget = now == m_layout.upper ? 1 : 2;
    });
    m_reopenMenu = menu->addMenu(kReopenCaption);
    m_reopenMenu->setObjectName(QStringLiteral("mnuReopen"));
    for (const auto& [caption, encoding] : reopenEncodings())
        connect(m_reopenMenu->addAction(caption), &QAction::triggered, this,
                [this, encoding = encoding] { reopen(encoding); });
    menu->addSeparator();
    m_recentMenu = menu->addMenu(kRecentFilesCaption + QStringLiteral("(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
    rebuildRecentMenu();
    updateTitle();
}

void FileCommands::rebuildRecentMenu() {
    fillRecentMenu(m_recentMenu, m_history.recent, [this](const QString& path) { openWithoutDialog(path); });
}

void FileCommands::fileUsed(const QString& path) {
    m_history.used(path);
    rebuildRecentMenu();
    updateTitle();
}

void FileCommands::updateTitle() {
    const QString& path = m_files[0].path;
    m_layout.fileFormat->setText(formatCaption(m_files[0]));
    m_reopenMenu->menuAction()->setEnabled(!path.isEmpty());
    m_window->setWindowTitle(path.isEmpty()
                                 ? kWindowCaption
                                 : QFileInfo(path).fileName() + QStringLiteral(" - ") + kWindowCaption);
}

void FileCommands::restore(const FileHistory& history, const PaneFile& upper, const PaneFile& lower) {
    m_history = history;
    m_files[0] = upper;
    m_files[1] = lower;
    rebuildRecentMenu();
    updateTitle();
}

void FileCommands::resultShown() {
    m_files[1] = {QString(), m_files[0].format};
}

void FileCommands::movedUp() {
    m_files[0].format = m_files[1].format;
    m_files[1] = {};
    updateTitle();
}

void FileCommands::emptied(const PlainTextBox* pane) {
    m_files[pane == m_layout.upper ? 0 : 1] = {};
    updateTitle();
}

bool FileCommands::busy() const {
    return m_state.guard || !m_layout.execute->isEnabled();
}

void FileCommands::openFile() {
    m_layout.status->setText(kOpeningCaption);
    m_layout.setBusy(true);
    const OpenChoice choice = m_dialogs->chooseFileToOpen(m_history.folder);
    openChosenFile(choice.path, choice.encoding);
}

void FileCommands::openWithoutDialog(const QString& path) {
    if (busy()) return;
    m_layout.status->setText(kOpeningCaption);
    m_layout.setBusy(true);
    if (openChosenFile(path, OpenEncoding::Auto)) return;
    // A recent file that went away is no longer offered.
    if (!QFileInfo::exists(path) && m_history.recent.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        rebuildRecentMenu();
}

void FileCommands::reopen(OpenEncoding encoding) {
    if (busy()) return;
    m_layout.status->setText(kOpeningCaption);
    m_layout.setBusy(true);
    openChosenFile(m_files[0].path, encoding);
}

bool FileCommands::openChosenFile(const QString& path, OpenEncoding encoding) {
    if (!path.isEmpty()) {
        m_layout.setBusy(true);
        if (const Loaded loaded = loadFile(path, encoding); loaded != Loaded::Yes) {
            m_layout.setBusy(false);
            m_state.show(Icon::Exclamation, loaded == Loaded::NotText ? kNotTextFile : kOpenFailed);
            return false;
        }
        if (m_state.closing && m_window->isVisible()) emit closeConfirmedWhileOpening();
    }
    // Opening never touches the lower pane, not even after a stopped run.
    m_layout.setBusy(false);
    return true;
}

FileCommands::Loaded FileCommands::loadFile(const QString& path, OpenEncoding encoding) {
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
        if (!m_layout.upper->assignDuringRun(
                std::move(opened.text), [this] { return m_state.closing; }, PlainTextBox::Undo::Step))
            return Loaded::No;
        m_files[0] = {info.absoluteFilePath(), opened.format, opened.guessed, opened.lossy};
        fileUsed(path);
        return Loaded::Yes;
    } catch (const std::exception&) {
        return Loaded::No;
    }
}

void FileCommands::saveInPlace() {
    if (busy()) return;
    const PaneFile& file = m_files[m_focusedTarget - 1];
    if (file.lossy) m_state.inform(kLossySaveAs);
    saveText(m_focusedTarget, file.lossy ? QString() : file.path);
}

void FileCommands::saveText(int target, const QString& path) {
    m_layout.status->setText(kSavingCaption);
    m_layout.setBusy(true);
    const PlainTextBox* pane = target == 1 ? m_layout.upper : m_layout.lower;
    try {
        if (pane->isEmpty()) {
            m_state.inform(target == 1 ? kUpperSaveEmpty : kLowerSaveEmpty);
        } else {
            saveToFile(pane->text(), target, path);
        }
    } catch (const std::exception&) {
        // Out of memory copying or encoding the text: the save fails as a failed write does.
        m_layout.setBusy(false);
        m_state.show(Icon::Exclamation, target == 1 ? kUpperSaveFailed : kLowerSaveFailed);
    }
    // Saving never empties the pane it saved, not even after a stopped run.
    m_layout.setBusy(false);
}

void FileCommands::saveToFile(const Text& text, int target, const QString& path) {
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
    const SaveChoice choice =
        path.isEmpty() ? m_dialogs->chooseFileToSave(m_history.folder, format) : SaveChoice{path, format};
    if (choice.path.isEmpty()) return;
    m_layout.setBusy(true);
    bool written = false;
    try {
        written = writeFileBytes(choice.path, encodeTextFile(text, choice.format));
    } catch (const std::exception&) {
        written = false;
    }
    m_layout.setBusy(false);
    if (!written) {
        m_state.show(Icon::Exclamation, target == 1 ? kUpperSaveFailed : kLowerSaveFailed);
        return;
    }
    file = {QFileInfo(choice.path).absoluteFilePath(), choice.format};
    fileUsed(choice.path);
}

}  // namespace kivo::window
