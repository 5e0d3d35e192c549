#include "window/operation_lines.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kivo::window {
namespace {

ParamDeclaration paramOf(const char* control, ParamKind kind, bool multiLine = false) {
    return {.control = control, .kind = kind, .multiLine = multiLine};
}

OperationDeclaration declaration(Text caption, std::vector<ParamDeclaration> params) {
    OperationDeclaration op;
    op.selector = "Option9(0)";
    op.caption = std::move(caption);
    op.params = std::move(params);
    return op;
}

QString shown(const Piece& p) {
    static const char* const kinds[] = {"",      "option", "check", "combo",  "box",
                                        "lines", "label",  "reset", "button", "date"};
    if (p.kind == Piece::Kind::Words) return u'\'' + p.text + u'\'';
    QString out = QString::fromLatin1(kinds[static_cast<int>(p.kind)]) + u':' + p.name;
    if (p.kind == Piece::Kind::Reset) return out + u'(' + p.restores.join(u',') + u')';
    if (p.kind == Piece::Kind::TextBox || p.kind == Piece::Kind::MultiLineBox)
        out += u'/' + QString::number(p.width);
    return p.text.isEmpty() ? out : out + u'=' + p.text;
}

// The lines as one text: pieces by spaces, further lines after " / ".
QString shown(const std::vector<OperationLine>& lines) {
    QStringList out;
    for (const OperationLine& line : lines) {
        QStringList pieces;
        for (const Piece& p : line.pieces)
            pieces.append(shown(p));
        out.append(pieces.join(u' '));
    }
    return out.join(QStringLiteral(" / "));
}

TEST(OperationLines, CaptionWordsAroundTheParameters) {
    const std::vector<ParamDeclaration> sideCountText = {paramOf("Combo32", ParamKind::List),
                                                         paramOf("Combo1", ParamKind::Count),
                                                         paramOf("Text5", ParamKind::String, true)};
    const std::vector<ParamDeclaration> classes = {
        paramOf("Combo59", ParamKind::List), paramOf("Check5(0)", ParamKind::Check),
        paramOf("Check5(1)", ParamKind::Check), paramOf("DTPicker4", ParamKind::Date),
        paramOf("Text38", ParamKind::Count)};
    struct Case {
        Text caption;
        std::vector<ParamDeclaration> params;
        std::vector<Piece> layout;
        const char16_t* lines;
    };
    const Case cases[] = {
        // Without a layout the parameters follow the caption, in the declaration's order.
        {u"…から…文字を次の文字に置き換える(&K)",
         sideCountText,
         {},
         u"combo:Combo32 'から' combo:Combo1 '文字を次の文字に置き換える(&K)' lines:Text5/120"},
        {u"…から…文字を(&K)",
         sideCountText,
         {reset("Command8")},
         u"combo:Combo32 'から' combo:Combo1 '文字を(&K)' lines:Text5/120 "
         u"reset:Command8(Combo32,Combo1,Text5)"},
        // A layout's order fills the blanks; a Reset with its own list keeps it.
        {u"…を…する(&I) ",
         sideCountText,
         {param("Combo1"), param("Combo32"), reset("Command16", {"Combo1"}), nextLine(), param("Text5", 300),
          reset("Command33")},
         u"combo:Combo1 'を' combo:Combo32 'する(&I)' reset:Command16(Combo1) / lines:Text5/300 "
         u"reset:Command33(Combo1,Combo32,Text5)"},
        // Check boxes take the words after their blanks; labels without text the words after a
        // full-width space, or the words after the control before them.
        {u"…に変換する(&E)　対象：…英字 …数字　開始日：…から…",
         classes,
         {param("Combo59"), nextLine(), label("Label24"), param("Check5(0)"), param("Check5(1)"),
          label("Label25"), param("DTPicker4"), label("Label26"), param("Text38")},
         u"combo:Combo59 'に変換する(&E)' / label:Label24=対象： check:Check5(0)=英字 check:Check5(1)=数字 "
         u"label:Label25=開始日： date:DTPicker4 label:Label26=から box:Text38/60"},
        // Without such labels a full-width space stays in the words, trimmed at their ends.
        {u"日付を(&E)…の形式に　変換する　…曜日",
         {classes[0], classes[1]},
         {},
         u"'日付を(&E)' combo:Combo59 'の形式に　変換する' check:Check5(0)=曜日"},
    };
    for (const Case& c : cases) {
        const OperationDeclaration op = declaration(c.caption, c.params);
        const LineLayout layout{op.selector, c.layout};
        EXPECT_EQ(shown(operationLines(op, &layout)).toStdString(),
                  QString::fromUtf16(c.lines).toStdString());
    }
}

TEST(OperationLines, LayoutsThatDoNotFitTheCaptionAreRefused) {
    const std::vector<ParamDeclaration> two = {paramOf("Combo1", ParamKind::Count),
                                               paramOf("Combo2", ParamKind::Count)};
    struct Case {
        Text caption;
        std::vector<Piece> layout;
    };
    const Case cases[] = {
        {u"…から…", {param("Combo1")}},                                    // names one parameter of two
        {u"…から…の…", {}},                                                // more blanks than parameters
        {u"…から…", {param("Combo1"), param("Combo2"), label("Label1")}},  // no words for the label
        {u"…から…", {param("Combo1"), param("Combo2"), param("Combo3")}},  // no such parameter
    };
    for (const Case& c : cases) {
        const OperationDeclaration op = declaration(c.caption, two);
        const LineLayout layout{op.selector, c.layout};
        EXPECT_THROW(operationLines(op, &layout), std::logic_error);
    }
}

}  // namespace
}  // namespace kivo::window
