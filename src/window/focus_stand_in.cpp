#include "window/focus_stand_in.h"

#include <QEvent>
#include <QFocusFrame>
#include <QPointer>
#include <QWidget>

namespace kivo::window {
namespace {

class FocusStandIn final : public QObject {
public:
    FocusStandIn(QWidget* unseen, QWidget* seen) : QObject(unseen), m_seen(seen) {
        unseen->installEventFilter(this);
    }
    ~FocusStandIn() override { delete m_frame.data(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // The frame goes with the seen control's parent, which the focus frame moves into.
            if (!m_frame) m_frame = new QFocusFrame(m_seen);
            m_frame->setWidget(m_seen);
            m_frame->show();
        } else if (event->type() == QEvent::FocusOut && m_frame) {
            m_frame->setWidget(nullptr);
            m_frame->hide();
        }
        return false;
    }

private:
    QPointer<QWidget> m_seen;
    QPointer<QFocusFrame> m_frame;
};

}  // namespace

void showFocusOf(QWidget* unseen, QWidget* seen) {
    new FocusStandIn(unseen, seen);
}

}  // namespace kivo::window
