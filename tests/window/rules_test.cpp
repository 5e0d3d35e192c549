// The parameter-control conventions: the repairs at their boundaries, and the rule objects on real
// controls (guard, messages only once loaded).
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "window/app_style.h"
#include "window/rules.h"
#include "window/text_box.h"

using namespace kivo;
using namespace kivo::window;

class RulesTest : public QObject {
    Q_OBJECT

private:
    WindowState m_state;
    ScriptedMessageBoxes m_boxes;

    QComboBox* countCombo(QWidget* parent, int low) {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        for (int v = low; v <= 999; ++v)
            c->addItem(QString::number(v));
        return c;
    }

private slots:
    void init() {
        m_state = WindowState{};
        m_state.messages = &m_boxes;
        m_state.loaded = true;
        m_boxes.clear();
    }

    void numericCombo_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from1");
        QTest::addColumn<QString>("from0");
        QTest::newRow("empty") << ""
                               << "1"
                               << "0";
        QTest::newRow("0") << "0"
                           << "1"
                           << "0";
        QTest::newRow("00") << "00"
                            << "1"
                            << "00";
        QTest::newRow("1") << "1"
                           << "1"
                           << "1";
        QTest::newRow("999") << "999"
                             << "999"
                             << "999";
        QTest::newRow("1000") << "1000"
                              << "1"
                              << "0";
        QTest::newRow("0999") << "0999"
                              << "999"
                              << "999";
        QTest::newRow("007") << "007"
                             << "7"
                             << "7";
        QTest::newRow("long zeros") << "0000000000005"
                                    << "5"
                                    << "5";
        QTest::newRow("letter") << "a1"
                                << "1"
                                << "0";
        QTest::newRow("full-width digit") << "１"
                                          << "1"
                                          << "1";
        QTest::newRow("full-width digits with zeros") << "００７"
                                                      << "7"
                                                      << "7";
        QTest::newRow("full-width zero") << "０"
                                         << "1"
                                         << "0";
        QTest::newRow("full-width past 999") << "１０００"
                                             << "1"
                                             << "0";
        QTest::newRow("blank") << " 5"
                               << "1"
                               << "0";
        QTest::newRow("sign") << "-1"
                              << "1"
                              << "0";
        QTest::newRow("decimal") << "1.5"
                                 << "1"
                                 << "0";
    }
    void numericCombo() {
        QFETCH(QString, text);
        QFETCH(QString, from1);
        QFETCH(QString, from0);
        QCOMPARE(repairNumericCombo(text, 1), from1);
        QCOMPARE(repairNumericCombo(text, 0), from0);
    }

    void sideAndListOnlyCombos() {
        QCOMPARE(repairSideCombo(QStringLiteral("左")), QStringLiteral("左"));
        QCOMPARE(repairSideCombo(QStringLiteral("右")), QStringLiteral("右"));
        for (const char* other : {"", "左側", "右 ", "L"})
            QCOMPARE(repairSideCombo(QString::fromUtf8(other)), QStringLiteral("左"));
        const QStringList entries = {QStringLiteral("昇順でソートする"), QStringLiteral("降順でソートする")};
        QCOMPARE(repairListOnlyCombo(QStringLiteral("降順でソートする"), entries, entries[0]), entries[1]);
        QCOMPARE(repairListOnlyCombo(QStringLiteral("降順"), entries, entries[0]), entries[0]);
        QCOMPARE(repairListOnlyCombo(QString(), entries, entries[0]), entries[0]);
    }

    void countText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("notDigits");
        QTest::newRow("empty") << ""
                               << "2" << false;
        QTest::newRow("0") << "0"
                           << "2" << false;
        QTest::newRow("000") << "000"
                             << "2" << false;
        QTest::newRow("1") << "1"
                           << "1" << false;
        QTest::newRow("max") << "2147483647"
                             << "2147483647" << false;
        QTest::newRow("max + 1") << "2147483648"
                                 << "2" << false;
        QTest::newRow("10 characters") << "0000000001"
                                       << "0000000001" << false;
        QTest::newRow("11 characters") << "00000000001"
                                       << "2" << false;
        QTest::newRow("letter") << "1a"
                                << "2" << true;
        QTest::newRow("sign") << "-1"
                              << "2" << true;
        QTest::newRow("full-width") << "５"
                                    << "5" << false;
        QTest::newRow("full-width and half-width") << "1２"
                                                   << "12" << false;
        QTest::newRow("full-width zero") << "０"
                                         << "2" << false;
        QTest::newRow("full-width letter") << "１ａ"
                                           << "2" << true;
    }
    void countText() {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QFETCH(bool, notDigits);
        const CountRepair repair = repairCountText(text, QStringLiteral("2"));
        QCOMPARE(repair.text, result);
        QCOMPARE(repair.notDigits, notDigits);
    }

    void numericRuleOnACombo() {
        QWidget parent;
        QComboBox* c = countCombo(&parent, 1);
        new NumericComboRule(c, m_state);
        c->setEditText(QStringLiteral("1000"));
        QCOMPARE(c->currentText(), QStringLiteral("1"));
        c->setEditText(QStringLiteral("050"));
        QCOMPARE(c->currentText(), QStringLiteral("50"));
        {
            GuardHold hold(m_state);
            c->setEditText(QStringLiteral("x"));
        }
        QCOMPARE(c->currentText(), QStringLiteral("x"));  // the guard was held
        QComboBox* zero = countCombo(&parent, 0);
        new NumericComboRule(zero, m_state, 0);
        zero->setEditText(QStringLiteral("abc"));
        QCOMPARE(zero->currentText(), QStringLiteral("0"));
        QVERIFY(m_boxes.shown().isEmpty());
    }

    void sideAndListOnlyRulesOnCombos() {
        QWidget parent;
        auto* side = new QComboBox(&parent);
        side->setEditable(true);
        side->addItems({QStringLiteral("左"), QStringLiteral("右")});
        new SideComboRule(side, m_state);
        side->setEditText(QStringLiteral("右"));
        QCOMPARE(side->currentText(), QStringLiteral("右"));
        side->setEditText(QStringLiteral("右x"));
        QCOMPARE(side->currentText(), QStringLiteral("左"));
        auto* list = new QComboBox(&parent);
        list->setEditable(true);
        list->addItems({QStringLiteral("左側"), QStringLiteral("右側")});
        new ListOnlyComboRule(list, m_state, QStringLiteral("左側"));
        list->setEditText(QStringLiteral("右側"));
        QCOMPARE(list->currentText(), QStringLiteral("右側"));
        list->setEditText(QStringLiteral("右"));
        QCOMPARE(list->currentText(), QStringLiteral("左側"));
    }

    void textLengthRuleOnALineBox_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("parameter box") << kLengthMessage;
        QTest::newRow("delimiter box") << kDelimiterLengthMessage;
    }
    void textLengthRuleOnALineBox() {
        QFETCH(QString, message);
        QLineEdit box;
        new TextLengthRule(&box, m_state, message);
        box.setText(QString(kMaxParameterLength, u'a'));
        QCOMPARE(box.text().size(), kMaxParameterLength);
        QVERIFY(m_boxes.shown().isEmpty());
        box.setText(QString(kMaxParameterLength + 1, u'a'));
        QVERIFY(box.text().isEmpty());
        QCOMPARE(m_boxes.texts(), QStringList{message});
        QCOMPARE(m_boxes.shown().front().icon, Icon::Information);
    }

    void textLengthRuleCountsLineBreaksTwice() {
        PlainTextBox box;
        new TextLengthRule(&box, m_state);
        // 32767 line breaks (65534 characters) and one letter: exactly the limit.
        QString text = QString(32767, u'\n') + u'a';
        box.setPlainText(text);
        QCOMPARE(box.text().size(), static_cast<std::size_t>(kMaxParameterLength));
        QVERIFY(m_boxes.shown().isEmpty());
        box.setPlainText(text + u'b');
        QVERIFY(box.isEmpty());
        QCOMPARE(m_boxes.texts(), QStringList{kLengthMessage});
    }

    void messagesOnlyOnceLoaded() {
        m_state.loaded = false;
        QLineEdit length;
        new TextLengthRule(&length, m_state);
        length.setText(QString(kMaxParameterLength + 1, u'a'));
        QVERIFY(length.text().isEmpty());
        QLineEdit count(QStringLiteral("1"));
        new CountTextRule(&count, m_state, QStringLiteral("1"));
        count.setText(QStringLiteral("x"));
        QCOMPARE(count.text(), QStringLiteral("1"));
        QVERIFY(m_boxes.shown().isEmpty());
        m_state.loaded = true;
        m_state.closing = true;
        count.setText(QStringLiteral("y"));
        QCOMPARE(count.text(), QStringLiteral("1"));
        QVERIFY(m_boxes.shown().isEmpty());
    }

    void countRuleOnABox() {
        QLineEdit box(QStringLiteral("2"));
        new CountTextRule(&box, m_state, QStringLiteral("2"));
        box.setText(QStringLiteral("12"));
        QCOMPARE(box.text(), QStringLiteral("12"));
        box.setText(QStringLiteral("1２"));
        QCOMPARE(box.text(), QStringLiteral("12"));
        QVERIFY(m_boxes.shown().isEmpty());
        box.setText(QStringLiteral("1x"));
        QCOMPARE(box.text(), QStringLiteral("2"));
        QCOMPARE(m_boxes.texts(), QStringList{kDigitsOnlyMessage});
        box.setText(QStringLiteral("0"));
        QCOMPARE(box.text(), QStringLiteral("2"));
        QCOMPARE(m_boxes.shown().size(), 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpApplication(app);
    RulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "rules_test.moc"
