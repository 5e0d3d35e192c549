// The text panes (context menu, Ctrl+V, copy and reset buttons) and the keyboard path through
// the tab strip and from one tab's last stop to the next tab.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "ops/dispatch.h"
#include "window/pane_menu.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

QString systemClipboard() {
    return QGuiApplication::clipboard()->text();
}

void putOnClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

// A clipboard owner that serves its text once and then gives the clipboard up, as
// `xclip -loops` does: later requests find no format at all, and the data object goes at the
// next event the window processes.
class TextServedOnce final : public QMimeData {
public:
    explicit TextServedOnce(QString text) : m_text(std::move(text)) {}
    QStringList formats() const override { return m_served ? QStringList() : QStringList{"text/plain"}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (m_served || type != QLatin1String("text/plain")) return {};
        m_served = true;
        QTimer::singleShot(0, [] { putOnClipboard(QStringLiteral("another owner's")); });
        return m_text;
    }

private:
    QString m_text;
    mutable bool m_served = false;
};

}  // namespace

class PanesTest : public WindowFixture {
    Q_OBJECT

private:
    QMenu* menu() { return get<QMenu>("mnuMenu"); }
    QAction* item(const QString& name) { return get<QAction>(name); }

    void release(PlainTextBox* p, Qt::MouseButton button) {
        QTest::mouseRelease(p->viewport(), button, {}, QPoint(4, 4));
    }
    // Right-click over the pane, then the item, as the user picks it from the menu.
    void pick(PlainTextBox* p, const QString& itemName) {
        release(p, Qt::RightButton);
        QVERIFY(menu()->isVisible());
        menu()->hide();
        item(itemName)->trigger();
    }
private slots:
    void offsetsCountCrLfTwice() {
        const Text t = u"ab\r\ncd\ref\ng";
        // editor positions: a0 b1 break2 c3 d4 break5 e6 f7 break8 g9 end10
        const std::pair<int, std::size_t> rows[] = {{0, 0}, {2, 2},  {3, 4},   {5, 6},  {6, 7},
                                                    {8, 9}, {9, 10}, {10, 11}, {99, 11}};
        for (const auto& [position, offset] : rows) {
            QCOMPARE(textOffset(t, position), offset);
            QCOMPARE(editorPosition(t, offset), std::min(position, 10));
        }
        QCOMPARE(editorPosition(t, 3), 3);  // between Cr and Lf: after the break
        QVERIFY(replaceSelection(u"abcd", 1, 2, u"\t") == Text(u"a\td"));
        QVERIFY(replaceSelection(u"abcd", 3, 9, u"X") == Text(u"abcX"));
        QVERIFY(replaceSelection(u"ab", 7, 1, u"X") == Text(u"abX"));
    }

