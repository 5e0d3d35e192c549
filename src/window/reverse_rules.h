#pragma once

#include <QObject>

#include "window/window_state.h"

class QComboBox;

namespace kivo::window {

inline const QString kWholeText = QStringLiteral("全文リバースする");
inline const QString kEveryFewLines = QStringLiteral("数行おきにリバースする");
inline const QString kChangeModeMessage = QStringLiteral("「数行おきにリバースする」に変えてください。");

/// The input rules of the reverse mode `Combo41` and its line interval `Combo42`: the interval
/// stays "0" in the whole-text mode and is a count of 0..999 in the line-interval mode.
class ReverseRules final : public QObject {
    Q_OBJECT

public:
    ReverseRules(QComboBox* mode, QComboBox* interval, WindowState& state);

private:
    void modeChanged(const QString& text);
    void intervalChanged(const QString& text);
    /// Picking, a key or the focus on either combo: the whole-text mode keeps the interval "0".
    void keepIntervalZero();
    void setText(QComboBox* combo, const QString& text);

    QComboBox* m_mode;
    QComboBox* m_interval;
    WindowState& m_state;
};

}  // namespace kivo::window
