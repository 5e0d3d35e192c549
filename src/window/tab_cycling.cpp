#include "window/tab_cycling.h"

#include <algorithm>
#include <functional>

#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "window/main_layout.h"
#include "window/tab_page.h"
#include "window/window_state.h"

namespace kivo::window {
namespace {

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

TabCycling::TabCycling(QMainWindow* window, MainLayout& layout, WindowState& state)
    : m_window(window), m_layout(layout), m_state(state) {
    shareTabKeys();
    // The connection goes with the hooks, before the tab control does.
    auto* onTabChange = new QObject(layout.tabs);
    m_hooks.emplace_back(onTabChange);
    QObject::connect(layout.tabs, &QTabWidget::currentChanged, onTabChange, [this] { shareTabKeys(); });
    hookStrip();
    hookAllResetButtons();
}

TabCycling::~TabCycling() {
    for (const QPointer<QObject>& hook : m_hooks)
        delete hook.data();
}

void TabCycling::hookStrip() {
    QTabBar* strip = m_layout.tabs->tabBar();
    m_hooks.emplace_back(new EventHook(strip, [this, strip](QEvent* event) {
        switch (event->type()) {
            case QEvent::FocusIn:
                // A run disables the focused Execute button, and Qt hands the focus to the strip:
                // that is no user touching the strip, and the run's operation must stay selected.
                if (m_state.guard) return false;
                m_state.focusCycling = false;
                focusFirstOperation(m_layout.tabs->currentIndex());
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
    }));
}

void TabCycling::hookAllResetButtons() {
    for (TabPage* page : m_layout.pages) {
        m_hooks.emplace_back(new EventHook(page->allResetButton(), [this](QEvent* event) {
            if (event->type() != QEvent::FocusOut || m_state.focusCycling) return false;
            if (static_cast<const QFocusEvent*>(event)->reason() != Qt::TabFocusReason) return false;
            m_layout.textFocus->setFocus(Qt::TabFocusReason);
            // The Tab that left the button goes on past the focus target, which turns the tab.
            if (m_layout.textFocus->hasFocus()) m_layout.textFocus->clearFocus();
            return false;
        }));
    }
    m_hooks.emplace_back(new EventHook(m_layout.textFocus, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut && !m_state.focusCycling && movesInsideWindow(event))
            passFocusToNextTab();
        return false;
    }));
    if (auto* text40 = m_window->findChild<QWidget*>(QStringLiteral("Text40"))) {
        m_hooks.emplace_back(new EventHook(text40, [this](QEvent* event) {
            if (event->type() == QEvent::FocusIn) putTabsInFocusOrder(kTabsFocusPosition);
            return false;
        }));
    }
}

void TabCycling::focusFirstOperation(int tab) {
    if (tab < 0 || tab >= static_cast<int>(m_layout.pages.size())) return;
    QAbstractButton* first = firstOperation(tab);
    first->setChecked(true);
    first->setFocus();
}

QAbstractButton* TabCycling::firstOperation(int tab) const {
    return m_layout.pages[static_cast<std::size_t>(tab)]->operations().front();
}

void TabCycling::tabStripTouched() {
    if (m_state.guard) return;
    GuardHold hold(m_state);
    m_state.focusCycling = false;
    focusFirstOperation(m_layout.tabs->currentIndex());
}

void TabCycling::shareTabKeys() {
    const QTabWidget* tabs = m_layout.tabs;
    const QWidget* shown = tabs->currentWidget();
    auto ownedOnShownTab = [shown](const QKeySequence& key) {
        for (const QAbstractButton* b : shown->findChildren<QAbstractButton*>())
            if (QKeySequence::mnemonic(b->text()) == key) return true;
        for (const QLabel* l : shown->findChildren<QLabel*>())
            if (QKeySequence::mnemonic(l->text()) == key) return true;
        return false;
    };
    for (int tab = 0; tab < tabs->count(); ++tab) {
        const QString number = QString::number(tab + 1);
        const bool owned = ownedOnShownTab(QKeySequence::mnemonic(u'&' + number));
        m_layout.tabs->setTabText(tab,
                                  (owned ? QStringLiteral("%1(%1)") : QStringLiteral("%1(&%1)")).arg(number));
    }
}

void TabCycling::passFocusToNextTab() {
    QTabWidget* tabs = m_layout.tabs;
    const int tab = tabs->currentIndex();
    if (tab < 0) return;
    const int next = (tab + 1) % tabs->count();
    firstOperation(tab)->setChecked(true);
    tabs->setCurrentIndex(next);
    focusFirstOperation(next);
}

void TabCycling::putTabsInFocusOrder(int position) {
    QTabWidget* tabs = m_layout.tabs;
    // The stops of the window's Tab order in their order, the tab control once for all it holds.
    QList<QWidget*> stops;
    for (QWidget* w = m_window->nextInFocusChain(); w && w != m_window; w = w->nextInFocusChain()) {
        if (w == tabs || tabs->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) stops.append(w);
    }
    if (position < 1 || stops.isEmpty()) return;
    QWidget::setTabOrder(stops[std::min<qsizetype>(position, stops.size()) - 1], tabs);
}

}  // namespace kivo::window
