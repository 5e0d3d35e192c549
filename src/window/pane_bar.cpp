#include "window/pane_bar.h"

#include <algorithm>

namespace kivo::window {
namespace {

// Between the mark and the widgets before it.
constexpr int kGap = 4;

}  // namespace

PaneBar::PaneBar(QWidget* parent, std::vector<QWidget*> side, QWidget* centred,
                 std::vector<QWidget*> beforeCentred)
    : QWidget(parent),
      m_side(std::move(side)),
      m_centred(centred),
      m_beforeCentred(std::move(beforeCentred)) {
    for (QWidget* w : m_side)
        w->setParent(this);
    for (QWidget* w : m_beforeCentred)
        w->setParent(this);
    if (m_centred) m_centred->setParent(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PaneBar::packLeft(bool left) {
    m_left = left;
    place();
}

int PaneBar::widthOf(const std::vector<QWidget*>& widgets) {
    int width = 0;
    for (const QWidget* w : widgets)
        width += w->width();
    return width;
}

// Wide enough that the centred group never meets the buttons, whichever side they are on.
QSize PaneBar::sizeHint() const {
    int height = 0;
    for (const QWidget* w : m_side)
        height = std::max(height, w->height());
    if (!m_centred) return {widthOf(m_side), height};
    const int halfMark = (m_centred->width() + 1) / 2;
    const int leftOfCentre = std::max(halfMark + kGap + widthOf(m_beforeCentred), widthOf(m_side) + halfMark);
    height = std::max(height, m_centred->height());
    return {2 * leftOfCentre, height};
}

void PaneBar::resizeEvent(QResizeEvent*) {
    place();
}

void PaneBar::place() {
    int x = m_left ? 0 : width() - widthOf(m_side);
    for (QWidget* w : m_side) {
        w->move(x, 0);
        x += w->width();
    }
    if (!m_centred) return;
    x = width() / 2 - m_centred->width() / 2;
    m_centred->move(x, 0);
    x -= kGap;
    for (auto it = m_beforeCentred.rbegin(); it != m_beforeCentred.rend(); ++it) {
        x -= (*it)->width();
        (*it)->move(x, 0);
    }
}

}  // namespace kivo::window
