#pragma once

#include <cstdint>

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;

namespace kivo::window {

class PlainTextBox;

/// What a stretch of text holds: characters (line breaks not counted), lines, and code page 932
/// bytes with every line break as CrLf, as the pane saves it.
struct TextCounts {
    std::int64_t characters = 0;
    std::int64_t lines = 1;
    std::int64_t bytes = 0;
};

/// "上部：1,234文字　56行　2,345バイト(Shift-JIS)", for the upper or lower pane, or its selection.
QString countsCaption(bool upper, bool selection, const TextCounts& counts);

/// The counts of the pane with the focus (the upper pane until a pane has had it), or of its
/// selection, shown in `label`. They follow every change after a short pause, counted a slice at a
/// time between the window's events, so that typing in a large text never waits for them.
class PaneCounts final : public QObject {
    Q_OBJECT

public:
    PaneCounts(PlainTextBox* upper, PlainTextBox* lower, QLabel* label);

private:
    void watch(PlainTextBox* pane);
    /// Starts over after a pause: the text or the selection changed, or the other pane came.
    void changed(PlainTextBox* pane);
    void begin();
    void countSlice();

    PlainTextBox* m_upper;
    PlainTextBox* m_lower;
    QLabel* m_label;
    PlainTextBox* m_pane;
    QTimer m_pause;
    QTimer m_nextSlice;

    // The count under way.
    bool m_selection = false;
    int m_position = 0;
    int m_end = 0;
    TextCounts m_counts;
};

}  // namespace kivo::window
