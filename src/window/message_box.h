#pragma once

#include <deque>
#include <functional>

#include <QList>
#include <QString>

#include "ops/run_context.h"

class QWidget;

namespace kivo::window {

/// The title of every message box.
inline const QString kMessageTitle = QStringLiteral("Kivoオートフィル");

/// Every message box of the window goes through this, so tests can answer without a modal dialog.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    /// A message with an OK button.
    virtual void show(Icon icon, const QString& text) = 0;
    /// A question with Yes, No and Cancel.
    virtual Answer ask(const QString& question) = 0;
};

/// Real modal message boxes.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : m_parent(parent) {}
    void show(Icon icon, const QString& text) override;
    Answer ask(const QString& question) override;

private:
    QWidget* m_parent;
};

/// Records every message box and answers questions from a script (then Yes).
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        Icon icon;
        QString text;
    };

    /// Runs while each message is up, as events a modal box lets through would.
    std::function<void()> whileShown;

    void setNextAnswer(Answer answer) { m_answers.push_back(answer); }
    void show(Icon icon, const QString& text) override {
        m_shown.append({icon, text});
        if (whileShown) whileShown();
    }
    Answer ask(const QString& question) override;

    const QList<Shown>& shown() const { return m_shown; }
    /// The texts shown so far, in order.
    QStringList texts() const;
    void clear() {
        m_shown.clear();
        m_answers.clear();
    }

private:
    QList<Shown> m_shown;
    std::deque<Answer> m_answers;
};

}  // namespace kivo::window
