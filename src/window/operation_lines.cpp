#include "window/operation_lines.h"

#include <algorithm>
#include <deque>
#include <stdexcept>

#include <QComboBox>
#include <QLineEdit>

#include "ops/registry.h"
#include "window/controls.h"
#include "window/qtext.h"
#include "window/rules.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

constexpr QChar kBlank = u'…';
constexpr QChar kIdeographicSpace = u'　';
// The widths of boxes a layout leaves to their kind.
constexpr int kBoxWidth = 120;
constexpr int kNumberBoxWidth = 60;

bool isTextlessLabel(const Piece& piece) {
    return piece.kind == Piece::Kind::Label && piece.text.isEmpty();
}

QString trimmed(QString words) {
    auto blank = [](QChar c) { return c == u' ' || c == kIdeographicSpace; };
    while (!words.isEmpty() && blank(words.back()))
        words.chop(1);
    while (!words.isEmpty() && blank(words.front()))
        words.remove(0, 1);
    return words;
}

// The control a parameter's kind and name call for; its control's name tells a box from a combo.
Piece parameterPiece(const ParamDeclaration& p, const Piece& laid) {
    Piece piece = laid;
    piece.parameter = true;
    const QString name = QString::fromStdString(p.control);
    switch (p.kind) {
        case ParamKind::Check:
            piece.kind = Piece::Kind::Check;
            return piece;
        case ParamKind::Date:
            piece.kind = Piece::Kind::DatePicker;
            return piece;
        case ParamKind::List:
        case ParamKind::Count:
        case ParamKind::String:
            break;
    }
    if (name.startsWith(QStringLiteral("Combo"))) {
        piece.kind = Piece::Kind::Combo;
        if (piece.width == 0) piece.width = combo(name).width;
    } else {
        piece.kind = p.multiLine ? Piece::Kind::MultiLineBox : Piece::Kind::TextBox;
        if (piece.width == 0) piece.width = p.kind == ParamKind::Count ? kNumberBoxWidth : kBoxWidth;
    }
    return piece;
}

// The layout's pieces with every parameter among them, those it does not name first.
std::vector<Piece> laidPieces(const OperationDeclaration& op, const LineLayout* layout) {
    std::vector<Piece> pieces = layout ? layout->pieces : std::vector<Piece>{};
    auto named = [&](const ParamDeclaration& p) {
        return std::any_of(pieces.begin(), pieces.end(), [&](const Piece& piece) {
            return piece.name == QString::fromStdString(p.control);
        });
    };
    const auto namedCount = std::count_if(op.params.begin(), op.params.end(), named);
    if (namedCount == 0) {
        std::vector<Piece> params;
        for (const ParamDeclaration& p : op.params)
            params.push_back(param(QString::fromStdString(p.control)));
        pieces.insert(pieces.begin(), params.begin(), params.end());
    } else if (namedCount != static_cast<std::ptrdiff_t>(op.params.size())) {
        throw std::logic_error("the layout of " + op.selector + " names only some of its parameters");
    }
    return pieces;
}

// Builds one operation's lines: the caption's words between its controls.
class LineBuilder {
public:
    LineBuilder(const OperationDeclaration& op, const LineLayout* layout, Touch selectorTouch)
        : m_op(op), m_pieces(laidPieces(op, layout)) {
        m_splitsLabels = std::any_of(m_pieces.begin(), m_pieces.end(), isTextlessLabel);
        m_segments = toQString(op.caption).split(kBlank);
        m_lines.push_back({.selector = option(QString::fromStdString(op.selector)).with(selectorTouch)});
    }

    std::vector<OperationLine> build() {
        addSegment(0, m_pieces.empty() ? nullptr : &m_pieces.front());
        int slot = 0;
        for (std::size_t i = 0; i < m_pieces.size(); ++i) {
            const Piece* next = i + 1 < m_pieces.size() ? &m_pieces[i + 1] : nullptr;
            add(m_pieces[i], next, slot);
        }
        if (slot + 1 < m_segments.size() || !m_labelWords.empty())
            throw std::logic_error("the caption of " + m_op.selector + " has words no piece takes");
        fillResets();
        return std::move(m_lines);
    }

private:
    void add(const Piece& laid, const Piece* next, int& slot) {
        if (laid.kind == Piece::Kind::NextLine) {
            m_lines.push_back({});
            return;
        }
        if (const ParamDeclaration* p = m_op.paramAliased(laid.name.toStdString())) {
            Piece control = parameterPiece(*p, laid);
            const bool blank = ++slot < m_segments.size();
            if (blank && control.kind == Piece::Kind::Check && control.text.isEmpty())
                control.text = takeFirstWords(m_segments[slot]);
            m_lines.back().pieces.push_back(control);
            if (blank) addSegment(slot, next);
            return;
        }
        if (laid.kind == Piece::Kind::Parameter)
            throw std::logic_error(m_op.selector + " has no parameter " + laid.name.toStdString());
        if (isTextlessLabel(laid)) {
            if (m_labelWords.empty())
                throw std::logic_error("the caption of " + m_op.selector + " has no words for " +
                                       laid.name.toStdString());
            Piece named = laid;
            named.text = m_labelWords.front();
            m_labelWords.pop_front();
            m_lines.back().pieces.push_back(named);
            return;
        }
        m_lines.back().pieces.push_back(laid);
    }

