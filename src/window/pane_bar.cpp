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
      m_beforeCentred(std::move(beforeCentred)),
      m_markWidth(centred ? centred->width() : 0) {
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

// The buttons, and the mark narrowed to its words beside its widgets. As small as the bar can be
// and no larger, so that a narrow window takes its width from the panes before the tab area,
// whose lines would otherwise be cut; the room the window adds centres the mark.
QSize PaneBar::sizeHint() const {
    int height = 0;
    for (const QWidget* w : m_side)
        height = std::max(height, w->height());
    int width = widthOf(m_side);
    if (m_centred) {
        width += kGap + widthOf(m_beforeCentred) + kGap + m_centred->sizeHint().width();
        height = std::max(height, m_centred->height());
    }
    return {width, height};
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
    // The mark is centred under the pane with its widgets to its left; where the buttons leave no
    // room for that, the group keeps clear of them and the mark narrows to its words.
    const int freeLeft = m_left ? widthOf(m_side) + kGap : 0;
    const int freeRight = m_left ? width() : width() - widthOf(m_side) - kGap;
    const int before = widthOf(m_beforeCentred) + kGap;
    const int words = std::min(m_centred->sizeHint().width(), m_markWidth);
    const int mark = std::clamp(freeRight - freeLeft - before, words, m_markWidth);
    m_centred->resize(mark, m_centred->height());
    x = std::clamp(width() / 2 - mark / 2, freeLeft + before, std::max(freeLeft + before, freeRight - mark));
    m_centred->move(x, 0);
    x -= kGap;
    for (auto it = m_beforeCentred.rbegin(); it != m_beforeCentred.rend(); ++it) {
        x -= (*it)->width();
        (*it)->move(x, 0);
    }
}

}  // namespace kivo::window
