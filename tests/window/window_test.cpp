// The main window driven by objectName: lists and defaults, the run cycle, widening, closing.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

#include "ops/dispatch.h"
#include "ops/registry.h"
#include "window/control_model.h"
#include "window/controls.h"
#include "window/tab_tables.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

const QString kUpperMissing = toQString(kUpperTextMissing);
const QString kOverwrite = toQString(kOverwriteQuestion);

// The controls whose state the busy state changes, with their enabled flags.
struct BusyView {
    QList<bool> enabled;
    QColor stopColour;
    QString status;
    bool fileMenu = false;
    bool operator==(const BusyView&) const = default;
};

}  // namespace

class WindowTest : public WindowFixture {
    Q_OBJECT

private:
    BusyView busyView() {
        BusyView v;
        for (const char* name : {"Frame1", "Frame2", "Frame3", "Frame4"})
            v.enabled.append(get<QGroupBox>(QLatin1String(name))->isEnabled());
        for (const char* name : {"Text1", "Text2"})
            v.enabled.append(pane(name)->isEnabled());
        for (const char* name :
             {"Command1", "Command2", "Command3", "Command25", "Command27", "Command28", "Command6"})
            v.enabled.append(get<QPushButton>(QLatin1String(name))->isEnabled());
        v.enabled.append(tabs()->isEnabled());
        v.stopColour = get<QPushButton>("Command6")->palette().color(QPalette::Button);
        v.status = get<QLabel>("Label8")->text();
        v.fileMenu = get<QMenu>("mnuFile")->menuAction()->isEnabled();
        return v;
    }

    // Deselects every option of an exclusive group.
    static void clearOptions(QWidget* root, const char* array, int count) {
        for (int i = 0; i < count; ++i) {
            auto* r = root->findChild<QRadioButton*>(QString::fromStdString(arrayName(array, i)));
            r->setAutoExclusive(false);
            r->setChecked(false);
            r->setAutoExclusive(true);
        }
    }

private slots:
    // ---- help where it is needed

    void everyOperationCaptionHasItsTip() {
        for (const OperationDeclaration* op : operations()) {
            const QString selector = QString::fromStdString(op->selector);
            const QString tip = get<QAbstractButton>(selector)->toolTip();
            QVERIFY2(tip.contains(QString::fromStdString(op->description).toHtmlEscaped()),
                     qPrintable(selector));
            QVERIFY2(tip.contains(QStringLiteral("例")), qPrintable(selector));
            for (const QLabel* words : m_window->findChildren<QLabel*>())
                if (words->objectName().startsWith(selector + ".caption")) QCOMPARE(words->toolTip(), tip);
        }
    }

    void tipShowsTheExampleAsTheControlsShowIt_data() {
        QTest::addColumn<QString>("hovered");  // a selector with its caption, or words of a caption
        QTest::addColumn<QString>("tip");
        QTest::newRow("a number")
            << "Option2(5)"
            << "<html>Cuts a one-line text into lines of a number of characters.<pre>例（「3」）：\n"
               "  abcdefgh\n→\n  abc\n  def\n  gh</pre></html>";
        QTest::newRow("a list entry for its alias")
            << "Option5(0).caption1"
            << "<html>Converts letters, digits, symbols, katakana and spaces between full and half "
               "width.<pre>"
               "例（「全角→半角」）：\n  ＡＢＣ１２３　テスト\n→\n  ABC123 ﾃｽﾄ</pre></html>";
        QTest::newRow("no options, a line break in the example")
            << "Option5(3)"
            << "<html>Removes blanks at the line ends, or removes or squeezes blank lines.<pre>例：\n    a  "
               "\n  \tb \n→\n"
               "  a\n  b</pre></html>";
    }
    void tipShowsTheExampleAsTheControlsShowIt() {
        QFETCH(QString, hovered);
        QFETCH(QString, tip);
        QWidget* label = showTabOf(hovered);
        QCOMPARE(label->toolTip(), tip);
        // Hovering shows it.
        const QPoint at = label->rect().center();
        QHelpEvent hover(QEvent::ToolTip, at, label->mapToGlobal(at));
        QCoreApplication::sendEvent(label, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tip);
        QToolTip::hideText();
    }

    // ---- where a refusal is

