// The loop generator builds every copy from pieces of a template scanned once. Here it is checked
// against the straightforward way: every slot of every copy rescans the rewritten template from
// its start for its number and rebuilds the template around it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "loop_settings.h"
#include "text/characters.h"
#include "text/currency.h"
#include "text/numeric.h"

namespace kivo::loop_test {
namespace {

struct Direct {
    std::optional<Text> out;
    std::vector<Text> messages;
    // A negative number written right after a "-" that is no sign: the next rescan reads it
    // without its sign. The generator keeps counting from the value instead.
    bool signLost = false;
};

// The loop generator's options under the names of their controls, as the model reads them.
class Controls {
public:
    explicit Controls(const test::Settings& settings) {
        for (const ParamDeclaration& p : kGenerateLoop->params)
            m_texts[p.control] = p.defaultText;
        for (const auto& [name, value] : settings)
            m_texts.at(name) = value;
    }
    const Text& text(const std::string& name) const { return m_texts.at(name); }
    bool ticked(const std::string& name) const { return text(name) == u"1"; }

private:
    std::map<std::string, Text> m_texts;
};

Direct rescanning(TextView upper, const test::Settings& settings) {
    const Controls p(settings);
    Direct r;
    const auto fail = [&r](Text message) {
        r.messages.push_back(std::move(message));
        return r;
    };
    try {
        bool used[17] = {};
        bool any = false;
        for (int i = 0; i < 17; ++i)
            any |= used[i] = p.ticked(arrayName("Check1", i));
        if (!any) return fail(u"1回目の数値～17回目の数値いずれかにチェックを入れて下さい。");
        int side = 0;
        Text add;
        if (p.ticked("Check4")) {
            side = p.text("Combo58") == u"左" ? 1 : 2;
            add = p.text("Text30");
            for (char16_t c : add)
                if (isHalfDigit(c) || c == u'-')
                    return fail(u"追加する文字に半角数字および「-」(マイナス記号)は使えません。");
            if (add.find(kBs) != Text::npos) return fail(u"追加する文字にバックスペースは使えません。");
            add = normalizeLineBreaks(add);
        }
        Text t = normalizeLineBreaks(upper);
        if (t.find(kBs) != Text::npos) return fail(u"上部テキストにバックスペースは使えません。");
        const bool appended = t.empty() || t.back() != kLf;
        if (appended) t += u"\n";
        if (t.find_first_of(kHalfDigits) == Text::npos) return fail(u"半角数字が見つかりませんでした。");
        if (t.find_first_not_of(u"0123456789\n") == Text::npos)
            return fail(u"半角数字と改行以外が見つかりませんでした。");
        if (isHalfDigit(t[0])) t.insert(0, 1, kBs);

        const double loops = numericValue(p.text("Text6"));
        std::int16_t steps[17];
        for (int i = 0; i < 17; ++i)
            steps[i] = toWhole<std::int16_t>(numericValue(p.text(arrayName("ComboStep", i))));

        Text o;
        for (double n = 1; n <= loops; ++n) {
            for (int i = 0; i < 17; ++i) {
                if (!used[i]) continue;
                Text buffer;
                int c = 0;
                std::size_t end = Text::npos;
                for (std::size_t j = 0; j < t.size() && end == Text::npos; ++j) {
                    const char16_t ch = t[j];
                    if (isHalfDigit(ch)) {
                        buffer += ch;
                        if (buffer.size() >= 19 && numericValue(buffer.substr(0, 2)) > 91)
                            return fail(u"数値の最大値を超えました。");
                    } else if (ch == u'-' && j + 1 < t.size() && isHalfDigit(t[j + 1]) &&
                               (j == 0 || t[j - 1] != u'-')) {
                        buffer += ch;
                    } else if (!buffer.empty()) {
                        if (c == i) {
                            end = j;
                        } else {
                            ++c;
                            buffer.clear();
                        }
                    }
                }
                if (end == Text::npos) {
                    if (i == 0) return fail(u"半角数字は見つかりませんでした。");
                    const std::string count = std::to_string(i + 1);
                    return fail(Text(count.begin(), count.end()) +
                                u"個目以降の半角数字は見つかりませんでした。");
                }
                const Text before = t.substr(0, end - buffer.size());
                const Text after = t.substr(end);
                const double v = numericValue(buffer);
                if (std::fabs(v) > 922337203685477.5807) throw RunTimeError("currency");
                Currency value = Currency::fromWhole(static_cast<std::int64_t>(v));
                if (n > 1) {
                    const Currency step = Currency::fromWhole(steps[i]);
                    value =
                        p.text(arrayName("ComboId", i)) == u"インクリメント" ? value + step : value - step;
                }
                std::string digits = value.toString();
                const bool negative = digits[0] == '-';
                if (negative) digits.erase(0, 1);
                const std::size_t zeros = p.text(arrayName("ComboFm", i)).size();
                if (digits.size() < zeros) digits.insert(0, zeros - digits.size(), '0');
                const Text f = Text(negative ? u"-" : u"").append(digits.begin(), digits.end());
                const Text left = n == 1 && side == 1 ? add : Text();
                const Text right = n == 1 && side == 2 ? add : Text();
                t = before + left + f + right + after;
                const std::size_t at = before.size() + left.size();
                if (negative && at > 0 && t[at - 1] == u'-' && n < loops) r.signLost = true;
            }
            o += t;
        }
        if (appended) o.pop_back();
        Text out;
        for (char16_t ch : o) {
            if (ch == kLf) {
                out += u"\r\n";
            } else if (ch != kBs) {
                out += ch;
            }
        }
        r.out = out;
    } catch (const std::exception&) {
        r.messages.push_back(u"文字数オーバーまたはその他エラーです。");
    }
    return r;
}

class RandomLoops {
public:
    explicit RandomLoops(unsigned seed) : m_random(seed) {}

