#include "cli/steps.h"

#include "ops/dispatch.h"
#include "text/dates.h"
#include "text/utf8.h"

namespace kivo::cli {

void CliContext::showMessage(Icon icon, TextView message) {
    line(icon == Icon::Exclamation ? "exclamation"
         : icon == Icon::Question  ? "question"
                                   : "information",
         message);
}

Answer CliContext::askQuestion(TextView question) {
    line("question", question);
    if (m_answers.empty()) return Answer::Yes;
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

bool CliContext::explainsMemory(std::uint64_t neededBytes, std::uint64_t availableBytes) {
    const auto megabytes = [](std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20); };
    m_err << "kivoautofill-cli: " << m_prefix << "the result would take about " << megabytes(neededBytes)
          << " MB of memory, more than the " << megabytes(availableBytes) << " MB available\n";
    ++m_shown;
    return true;
}

void CliContext::line(const char* kind, TextView text) {
    m_err << m_prefix << kind << ": " << utf8::encode(text) << '\n';
    ++m_shown;
    m_last = text;
}

std::optional<Text> runSteps(const std::vector<Step>& steps, Text upper, CliContext& ctx,
                             const std::string& prefix, ResultSink* sink) {
    const Date date = today();
    for (const Step& step : steps) {
        ctx.setResultSink(&step == &steps.back() ? sink : nullptr);
        ctx.setPrefix(prefix + step.where);
        DispatchResult result = dispatch(*step.call.op, TextView(upper), step.call.texts(date), ctx);
        if (!result.lower || ctx.cancelled()) return std::nullopt;
        upper = std::move(*result.lower);
    }
    return upper;
}

}  // namespace kivo::cli
