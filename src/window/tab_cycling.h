#pragma once

#include <vector>

#include <QPointer>

class QAbstractButton;
class QMainWindow;
class QObject;

namespace kivo::window {

class MainLayout;
struct WindowState;

/// How the keyboard and the tab strip move between the condition tabs: a touch of the strip
/// selects the first operation of the tab it shows, and a Tab from an AllReset button goes on to
/// the first operation of the next tab. Each tab's access key goes to the strip unless a control
/// of the tab on show has it.
class TabCycling {
public:
    TabCycling(QMainWindow* window, MainLayout& layout, WindowState& state);
    /// Removes the event hooks, which use what goes before the window's controls do.
    ~TabCycling();
    TabCycling(const TabCycling&) = delete;
    TabCycling& operator=(const TabCycling&) = delete;

private:
    void hookStrip();
    void hookAllResetButtons();
    /// Selects the first operation of `tab` (ticks `Check3` on tab 2) and gives it the focus.
    void focusFirstOperation(int tab);
    QAbstractButton* firstOperation(int tab) const;
    void tabStripTouched();
    /// Gives each tab's access key (Alt+1 …) to the strip, except one that a control of the tab on
    /// show has as its own (the loop generator's fourteenth row has Alt+6).
    void shareTabKeys();
    void passFocusToNextTab();
    /// Moves the tab control to `position` (0-based) among the stops of the window's Tab order.
    void putTabsInFocusOrder(int position);

    QMainWindow* m_window;
    MainLayout& m_layout;
    WindowState& m_state;
    std::vector<QPointer<QObject>> m_hooks;
};

}  // namespace kivo::window
