// Tab 5 (condition set 6) on the real window: selection by touch, the rules, the Reset buttons,
// "AllReset(&X)" and runs of its operations from Execute.
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
    {"Combo66", "和暦(R6.1.31)"},
    {"Check6(0)", "1"},
    {"DTPicker4", "2021/07/19"},
    {"Combo67", "7"},
    {"Combo68", "営業日分"},
    {"Combo69", "西暦(2024年1月31日)"},
    {"Check6(1)", "1"},
    {"Check6(2)", "1"},
    {"Check6(3)", "1"},
    {"Combo70", "標準の文字に置き換える"},
    {"Combo71", "数字→漢数字(二〇二四)"},
};

}  // namespace

class TabSet6Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet6Test() : WindowFixture(5) {}

private:
    QString defaultOf(const QString& name) const { return toQString(loadDefault(name.toStdString())); }

private slots:
    void touchingAControlSelectsItsOperation_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("selected");
        QTest::newRow("Combo66") << "Combo66"
                                 << "Option6(0)";
        QTest::newRow("DTPicker4") << "DTPicker4"
                                   << "Option6(1)";
        QTest::newRow("Check6(2)") << "Check6(2)"
                                   << "Option6(1)";
        QTest::newRow("Command44") << "Command44"
                                   << "Option6(1)";
        QTest::newRow("Combo70") << "Combo70"
                                 << "Option6(2)";
        QTest::newRow("Combo71") << "Combo71"
                                 << "Option6(3)";
    }
    void touchingAControlSelectsItsOperation() {
        QFETCH(QString, control);
        QFETCH(QString, selected);
        focus(get(control));
        QVERIFY(option(selected)->isChecked());
    }

    void rulesKeepTheListsAndTheCount() {
        setByUser("Combo66", "2024/1/31");
        QCOMPARE(textOf("Combo66"), defaultOf("Combo66"));
        setByUser("Combo67", "0");
        QCOMPARE(textOf("Combo67"), QStringLiteral("1"));
        setByUser("Combo67", "１２");
        QCOMPARE(textOf("Combo67"), QStringLiteral("12"));
    }

    void resetAndAllResetRestoreTheDefaults() {
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command44");
        for (const char* name : {"Combo67", "Combo68", "Combo69", "Check6(1)", "Check6(2)", "Check6(3)"})
            QCOMPARE(textOf(name), defaultOf(name));
        QCOMPARE(textOf("Combo66"), QStringLiteral("和暦(R6.1.31)"));
        option("Option6(3)")->setChecked(true);
        for (const auto& [name, text] : kChangedTab)
            assign(name, text);
        click("Command47");
        for (const auto& [name, text] : kChangedTab)
            QCOMPARE(textOf(name), defaultOf(name));
        QVERIFY(option("Option6(0)")->isChecked());
    }

    void executeRunsTheSelectedOperation() {
        pane("Text1")->assign(u"令和元年5月1日\r\n2019/4/30");
        setByUser("Combo66", "和暦(R06.01.31)");
        execute();
        QVERIFY(pane("Text2")->text() == u"R01.05.01\r\nH31.04.30");
        QCOMPARE(m_window->operationCode(), 42);
        // The business days need no upper text.
        pane("Text1")->assign(u"");
        pane("Text2")->assign(u"");
        QTest::mouseClick(option("Option6(1)"), Qt::LeftButton);
        assign("DTPicker4", "2021/07/21");
        setByUser("Combo67", "2");
        setByUser("Combo68", "営業日分");
        execute();
        QCOMPARE(toQString(pane("Text2")->text()), QStringLiteral("2021/07/21\r\n2021/07/26\r\n"));
        QCOMPARE(m_window->operationCode(), 43);
        pane("Text1")->assign(u"三万五千円を一人で");
        pane("Text2")->assign(u"");
        QTest::mouseClick(option("Option6(3)"), Qt::LeftButton);
        execute();
        QVERIFY(pane("Text2")->text() == u"35000円を一人で");
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet6Test)
#include "tab_set6_test.moc"
