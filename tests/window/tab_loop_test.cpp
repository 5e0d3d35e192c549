// Tab 2, the loop generator, driven through the real window by objectName: the input rules of
// its controls, the all-slots combos, the check boxes, the selection of the operation, AllReset
// and runs of the generator.
#include <map>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "window/control_model.h"
#include "window/controls.h"
#include "window/loop_rules.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

constexpr int kRows = 17;

QString indexed(const char* array, int i) {
    return QString::fromStdString(arrayName(array, i));
}

QString repeated(QChar c, int n) {
    return QString(n, c);
}

const QString kLoopCountMissing = QStringLiteral("ループ回数を入力して下さい。");
const QString kMinusQuestion =
    QStringLiteral("マイナス記号が数字と数字の間にあります、計算式の計算は行いませんがよろしいですか？。");
const QString kSpaceQuestion = QStringLiteral("追加する文字が半角スペースですがよろしいですか？");
const QString kNoThirdNumber = QStringLiteral("3個目以降の半角数字は見つかりませんでした。");
const QString kLoopError = QStringLiteral("文字数オーバーまたはその他エラーです。");

// Records the focus-cycling flag at the moment a control loses the focus.
class FocusOutProbe final : public QObject {
public:
    FocusOutProbe(QWidget* control, const WindowState& state) : m_state(state) {
        control->installEventFilter(this);
    }
    std::optional<bool> flagAtFocusOut;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) flagAtFocusOut = m_state.focusCycling;
        return false;
    }

private:
    const WindowState& m_state;
};

}  // namespace

class TabLoopTest : public WindowFixture {
    Q_OBJECT

public:
    TabLoopTest() : WindowFixture(2) {}

private:
    // A window takes a second to load its lists: the rows of one table share a window, which
    // AllReset (tested on its own below) returns to its start between them.
    QString windowKey(const QByteArray& function) const override { return QString::fromLatin1(function); }
    void startTest(bool reused) override {
        if (!reused) return;
        get<QPushButton>(QStringLiteral("Command24"))->click();
        pane("Text1")->assign(Text());
        pane("Text2")->assign(Text());
    }

