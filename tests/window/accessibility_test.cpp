// What a screen reader says of the window's controls: every control that takes the focus has a
// name of its own, built from the operations' declarations, in the session's language (this test
// runs once in an English session and once in a Japanese one).
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>

#include "ops/registry.h"
#include "window/spoken_names.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

class AccessibilityTest : public WindowFixture {
    Q_OBJECT

public:
    AccessibilityTest() : WindowFixture(0) {}

private:
    static QString nameOf(QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    }

    // What the control shows, which alone names nothing.
    static QString valueOf(QWidget* w) {
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
        if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
        if (auto* list = qobject_cast<QListWidget*>(w))  // its interface gives its name as its value
            return list->currentItem() ? list->currentItem()->text() : QString();
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Value);
    }

    // The controls a user reaches by Tab or a click; those that hand their focus to another
    // (the edit field of a combo) speak through it.
    QList<QWidget*> focusableControls() const {
        QList<QWidget*> controls;
        for (QWidget* w : m_window->findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus && !w->isHidden() && !w->focusProxy() &&
                !w->objectName().isEmpty())
                controls.append(w);
        return controls;
    }

private slots:
    void everyFocusableControlSaysWhatItIs() {
        auto* tabs = m_window->findChild<QTabWidget*>("SSTab1");
        int named = 0;
        // Each tab shown in turn, as a user meets its controls; then those around the tabs.
        for (int tab = 0; tab <= tabs->count(); ++tab) {
            if (tab < tabs->count()) showTab(tab);
            for (QWidget* w : focusableControls()) {
                const int onTab =
                    tabs->indexOf(tabs->widget(tab)) == tab && tabs->widget(tab)->isAncestorOf(w);
                const bool aroundTabs = !tabs->isAncestorOf(w) || w->parentWidget() == tabs;
                if (tab < tabs->count() ? !onTab : !aroundTabs) continue;
                const QString name = nameOf(w);
                const QString what = w->metaObject()->className() + QStringLiteral(" ") + w->objectName() +
                                     QStringLiteral(": ") + name;
                QVERIFY2(!name.trimmed().isEmpty(), qPrintable(what));
                QVERIFY2(name != w->objectName(), qPrintable(what));
                QVERIFY2(name != valueOf(w), qPrintable(what));
                // Neither a caption's blank nor its access key is read out.
                QVERIFY2(!name.contains(QStringLiteral("(&")), qPrintable(what));
                if (sessionLanguage() == Language::Japanese) QVERIFY2(!name.contains(u'…'), qPrintable(what));
                const QString description =
                    QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
                QVERIFY2(!description.contains(QStringLiteral("<html>")) &&
                             !description.contains(QStringLiteral("<pre>")),
                         qPrintable(w->objectName() + ": " + description));
                ++named;
            }
        }
        for (int tab = 0; tab < tabs->count(); ++tab)
            QVERIFY(tabs->tabBar()->accessibleTabName(tab).startsWith(
                spoken(QStringLiteral("条件%1（"), QStringLiteral("Tab %1 (")).arg(tab + 1)));
        qInfo("%d focusable controls named, in %s", named,
              sessionLanguage() == Language::Japanese ? "Japanese" : "English");
        QVERIFY(named >= 275);
    }

    void namesComeFromTheDeclarations_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("japanese");
        QTest::addColumn<QString>("english");
        QTest::newRow("an operation with its blank named")
            << "Option1(4)"
            << "（追加する側）に次の文字を追加する"
            << "Adds a text at the start or the end of every line";
        // The blanks follow the line's layout, not the order the options are declared in.
        QTest::newRow("blanks in the order of the line")
            << "Option4(1)"
            << "（開始行）行目から（行間隔）行おきに（数える側）から（入れる位置）文字目後に（増減）数値を入"
               "れる"
            << "Puts running numbers into every n-th line at a position counted from a side";
        QTest::newRow("a check box's blank is its own caption")
            << "Option6(0)"
            << "日付を（日付の形式）の形式に変換する　曜日を付ける"
            << "Rewrites every date (2024/1/31, 令和6年1月31日, R6.1.31, …) in one Western or era form";
        QTest::newRow("a parameter") << "Combo31"
                                     << "追加する側"
                                     << "Side to add to";
        QTest::newRow("a loop row") << "Check1(16)"
                                    << "17回目の数値を増減する"
                                    << "Count number 17";
        QTest::newRow("a Reset button") << "Command4"
                                        << "Reset：（追加する側）に次の文字を追加する"
                                        << "Reset: Adds a text at the start or the end of every line";
        QTest::newRow("a Reset button for part of a line")
            << "Command5"
            << "Reset：（探す方向）から見つけた（探す文字）の（置換する側）を次の文字に置換（置換後の文字）"
            << "Reset: Replaces what lies left or right of a text found in every line (Replacement text)";
        QTest::newRow("the upper pane") << "Text1"
                                        << "上部テキスト（入力）"
                                        << "Upper text (input)";
        QTest::newRow("the lower pane") << "Text2"
                                        << "下部テキスト（結果）"
                                        << "Lower text (result)";
        QTest::newRow("AllReset") << "Command55"
                                  << "AllReset：条件7"
                                  << "AllReset: tab 7";
    }
    void namesComeFromTheDeclarations() {
        QFETCH(QString, control);
        QFETCH(QString, japanese);
        QFETCH(QString, english);
        QWidget* w = showTabOf(control);
        QCOMPARE(nameOf(w), sessionLanguage() == Language::Japanese ? japanese : english);
    }

    // The tooltip speaks the session's language; a screen reader gets it as plain text.
    void operationsDescribeThemselvesInTheSessionsLanguage() {
        for (const OperationDeclaration* op : operations()) {
            auto* selector = m_window->findChild<QAbstractButton*>(QString::fromStdString(op->selector));
            const QString sentence = sessionLanguage() == Language::Japanese
                                         ? QString::fromStdU16String(op->japaneseDescription)
                                         : QString::fromStdString(op->description) + u'.';
            QVERIFY2(selector->toolTip().startsWith(QStringLiteral("<html>") + sentence.toHtmlEscaped()),
                     qPrintable(selector->toolTip()));
            const QString description =
                QAccessible::queryAccessibleInterface(selector)->text(QAccessible::Description);
            QVERIFY2(description.startsWith(sentence + QStringLiteral("\n例")), qPrintable(description));
        }
    }
};

KIVO_WINDOW_TEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
