// Tab 6 (condition set 7) on the real window: a regular-expression replace typed and run from
// Execute with its count answered, and Stop ending a pattern that backtracks without end.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "window/qtext.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

class TabSet7Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet7Test() : WindowFixture(6) {}

private:
    void type(const QString& box, const QString& text) {
        auto* edit = get<QLineEdit>(box);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private slots:
    void regexReplaceTellsItsCount() {
        QCOMPARE(tabs()->tabText(6), QStringLiteral("7(&7)"));
        pane("Text1")->assign(u"注文 A-102\r\n注文 B-7");
        QTest::mouseClick(option("Option7(4)"), Qt::LeftButton);
        type("Text50", QStringLiteral("([A-Z])-(\\d+)"));
        type("Text51", QStringLiteral("$2($1)"));
        QVERIFY(option("Option7(4)")->isChecked());
        execute();
        QCOMPARE(toQString(pane("Text2")->text()), QStringLiteral("注文 102(A)\r\n注文 7(B)"));
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("2件置き換えました。")});
        QVERIFY(m_boxes->shown().front().icon == Icon::Information);
    }

    void stopEndsACatastrophicPattern() {
        pane("Text1")->assign(Text(10000, u'a'));
        QTest::mouseClick(option("Option7(4)"), Qt::LeftButton);
        type("Text50", QStringLiteral("(a+)+b"));
        QElapsedTimer sinceStop;
        QTimer::singleShot(30, m_window.get(), [&] {
            sinceStop.start();
            QTest::mouseClick(get<QPushButton>("Command6"), Qt::LeftButton);
        });
        execute();
        QVERIFY(sinceStop.isValid());
        const qint64 ms = sinceStop.elapsed();
        qInfo("Stop to idle: %lld ms", ms);
        QVERIFY(pane("Text2")->text().empty());
        QVERIFY(m_boxes->texts().isEmpty());
        QVERIFY2(ms < 100, qPrintable(QStringLiteral("Stop took %1 ms").arg(ms)));
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet7Test)
#include "tab_set7_test.moc"
