#include "window/pane_counts.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QTextCursor>
#include <QTextDocument>

#include "text/cp932.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {
namespace {

// The pause after the last change before counting starts, and the longest a slice of counting
// keeps the window from its events.
constexpr int kPauseMs = 150;
constexpr qint64 kSliceMs = 4;
// Characters taken from the editor at once: a fraction of a millisecond.
constexpr int kChunk = 1 << 16;

QString grouped(std::int64_t n) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(static_cast<qlonglong>(n));
}

}  // namespace

QString countsCaption(bool upper, bool selection, const TextCounts& counts) {
    return QStringLiteral("%1%2：%3文字　%4行　%5バイト(Shift-JIS)")
        .arg(upper ? QStringLiteral("上部") : QStringLiteral("下部"),
             selection ? QStringLiteral("(選択)") : QString(), grouped(counts.characters),
             grouped(counts.lines), grouped(counts.bytes));
}

PaneCounts::PaneCounts(PlainTextBox* upper, PlainTextBox* lower, QLabel* label)
    : QObject(label), m_upper(upper), m_lower(lower), m_label(label), m_pane(upper) {
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &PaneCounts::begin);
    m_nextSlice.setSingleShot(true);
    m_nextSlice.setInterval(0);
    connect(&m_nextSlice, &QTimer::timeout, this, &PaneCounts::countSlice);
    watch(upper);
    watch(lower);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == m_upper || now == m_lower) changed(static_cast<PlainTextBox*>(now));
    });
    changed(upper);
}

void PaneCounts::watch(PlainTextBox* pane) {
    auto again = [this, pane] {
        if (pane == m_pane) changed(pane);
    };
    connect(pane->document(), &QTextDocument::contentsChanged, this, again);
    connect(pane, &QPlainTextEdit::selectionChanged, this, again);
}

void PaneCounts::changed(PlainTextBox* pane) {
    m_pane = pane;
    m_nextSlice.stop();
    m_pause.start();
}

void PaneCounts::begin() {
    const QTextCursor cursor = m_pane->textCursor();
    m_selection = cursor.hasSelection();
    m_position = m_selection ? cursor.selectionStart() : 0;
    // The document's last position is the end of its last block.
    m_end = m_selection ? cursor.selectionEnd() : m_pane->document()->characterCount() - 1;
    m_counts = {};
    countSlice();
}

// The editor gives a stretch of its text with each line break as U+2029, which has no code page
// 932 form and so counts one byte: one more makes the CrLf.
void PaneCounts::countSlice() {
    QElapsedTimer slice;
    slice.start();
    QTextCursor cursor(m_pane->document());
    while (m_position < m_end && slice.elapsed() < kSliceMs) {
        const int to = std::min(m_end, m_position + kChunk);
        cursor.setPosition(m_position);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        const QString piece = cursor.selectedText();
        const auto breaks = static_cast<std::int64_t>(piece.count(QChar::ParagraphSeparator));
        m_counts.characters += piece.size() - breaks;
        m_counts.lines += breaks;
        m_counts.bytes += static_cast<std::int64_t>(cp932::byteCount(viewOf(piece))) + breaks;
        m_position = to;
    }
    if (m_position < m_end) {
        m_nextSlice.start();
        return;
    }
    m_label->setText(countsCaption(m_pane == m_upper, m_selection, m_counts));
}

}  // namespace kivo::window
