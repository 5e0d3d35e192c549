// Tab 6 (condition set 7) on the real window: the words and controls of its second lines, the
// rules, the Reset buttons and "AllReset(&X)", a regular-expression replace typed and run from
// Execute with its count answered, and Stop ending a pattern that backtracks without end.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "window/controls.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

// Every parameter control of the tab with a value that differs from its default.
const QList<std::pair<QString, QString>> kChangedTab = {
    {"Text42", "2,3"},
    {"Combo72", "削除する"},
    {"Text43", ";"},
    {"Combo73", "除いて続ける"},
    {"Text44", "2"},
    {"Combo74", "数値順"},
    {"Combo75", "降順"},
    {"Check7(0)", "0"},
    {"Text45", "タブ"},
    {"Combo76", "除いて続ける"},
    {"Text46", "3"},
    {"Check7(1)", "0"},
    {"Text47", "|"},
    {"Combo77", "除いて続ける"},
    {"Text48", ";"},
    {"Text49", ","},
    {"Combo78", "除いて続ける"},
    {"Text50", "a"},
    {"Text51", "b"},
    {"Check7(2)", "1"},
    {"Combo79", "テキスト全体"},
    {"Combo80", "最初の1つ"},
    {"Text52", "c"},
    {"Combo81", "一致した部分を抜き出す"},
    {"Check7(3)", "1"},
    {"Combo82", "テキスト全体"},
    {"Text53", "x\ty"},
    {"Combo83", "正規表現"},
};

}  // namespace

class TabSet7Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet7Test() : WindowFixture(6) {}

private:
    QString defaultOf(const QString& name) const { return toQString(loadDefault(name.toStdString())); }

    void type(const QString& box, const QString& text) {
        auto* edit = get<QLineEdit>(box);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private slots:
    // Each operation's second line: its words, and a click on them choosing the operation.
    void secondLinesShowTheCaptionWords_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("selected");
        QTest::newRow("Label29") << "Label29"
                                 << "区切り："
                                 << "Option7(0)";
        QTest::newRow("Check7(0)") << "Check7(0)"
                                   << "1行目は見出し"
                                   << "Option7(1)";
        QTest::newRow("Label34") << "Label34"
                                 << "不正な行は"
                                 << "Option7(2)";
        QTest::newRow("Label35") << "Label35"
                                 << "不正な行は"
                                 << "Option7(3)";
        QTest::newRow("Label38") << "Label38"
                                 << "の一致を"
                                 << "Option7(4)";
        QTest::newRow("Check7(3)") << "Check7(3)"
                                   << "大文字と小文字を区別しない"
                                   << "Option7(5)";
        QTest::newRow("Label36") << "Label36"
                                 << "(1行に「検索する文字<Tab>置換する文字」)"
                                 << "Option7(6)";
    }
    void secondLinesShowTheCaptionWords() {
        QFETCH(QString, control);
        QFETCH(QString, words);
        QFETCH(QString, selected);
        QWidget* w = get(control);
        auto* label = qobject_cast<QLabel*>(w);
        QCOMPARE(label ? label->text() : static_cast<QCheckBox*>(w)->text(), words);
        option(selected == QStringLiteral("Option7(0)") ? "Option7(1)" : "Option7(0)")->setChecked(true);
        QTest::mouseClick(w, Qt::LeftButton);
        QVERIFY(option(selected)->isChecked());
    }

    void rulesKeepTheListsTheColumnsAndTheLengths() {
        setByUser("Combo74", "逆順");
        QCOMPARE(textOf("Combo74"), defaultOf("Combo74"));
        setByUser("Text46", "2列");
        QCOMPARE(textOf("Text46"), QStringLiteral("1"));
        QCOMPARE(m_boxes->texts(), QStringList{kDigitsOnlyMessage});
        // A long replacement stays whole; only one past the parameter limit is refused, and said so.
        const QString whole(40000, u'a');
        setByUser("Text51", whole);
        QCOMPARE(textOf("Text51"), whole);
        setByUser("Text50", QString(kMaxParameterLength + 1, u'a'));
        QCOMPARE(textOf("Text50"), QString());
        QCOMPARE(m_boxes->texts().back(), kLengthMessage);
    }

    void resetAndAllResetRestoreTheDefaults() {
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command49");
        for (const char* name : {"Text44", "Combo74", "Combo75", "Check7(0)", "Text45", "Combo76"})
            QCOMPARE(textOf(name), defaultOf(name));
        QCOMPARE(textOf("Combo73"), QStringLiteral("除いて続ける"));
        option("Option7(6)")->setChecked(true);
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command55");
        for (const auto& [name, text] : kChangedTab)
            QCOMPARE(textOf(name), defaultOf(name));
        QVERIFY(option("Option7(0)")->isChecked());
    }

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
