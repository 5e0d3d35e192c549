#pragma once

#include <cstddef>
#include <string>

#include "ops/operation.h"

namespace kivo {

/// The places of what a run found, for one information message: "…（3件）：1行5文字目：X、…".
/// Lists the first few; a message box of thousands of places helps no one.
class FoundPlaces {
public:
    explicit FoundPlaces(TextView heading) : m_heading(heading) {}

    void add(std::size_t line, std::size_t column, TextView what) {
        if (m_count++ >= kListed) return;
        if (!m_list.empty()) m_list += u"、";
        m_list += decimalText(static_cast<long long>(line));
        m_list += u"行";
        m_list += decimalText(static_cast<long long>(column));
        m_list += u"文字目：";
        m_list += what;
    }
    bool empty() const { return m_count == 0; }
    std::size_t count() const { return m_count; }

    /// The message, one line: the heading, the count, the places listed, and how many more.
    Text message() const {
        Text out(m_heading);
        out += u"（" + decimalText(static_cast<long long>(m_count)) + u"件）：" + m_list;
        if (m_count > kListed)
            out += u"、ほか" + decimalText(static_cast<long long>(m_count - kListed)) + u"件";
        return out;
    }
    void informIfAny(RunContext& ctx) const {
        if (!empty()) ctx.inform(message());
    }

private:
    static constexpr std::size_t kListed = 10;
    TextView m_heading;
    Text m_list;
    std::size_t m_count = 0;
};

}  // namespace kivo
