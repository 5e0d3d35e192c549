#pragma once

#include <optional>

#include <QString>

#include "text/lines.h"

namespace kivo::window {

// The repairs of the loop generator's controls, as pure functions of the control's text.

inline const QString kIncrement = QStringLiteral("インクリメント");
inline const QString kDecrement = QStringLiteral("デクリメント");
inline const QString kAllIncrement = QStringLiteral("すべてインクリメント");
inline const QString kAllDecrement = QStringLiteral("すべてデクリメント");
inline const QString kAllPrefix = QStringLiteral("すべて");
inline const QString kAllStepOne = QStringLiteral("すべて1");
inline const QString kAllFormatZero = QStringLiteral("すべて0");
inline const QString kLoopCountStart = QStringLiteral("5");
/// The longest loop count `Text6` holds.
inline constexpr int kLoopCountLength = 10;
/// The longest add-before-loop string, a line break counting two characters.
inline constexpr std::size_t kAddStringLength = 65534;
inline const QString kAddStringLengthMessage = QStringLiteral("改行2文字を含む65535文字まで有効です。");
inline const QString kAddStringDigitMessage =
    QStringLiteral("追加する文字に半角数字および「-」(マイナス記号)は使えません。");

/// A direction `ComboId(i)`: "インクリメント" and "デクリメント" stay, anything else increments.
QString repairDirection(const QString& text);
/// A step `ComboStep(i)`: kept when it lies between "1" and "999" compared as strings in
/// code-unit order (so "1000" and "1.5" stay), otherwise "1". The run converts what is kept.
QString repairStep(const QString& text);
/// One of "0" … sixteen "0".
bool isZeroFormat(const QString& text);
/// A format `ComboFm(i)`: a zero format stays, anything else becomes "000".
QString repairFormat(const QString& text);

/// What an all-slots combo makes of its text: its own text, and the text every slot of its
/// column takes (none: the slots keep theirs).
struct AllSlots {
    QString comboText;
    std::optional<QString> slotText;
    bool operator==(const AllSlots&) const = default;
};
/// `Combo44`: every `ComboId` increments or decrements; any other text increments them all.
AllSlots allDirections(const QString& text);
/// `Combo45`: "すべて" and a step of 1..999 (numeric value, rounded ties to even) in at most six
/// characters sets every `ComboStep`; anything else only turns the combo back to "すべて1".
AllSlots allSteps(const QString& text);
/// `Combo46`: "すべて" and a zero format sets every `ComboFm`; anything else sets them all to "0".
AllSlots allFormats(const QString& text);

/// The loop count `Text6`: only digits with a value other than 0, full-width ones coming back
/// half-width; anything else (an empty text too) becomes "5".
QString repairLoopCount(const QString& text);

/// Why the add-before-loop string `Text30` must be emptied (with the message to show), if it
/// must: too long first, then a half-width digit or "-".
std::optional<QString> addStringFault(TextView text);

}  // namespace kivo::window
