// Feeds the dispatcher arbitrary operation codes, parameter values and upper texts: every run
// must end with a lower text or a message (or a question answered other than Yes, or Stop, or
// closing), never a crash, a hang, a sanitizer report or an unbounded allocation.
//
// Input layout: code, answer seed, stop byte, assignment count, assignments (option pick, value
// kind, value bytes), then the upper text. Each code assigns the options its operation declares,
// with values from the option's list or range, the edges of its input rule, or a short text of
// line breaks, BS, Tab, surrogates, digits and signs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ops/dispatch.h"
#include "ops/registry.h"
#include "text/utf8.h"

namespace {

using kivo::Text;

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

// Scripted answers, and Stop or closing after a bounded number of polls. Every run is cut off
// after kPollLimit passes, so that a valid but huge request (two million months, a loop count of
// two billion) still ends quickly; that path is the same as a press of Stop.
class FuzzContext final : public kivo::RunContext {
public:
    static constexpr long kPollLimit = 20000;

    FuzzContext(std::uint8_t answers, std::uint8_t stop) : m_answers(answers) {
        if (stop >= 0xE0) {
            m_closeAfter = (stop - 0xE0) * 3L;
        } else if (stop >= 0x80) {
            m_stopAfter = (stop - 0x80) * 5L;
        }
    }

    bool poll() override {
        ++m_polls;
        if (m_polls > kPollLimit || (m_stopAfter >= 0 && m_polls > m_stopAfter)) m_stop = true;
        if (m_closeAfter >= 0 && m_polls > m_closeAfter) m_closing = true;
        return cancelled();
    }
    bool stopFlag() const override { return m_stop; }
    bool closing() const override { return m_closing; }
    void setStopFlag() override { m_stop = true; }