    Text upper() {
        static const Text alphabet = u"001122559-- axb.\n\r１";
        const int length = pick(1, 20);
        Text t;
        for (int i = 0; i < length; ++i) {
            if (chance(60)) {
                t += longNumber();
            } else {
                t += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
            }
        }
        return t;
    }

    test::Settings settings() {
        std::vector<SlotSetting> slots;
        for (int i = 0; i < 17; ++i) {
            if (!chance(i < 3 ? 2 : i < 5 ? 6 : 300)) continue;
            static const Text steps[] = {u"1",    u"2",     u"7",   u"10",  u"999",
                                         u"5000", u"32767", u"1.5", u"2.5", u"1e-9"};
            slots.push_back({i, chance(2) ? u"インクリメント" : u"デクリメント",
                             steps[static_cast<std::size_t>(pick(0, 9))],
                             Text(static_cast<std::size_t>(chance(3) ? pick(1, 16) : pick(1, 3)), u'0')});
        }
        std::optional<AddSetting> add;
        if (chance(3)) {
            static const Text adds[] = {u"#", u"ab", u"", u"\r\n", u" ", u"\r", u"x\ny"};
            add = AddSetting{chance(2) ? u"左" : u"右", adds[static_cast<std::size_t>(pick(0, 6))]};
        }
        const std::string loops = std::to_string(pick(1, 6));
        return loopSettings(slots, Text(loops.begin(), loops.end()), add);
    }

private:
    Text longNumber() {
        static const Text numbers[] = {
            u"92" + Text(17, u'5'), u"91" + Text(17, u'5'), u"922337203685477",
            u"922337203685478",     u"-922337203685477",    u"922337203685470",
            u"999999999999999",     u"9" + Text(15, u'9'),  u"00000000000000000000012",
        };
        return numbers[static_cast<std::size_t>(pick(0, 8))];
    }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    bool chance(int oneIn) { return pick(1, oneIn) == 1; }

    std::mt19937 m_random;
};

std::vector<Text> messagesOf(const FakeContext& ctx) {
    std::vector<Text> out;
    for (const FakeContext::Shown& s : ctx.shown)
        if (s.icon != Icon::Question) out.push_back(s.text);
    return out;
}

TEST(GenerateLoop, BuildsWhatRescanningForEveryNumberBuilds) {
    RandomLoops random(20240601);
    int compared = 0;
    int produced = 0;
    constexpr int kRuns = 3000;
    for (int run = 0; run < kRuns; ++run) {
        const Text upper = random.upper();
        const test::Settings p = random.settings();
        const Direct expected = rescanning(upper, p);
        if (expected.signLost) continue;
        ++compared;
        const OpRun r = runLoop(upper, p);
        ASSERT_EQ(show(r.out), show(expected.out)) << "template " << show(upper) << " run " << run;
        ASSERT_EQ(messagesOf(r.ctx), expected.messages) << "template " << show(upper) << " run " << run;
        produced += r.out.has_value();
    }
    // Nearly every run is comparable, and a good share gets as far as a result.
    EXPECT_GT(compared, kRuns * 9 / 10);
    EXPECT_GT(produced, kRuns / 3);
}

TEST(GenerateLoop, RescanningLosesTheSignAfterAMinusThatIsNoSign) {
    // Rescanning reads "a---5" as "a---" and 5: the count restarts from 5 in every copy.
    const test::Settings p = loopSettings({down(0, u"10")}, u"3");
    const Direct direct = rescanning(u"a--5", p);
    EXPECT_TRUE(direct.signLost);
    EXPECT_EQ(direct.out, Text(u"a--5\r\na---5\r\na----5"));
    EXPECT_EQ(runLoop(u"a--5", p).out, Text(u"a--5\r\na---5\r\na---15"));
}

}  // namespace
}  // namespace kivo::loop_test
