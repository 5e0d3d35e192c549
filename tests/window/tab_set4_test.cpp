// The fourth condition tab driven through the real main window: input rules, Reset buttons,
// AllReset, selection by touch, the date pickers, and runs of its operations from the window.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "window/control_model.h"
#include "window/controls.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

Q_DECLARE_METATYPE(kivo::Icon)

namespace {

const QString kDigitsOnly = QStringLiteral("半角数字のみ有効です。");
const QString kTooLong = QStringLiteral("改行2文字を含む65535文字まで有効です。");
const QString kStopped = QStringLiteral("中止されました。");
const QString kSlash = QStringLiteral("「/」 スラッシュ(yyyy/mm/dd)");
const QString kHyphen = QStringLiteral("「-」 ハイフン(yyyy-mm-dd)");

// Every parameter control of the tab, in the order of "AllReset(&X)", with the value it restores
// (today for the date pickers) and a different value a user could have set.
struct TabValue {
    const char* name;
    QString reset;
    QString changed;
};

QString today() {
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}

const QList<TabValue>& tabValues() {
    static const QList<TabValue> values = {
        {"Combo20", "昇順でソートする", "降順でソートする"},
        {"Combo27", "1", "5"},
        {"Combo26", "0", "3"},
        {"Combo24", "左", "右"},
        {"Combo21", "0", "2"},
        {"Combo22", "インクリメント", "デクリメント"},
        {"Text38", "1", "50"},
        {"Combo23", "1", "4"},
        {"Combo25", "000", "00000"},
        {"Combo30", "左", "右"},
        {"Combo29", "1", "3"},
        {"Combo28", "インクリメント", "デクリメント"},
        {"Text41", "10", "5"},
        {"Combo35", "1", "7"},
        {"Combo36", "000", "0"},
        {"Combo37", "0", "2"},
        {"Combo48", "左", "右"},
        {"Text15", "", "abc"},
        {"Combo50", "左", "右"},
        {"Combo49", "1", "9"},
        {"Text22", "", "x\r\ny"},
        {"Combo52", "日にち", "年"},
        {"Combo51", "インクリメント", "デクリメント"},
        {"Text23", "1", "7"},
        {"Text24", "2", "9"},
        {"Combo53", kSlash, kHyphen},
        {"Text27", "2", "5"},
        {"DTPicker1", today(), "2001/02/03"},
        {"chkYoubi", "0", "1"},
        {"Combo54", "日", "土"},
        {"Text28", "2", "6"},
        {"DTPicker2", today(), "2002/03/04"},
        {"Combo57", "1", "3"},
        {"Combo55", "日", "水"},
        {"Text29", "2", "7"},
        {"DTPicker3", today(), "2003/04/05"},
        {"Combo56", "1", "4"},
    };
    return values;
}

bool onTab3(const std::string& name) {
    for (const TabValue& v : tabValues())
        if (name == v.name) return true;
    return false;
}

}  // namespace

class TabSet4Test : public WindowFixture {
    Q_OBJECT

public:
    TabSet4Test() : WindowFixture(3) {}

private:
    // The rows of these tests each set up all they look at, so they share one window: building
    // a window for every row would take most of the program's time.
    QString windowKey(const QByteArray& function) const override {
        for (const char* shared :
             {"inputRules", "focusSelectsTheOperation", "labelsSelectOnMouseUp", "datePickersResetOnPress"})
            if (function == shared) return QString::fromLatin1(function);
        return {};
    }

