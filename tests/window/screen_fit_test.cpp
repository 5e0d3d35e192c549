// The window on the screen it starts on: placed as the start-up places it, it fits the screen, no
// line of a tab is cut, and every control of every tab can be reached. Runs on a 1366×768 laptop
// screen at 100 %, 125 % and 150 % and a 1920×1080 screen at 150 %, each less a 40-pixel panel
// (screen_fit_tests_*).
#include <QGroupBox>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

class ScreenFitTest : public WindowFixture {
    Q_OBJECT

private:
    QString windowKey(const QByteArray&) const override { return QStringLiteral("fit"); }

    void startTest(bool reused) override {
        if (reused) return;
        m_window->placeOnScreen();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QApplication::processEvents();
    }

    static bool inside(QWidget* w, QWidget* area) {
        return area->rect().contains(QRect(w->mapTo(area, QPoint(0, 0)), w->size()));
    }

private slots:
    void fitsTheScreen() {
        const QRect available = m_window->screen()->availableGeometry();
        const QRect frame = m_window->frameGeometry();
        // A pixel over is the rounding of the scaled screen.
        QVERIFY2(available.adjusted(-1, -1, 1, 1).contains(frame),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(available.width())
                                .arg(available.height())));
        // Where the designed size fits (a title bar of 30 pixels above it), the window has it.
        const QSize client = m_window->centralWidget()->size();
        const bool designedFits = m_window->frameGeometry().height() - m_window->height() +
                                      m_window->height() - client.height() + 570 + 30 <=
                                  available.height();
        if (designedFits) QCOMPARE(client, QSize(996, 570));
        qInfo("screen %dx%d, client area %dx%d", available.width(), available.height(), client.width(),
              client.height());
        for (const char* name : {"Text1", "Text2", "Command27", "Command1", "Command28", "Command2",
                                 "Command25", "Command6", "Command3", "Label3", "SSTab1"})
            QVERIFY2(inside(get(QLatin1String(name)), m_window->centralWidget()), name);
    }

    void everyLineIsWhole_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("maximised");
        for (int tab = 0; tab < 7; ++tab) {
            QTest::addRow("tab %d, as placed", tab) << tab << false;
            QTest::addRow("tab %d, maximised", tab) << tab << true;
        }
    }
    // As placed and maximised, no line of a tab is cut at the right: the panes give up width.
    void everyLineIsWhole() {
        QFETCH(int, tab);
        QFETCH(bool, maximised);
        const Qt::WindowStates placed = m_window->windowState();
        if (maximised) m_window->setWindowState(placed | Qt::WindowMaximized);
        const auto restore = qScopeGuard([&] { m_window->setWindowState(placed); });
        showTab(tab);
        auto* scroll = tabs()->widget(tab)->findChild<QScrollArea*>();
        QApplication::processEvents();
        scroll->horizontalScrollBar()->setValue(0);
        QStringList cut;
        for (QWidget* w : scroll->widget()->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(m_window.get()) || w->objectName().isEmpty() ||
                w->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            if (w->mapTo(scroll->viewport(), QPoint(w->width(), 0)).x() > scroll->viewport()->width())
                cut.append(w->objectName());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("%1 in %2 pixels")
                                               .arg(cut.join(QStringLiteral(", ")))
                                               .arg(scroll->viewport()->width())));
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    }

    void everyControlCanBeReached_data() {
        QTest::addColumn<int>("tab");
        for (int tab = 0; tab < 7; ++tab)
            QTest::addRow("tab %d", tab) << tab;
    }
    // A tab taller than the room scrolls: each control, given the focus, shows whole.
    void everyControlCanBeReached() {
        QFETCH(int, tab);
        showTab(tab);
        auto* scroll = tabs()->widget(tab)->findChild<QScrollArea*>();
        QVERIFY(scroll);
        QStringList hidden;
        for (QWidget* w : scroll->widget()->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(m_window.get()) ||
                w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            focus(w);
            QApplication::processEvents();
            if (!inside(w, scroll->viewport())) hidden.append(w->objectName());
        }
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QStringLiteral(", "))));
    }
};

KIVO_WINDOW_TEST_MAIN(ScreenFitTest)

#include "screen_fit_test.moc"
