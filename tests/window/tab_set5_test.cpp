// Tab 4 (condition set 5) on the real window: selection by touch, the rules, the Reset buttons,
// "AllReset(&X)" and runs of its operations from Execute.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "window/control_model.h"
#include "window/controls.h"
#include "window/qtext.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

// Every parameter control of the tab with a value that differs from its default.
const QList<std::pair<QString, QString>> kChangedTab = {
    {"Combo59", "半角→全角"},
    {"Check5(0)", "0"},
    {"Check5(4)", "0"},
    {"Combo60", "カタカナ→ひらがな"},
    {"Combo61", "数える(回数とTabを行頭に付ける)"},
    {"Combo62", "空行を削除する"},
    {"Combo63", "降順でソートする"},
    {"Combo64", "削除する"},
    {"Combo65", "12"},
    {"Check5(5)", "1"},
};

}  // namespace

class TabSet5Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet5Test() : WindowFixture(4) {}

private:
    QString defaultOf(const QString& name) const { return toQString(loadDefault(name.toStdString())); }

private slots:
    void touchingAControlSelectsItsOperation_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("selected");
        QTest::newRow("Combo59") << "Combo59"
                                 << "Option5(0)";
        QTest::newRow("Check5(3)") << "Check5(3)"
                                   << "Option5(0)";
        QTest::newRow("Command34") << "Command34"
                                   << "Option5(0)";
        QTest::newRow("Combo60") << "Combo60"
                                 << "Option5(1)";
        QTest::newRow("Combo62") << "Combo62"
                                 << "Option5(3)";
        QTest::newRow("Command39") << "Command39"
                                   << "Option5(5)";
        QTest::newRow("Combo65") << "Combo65"
                                 << "Option5(6)";
    }
    void touchingAControlSelectsItsOperation() {
        QFETCH(QString, control);
        QFETCH(QString, selected);
        focus(get(control));
        QVERIFY(option(selected)->isChecked());
    }

    void theClassesStartTicked() {
        for (int i = 0; i < 5; ++i)
            QVERIFY(check(QString::fromStdString(arrayName("Check5", i)))->isChecked());
        QCOMPARE(textOf("Combo65"), QStringLiteral("80"));
    }

    void rulesKeepTheListsAndTheByteCount() {
        setByUser("Combo61", "x");
        QCOMPARE(textOf("Combo61"), defaultOf("Combo61"));
        setByUser("Combo65", "0");
        QCOMPARE(textOf("Combo65"), QStringLiteral("1"));
        setByUser("Combo65", "１２０");
        QCOMPARE(textOf("Combo65"), QStringLiteral("120"));
    }

    void resetAndAllResetRestoreTheDefaults() {
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command36");
        QCOMPARE(textOf("Combo61"), defaultOf("Combo61"));
        QCOMPARE(textOf("Combo62"), QStringLiteral("空行を削除する"));
        click("Command34");
        for (const char* name : {"Combo59", "Check5(0)", "Check5(4)"})
            QCOMPARE(textOf(name), defaultOf(name));
        option("Option5(4)")->setChecked(true);
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command41");
        for (const auto& [name, text] : kChangedTab)
            QCOMPARE(textOf(name), defaultOf(name));
        QVERIFY(option("Option5(0)")->isChecked());
        QCOMPARE(defaultOf("Combo65"), QStringLiteral("80"));
        QCOMPARE(defaultOf("Check5(2)"), QStringLiteral("1"));
    }

    void executeRunsTheSelectedOperation() {
        pane("Text1")->assign(u"第10回\r\n第2回\r\n第10回");
        option("Option5(4)")->setChecked(true);
        execute();
        QVERIFY(pane("Text2")->text() == u"第2回\r\n第10回\r\n第10回");
        pane("Text2")->assign(u"");
        option("Option5(2)")->setChecked(true);
        execute();
        QVERIFY(pane("Text2")->text() == u"第10回\r\n第2回");
        QCOMPARE(m_window->operationCode(), 37);
        // The byte fold with the line rules: 。 stays on the line before.
        pane("Text1")->assign(u"あいう。えお");
        pane("Text2")->assign(u"");
        setByUser("Combo65", "6");
        QTest::mouseClick(check("Check5(5)"), Qt::LeftButton);
        execute();
        QVERIFY(pane("Text2")->text() == u"あいう。\r\nえお");
        // No class ticked: the message, and nothing runs.
        pane("Text2")->assign(u"");
        option("Option5(0)")->setChecked(true);
        for (int i = 0; i < 5; ++i)
            check(QString::fromStdString(arrayName("Check5", i)))->setChecked(false);
        execute();
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("変換する対象を選択して下さい。")});
        QVERIFY(pane("Text2")->isEmpty());
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet5Test)
#include "tab_set5_test.moc"
