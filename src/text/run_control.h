#pragma once

#include <cstddef>
#include <functional>

#include "text/errors.h"
#include "text/lines.h"

namespace kivo {

/// What a long computation of the core asks of whoever runs it: whether to stop, and how long its
/// result may grow.
struct RunControl {
    /// Polled every so often (the window's Stop, a deadline); true ends the run without a result.
    std::function<bool()> stop;
    /// The longest result in UTF-16 units; a longer one is a run-time error before it is made.
    std::size_t resultBudget = LineWriter::kNoBudget;
    /// Where a result is handed over as it is made (the command line's output), for a run that
    /// always ends with its result once it has begun; the result returned holds what is left.
    ResultSink* sink = nullptr;

    bool stopped() const { return stop && stop(); }
    void checkLength(std::size_t units) const {
        if (units > resultBudget) throw RunTimeError("result beyond the budget");
    }
};

}  // namespace kivo
