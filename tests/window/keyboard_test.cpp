// The keyboard as a user meets it: every access key of every caption, no two on one tab, and
// Enter in a parameter box.
#include <algorithm>
#include <map>
#include <utility>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusFrame>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "window/controls.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

// One control that shows an access key: the widget whose caption carries it, and the key.
struct AccessKey {
    QWidget* owner;
    QString caption;
    int key;
};

QString describe(const AccessKey& k) {
    return QStringLiteral("%1 \"%2\"").arg(k.owner->objectName(), k.caption);
}

}  // namespace

class KeyboardTest : public WindowFixture {
    Q_OBJECT

private:
    // Every access key the user can reach with the tab on show: the captions of the visible
    // buttons and labels, the tab strip and the menu bar.
    std::vector<AccessKey> visibleAccessKeys() const {
        std::vector<AccessKey> keys;
        auto add = [&keys](QWidget* owner, const QString& caption) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
            if (!mnemonic.isEmpty()) keys.push_back({owner, caption, mnemonic[0].key()});
        };
        for (QAbstractButton* b : m_window->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(m_window.get())) add(b, b->text());
        for (QLabel* l : m_window->findChildren<QLabel*>())
            if (l->isVisibleTo(m_window.get())) add(l, l->text());
        QTabBar* strip = tabs()->tabBar();
        for (int i = 0; i < strip->count(); ++i)
            add(strip, strip->tabText(i));
        for (QAction* a : m_window->menuBar()->actions())
            add(m_window->menuBar(), a->text());
        return keys;
    }

    // Whether the user sees `w`: shown inside the window and not beneath another control.
    bool inSight(QWidget* w) const {
        if (!w || !w->isVisible()) return false;
        const QPoint centre = w->mapTo(m_window.get(), w->rect().center());
        QWidget* top = m_window->childAt(centre);
        return top && (top == w || w->isAncestorOf(top));
    }

    // The control the user sees the focus on: the focused one, or the one a focus frame is around.
    QWidget* focusAsSeen() const {
        QWidget* focused = QApplication::focusWidget();
        if (inSight(focused)) return focused;
        for (QFocusFrame* frame : m_window->findChildren<QFocusFrame*>())
            if (frame->isVisible() && inSight(frame->widget())) return frame->widget();
        return nullptr;
    }

    void pressAlt(int key) {
        QTest::keyClick(m_window.get(), static_cast<Qt::Key>(key), Qt::AltModifier);
        QApplication::processEvents();
    }

