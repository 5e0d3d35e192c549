#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "text/errors.h"
#include "text/lines.h"

namespace kivo {

enum class Icon { Information, Exclamation, Question };
enum class Answer { Yes, No, Cancel };

/// What a running operation sees of the window: the stop and closing flags, event processing and
/// message boxes. The window and the command line implement it.
class RunContext {
public:
    virtual ~RunContext() = default;

    /// Called once per pass of every loop whose length depends on the text: lets the window
    /// process pending events (throttled by time, not per call) and tells whether the loop must
    /// end because Stop was pressed or the window is closing.
    virtual bool poll() = 0;

    virtual bool stopFlag() const = 0;
    virtual bool closing() const = 0;
    /// The month enumerations mark a failed run as aborted; no other operation touches it.
    virtual void setStopFlag() = 0;

    /// The longest result the run may build, in UTF-16 units: what memory and the lower pane
    /// allow, set by the dispatcher before the operation runs.
    std::size_t resultBudget() const { return m_resultBudget; }
    void setResultBudget(std::size_t units) { m_resultBudget = units; }
    /// Refuses a result of `units` (a run-time error, reported with the operation's message)
    /// when it is beyond the budget; called with the result's length, or a bound of it, before
    /// the result is built.
    void checkResultLength(std::uint64_t units) const {
        if (units > m_resultBudget) throw ResultBeyondBudget(units, m_resultBudget);
    }

    /// A result that would take `neededBytes` of memory where `availableBytes` are left: the front
    /// end may say so in its own words (true) instead of the operation's error message (false).
    virtual bool explainsMemory(std::uint64_t /*neededBytes*/, std::uint64_t /*availableBytes*/) {
        return false;
    }

    /// The memory a result may take when the front end measured it once for many runs (the blocks
    /// of one text), so that each run need not ask the system again; none: each run measures it.
    std::optional<std::uint64_t> measuredMemory() const { return m_measuredMemory; }
    void setMeasuredMemory(std::uint64_t bytes) { m_measuredMemory = bytes; }

    /// The lines of the whole text before this one, when the command line runs a text a block of
    /// lines at a time; 0 for a whole text.
    std::uint64_t linesBefore() const { return m_linesBefore; }
    void setLinesBefore(std::uint64_t lines) { m_linesBefore = lines; }

    /// Whether the front end turns every CrLf of the result's UTF-8 into Lf (a text's Lf breaks,
    /// kept): a run on UTF-8 bytes may then keep the Lf breaks of its text instead of writing CrLf.
    bool takesLfBreaks() const { return m_takesLfBreaks; }
    void setTakesLfBreaks(bool takes) { m_takesLfBreaks = takes; }

    /// The shape of a UTF-8 text's line breaks, which the front end may have found already as it
    /// read the text (noteLineBreakShape): a run then need not look at every byte again.
    LineBreakShape lineBreakShapeOf(std::string_view utf8) const {
        const bool noted = utf8.data() == m_shaped.data() && utf8.size() == m_shaped.size();
        return noted ? m_shape : kivo::lineBreakShapeOf(utf8);
    }
    void noteLineBreakShape(std::string_view utf8, LineBreakShape shape) {
        m_shaped = utf8;
        m_shape = shape;
    }

    /// Whether the front end can show a result this long (the window's pane, by its memory); one
    /// it cannot is the run's failure.
    virtual bool canShow(TextView /*result*/) const { return true; }
    /// The front end refused an empty upper text itself, before asking anything (the window);
    /// otherwise the dispatcher does.
    virtual bool judgesEmptyUpper() const { return false; }

    /// Where a run that streams its result hands it over as it is made (the command line writing
    /// it out); none by default, and the dispatcher offers it only to operations declared to
    /// stream.
    ResultSink* resultSink() const { return m_resultSink; }
    void setResultSink(ResultSink* sink) { m_resultSink = sink; }

    /// The bound of one regular-expression match in ICU's steps where no one can press Stop (the
    /// command line), so that a pattern that backtracks without end is refused; 0 for none.
    std::int32_t matchStepLimit() const { return m_matchStepLimit; }
    void setMatchStepLimit(std::int32_t steps) { m_matchStepLimit = steps; }

    /// The stretch of the upper text (a line, or a line break) that a refusal or a failure
    /// concerns, noted just before it; the dispatcher reports it with the run's end.
    void concerns(TextView stretch) { m_concerned = stretch; }
    TextView concerned() const { return m_concerned; }

    /// Stop pressed or window closing: the run writes nothing.
    bool cancelled() const { return stopFlag() || closing(); }

    /// Message boxes with OK; nothing is shown while closing.
    void inform(TextView message) { showUnlessClosing(Icon::Information, message); }
    void exclaim(TextView message) { showUnlessClosing(Icon::Exclamation, message); }

    /// A Yes/No/Cancel question; nothing is asked while closing (no answer).
    std::optional<Answer> ask(TextView question) {
        if (closing()) return std::nullopt;
        return askQuestion(question);
    }

protected:
    virtual void showMessage(Icon icon, TextView message) = 0;
    virtual Answer askQuestion(TextView question) = 0;

private:
    std::size_t m_resultBudget = static_cast<std::size_t>(-1);
    std::uint64_t m_linesBefore = 0;
    bool m_takesLfBreaks = false;
    std::string_view m_shaped;
    LineBreakShape m_shape;
    std::optional<std::uint64_t> m_measuredMemory;
    ResultSink* m_resultSink = nullptr;
    std::int32_t m_matchStepLimit = 0;
    TextView m_concerned;

    void showUnlessClosing(Icon icon, TextView message) {
        if (!closing()) showMessage(icon, message);
    }
};

}  // namespace kivo
