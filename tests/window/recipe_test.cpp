// The recipe panel: steps made from the tabs, saved, opened and run, and the command line running
// the same file to the same bytes.

#include <sstream>

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>

#include "cli/cli.h"
#include "ops/dispatch.h"
#include "text/text_encoding.h"
#include "window/recipe_panel.h"
#include "window_fixture.h"

using namespace kivo;
using namespace kivo::window;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

QByteArray cp932(TextView text) {
    const std::string bytes = encodeTextBytes(text, TextEncoding::Cp932);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class RecipeTest : public WindowFixture {
    Q_OBJECT

    QListWidget* list() const { return get<QListWidget>(QStringLiteral("lstRecipe")); }
    QStringList lines() const {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts.append(list()->item(i)->text());
        return texts;
    }
    void trigger(const char* action) const { get<QAction>(QLatin1String(action))->trigger(); }
    void openRecipe(const QString& name, const QByteArray& text) {
        writeAll(path(name), text);
        m_dialogs.names.push_back(path(name));
        trigger("mnuRecipe");
        click(QStringLiteral("cmdRecipeOpen"));
    }
    void selectOperation(const QString& selector) {
        QTest::mouseClick(qobject_cast<QRadioButton*>(showTabOf(selector)), Qt::LeftButton);
    }
    void addStep() { click(QStringLiteral("cmdRecipeAdd")); }

private slots:
    void aRecipeMadeInTheWindowRunsAlikeOnTheCommandLine() {
        const auto* dock = get<QDockWidget>(QStringLiteral("dockRecipe"));
        QVERIFY(!dock->isVisible());
        trigger("mnuRecipe");
        QVERIFY(dock->isVisible());

        selectOperation(QStringLiteral("Option1(4)"));
        setByUser(QStringLiteral("Text3"), QStringLiteral("【"));
        addStep();
        setByUser(QStringLiteral("Combo31"), QStringLiteral("右"));
        setByUser(QStringLiteral("Text3"), QStringLiteral("】"));
        addStep();
        selectOperation(QStringLiteral("Option4(0)"));
        setByUser(QStringLiteral("Combo20"), QStringLiteral("降順でソートする"));
        addStep();
        const QByteArray recipe =
            "add-text '--text=【'\nadd-text --side=right '--text=】'\nsort --order=descending\n";
        QCOMPARE(lines().join(u'\n') + u'\n', QString::fromUtf8(recipe));
        m_dialogs.names.push_back(path(QStringLiteral("made.recipe")));
        click(QStringLiteral("cmdRecipeSave"));
        QCOMPARE(readAll(path(QStringLiteral("made.recipe"))), recipe);

        // A Shift-JIS file, run in the window and saved as it came.
        writeAll(path(QStringLiteral("in.txt")), cp932(u"名古屋\r\n東京\r\n大阪\r\n"));
        m_dialogs.names.push_back(path(QStringLiteral("in.txt")));
        trigger("mnuOpen");
        click(QStringLiteral("cmdRecipeRun"));
        QVERIFY(m_boxes->texts().isEmpty());
        m_dialogs.names.push_back(path(QStringLiteral("window.txt")));
        trigger("mnu2Name");
        // The sort counts the empty line after the last line break as a line, as single runs do.
        const QByteArray expected = cp932(u"【東京】\r\n【大阪】\r\n【名古屋】\r\n\r\n");
        QCOMPARE(readAll(path(QStringLiteral("window.txt"))), expected);

        std::istringstream in;
        std::ostringstream out, err;
        const int status = runCli({"run", path(QStringLiteral("made.recipe")).toStdString(),
                                   path(QStringLiteral("in.txt")).toStdString(), "-o",
                                   path(QStringLiteral("cli.txt")).toStdString()},
                                  in, out, err);
        QCOMPARE(status, 0);
        QCOMPARE(readAll(path(QStringLiteral("cli.txt"))), expected);
    }

    void aRecipeWrittenByHandOpensRunsAndShowsItsSteps() {
        // A comment, quotes and the window's control name, in code page 932 as older files are.
        openRecipe(QStringLiteral("hand.recipe"), cp932(u"# 行末に印を付けてから字下げする\r\nadd-text "
                                                        u"Combo31=右 \"--text=：済\"  # 印\r\n\r\n11\r\n"));
        QCOMPARE(lines(), QStringList({QStringLiteral("add-text --side=right '--text=：済'"),
                                       QStringLiteral("indent")}));
        setByUser(QStringLiteral("Text1"), QStringLiteral("a\nb"));
        PlainTextBox* lower = pane(QStringLiteral("Text2"));
        lower->assign(u"前の結果");
        click(QStringLiteral("cmdRecipeRun"));
        QCOMPARE(m_boxes->texts(), QStringList{toQString(kOverwriteQuestion)});
        QCOMPARE(toQString(lower->text()), QStringLiteral("\ta：済\r\n\tb：済"));
        // The whole recipe is one step for Ctrl+Z, as a single run is.
        lower->setFocus();
        QTest::keyClick(lower, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(toQString(lower->text()), QStringLiteral("前の結果"));
        QTest::keyClick(lower, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(toQString(lower->text()), QStringLiteral("\ta：済\r\n\tb：済"));

        // Enter, as a double-click: the step's operation and options on its tab.
        showTab(3);
        setByUser(QStringLiteral("Text3"), QStringLiteral("x"));
        QListWidget* steps = list();
        const QPoint first = steps->visualItemRect(steps->item(0)).center();
        QTest::mouseClick(steps->viewport(), Qt::LeftButton, {}, first);
        QTest::keyClick(steps, Qt::Key_Return);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(option(QStringLiteral("Option1(4)"))->isChecked());
        QCOMPARE(textOf(QStringLiteral("Combo31")), QStringLiteral("右"));
        QCOMPARE(textOf(QStringLiteral("Text3")), QStringLiteral("：済"));
    }

    void aRefusingStepIsNamedAndSelected() {
        openRecipe(QStringLiteral("refuses.recipe"), "reverse\nadd-text\nindent\n");
        setByUser(QStringLiteral("Text1"), QStringLiteral("abc"));
        click(QStringLiteral("cmdRecipeRun"));
        QCOMPARE(m_boxes->texts(),
                 QStringList(QStringLiteral("ステップ2: 左側に足す文字、文字列を入力して下さい。")));
        QCOMPARE(list()->currentRow(), 1);
        QVERIFY(pane(QStringLiteral("Text2"))->isEmpty());
    }

    void aRecipeTheCommandLineRefusesDoesNotOpen() {
        openRecipe(QStringLiteral("bad.recipe"), "reverse\nadd-text --side=up\n");
        QCOMPARE(m_boxes->texts(),
                 QStringList(kRecipeOpenFailed +
                             QStringLiteral("\nbad.recipe:2: --side takes left (左), right (右), not 'up'")));
        QCOMPARE(list()->count(), 0);
    }
};

KIVO_WINDOW_TEST_MAIN(RecipeTest)
#include "recipe_test.moc"
