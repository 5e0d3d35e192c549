// The window as a user sees it: no clipped caption, no control over another or out of its frame,
// every line on one centre, every list entry whole in its popup, no character the font lacks.
// Runs at device pixel ratio 1 and 2 (layout_tests, layout_tests_hidpi).
#include <algorithm>
#include <cmath>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "window/control_model.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

QString withoutAccessKey(QString caption) {
    caption.remove(u'&');
    return caption;
}

// The contrast ratio of two colours as WCAG 2 defines it: 1 (none) to 21 (black on white).
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// The boxes that lie under an AllReset button by design.
bool liesUnderAllReset(const QWidget* w) {
    return w->objectName() == u"Text39" || w->objectName() == u"Text40" || w->objectName() == u"Text10";
}

}  // namespace

class LayoutTest : public WindowFixture {
    Q_OBJECT

private:
    // Nothing here changes the window: every test looks at the same one.
    QString windowKey(const QByteArray& function) const override {
        return function.startsWith("stopIsReadable") ? QString() : QStringLiteral("layout");
    }

    QList<QGroupBox*> frames() const {
        QList<QGroupBox*> out;
        for (int tab = 0; tab < tabs()->count(); ++tab)
            out.append(tabs()->widget(tab)->findChild<QGroupBox*>());
        return out;
    }

    static void tabData() {
        QTest::addColumn<int>("tab");
        for (int tab = 0; tab < 7; ++tab)
            QTest::addRow("tab %d", tab) << tab;
    }

private slots:
    void captionsAreWhole_data() { tabData(); }

