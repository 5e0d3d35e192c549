#pragma once

#include <string>
#include <vector>

#include "ops/operation.h"
#include "window/tab_page.h"

namespace kivo::window {

/// What the window adds to an operation's declaration to lay out its line: the pieces left to
/// right besides the caption's words. A parameter is named by its control, its kind read from the
/// declaration; a label without text takes its words from the caption. A layout that names no
/// parameter has them all first, in the declaration's order.
struct LineLayout {
    std::string selector;
    std::vector<Piece> pieces = {};
};

/// A parameter's control in a layout, `width` wide (a box) or at most (a combo); 0 for the kind's
/// own width.
inline Piece param(const QString& name, int width = 0) {
    return {.kind = Piece::Kind::Parameter, .name = name, .width = width};
}
/// The operation's controls go on in a further line, indented under its caption.
inline Piece nextLine() {
    return {.kind = Piece::Kind::NextLine};
}

/// The lines of one operation: its caption's blanks ("…") hold its parameters in the order the
/// layout names them, and the rest follow the caption; the words after a check box's blank are its
/// own caption; a Reset button without a list restores every parameter of the operation. Where the
/// layout has labels without text, the caption's full-width spaces end the words that go to them,
/// in order. A layout that does not fit the caption is a programming error (std::logic_error).
std::vector<OperationLine> operationLines(const OperationDeclaration& op, const LineLayout* layout,
                                          Touch selectorTouch = Touch::Select);

/// The lines of the operations on `tab`, in the order of their codes, each with its layout if
/// `layouts` has one.
std::vector<OperationLine> declaredLines(Tab tab, const std::vector<LineLayout>& layouts,
                                         Touch selectorTouch = Touch::Select);

/// The code of the first operation on `tab`.
int firstCodeOn(Tab tab);

/// The input rules the declarations call for, on every parameter control of `tab`: a combo keeps
/// to its count range or its entries (the load default otherwise), a text box to its length, a
/// number box to its digits.
void attachDeclaredRules(TabPage& tab);

}  // namespace kivo::window