    QRadioButton* option(int i) { return get<QRadioButton>(QStringLiteral("Option4(%1)").arg(i)); }
    QCheckBox* check3() { return check(QStringLiteral("Check3")); }
    void setAll(const QStringList& settings) {
        for (const QString& s : settings) {
            const qsizetype eq = s.indexOf(u'=');
            setByUser(s.left(eq), s.mid(eq + 1));
        }
    }
    QStringList messages() const { return m_boxes->texts(); }

private slots:
    void loadDefaultsPassTheRules() {
        for (const TabValue& v : tabValues())
            QVERIFY2(textOf(QLatin1String(v.name)) == v.reset, v.name);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void inputRules_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        auto row = [](const char* control, const QString& text, const QString& result,
                      const QString& message = {}) {
            QTest::addRow("%s %s", control, qPrintable(text.left(20)))
                << control << text << result << message;
        };
        // Code 27: the sort order is one of its two entries.
        row("Combo20", "降順でソートする", "降順でソートする");
        row("Combo20", "降順", "昇順でソートする");
        // Code 28.
        row("Combo27", "0", "1");
        row("Combo27", "999", "999");
        row("Combo27", "1000", "1");
        row("Combo27", "007", "7");
        row("Combo26", "0", "0");
        row("Combo26", "00", "00");
        row("Combo26", "1000", "0");
        row("Combo26", "x", "0");
        row("Combo24", "右", "右");
        row("Combo24", "右側", "左");
        row("Combo21", "", "0");
        row("Combo21", "255", "255");
        row("Combo21", "012", "12");
        row("Combo22", "デクリメント", "デクリメント");
        row("Combo22", "インクリ", "インクリメント");
        row("Combo23", "", "1");
        row("Combo23", "-1", "1");
        row("Combo25", "0", "0");
        row("Combo25", "0000000000000000", "0000000000000000");
        row("Combo25", "00000000000000000", "000");
        row("Combo25", "", "000");
        row("Combo25", "00a", "000");
        // Code 29.
        row("Combo30", "右", "右");
        row("Combo30", "", "左");
        row("Combo29", "0", "1");
        row("Combo28", "デクリ", "インクリメント");
        row("Combo35", "1000", "1");
        row("Combo36", "0000000000000000", "0000000000000000");
        row("Combo36", "1", "000");
        row("Combo37", "999", "999");
        row("Combo37", "1000", "0");
        // Code 30: Combo48 has no rule.
        row("Combo48", "どちらでも", "どちらでも");
        row("Combo50", "右", "右");
        row("Combo50", "上", "左");
        row("Text15", QString(65535, u'x'), QString(65535, u'x'));
        row("Text15", QString(65536, u'x'), "", kTooLong);
        row("Text22", QString(65535, u'x'), QString(65535, u'x'));
        row("Text22", QString(65536, u'x'), "", kTooLong);
        // Each line break counts two: 21845 × ("a" + CrLf) is 65535, one more character is too many.
        row("Text22", QStringLiteral("a\n").repeated(21845), QStringLiteral("a\r\n").repeated(21845));
        row("Text22", QStringLiteral("a\n").repeated(21845) + u'a', "", kTooLong);
        // Code 31.
        row("Combo52", "月", "月");
        row("Combo52", "週", "日にち");
        row("Combo51", "デクリメント", "デクリメント");
        row("Combo51", "増やす", "インクリメント");
        row("Combo53", "「@」 アットマーク(yyyy@mm@dd)", "「@」 アットマーク(yyyy@mm@dd)");
        row("Combo53", "yyyy/mm/dd", kSlash);
        // Codes 33 and 34.
        row("Combo54", "土", "土");
        row("Combo54", "日曜", "日");
        row("Combo55", "", "日");
        row("Combo57", "100", "100");
        row("Combo57", "101", "1");
        row("Combo57", "01", "1");
        row("Combo56", "0", "1");
        row("Combo56", "50", "50");
        // The count text boxes, each with its own start value.
        const std::pair<const char*, const char*> counts[] = {
            {"Text23", "1"}, {"Text24", "2"}, {"Text27", "2"}, {"Text28", "2"}, {"Text29", "2"}};
        for (const auto& [box, start] : counts) {
            row(box, "1a", start, kDigitsOnly);
            row(box, "a1", start, kDigitsOnly);
            row(box, "-1", start, kDigitsOnly);
            row(box, "１", "1");
            row(box, "0", start);
            row(box, "", start);
            row(box, "12345678901", start);
            row(box, "00000000001", start);
            row(box, "0000000001", "0000000001");
            row(box, "2147483647", "2147483647");
            row(box, "2147483648", start);
            row(box, "9999999999", start);
        }
        // The start value and the number of copies (which also tick Check3, see below).
        row("Text38", "1a", "1");
        row("Text38", "", "0");
        row("Text38", "00", "0");
        row("Text38", "007", "007");
        row("Text38", "-5", "1");
        row("Text38", "12345678901234567890", "12345678901234567890");
        row("Text41", "a", "2");
        row("Text41", "", "2");
        row("Text41", "000", "2");
        row("Text41", "1", "1");
        row("Text41", "007", "007");
    }
    void inputRules() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QFETCH(QString, message);
        setByUser(control, text);
        QCOMPARE(textOf(control), result);
        QCOMPARE(messages(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
    }

    void startValueAndCopiesTickTheLoopGenerator_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("Text38 kept") << "Text38"
                                     << "25";
        QTest::newRow("Text38 repaired") << "Text38"
                                         << "x";
        QTest::newRow("Text41 kept") << "Text41"
                                     << "25";
        QTest::newRow("Text41 repaired") << "Text41"
                                         << "0";
    }
    void startValueAndCopiesTickTheLoopGenerator() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        check3()->setChecked(false);
        setByUser(control, text);
        QVERIFY(check3()->isChecked());
        // A change made under the guard (a reset, a run) fires no rule and ticks nothing.
        check3()->setChecked(false);
        {
            GuardHold hold(state());
            setByUser(control, QStringLiteral("x"));
        }
        QVERIFY(!check3()->isChecked());
        QCOMPARE(textOf(control), QStringLiteral("x"));
    }

    void rulesAlsoCheckOnKeyPress_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("result");
        QTest::newRow("Combo20") << "Combo20"
                                 << "昇順でソートする";
        QTest::newRow("Combo54") << "Combo54"
                                 << "日";
        QTest::newRow("Combo55") << "Combo55"
                                 << "日";
        QTest::newRow("Combo56") << "Combo56"
                                 << "1";
        QTest::newRow("Combo57") << "Combo57"
                                 << "1";
        // Rules that run on a text change only.
        QTest::newRow("Combo22") << "Combo22"
                                 << "x";
        QTest::newRow("Combo52") << "Combo52"
                                 << "x";
    }
    void rulesAlsoCheckOnKeyPress() {
        QFETCH(QString, control);
        QFETCH(QString, result);
        {
            // A text the rule never saw: it was set while the guard was held.
            GuardHold hold(state());
            setByUser(control, QStringLiteral("x"));
        }
        QComboBox* c = combo(control);
        c->setFocus();
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(c->currentText(), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void combo49TypedIsACount_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("0") << "0"
                           << "1";
        QTest::newRow("0 then 5") << "05"
                                  << "15";
        QTest::newRow("letter") << "a"
                                << "1";
        QTest::newRow("999") << "999"
                             << "999";
        QTest::newRow("1000") << "1000"
                              << "1";
    }
    void combo49TypedIsACount() {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QComboBox* c = combo(QStringLiteral("Combo49"));
        c->setFocus();
        c->lineEdit()->selectAll();
        QTest::keyClicks(c, typed);
        QCOMPARE(c->currentText(), result);
    }

    void combo49PickedZeroIsKept() {
        QComboBox* c = combo(QStringLiteral("Combo49"));
        QCOMPARE(c->itemText(0), QStringLiteral("0"));
        c->showPopup();
        QAbstractItemView* list = c->view();
        QTRY_VERIFY(list->isVisible());
        const QModelIndex zero = c->model()->index(0, 0);
        list->scrollTo(zero);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(zero).center());
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(c->currentText(), QStringLiteral("0"));
    }

    void resetButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<int>("selects");
        QTest::newRow("Command29") << "Command29" << QStringList{"Combo27", "Combo26", "Combo24", "Combo21",
                                                                 "Combo22", "Text38",  "Combo23", "Combo25"}
                                   << 1;
        QTest::newRow("Command30") << "Command30" << QStringList{"Combo30", "Combo29", "Combo28", "Text41",
                                                                 "Combo35", "Combo36", "Combo37"}
                                   << 2;
        QTest::newRow("Command10") << "Command10" << QStringList{"Combo48", "Text15", "Combo50", "Combo49"}
                                   << 3;
        QTest::newRow("Command32") << "Command32" << QStringList{"Text22"} << 3;
        QTest::newRow("Command16") << "Command16" << QStringList{"Combo52", "Combo51", "Text23"} << 4;
        QTest::newRow("Command33") << "Command33" << QStringList{"Text24", "Combo53"} << 4;
    }
    void resetButtons() {
        QFETCH(QString, button);
        QFETCH(QStringList, controls);
        QFETCH(int, selects);
        for (const TabValue& v : tabValues())
            setByUser(QLatin1String(v.name), v.changed);
        check3()->setChecked(false);
        option(selects == 1 ? 0 : 1)->setChecked(true);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
        for (const TabValue& v : tabValues()) {
            const QString name = QLatin1String(v.name);
            const QString expected = controls.contains(name) ? v.reset : v.changed;
            QVERIFY2(textOf(name) == expected, v.name);
        }
        QVERIFY(option(selects)->isChecked());
        QVERIFY(!check3()->isChecked());
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void allResetRestoresTheTableInOrder() {
        for (const TabValue& v : tabValues())
            setByUser(QLatin1String(v.name), v.changed);
        for (const TabValue& v : tabValues())
            QVERIFY2(textOf(QLatin1String(v.name)) == v.changed, v.name);
        option(6)->setChecked(true);
        // Texts the rules would refuse, with a message, if they ran on the reset's assignments.
        {
            GuardHold hold(state());
            setByUser(QStringLiteral("Text23"), QStringLiteral("x"));
            setByUser(QStringLiteral("Text27"), QStringLiteral("0"));
        }
        QStringList order;
        QObject scope;
        for (const TabValue& v : tabValues()) {
            QWidget* w = get(QLatin1String(v.name));
            const QString name = QLatin1String(v.name);
            auto record = [&order, name] {
                if (!order.contains(name)) order.append(name);
            };
            if (auto* c = qobject_cast<QComboBox*>(w))
                connect(c, &QComboBox::editTextChanged, &scope, record);
            else if (auto* box = qobject_cast<PlainTextBox*>(w))
                connect(box, &QPlainTextEdit::textChanged, &scope, record);
            else if (auto* line = qobject_cast<QLineEdit*>(w))
                connect(line, &QLineEdit::textChanged, &scope, record);
            else if (auto* d = qobject_cast<QDateEdit*>(w))
                connect(d, &QDateEdit::dateChanged, &scope, record);
            else if (auto* check = qobject_cast<QCheckBox*>(w))
                connect(check, &QCheckBox::toggled, &scope, record);
        }
        // The flag as the button's focus-out sees it: set, so leaving the button cycles nowhere.
        std::optional<bool> cyclingAtFocusOut;
        auto* allReset = get<QPushButton>(QStringLiteral("Command22"));
        class FocusOutSpy final : public QObject {
        public:
            FocusOutSpy(const WindowState& state, std::optional<bool>& seen) : m_state(state), m_seen(seen) {}
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::FocusOut) m_seen = m_state.focusCycling;
                return false;
            }

        private:
            const WindowState& m_state;
            std::optional<bool>& m_seen;
        } spy(state(), cyclingAtFocusOut);
        allReset->installEventFilter(&spy);
        QTest::mouseClick(allReset, Qt::LeftButton);
        allReset->removeEventFilter(&spy);

        QStringList table;
        for (const TabValue& v : tabValues()) {
            table.append(QLatin1String(v.name));
            QVERIFY2(textOf(QLatin1String(v.name)) == v.reset, v.name);
        }
        QCOMPARE(order, table);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(option(0)->isChecked());
        QCOMPARE(QApplication::focusWidget(), option(0));
        QCOMPARE(cyclingAtFocusOut, std::optional<bool>(true));
        QVERIFY(!state().guard);
    }

    void allResetChangesNothingOnOtherTabs() {
        for (const TabValue& v : tabValues())
            setByUser(QLatin1String(v.name), v.changed);
        setAll({"Combo41=数行おきにリバースする", "Combo42=3", "Text3=足す", "Text13=条件", "Combo4=右",
                "Text6=9", "Check1(3)=1", "Check2=1"});
        showTab(0);
        get<QRadioButton>(QStringLiteral("Option1(5)"))->setChecked(true);
        showTab(1);
        get<QRadioButton>(QStringLiteral("Option2(4)"))->setChecked(true);
        showTab(3);
        check3()->setChecked(false);
        const ControlTexts before = m_window->controls().read();
        QTest::mouseClick(get<QPushButton>(QStringLiteral("Command22")), Qt::LeftButton);
        const ControlTexts after = m_window->controls().read();
        int others = 0;
        for (const auto& [name, value] : before.all()) {
            if (onTab3(name)) continue;
            ++others;
            QVERIFY2(after.text(name) == value, name.c_str());
        }
        QVERIFY(others > 100);
        QVERIFY(get<QRadioButton>(QStringLiteral("Option1(5)"))->isChecked());
        QVERIFY(get<QRadioButton>(QStringLiteral("Option2(4)"))->isChecked());
        QCOMPARE(get<QTabWidget>(QStringLiteral("SSTab1"))->currentIndex(), 3);
    }

    // Tab from the button is the keyboard's way on: back round to tab 0's first operation.
    void tabFromAllResetGoesToTheFifthTab() {
        auto* allReset = get<QPushButton>(QStringLiteral("Command22"));
        allReset->setFocus(Qt::TabFocusReason);
        QTest::keyClick(allReset, Qt::Key_Tab);
        QTRY_COMPARE(get<QTabWidget>(QStringLiteral("SSTab1"))->currentIndex(), 4);
        QVERIFY(get<QRadioButton>(QStringLiteral("Option5(0)"))->isChecked());
        QTRY_COMPARE(QApplication::focusWidget(), get<QWidget>(QStringLiteral("Option5(0)")));
    }

    void allResetDoesNothingUnderTheGuard() {
        setByUser(QStringLiteral("Combo27"), QStringLiteral("5"));
        option(3)->setChecked(true);
        {
            GuardHold hold(state());
            get<QPushButton>(QStringLiteral("Command22"))->click();
        }
        QCOMPARE(textOf(QStringLiteral("Combo27")), QStringLiteral("5"));
        QVERIFY(option(3)->isChecked());
        QVERIFY(!state().focusCycling);
    }

    void allResetByAccessKey() {
        setByUser(QStringLiteral("Combo29"), QStringLiteral("8"));
        QTest::keyClick(m_window.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(textOf(QStringLiteral("Combo29")), QStringLiteral("1"));
        QVERIFY(option(0)->isChecked());
    }

    void focusSelectsTheOperation_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("selects");
        const std::pair<int, QStringList> rows[] = {
            {0, {"Combo20"}},
            {1,
             {"Combo27", "Combo26", "Combo24", "Combo21", "Combo22", "Text38", "Combo23", "Combo25",
              "Command29"}},
            {2, {"Combo30", "Combo29", "Combo28", "Text41", "Combo35", "Combo36", "Combo37", "Command30"}},
            {3, {"Combo48", "Text15", "Combo50", "Combo49", "Command10", "Text22", "Command32"}},
            {4, {"Combo52", "Combo51", "Text23", "Command16", "Text24", "Combo53", "Command33"}},
            {5, {"Text27", "DTPicker1", "chkYoubi"}},
            {6, {"Combo54", "Text28", "DTPicker2", "Combo57"}},
            {7, {"Combo55", "Text29", "DTPicker3", "Combo56"}},
        };
        for (const auto& [selects, controls] : rows)
            for (const QString& control : controls)
                QTest::addRow("%s", qPrintable(control)) << control << selects;
        for (int i = 0; i < 8; ++i)
            QTest::addRow("Option4(%d)", i) << QStringLiteral("Option4(%1)").arg(i) << i;
    }
    void focusSelectsTheOperation() {
        QFETCH(QString, control);
        QFETCH(int, selects);
        const int other = selects == 0 ? 7 : 0;
        option(other)->setChecked(true);
        pane("Text1")->setFocus();
        state().focusCycling = true;
        get(control)->setFocus(Qt::MouseFocusReason);
        QVERIFY(get(control)->hasFocus());
        QVERIFY(option(selects)->isChecked());
        QVERIFY(!option(other)->isChecked());
        QVERIFY(!state().focusCycling);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void labelsSelectOnMouseUp_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("selects");
        const std::pair<int, QStringList> rows[] = {
            {1, {"Label4", "Label5", "Label6"}},
            {2, {"Label7", "Label9", "Label10"}},
            {4, {"Label16", "Label17"}},
            {5, {"Label19"}},
            {6, {"Label21"}},
            {7, {"Label22", "Label23"}},
        };
        for (const auto& [selects, labels] : rows)
            for (const QString& label : labels)
                QTest::addRow("%s", qPrintable(label)) << label << selects;
        // The step label of the first-weekday row selects nothing.
        QTest::newRow("Label15") << "Label15" << -1;
    }
    void labelsSelectOnMouseUp() {
        QFETCH(QString, label);
        QFETCH(int, selects);
        option(3)->setChecked(true);
        state().focusCycling = true;
        QTest::mouseClick(get<QLabel>(label), Qt::LeftButton);
        QCOMPARE(option(3)->isChecked(), selects == -1);
        if (selects >= 0) QVERIFY(option(selects)->isChecked());
        QCOMPARE(state().focusCycling, selects == -1);
    }

    void datePickersResetOnPress_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("key");
        QTest::addColumn<bool>("resets");
        for (int i = 0; i < 8; ++i) {
            QTest::addRow("mouse on Option4(%d)", i) << QStringLiteral("Option4(%1)").arg(i) << false << true;
            QTest::addRow("key on Option4(%d)", i) << QStringLiteral("Option4(%1)").arg(i) << true << true;
        }
        QTest::newRow("mouse on the words of Option4(6)") << "Option4(6).caption1" << false << true;
        QTest::newRow("mouse on Label19") << "Label19" << false << false;
        QTest::newRow("key in Text27") << "Text27" << true << false;
    }
    void datePickersResetOnPress() {
        QFETCH(QString, target);
        QFETCH(bool, key);
        QFETCH(bool, resets);
        const QDate old(2001, 2, 3);
        for (const char* name : {"DTPicker1", "DTPicker2", "DTPicker3"})
            get<QDateEdit>(QLatin1String(name))->setDate(old);
        QWidget* w = get(target);
        if (key) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_A);
        } else {
            QTest::mousePress(w, Qt::LeftButton);
            QTest::mouseRelease(w, Qt::LeftButton);
        }
        for (const char* name : {"DTPicker1", "DTPicker2", "DTPicker3"})
            QCOMPARE(get<QDateEdit>(QLatin1String(name))->date(), resets ? QDate::currentDate() : old);
    }

    void datePickersKeepTheirDateUnderTheGuard() {
        get<QDateEdit>(QStringLiteral("DTPicker2"))->setDate(QDate(2001, 2, 3));
        GuardHold hold(state());
        QTest::mousePress(option(5), Qt::LeftButton);
        QTest::mouseRelease(option(5), Qt::LeftButton);
        QCOMPARE(get<QDateEdit>(QStringLiteral("DTPicker2"))->date(), QDate(2001, 2, 3));
    }

    // A whole date typed over the picker's text (Ctrl+A) sets year, month and day; a text that is
    // no date, or Escape, leaves the date it had.
    void datePickersTakeATypedDate_data() {
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("finish");  // the key, or 0: a click on another control
        QTest::addColumn<QDate>("date");
        const QDate before(2026, 12, 8), typed(2028, 3, 5);
        QTest::newRow("DTPicker1, Tab") << "DTPicker1"
                                        << "2028/03/05" << int(Qt::Key_Tab) << typed;
        QTest::newRow("DTPicker2, Enter") << "DTPicker2"
                                          << "2028/3/5" << int(Qt::Key_Return) << typed;
        QTest::newRow("DTPicker3, eight digits") << "DTPicker3"
                                                 << "20280305" << int(Qt::Key_Tab) << typed;
        QTest::newRow("dashes, left by a click") << "DTPicker1"
                                                 << "2028-03-05" << 0 << typed;
        QTest::newRow("a typo mended") << "DTPicker2"
                                       << "2028/03/06\b5" << int(Qt::Key_Tab) << typed;
        QTest::newRow("no such day") << "DTPicker2"
                                     << "2028/02/30" << int(Qt::Key_Tab) << before;
        QTest::newRow("no date") << "DTPicker3"
                                 << "abc" << int(Qt::Key_Tab) << before;
        QTest::newRow("Escape") << "DTPicker1"
                                << "2028/03/05" << int(Qt::Key_Escape) << before;
    }
    void datePickersTakeATypedDate() {
        QFETCH(QString, picker);
        QFETCH(QString, typed);
        QFETCH(int, finish);
        QFETCH(QDate, date);
        auto* edit = get<QDateEdit>(picker);
        edit->setDate(QDate(2026, 12, 8));
        // Clicked as the window delivers it, on the frame: Qt's date edit steps its year there.
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                          edit->mapTo(m_window.get(), QPoint(1, 1)));
        QTRY_VERIFY(edit->hasFocus());
        QCOMPARE(edit->date(), QDate(2026, 12, 8));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        // "\b" in the row is a Backspace.
        const QStringList parts = typed.split(u'\b');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, parts[i]);
        }
        if (finish)
            QTest::keyClick(edit, Qt::Key(finish));
        else
            QTest::mouseClick(get("Text27"), Qt::LeftButton);
        QCOMPARE(edit->date(), date);
        QCOMPARE(edit->text(), date.toString(QStringLiteral("yyyy/MM/dd")));
        if (finish == Qt::Key_Tab) QVERIFY(!edit->hasFocus());
    }

    void runsFromTheWindow_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("afterwards");
        QTest::newRow("sort descending") << 0 << "b\r\na\r\nc" << QStringList{"Combo20=降順でソートする"}
                                         << "c\r\nb\r\na" << QStringList{} << QStringList{};
        QTest::newRow("running numbers")
            << 1 << "a\r\nb\r\nc\r\nd\r\ne" << QStringList{"Combo27=2", "Combo26=1", "Combo25=00"}
            << "a\r\n01b\r\nc\r\n02d\r\ne" << QStringList{} << QStringList{};
        // Yes to the question sets the position to 1 as a program assignment.
        QTest::newRow("running numbers at the right end")
            << 1 << "a\r\nb\r\nc" << QStringList{"Combo24=右", "Combo25=0"} << "a1\r\nb2\r\nc3"
            << QStringList{"文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定"
                           "しますか？"}
            << QStringList{"Combo21=1"};
        QTest::newRow("copies") << 2 << "No.5 abc" << QStringList{"Text41=3", "Combo36=0"}
                                << "No.5 abc\r\nNo.6 abc\r\nNo.7 abc" << QStringList{} << QStringList{};
        QTest::newRow("copies of two lines") << 2 << "a1\r\nb" << QStringList{"Text41=2", "Combo36=0"}
                                             << "a1\r\nb\r\na2\r\nb" << QStringList{} << QStringList{};
        QTest::newRow("one copy is refused")
            << 2 << "a1" << QStringList{"Text41=1", "Combo28=デクリメント"} << ""
            << QStringList{"デクリメント～し改行して追加する行数を「2」以上で入力して下さい。"}
            << QStringList{};
        QTest::newRow("replace the found text only")
            << 3 << "a=b=c" << QStringList{"Combo48=右", "Text15==", "Combo49=0", "Text22=-"} << "a=b-c"
            << QStringList{} << QStringList{};
        QTest::newRow("empty search text")
            << 3 << "a=b" << QStringList{} << ""
            << QStringList{"…から見つけた●●●を含む文字を入力して下さい。"} << QStringList{};
        // The search box takes several lines, so a line break can reach the operation.
        QTest::newRow("search text with a line break")
            << 3 << "a=b" << QStringList{"Text15==\nb"} << ""
            << QStringList{"条件の文字に改行が含まれています。"} << QStringList{};
        QTest::newRow("date series by months") << 4 << "2024/01/31" << QStringList{"Combo52=月", "Text24=3"}
                                               << "2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n2024/04/30\r\n"
                                               << QStringList{} << QStringList{};
        QTest::newRow("date series, hyphens, back")
            << 4 << "2024/03/01" << QStringList{"Combo51=デクリメント", "Text24=1", "Combo53=" + kHyphen}
            << "2024-03-01\r\n2024-02-29\r\n"
            << QStringList{} << QStringList{};
        QTest::newRow("month ends with weekdays")
            << 5 << "" << QStringList{"DTPicker1=2024/01/15", "Text27=3", "chkYoubi=1"}
            << "2024/01/31 水\r\n2024/02/29 木\r\n2024/03/31 日\r\n"
            << QStringList{} << QStringList{};
        QTest::newRow("first Mondays every second month")
            << 6 << "" << QStringList{"DTPicker2=2024/01/20", "Combo54=月", "Combo57=2", "Text28=5"}
            << "2024/01/01\r\n2024/03/04\r\n2024/05/06\r\n"
            << QStringList{} << QStringList{};
        QTest::newRow("Sundays every two weeks")
            << 7 << "" << QStringList{"DTPicker3=2024/01/20", "Combo55=日", "Combo56=2", "Text29=2"}
            << "2024/01/07\r\n2024/01/21\r\n2024/02/04\r\n2024/02/18\r\n"
            << QStringList{} << QStringList{};
        QTest::newRow("month count too large")
            << 5 << "" << QStringList{"Text27=2000001"} << ""
            << QStringList{"2以上2000000以下の数値を入力して下さい。"} << QStringList{};
        QTest::newRow("month count one")
            << 7 << "" << QStringList{"Text29=1"} << ""
            << QStringList{"2以上2000000以下の数値を入力して下さい。"} << QStringList{};
    }
    void runsFromTheWindow() {
        QFETCH(int, selected);
        QFETCH(QString, upper);
        QFETCH(QStringList, settings);
        QFETCH(QString, lower);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, afterwards);
        option(selected)->setChecked(true);
        pane("Text1")->assign(toText(upper));
        setAll(settings);
        QVERIFY(m_boxes->shown().isEmpty());
        execute();
        QCOMPARE(toQString(pane("Text2")->text()), lower);
        QCOMPARE(messages(), shown);
        QCOMPARE(m_window->operationCode(), 27 + selected);
        for (const QString& s : afterwards)
            QCOMPARE(textOf(s.section(u'=', 0, 0)), s.section(u'=', 1));
        QVERIFY(!state().guard);
        QVERIFY(!state().stop);
    }

    // Stop during a month enumeration: the operation says so and writes nothing, the run cycle
    // leaves the lower pane alone, and the stop flag is clear again, so closing asks first.
    void stopDuringAMonthEnumeration_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("settings");
        // 0100/01 plus 118799 months is 9999/12: the longest list the start-date checks allow.
        QTest::newRow("month ends") << 5 << QStringList{"DTPicker1=0100/01/01", "Text27=118799"};
        QTest::newRow("first weekdays") << 6 << QStringList{"DTPicker2=0100/01/01", "Text28=118799"};
        QTest::newRow("weekday dates") << 7 << QStringList{"DTPicker3=0100/01/01", "Text29=118799"};
    }
    void stopDuringAMonthEnumeration() {
        QFETCH(int, selected);
        QFETCH(QStringList, settings);
        option(selected)->setChecked(true);
        setAll(settings);
        bool stoppedDuringRun = false;
        QObject scope;  // the timer must not outlive this test's locals
        QTimer::singleShot(0, &scope, [&] {
            stoppedDuringRun = state().guard;
            pane("Text2")->assign(u"実行中の入力");  // the lower pane stays enabled during a run
            QTest::mouseClick(get<QPushButton>(QStringLiteral("Command6")), Qt::LeftButton);
        });
        execute();
        QVERIFY2(stoppedDuringRun, "the run ended before it processed events");
        QCOMPARE(messages(), QStringList{kStopped});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
        QVERIFY(pane("Text2")->text() == Text(u"実行中の入力"));
        QVERIFY(!state().stop);
        QVERIFY(!state().guard);
        QVERIFY(get<QPushButton>(QStringLiteral("Command3"))->isEnabled());
        m_boxes->setNextAnswer(Answer::No);
        m_window->close();
        QCOMPARE(messages().last(), kExitQuestion);
        QVERIFY(m_window->isVisible());
    }

    // An operation that fails sets the stop flag itself: the run ends as a stopped one, without
    // emptying the lower pane, and the flag is clear afterwards.
    void failedMonthEnumerationEndsAsStopped_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Icon>("icon");
        QTest::newRow("month ends before year 100")
            << 5 << QStringList{"DTPicker1=0099/12/31"} << "西暦100年01/01より以前の日付は扱えません。"
            << Icon::Information;
        QTest::newRow("month ends past 9999")
            << 5 << QStringList{"DTPicker1=9999/11/01"} << "月末の日付を取得の際にエラーしました。"
            << Icon::Exclamation;
        QTest::newRow("first weekdays past 9999")
            << 6 << QStringList{"DTPicker2=9999/12/01"} << "月初めの週を取得の際にエラーしました。"
            << Icon::Exclamation;
        QTest::newRow("weekday dates past 9999")
            << 7 << QStringList{"DTPicker3=9999/12/01"}
            << "日付が「9999/12/31」を超えた、もしくはエラーしました。" << Icon::Exclamation;
    }
    void failedMonthEnumerationEndsAsStopped() {
        QFETCH(int, selected);
        QFETCH(QStringList, settings);
        QFETCH(QString, message);
        QFETCH(Icon, icon);
        option(selected)->setChecked(true);
        setAll(settings);
        m_boxes->whileShown = [this] { pane("Text2")->assign(u"メッセージ中の入力"); };
        execute();
        m_boxes->whileShown = nullptr;
        QCOMPARE(messages(), QStringList{message});
        QCOMPARE(m_boxes->shown().front().icon, icon);
        QVERIFY(pane("Text2")->text() == Text(u"メッセージ中の入力"));
        QVERIFY(!state().stop);
        QVERIFY(!state().guard);
        m_boxes->setNextAnswer(Answer::No);
        m_window->close();
        QCOMPARE(messages().last(), kExitQuestion);
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet4Test)

#include "tab_set4_test.moc"
