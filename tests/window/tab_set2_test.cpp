// Tab 1 (condition set 2) driven by objectName on the real window: the input rules, the Reset
// buttons, "AllReset(&X)", selection by touch, and runs of its operations.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "window/control_model.h"
#include "window/controls.h"
#include "window/rules.h"
#include "window/set2_rules.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

using Settings = QList<std::pair<QString, QString>>;

const QString kOne = QStringLiteral("1");

// Every parameter control of the tab in the order "AllReset(&X)" restores them, with a value
// that differs from its default and passes its rule.
const Settings kChangedTab = {
    {"Text11", "7"},
    {"Combo38", "偶数"},
    {"Text12", "x"},
    {"Combo4", "右"},
    {"Combo3", "5"},
    {"Text14", "y"},
    {"Combo5", "3"},
    {"Text16", "["},
    {"Text17", "]"},
    {"Text18", "r"},
    {"Combo43", "右から見つけた最初の"},
    {"Text19", "("},
    {"Text20", ")"},
    {"Text21", "s"},
    {"Combo18", "右"},
    {"Combo6", "2"},
    {"Combo7", "3"},
    {"Text34", "z"},
    {"Combo8", "4"},
    {"Combo9", "5"},
    {"Combo10", "6"},
    {"Combo11", "7"},
    {"Combo16", "右"},
    {"Combo12", "8"},
    {"Combo13", "9"},
    {"Combo17", "右"},
    {"Combo14", "10"},
    {"Combo15", "11"},
};

}  // namespace

Q_DECLARE_METATYPE(Settings)

class TabSet2Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet2Test() : WindowFixture(1) {}

private:
    QRadioButton* option(int i) { return get<QRadioButton>(QString::fromStdString(arrayName("Option2", i))); }
    void apply(const Settings& settings) {
        for (const auto& [name, text] : settings)
            assign(name, text);
    }
    static QString defaultOf(const QString& name) { return toQString(loadDefault(name.toStdString())); }
    int selectedOption() {
        for (int i = 0; i < 13; ++i)
            if (option(i)->isChecked()) return i;
        return -1;
    }
    void selectOnly(int i) { option(i)->setChecked(true); }
    /// Sets the focus-cycling flag as the window does: a click on "AllReset(&X)" that moves no
    /// focus (the focus already lies on the option it focuses).
    void setFocusCycling() {
        option(0)->setFocus();
        get<QPushButton>("Command17")->click();
        QVERIFY(state().focusCycling);
        pane("Text1")->setFocus();
        QVERIFY(state().focusCycling);
    }

