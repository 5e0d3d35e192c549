#include "window/spoken_names.h"

#include <algorithm>
#include <iterator>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "ops/operation.h"
#include "window/main_layout.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// The lines of an example text, each CrLf, Cr or Lf ending one; an empty text is one empty line.
QStringList exampleLines(TextView text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return shown.split(u'\n');
}

// "--name=value" as the control shows the value: a list's entry for its command-line alias.
QString shownValue(const OperationDeclaration& op, const std::string& option) {
    const std::size_t equals = option.find('=');
    const std::string name = option.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const std::string value = equals == std::string::npos ? "yes" : option.substr(equals + 1);
    for (const ParamDeclaration& p : op.params) {
        if (p.option != name) continue;
        for (const ListEntry& entry : p.entries)
            if (entry.alias == value) return toQString(entry.text);
    }
    return QString::fromStdString(value);
}

QString sentence(const OperationDeclaration& op) {
    if (sessionLanguage() == Language::Japanese) return toQString(op.japaneseDescription);
    return QString::fromStdString(op.description) + u'.';
}

// The example run as plain lines: "例（values）：", the upper text indented, "→", the lower text.
QString example(const OperationDeclaration& op) {
    QStringList values;
    for (const std::string& option : op.example.options)
        values.append(QStringLiteral("「%1」").arg(shownValue(op, option)));
    QString text = QStringLiteral("例");
    if (!values.isEmpty()) text += QStringLiteral("（") + values.join(u'、') + QStringLiteral("）");
    text += QStringLiteral("：\n");
    for (const QString& line : exampleLines(op.example.input))
        text += QStringLiteral("  ") + line + u'\n';
    text += QStringLiteral("→\n");
    for (const QString& line : exampleLines(op.example.output))
        text += QStringLiteral("  ") + line + u'\n';
    text.chop(1);
    return text;
}

// A combo box as a screen reader meets it: its own name, its text as its value, and its list
// shown on request.
class SpokenCombo final : public QAccessibleWidget {
public:
    explicit SpokenCombo(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name:
                return combo()->accessibleName().isEmpty() ? value() : combo()->accessibleName();
            case QAccessible::Value:
                return value();
            default:
                return QAccessibleWidget::text(t);
        }
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
    // The edit field has the keys while the combo has the focus.
    QAccessibleInterface* focusChild() const override {
        if (combo()->isEditable()) return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return QAccessibleWidget::focusChild();
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
    QString value() const {
        return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
    }
};

// What each condition tab holds, in the order of the tab strip.
struct TabContents {
    const char16_t* japanese;
    const char* english;
};
constexpr TabContents kTabContents[] = {
    {u"文字単位の処理", "characters"},
    {u"行と位置の処理", "lines and positions"},
    {u"ループ追加", "the loop generator"},
    {u"並べ替え・連番・日付", "sorting, numbering and dates"},
    {u"日本語の整形", "Japanese text"},
    {u"日付・営業日・機種依存文字・漢数字", "dates, business days, legacy characters, kanji numerals"},
    {u"CSV・正規表現・置換リスト", "CSV, regular expressions, replacement lists"},
};

// A tab's caption is only its number.
void nameTabs(QTabWidget* tabs) {
    const int named = std::min(tabs->count(), static_cast<int>(std::size(kTabContents)));
    for (int i = 0; i < named; ++i)
        tabs->tabBar()->setAccessibleTabName(
            i,
            spoken(
                QStringLiteral("条件%1（%2）").arg(i + 1).arg(QString::fromUtf16(kTabContents[i].japanese)),
                QStringLiteral("Tab %1 (%2)").arg(i + 1).arg(QLatin1String(kTabContents[i].english))));
}

QAccessibleInterface* spokenCombo(const QString& className, QObject* object) {
    if (className != QLatin1String("QComboBox")) return nullptr;
    auto* combo = qobject_cast<QComboBox*>(object);
    return combo ? new SpokenCombo(combo) : nullptr;
}

}  // namespace