    int messages = 0;
    bool declined = false;

protected:
    void showMessage(kivo::Icon, kivo::TextView message) override {
        if (message.empty()) __builtin_trap();
        ++messages;
    }
    kivo::Answer askQuestion(kivo::TextView question) override {
        if (question.empty()) __builtin_trap();
        const auto a = static_cast<kivo::Answer>(m_answers % 3);
        m_answers = static_cast<std::uint8_t>(m_answers / 3 + 17 * m_answers + 1);
        if (a != kivo::Answer::Yes) declined = true;
        return a;
    }

private:
    std::uint8_t m_answers;
    long m_polls = 0;
    long m_stopAfter = -1;
    long m_closeAfter = -1;
    bool m_stop = false;
    bool m_closing = false;
};

// The edges of the numeric combo, count text and text-length rules, and what only the command
// line can send: signs, blanks, full-width digits, exponents, NaN, dates at and past the range.
const std::vector<Text>& edgeValues() {
    static const std::vector<Text> values = {
        u"",
        u"0",
        u"1",
        u"2",
        u"3",
        u"10",
        u"99",
        u"100",
        u"101",
        u"255",
        u"256",
        u"999",
        u"1000",
        u"32767",
        u"32768",
        u"65535",
        u"65536",
        u"2000000",
        u"2000001",
        u"2147483647",
        u"2147483648",
        u"4294967295",
        u"4294967296",
        u"9999999999",
        u"-1",
        u"+1",
        u"-0",
        u" 3",
        u"\t3",
        u"3 ",
        u"３",
        u"１２",
        u"－１",
        u"1e999",
        u"-1e999",
        u"1e-999",
        u"NaN",
        u"inf",
        u"1.5",
        u"2.5",
        u".5",
        u"5.",
        u"00001",
        u"0x10",
        u"1e3",
        u"\r\n",
        u"\r",
        u"\n",
        u"\b",
        u"\t",
        u"a",
        u"左",
        u"右",
        u"\xD800",
        u"\xDC00",
        u"0100/01/01",
        u"9999/12/31",
        u"2024/02/29",
        u"2023/02/29",
        u"0099/12/31",
        u"10000/01/01",
        u"1",
        u"0",
    };
    return values;
}

// The units texts are made of: the special characters, digits of both widths, signs, letters of
// the four classes, double-byte and half-width katakana, lone surrogates and one-way characters.
constexpr char16_t kAlphabet[] = {
    u'\r',  u'\n',  u'\b',  u'\t',  u' ',   u'0',   u'1',   u'5',   u'9',   u'-',   u'+',   u'.',   u'e',
    u'E',   u'a',   u'z',   u'A',   u'Z',   u'/',   u'?',   u'x',   u'\\',  u'０',  u'９',  u'－',  u'＋',
    u'ａ',  u'Ｚ',  u'あ',  u'漢',  u'ｱ',   u'ﾟ',   0xD83D, 0xDE00, 0xD800, 0xDFFF, 0x301C, 0x2212, 0x00A5,
    0x00A2, 0x2016, 0x3000, 0xFFFD, 0x0000, 0x007F, 0x0080, 0x00A0, 0xFEFF, 0xFF61, 0xFF9F, 0xE000, 0xFFFF,
};
constexpr std::size_t kAlphabetSize = sizeof(kAlphabet) / sizeof(kAlphabet[0]);

Text shortText(Reader& in) {
    Text s;
    for (int n = in.byte() % 24; n > 0; --n)
        s.push_back(kAlphabet[in.byte() % kAlphabetSize]);
    return s;
}

Text valueFor(const kivo::ParamDeclaration& param, Reader& in, bool& longValue) {
    const std::uint8_t kind = in.byte();
    if (kind < 80) {
        const std::vector<Text>& edges = edgeValues();
        return edges[in.byte() % edges.size()];
    }
    if (kind < 150 && param.kind == kivo::ParamKind::List) {
        const std::uint8_t at = in.byte();
        // The first and last entries are the edges of the list; the rest are sampled.
        if (at < 64) return param.entries.front().text;
        if (at < 128) return param.entries.back().text;
        return param.entries[(at * 7919u + in.byte()) % param.entries.size()].text;
    }
    if (kind < 150 && param.kind == kivo::ParamKind::Count) {
        const std::uint8_t at = in.byte();
        const unsigned span = static_cast<unsigned>(param.max - param.min) + 1;
        if (at < 64) return kivo::decimalText(param.min);
        if (at < 128) return kivo::decimalText(param.max);
        return kivo::decimalText(param.min + static_cast<long long>((at * 7919u + in.byte()) % span));
    }
    if (kind < 150) return shortText(in);
    if (kind < 240) return shortText(in);
    // The edge of the text-length rule, and one past it.
    longValue = true;
    const char16_t unit = kAlphabet[in.byte() % kAlphabetSize];
    return Text(kind & 1 ? 65536 : 65535, unit);
}

// The upper text: ASCII bytes as they are (line breaks, BS, Tab, digits, signs), bytes from 0x80
// units of the alphabet, 0xF0..0xFE a wide unit from the next byte, 0xFF a run of the last unit.
Text upperText(Reader& in, std::size_t limit) {
    Text upper;
    while (in.size > 0 && upper.size() < limit) {
        const std::uint8_t b = in.byte();
        if (b < 0x80) {
            upper.push_back(b);
        } else if (b < 0xF0) {
            upper.push_back(kAlphabet[(b - 0x80) % kAlphabetSize]);
        } else if (b < 0xFF) {
            upper.push_back(static_cast<char16_t>((b & 0x0F) << 12 | in.byte() << 4 | (b & 0x0F)));
        } else if (!upper.empty()) {
            upper.append(std::min<std::size_t>(in.byte() * 16u, limit - upper.size()), upper.back());
        }
    }
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int code = in.byte() % static_cast<int>(kivo::operations().size());
    const kivo::OperationDeclaration& op = kivo::operation(code);
    const std::uint8_t answers = in.byte();
    const std::uint8_t stop = in.byte();

    kivo::OptionTexts params = kivo::OptionTexts::defaults(op, kivo::Date{2024, 2, 29});
    const std::vector<kivo::ParamDeclaration>& own = op.params;
    bool longValue = false;
    for (int n = own.empty() ? 0 : in.byte() % 12; n > 0; --n) {
        const kivo::ParamDeclaration& param = own[in.byte() % own.size()];
        params.set(param.option, valueFor(param, in, longValue));
    }
    FuzzContext ctx(answers, stop);

    // A parameter at the length limit is repeated per line or per match: a short upper text keeps
    // a single run fast.
    const Text upper = upperText(in, longValue ? 16 : 8192);
    if (upper.empty() && op.needsUpperText) return 0;

    const kivo::DispatchResult result = kivo::dispatch(op, upper, params, ctx);
    // An option a run gives back is one of its operation's.
    for (const kivo::OptionText& changed : result.changed)
        if (!op.param(changed.option)) __builtin_trap();
    // A run that ran and was neither stopped, closed nor declined ends with its result or a message.
    if (result.lower && ctx.cancelled()) __builtin_trap();
    if (result.end == kivo::DispatchEnd::Ran && !result.lower && !ctx.cancelled() && !ctx.declined &&
        ctx.messages == 0)
        __builtin_trap();

    // The command line's run on the bytes, where it takes them, gives the same result encoded
    // and as many messages (a run that was stopped polls differently, so it is not compared).
    const std::string bytes = kivo::utf8::encode(upper);
    if (!ctx.cancelled() && op.hasUtf8Run && kivo::utf8::decode(bytes) == upper) {
        FuzzContext raw(answers, 0);
        const auto onBytes = kivo::dispatchUtf8(op, bytes, params, raw);
        if (onBytes && !raw.cancelled()) {
            if (onBytes->end != result.end || onBytes->lower.has_value() != result.lower.has_value() ||
                raw.messages != ctx.messages)
                __builtin_trap();
            if (result.lower && *onBytes->lower != kivo::utf8::encode(*result.lower)) __builtin_trap();
        }
    }
    return 0;
}
