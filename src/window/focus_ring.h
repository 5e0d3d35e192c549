#pragma once

#include <QObject>

class QMainWindow;
class QWidget;

namespace kivo::window {

class MainLayout;

/// The window's regions in the order F6 visits them: the upper pane, the condition tab on show,
/// the lower pane and the run buttons; Shift+F6 goes the other way. In a pane, where Tab types a
/// Tab, Ctrl+Tab and Ctrl+Shift+Tab leave the same way. A region that is hidden or disabled (the
/// tabs while the text area is wide, all but the lower pane and Stop during a run) is passed over.
class FocusRing final : public QObject {
public:
    FocusRing(QMainWindow* window, MainLayout& layout);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Region { Upper, Tabs, Lower, RunButtons, kRegions };

    /// Moves the focus to the next region (`step` 1) or the previous one (-1).
    void move(int step);
    /// The region that holds `w`, or -1 for a widget of none (the menu bar, the focus target).
    int regionOf(const QWidget* w) const;
    /// The control that gets the focus in `region`, or null when the region cannot take it now.
    QWidget* entryOf(int region) const;
    QWidget* operationOnShow() const;

    MainLayout& m_layout;
};

}  // namespace kivo::window