    QStringList partsOf(const QString& segment) const {
        return m_splitsLabels ? segment.split(kIdeographicSpace) : QStringList{segment};
    }

    // A check box's caption: the words after its blank, up to any words for a label.
    QString takeFirstWords(QString& segment) const {
        QStringList parts = partsOf(segment);
        const QString first = trimmed(parts.takeFirst());
        // What is left still begins after a full-width space: its words go to a label.
        segment = parts.isEmpty() ? QString() : QString(kIdeographicSpace) + parts.join(kIdeographicSpace);
        return first;
    }

    // The words of a caption's segment: before the next piece, or for the labels to come.
    void addSegment(int slot, const Piece* next) {
        const QStringList parts = partsOf(m_segments[slot]);
        for (int i = 0; i < parts.size(); ++i) {
            const QString text = trimmed(parts[i]);
            if (text.isEmpty()) continue;
            if (i == 0 && !(slot > 0 && next && isTextlessLabel(*next))) {
                m_lines.back().pieces.push_back(words(text));
            } else {
                m_labelWords.push_back(text);
            }
        }
    }

    void fillResets() {
        QStringList params;
        for (const OperationLine& line : m_lines)
            for (const Piece& piece : line.pieces)
                if (piece.parameter) params.append(piece.name);
        for (OperationLine& line : m_lines)
            for (Piece& piece : line.pieces)
                if (piece.kind == Piece::Kind::Reset && piece.restores.isEmpty()) piece.restores = params;
    }

    const OperationDeclaration& m_op;
    std::vector<Piece> m_pieces;
    QStringList m_segments;
    bool m_splitsLabels = false;
    std::deque<QString> m_labelWords;
    std::vector<OperationLine> m_lines;
};

}  // namespace

std::vector<OperationLine> operationLines(const OperationDeclaration& op, const LineLayout* layout,
                                          Touch selectorTouch) {
    return LineBuilder(op, layout, selectorTouch).build();
}

std::vector<OperationLine> declaredLines(Tab tab, const std::vector<LineLayout>& layouts,
                                         Touch selectorTouch) {
    const std::vector<const OperationDeclaration*> ops = operationsOnTab(tab);
    for (const LineLayout& layout : layouts)
        if (std::none_of(ops.begin(), ops.end(),
                         [&](const auto* op) { return op->selector == layout.selector; }))
            throw std::logic_error("no operation " + layout.selector + " on its tab");
    std::vector<OperationLine> lines;
    for (const OperationDeclaration* op : ops) {
        const auto layout = std::find_if(layouts.begin(), layouts.end(),
                                         [&](const LineLayout& l) { return l.selector == op->selector; });
        for (OperationLine& line :
             operationLines(*op, layout == layouts.end() ? nullptr : &*layout, selectorTouch))
            lines.push_back(std::move(line));
    }
    return lines;
}

int firstCodeOn(Tab tab) {
    return operationsOnTab(tab).front()->code;
}

void attachDeclaredRules(TabPage& tab) {
    WindowState& state = tab.state();
    for (const QString& name : tab.parameters()) {
        const ParamDeclaration& p = *paramAliased(name.toStdString())->param;
        QWidget* control = tab.named<QWidget>(name);
        // The numeric rule knows counts from 0 or 1 to 999; any other range keeps to its entries.
        const bool numeric = p.kind == ParamKind::Count && p.min <= 1 && p.max == 999;
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            if (numeric) {
                new NumericComboRule(combo, state, p.min);
            } else {
                new ListOnlyComboRule(combo, state);
            }
        } else if (auto* lines = qobject_cast<PlainTextBox*>(control)) {
            new TextLengthRule(lines, state);
        } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
            if (p.kind == ParamKind::Count) {
                new CountTextRule(box, state, toQString(loadDefault(p.control)));
            } else {
                new TextLengthRule(box, state);
            }
        }
    }
}

}  // namespace kivo::window