    // After the message the upper pane selects the line (or the empty line's break) concerned.
    void refusalSelectsTheLineConcerned_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("controls");  // name, text, name, text...
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("start");  // -1: nothing selected
        QTest::addColumn<int>("length");
        const QStringList insert3{"Combo4", "左", "Combo3", "3", "Text14", "X"};
        QTest::newRow("two breaks in a row") << 1 << "Option2(4)" << insert3 << "ab\r\ncd\r\n\r\nef"
                                             << "改行の連続があります。" << 8 << 2;
        QTest::newRow("two breaks at the end") << 1 << "Option2(4)" << insert3 << "abcd\n\n"
                                               << "改行の連続があります。" << 5 << 1;
        QTest::newRow("a line too short for the position")
            << 1 << "Option2(4)" << insert3 << "abcd\r\nab\r\nabcd"
            << "条件が行えない行がある、または文字数、その他のエラーです。" << 6 << 2;
        QTest::newRow("line filter, two breaks in a row")
            << 0 << "Option1(12)" << QStringList{"Text13", "a"} << "a\r\r\nb"
            << "改行の連続があります。" << 2 << 2;
        QTest::newRow("a line break in a parameter: no line")
            << 0 << "Option1(12)" << QStringList{"Text13", "a\r\nb"} << "ab\r\ncd"
            << "条件の文字に改行が含まれています。" << -1 << 0;
    }
    void refusalSelectsTheLineConcerned() {
        QFETCH(int, tab);
        QFETCH(QString, option);
        QFETCH(QStringList, controls);
        QFETCH(QString, upper);
        QFETCH(QString, message);
        QFETCH(int, start);
        QFETCH(int, length);
        showTab(tab);
        QTest::mouseClick(this->option(option), Qt::LeftButton, {}, QPoint(5, 5));
        for (qsizetype i = 0; i + 1 < controls.size(); i += 2)
            assign(controls[i], controls[i + 1]);
        pane("Text1")->assign(toText(upper));
        execute();
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QVERIFY(pane("Text2")->isEmpty());
        const TextSelection selected = pane("Text1")->selection();
        if (start < 0) {
            QCOMPARE(selected.length, std::size_t{0});
            return;
        }
        QCOMPARE(selected, (TextSelection{std::size_t(start), std::size_t(length)}));
        QVERIFY(pane("Text1")->hasFocus());
    }

    void fillListsGivesEveryListAndDefault() {
        for (const ComboList& list : comboLists()) {
            QComboBox* c = combo(list.name.c_str());
            QCOMPARE(c->count(), static_cast<int>(list.entries.size()));
            for (int i = 0; i < c->count(); ++i)
                QCOMPARE(c->itemText(i), toQString(list.entries[static_cast<std::size_t>(i)]));
            QCOMPARE(c->currentText(), toQString(list.defaultText));
            QVERIFY2(c->isEditable(), list.name.c_str());
        }
        QCOMPARE(combo("Combo42")->currentText(), QStringLiteral("0"));
        QCOMPARE(combo("Combo45")->currentText(), QStringLiteral("すべて1"));
        QCOMPARE(combo("Combo46")->currentText(), QStringLiteral("すべて0"));
        QCOMPARE(combo("Combo49")->currentText(), QStringLiteral("1"));
        QCOMPARE(combo("Combo16")->count(), 2);
        QCOMPARE(combo("Combo17")->itemText(1), QStringLiteral("右"));
        const std::pair<const char*, const char*> boxes[] = {
            {"Text6", "5"},   {"Text11", "2"}, {"Text23", "1"}, {"Text24", "2"},
            {"Text27", "2"},  {"Text28", "2"}, {"Text29", "2"}, {"Text38", "1"},
            {"Text41", "10"}, {"Text3", ""},   {"Text13", ""}};
        for (const auto& [name, value] : boxes)
            QCOMPARE(toQString(ParamControls::readControl(get<QWidget>(QLatin1String(name)))),
                     QString::fromUtf8(value));
        for (const char* name : {"Option1(0)", "Option2(0)", "Option4(0)"})
            QVERIFY(option(QLatin1String(name))->isChecked());
        QVERIFY(get<QCheckBox>("Check3")->isChecked());
        QVERIFY(!get<QCheckBox>("Check1(16)")->isChecked());
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(get<QPushButton>("Command25")->toolTip(), kWidenTip);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void everyParameterControlExists() {
        const ControlTexts names = ControlTexts::defaults(today());
        for (const auto& [name, value] : names.all())
            QVERIFY2(m_window->controls().control(name) != nullptr, name.c_str());
        for (const char* name : {"frmMain", "SSTab1", "TextCh", "MSFlexGrid1", "TextFocus", "Label3",
                                 "Label8", "Command13", "Command17", "Command22", "Command24", "Text39",
                                 "Text40", "Text10", "Label13(16)", "Label14(0)", "chkYoubi", "DTPicker3"})
            QVERIFY2(m_window->objectName() == QLatin1String(name) ||
                         m_window->findChild<QWidget*>(QLatin1String(name)),
                     name);
        for (const char* name : {"mnuOpen", "mnu1Name", "mnu2Name"})
            QVERIFY2(m_window->findChild<QAction*>(QLatin1String(name)), name);
        QCOMPARE(get<QDateEdit>("DTPicker2")->displayFormat(), QStringLiteral("yyyy/MM/dd"));
        QVERIFY(get<QDateEdit>("DTPicker2")->calendarPopup());
        QCOMPARE(m_window->windowTitle(), kWindowCaption);
        QCOMPARE(m_window->centralWidget()->size(), QSize(996, 570));
        QCOMPARE(tabs()->geometry(), QRect(392, 0, 593, 537));
    }

    void readsEveryKindOfControl() {
        auto* text3 = pane("Text3");
        text3->setFocus();
        QTest::keyClicks(text3, "a");
        QTest::keyClick(text3, Qt::Key_Return);
        QTest::keyClicks(text3, "b");
        get<QCheckBox>("Check1(3)")->setChecked(true);
        get<QDateEdit>("DTPicker2")->setDate(QDate(2024, 2, 29));
        get<QLineEdit>("Text13")->setText(QStringLiteral("探す"));
        const ControlTexts p = m_window->controls().read();
        QCOMPARE(toQString(p.text("Text3")), QStringLiteral("a\r\nb"));
        QCOMPARE(toQString(p.text("Check1(3)")), QStringLiteral("1"));
        QCOMPARE(toQString(p.text("Check1(4)")), QStringLiteral("0"));
        QCOMPARE(toQString(p.text("Check3")), QStringLiteral("1"));
        QCOMPARE(toQString(p.text("DTPicker2")), QStringLiteral("2024/02/29"));
        QCOMPARE(toQString(p.text("Text13")), QStringLiteral("探す"));
        QCOMPARE(toQString(p.text("Combo53")), QStringLiteral("「/」 スラッシュ(yyyy/mm/dd)"));
    }

    void paneKeepsAssignedTextUntilEdited() {
        PlainTextBox* text1 = pane("Text1");
        const Text assigned = u"a\rb\nc\r\nd\b\u00a0";
        text1->assign(assigned);
        QVERIFY(text1->text() == assigned);
        QCOMPARE(text1->blockCount(), 4);  // each CrLf, Cr or Lf shows as one line break
        text1->moveCursor(QTextCursor::End);
        QTest::keyClicks(text1, "e");
        QVERIFY(text1->text() == Text(u"a\r\nb\r\nc\r\nd\b\u00a0e"));
    }

    void reverseRunsInBothModes() {
        pane("Text1")->assign(u"abc\r\ndef");
        execute();
        QVERIFY(pane("Text2")->text() == Text(u"fed\r\ncba"));
        combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
        combo("Combo42")->setEditText(QStringLiteral("1"));
        pane("Text1")->assign(u"a1\r\na2\r\na3");
        pane("Text2")->assign(Text());
        execute();
        QVERIFY(pane("Text2")->text() == Text(u"1a\r\na2\r\n3a"));
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(m_window->operationCode(), 0);
    }

    void emptyUpperTextIsRefused_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("refused");
        QTest::newRow("tab 0") << 0 << "Option1(0)" << true;
        QTest::newRow("tab 1") << 1 << "Option2(3)" << true;
        QTest::newRow("tab 2") << 2 << "Check3" << true;
        QTest::newRow("tab 3 sort") << 3 << "Option4(0)" << true;
        QTest::newRow("month ends") << 3 << "Option4(5)" << false;
        QTest::newRow("first weekdays") << 3 << "Option4(6)" << false;
        QTest::newRow("weekday dates") << 3 << "Option4(7)" << false;
        // A month enumeration selected on tab 3 lets an operation of another tab run without text.
        QTest::newRow("tab 0 with month ends selected") << 0 << "Option4(5)" << false;
    }
    void emptyUpperTextIsRefused() {
        QFETCH(int, tab);
        QFETCH(QString, option);
        QFETCH(bool, refused);
        get<QAbstractButton>(option)->setChecked(true);
        tabs()->setCurrentIndex(tab);
        pane("Text2")->assign(u"前の結果");
        m_boxes->setNextAnswer(Answer::No);
        execute();
        QCOMPARE(m_boxes->texts().contains(kUpperMissing), refused);
        if (refused) {
            QCOMPARE(m_boxes->shown().size(), 1);
            QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
            QVERIFY(pane("Text2")->text() == Text(u"前の結果"));
        }
        QVERIFY(!state().guard);
    }

    void overwriteQuestion_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes") << Answer::Yes;
        QTest::newRow("no") << Answer::No;
        QTest::newRow("cancel") << Answer::Cancel;
    }
    void overwriteQuestion() {
        QFETCH(Answer, answer);
        pane("Text1")->assign(u"abc");
        pane("Text2")->assign(u"old\rtext");
        m_boxes->setNextAnswer(answer);
        execute();
        QCOMPARE(m_boxes->texts(), QStringList{kOverwrite});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Question);
        QVERIFY(pane("Text1")->text() == Text(u"abc"));
        QVERIFY(pane("Text2")->text() == (answer == Answer::Yes ? Text(u"cba") : Text(u"old\rtext")));
        QVERIFY(!state().guard);
    }

    void busyStateDuringRunAndStopEmptiesLowerPane() {
        const BusyView idle = busyView();
        combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
        Text upper;
        for (int i = 0; i < 400000; ++i)
            upper += u"abcdef\r\n";
        pane("Text1")->assign(upper);
        std::optional<BusyView> during;
        bool secondExecuteIgnored = false;
        QTimer::singleShot(0, this, [&] {
            during = busyView();
            m_window->execute();  // the guard is held: nothing happens
            secondExecuteIgnored = state().guard && m_boxes->shown().isEmpty();
            QTest::mouseClick(get<QPushButton>("Command6"), Qt::LeftButton);
        });
        execute();
        QVERIFY2(during.has_value(), "the run did not process events");
        QCOMPARE(during->status, kBusyCaption);
        QCOMPARE(during->stopColour, kBusyStopColour);
        QVERIFY(!during->fileMenu);
        // Frames, panes (Text2 stays enabled), buttons (Stop stays enabled), tab strip.
        const QList<bool> busyEnabled = {false, false, false, false, false, true, false,
                                         false, false, false, false, false, true, false};
        QCOMPARE(during->enabled, busyEnabled);
        QVERIFY(secondExecuteIgnored);
        QVERIFY(pane("Text2")->isEmpty());
        QVERIFY(busyView() == idle);
        QVERIFY(state().stop);  // until the next Execute
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void stopWhileIdleOnlySetsTheFlag() {
        click("Command6");
        QVERIFY(state().stop);
        pane("Text1")->assign(u"ab");
        execute();
        QVERIFY(!state().stop);
        QVERIFY(pane("Text2")->text() == Text(u"ba"));
    }

    void clickedExecuteKeepsTheSelection_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("code");
        QTest::newRow("tab 0") << 0 << "Option1(4)" << 4;
        QTest::newRow("tab 1") << 1 << "Option2(1)" << 14;
        QTest::newRow("tab 3") << 3 << "Option4(3)" << 30;
    }
    // The mouse gives Execute the focus, and the run takes it away again: the selection stays, so
    // the next run is the same operation.
    void clickedExecuteKeepsTheSelection() {
        QFETCH(int, tab);
        QFETCH(QString, option);
        QFETCH(int, code);
        pane("Text1")->assign(u"abc\r\nXdef");
        tabs()->setCurrentIndex(tab);
        get<QRadioButton>(option)->setChecked(true);
        for (const char* box : {"Text3", "Text15", "Text22"})
            pane(box)->assign(u"X");
        execute();
        QCOMPARE(m_window->operationCode(), code);
        QVERIFY(get<QRadioButton>(option)->isChecked());
        const Text first = pane("Text2")->text();
        m_boxes->setNextAnswer(Answer::Yes);
        execute();
        QCOMPARE(m_window->operationCode(), code);
        QVERIFY(get<QRadioButton>(option)->isChecked());
        QVERIFY(pane("Text2")->text() == first);
    }

    // The tabs' tables give each operation its code: tab by tab, selector by selector.
    // The tabs' tables and the operations' declarations agree on every selector and its code.
    void everySelectorGivesItsCode() {
        QStringList expected;
        for (const OperationDeclaration* op : operations())
            expected << QString::fromStdString(op->selector);
        QStringList selectors;
        for (int tab = 0; tab < tabs()->count(); ++tab) {
            auto* page = qobject_cast<TabPage*>(tabs()->widget(tab));
            for (QAbstractButton* selector : page->operations()) {
                selector->setChecked(true);
                QCOMPARE(page->selectedCode(), std::optional<std::uint8_t>(selectors.size()));
                selectors << selector->objectName();
            }
        }
        QCOMPARE(selectors, expected);
    }

    void operationCodeFromTabAndSelection() {
        pane("Text1")->assign(u"ab");
        showTab(1);
        option("Option2(4)")->setChecked(true);
        execute();
        QCOMPARE(m_window->operationCode(), 17);
        showTab(3);
        clearOptions(m_window.get(), "Option4", 8);
        pane("Text2")->assign(Text());
        execute();
        QCOMPARE(m_window->operationCode(), 34);
        option("Option4(7)")->setChecked(true);
        execute();
        QCOMPARE(m_window->operationCode(), 34);
        option("Option4(2)")->setChecked(true);
        execute();
        QCOMPARE(m_window->operationCode(), 29);
    }

    void noSelectionRunsNothing_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("message");
        QTest::newRow("tab 0 without an option") << 0 << kChooseOperation;
        QTest::newRow("tab 1 without an option") << 1 << kChooseOperation;
        QTest::newRow("tab 2 with Check3 clear") << 2 << kTickLoopGenerator;
    }
    // The previous run's operation, reverse from tab 0, must not run again from another tab.
    void noSelectionRunsNothing() {
        QFETCH(int, tab);
        QFETCH(QString, message);
        pane("Text1")->assign(u"ab");
        execute();  // code 0
        tabs()->setCurrentIndex(tab);
        clearOptions(m_window.get(), "Option1", 13);
        clearOptions(m_window.get(), "Option2", 13);
        get<QCheckBox>("Check3")->setChecked(false);
        execute();
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
        QVERIFY(pane("Text2")->text() == Text(u"ba"));
        QCOMPARE(m_window->operationCode(), 0);
        QVERIFY(!state().guard);
        QVERIFY(get<QPushButton>("Command3")->isEnabled());
    }

    void exitQuestion_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("yes") << Answer::Yes;
        QTest::newRow("no") << Answer::No;
        QTest::newRow("cancel") << Answer::Cancel;
    }
    void exitQuestion() {
        QFETCH(Answer, answer);
        bool confirmed = false;
        QObject scope;  // ends the connection with this test, before `confirmed` goes away
        connect(m_window.get(), &FrmMain::closingConfirmed, &scope, [&] { confirmed = true; });
        m_boxes->setNextAnswer(answer);
        m_window->close();
        QCOMPARE(m_boxes->texts(), QStringList{kExitQuestion});
        QCOMPARE(m_window->isVisible(), answer != Answer::Yes);
        QCOMPARE(state().closing, answer == Answer::Yes);
        QCOMPARE(confirmed, answer == Answer::Yes);
    }

    void noExitQuestionAfterStopOrWhenQuiet() {
        click("Command6");
        m_window->close();
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!m_window->isVisible());
        QVERIFY(state().closing);
        // Closing asks no more questions and shows no messages.
        m_window->execute();
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void widenAndRestore() {
        const QStringList moved = {"Text1",     "Text2",    "Command27", "Command1",
                                   "Command28", "Command2", "Command25", "Label3"};
        QList<QRect> normal;
        for (const QString& name : moved)
            normal.append(get<QWidget>(name)->geometry());
        // Both panes become wider by the width of the tab area.
        const int wide = pane("Text1")->width() + tabs()->width();
        click("Command25");
        QCOMPARE(get<QPushButton>("Command25")->text(), QStringLiteral("<<"));
        QCOMPARE(get<QPushButton>("Command25")->toolTip(), kNarrowTip);
        QCOMPARE(pane("Text1")->width(), wide);
        QCOMPARE(pane("Text2")->width(), wide);
        QCOMPARE(get<QWidget>("Command27")->x(), 0);
        QCOMPARE(get<QWidget>("Command28")->x(), 0);
        QCOMPARE(get<QWidget>("Command1")->x(), get<QWidget>("Command27")->geometry().right() + 1);
        QCOMPARE(get<QWidget>("Command2")->x(), get<QWidget>("Command28")->geometry().right() + 1);
        QCOMPARE(get<QWidget>("Command25")->x(), get<QWidget>("Command2")->geometry().right() + 1);
        QCOMPARE(get<QWidget>("Label3")->x(), wide / 2 - get<QWidget>("Label3")->width() / 2);
        for (const char* name : {"Command6", "Command3", "SSTab1"})
            QVERIFY(!get<QWidget>(QLatin1String(name))->isVisible());
        click("Command25");
        for (int i = 0; i < moved.size(); ++i)
            QCOMPARE(get<QWidget>(moved[i])->geometry(), normal[i]);
        for (const char* name : {"Command6", "Command3", "SSTab1"})
            QVERIFY(get<QWidget>(QLatin1String(name))->isVisible());
        QCOMPARE(get<QPushButton>("Command25")->text(), QStringLiteral(">>"));
        QCOMPARE(get<QPushButton>("Command25")->toolTip(), kWidenTip);
    }

    // The window is resized as a window manager does it: the panes take what it gains, the tab
    // area keeps its width, and in a window smaller than designed a tab too tall for it scrolls.
    void resizingGivesThePanesTheRoom() {
        QVERIFY(m_window->minimumWidth() < m_window->maximumWidth());
        const QSize designed = m_window->size();
        const QSize upper = pane("Text1")->size();
        const int tabsWidth = tabs()->width();
        m_window->resize(designed + QSize(200, 100));
        QTRY_COMPARE(pane("Text1")->width(), upper.width() + 200);
        QCOMPARE(pane("Text2")->width(), upper.width() + 200);
        QCOMPARE(tabs()->width(), tabsWidth);
        QVERIFY(qAbs(pane("Text1")->height() - (upper.height() + 50)) <= 1);

        m_window->resize(designed - QSize(100, 200));
        showTab(2);
        auto* scroll = tabs()->currentWidget()->findChild<QScrollArea*>();
        QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
        QWidget* last = get("Command24");
        focus(last);
        QVERIFY(scroll->viewport()->rect().contains(
            QRect(last->mapTo(scroll->viewport(), QPoint()), last->size())));
        QVERIFY(pane("Text1")->height() > 0);
        m_window->resize(designed);
        QTRY_COMPARE(m_window->centralWidget()->size(), QSize(996, 570));
    }

    void accessKeysSelectOperations() {
        // "(&J)" is on the label after the caption's last blank, "(&E)" on the option itself.
        QTest::keyClick(m_window.get(), Qt::Key_J, Qt::AltModifier);
        QTRY_VERIFY(option("Option1(5)")->isChecked());
        QTest::keyClick(m_window.get(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(option("Option1(0)")->isChecked());
        QTest::keyClick(m_window.get(), Qt::Key_2, Qt::AltModifier);
        QTRY_COMPARE(tabs()->currentIndex(), 1);
    }

    void modeComboRules() {
        QComboBox* mode = combo("Combo41");
        QComboBox* interval = combo("Combo42");
        mode->setEditText(QStringLiteral("数行おきにリバースする"));
        interval->setEditText(QStringLiteral("3"));
        mode->setEditText(QStringLiteral("リバース"));
        QCOMPARE(mode->currentText(), QStringLiteral("全文リバースする"));
        QCOMPARE(interval->currentText(), QStringLiteral("3"));  // the rule's own edit fires no rule
        mode->setEditText(QStringLiteral("数行おきにリバースする"));
        mode->setEditText(QStringLiteral("全文リバースする"));
        QCOMPARE(interval->currentText(), QStringLiteral("0"));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void intervalComboRules_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("letter") << "x"
                                << "0";
        QTest::newRow("1000") << "1000"
                              << "0";
        QTest::newRow("999") << "999"
                             << "999";
        QTest::newRow("012") << "012"
                             << "12";
        QTest::newRow("007") << "007"
                             << "7";
        QTest::newRow("00") << "00"
                            << "00";
        QTest::newRow("minus, then a digit") << "-5"
                                             << "5";  // "-" became "0", then "05" became "5"
    }
    void intervalComboRules() {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        combo("Combo41")->setEditText(QStringLiteral("数行おきにリバースする"));
        QComboBox* interval = combo("Combo42");
        interval->setFocus();
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval, typed);
        QCOMPARE(interval->currentText(), result);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void intervalStaysZeroInWholeTextMode() {
        QComboBox* interval = combo("Combo42");
        interval->setFocus();
        interval->lineEdit()->selectAll();
        QTest::keyClicks(interval, "5");
        QCOMPARE(interval->currentText(), QStringLiteral("0"));
        QCOMPARE(m_boxes->texts(),
                 QStringList{QStringLiteral("「数行おきにリバースする」に変えてください。")});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Information);
    }
};

KIVO_WINDOW_TEST_MAIN(WindowTest)
#include "window_test.moc"
