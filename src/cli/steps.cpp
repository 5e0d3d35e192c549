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

void CliContext::line(const char* kind, TextView text) {
    m_err << m_prefix << kind << ": " << utf8::encode(text) << '\n';
}

std::optional<Text> runSteps(const std::vector<Step>& steps, Text upper, CliContext& ctx,
                             const std::string& prefix, ResultSink* sink) {
    const Date date = today();
    for (const Step& step : steps) {
        ctx.setResultSink(&step == &steps.back() ? sink : nullptr);
        ctx.setPrefix(prefix + step.where);
        if (upper.empty() && step.call.op->needsUpperText) {
            ctx.inform(kUpperTextMissing);
            return std::nullopt;
        }
        DispatchResult result = dispatch(*step.call.op, upper, step.call.texts(date), ctx);
        if (!result.lower || ctx.cancelled()) return std::nullopt;
        upper = std::move(*result.lower);
    }
    return upper;
}

}  // namespace kivo::cli
