#include "window/focus_ring.h"

#include <initializer_list>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#include "window/main_layout.h"
#include "window/tab_page.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

bool canTakeFocus(const QWidget* w) {
    return w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}

QWidget* firstThatCanTakeFocus(std::initializer_list<QWidget*> candidates) {
    for (QWidget* w : candidates)
        if (canTakeFocus(w)) return w;
    return nullptr;
}

bool isOneOf(const QWidget* w, std::initializer_list<const QWidget*> widgets) {
    for (const QWidget* candidate : widgets)
        if (w == candidate) return true;
    return false;
}

}  // namespace

FocusRing::FocusRing(QMainWindow* window, MainLayout& layout) : QObject(window), m_layout(layout) {
    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), window);
    connect(next, &QShortcut::activated, this, [this] { move(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), window);
    connect(previous, &QShortcut::activated, this, [this] { move(-1); });
    for (PlainTextBox* pane : {layout.upper, layout.lower})
        pane->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::ControlModifier)) return false;
    // Ctrl+Shift+Tab comes as Backtab from most keyboards, as Tab with Shift from others.
    const bool backwards = key->key() == Qt::Key_Backtab ||
                           (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    if (!backwards && key->key() != Qt::Key_Tab) return false;
    move(backwards ? -1 : 1);
    return true;
}

void FocusRing::move(int step) {
    int region = regionOf(QApplication::focusWidget());
    // From outside every region F6 begins with the upper pane, Shift+F6 with the run buttons.
    if (region < 0) region = step > 0 ? kRegions - 1 : 0;
    for (int tried = 0; tried < kRegions; ++tried) {
        region = (region + step + kRegions) % kRegions;
        if (QWidget* entry = entryOf(region)) {
            // Not a Tab: leaving an AllReset button this way must not turn the tab.
            entry->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

int FocusRing::regionOf(const QWidget* w) const {
    const MainLayout& l = m_layout;
    if (!w) return -1;
    if (isOneOf(w, {l.upper, l.copyUpper, l.resetUpper, l.moveUp})) return Upper;
    if (w == l.tabs || l.tabs->isAncestorOf(w)) return Tabs;
    if (isOneOf(w, {l.lower, l.copyLower, l.resetLower})) return Lower;
    if (isOneOf(w, {l.stop, l.execute, l.widen})) return RunButtons;
    return -1;
}

QWidget* FocusRing::entryOf(int region) const {
    switch (region) {
        case Upper:
            return firstThatCanTakeFocus({m_layout.upper});
        case Tabs:
            return canTakeFocus(m_layout.tabs->tabBar()) ? operationOnShow() : nullptr;
        case Lower:
            return firstThatCanTakeFocus({m_layout.lower});
        default:
            // While the text area is wide only its restore button leads back to the run buttons.
            return firstThatCanTakeFocus({m_layout.execute, m_layout.stop, m_layout.widen});
    }
}

// The selected operation of the tab on show, so that coming in changes no choice; the first one
// when none is selected.
QWidget* FocusRing::operationOnShow() const {
    const int tab = m_layout.tabs->currentIndex();
    if (tab < 0) return nullptr;
    const std::vector<QAbstractButton*>& operations =
        m_layout.pages[static_cast<std::size_t>(tab)]->operations();
    for (QAbstractButton* op : operations)
        if (op->isChecked() && canTakeFocus(op)) return op;
    for (QAbstractButton* op : operations)
        if (canTakeFocus(op)) return op;
    return nullptr;
}

}  // namespace kivo::window