void letCombosSayTheirNames() {
    // Factories installed later are asked first, before Qt's own.
    QAccessible::installFactory(spokenCombo);
}

Language sessionLanguage() {
    // The window sets Qt's default locale to Japanese for Qt's own texts; the session's own
    // locale says which language the user reads.
    return QLocale::system().language() == QLocale::Japanese ? Language::Japanese : Language::English;
}

QString spoken(const QString& japanese, const QString& english) {
    return sessionLanguage() == Language::Japanese ? japanese : english;
}

QString operationTip(const OperationDeclaration& op) {
    return QStringLiteral("<html>") + sentence(op).toHtmlEscaped() + QStringLiteral("<pre>") +
           example(op).toHtmlEscaped() + QStringLiteral("</pre></html>");
}

QString operationName(const OperationDeclaration& op, const std::vector<const ParamDeclaration*>& inBlanks) {
    if (sessionLanguage() == Language::English) return QString::fromStdString(op.description);
    std::vector<Text> blanks;
    for (const ParamDeclaration* p : inBlanks)
        blanks.push_back(p->kind == ParamKind::Check ? Text() : p->purpose);
    return toQString(spokenCaption(op.caption, blanks));
}

QString operationDescription(const OperationDeclaration& op) {
    return sentence(op) + u'\n' + example(op);
}

QString parameterName(const ParamDeclaration& p) {
    return spoken(toQString(p.purpose), QString::fromStdString(p.englishPurpose));
}

QString resetName(const QString& operation, const QStringList& onlyThese) {
    QString name = spoken(QStringLiteral("Reset：%1"), QStringLiteral("Reset: %1")).arg(operation);
    if (!onlyThese.isEmpty())
        name += spoken(QStringLiteral("（%1）"), QStringLiteral(" (%1)"))
                    .arg(onlyThese.join(spoken(QStringLiteral("、"), QStringLiteral(", "))));
    return name;
}

void nameControl(QWidget* control, const QString& name, const QString& description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

void nameWindowControls(const MainLayout& layout) {
    const QString upper =
        spoken(QStringLiteral("上部テキスト（入力）"), QStringLiteral("Upper text (input)"));
    const QString lower =
        spoken(QStringLiteral("下部テキスト（結果）"), QStringLiteral("Lower text (result)"));
    nameControl(layout.upper, upper);
    nameControl(layout.lower, lower);
    nameControl(layout.copyUpper,
                spoken(QStringLiteral("上部テキストをコピー"), QStringLiteral("Copy the upper text")));
    nameControl(layout.resetUpper,
                spoken(QStringLiteral("上部テキストをリセット"), QStringLiteral("Reset the upper text")));
    nameControl(layout.copyLower,
                spoken(QStringLiteral("下部テキストをコピー"), QStringLiteral("Copy the lower text")));
    nameControl(layout.resetLower,
                spoken(QStringLiteral("下部テキストをリセット"), QStringLiteral("Reset the lower text")));
    nameControl(layout.moveUp, spoken(QStringLiteral("結果を上部テキストへ移す"),
                                      QStringLiteral("Move the result to the upper text")));
    nameControl(layout.widen, spoken(QStringLiteral("テキストエリアの幅を切り替える"),
                                     QStringLiteral("Widen or narrow the text panes")));
    nameControl(layout.stop, spoken(QStringLiteral("中止"), QStringLiteral("Stop")));
    nameControl(layout.execute, spoken(QStringLiteral("実行"), QStringLiteral("Execute")));
    nameControl(layout.tabs, spoken(QStringLiteral("条件タブ"), QStringLiteral("Condition tabs")));
    nameTabs(layout.tabs);
    nameControl(layout.textFocus, spoken(QStringLiteral("作業用の欄"), QStringLiteral("Work box")));
}

}  // namespace kivo::window