    void menuItemsEditTheTargetPane_data() {
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("itemName");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("clipboardAfter");
        for (const QString& p : {QStringLiteral("Text1"), QStringLiteral("Text2")}) {
            auto row = [&](const char* name) { return &QTest::newRow(qPrintable(p + ": " + name)); };
            *row("tab over bc of abcd") << p << "abcd" << 1 << 2 << "mnuTab"
                                        << ""
                                        << "a\td" << 2 << 0 << "";
            *row("tab at the cursor") << p << "ab" << 0 << 0 << "mnuTab"
                                      << ""
                                      << "\tab" << 1 << 0 << "";
            *row("tab after a line break") << p << "ab\r\ncd" << 4 << 0 << "mnuTab"
                                           << ""
                                           << "ab\r\n\tcd" << 5 << 0 << "";
            *row("paste XY at 2 of abcd") << p << "abcd" << 2 << 0 << "mnuPaste"
                                          << "XY"
                                          << "abXYcd" << 4 << 0 << "XY";
            *row("paste over a selection") << p << "abcd" << 1 << 2 << "mnuPaste"
                                           << "Z"
                                           << "aZd" << 2 << 0 << "Z";
            *row("paste brings CrLf breaks") << p << "" << 0 << 0 << "mnuPaste"
                                             << "x\ny"
                                             << "x\r\ny" << 4 << 0 << "x\ny";
            *row("cut bc") << p << "abcd" << 1 << 2 << "mnuCut"
                           << "old"
                           << "ad" << 1 << 0 << "bc";
            *row("cut across a line break") << p << "ab\r\ncd" << 1 << 4 << "mnuCut"
                                            << ""
                                            << "ad" << 1 << 0 << "b\r\nc";
            *row("copy bc") << p << "abcd" << 1 << 2 << "mnuCopy"
                            << "old"
                            << "abcd" << 3 << 0 << "bc";
            *row("delete bc") << p << "abcd" << 1 << 2 << "mnuDelete"
                              << "keep"
                              << "ad" << 1 << 0 << "keep";
            *row("delete the last line") << p << "ab\r\ncd" << 4 << 2 << "mnuDelete"
                                         << ""
                                         << "ab\r\n"
                                         << 4 << 0 << "";
            *row("select all") << p << "ab\r\ncd" << 1 << 0 << "mnuAll"
                               << ""
                               << "ab\r\ncd" << 0 << 6 << "";
        }
    }
    void menuItemsEditTheTargetPane() {
        QFETCH(QString, paneName);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, itemName);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, expected);
        QFETCH(int, cursor);
        QFETCH(int, selected);
        QFETCH(QString, clipboardAfter);
        PlainTextBox* target = pane(paneName);
        PlainTextBox* other = pane(paneName == "Text1" ? "Text2" : "Text1");
        other->assign(u"other");
        target->assign(toText(text));
        target->select(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        putOnClipboard(clipboardBefore);
        pick(target, itemName);
        QCOMPARE(toQString(target->text()), expected);
        QCOMPARE(target->selection(),
                 (TextSelection{static_cast<std::size_t>(cursor), static_cast<std::size_t>(selected)}));
        QCOMPARE(systemClipboard(), clipboardAfter);
        QVERIFY(other->text() == Text(u"other"));
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(!state().guard);
    }

    void menuEnablingRules_data() {
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("clipboard");
        // tab, cut, copy, paste, delete, all
        QTest::addColumn<QList<bool>>("enabled");
        for (const QString& p : {QStringLiteral("Text1"), QStringLiteral("Text2")}) {
            auto row = [&](const char* name) { return &QTest::newRow(qPrintable(p + ": " + name)); };
            *row("empty pane, text on the clipboard")
                << p << "" << 0 << 0 << "x" << QList<bool>{true, false, false, true, false, false};
            *row("empty pane, empty clipboard")
                << p << "" << 0 << 0 << "" << QList<bool>{true, false, false, false, false, false};
            *row("nothing selected") << p << "abc" << 1 << 0 << ""
                                     << QList<bool>{true, false, false, false, false, true};
            *row("part selected") << p << "abc" << 1 << 1 << "x"
                                  << QList<bool>{true, true, true, true, true, true};
            *row("all selected") << p << "a\r\nb" << 0 << 4 << ""
                                 << QList<bool>{true, true, true, false, true, false};
        }
    }
    void menuEnablingRules() {
        QFETCH(QString, paneName);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, enabled);
        PlainTextBox* target = pane(paneName);
        target->assign(toText(text));
        target->select(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        putOnClipboard(clipboard);
        release(target, Qt::RightButton);
        QVERIFY(menu()->isVisible());
        QList<bool> actual;
        for (const char* name : {"mnuTab", "mnuCut", "mnuCopy", "mnuPaste", "mnuDelete", "mnuAll"})
            actual.append(item(QLatin1String(name))->isEnabled());
        menu()->hide();
        QCOMPARE(actual, enabled);
        QVERIFY(!state().guard);
    }

    // ---- the result as the next input

    void moveResultUpChainsRuns_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("access key") << "key";
        QTest::newRow("pane menu") << "menu";
    }
    // Reverse, move the result up, reverse again: the second run reads the first one's result,
    // and the upper pane's undo takes the move back.
    void moveResultUpChainsRuns() {
        QFETCH(QString, how);
        auto* moveUp = get<QPushButton>("Command42");
        PlainTextBox* upper = pane("Text1");
        pane("Text2")->assign(u"");
        upper->setFocus();
        QTest::keyClicks(upper, "abc");
        QVERIFY(!moveUp->isEnabled());
        execute();
        QCOMPARE(toQString(pane("Text2")->text()), QStringLiteral("cba"));
        QVERIFY(moveUp->isEnabled());
        if (how == "button") {
            QTest::mouseClick(moveUp, Qt::LeftButton);
        } else if (how == "key") {
            QTest::keyClick(m_window.get(), Qt::Key_U, Qt::AltModifier);
        } else {
            release(pane("Text2"), Qt::RightButton);
            QVERIFY(item("mnuMoveUp")->isEnabled());
            menu()->hide();
            item("mnuMoveUp")->trigger();
        }
        QTRY_COMPARE(toQString(upper->text()), QStringLiteral("cba"));
        QVERIFY(pane("Text2")->isEmpty());
        QVERIFY(!moveUp->isEnabled());
        QCOMPARE(QApplication::focusWidget(), upper);
        execute();  // the lower pane is empty: no overwrite question
        QCOMPARE(toQString(pane("Text2")->text()), QStringLiteral("abc"));
        QVERIFY(m_boxes->shown().isEmpty());
        upper->setFocus();
        QTest::keyClick(upper, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(toQString(upper->text()), QStringLiteral("abc"));
        // An empty lower pane leaves the menu item disabled.
        pane("Text2")->assign(u"");
        release(upper, Qt::RightButton);
        QVERIFY(!item("mnuMoveUp")->isEnabled());
        menu()->hide();
    }

    void moveResultUpWaitsForTheWindow() {
        auto* moveUp = get<QPushButton>("Command42");
        pane("Text2")->assign(u"result");
        QVERIFY(moveUp->isEnabled());
        bool enabledDuring = true;
        // A file command puts the window in the busy state as a run does.
        m_dialogs.during = [&] { enabledDuring = moveUp->isEnabled(); };
        get<QAction>("mnuOpen")->trigger();
        QVERIFY(!enabledDuring);
        QVERIFY(moveUp->isEnabled());
    }

    // ---- undo across whole-text changes

    void undoInTheLowerPaneTakesBackRuns_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("two runs") << "xyz" << false;
        // A result shown in pieces.
        QTest::newRow("large result") << QString(300000, u'x') << false;
        QTest::newRow("second run stopped") << QString(300000, u'x') << true;
    }
    // Two runs, then Ctrl+Z twice in the lower pane: the first result, then the empty pane.
    void undoInTheLowerPaneTakesBackRuns() {
        QFETCH(QString, second);
        QFETCH(bool, stopped);
        PlainTextBox* lower = pane("Text2");
        lower->assign(u"");
        pane("Text1")->assign(u"abc");
        execute();
        pane("Text1")->assign(toText(second));
        if (stopped)
            QTimer::singleShot(0, this,
                               [&] { QTest::mouseClick(get<QPushButton>("Command6"), Qt::LeftButton); });
        execute();
        QCOMPARE(m_boxes->texts(), QStringList{toQString(kOverwriteQuestion)});
        QCOMPARE(toQString(lower->text()).size(), stopped ? 0 : second.size());
        lower->setFocus();
        QTest::keyClick(lower, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(toQString(lower->text()), QStringLiteral("cba"));
        QTest::keyClick(lower, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(lower->isEmpty());
        QTest::keyClick(lower, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(toQString(lower->text()), QStringLiteral("cba"));
    }

    void undoTakesBackWholeTextChanges_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("after");
        QTest::newRow("reset") << "reset"
                               << "";
        QTest::newRow("open") << "open"
                              << "opened";
        QTest::newRow("move from below") << "move"
                                         << "lower";
        QTest::newRow("pane menu paste") << "paste"
                                         << "typedpasted";
        QTest::newRow("large paste") << "large paste" << QString(300000, u'x') + "typed";
    }
    // Typed text, a whole-text change, then Ctrl+Z, Ctrl+Y and the menu's undo and redo.
    void undoTakesBackWholeTextChanges() {
        QFETCH(QString, change);
        QFETCH(QString, after);
        PlainTextBox* upper = pane("Text1");
        upper->setFocus();
        QTest::keyClicks(upper, "typed");
        pane("Text2")->assign(u"lower");
        if (change == "reset") {
            QTest::mouseClick(get<QPushButton>("Command1"), Qt::LeftButton);
        } else if (change == "open") {
            QFile file(path("in.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("opened");
            file.close();
            m_dialogs.names = {path("in.txt")};
            get<QAction>("mnuOpen")->trigger();
        } else if (change == "move") {
            QTest::mouseClick(get<QPushButton>("Command42"), Qt::LeftButton);
        } else if (change == "paste") {
            putOnClipboard("pasted");
            pick(upper, "mnuPaste");
        } else {
            putOnClipboard(QString(300000, u'x'));
            upper->moveCursor(QTextCursor::Start);
            QTest::keyClick(upper, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(toQString(upper->text()), after);
        upper->setFocus();
        QTest::keyClick(upper, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(toQString(upper->text()), QStringLiteral("typed"));
        QTest::keyClick(upper, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(toQString(upper->text()), after);
        release(upper, Qt::RightButton);
        QVERIFY(item("mnuUndo")->isEnabled());
        QVERIFY(!item("mnuRedo")->isEnabled());
        menu()->hide();
        item("mnuUndo")->trigger();
        QCOMPARE(toQString(upper->text()), QStringLiteral("typed"));
        release(upper, Qt::RightButton);
        QVERIFY(item("mnuRedo")->isEnabled());
        menu()->hide();
        item("mnuRedo")->trigger();
        QCOMPARE(toQString(upper->text()), after);
    }

    // ---- counts in the status bar

    void countsFollowTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("counts");
        QTest::newRow("empty") << ""
                               << "上部：0文字　1行　0バイト(Shift-JIS)";
        QTest::newRow("each break is one line and two bytes") << "a\r\nb\nc\rd\r\n"
                                                              << "上部：4文字　5行　12バイト(Shift-JIS)";
        QTest::newRow("full and half width") << "全角ｶﾅ"
                                             << "上部：4文字　1行　6バイト(Shift-JIS)";
        QTest::newRow("no Shift-JIS form: one byte a unit") << "a😀"
                                                            << "上部：3文字　1行　3バイト(Shift-JIS)";
        QTest::newRow("thousands") << QString(1234, u'x') + "\r\n" + QString(1000, u'あ')
                                   << "上部：2,234文字　2行　3,236バイト(Shift-JIS)";
    }
    void countsFollowTheText() {
        QFETCH(QString, text);
        QFETCH(QString, counts);
        pane("Text1")->setFocus();
        pane("Text1")->assign(u"something else");
        pane("Text1")->assign(toText(text));
        QTRY_COMPARE(get<QLabel>("StatusCounts")->text(), counts);
    }

    // Typing, selecting with the keyboard and clicking into the other pane.
    void countsFollowTheFocusAndTheSelection() {
        auto* counts = get<QLabel>("StatusCounts");
        PlainTextBox* upper = pane("Text1");
        upper->assign(u"");
        pane("Text2")->assign(u"結果\r\n");
        upper->setFocus();
        QTest::keyClicks(upper, "abc");
        QTRY_COMPARE(counts->text(), QStringLiteral("上部：3文字　1行　3バイト(Shift-JIS)"));
        QTest::keyClick(upper, Qt::Key_Return);
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("全角"));
        QCoreApplication::sendEvent(upper, &committed);
        QTRY_COMPARE(counts->text(), QStringLiteral("上部：5文字　2行　9バイト(Shift-JIS)"));
        QTest::keyClick(upper, Qt::Key_Left, Qt::ShiftModifier);
        QTRY_COMPARE(counts->text(), QStringLiteral("上部(選択)：1文字　1行　2バイト(Shift-JIS)"));
        QTest::mouseClick(pane("Text2")->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_COMPARE(counts->text(), QStringLiteral("下部：2文字　2行　6バイト(Shift-JIS)"));
    }

    void menuLayout() {
        QStringList captions;
        for (const QAction* a : menu()->actions())
            captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"元に戻す", "やり直し", "-", "Tabを追加", "-", "切り取り", "コピー",
                                        "貼り付け", "削除", "-", "すべて選択", "-", "↑結果を上へ"}));
        QCOMPARE(menu()->title(), QStringLiteral("メニュー"));
    }

    void itemsActOnThePaneLastReleasedOver() {
        pane("Text1")->assign(u"up");
        pane("Text2")->assign(u"down");
        // Before any release the items act on the lower pane.
        item("mnuTab")->trigger();
        QVERIFY(pane("Text2")->text() == Text(u"\tdown"));
        release(pane("Text1"), Qt::LeftButton);
        QVERIFY(!menu()->isVisible());
        item("mnuAll")->trigger();
        QCOMPARE(pane("Text1")->selection(), (TextSelection{0, 2}));
        QCOMPARE(pane("Text2")->selection().length, std::size_t{0});
        release(pane("Text2"), Qt::LeftButton);
        item("mnuDelete")->trigger();
        QVERIFY(pane("Text1")->text() == Text(u"up"));
    }

    void clipboardFailureLeavesThePane_data() {
        QTest::addColumn<QString>("itemName");
        QTest::addColumn<QString>("message");
        QTest::newRow("copy") << "mnuCopy"
                              << "クリップボードにコピーの際にエラーしました。";
        QTest::newRow("cut") << "mnuCut"
                             << "切り取りに失敗しました。";
    }
    void clipboardFailureLeavesThePane() {
        QFETCH(QString, itemName);
        QFETCH(QString, message);
        m_clipboard.refuses = true;
        putOnClipboard(QStringLiteral("before"));
        for (const char* name : {"Text1", "Text2"}) {
            m_boxes->clear();
            PlainTextBox* p = pane(QLatin1String(name));
            p->assign(u"abcd");
            p->select(1, 2);
            pick(p, itemName);
            QVERIFY(p->text() == Text(u"abcd"));
            QCOMPARE(p->selection(), (TextSelection{1, 2}));
            QCOMPARE(m_boxes->texts(), QStringList{message});
            QCOMPARE(m_boxes->shown().front().icon, Icon::Exclamation);
            QCOMPARE(systemClipboard(), QStringLiteral("before"));
        }
        // While closing nothing is shown.
        m_boxes->clear();
        state().closing = true;
        pick(pane("Text1"), itemName);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    void ctrlVWithoutTextOnTheClipboardPastesNothing() {
        for (const char* name : {"Text1", "Text2"}) {
            PlainTextBox* p = pane(QLatin1String(name));
            p->assign(u"ab");
            p->moveCursor(QTextCursor::End);
            auto* picture = new QMimeData;
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            picture->setImageData(image);
            QGuiApplication::clipboard()->setMimeData(picture);
            QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
            QVERIFY(p->text() == Text(u"ab"));
            // The filter judges the clipboard's text, not what the editor would make of it.
            putOnClipboard(QStringLiteral("xy"));
            m_clipboard.looksEmpty = true;
            QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
            QVERIFY(p->text() == Text(u"ab"));
            m_clipboard.looksEmpty = false;
            QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
            QVERIFY(p->text() == Text(u"abxy"));
            // Other Ctrl keys go through.
            QTest::keyClick(p, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(p->selection(), (TextSelection{0, 4}));
        }
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // The text is taken once, whole, and pasted from the window's own copy, also when the owner
    // is gone before a large text is in. Qt's own paste read the data object again and took the
    // window down when it had no format left.
    void pasteSurvivesAnOwnerThatServesOnce_data() {
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("guarded");  // the lower pane's filter stands aside: Qt's own paste
        QTest::newRow("1 KB") << "Text1" << 500 << false;
        QTest::newRow("pieces") << "Text1" << 600'000 << false;
        QTest::newRow("lower pane during a run") << "Text2" << 500 << true;
    }
    void pasteSurvivesAnOwnerThatServesOnce() {
        QFETCH(QString, paneName);
        QFETCH(int, length);
        QFETCH(bool, guarded);
        QString text;
        while (text.size() < length)
            text += QStringLiteral("テキスト\n");
        PlainTextBox* p = pane(paneName);
        p->assign(u"ab");
        p->select(1);
        QGuiApplication::clipboard()->setMimeData(new TextServedOnce(text));
        state().guard = guarded;
        QTest::keyClick(p, Qt::Key_V, Qt::ControlModifier);
        state().guard = false;
        QTest::qWait(0);
        QCOMPARE(toQString(p->text()), "a" + QString(text).replace("\n", "\r\n") + "b");
        QCOMPARE(systemClipboard(), QStringLiteral("another owner's"));
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // The menu reads the clipboard as it opens; an owner that served only that read gives the
    // paste nothing, and the selection must not be replaced by that nothing.
    void menuPasteFromAnOwnerThatServedTheMenuOnly() {
        PlainTextBox* p = pane("Text1");
        p->assign(u"abcd");
        p->select(1, 2);
        putOnClipboard(QStringLiteral("XY"));
        m_clipboard.serves = 1;
        pick(p, "mnuPaste");
        QCOMPARE(toQString(p->text()), QStringLiteral("aXYd"));
    }

    void heldGuardStopsTheMenuAndTheLowerFilter() {
        state().guard = true;
        pane("Text2")->assign(u"ab");
        release(pane("Text2"), Qt::RightButton);
        QVERIFY(!menu()->isVisible());
        putOnClipboard(QStringLiteral("xy"));
        m_clipboard.looksEmpty = true;
        for (const char* name : {"Text1", "Text2"}) {
            pane(QLatin1String(name))->assign(u"ab");
            pane(QLatin1String(name))->moveCursor(QTextCursor::End);
            QTest::keyClick(pane(QLatin1String(name)), Qt::Key_V, Qt::ControlModifier);
        }
        // The upper pane filters always; the lower one only while the guard is free.
        QVERIFY(pane("Text1")->text() == Text(u"ab"));
        QVERIFY(pane("Text2")->text() == Text(u"abxy"));
        state().guard = false;
    }

    void copyButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("upper empty") << "Command27"
                                     << "Text1"
                                     << "" << false << "上部テキストボックスに文字がありません。"
                                     << int(Icon::Information) << "before";
        QTest::newRow("lower empty") << "Command28"
                                     << "Text2"
                                     << "" << false << "下部テキストボックスに文字がありません。"
                                     << int(Icon::Information) << "before";
        QTest::newRow("upper") << "Command27"
                               << "Text1"
                               << "a\r\nb" << false << "" << 0 << "a\r\nb";
        QTest::newRow("lower") << "Command28"
                               << "Text2"
                               << "結果" << false << "" << 0 << "結果";
        QTest::newRow("upper refused") << "Command27"
                                       << "Text1"
                                       << "a" << true << "クリップボードにコピーする際にエラーしました。"
                                       << int(Icon::Exclamation) << "before";
        QTest::newRow("lower refused") << "Command28"
                                       << "Text2"
                                       << "a" << true << "クリップボードにコピーする際にエラーしました。"
                                       << int(Icon::Exclamation) << "before";
    }
    void copyButtons() {
        QFETCH(QString, button);
        QFETCH(QString, paneName);
        QFETCH(QString, text);
        QFETCH(bool, refuses);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(QString, clipboard);
        pane(paneName)->assign(toText(text));
        putOnClipboard(QStringLiteral("before"));
        m_clipboard.refuses = refuses;
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) QCOMPARE(int(m_boxes->shown().front().icon), icon);
        QCOMPARE(systemClipboard(), clipboard);
        QCOMPARE(toQString(pane(paneName)->text()), text);
    }

    void resetButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("paneName");
        QTest::addColumn<QString>("question");
        QTest::addColumn<Answer>("answer");
        const QString upper = QStringLiteral("上部テキストボックスをリセットします、よろしいですか？");
        const QString lower = QStringLiteral("下部テキストボックスをリセットします、よろしいですか？");
        QTest::newRow("upper yes") << "Command1"
                                   << "Text1" << upper << Answer::Yes;
        QTest::newRow("upper no") << "Command1"
                                  << "Text1" << upper << Answer::No;
        QTest::newRow("upper cancel") << "Command1"
                                      << "Text1" << upper << Answer::Cancel;
        QTest::newRow("lower yes") << "Command2"
                                   << "Text2" << lower << Answer::Yes;
        QTest::newRow("lower no") << "Command2"
                                  << "Text2" << lower << Answer::No;
        QTest::newRow("lower cancel") << "Command2"
                                      << "Text2" << lower << Answer::Cancel;
    }
    void resetButtons() {
        QFETCH(QString, button);
        QFETCH(QString, paneName);
        QFETCH(QString, question);
        QFETCH(Answer, answer);
        pane("Text1")->assign(u"上");
        pane("Text2")->assign(u"下");
        const Text before = pane(paneName)->text();
        m_boxes->setNextAnswer(answer);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{question});
        QCOMPARE(m_boxes->shown().front().icon, Icon::Question);
        QCOMPARE(pane(paneName)->isEmpty(), answer == Answer::Yes);
        if (answer == Answer::Yes) QCOMPARE(QApplication::focusWidget(), pane(paneName));
        if (answer != Answer::Yes) QVERIFY(pane(paneName)->text() == before);
        // The other pane is never touched.
        QVERIFY(pane(paneName == "Text1" ? "Text2" : "Text1")->text() ==
                Text(paneName == "Text1" ? u"下" : u"上"));
    }

    void resetAsksNothingWhileClosing() {
        pane("Text1")->assign(u"上");
        state().closing = true;
        QTest::mouseClick(get<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(pane("Text1")->text() == Text(u"上"));
    }

    // ---- the tab strip and the keyboard cycling between tabs

    void tabFromAllResetMovesToTheNextTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("other");  // an operation of the tab that is not its first
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("nextFirst");
        QTest::newRow("tab 0") << 0 << "Command13"
                               << "Option1(5)"
                               << "Option1(0)"
                               << "Option2(0)";
        QTest::newRow("tab 1") << 1 << "Command17"
                               << "Option2(4)"
                               << "Option2(0)"
                               << "Check3";
        QTest::newRow("tab 2") << 2 << "Command24"
                               << ""
                               << "Check3"
                               << "Option4(0)";
        QTest::newRow("tab 3") << 3 << "Command22"
                               << "Option4(3)"
                               << "Option4(0)"
                               << "Option5(0)";
        QTest::newRow("tab 4") << 4 << "Command41"
                               << "Option5(3)"
                               << "Option5(0)"
                               << "Option6(0)";
        QTest::newRow("tab 5") << 5 << "Command47"
                               << "Option6(2)"
                               << "Option6(0)"
                               << "Option7(0)";
        QTest::newRow("tab 6 back to tab 0") << 6 << "Command55"
                                             << "Option7(2)"
                                             << "Option7(0)"
                                             << "Option1(0)";
    }
    void tabFromAllResetMovesToTheNextTab() {
        QFETCH(int, tab);
        QFETCH(QString, button);
        QFETCH(QString, other);
        QFETCH(QString, first);
        QFETCH(QString, nextFirst);
        tabs()->setCurrentIndex(tab);
        for (const char* name : {"Option1(7)", "Option2(7)", "Option4(7)"})
            get<QRadioButton>(QLatin1String(name))->setChecked(true);
        get<QCheckBox>("Check3")->setChecked(false);
        if (!other.isEmpty()) get<QAbstractButton>(other)->setChecked(true);
        auto* allReset = get<QPushButton>(button);
        allReset->setFocus();
        QCOMPARE(QApplication::focusWidget(), allReset);
        state().focusCycling = false;
        QTest::keyClick(allReset, Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), (tab + 1) % tabs()->count());
        QVERIFY(get<QAbstractButton>(first)->isChecked());
        QVERIFY(get<QAbstractButton>(nextFirst)->isChecked());
        QCOMPARE(QApplication::focusWidget(), get<QWidget>(nextFirst));
    }

    void clickOnAllResetOrASetFlagStaysOnTheTab() {
        for (const auto& [tab, button] :
             {std::pair{0, "Command13"}, {1, "Command17"}, {2, "Command24"}, {3, "Command22"}}) {
            tabs()->setCurrentIndex(tab);
            auto* allReset = get<QPushButton>(QLatin1String(button));
            state().focusCycling = false;
            // The reset moves the focus on from the button: that move stays on the tab.
            QTest::mouseClick(allReset, Qt::LeftButton);
            QCOMPARE(tabs()->currentIndex(), tab);
            allReset->setFocus();
            state().focusCycling = true;
            QTest::keyClick(allReset, Qt::Key_Tab);
            QCOMPARE(tabs()->currentIndex(), tab);
            QVERIFY(QApplication::focusWidget() != allReset);
        }
    }

    void tabStripSelectsTheFirstOperation_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("first");
        QTest::newRow("tab 0") << 0 << "Option1(0)";
        QTest::newRow("tab 1") << 1 << "Option2(0)";
        QTest::newRow("tab 2") << 2 << "Check3";
        QTest::newRow("tab 3") << 3 << "Option4(0)";
    }
    void tabStripSelectsTheFirstOperation() {
        QFETCH(int, tab);
        QFETCH(QString, first);
        QTabBar* strip = tabs()->tabBar();
        auto unselect = [&] {
            for (const char* name : {"Option1(7)", "Option2(7)", "Option4(7)"})
                get<QRadioButton>(QLatin1String(name))->setChecked(true);
            get<QCheckBox>("Check3")->setChecked(false);
            state().focusCycling = true;
        };
        // A click on the tab: the mouse button released over the strip.
        unselect();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
        QCOMPARE(tabs()->currentIndex(), tab);
        QVERIFY(get<QAbstractButton>(first)->isChecked());
        QCOMPARE(QApplication::focusWidget(), get<QWidget>(first));
        QVERIFY(!state().focusCycling);
        // The strip getting the focus passes it on.
        unselect();
        strip->setFocus(Qt::TabFocusReason);
        QVERIFY(get<QAbstractButton>(first)->isChecked());
        QCOMPARE(QApplication::focusWidget(), get<QWidget>(first));
        QVERIFY(!state().focusCycling);
        // A key released over it.
        unselect();
        QTest::keyRelease(strip, Qt::Key_Right);
        QVERIFY(get<QAbstractButton>(first)->isChecked());
        // Under a held guard the mouse and key cases do nothing.
        unselect();
        state().guard = true;
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
        QTest::keyRelease(strip, Qt::Key_Right);
        state().guard = false;
        QVERIFY(!get<QAbstractButton>(first)->isChecked());
        QVERIFY(state().focusCycling);
    }

    void accessKeyOfATabSelectsItsFirstOperation() {
        get<QCheckBox>("Check3")->setChecked(false);
        QTest::keyClick(m_window.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_COMPARE(tabs()->currentIndex(), 2);
        QVERIFY(get<QCheckBox>("Check3")->isChecked());
        QCOMPARE(QApplication::focusWidget(), get<QWidget>("Check3"));
    }

    void text40PutsTheTabControlThirdInTheFocusOrder() {
        // The Tab stops of the window in order, the tab control once for everything inside it.
        auto stops = [this] {
            QStringList out;
            for (QWidget* w = m_window->nextInFocusChain(); w != m_window.get(); w = w->nextInFocusChain()) {
                if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy()) continue;
                const QString name = tabs()->isAncestorOf(w) ? QStringLiteral("SSTab1") : w->objectName();
                if (out.isEmpty() || out.back() != name) out.append(name);
            }
            return out;
        };
        const QStringList before = stops();
        QCOMPARE(before.mid(0, 11),
                 (QStringList{"Text1", "Text2", "Command42", "Command27", "Command1", "Command28", "Command2",
                              "Command25", "Command6", "Command3", "SSTab1"}));
        tabs()->setCurrentIndex(1);
        get<QWidget>("Text40")->setFocus();
        const QStringList after = stops();
        QCOMPARE(after.mid(0, 4), (QStringList{"Text1", "Text2", "SSTab1", "Command42"}));
        QCOMPARE(after.count("SSTab1"), 1);  // the tabs' controls moved with the strip
        QCOMPARE(after.size(), before.size());
    }
};

KIVO_WINDOW_TEST_MAIN(PanesTest)
#include "panes_test.moc"