private slots:
    void noAccessKeyTwiceOnOneTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("keys");
        // The panes' buttons, Stop, Execute, the tab strip and the File menu are on every tab.
        const QString everywhere = QStringLiteral("ABCDUXYZ1234567T");
        QTest::newRow("tab 0") << 0 << QStringLiteral("EFGHIJKLMNOPQ") + everywhere;
        QTest::newRow("tab 1") << 1 << QStringLiteral("EFGHIJKLMNOPQ") + everywhere;
        // The loop generator's fourteenth and fifteenth rows keep Alt+6 and Alt+7: the strip gives
        // way there.
        QTest::newRow("tab 2") << 2 << QStringLiteral("EFGHIJKLMNOPQRS890") + everywhere;
        QTest::newRow("tab 3") << 3 << QStringLiteral("EFGHIJKLM") + everywhere;
        QTest::newRow("tab 4") << 4 << QStringLiteral("EFGHIJK") + everywhere;
        QTest::newRow("tab 5") << 5 << QStringLiteral("EFGH") + everywhere;
        QTest::newRow("tab 6") << 6 << QStringLiteral("EFGHIJK") + everywhere;
    }

    void noAccessKeyTwiceOnOneTab() {
        QFETCH(int, tab);
        QFETCH(QString, keys);
        showTab(tab);
        std::map<int, QStringList> byKey;
        for (const AccessKey& k : visibleAccessKeys())
            byKey[k.key].append(describe(k));
        QStringList duplicates;
        QString found;
        for (const auto& [key, owners] : byKey) {
            found += QKeySequence(key).toString();
            if (owners.size() > 1)
                duplicates.append(QKeySequence(key).toString() + QStringLiteral(": ") +
                                  owners.join(QStringLiteral(", ")));
        }
        QVERIFY2(duplicates.isEmpty(), qPrintable(duplicates.join(QStringLiteral("; "))));
        std::sort(keys.begin(), keys.end());
        std::sort(found.begin(), found.end());
        QCOMPARE(found, keys);
    }

    void captionsWithAccessKeysCanBeReached() {
        // A label's access key acts only through its buddy.
        for (QLabel* l : m_window->findChildren<QLabel*>())
            if (!QKeySequence::mnemonic(l->text()).isEmpty())
                QVERIFY2(l->buddy(), qPrintable(l->objectName()));
    }

    void everyAccessKeyActs_data() {
        QTest::addColumn<int>("tab");
        for (int tab = 0; tab < 7; ++tab)
            QTest::addRow("tab %d", tab) << tab;
    }

    // Alt with the key, pressed while the upper pane has the focus, does what a click on the
    // caption does: an option becomes selected, a check box changes, a button is clicked.
    void everyAccessKeyActs() {
        QFETCH(int, tab);
        for (const AccessKey& k : [&] {
                 showTab(tab);
                 return visibleAccessKeys();
             }()) {
            showTab(tab);
            pane("Text1")->setFocus();
            // A result for the move into the upper pane, which needs one.
            pane("Text2")->assign(u"結果");
            m_boxes->clear();
            const QString what = describe(k);
            if (k.owner == tabs()->tabBar()) {
                const int target = k.key - Qt::Key_1;
                pressAlt(k.key);
                QVERIFY2(tabs()->currentIndex() == target, qPrintable(what));
                continue;
            }
            if (k.owner == m_window->menuBar()) {
                pressAlt(k.key);
                auto* file = get<QMenu>("mnuFile");
                QTRY_VERIFY2(file->isVisible(), qPrintable(what));
                file->hide();
                continue;
            }
            QWidget* target = k.owner;
            if (auto* label = qobject_cast<QLabel*>(k.owner)) target = label->buddy();
            auto* button = qobject_cast<QAbstractButton*>(target);
            QVERIFY2(button, qPrintable(what));
            if (auto* option = qobject_cast<QRadioButton*>(button)) {
                // Another option of the tab first, so that the key has something to change.
                for (QRadioButton* other : option->parentWidget()->findChildren<QRadioButton*>())
                    if (other != option) {
                        other->setChecked(true);
                        break;
                    }
                QVERIFY(!option->isChecked());
                pressAlt(k.key);
                QTRY_VERIFY2(option->isChecked(), qPrintable(what));
            } else {
                QSignalSpy clicked(button, &QAbstractButton::clicked);
                const bool wasChecked = button->isChecked();
                pressAlt(k.key);
                QTRY_VERIFY2(clicked.count() == 1, qPrintable(what));
                if (qobject_cast<QCheckBox*>(button))
                    QVERIFY2(button->isChecked() != wasChecked, qPrintable(what));
            }
        }
    }

    void altKeysTypeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("widened");
        QTest::newRow("upper pane, keys no control owns") << "Text1"
                                                          << "rs5" << false;
        QTest::newRow("Execute hidden in the widened view") << "Text1"
                                                            << "z" << true;
        QTest::newRow("multi-line box") << "Text3"
                                        << "r" << false;
        QTest::newRow("one-line box") << "Text7"
                                      << "r" << false;
        QTest::newRow("combo") << "Combo1"
                               << "5" << false;
    }
    // An Alt combination is never text: a key without an owner leaves the focused box as it was.
    void altKeysTypeNothing() {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(bool, widened);
        if (widened) QTest::mouseClick(get<QPushButton>("Command25"), Qt::LeftButton);
        auto* control = get(name);
        control->setFocus();
        QCOMPARE(QApplication::focusWidget(), control);
        auto textOf = [control] { return toQString(ParamControls::readControl(control)); };
        const QString before = textOf();
        for (const QChar key : keys)
            QTest::keyClick(control, key.toLatin1(), Qt::AltModifier);
        QCOMPARE(textOf(), before);
        QTest::keyClicks(control, "1");
        QCOMPARE(textOf(), before + "1");
    }

    void inputMethodComposition_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");  // empty: as loaded
        QTest::addColumn<bool>("overSelection");
        QTest::addColumn<QStringList>("preedits");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("result");
        QTest::newRow("side combo, 右 over the selection")
            << "Combo31"
            << "" << true << QStringList{"m", "み", "みぎ", "右"} << "右"
            << "右";
        QTest::newRow("side combo, composition given up") << "Combo31"
                                                          << "" << true << QStringList{"m"} << ""
                                                          << "左";
        // Given up (Escape), a composition over the selection gives the selection back.
        QTest::newRow("side combo at 右, composition given up") << "Combo31"
                                                                << "右" << true << QStringList{"h"} << ""
                                                                << "右";
        QTest::newRow("byte-fold combo at 80, composition given up") << "Combo65"
                                                                     << "80" << true << QStringList{"5"} << ""
                                                                     << "80";
        QTest::newRow("text box, composition given up") << "Text7"
                                                        << "abc" << true << QStringList{"に", "にほ"} << ""
                                                        << "abc";
        QTest::newRow("numeric combo, full-width digit") << "Combo1"
                                                         << "" << true << QStringList{"３"} << "３"
                                                         << "3";
        QTest::newRow("numeric combo, full-width digits after its text")
            << "Combo1"
            << "" << false << QStringList{"２"} << "２"
            << "12";
        QTest::newRow("count box, full-width digits") << "Text23"
                                                      << "" << true << QStringList{"１", "１２"} << "１２"
                                                      << "12";
        QTest::newRow("line number box, full-width digit") << "Text11"
                                                           << "" << true << QStringList{"５"} << "５"
                                                           << "5";
        QTest::newRow("text box") << "Text7"
                                  << "" << false << QStringList{"にほんご"} << "日本語"
                                  << "日本語";
    }
    // An input method's pre-edit is no text yet: the rule looks at what is committed, once.
    void inputMethodComposition() {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(bool, overSelection);
        QFETCH(QStringList, preedits);
        QFETCH(QString, commit);
        QFETCH(QString, result);
        QWidget* control = showTabOf(name);
        if (!start.isEmpty()) setByUser(name, start);
        control->setFocus();
        auto* line = qobject_cast<QLineEdit*>(control);
        if (auto* combo = qobject_cast<QComboBox*>(control)) line = combo->lineEdit();
        if (overSelection)
            line->selectAll();
        else
            line->end(false);
        // The composition takes the selection's place; the rest stays untouched until the commit.
        const QString underComposition = overSelection ? QString() : line->text();
        for (const QString& preedit : preedits) {
            QInputMethodEvent composing(preedit, {});
            QApplication::sendEvent(QApplication::focusWidget(), &composing);
            QCOMPARE(line->text(), underComposition);
        }
        QInputMethodEvent committed;
        committed.setCommitString(commit);
        QApplication::sendEvent(QApplication::focusWidget(), &committed);
        QCOMPARE(toQString(ParamControls::readControl(control)), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // Without a commit, the focus leaving the combo ends the composition: the text from before it
    // comes back.
    void compositionLeftByTheFocus() {
        setByUser("Combo31", QStringLiteral("右"));
        auto* combo = this->combo("Combo31");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QInputMethodEvent composing(QStringLiteral("み"), {});
        QApplication::sendEvent(combo, &composing);
        QCOMPARE(combo->currentText(), QString());
        pane("Text1")->setFocus();
        QCOMPARE(combo->currentText(), QStringLiteral("右"));
    }

    // The box gets its message once, also when the input method sends more while it is up.
    void lengthMessageOnceWhenACommitPassesTheLimit() {
        auto* text3 = pane("Text3");
        text3->assign(Text(65534, u'x'));
        text3->setFocus();
        text3->moveCursor(QTextCursor::End);
        // The message box takes the focus; the input method resets its pre-edit in the pane, and
        // the editor reports the change of its pre-edit area as a change of its text.
        bool reset = false;
        m_boxes->whileShown = [&reset, text3] {
            if (std::exchange(reset, true)) return;
            QInputMethodEvent resetPreedit;
            QApplication::sendEvent(text3, &resetPreedit);
            emit text3->textChanged();
        };
        QInputMethodEvent composing(QStringLiteral("にほんご"), {});
        QApplication::sendEvent(text3, &composing);
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("日本語"));
        QApplication::sendEvent(text3, &committed);
        m_boxes->whileShown = nullptr;
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("改行2文字を含む65535文字まで有効です。")});
        QVERIFY(text3->isEmpty());
    }

    void tabWalksEachLineLeftToRight_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("stops");
        // From the first operation to the first operation of the next tab. An option that is not
        // selected is no stop; the date pickers take one Tab per part of the date.
        QTest::newRow("tab 0") << 0
                               << QStringList{"Option1(0)", "Combo41",   "Combo42",   "Combo39",  "Combo40",
                                              "Text26",     "Command26", "Combo19",   "Combo31",  "Text3",
                                              "Command4",   "Combo34",   "Text4",     "Command7", "Combo32",
                                              "Combo1",     "Text5",     "Command8",  "Combo2",   "Text7",
                                              "Combo33",    "Text8",     "Command9",  "Command5", "Text35",
                                              "Text36",     "Text37",    "Text9",     "Combo47",  "Text13",
                                              "Command19",  "Command13", "Option2(0)"};
        QTest::newRow("tab 1") << 1
                               << QStringList{"Option2(0)", "Text11",    "Command14", "Text25",  "Combo38",
                                              "Text12",     "Command15", "Combo4",    "Combo3",  "Text14",
                                              "Command18",  "Combo5",    "Text16",    "Text17",  "Text18",
                                              "Command20",  "Combo43",   "Text19",    "Text20",  "Text21",
                                              "Command21",  "Combo18",   "Combo6",    "Combo7",  "Text34",
                                              "Command23",  "Combo8",    "Combo9",    "Combo10", "Combo11",
                                              "Combo16",    "Combo12",   "Combo13",   "Combo17", "Combo14",
                                              "Combo15",    "Command17", "Check3"};
        QTest::newRow("tab 3") << 3
                               << QStringList{"Option4(0)", "Combo20", "Combo27",   "Combo26",   "Combo24",
                                              "Combo21",    "Combo22", "Text38",    "Combo23",   "Combo25",
                                              "Command29",  "Combo30", "Combo29",   "Combo28",   "Text41",
                                              "Combo35",    "Combo36", "Combo37",   "Command30", "Combo48",
                                              "Text15",     "Combo50", "Combo49",   "Command10", "Text22",
                                              "Command32",  "Combo52", "Combo51",   "Text23",    "Command16",
                                              "Text24",     "Combo53", "Command33", "Text27",    "DTPicker1",
                                              "chkYoubi",   "Combo54", "Text28",    "DTPicker2", "Combo57",
                                              "Combo55",    "Text29",  "DTPicker3", "Combo56",   "Command22",
                                              "Option5(0)"};
        QTest::newRow("tab 4") << 4 << QStringList{"Option5(0)", "Combo59",   "Check5(0)", "Check5(1)",
                                                   "Check5(2)",  "Check5(3)", "Check5(4)", "Command34",
                                                   "Combo60",    "Command35", "Combo61",   "Command36",
                                                   "Combo62",    "Command37", "Combo63",   "Command38",
                                                   "Combo64",    "Command39", "Combo65",   "Check5(5)",
                                                   "Command40",  "Command41", "Option6(0)"};
        QTest::newRow("tab 5") << 5 << QStringList{"Option6(0)", "Combo66",   "Check6(0)", "Command43",
                                                   "DTPicker4",  "Combo67",   "Combo68",   "Command44",
                                                   "Combo69",    "Check6(1)", "Check6(2)", "Check6(3)",
                                                   "Combo70",    "Command45", "Combo71",   "Command46",
                                                   "Command47",  "Option7(0)"};
    }
    void tabWalksEachLineLeftToRight() {
        QFETCH(int, tab);
        QFETCH(QStringList, stops);
        showTab(tab);
        get(stops.front())->setFocus(Qt::TabFocusReason);
        QStringList walked = {QApplication::focusWidget()->objectName()};
        while (tabs()->currentIndex() == tab && walked.size() < 2 * stops.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString name = QApplication::focusWidget()->objectName();
            if (name != walked.back()) walked.append(name);
        }
        QCOMPARE(walked, stops);
    }

    void regionKeysVisitTheRegions_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("selected");  // an operation selected first; empty: as loaded
        QTest::addColumn<bool>("widened");
        QTest::addColumn<QString>("from");  // empty: no control has the focus
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("stops");
        const QStringList f6 = {"F6", "F6", "F6", "F6"};
        QTest::newRow("F6 round from the start")
            << 0 << "" << false << "Text1" << f6 << QStringList{"Option1(0)", "Text2", "Command3", "Text1"};
        QTest::newRow("Shift+F6 round") << 0 << "" << false << "Text1" << QStringList(4, "Shift+F6")
                                        << QStringList{"Command3", "Text2", "Option1(0)", "Text1"};
        QTest::newRow("from no control")
            << 0 << "" << false << "" << QStringList{"F6"} << QStringList{"Text1"};
        QTest::newRow("back from no control")
            << 0 << "" << false << "" << QStringList{"Shift+F6"} << QStringList{"Command3"};
        // The tab is entered at its selected operation: coming in changes no choice.
        QTest::newRow("tab 1 at its selection")
            << 1 << "Option2(4)" << false << "Text1" << QStringList{"F6", "F6"}
            << QStringList{"Option2(4)", "Text2"};
        QTest::newRow("tab 2 at its check box")
            << 2 << "" << false << "Text2" << QStringList{"Shift+F6"} << QStringList{"Check3"};
        // Leaving an AllReset button by F6 is no Tab past it: the tab stays.
        QTest::newRow("from AllReset") << 1 << "" << false << "Command17" << QStringList{"F6", "Shift+F6"}
                                       << QStringList{"Text2", "Option2(0)"};
        QTest::newRow("from a pane button")
            << 0 << "" << false << "Command27" << QStringList{"F6"} << QStringList{"Option1(0)"};
        QTest::newRow("Ctrl+Tab leaves the panes")
            << 0 << "" << false << "Text1" << QStringList{"Ctrl+Tab", "F6", "Ctrl+Tab"}
            << QStringList{"Option1(0)", "Text2", "Command3"};
        QTest::newRow("Ctrl+Shift+Tab leaves the panes")
            << 0 << "" << false << "Text2" << QStringList{"Ctrl+Shift+Tab", "Shift+F6", "Ctrl+Shift+Tab"}
            << QStringList{"Option1(0)", "Text1", "Command3"};
        QTest::newRow("widened: the tabs and the run buttons are passed over")
            << 0 << "" << true << "Text1" << f6 << QStringList{"Text2", "Command25", "Text1", "Text2"};
        QTest::newRow("Tab in a pane types a Tab")
            << 0 << "" << false << "Text1" << QStringList{"Tab"} << QStringList{"Text1"};
    }
    // F6, Shift+F6, and Ctrl+Tab in a pane move between the upper pane, the tab on show, the lower
    // pane and the run buttons.
    void regionKeysVisitTheRegions() {
        QFETCH(int, tab);
        QFETCH(QString, selected);
        QFETCH(bool, widened);
        QFETCH(QString, from);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, stops);
        showTab(tab);
        if (!selected.isEmpty()) option(selected)->setChecked(true);
        if (widened) QTest::mouseClick(get<QPushButton>("Command25"), Qt::LeftButton);
        if (from.isEmpty()) {
            if (QWidget* w = QApplication::focusWidget()) w->clearFocus();
        } else {
            focus(get(from));
        }
        QStringList walked;
        for (const QString& key : keys) {
            const QKeySequence sequence(key);
            QWidget* receiver = QApplication::focusWidget();
            QTest::keyClick(receiver ? receiver : m_window.get(), sequence[0].key(),
                            sequence[0].keyboardModifiers());
            walked.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                      : QString());
        }
        QCOMPARE(walked, stops);
        QCOMPARE(tabs()->currentIndex(), tab);
        if (!selected.isEmpty()) QVERIFY(option(selected)->isChecked());
        QCOMPARE(toQString(pane("Text1")->text()), QString(keys.count("Tab"), u'\t'));
    }

    void focusIsAlwaysSeen_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("cycling");  // the focus-cycling flag, set as after AllReset was clicked
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("seen");  // where the user sees the focus
        QTest::newRow("Tab past AllReset to the box under it, tab 0")
            << 0 << "Command13" << true << QStringList{"Tab"} << "Text39"
            << "Command13";
        QTest::newRow("tab 1") << 1 << "Command17" << true << QStringList{"Tab"} << "Text40"
                               << "Command17";
        QTest::newRow("back to a tab left in the box under AllReset")
            << 1 << "Command17" << true << QStringList{"Tab", "Ctrl+Tab", "Ctrl+Shift+Tab"} << "Text40"
            << "Command17";
        QTest::newRow("the focus target") << 0 << "TextFocus" << true << QStringList{} << "TextFocus"
                                          << "qt_tabwidget_tabbar";
        QTest::newRow("AllReset by Space")
            << 1 << "Command17" << false << QStringList{"Space"} << "Option2(0)"
            << "Option2(0)";
        QTest::newRow("Execute by Space") << 0 << "Command3" << false << QStringList{"Space"} << "Command3"
                                          << "Command3";
        QTest::newRow("Execute by its access key from the upper pane")
            << 0 << "Text1" << false << QStringList{"Alt+Z"} << "Text1"
            << "Text1";
    }
    // The focus rests on a control the user sees, or, where it rests on one that lies off the
    // screen or beneath another, a focus frame shows it on the control in its place.
    void focusIsAlwaysSeen() {
        QFETCH(int, tab);
        QFETCH(QString, from);
        QFETCH(bool, cycling);
        QFETCH(QStringList, keys);
        QFETCH(QString, focused);
        QFETCH(QString, seen);
        pane("Text1")->assign(u"abc");
        pane("Text2")->assign(u"");
        showTab(tab);
        focus(get(from));
        state().focusCycling = cycling;
        for (const QString& key : keys) {
            const QKeySequence sequence(key);
            QTest::keyClick(QApplication::focusWidget(), sequence[0].key(), sequence[0].keyboardModifiers());
        }
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
        QWidget* shown = focusAsSeen();
        QVERIFY(shown);
        QCOMPARE(shown->objectName(), seen);
        // The frame goes with the focus.
        focus(pane("Text1"));
        QCOMPARE(focusAsSeen(), pane("Text1"));
        for (const QFocusFrame* frame : m_window->findChildren<QFocusFrame*>())
            QVERIFY(!frame->isVisible());
    }

    void runEndIsAnnounced_data() {
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QString>("told");
        QTest::newRow("finished") << false << "実行しました";
        QTest::newRow("stopped") << true << "中止しました";
    }
    // The status bar tells how a run ended.
    void runEndIsAnnounced() {
        QFETCH(bool, stopped);
        QFETCH(QString, told);
        Text upper;
        for (int i = 0; i < (stopped ? 100000 : 1); ++i)
            upper += u"abcdef\r\n";
        pane("Text1")->assign(upper);
        pane("Text2")->assign(u"");
        if (stopped) QTimer::singleShot(0, this, [this] { click("Command6"); });
        focus(get("Command3"));
        QTest::keyClick(get("Command3"), Qt::Key_Space);
        QCOMPARE(m_window->statusBar()->currentMessage(), told);
        QCOMPARE(pane("Text2")->isEmpty(), stopped);
    }

    void menuItemsHaveTheirKeys() {
        auto* file = get<QMenu>("mnuFile");
        QStringList keys;
        for (QAction* a : file->actions())
            if (!a->isSeparator()) keys.append(QKeySequence::mnemonic(a->text()).toString());
        QCOMPARE(keys,
                 (QStringList{QStringLiteral("Alt+U"), QStringLiteral("Alt+O"), QStringLiteral("Alt+V"),
                              QStringLiteral("Alt+W"), QStringLiteral("Alt+E"), QStringLiteral("Alt+R"),
                              QStringLiteral("Alt+S"), QStringLiteral("Alt+L"), QStringLiteral("Alt+K")}));
    }

    void enterKeepsTheText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        for (const char* box : {"Text26", "Text3", "Text4", "Text5", "Text8", "Text12", "Text14", "Text18",
                                "Text21", "Text34", "Text15", "Text22", "Text30"})
            QTest::newRow(box) << box << "ab"
                               << "ab\r\n";
        for (const char* box : {"Text7", "Text13", "Text11", "Text16", "Text17", "Text19", "Text20", "Text6",
                                "Text38", "Text41", "Text23", "Text24", "Text27", "Text28", "Text29"})
            QTest::newRow(box) << box << "3"
                               << "3";
        for (const char* combo :
             {"Combo8", "Combo1", "Combo3", "Combo5", "Combo49", "ComboStep(0)", "Combo56"})
            QTest::newRow(combo) << combo << "7"
                                 << "7";
        QTest::newRow("Combo41") << "Combo41"
                                 << "数行おきにリバースする"
                                 << "数行おきにリバースする";
        QTest::newRow("Combo39") << "Combo39"
                                 << "改行を2文字でカウントする"
                                 << "改行を2文字でカウントする";
        QTest::newRow("Combo38") << "Combo38"
                                 << "偶数"
                                 << "偶数";
        QTest::newRow("Combo4") << "Combo4"
                                << "右"
                                << "右";
        QTest::newRow("ComboFm(2)") << "ComboFm(2)"
                                    << "0000"
                                    << "0000";
        QTest::newRow("Combo53") << "Combo53"
                                 << "「-」 ハイフン(yyyy-mm-dd)"
                                 << "「-」 ハイフン(yyyy-mm-dd)";
    }

    // Enter confirms nothing in a parameter box: a one-line box keeps its text, a multi-line box
    // takes a line break after it, a combo keeps the entry typed or chosen.
    void enterKeepsTheText() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QWidget* control = showTabOf(name);
        control->setFocus();
        QApplication::processEvents();
        auto textOf = [control]() -> QString {
            if (auto* box = qobject_cast<PlainTextBox*>(control)) return toQString(box->text());
            if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
            return qobject_cast<QLineEdit*>(control)->text();
        };
        QWidget* keys = control;
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            combo->lineEdit()->setText(typed);
            keys = combo->lineEdit();
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            // Typed over the whole text: an emptied count box would take its start value back.
            line->selectAll();
            QTest::keyClicks(line, typed);
        } else {
            qobject_cast<PlainTextBox*>(control)->clear();
            QTest::keyClicks(control, typed);
        }
        QCOMPARE(textOf(), typed);
        QTest::keyClick(keys, Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(textOf(), kept);
        QTest::keyClick(keys, Qt::Key_Enter);
        QApplication::processEvents();
        if (!qobject_cast<PlainTextBox*>(control)) QCOMPARE(textOf(), kept);
        QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(u'|')));
    }
};

KIVO_WINDOW_TEST_MAIN(KeyboardTest)

#include "keyboard_test.moc"