    void captionsAreWhole() {
        QFETCH(int, tab);
        showTab(tab);
        QStringList clipped;
        for (QWidget* w : m_window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(m_window.get())) continue;
            int needed = 0;
            if (auto* l = qobject_cast<QLabel*>(w)) {
                needed = l->sizeHint().width();
            } else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
                needed = w->sizeHint().width();
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                // The label sits inside the button's frame and margins.
                const int inset = 2 * (b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b) + 1);
                needed = b->fontMetrics().horizontalAdvance(withoutAccessKey(b->text())) + inset;
            } else {
                continue;
            }
            if (needed > w->width())
                clipped.append(
                    QStringLiteral("%1 (%2 of %3 px)").arg(w->objectName()).arg(w->width()).arg(needed));
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
    }

    void controlsStayApartAndInsideTheirFrame_data() { tabData(); }

    void controlsStayApartAndInsideTheirFrame() {
        QFETCH(int, tab);
        showTab(tab);
        QGroupBox* frame = frames()[tab];
        QList<QWidget*> controls;
        for (QObject* child : frame->children())
            if (auto* w = qobject_cast<QWidget*>(child);
                w && w->isVisibleTo(m_window.get()) && !liesUnderAllReset(w))
                controls.append(w);
        QStringList faults;
        const QRect inside = frame->contentsRect();
        for (int i = 0; i < controls.size(); ++i) {
            if (!inside.contains(controls[i]->geometry()))
                faults.append(controls[i]->objectName() + QStringLiteral(" leaves the frame"));
            for (int j = i + 1; j < controls.size(); ++j)
                if (controls[i]->geometry().intersects(controls[j]->geometry()))
                    faults.append(controls[i]->objectName() + QStringLiteral(" overlaps ") +
                                  controls[j]->objectName());
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
    }

    void everyLineHasOneCentre_data() { tabData(); }

    void everyLineHasOneCentre() {
        QFETCH(int, tab);
        showTab(tab);
        QStringList faults;
        for (QHBoxLayout* row : frames()[tab]->findChildren<QHBoxLayout*>()) {
            int low = INT_MAX;
            int high = INT_MIN;
            QString names;
            for (int i = 0; i < row->count(); ++i) {
                QWidget* w = row->itemAt(i)->widget();
                if (!w || !w->isVisibleTo(m_window.get())) continue;
                const int centre = w->geometry().top() + w->geometry().bottom();  // twice the centre
                low = std::min(low, centre);
                high = std::max(high, centre);
                names += w->objectName() + u' ';
            }
            // Half a pixel either way is rounding.
            if (high - low > 2) faults.append(names.trimmed());
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // Every entry shows whole when the list is open, and the load default whole in the box.
    void listEntriesAreWhole() {
        QStringList faults;
        for (QComboBox* combo : m_window->findChildren<QComboBox*>()) {
            showTabOf(combo->objectName());
            combo->showPopup();
            QApplication::processEvents();
            QAbstractItemView* list = combo->view();
            const int needed = list->sizeHintForColumn(0);
            if (needed > list->viewport()->width())
                faults.append(QStringLiteral("%1 list (%2 of %3 px)")
                                  .arg(combo->objectName())
                                  .arg(list->viewport()->width())
                                  .arg(needed));
            combo->hidePopup();
            const QString text = toQString(comboList(combo->objectName().toStdString()).defaultText);
            QLineEdit* edit = combo->lineEdit();
            const int textWidth = edit->fontMetrics().horizontalAdvance(text) + 4;  // the edit's own margins
            if (textWidth > edit->width())
                faults.append(QStringLiteral("%1 box (%2 of %3 px)")
                                  .arg(combo->objectName())
                                  .arg(edit->width())
                                  .arg(textWidth));
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
    }

    void stopIsReadableInEveryPalette_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("the style's own") << QApplication::style()->standardPalette();
        QPalette dark;
        for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(53, 53, 53)},
                                           {QPalette::WindowText, Qt::white},
                                           {QPalette::Base, QColor(42, 42, 42)},
                                           {QPalette::Text, Qt::white},
                                           {QPalette::Button, QColor(53, 53, 53)},
                                           {QPalette::ButtonText, Qt::white}})
            dark.setColor(role, colour);
        QTest::newRow("dark") << dark;
    }
    // The busy Stop button's words stand out from its yellow, and once idle it takes the
    // desktop's palette again.
    void stopIsReadableInEveryPalette() {
        QFETCH(QPalette, palette);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        auto* stop = get<QPushButton>("Command6");
        Text upper;
        for (int i = 0; i < 100000; ++i)
            upper += u"abcdef\r\n";
        pane("Text1")->assign(upper);
        double busyContrast = 0;
        QTimer::singleShot(0, this, [&] {
            busyContrast = contrast(stop->palette().color(QPalette::Button),
                                    stop->palette().color(QPalette::ButtonText));
            click("Command6");
        });
        execute();
        const QColor idleButton = stop->palette().color(QPalette::Button);
        QApplication::setPalette(before);
        // The contrast that legible text needs (WCAG 2, level AA).
        QVERIFY2(busyContrast >= 4.5, qPrintable(QString::number(busyContrast)));
        QCOMPARE(idleButton, palette.color(QPalette::Button));
    }

    void windowCarriesTheIcon() {
        const QList<QSize> sizes = m_window->windowIcon().availableSizes();
        for (int size : {16, 32, 48, 256})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }

    // A character the window's font lacks would come from a fallback font or show as a box.
    void everyCharacterIsInTheFont() {
        QStringList texts;
        for (QWidget* w : m_window->findChildren<QWidget*>()) {
            if (auto* l = qobject_cast<QLabel*>(w)) texts.append(l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) texts.append(b->text());
            if (auto* c = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i)
                    texts.append(c->itemText(i));
            if (auto* m = qobject_cast<QMenu*>(w))
                for (QAction* a : m->actions())
                    texts.append(a->text());
        }
        for (int tab = 0; tab < tabs()->count(); ++tab)
            texts.append(tabs()->tabText(tab));
        texts.append(m_window->windowTitle());
        texts.append(kBusyCaption);
        const QFontMetrics metrics(m_window->font());
        QSet<QChar> missing;
        for (const QString& text : texts)
            for (QChar c : text)
                if (!c.isSpace() && c != u'&' && !metrics.inFont(c)) missing.insert(c);
        QString list;
        for (QChar c : missing)
            list += c;
        QVERIFY2(missing.isEmpty(), qPrintable(list));
    }
};

KIVO_WINDOW_TEST_MAIN(LayoutTest)

#include "layout_test.moc"
