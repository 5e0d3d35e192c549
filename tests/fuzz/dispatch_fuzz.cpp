// Feeds the dispatcher arbitrary operation codes, parameter values and upper texts: every run
// must end with a lower text or a message, never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ops/dispatch.h"
#include "ops/lists.h"
#include "ops/params.h"

namespace {

class FuzzContext final : public kivo::RunContext {
public:
    explicit FuzzContext(std::uint8_t answers) : m_answers(answers) {}
    bool poll() override { return cancelled(); }
    bool stopFlag() const override { return m_stop; }
    bool closing() const override { return false; }
    void setStopFlag() override { m_stop = true; }
    void assign(std::string_view, const kivo::Text&) override {}

protected:
    void showMessage(kivo::Icon, kivo::TextView) override {}
    kivo::Answer askQuestion(kivo::TextView) override {
        const auto a = static_cast<kivo::Answer>(m_answers % 3);
        m_answers = static_cast<std::uint8_t>(m_answers / 3 + 17 * m_answers);
        return a;
    }

private:
    std::uint8_t m_answers;
    bool m_stop = false;
};

// Values that sit on the edges of what the input rules allow, plus the entries of each combo.
const std::vector<kivo::Text>& interestingValues() {
    static const std::vector<kivo::Text> values = {
        u"",   u"0",    u"1",    u"2",     u"255",  u"256",  u"999",       u"1000", u"65535", u"65536",
        u"-1", u"1e999", u"NaN", u" 3",    u"３",   u"\r\n", u"\r",        u"\n",   u"\b",    u"\t",
        u"a",  u"左",   u"右",   u"\xD800", u"0000000000000000", u"2147483648", u"0001/01/01", u"9999/12/31",
    };
    return values;
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int code = in.byte() % kivo::kOperationCount;
    if (!kivo::isBuilt(code)) return 0;

    kivo::Params params = kivo::Params::defaults(kivo::Date{2024, 2, 29});
    std::vector<std::string> names;
    for (const auto& [name, value] : params.all()) names.push_back(name);

    const int assignments = in.byte() % 8;
    for (int i = 0; i < assignments; ++i) {
        const std::string& name = names[in.byte() % names.size()];
        const std::uint8_t pick = in.byte();
        kivo::Text value;
        if (pick < 128) {
            value = interestingValues()[pick % interestingValues().size()];
        } else if (pick < 192) {
            for (const kivo::ComboList& list : kivo::comboLists())
                if (list.name == name) value = list.entries[in.byte() % list.entries.size()];
        } else {
            for (int n = in.byte() % 8; n > 0; --n) value.push_back(static_cast<char16_t>(in.byte() | in.byte() << 8));
        }
        params.set(name, value);
    }
    FuzzContext ctx(in.byte());

    // The rest is the upper text: mostly single bytes (ASCII and line breaks), some wide units.
    kivo::Text upper;
    while (in.size > 0) {
        const std::uint8_t b = in.byte();
        upper.push_back(b >= 0xF0 ? static_cast<char16_t>(0x3000 + (b & 0x0F) * 0x100 + in.byte()) : b);
    }
    if (upper.empty() && !kivo::runsWithoutUpperText(code)) return 0;
    kivo::dispatch(code, upper, params, ctx);
    return 0;
}
