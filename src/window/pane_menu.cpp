#include "window/pane_menu.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include "window/pane_clipboard.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

const QString kMenuCopyFailed = QStringLiteral("クリップボードにコピーの際にエラーしました。");
const QString kCutFailed = QStringLiteral("切り取りに失敗しました。");
const QString kPasteFailed = QStringLiteral("貼り付けに失敗しました。");
const QString kPasteTooLarge = QStringLiteral("貼り付ける文字列が大きすぎます。");
const QString kDeleteFailed = QStringLiteral("削除に失敗しました。");
const QString kSelectAllFailed = QStringLiteral("エラーしました。");
const QString kButtonCopyFailed = QStringLiteral("クリップボードにコピーする際にエラーしました。");
const QString kUpperEmpty = QStringLiteral("上部テキストボックスに文字がありません。");
const QString kLowerEmpty = QStringLiteral("下部テキストボックスに文字がありません。");
const QString kUpperReset = QStringLiteral("上部テキストボックスをリセットします、よろしいですか？");
const QString kLowerReset = QStringLiteral("下部テキストボックスをリセットします、よろしいですか？");

}  // namespace

Text replaceSelection(TextView text, std::size_t start, std::size_t length, TextView insert) {
    start = std::min(start, text.size());
    length = std::min(length, text.size() - start);
    Text out;
    out.reserve(text.size() - length + insert.size());
    out.append(text.substr(0, start));
    out.append(insert);
    out.append(text.substr(start + length));
    return out;
}

