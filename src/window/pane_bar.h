#pragma once

#include <vector>

#include <QWidget>

namespace kivo::window {

/// The row of buttons under a text pane: its buttons packed against the pane's right edge (or its
/// left edge while the text area is wide), and a mark centred under the pane with the widgets
/// that go with it to its left.
class PaneBar final : public QWidget {
    Q_OBJECT

public:
    /// `side` left to right; `centred` is the mark, `beforeCentred` the widgets left of it. Every
    /// widget keeps its own size, but the mark narrows to its words where the bar is short of
    /// room.
    PaneBar(QWidget* parent, std::vector<QWidget*> side, QWidget* centred = nullptr,
            std::vector<QWidget*> beforeCentred = {});

    /// Packs the buttons against the left edge (true) or the right edge (false).
    void packLeft(bool left);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    static int widthOf(const std::vector<QWidget*>& widgets);

    std::vector<QWidget*> m_side;
    QWidget* m_centred;
    std::vector<QWidget*> m_beforeCentred;
    int m_markWidth;
    bool m_left = false;
};

}  // namespace kivo::window
