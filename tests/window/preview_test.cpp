// The live preview: what Execute would show, made beside the window while the user edits, never
// a box, never a change of the lower pane.
#include <algorithm>
#include <limits>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>

#include "window/preview.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

// About 1 M UTF-16 units of mixed Japanese and ASCII lines.
Text megabyteText() {
    const Text line = u"あいうえおかきくけこ abcdefghij 0123456789 漢字カナ混じりの行\r\n";
    Text t;
    while (t.size() < LivePreview::kMaxUpperLength - line.size())
        t += line;
    return t;
}

}  // namespace

class PreviewTest : public WindowFixture {
    Q_OBJECT

    PlainTextBox* preview() const { return pane(QStringLiteral("Text2Preview")); }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    void turnOn() const {
        QTest::mouseClick(check(QStringLiteral("CheckPreview")), Qt::LeftButton, {}, {4, 4});
    }
    void selectAddText() const {
        QTest::mouseClick(option(QStringLiteral("Option1(4)")), Qt::LeftButton, {}, {4, 4});
    }
    // Comfortably longer than the pause before a preview runs.
    static void waitPastPause() { QTest::qWait(3 * LivePreview::kPauseMs); }

private slots:
    void offByDefault() {
        QVERIFY(!check(QStringLiteral("CheckPreview"))->isChecked());
        QTest::keyClicks(pane(QStringLiteral("Text1")), QStringLiteral("abc"));
        waitPastPause();
        QVERIFY(preview()->isHidden());
        QVERIFY(status().isEmpty());
    }

    // Typing into add-text's box on a megabyte: the window keeps processing events, and the
    // preview is what Execute then shows. The best of three rounds counts, so that another
    // program taking the processor does not fail the test, while showing a result in one piece
    // (over 100 ms) fails every round.
    void typingOnAMegabyteStaysResponsive() {
        pane(QStringLiteral("Text1"))->assign(megabyteText());
        turnOn();
        selectAddText();
        QWidget* box = get(QStringLiteral("Text3"));
        qint64 longestGap = std::numeric_limits<qint64>::max();
        for (int round = 0; round < 3 && longestGap > 50; ++round) {
            setByUser(QStringLiteral("Text3"), QString());
            EventGapMeter gaps;
            for (const char* typed : {"[", "ok", "]"}) {
                QTest::keyClicks(box, QString::fromLatin1(typed));
                QTest::qWait(LivePreview::kPauseMs + 100);
            }
            QTRY_VERIFY(preview()->isVisible());
            QTRY_COMPARE(status(), kPreviewShown);
            longestGap = std::min(longestGap, gaps.longestMs());
            qInfo("longest stretch without events while typing and previewing: %lld ms", gaps.longestMs());
        }
        QVERIFY2(longestGap <= 50, qPrintable(QString::number(longestGap)));
        const Text shown = preview()->text();
        QVERIFY(shown.starts_with(u"[ok]あいう"));

        execute();
        QVERIFY(preview()->isHidden());
        QCOMPARE(pane(QStringLiteral("Text2"))->text(), shown);
        QVERIFY(m_boxes->shown().isEmpty());
    }

    // Without boxes: a refusal and a question are told in the status bar, and the lower pane
    // shows its own text.
    void refusalsAndQuestionsGoToTheStatusBar_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pre-check") << 0 << "Option1(4)"
                                   << "abc"
                                   << kPreviewRefused.arg("左側に足す文字、文字列を入力して下さい。");
        QTest::newRow("empty upper") << 0 << "Option1(0)"
                                     << ""
                                     << kPreviewRefused.arg(
                                            "上部テキストボックスに文字、文字列を入力して下さい。");
        QTest::newRow("question") << 1 << "Option2(5)"
                                  << "abcdef\r\nghijkl"
                                  << kPreviewWillAsk.arg(
                                         "改行がすでに含まれています、改行を削除してから行いますか？");
    }
    void refusalsAndQuestionsGoToTheStatusBar() {
        QFETCH(int, tab);
        QFETCH(QString, operation);
        QFETCH(QString, upper);
        QFETCH(QString, expected);
        pane(QStringLiteral("Text2"))->assign(u"前の結果");
        showTab(tab);
        option(operation)->setChecked(true);
        pane(QStringLiteral("Text1"))->assign(toText(upper));
        turnOn();
        QTRY_COMPARE(status(), expected);
        QVERIFY(preview()->isHidden());
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(pane(QStringLiteral("Text2"))->text(), Text(u"前の結果"));
    }

    // Turning the preview off, or typing over it, shows the lower pane's own text as it was.
    void theLowerPaneKeepsItsText_data() {
        QTest::addColumn<bool>("typeOverIt");
        QTest::newRow("turned off") << false;
        QTest::newRow("typed over") << true;
    }
    void theLowerPaneKeepsItsText() {
        QFETCH(bool, typeOverIt);
        pane(QStringLiteral("Text2"))->assign(u"前の結果");
        pane(QStringLiteral("Text1"))->assign(u"abc");
        turnOn();
        QTRY_VERIFY(preview()->isVisible());
        QCOMPARE(preview()->text(), Text(u"cba"));
        if (typeOverIt) {
            QTest::mouseClick(preview()->viewport(), Qt::LeftButton);
            QTest::keyClicks(preview(), QStringLiteral("x"));
        } else {
            turnOn();
        }
        QVERIFY(preview()->isHidden());
        QVERIFY(status().isEmpty());
        QCOMPARE(pane(QStringLiteral("Text2"))->text(), Text(typeOverIt ? u"x前の結果" : u"前の結果"));
        waitPastPause();
        QVERIFY(preview()->isHidden());
    }
};

KIVO_WINDOW_TEST_MAIN(PreviewTest)
#include "preview_test.moc"