private slots:
    void lineNumberRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("kept");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("00") << "00" << false;
        QTest::newRow("000") << "000" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("2") << "2" << true;
        QTest::newRow("largest") << "2147483647" << true;
        QTest::newRow("largest + 1") << "2147483648" << false;
        QTest::newRow("ten digits from 3") << "3000000000" << false;
        QTest::newRow("ten digits from 2, too large") << "2999999999" << false;
        QTest::newRow("nine digits from 9") << "999999999" << true;
        QTest::newRow("leading zeros kept") << "0002" << true;
        QTest::newRow("thirteen characters from 0") << "0000000000005" << true;
        QTest::newRow("zeros before the largest") << "00000000002147483647" << true;
        QTest::newRow("zeros before largest + 1") << "02147483648" << false;
        QTest::newRow("sign") << "-5" << false;
        QTest::newRow("plus") << "+5" << false;
        QTest::newRow("blank") << " 5" << false;
        QTest::newRow("exponent") << "1e5" << false;
        QTest::newRow("digit then letter") << "5a" << false;
        QTest::newRow("decimal") << "1.5" << false;
        QTest::newRow("beyond a double") << "1e999" << false;
        QTest::newRow("ten characters beyond a double") << "2e99999999" << false;
    }
    void lineNumberRule() {
        QFETCH(QString, text);
        QFETCH(bool, kept);
        const QString result = kept ? text : kOne;
        QCOMPARE(repairLineNumber(text), result);
        assign("Text11", text);
        QCOMPARE(textOf("Text11"), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void lineNumberRuleWhileTyping() {
        auto* text11 = get<QLineEdit>("Text11");
        text11->setFocus();
        text11->selectAll();
        QTest::keyClick(text11, Qt::Key_Backspace);
        QCOMPARE(text11->text(), kOne);  // cleared
        text11->selectAll();
        QTest::keyClicks(text11, "12");
        QCOMPARE(text11->text(), QStringLiteral("12"));
        QTest::keyClicks(text11, "x");
        QCOMPARE(text11->text(), kOne);
        // What an input method commits: full-width digits, written back half-width.
        text11->setText(QStringLiteral("０２"));
        QCOMPARE(text11->text(), QStringLiteral("02"));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void lineNumberRuleIdleUnderTheGuard() {
        WindowState state;
        QLineEdit box;
        new LineNumberRule(&box, state);
        {
            GuardHold hold(state);
            box.setText(QStringLiteral("abc"));
        }
        QCOMPARE(box.text(), QStringLiteral("abc"));
        box.setText(QStringLiteral("0"));
        QCOMPARE(box.text(), kOne);
    }

    // Each combo of the tab carries its own kind of rule.
    void comboRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Settings>("cases");
        const Settings count = {{"0", "1"},   {"1", "1"}, {"999", "999"}, {"1000", "1"},  {"007", "7"},
                                {"abc", "1"}, {"", "1"},  {"255", "255"}, {"256", "256"}, {"-1", "1"}};
        for (const char* name : {"Combo3", "Combo5", "Combo6", "Combo7", "Combo8", "Combo9", "Combo10",
                                 "Combo11", "Combo12", "Combo13", "Combo14", "Combo15"})
            QTest::newRow(name) << name << count;
        const Settings side = {{"右", "右"}, {"左", "左"}, {"左側", "左"}, {"", "左"}, {"x", "左"}};
        for (const char* name : {"Combo4", "Combo18", "Combo16", "Combo17"})
            QTest::newRow(name) << name << side;
        QTest::newRow("Combo38") << "Combo38"
                                 << Settings{
                                        {"偶数", "偶数"}, {"奇数", "奇数"}, {"偶", "奇数"}, {"", "奇数"}};
        QTest::newRow("Combo43") << "Combo43"
                                 << Settings{{"右から見つけた最初の", "右から見つけた最初の"},
                                             {"右から", "左から見つけた最初の"},
                                             {"", "左から見つけた最初の"}};
    }
    void comboRules() {
        QFETCH(QString, name);
        QFETCH(Settings, cases);
        auto* combo = get<QComboBox>(name);
        for (const auto& [typed, result] : cases) {
            combo->setEditText(typed);
            QVERIFY2(combo->currentText() == result, qPrintable(name + u' ' + typed));
        }
        // Picking from the list passes the rule unchanged.
        combo->setCurrentIndex(1);
        QCOMPARE(combo->currentText(), combo->itemText(1));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void textLengthRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        for (const char* name : {"Text16", "Text17", "Text19", "Text20"})
            QTest::newRow(name) << name << kDelimiterLengthMessage;
        for (const char* name : {"Text12", "Text14", "Text18", "Text21", "Text34"})
            QTest::newRow(name) << name << kLengthMessage;
    }
    void textLengthRules() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const bool multiLine = qobject_cast<PlainTextBox*>(get<QWidget>(name)) != nullptr;
        // The longest text that stays, then one character more, typed at the end.
        const QString longest =
            multiLine ? QStringLiteral("\r\n").repeated(32767) + u'a' : QString(65535, u'a');
        assign(name, longest);
        QCOMPARE(textOf(name).size(), 65535);
        QVERIFY(m_boxes->shown().isEmpty());
        if (auto* box = qobject_cast<PlainTextBox*>(get<QWidget>(name))) {
            box->moveCursor(QTextCursor::End);
            box->insertPlainText(QStringLiteral("b"));
        } else {
            auto* line = get<QLineEdit>(name);
            line->end(false);
            line->insert(QStringLiteral("b"));
        }
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
        QCOMPARE(textOf(name), QString());
    }

    void resetButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Command14") << "Command14" << QStringList{"Text11"};
        QTest::newRow("Command15") << "Command15" << QStringList{"Combo38", "Text12"};
        QTest::newRow("Command18") << "Command18" << QStringList{"Combo4", "Combo3", "Text14"};
        QTest::newRow("Command20") << "Command20" << QStringList{"Text16", "Text17", "Text18"};
        QTest::newRow("Command21") << "Command21" << QStringList{"Combo43", "Text19", "Text20", "Text21"};
        QTest::newRow("Command23") << "Command23" << QStringList{"Combo18", "Combo6", "Combo7", "Text34"};
    }
    void resetButtons() {
        QFETCH(QString, button);
        QFETCH(QStringList, order);
        apply(kChangedTab);
        QStringList all;
        for (const auto& [name, text] : kChangedTab)
            all.append(name);
        QObject scope;
        QStringList changed;
        recordChanges(all, &scope, changed);
        click(button);
        QCOMPARE(changed, order);
        for (const auto& [name, text] : kChangedTab)
            QCOMPARE(textOf(name), order.contains(name) ? defaultOf(name) : text);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!state().guard);
    }

    void allResetRestoresTheWholeTab() {
        apply(kChangedTab);
        // Controls outside the list and on the other tabs.
        const Settings untouched = {
            {"Text25", "q"},    {"Text40", "w"}, {"Combo41", "数行おきにリバースする"},
            {"Text3", "tab 0"}, {"Text6", "9"},  {"Text41", "12"}};
        apply(untouched);
        QStringList order;
        for (const auto& [name, text] : kChangedTab)
            order.append(name);
        selectOnly(7);
        QObject scope;
        QStringList changed;
        recordChanges(order, &scope, changed);
        click("Command17");
        QCOMPARE(changed, order);
        for (const QString& name : order)
            QCOMPARE(textOf(name), defaultOf(name));
        for (const auto& [name, text] : untouched)
            QCOMPARE(textOf(name), text);
        QCOMPARE(selectedOption(), 0);
        QVERIFY(option(0)->hasFocus());
        // The option's focus clears the flag the click set.
        QVERIFY(!state().focusCycling);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!state().guard);
    }

    void allResetByItsAccessKey() {
        assign("Text11", "9");
        selectOnly(3);
        get<QLineEdit>("Text16")->setFocus();
        QTest::keyClick(m_window.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(textOf("Text11"), QStringLiteral("2"));
        QCOMPARE(selectedOption(), 0);
        QTRY_VERIFY(option(0)->hasFocus());
        // On tab 0 the same key is that tab's own reset.
        assign("Text11", "9");
        get<QTabWidget>("SSTab1")->setCurrentIndex(0);
        QTest::keyClick(m_window.get(), Qt::Key_X, Qt::AltModifier);
        QTest::qWait(300);
        QCOMPARE(textOf("Text11"), QStringLiteral("9"));
    }

    void allResetSetsTheFocusCyclingFlag() {
        // With the focus already on the option it focuses, nothing clears the flag afterwards.
        setFocusCycling();
    }

    void selectionByFocus_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("selects");
        QTest::addColumn<bool>("clearsFlag");
        for (int i = 0; i < 13; ++i)
            QTest::addRow("Option2(%d)", i) << QString::fromStdString(arrayName("Option2", i)) << i << true;
        const std::pair<int, QStringList> members[] = {
            {1, {"Text11", "Command14"}},
            {3, {"Combo38", "Text12", "Command15"}},
            {4, {"Combo4", "Combo3", "Text14", "Command18"}},
            {5, {"Combo5"}},
            {6, {"Text16", "Text17", "Text18", "Command20"}},
            {7, {"Combo43", "Text19", "Text20", "Text21", "Command21"}},
            {8, {"Combo18", "Combo6", "Combo7", "Text34", "Command23"}},
            {9, {"Combo8", "Combo9"}},
            {10, {"Combo10", "Combo11"}},
            {11, {"Combo16", "Combo12", "Combo13"}},
            {12, {"Combo17", "Combo14", "Combo15"}},
        };
        for (const auto& [i, names] : members)
            for (const QString& name : names)
                QTest::addRow("%s", qPrintable(name)) << name << i << true;
        QTest::newRow("Text25") << "Text25" << 2 << false;
    }
    void selectionByFocus() {
        QFETCH(QString, control);
        QFETCH(int, selects);
        QFETCH(bool, clearsFlag);
        setFocusCycling();
        selectOnly(selects == 0 ? 1 : 0);
        get<QWidget>(control)->setFocus(Qt::TabFocusReason);
        QCOMPARE(selectedOption(), selects);
        QCOMPARE(state().focusCycling, !clearsFlag);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void selectionByMouse_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("selects");
        QTest::addColumn<bool>("clearsFlag");
        QTest::newRow("into Text14") << "Text14" << 4 << true;
        QTest::newRow("into Combo6") << "Combo6" << 8 << true;
        QTest::newRow("label 行目") << "Label1" << 1 << false;
        QTest::newRow("label 文字毎") << "Label2" << 5 << true;
    }
    void selectionByMouse() {
        QFETCH(QString, control);
        QFETCH(int, selects);
        QFETCH(bool, clearsFlag);
        setFocusCycling();
        QWidget* w = get<QWidget>(control);
        if (auto* box = qobject_cast<PlainTextBox*>(w)) w = box->viewport();
        if (auto* combo = qobject_cast<QComboBox*>(w)) w = combo->lineEdit();
        QTest::mouseClick(w, Qt::LeftButton);
        QCOMPARE(selectedOption(), selects);
        QCOMPARE(state().focusCycling, !clearsFlag);
    }

    void runsFromTheWindow_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("extract line, leading zeros") << 1 << Settings{{"Text11", "0002"}} << "a\rb\nc"
                                                     << "b" << QStringList{};
        QTest::newRow("duplicates") << 2 << Settings{} << "abcabc"
                                    << "abc" << QStringList{"3個の重複がありました。"};
        QTest::newRow("replace odd lines") << 3 << Settings{{"Text12", "X"}} << "a\r\nb\r\nc"
                                           << "X\r\nb\r\nX" << QStringList{};
        QTest::newRow("insert from the right")
            << 4 << Settings{{"Combo4", "右"}, {"Combo3", "2"}, {"Text14", "X"}} << "abc\r\nde"
            << "abXc\r\ndXe" << QStringList{};
        QTest::newRow("insert without text, right")
            << 4 << Settings{{"Combo4", "右"}} << "abc"
            << "" << QStringList{"右側から置き換える文字を入力して下さい。"};
        QTest::newRow("all ranges") << 6 << Settings{{"Text16", "["}, {"Text17", "]"}, {"Text18", "X"}}
                                    << "[123456]x[y]zzzzzzzz]"
                                    << "XxXzzzzzzzz]" << QStringList{};
        QTest::newRow("first range from the right") << 7
                                                    << Settings{{"Combo43", "右から見つけた最初の"},
                                                                {"Text19", "("},
                                                                {"Text20", ")"},
                                                                {"Text21", "-"}}
                                                    << "(1)(2)"
                                                    << "(1)-" << QStringList{};
        QTest::newRow("by position, 256")
            << 8 << Settings{{"Combo6", "256"}} << "abcdef"
            << "" << QStringList{"条件が行えない行がある、または文字数、その他のエラーです。"};
        QTest::newRow("remainder of every 2nd line")
            << 10 << Settings{{"Combo10", "2"}, {"Combo11", "1"}} << "a\r\nb\r\nc\r\n"
            << "a\r\nc\r\n"
            << QStringList{};
        QTest::newRow("remainder from the right")
            << 12 << Settings{{"Combo17", "右"}, {"Combo14", "3"}, {"Combo15", "2"}} << "abcdef"
            << "abcf" << QStringList{};
    }
    void runsFromTheWindow() {
        QFETCH(int, selected);
        QFETCH(Settings, settings);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QFETCH(QStringList, messages);
        apply(settings);
        selectOnly(selected);
        pane("Text1")->assign(toText(upper));
        QTest::mouseClick(get<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_window->operationCode(), 13 + selected);
        QCOMPARE(toQString(pane("Text2")->text()), lower);
        QCOMPARE(m_boxes->texts(), messages);
        QVERIFY(!state().guard);
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet2Test)

#include "tab_set2_test.moc"
