#include "window/loop_rules.h"

#include "text/errors.h"
#include "text/numeric.h"
#include "window/qtext.h"
#include "window/rules.h"

namespace kivo::window {
namespace {

constexpr int kLongestFormat = 16;

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

QString repairDirection(const QString& text) {
    return text == kIncrement || text == kDecrement ? text : kIncrement;
}

QString repairStep(const QString& text) {
    // Compared as strings on purpose: "1000" and "5000" pass and step by their value.
    const Text t = toText(text);
    return t >= Text(u"1") && t <= Text(u"999") ? text : QStringLiteral("1");
}

bool isZeroFormat(const QString& text) {
    if (text.isEmpty() || text.size() > kLongestFormat) return false;
    for (const QChar c : text)
        if (c != u'0') return false;
    return true;
}

QString repairFormat(const QString& text) {
    return isZeroFormat(text) ? text : QStringLiteral("000");
}

AllSlots allDirections(const QString& text) {
    if (text == kAllIncrement) return {text, kIncrement};
    if (text == kAllDecrement) return {text, kDecrement};
    return {kAllIncrement, kIncrement};
}

AllSlots allSteps(const QString& text) {
    if (!text.startsWith(kAllPrefix)) return {kAllStepOne, std::nullopt};
    if (text.size() >= 4 && text.size() <= 6) {
        double v = 0;
        try {
            v = numericValue(toText(text.mid(kAllPrefix.size())));
        } catch (const RunTimeError&) {
            v = 0;  // too large for a number: out of range like any other
        }
        if (v >= 1 && v <= 999) return {text, QString::number(static_cast<int>(roundHalfEven(v)))};
    }
    return {kAllStepOne, std::nullopt};
}

AllSlots allFormats(const QString& text) {
    if (text.startsWith(kAllPrefix)) {
        const QString format = text.mid(kAllPrefix.size());
        if (isZeroFormat(format)) return {text, format};
    }
    return {kAllFormatZero, QStringLiteral("0")};
}

QString repairLoopCount(const QString& typed) {
    const QString text = halfWidthDigits(typed);
    // Only digits: the value is 0 exactly when every digit is "0" (or there is none).
    bool nonZero = false;
    for (const QChar c : text) {
        if (!isDigit(c)) return kLoopCountStart;
        nonZero = nonZero || c != u'0';
    }
    return nonZero ? text : kLoopCountStart;
}

std::optional<QString> addStringFault(TextView text) {
    if (text.size() > kAddStringLength) return kAddStringLengthMessage;
    for (const char16_t c : text)
        if ((c >= u'0' && c <= u'9') || c == u'-') return kAddStringDigitMessage;
    return std::nullopt;
}

}  // namespace kivo::window
