// Tab 0 driven through the real window: the input rules at their boundaries, the Reset buttons
// and AllReset, selection by touch, and operations run from the window.
#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "window/control_model.h"
#include "window/controls.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

const QString kLength = QStringLiteral("改行2文字を含む65535文字まで有効です。");

// The controls of every Reset button and of AllReset, with the texts they are set back to, in the
// order they are set.
using Assignments = QList<QPair<QString, QString>>;

const Assignments kAllReset = {
    {"Combo41", "全文リバースする"},
    {"Combo42", "0"},
    {"Combo39", "改行をカウントしない"},
    {"Combo40", "改行(CrLf)"},
    {"Text26", ""},
    {"Combo19", "半角英小文字「a～z」"},
    {"Combo31", "左"},
    {"Text3", ""},
    {"Combo34", "半角"},
    {"Text4", ""},
    {"Combo32", "左"},
    {"Combo1", "1"},
    {"Text5", ""},
    {"Combo2", "左"},
    {"Text7", ""},
    {"Combo33", "左側"},
    {"Text8", ""},
    {"Combo47", "次の文字を含む行を抜き出す"},
    {"Text13", ""},
};

}  // namespace

Q_DECLARE_METATYPE(Assignments)

class TabSet1Test : public WindowFixture {
    Q_OBJECT

private:
    QRadioButton* option(int i) { return get<QRadioButton>(QString::fromStdString(arrayName("Option1", i))); }

    // Gives a control a text other than its reset value, as a user would.
    void change(const QString& name) {
        QWidget* w = get<QWidget>(name);
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->setCurrentIndex(c->count() - 1);
        } else if (auto* box = qobject_cast<PlainTextBox*>(w)) {
            box->setPlainText(QStringLiteral("a\nb"));
        } else {
            qobject_cast<QLineEdit*>(w)->setText(QStringLiteral("ab"));
        }
    }