    QLineEdit* text6() { return get<QLineEdit>(QStringLiteral("Text6")); }
    QStringList column(const char* array) {
        QStringList texts;
        for (int i = 0; i < kRows; ++i)
            texts.append(combo(indexed(array, i))->currentText());
        return texts;
    }
    void setColumn(const char* array, const QString& text) {
        for (int i = 0; i < kRows; ++i)
            combo(indexed(array, i))->setEditText(text);
    }
    int tickedRows() {
        int n = 0;
        for (int i = 0; i < kRows; ++i)
            n += check(indexed("Check1", i))->isChecked() ? 1 : 0;
        return n;
    }
    // Sets a combo's text so that its text-change rule sees `text` as a change.
    static void changeText(QComboBox* c, const QString& text) {
        {
            const QSignalBlocker quiet(c);
            c->setEditText(QStringLiteral("\u0001"));
        }
        c->setEditText(text);
    }
    static void typeInto(QComboBox* c, const QString& keys) {
        c->setFocus();
        c->lineEdit()->selectAll();
        QTest::keyClicks(c, keys);
    }
    // AllReset while Check3 has the focus leaves the flag set (nothing receives the focus after).
    void raiseFocusCyclingFlag() {
        focus(check("Check3"));
        get<QPushButton>(QStringLiteral("Command24"))->click();
        QVERIFY(state().focusCycling);
    }
    void runOn(TextView upper) {
        pane("Text2")->assign(Text());
        pane("Text1")->assign(upper);
        execute();
    }

private slots:
    void loadsTheTab() {
        QVERIFY(check("Check3")->isChecked());
        QCOMPARE(text6()->text(), QStringLiteral("5"));
        QCOMPARE(text6()->maxLength(), 10);
        QCOMPARE(column("ComboId"), QStringList(kRows, kIncrement));
        QCOMPARE(column("ComboStep"), QStringList(kRows, QStringLiteral("1")));
        QCOMPARE(column("ComboFm"), QStringList(kRows, QStringLiteral("0")));
        QCOMPARE(tickedRows(), 0);
        QCOMPARE(check("Check1(0)")->text(), QStringLiteral("1回目の数値を"));
        QCOMPARE(get<QLabel>(QStringLiteral("Check1(16).caption1"))->text(), QStringLiteral("する(&9)"));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // Each control's text-change rule, at its boundaries.
    void textRules_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        const QString fm16 = repeated(u'0', 16);
        const struct {
            const char* tag;
            const char* control;
            QString text;
            QString result;
        } rows[] = {
            {"id decrement", "ComboId(0)", kDecrement, kDecrement},
            {"id other", "ComboId(8)", QStringLiteral("x"), kIncrement},
            {"id empty", "ComboId(16)", QString(), kIncrement},
            {"id with a space", "ComboId(3)", kDecrement + u' ', kIncrement},
            {"step 1", "ComboStep(0)", "1", "1"},
            {"step 999", "ComboStep(16)", "999", "999"},
            {"step 0", "ComboStep(2)", "0", "1"},
            {"step empty", "ComboStep(2)", "", "1"},
            {"step letters", "ComboStep(2)", "abc", "1"},
            {"step negative", "ComboStep(2)", "-1", "1"},
            {"step 9990 sorts after 999", "ComboStep(2)", "9990", "1"},
            {"step 9999", "ComboStep(2)", "9999", "1"},
            {"step leading blank", "ComboStep(2)", " 5", "1"},
            {"step full-width digit", "ComboStep(2)", QStringLiteral("１"), "1"},
            {"step 1000 sorts between", "ComboStep(5)", "1000", "1000"},
            {"step 40000 sorts between", "ComboStep(5)", "40000", "40000"},
            {"step 1.5", "ComboStep(5)", "1.5", "1.5"},
            {"step 1a", "ComboStep(5)", "1a", "1a"},
            {"step 998x", "ComboStep(5)", "998x", "998x"},
            {"format 0", "ComboFm(1)", "0", "0"},
            {"format 16 zeros", "ComboFm(1)", fm16, fm16},
            {"format 17 zeros", "ComboFm(1)", fm16 + u'0', "000"},
            {"format letters", "ComboFm(1)", "abc", "000"},
            {"format empty", "ComboFm(1)", "", "000"},
            {"format 01", "ComboFm(1)", "01", "000"},
            {"format full-width zero", "ComboFm(1)", QStringLiteral("０"), "000"},
            {"side right", "Combo58", QStringLiteral("右"), QStringLiteral("右")},
            {"side other", "Combo58", QStringLiteral("上"), QStringLiteral("左")},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << QString::fromLatin1(r.control) << r.text << r.result;
    }
    void textRules() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, result);
        changeText(combo(control), text);
        QCOMPARE(combo(control)->currentText(), result);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!state().guard);
    }

    void typedIntoRowCombos_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("result");
        const struct {
            const char* control;
            const char* keys;
            QString result;
        } rows[] = {
            {"ComboFm(4)", "abc", "000"},     {"ComboFm(4)", "00000", "00000"}, {"ComboStep(4)", "0", "1"},
            {"ComboStep(4)", "1000", "1000"}, {"ComboId(4)", "x", kIncrement},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s", r.control, r.keys) << r.control << r.keys << r.result;
    }
    void typedIntoRowCombos() {
        QFETCH(QString, control);
        QFETCH(QString, keys);
        QFETCH(QString, result);
        typeInto(combo(control), keys);
        QCOMPARE(combo(control)->currentText(), result);
    }

    void directionTicksTheLoopAndClearsTheFlag() {
        raiseFocusCyclingFlag();
        check("Check3")->setChecked(false);
        combo("ComboId(5)")->setEditText(kDecrement);
        QVERIFY(check("Check3")->isChecked());
        QVERIFY(!state().focusCycling);
    }

    // The all-slots combos on a text change: the combo's own text and its whole column.
    void allSlots_data() {
        QTest::addColumn<QString>("all");
        QTest::addColumn<QString>("array");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("comboAfter");
        QTest::addColumn<QString>("columnAfter");
        const QString fm16 = repeated(u'0', 16);
        auto row = [](const char* tag, const char* all, const char* array, const QString& before,
                      const QString& text, const QString& comboAfter, const QString& columnAfter) {
            QTest::newRow(tag) << QString::fromLatin1(all) << QString::fromLatin1(array) << before << text
                               << comboAfter << columnAfter;
        };
        row("all decrement", "Combo44", "ComboId", kIncrement, kAllDecrement, kAllDecrement, kDecrement);
        row("all increment", "Combo44", "ComboId", kDecrement, kAllIncrement, kAllIncrement, kIncrement);
        row("directions other", "Combo44", "ComboId", kDecrement, "x", kAllIncrement, kIncrement);
        row("directions prefix only", "Combo44", "ComboId", kDecrement, kAllPrefix, kAllIncrement,
            kIncrement);
        row("steps 12", "Combo45", "ComboStep", "7", "すべて12", "すべて12", "12");
        row("steps 999", "Combo45", "ComboStep", "7", "すべて999", "すべて999", "999");
        row("steps 1.5 rounds to even", "Combo45", "ComboStep", "7", "すべて1.5", "すべて1.5", "2");
        row("steps 2.5 rounds to even", "Combo45", "ComboStep", "7", "すべて2.5", "すべて2.5", "2");
        row("steps 12a reads 12", "Combo45", "ComboStep", "7", "すべて12a", "すべて12a", "12");
        row("steps exponent", "Combo45", "ComboStep", "7", "すべて1e2", "すべて1e2", "100");
        row("steps leading blank", "Combo45", "ComboStep", "7", "すべて 12", "すべて 12", "12");
        row("steps 1000 is too long", "Combo45", "ComboStep", "7", "すべて1000", kAllStepOne, "7");
        row("steps 0", "Combo45", "ComboStep", "7", "すべて0", kAllStepOne, "7");
        row("steps 0.5", "Combo45", "ComboStep", "7", "すべて0.5", kAllStepOne, "7");
        row("steps negative", "Combo45", "ComboStep", "7", "すべて-5", kAllStepOne, "7");
        row("steps letters", "Combo45", "ComboStep", "7", "すべてx", kAllStepOne, "7");
        row("steps prefix only", "Combo45", "ComboStep", "7", kAllPrefix, kAllStepOne, "7");
        row("steps no prefix", "Combo45", "ComboStep", "7", "12", kAllStepOne, "7");
        row("steps short prefix", "Combo45", "ComboStep", "7", "すべ", kAllStepOne, "7");
        row("formats 000", "Combo46", "ComboFm", "00", "すべて000", "すべて000", "000");
        row("formats 16 zeros", "Combo46", "ComboFm", "00", kAllPrefix + fm16, kAllPrefix + fm16, fm16);
        row("formats 17 zeros", "Combo46", "ComboFm", "00", kAllPrefix + fm16 + u'0', kAllFormatZero, "0");
        row("formats letters", "Combo46", "ComboFm", "00", "すべて00x", kAllFormatZero, "0");
        row("formats prefix only", "Combo46", "ComboFm", "00", kAllPrefix, kAllFormatZero, "0");
    }
    void allSlots() {
        QFETCH(QString, all);
        QFETCH(QString, array);
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QString, comboAfter);
        QFETCH(QString, columnAfter);
        const QByteArray name = array.toLatin1();
        setColumn(name.constData(), before);
        changeText(combo(all), text);
        QCOMPARE(combo(all)->currentText(), comboAfter);
        QCOMPARE(column(name.constData()), QStringList(kRows, columnAfter));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // A pick or a key applies the all-slots combo even when its text does not change.
    void pickAndKeyApplyTheSameText() {
        combo("ComboId(3)")->setEditText(kDecrement);
        QComboBox* directions = combo("Combo44");
        QCOMPARE(directions->currentIndex(), 0);
        emit directions->activated(0);
        QCOMPARE(column("ComboId"), QStringList(kRows, kIncrement));

        combo("ComboStep(9)")->setEditText(QStringLiteral("9"));
        focus(combo("Combo45"));
        QTest::keyClick(combo("Combo45"), Qt::Key_End);
        QCOMPARE(column("ComboStep"), QStringList(kRows, QStringLiteral("1")));

        combo("ComboFm(1)")->setEditText(QStringLiteral("000"));
        QComboBox* formats = combo("Combo46");
        formats->setCurrentIndex(4);
        emit formats->activated(4);
        QCOMPARE(column("ComboFm"), QStringList(kRows, QStringLiteral("00000")));
    }

    void loopCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        const std::pair<QString, QString> rows[] = {
            {"12", "12"},
            {"007", "007"},
            {"9999999999", "9999999999"},
            {"12345678901", "1234567890"},  // at most ten characters
            {"0", "5"},
            {"00", "5"},
            {"", "5"},
            {"5a", "5"},
            {"1.5", "5"},
            {"-1", "5"},
            {"1e999", "5"},  // too large for a number
            {QStringLiteral("１"), "1"},
        };
        for (const auto& [text, result] : rows)
            QTest::addRow("'%s'", qPrintable(text)) << text << result;
    }
    void loopCount() {
        QFETCH(QString, text);
        QFETCH(QString, result);
        text6()->setText(QStringLiteral("3"));
        text6()->setText(text);
        QCOMPARE(text6()->text(), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void loopCountTyped() {
        focus(text6());
        text6()->end(false);
        QTest::keyClicks(text6(), "a");
        QCOMPARE(text6()->text(), QStringLiteral("5"));
        text6()->selectAll();
        QTest::keyClicks(text6(), "0");
        QCOMPARE(text6()->text(), QStringLiteral("5"));
        text6()->selectAll();
        QTest::keyClicks(text6(), "42");
        QCOMPARE(text6()->text(), QStringLiteral("42"));
    }

    void addString_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("kept");
        QTest::newRow("hash") << "#" << QStringList{} << true;
        QTest::newRow("line break") << "\n" << QStringList{} << true;
        QTest::newRow("minus") << "-" << QStringList{kAddStringDigitMessage} << false;
        QTest::newRow("digit after letters") << "ab1" << QStringList{kAddStringDigitMessage} << false;
        QTest::newRow("full-width digit") << QStringLiteral("１") << QStringList{} << true;
        QTest::newRow("65534 characters") << repeated(u'a', 65534) << QStringList{} << true;
        QTest::newRow("65535 characters")
            << repeated(u'a', 65535) << QStringList{kAddStringLengthMessage} << false;
        QTest::newRow("line break counts two, 65534") << repeated(u'a', 65532) + "\n"
                                                      << QStringList{} << true;
        QTest::newRow("line break counts two, 65535") << repeated(u'a', 65533) + "\n"
                                                      << QStringList{kAddStringLengthMessage} << false;
        QTest::newRow("too long with a digit: one message")
            << repeated(u'a', 65534) + "1" << QStringList{kAddStringLengthMessage} << false;
    }
    void addString() {
        QFETCH(QString, text);
        QFETCH(QStringList, messages);
        QFETCH(bool, kept);
        PlainTextBox* box = pane("Text30");
        box->clear();
        check("Check4")->setChecked(false);
        box->insertPlainText(text);  // as pasted
        QCOMPARE(m_boxes->texts(), messages);
        for (const auto& shown : m_boxes->shown())
            QCOMPARE(shown.icon, Icon::Information);
        QString held = text;
        held.replace(u'\n', QStringLiteral("\r\n"));
        QVERIFY(box->text() == (kept ? toText(held) : Text()));
        QVERIFY(check("Check4")->isChecked());
    }

    void typingOrClickingInAddStringTicksCheck4() {
        PlainTextBox* box = pane("Text30");
        QCheckBox* check4 = check("Check4");
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QVERIFY(check4->isChecked());
        check4->setChecked(false);
        QTest::keyClick(box, Qt::Key_Left);  // a key that changes nothing
        QVERIFY(check4->isChecked());
        QTest::keyClicks(box, "#");
        QVERIFY(box->text() == Text(u"#"));
        QTest::keyClicks(box, "-");
        QCOMPARE(m_boxes->texts(), QStringList{kAddStringDigitMessage});
        QVERIFY(box->isEmpty());
        QVERIFY(check4->isChecked());
    }

    void rowKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("space, once") << int(Qt::Key_Space) << true;
        QTest::newRow("letter") << int(Qt::Key_A) << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << true;
        QTest::newRow("escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("tab moves on") << int(Qt::Key_Tab) << false;
        QTest::newRow("shift alone") << int(Qt::Key_Shift) << false;
    }
    void rowKeys() {
        QFETCH(int, key);
        QFETCH(bool, toggles);
        QCheckBox* row = check("Check1(5)");
        focus(row);
        check("Check3")->setChecked(false);
        QTest::keyClick(row, Qt::Key(key));
        QCOMPARE(row->isChecked(), toggles);
        if (!toggles) return;  // (Tab moves to the direction, which ticks Check3 itself)
        QVERIFY(check("Check3")->isChecked());
        QTest::keyClick(row, Qt::Key(key));
        QVERIFY(!row->isChecked());
    }

    void rowClickTicksTheLoopAndFocusesTheRow() {
        QCheckBox* row = check("Check1(7)");
        focus(combo("ComboStep(0)"));
        check("Check3")->setChecked(false);
        QTest::mouseClick(row, Qt::LeftButton);
        QVERIFY(row->isChecked());
        QVERIFY(check("Check3")->isChecked());
        QCOMPARE(QApplication::focusWidget(), row);

        // The words after the direction belong to the row's caption.
        focus(combo("ComboStep(0)"));
        check("Check3")->setChecked(false);
        QTest::mouseClick(get<QLabel>(QStringLiteral("Check1(7).caption1")), Qt::LeftButton);
        QVERIFY(!row->isChecked());
        QVERIFY(check("Check3")->isChecked());
        QCOMPARE(QApplication::focusWidget(), row);
    }

    void check2SetsEveryRow() {
        QCheckBox* all = check("Check2");
        QTest::mouseClick(all, Qt::LeftButton);
        QVERIFY(all->isChecked());
        QCOMPARE(tickedRows(), kRows);
        QTest::keyClick(all, Qt::Key_Space);
        QVERIFY(!all->isChecked());
        QCOMPARE(tickedRows(), 0);
        check("Check1(4)")->setChecked(true);
        QTest::keyClick(all, Qt::Key_A);  // no toggle: the rows take the box's state
        QVERIFY(!all->isChecked());
        QCOMPARE(tickedRows(), 0);
        QTest::mouseClick(all, Qt::LeftButton);
        QCOMPARE(tickedRows(), kRows);
    }

    void check4Keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("shift") << int(Qt::Key_Shift) << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("space") << int(Qt::Key_Space) << true;
        QTest::newRow("letter") << int(Qt::Key_A) << false;
    }
    void check4Keys() {
        QFETCH(int, key);
        QFETCH(bool, toggles);
        QCheckBox* check4 = check("Check4");
        focus(check4);
        QTest::keyClick(check4, Qt::Key(key));
        QCOMPARE(check4->isChecked(), toggles);
    }

    // What receiving the focus (or, for labels, a mouse release) does to the selection.
    void selection_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<bool>("ticksCheck3");
        QTest::addColumn<bool>("clearsFlag");
        const struct {
            const char* control;
            bool mouse;
            bool ticks;
            bool clears;
        } rows[] = {
            {"ComboId(4)", false, true, false}, {"ComboStep(4)", false, true, true},
            {"ComboFm(16)", false, true, true}, {"Check2", false, true, true},
            {"Text6", false, true, true},       {"Combo44", false, true, true},
            {"Combo45", false, true, true},     {"Combo46", false, true, true},
            {"Check1(2)", false, false, true},  {"Check4", false, false, true},
            {"Combo58", false, false, false},   {"Text30", false, false, false},
            {"Label12", true, true, true},      {"Label13(3)", true, true, true},
            {"Label14(16)", true, true, true},
        };
        for (const auto& r : rows)
            QTest::newRow(r.control) << QString::fromLatin1(r.control) << r.mouse << r.ticks << r.clears;
    }
    void selection() {
        QFETCH(QString, control);
        QFETCH(bool, byMouse);
        QFETCH(bool, ticksCheck3);
        QFETCH(bool, clearsFlag);
        raiseFocusCyclingFlag();
        check("Check3")->setChecked(false);
        QWidget* w = get<QWidget>(control);
        if (byMouse) {
            QTest::mouseClick(w, Qt::LeftButton);
        } else {
            focus(w);
        }
        QCOMPARE(check("Check3")->isChecked(), ticksCheck3);
        QCOMPARE(state().focusCycling, !clearsFlag);
    }

    void check3OnFocusOnlyClearsTheFlag() {
        raiseFocusCyclingFlag();
        focus(combo("Combo58"));  // leaves the flag alone
        check("Check3")->setChecked(false);
        focus(check("Check3"));
        QVERIFY(!check("Check3")->isChecked());
        QVERIFY(!state().focusCycling);
    }

    // Tab walks the tab line by line and, being no key pressed in a control, changes nothing.
    void focusOrder() {
        QStringList expected = {"Text6", "Check2", "Combo44", "Combo45", "Combo46"};
        for (int i = 0; i < kRows; ++i)
            expected << indexed("Check1", i) << indexed("ComboId", i) << indexed("ComboStep", i)
                     << indexed("ComboFm", i);
        expected << "Check4"
                 << "Combo58"
                 << "Text30"
                 << "Command24";
        check("Check2")->setChecked(true);                        // the rows do not follow it on Tab
        combo("ComboStep(3)")->setEditText(QStringLiteral("7"));  // nor does Combo45 reapply its step
        focus(check("Check3"));
        QStringList order;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(order, expected);
        QCOMPARE(tickedRows(), 0);
        QCOMPARE(combo("ComboStep(3)")->currentText(), QStringLiteral("7"));
        QVERIFY(!check("Check4")->isChecked());
    }

    void allResetRestoresEveryControlInOrder() {
        const std::map<std::string, Text, std::less<>> otherTabsBefore = [this] {
            combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
            get<QLineEdit>(QStringLiteral("Text13"))->setText(QStringLiteral("探す"));
            return otherTabs();
        }();
        // Everything away from its start value, through the tab's own controls.
        QTest::mouseClick(check("Check2"), Qt::LeftButton);
        changeText(combo("Combo44"), kAllDecrement);
        changeText(combo("Combo45"), QStringLiteral("すべて12"));
        changeText(combo("Combo46"), QStringLiteral("すべて00"));
        text6()->setText(QStringLiteral("12"));
        pane("Text30")->assign(u"#");
        combo("Combo58")->setEditText(QStringLiteral("右"));
        check("Check3")->setChecked(false);
        QVERIFY(check("Check4")->isChecked());
        QCOMPARE(tickedRows(), kRows);

        QStringList order;
        QObject scope;
        auto record = [&order](const QString& name) { order.append(name); };
        for (QCheckBox* c : m_window->findChildren<QCheckBox*>())
            connect(c, &QCheckBox::toggled, &scope, [record, c] { record(c->objectName()); });
        for (QComboBox* c : m_window->findChildren<QComboBox*>())
            connect(c, &QComboBox::editTextChanged, &scope, [record, c] { record(c->objectName()); });
        for (QLineEdit* t : m_window->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(t->parent()))
                connect(t, &QLineEdit::textChanged, &scope, [record, t] { record(t->objectName()); });
        for (PlainTextBox* t : m_window->findChildren<PlainTextBox*>())
            connect(t, &QPlainTextEdit::textChanged, &scope, [record, t] { record(t->objectName()); });
        FocusOutProbe probe(get<QPushButton>(QStringLiteral("Command24")), state());

        QTest::mouseClick(get<QPushButton>(QStringLiteral("Command24")), Qt::LeftButton);

        QStringList expected = {"Check2", "Combo44", "Combo45", "Combo46", "Text6"};
        for (int i = 0; i < kRows; ++i)
            expected << indexed("Check1", i) << indexed("ComboId", i) << indexed("ComboStep", i)
                     << indexed("ComboFm", i);
        expected << "Text30"
                 << "Combo58"
                 << "Check4"
                 << "Check3";
        QCOMPARE(order, expected);
        QVERIFY(m_boxes->shown().isEmpty());

        QCOMPARE(tickedRows(), 0);
        QVERIFY(!check("Check2")->isChecked());
        QVERIFY(!check("Check4")->isChecked());
        QVERIFY(check("Check3")->isChecked());
        QCOMPARE(QApplication::focusWidget(), check("Check3"));
        QCOMPARE(combo("Combo44")->currentText(), kAllIncrement);
        QCOMPARE(combo("Combo45")->currentText(), kAllStepOne);
        QCOMPARE(combo("Combo46")->currentText(), kAllFormatZero);
        QCOMPARE(combo("Combo58")->currentText(), QStringLiteral("左"));
        QCOMPARE(column("ComboId"), QStringList(kRows, kIncrement));
        QCOMPARE(column("ComboStep"), QStringList(kRows, QStringLiteral("1")));
        QCOMPARE(column("ComboFm"), QStringList(kRows, QStringLiteral("0")));
        QCOMPARE(text6()->text(), QStringLiteral("5"));
        QVERIFY(pane("Text30")->isEmpty());
        // The focus left the button while the flag was set, so the focus stays on this tab.
        QCOMPARE(probe.flagAtFocusOut, std::optional<bool>(true));
        QVERIFY(!state().guard);
        QVERIFY(otherTabs() == otherTabsBefore);
    }

    // --- runs of the loop generator from the window ---

    void fiveCopiesByDefault() {
        QTest::mouseClick(check("Check1(0)"), Qt::LeftButton);
        runOn(u"No.1");
        QVERIFY(pane("Text2")->text() == Text(u"No.1\r\nNo.2\r\nNo.3\r\nNo.4\r\nNo.5"));
        QCOMPARE(m_window->operationCode(), 26);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void emptyLoopCountIsRefused() {
        check("Check1(0)")->setChecked(true);
        {
            const QSignalBlocker quiet(text6());  // only a program edit can empty it
            text6()->clear();
        }
        runOn(u"No.1");
        QCOMPARE(m_boxes->texts(), QStringList{kLoopCountMissing});
        QVERIFY(pane("Text2")->isEmpty());
    }

    void minusQuestion_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes") << Answer::Yes;
        QTest::newRow("no") << Answer::No;
        QTest::newRow("cancel") << Answer::Cancel;
    }
    void minusQuestion() {
        QFETCH(Answer, answer);
        check("Check1(0)")->setChecked(true);
        text6()->setText(QStringLiteral("2"));
        m_boxes->setNextAnswer(answer);
        runOn(u"5-3x");
        QCOMPARE(m_boxes->texts(), QStringList{kMinusQuestion});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Question);
        QVERIFY(pane("Text2")->text() == (answer == Answer::Yes ? Text(u"5x\r\n6x") : Text()));
    }

    void addStringTypedIntoTheBox() {
        check("Check1(0)")->setChecked(true);
        text6()->setText(QStringLiteral("2"));
        combo("Combo58")->setEditText(QStringLiteral("右"));
        focus(pane("Text30"));
        QTest::keyClicks(pane("Text30"), "#");
        QVERIFY(check("Check4")->isChecked());  // ticked by typing, and the run reads the box
        runOn(u"a1\r\n");
        QVERIFY(pane("Text2")->text() == Text(u"a1#\r\na2#\r\n"));
    }

    void spaceAsAddStringAnsweredNo() {
        check("Check1(0)")->setChecked(true);
        focus(pane("Text30"));
        QTest::keyClicks(pane("Text30"), " ");
        m_boxes->setNextAnswer(Answer::No);
        runOn(u"a1");
        QCOMPARE(m_boxes->texts(), QStringList{kSpaceQuestion});
        QVERIFY(pane("Text2")->isEmpty());
    }

    void everyRowThroughTheAllSlotsControls() {
        QTest::mouseClick(check("Check2"), Qt::LeftButton);
        changeText(combo("Combo44"), kAllDecrement);
        changeText(combo("Combo45"), QStringLiteral("すべて10"));
        changeText(combo("Combo46"), QStringLiteral("すべて000"));
        text6()->setText(QStringLiteral("2"));
        Text upper;
        Text first;
        Text second;
        for (int i = 1; i <= kRows; ++i) {
            const Text sep = i == 1 ? Text() : Text(u" ");
            upper += sep + toText(QString::number(i));
            first += sep + toText(QString::asprintf("%03d", i));
            second += sep + toText(i - 10 < 0 ? QString::asprintf("-%03d", 10 - i)
                                              : QString::asprintf("%03d", i - 10));
        }
        upper += u" x";
        runOn(upper);
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(toQString(pane("Text2")->text()), toQString(first + u" x\r\n" + second + u" x"));

        // With every row ticked, a template of two numbers has no third.
        runOn(u"a5b7");
        QCOMPARE(m_boxes->texts(), QStringList{kNoThirdNumber});
        QVERIFY(pane("Text2")->isEmpty());
    }

    void stepOutsideSixteenBitsEndsTheRun() {
        check("Check1(0)")->setChecked(true);
        changeText(combo("ComboStep(0)"), QStringLiteral("40000"));
        QCOMPARE(combo("ComboStep(0)")->currentText(), QStringLiteral("40000"));
        runOn(u"a1");
        QCOMPARE(m_boxes->texts(), QStringList{kLoopError});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
        QVERIFY(pane("Text2")->isEmpty());
    }

private:
    // Every parameter value outside this tab.
    std::map<std::string, Text, std::less<>> otherTabs() const {
        std::map<std::string, Text, std::less<>> out;
        const ControlTexts params = m_window->controls().read();
        for (const auto& [name, value] : params.all()) {
            const QString n = QString::fromStdString(name);
            const bool thisTab =
                n.startsWith("Check") || n.startsWith("ComboId") || n.startsWith("ComboStep") ||
                n.startsWith("ComboFm") ||
                QStringList{"Combo44", "Combo45", "Combo46", "Combo58", "Text6", "Text30"}.contains(n);
            if (!thisTab) out.emplace(name, value);
        }
        return out;
    }
};

KIVO_WINDOW_TEST_MAIN(TabLoopTest)

#include "tab_loop_test.moc"