PaneCommands::PaneCommands(WindowState& state, PlainTextBox* upper, PlainTextBox* lower, QWidget* menuParent)
    : QObject(menuParent), m_state(state), m_upper(upper), m_lower(lower) {
    m_menu = new QMenu(QStringLiteral("メニュー"), menuParent);
    m_menu->setObjectName(QStringLiteral("mnuMenu"));
    auto item = [this](const char* name, const QString& caption, void (PaneCommands::*slot)()) {
        QAction* a = m_menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_undo = item("mnuUndo", QStringLiteral("元に戻す"), &PaneCommands::undo);
    m_redo = item("mnuRedo", QStringLiteral("やり直し"), &PaneCommands::redo);
    m_menu->addSeparator();
    m_tab = item("mnuTab", QStringLiteral("Tabを追加"), &PaneCommands::insertTab);
    m_menu->addSeparator();
    m_cut = item("mnuCut", QStringLiteral("切り取り"), &PaneCommands::cut);
    m_copy = item("mnuCopy", QStringLiteral("コピー"), &PaneCommands::copy);
    m_paste = item("mnuPaste", QStringLiteral("貼り付け"), &PaneCommands::paste);
    m_delete = item("mnuDelete", QStringLiteral("削除"), &PaneCommands::remove);
    m_menu->addSeparator();
    m_all = item("mnuAll", QStringLiteral("すべて選択"), &PaneCommands::selectAll);
    m_menu->addSeparator();
    m_moveUp = item("mnuMoveUp", kMoveUpCaption, &PaneCommands::moveResultUp);

    for (PlainTextBox* pane : {upper, lower}) {
        // The pane's own menu would bypass the enabling rules and the target pane.
        pane->setContextMenuPolicy(Qt::PreventContextMenu);
        pane->installEventFilter(this);
        pane->viewport()->installEventFilter(this);
        // After the key or the drop that brought the text: the message box waits for no event.
        connect(
            pane, &PlainTextBox::pasteRefused, this, [this] { fail(kPasteTooLarge); }, Qt::QueuedConnection);
    }
}

void PaneCommands::attachMoveUp(QPushButton* moveUp) {
    connect(moveUp, &QPushButton::clicked, this, &PaneCommands::moveResultUp);
}

void PaneCommands::moveResultUp() {
    if (m_state.guard || m_lower->isEmpty()) return;
    GuardHold hold(m_state);
    try {
        m_upper->assign(m_lower->text(), PlainTextBox::Undo::Step);
        m_lower->assign(Text());
        m_upper->setFocus();
        emit movedUp();
    } catch (const std::exception&) {
        // Out of memory copying the text: both panes keep what they show.
    }
}

void PaneCommands::attachButtons(PlainTextBox* pane, QPushButton* copy, QPushButton* reset) {
    connect(copy, &QPushButton::clicked, this, [this, pane] {
        if (m_state.guard) return;
        GuardHold hold(m_state);
        copyWhole(pane);
    });
    connect(reset, &QPushButton::clicked, this, [this, pane] {
        if (m_state.guard) return;
        GuardHold hold(m_state);
        this->reset(pane);
    });
}

bool PaneCommands::eventFilter(QObject* watched, QEvent* event) {
    for (PlainTextBox* pane : {m_upper, m_lower}) {
        if (watched == pane && event->type() == QEvent::KeyPress)
            return filterControlKey(pane, static_cast<QKeyEvent*>(event));
        if (watched == pane->viewport() && event->type() == QEvent::MouseButtonRelease)
            mouseReleased(pane, static_cast<QMouseEvent*>(event));
    }
    return false;
}

bool PaneCommands::filterControlKey(PlainTextBox* pane, const QKeyEvent* event) {
    if (event->modifiers() != Qt::ControlModifier) return false;
    // During a run the lower pane stays enabled; its filter must not pump events into the run.
    if (!isUpper(pane) && m_state.guard) return false;
    std::optional<GuardHold> hold;
    if (!isUpper(pane)) hold.emplace(m_state);
    // A clipboard change still in the queue must arrive before the clipboard is judged.
    QCoreApplication::processEvents();
    if (event->key() != Qt::Key_V || !m_clipboard) return false;
    // The text that decides is the text pasted: a clipboard owner may serve its data only so many
    // times, and a second read would find nothing (or something else).
    const std::optional<QString> text = clipboardText();
    if (!text) {
        fail(kPasteTooLarge);
    } else {
        pane->insertPasted(*text);
    }
    return true;
}

std::optional<QString> PaneCommands::clipboardText() const {
    try {
        return m_clipboard ? m_clipboard->text() : QString();
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void PaneCommands::mouseReleased(PlainTextBox* pane, const QMouseEvent* event) {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    m_target = isUpper(pane) ? 1 : 2;
    // Only the menu needs the clipboard's text: a left click leaves the clipboard's owner alone.
    if (event->button() != Qt::RightButton) return;
    m_clipboardText = clipboardText().value_or(QString());
    const TextSelection sel = pane->selection();
    const bool selected = sel.length >= 1;
    m_cut->setEnabled(selected);
    m_copy->setEnabled(selected);
    m_delete->setEnabled(selected);
    m_paste->setEnabled(!m_clipboardText.isEmpty());
    m_all->setEnabled(!pane->isEmpty() && sel.length != pane->text().size());
    m_tab->setEnabled(true);
    m_undo->setEnabled(pane->document()->isUndoAvailable());
    m_redo->setEnabled(pane->document()->isRedoAvailable());
    m_moveUp->setEnabled(!m_lower->isEmpty());
    m_menu->popup(pane->viewport()->mapToGlobal(event->position().toPoint()));
}

PlainTextBox* PaneCommands::target() const {
    return m_target == 1 ? m_upper : m_lower;
}

void PaneCommands::fail(const QString& message) const {
    m_state.show(Icon::Exclamation, message);
}

void PaneCommands::undo() {
    target()->undo();
}

void PaneCommands::redo() {
    target()->redo();
}

void PaneCommands::insertTab() {
    PlainTextBox* pane = target();
    try {
        const TextSelection sel = pane->selection();
        pane->assign(replaceSelection(pane->text(), sel.start, sel.length, u"\t"), PlainTextBox::Undo::Step);
        pane->setFocus();
        pane->select(sel.start + 1);
    } catch (const std::exception&) {
        // Only running out of memory gets here; the pane keeps its text.
    }
}

void PaneCommands::copy() {
    PlainTextBox* pane = target();
    try {
        const TextSelection sel = pane->selection();
        const Text selected = pane->text().substr(sel.start, sel.length);
        if (!m_clipboard || !m_clipboard->setText(toQString(selected))) return fail(kMenuCopyFailed);
        pane->select(sel.start + sel.length);
    } catch (const std::exception&) {
        fail(kMenuCopyFailed);
    }
}

void PaneCommands::cut() {
    PlainTextBox* pane = target();
    try {
        const TextSelection sel = pane->selection();
        const Text text = pane->text();
        const Text selected = text.substr(sel.start, sel.length);
        Text rest = replaceSelection(text, sel.start, sel.length, {});
        if (!m_clipboard || !m_clipboard->setText(toQString(selected))) return fail(kCutFailed);
        pane->assign(rest, PlainTextBox::Undo::Step);
        pane->select(sel.start);
    } catch (const std::exception&) {
        fail(kCutFailed);
    }
}

void PaneCommands::paste() {
    PlainTextBox* pane = target();
    try {
        const TextSelection sel = pane->selection();
        // The clipboard is read again; an owner that served its text only once, to the menu, gives
        // nothing now, and the selection must not be replaced by that nothing.
        QString clipboard = m_clipboard ? m_clipboard->text() : QString();
        if (clipboard.isEmpty()) clipboard = m_clipboardText;
        if (clipboard.isEmpty()) return;
        // The pane holds CrLf line breaks; clipboard text may bring Lf or Cr alone.
        const Text pasted = withLineBreaks(toText(clipboard), u"\r\n");
        Text pasteResult = replaceSelection(pane->text(), sel.start, sel.length, pasted);
        if (!PlainTextBox::canShow(pasteResult)) return fail(kPasteTooLarge);
        pane->assign(pasteResult, PlainTextBox::Undo::Step);
        pane->select(sel.start + pasted.size());
    } catch (const std::exception&) {
        fail(kPasteFailed);
    }
}

void PaneCommands::remove() {
    PlainTextBox* pane = target();
    try {
        const TextSelection sel = pane->selection();
        pane->assign(replaceSelection(pane->text(), sel.start, sel.length, {}), PlainTextBox::Undo::Step);
        pane->select(sel.start);
    } catch (const std::exception&) {
        fail(kDeleteFailed);
    }
}

void PaneCommands::selectAll() {
    PlainTextBox* pane = target();
    try {
        pane->select(0, pane->text().size());
    } catch (const std::exception&) {
        fail(kSelectAllFailed);
    }
}

void PaneCommands::copyWhole(PlainTextBox* pane) {
    if (pane->isEmpty()) {
        m_state.inform(isUpper(pane) ? kUpperEmpty : kLowerEmpty);
        return;
    }
    try {
        if (m_clipboard && m_clipboard->setText(toQString(pane->text()))) return;
    } catch (const std::exception&) {
        // Out of memory copying the text: reported below like a refusing clipboard.
    }
    fail(kButtonCopyFailed);
}

void PaneCommands::reset(PlainTextBox* pane) {
    if (m_state.ask(isUpper(pane) ? kUpperReset : kLowerReset) != Answer::Yes) return;
    pane->assign(Text(), PlainTextBox::Undo::Step);
    pane->setFocus();
    emit emptied(pane);
}

}  // namespace kivo::window
