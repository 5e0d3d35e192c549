#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <thread>

#include <QObject>
#include <QString>

#include "text/lines.h"

class QCheckBox;
class QLabel;
class QMainWindow;
class QTimer;

namespace kivo::window {

class MainLayout;
class ParamControls;
class PlainTextBox;
class RunController;
struct WindowState;

inline const QString kPreviewCaption = QStringLiteral("プレビュー");
inline const QString kPreviewShown =
    QStringLiteral("プレビュー：「実行」で下部テキストボックスに結果が入ります");
inline const QString kPreviewWillAsk = QStringLiteral("プレビュー：実行すると確認があります（%1）");
inline const QString kPreviewRefused = QStringLiteral("プレビュー：%1");
inline const QString kPreviewNoResult = QStringLiteral("プレビュー：結果はありません");
inline const QString kPreviewUpperTooLarge =
    QStringLiteral("プレビュー：上部テキストが大きいため表示しません（「実行」で結果が出ます）");
inline const QString kPreviewResultTooLarge =
    QStringLiteral("プレビュー：結果が大きいため表示しません（「実行」で結果が出ます）");

/// What a preview run ended with, in place of the boxes it did not show.
struct PreviewOutcome {
    std::optional<Text> result;
    /// The first message the run would have shown.
    Text message;
    /// The question Execute will ask; the preview stopped there.
    Text question;
    /// The result is longer than a preview shows.
    bool tooLong = false;
};

/// The result Execute would give, shown over the lower pane while the user edits the upper text
/// or the selected operation's options. A pause after the last change, the operation runs on a
/// copy of the upper text in a thread of its own, so that typing never waits for it; it shows no
/// box: a refusal goes to the status bar and a question is not asked. The lower pane itself is
/// never touched, so that Execute, its question about the lower text and its undo step stay
/// exactly as they are without a preview.
class LivePreview final : public QObject {
    Q_OBJECT

public:
    /// The longest upper text previewed, in UTF-16 units: copying it out of the editor, and
    /// showing a result as long, keeps the window's event gaps well under 50 ms.
    static constexpr std::size_t kMaxUpperLength = std::size_t{1} << 20;
    /// The longest result shown; a longer one waits for Execute.
    static constexpr std::size_t kMaxResultLength = std::size_t{2} << 20;
    /// The pause after the last change before a preview runs.
    static constexpr int kPauseMs = 300;

    LivePreview(QMainWindow* window, MainLayout& layout, const ParamControls& controls,
                const RunController& run, WindowState& state);
    ~LivePreview() override;

    /// Takes the preview off the lower pane and drops the one being made, until the next change:
    /// before and after Execute, and when the user turns to the lower pane's own text.
    void dismiss();
    /// The pane that shows the preview over the lower pane.
    PlainTextBox* pane() const { return m_pane; }

private:
    void attachToChanges();
    void changed();
    void setOn(bool on);
    void runWhenIdle();
    /// Starts the preview of what the window holds now, or says why there is none.
    void start();
    void finished(unsigned generation, PreviewOutcome outcome);
    void showStatus(const QString& text);
    void clearStatus();
    void hidePane();
    /// The user's key in the preview pane goes to the lower pane's own text, shown again.
    bool forwardEdit(QObject* watched, QEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Asks the running preview to stop and, once it has, lets its thread go.
    bool workerIdle();

    QMainWindow* m_window;
    MainLayout& m_layout;
    const ParamControls& m_controls;
    const RunController& m_run;
    WindowState& m_state;
    QCheckBox* m_toggle;
    PlainTextBox* m_pane;
    QLabel* m_mark;
    QTimer* m_pause;
    QString m_status;
    unsigned m_generation = 0;
    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::shared_ptr<std::atomic<bool>> m_done;
};

}  // namespace kivo::window
