#pragma once

#include <QString>

#include "text/lines.h"

namespace kivo::window {

/// QString and Text are both UTF-16: conversions copy code units unchanged, lone surrogates too.
inline QString toQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

/// The code units of `text`, valid while it lives unchanged.
inline TextView viewOf(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline Text toText(const QString& text) {
    return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace kivo::window
