#pragma once

#include <QString>

namespace kivo::window {

/// The system clipboard in plain-text form, behind an interface so tests can make it fail.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// The plain text on the clipboard; empty when it holds no text.
    virtual QString text() const = 0;
    /// Clears the clipboard and puts `text` on it; false when it did not take the text.
    virtual bool setText(const QString& text) = 0;
};

/// The platform clipboard through Qt.
class QtClipboard final : public Clipboard {
public:
    QString text() const override;
    bool setText(const QString& text) override;
};

}  // namespace kivo::window