private slots:
    void comboRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        const struct {
            const char* row;
            const char* name;
            const char* typed;
            const char* result;
        } rows[] = {
            {"count 0", "Combo1", "0", "1"},
            {"count 1", "Combo1", "1", "1"},
            {"count 999", "Combo1", "999", "999"},
            {"count 1000", "Combo1", "1000", "1"},
            {"count leading zeros", "Combo1", "007", "7"},
            {"count 0999", "Combo1", "0999", "999"},
            {"count zeros only", "Combo1", "000", "1"},
            {"count letter", "Combo1", "x", "1"},
            {"count empty", "Combo1", "", "1"},
            {"count negative", "Combo1", "-5", "1"},
            {"count decimal", "Combo1", "1.5", "1"},
            {"count full-width digit", "Combo1", "５", "5"},
            {"count blank before", "Combo1", " 5", "1"},
            {"count huge", "Combo1", "1e999", "1"},
            {"side right", "Combo31", "右", "右"},
            {"side other", "Combo31", "中", "左"},
            {"side empty", "Combo32", "", "左"},
            {"side 右側 is no side", "Combo2", "右側", "左"},
            {"count mode entry", "Combo39", "改行を2文字でカウントする", "改行を2文字でカウントする"},
            {"count mode other", "Combo39", "x", "改行をカウントしない"},
            {"special character entry", "Combo40", "Tab(タブ)", "Tab(タブ)"},
            {"special character part of an entry", "Combo40", "改行", "改行(CrLf)"},
            {"letter class entry", "Combo19", "全角英大文字「Ａ～Ｚ」", "全角英大文字「Ａ～Ｚ」"},
            {"letter class other", "Combo19", "abc", "半角英小文字「a～z」"},
            {"digit class entry", "Combo34", "半角全角", "半角全角"},
            {"digit class with a blank", "Combo34", "全角 ", "半角"},
            {"replaced side entry", "Combo33", "右側", "右側"},
            {"replaced side 右", "Combo33", "右", "左側"},
            {"filter entry", "Combo47", "次の文字を含まない行を抜き出す", "次の文字を含まない行を抜き出す"},
            {"filter empty", "Combo47", "", "次の文字を含む行を抜き出す"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.row) << QString::fromUtf8(r.name) << QString::fromUtf8(r.typed)
                                 << QString::fromUtf8(r.result);
    }
    void comboRules() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QComboBox* c = combo(name);
        c->setFocus();
        // A paste over the whole text: one text change.
        c->lineEdit()->selectAll();
        c->lineEdit()->insert(typed);
        QCOMPARE(c->currentText(), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void typingIntoTheCountComboRepairsEveryKey() {
        QComboBox* c = combo("Combo1");
        c->setFocus();
        c->lineEdit()->selectAll();
        QTest::keyClicks(c, "0");  // "0" is below 1
        QCOMPARE(c->currentText(), QStringLiteral("1"));
        c->lineEdit()->selectAll();
        QTest::keyClicks(c, "25x");
        QCOMPARE(c->currentText(), QStringLiteral("1"));
    }

    void specialCharacterComboIsRepairedOnAKey() {
        // A text the rule did not see (the program set it) is repaired at the next key, even one
        // that changes nothing.
        QComboBox* c = combo("Combo40");
        {
            QSignalBlocker quiet(c);
            c->setEditText(QStringLiteral("x"));
        }
        c->setFocus();
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(c->currentText(), QStringLiteral("改行(CrLf)"));
        // The other list-only combos repair on a text change only.
        QComboBox* other = combo("Combo34");
        {
            QSignalBlocker quiet(other);
            other->setEditText(QStringLiteral("x"));
        }
        other->setFocus();
        QTest::keyClick(other, Qt::Key_End);
        QCOMPARE(other->currentText(), QStringLiteral("x"));
    }

    void textLengthRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("lineBreaks");
        QTest::addColumn<bool>("accepted");
        for (const char* name : {"Text26", "Text3", "Text4", "Text5", "Text7", "Text8", "Text13"}) {
            const QString n = QString::fromUtf8(name);
            QTest::newRow(qPrintable(n + " 65535")) << n << 65535 << 0 << true;
            QTest::newRow(qPrintable(n + " 65536")) << n << 65536 << 0 << false;
        }
        for (const char* name : {"Text26", "Text3", "Text4", "Text5", "Text8"}) {
            const QString n = QString::fromUtf8(name);
            // A line break counts two.
            QTest::newRow(qPrintable(n + " 32767 breaks and 1")) << n << 1 << 32767 << true;
            QTest::newRow(qPrintable(n + " 32767 breaks and 2")) << n << 2 << 32767 << false;
            QTest::newRow(qPrintable(n + " 32768 breaks")) << n << 0 << 32768 << false;
        }
    }
    void textLengthRule() {
        QFETCH(QString, name);
        QFETCH(int, characters);
        QFETCH(int, lineBreaks);
        QFETCH(bool, accepted);
        const QString typed = QString(lineBreaks, u'\n') + QString(characters, u'あ');
        QWidget* w = get<QWidget>(name);
        w->setFocus();
        if (auto* box = qobject_cast<PlainTextBox*>(w)) {
            box->insertPlainText(QStringLiteral("x"));
            box->selectAll();
            box->insertPlainText(typed);
        } else {
            auto* line = qobject_cast<QLineEdit*>(w);
            line->insert(QStringLiteral("x"));
            line->selectAll();
            line->insert(typed);
        }
        if (accepted) {
            QVERIFY(m_boxes->shown().isEmpty());
            QCOMPARE(textOf(name).size(), characters + 2 * lineBreaks);
        } else {
            QCOMPARE(m_boxes->texts(), QStringList{kLength});
            QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
            QCOMPARE(textOf(name), QString());
        }
    }

    void resetButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("selects");
        QTest::addColumn<Assignments>("assignments");
        QTest::newRow("Command26") << "Command26" << 2
                                   << Assignments{{"Combo40", "改行(CrLf)"}, {"Text26", ""}};
        QTest::newRow("Command4") << "Command4" << 4 << Assignments{{"Combo31", "左"}, {"Text3", ""}};
        QTest::newRow("Command7") << "Command7" << 5 << Assignments{{"Combo34", "半角"}, {"Text4", ""}};
        QTest::newRow("Command8") << "Command8" << 6
                                  << Assignments{{"Combo32", "左"}, {"Combo1", "1"}, {"Text5", ""}};
        QTest::newRow("Command9") << "Command9" << 7
                                  << Assignments{{"Combo2", "左"}, {"Text7", ""}, {"Combo33", "左側"}};
        QTest::newRow("Command5") << "Command5" << 7 << Assignments{{"Text8", ""}};
        QTest::newRow("Command19") << "Command19" << 12
                                   << Assignments{{"Combo47", "次の文字を含む行を抜き出す"}, {"Text13", ""}};
    }
    void resetButtons() {
        QFETCH(QString, button);
        QFETCH(int, selects);
        QFETCH(Assignments, assignments);
        QStringList names;
        for (const auto& [name, value] : assignments) {
            names.append(name);
            change(name);
        }
        // The controls of the neighbouring lines stay as they are.
        const QStringList untouched = {"Text26", "Text3", "Text4", "Text5", "Text7", "Text8", "Text13"};
        for (const QString& name : untouched)
            if (!names.contains(name)) change(name);
        option(0)->setChecked(true);

        QStringList changed;
        {
            QObject scope;
            recordChanges(names, &scope, changed);
            click(button);
        }
        QCOMPARE(changed, names);
        for (const auto& [name, value] : assignments)
            QCOMPARE(textOf(name), value);
        for (const QString& name : untouched)
            if (!names.contains(name)) QVERIFY2(!textOf(name).isEmpty(), qPrintable(name));
        QVERIFY(option(selects)->isChecked());
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!state().guard);
    }

    void allResetRestoresTheWholeTab() {
        combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
        combo("Combo42")->setEditText(QStringLiteral("5"));
        QStringList names;
        for (const auto& [name, value] : kAllReset) {
            names.append(name);
            if (name != QStringLiteral("Combo41") && name != QStringLiteral("Combo42")) change(name);
        }
        for (const char* name : {"Text9", "Text35", "Text36", "Text37", "Text39"})
            get<QLineEdit>(QLatin1String(name))->setText(QStringLiteral("z"));
        option(6)->setChecked(true);
        // Other tabs keep their values.
        combo("Combo3")->setEditText(QStringLiteral("12"));
        get<QLineEdit>("Text6")->setText(QStringLiteral("9"));
        combo("Combo20")->setEditText(QStringLiteral("降順でソートする"));
        const ControlTexts before = m_window->controls().read();

        QStringList changed;
        {
            QObject scope;
            recordChanges(names, &scope, changed);
            click(QStringLiteral("Command13"));
        }
        // In the whole-text mode an unguarded interval change would have asked for the other mode.
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(changed, names);
        for (const auto& [name, value] : kAllReset)
            QCOMPARE(textOf(name), value);
        for (const char* name : {"Text9", "Text35", "Text36", "Text37", "Text39"})
            QCOMPARE(textOf(QLatin1String(name)), QStringLiteral("z"));
        QVERIFY(option(0)->isChecked());
        QCOMPARE(QApplication::focusWidget(), option(0));
        QVERIFY(!state().guard);
        QVERIFY(!state().focusCycling);  // the focus arrived on the option

        ControlTexts after = m_window->controls().read();
        for (const auto& [name, value] : before.all()) {
            const QString n = QString::fromStdString(name);
            if (std::none_of(kAllReset.begin(), kAllReset.end(), [&](const auto& a) { return a.first == n; }))
                QVERIFY2(after.text(name) == value, name.c_str());
        }
    }

    void allResetIsIgnoredDuringARun() {
        combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
        Text upper;
        for (int i = 0; i < 300000; ++i)
            upper += u"abc\r\n";
        pane("Text1")->assign(upper);
        combo("Combo39")->setEditText(QStringLiteral("改行を1文字でカウントする"));
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = state().guard;
            emit get<QPushButton>("Command13")->clicked();
            QTest::mouseClick(get<QPushButton>("Command6"), Qt::LeftButton);
        });
        execute();
        QVERIFY2(ran, "the run did not process events");
        QCOMPARE(combo("Combo41")->currentText(), QStringLiteral("数行おきにリバースする"));
        QCOMPARE(combo("Combo39")->currentText(), QStringLiteral("改行を1文字でカウントする"));
    }

    void selectionByFocus_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("selects");  // -1: the selection stays
        QTest::addColumn<bool>("clearsFlag");
        const struct {
            const char* control;
            int selects;
            bool clears;
        } rows[] = {
            {"Combo41", 0, true},     {"Combo42", 0, true},     {"Combo39", 1, true},
            {"Combo40", 2, true},     {"Text26", 2, true},      {"Command26", 2, true},
            {"Combo19", 3, true},     {"Combo31", 4, true},     {"Text3", 4, true},
            {"Command4", 4, true},    {"Combo34", 5, true},     {"Text4", 5, true},
            {"Command7", 5, true},    {"Combo32", 6, true},     {"Combo1", 6, true},
            {"Text5", 6, true},       {"Command8", 6, true},    {"Combo2", 7, true},
            {"Text7", 7, true},       {"Combo33", 7, true},     {"Text8", 7, true},
            {"Command9", 7, true},    {"Command5", 7, true},    {"Text35", 8, false},
            {"Text36", 9, false},     {"Text37", 10, false},    {"Text9", 11, false},
            {"Combo47", 12, true},    {"Text13", 12, true},     {"Command19", 12, true},
            {"Option1(5)", -1, true}, {"Option1(0)", -1, true}, {"Text39", -1, false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.control) << QString::fromUtf8(r.control) << r.selects << r.clears;
    }
    void selectionByFocus() {
        QFETCH(QString, control);
        QFETCH(int, selects);
        QFETCH(bool, clearsFlag);
        const int before = selects == 3 ? 4 : 3;
        option(before)->setChecked(true);
        // Leaving the tab's last stop with the flag set stays on the tab.
        get<QWidget>("Command13")->setFocus();
        state().focusCycling = true;
        get<QWidget>(control)->setFocus(Qt::TabFocusReason);
        QVERIFY(get<QWidget>(control)->hasFocus());
        QVERIFY(option(selects < 0 ? before : selects)->isChecked());
        QCOMPARE(state().focusCycling, !clearsFlag);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void clickingIntoABoxSelects() {
        QTest::mouseClick(pane("Text5")->viewport(), Qt::LeftButton);
        QVERIFY(option(6)->isChecked());
        QTest::mouseClick(combo("Combo33")->lineEdit(), Qt::LeftButton);
        QVERIFY(option(7)->isChecked());
        QTest::mouseClick(get<QPushButton>("Command19"), Qt::LeftButton);
        QVERIFY(option(12)->isChecked());
    }

    void intervalLabelSelectsReverse() {
        option(9)->setChecked(true);
        state().focusCycling = true;
        QTest::mouseClick(get<QLabel>("Label11"), Qt::LeftButton);
        QVERIFY(option(0)->isChecked());
        QVERIFY(state().focusCycling);  // the label leaves the flag alone
    }

    void runsFromTheWindow_data() {
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("box");    // the parameter box typed into; its line clicked
        QTest::addColumn<QString>("typed");  // "|" stands for Return
        QTest::addColumn<QString>("comboName");
        QTest::addColumn<QString>("comboText");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("add text at the left") << "a\r\nb"
                                              << "Text3"
                                              << "> "
                                              << "Combo31"
                                              << "左"
                                              << "> a\r\n> b" << QStringList{};
        QTest::newRow("a typed line break arrives as CrLf") << "a\tb"
                                                            << "Text26"
                                                            << "x|y"
                                                            << "Combo40"
                                                            << "Tab(タブ)"
                                                            << "ax\r\nyb" << QStringList{};
        QTest::newRow("count letters") << "Year yY ｙＹ"
                                       << "Combo19"
                                       << ""
                                       << "Combo19"
                                       << "半角英小文字「a～z」"
                                       << "半角英小文字の数：4" << QStringList{};
        QTest::newRow("end characters") << "abcd\r\nefg"
                                        << "Text5"
                                        << "X"
                                        << "Combo1"
                                        << "2"
                                        << "Xcd\r\nXg" << QStringList{};
        QTest::newRow("filter without a condition")
            << "apple\r\nbanana"
            << "Text13"
            << ""
            << "Combo47"
            << "次の文字を含む行を抜き出す"
            << "" << QStringList{QStringLiteral("条件を満たす文字を入力して下さい。")};
        QTest::newRow("filter") << "apple\r\nbanana\r\ncherry"
                                << "Text13"
                                << "an"
                                << "Combo47"
                                << "次の文字を含まない行を抜き出す"
                                << "apple\r\ncherry" << QStringList{};
        QTest::newRow("search text missing")
            << "a=1"
            << "Text7"
            << ""
            << "Combo33"
            << "右側"
            << "" << QStringList{QStringLiteral("置き換える文字を入力して下さい。")};
        QTest::newRow("digits") << "a1b2\r\nxyz\r\n３4"
                                << "Text35"
                                << ""
                                << "Combo39"
                                << "改行をカウントしない"
                                << "12\r\n4" << QStringList{};
    }
    void runsFromTheWindow() {
        QFETCH(QString, upper);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, comboName);
        QFETCH(QString, comboText);
        QFETCH(QString, lower);
        QFETCH(QStringList, messages);
        pane("Text1")->assign(toText(upper));
        combo(comboName)->setEditText(comboText);
        // Touching the box picks the operation.
        QWidget* w = get<QWidget>(box);
        w->setFocus(Qt::MouseFocusReason);
        const QStringList lines = typed.split(u'|');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(w, Qt::Key_Return);
            QTest::keyClicks(w, lines[i]);
        }
        execute();
        QCOMPARE(toQString(pane("Text2")->text()), lower);
        QCOMPARE(m_boxes->texts(), messages);
        QVERIFY(!state().guard);
    }
};

KIVO_WINDOW_TEST_MAIN(TabSet1Test)

#include "tab_set1_test.moc"
