#include "ops/loop/loop_generator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "text/characters.h"
#include "text/currency.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr int kSlotCount = 17;
constexpr std::size_t kMaxAddLength = 65534;
// The largest whole number the currency type holds (922337203685477): 15 digits at most.
constexpr std::int64_t kMaxWhole = std::numeric_limits<std::int64_t>::max() / Currency::kScale;
constexpr int kMaxWholeDigits = 15;

constexpr TextView kNoSlotTicked = u"1回目の数値～17回目の数値いずれかにチェックを入れて下さい。";
constexpr TextView kAddHasDigitOrMinus = u"追加する文字に半角数字および「-」(マイナス記号)は使えません。";
constexpr TextView kAddHasBackspace = u"追加する文字にバックスペースは使えません。";
constexpr TextView kTemplateHasBackspace = u"上部テキストにバックスペースは使えません。";
constexpr TextView kNoDigit = u"半角数字が見つかりませんでした。";
constexpr TextView kMinusBetweenDigits =
    u"マイナス記号が数字と数字の間にあります、計算式の計算は行いませんがよろしいですか？。";
constexpr TextView kOnlyDigitsAndLineBreaks = u"半角数字と改行以外が見つかりませんでした。";
constexpr TextView kLeadingZero =
    u"「01」のように0から始まる数値があります、インクリメントまたはデクリメントする場合左側の0は省略されます"
    u"、"
    u"数字の前に「001」の様にする場合はFormatを変更してください、このまま処理を行いますか？";
constexpr TextView kNumberTooLarge = u"数値の最大値を超えました。";
constexpr TextView kFirstNumberMissing = u"半角数字は見つかりませんでした。";
constexpr TextView kLaterNumberMissing = u"個目以降の半角数字は見つかりませんでした。";

struct AddQuestion {
    TextView add;
    TextView question;
};

// An add string that is one blank or one line break is more likely a slip than a choice.
constexpr AddQuestion kAddQuestions[] = {
    {u" ", u"追加する文字が半角スペースですがよろしいですか？"},
    {u"\u3000", u"追加する文字が全角スペースですがよろしいですか？"},
    {u"\t", u"追加する文字がタブですがよろしいですか？"},
    {u"\r\n", u"追加する文字が改行(CrLf)ですがよろしいですか？"},
    {u"\n", u"追加する文字が改行のラインフィード(Lf)ですがよろしいですか？"},
    {u"\r", u"追加する文字が改行のキャリッジリターン(Cr)ですがよろしいですか？"},
};

enum class AddSide { None, Left, Right };

// A number of the working template: [begin, end), where `end` is the character that ended it.
struct Number {
    std::size_t begin;
    std::size_t end;
};

// A ticked slot: its number, the signed step from copy to copy, its padding and current value.
struct Slot {
    int index;
    std::int64_t delta;
    std::size_t zeros;
    Currency value;
    Currency deltaAmount = Currency::fromWhole(delta);
};

Text decimal(int v) {
    const std::string digits = std::to_string(v);
    return Text(digits.begin(), digits.end());
}

bool confirmed(std::optional<Answer> answer) {
    return answer == Answer::Yes;
}

bool isNonZeroDigit(char16_t c) {
    return c >= u'1' && c <= u'9';
}

// A "-" joins the number after it (as its sign, or inside it as in "5-3") when a digit follows
// and it does not itself follow a "-". Any other "-" is an ordinary character, which ends a
// number like any other.
bool joinsNumber(TextView t, std::size_t j) {
    return j + 1 < t.size() && isHalfDigit(t[j + 1]) && (j == 0 || t[j - 1] != u'-');
}

// The numbers of the template from its start, up to `wanted` of them; nothing when the run was
// stopped. The template ends with Lf, so every number is ended by some character.
std::optional<std::vector<Number>> scanNumbers(TextView t, std::size_t wanted, RunContext& ctx) {
    std::vector<Number> numbers;
    constexpr std::size_t kNone = TextView::npos;
    std::size_t begin = kNone;
    for (std::size_t j = 0; j < t.size() && numbers.size() < wanted; ++j) {
        if (ctx.poll()) return std::nullopt;
        if (isHalfDigit(t[j]) || (t[j] == u'-' && joinsNumber(t, j))) {
            if (begin == kNone) begin = j;
        } else if (begin != kNone) {
            numbers.push_back({begin, j});
            begin = kNone;
        }
    }
    return numbers;
}

// A number of 19 or more characters that starts with 92 to 99 has a message of its own; any other
// number outside the currency range is a run-time error when its value is read.
bool tooLarge(TextView t, Number n) {
    if (n.end - n.begin < 19 || !isHalfDigit(t[n.begin]) || !isHalfDigit(t[n.begin + 1])) return false;
    return (t[n.begin] - u'0') * 10 + (t[n.begin + 1] - u'0') > 91;
}

// Whether a run of "0" that does not continue a digit 1-9 stands in front of a digit 1-9 ("01",
// "007", "-05", the "03" of "5-03"; not "10", "105", "0" or "00").
bool hasLeadingZero(TextView t, Number n) {
    char16_t before = n.begin == 0 ? u'\0' : t[n.begin - 1];
    bool runIsLeading = false;
    for (std::size_t q = n.begin; q < n.end; ++q) {
        const char16_t c = t[q];
        if (c == u'0' && before != u'0') runIsLeading = !isNonZeroDigit(before);
        if (isNonZeroDigit(c) && before == u'0' && runIsLeading) return true;
        before = c;
    }
    return false;
}

// The value of a number: its sign and the digits up to the first inner "-" ("5-3" is 5).
Currency valueOf(TextView t, Number n) {
    std::size_t q = n.begin;
    const bool negative = t[q] == u'-';
    if (negative) ++q;
    std::int64_t whole = 0;
    for (; q < n.end && isHalfDigit(t[q]); ++q) {
        whole = whole * 10 + (t[q] - u'0');
        if (whole > kMaxWhole) throw RunTimeError("number outside the currency range");
    }
    return Currency::fromWhole(negative ? -whole : whole);
}

// The loop count as its input rule leaves it: 1 to 10 digits, not 0.
std::int64_t loopCount(const Text& text) {
    if (text.empty() || text.size() > 10) throw RunTimeError("not a loop count");
    std::int64_t n = 0;
    for (char16_t c : text) {
        if (!isHalfDigit(c)) throw RunTimeError("not a loop count");
        n = n * 10 + (c - u'0');
    }
    if (n == 0) throw RunTimeError("not a loop count");
    return n;
}

// A step: its input rule compares the text as a string with "1" and "999", so "5000" and "1.5"
// pass and "0" does not; the numeric value is then held in 16 bits.
std::int16_t stepValue(const Text& text) {
    if (text < u"1" || text > u"999") throw RunTimeError("not a step");
    return toWhole<std::int16_t>(numericValue(text));
}

// Appends a whole value with at least `zeros` digits, the sign in front of the padding.
void appendFormatted(Text& out, Currency value, std::size_t zeros) {
    const std::int64_t whole = value.scaled() / Currency::kScale;
    std::uint64_t magnitude =
        whole < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(whole) : static_cast<std::uint64_t>(whole);
    std::array<char16_t, 24> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (whole < 0) out.push_back(u'-');
    if (zeros > count) out.append(zeros - count, u'0');
    while (count > 0)
        out.push_back(digits[--count]);
}

// Saturating sums and products: anything beyond the output limit is simply too long.
std::uint64_t plus(std::uint64_t a, std::uint64_t b) {
    std::uint64_t r = 0;
    return __builtin_add_overflow(a, b, &r) ? std::numeric_limits<std::uint64_t>::max() : r;
}
std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    std::uint64_t r = 0;
    return __builtin_mul_overflow(a, b, &r) ? std::numeric_limits<std::uint64_t>::max() : r;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    return a / b - (a % b < 0 ? 1 : 0);
}
std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {  // b > 0
    return a / b + (a % b > 0 ? 1 : 0);
}

// How many of the `loops` values first, first + delta, … lie within lo..hi.
std::int64_t countWithin(std::int64_t first, std::int64_t delta, std::int64_t loops, std::int64_t lo,
                         std::int64_t hi) {
    if (delta == 0) return lo <= first && first <= hi ? loops : 0;
    std::int64_t kMin = 0;
    std::int64_t kMax = 0;
    if (delta > 0) {
        kMin = ceilDiv(lo - first, delta);
        kMax = floorDiv(hi - first, delta);
    } else {
        kMin = ceilDiv(first - hi, -delta);
        kMax = floorDiv(first - lo, -delta);
    }
    kMin = std::max<std::int64_t>(kMin, 0);
    kMax = std::min(kMax, loops - 1);
    return kMax >= kMin ? kMax - kMin + 1 : 0;
}

// The characters a slot writes over all copies. Its values form an arithmetic sequence, so they
// are counted per digit count and sign rather than one by one. The last value must fit the
// currency type (the sequence is monotonic, so then every value does).
std::uint64_t writtenLength(const Slot& slot, std::int64_t loops) {
    const std::int64_t delta = slot.delta;
    // Throws when the last value does not fit, as the run would on the way to it.
    [[maybe_unused]] const Currency last = slot.value + slot.deltaAmount * (loops - 1);
    const std::int64_t first = slot.value.scaled() / Currency::kScale;
    std::uint64_t total = 0;
    std::int64_t low = 0;
    std::int64_t high = 9;
    for (int digits = 1; digits <= kMaxWholeDigits; ++digits) {
        const std::uint64_t width = std::max<std::uint64_t>(slot.zeros, static_cast<std::uint64_t>(digits));
        const auto positive = static_cast<std::uint64_t>(countWithin(first, delta, loops, low, high));
        const auto negative = static_cast<std::uint64_t>(
            countWithin(first, delta, loops, -high, std::min<std::int64_t>(-low, -1)));
        total = plus(total, plus(times(positive, width), times(negative, width + 1)));
        low = high + 1;
        high = high * 10 + 9;
    }
    return total;
}

}  // namespace

std::optional<Text> GenerateLoop(TextView upper, const LoopOptions& o, RunContext& ctx) {
    // The ticked slots.
    std::vector<int> ticked;
    for (int i = 0; i < kSlotCount; ++i)
        if (o.slots[static_cast<std::size_t>(i)].used) ticked.push_back(i);
    if (ticked.empty()) {
        ctx.inform(kNoSlotTicked);
        return std::nullopt;
    }

    // The add string.
    AddSide side = AddSide::None;
    Text add;
    if (o.addBeside) {
        side = o.addSide == Side::Left ? AddSide::Left : AddSide::Right;
        const Text& text = o.add;
        if (text.size() > kMaxAddLength) throw RunTimeError("add string too long");
        for (const AddQuestion& q : kAddQuestions) {
            if (text == q.add && !confirmed(ctx.ask(q.question))) return std::nullopt;
        }
        for (char16_t c : text) {
            if (ctx.poll()) return std::nullopt;
            if (isHalfDigit(c) || c == u'-') {
                ctx.inform(kAddHasDigitOrMinus);
                return std::nullopt;
            }
        }
        if (text.find(kBs) != Text::npos) {
            ctx.inform(kAddHasBackspace);
            return std::nullopt;
        }
        // The add string goes into a result whose line breaks are all CrLf: a CrLf in it must
        // stay one CrLf.
        add = withLineBreaks(text, kCrLf);
    }

    // The working template.
    Text t = normalizeLineBreaks(upper);
    if (t.find(kBs) != Text::npos) {
        ctx.inform(kTemplateHasBackspace);
        return std::nullopt;
    }
    const bool appendedLf = t.empty() || t.back() != kLf;
    if (appendedLf) t.push_back(kLf);
    if (std::none_of(t.begin(), t.end(), isHalfDigit)) {
        ctx.inform(kNoDigit);
        return std::nullopt;
    }
    bool minusBetweenDigits = false;
    for (std::size_t j = 0; j + 2 < t.size() && !minusBetweenDigits; ++j)
        minusBetweenDigits = isHalfDigit(t[j]) && t[j + 1] == u'-' && isHalfDigit(t[j + 2]);
    if (minusBetweenDigits && !confirmed(ctx.ask(kMinusBetweenDigits))) return std::nullopt;
    bool otherCharacter = false;
    for (std::size_t j = 0; j < t.size() && !otherCharacter; ++j) {
        if (ctx.poll()) return std::nullopt;
        otherCharacter = !isHalfDigit(t[j]) && t[j] != kLf;
    }
    if (!otherCharacter) {
        ctx.inform(kOnlyDigitsAndLineBreaks);
        return std::nullopt;
    }

    // The template's structure does not change from copy to copy, only the texts of the numbers
    // the slots act on: it is scanned once, and every copy is written from its pieces and the
    // slots' values. (Reading each copy back instead would lose the sign of a negative number
    // written right after a "-" that is no sign, as in "a--5" counted down.)
    const std::optional<std::vector<Number>> scanned =
        scanNumbers(t, static_cast<std::size_t>(ticked.back()) + 1, ctx);
    if (!scanned) return std::nullopt;
    const std::vector<Number>& numbers = *scanned;

    // Leading zeros are lost when a number is counted, unless its slot pads it: ask only about
    // numbers that are counted without padding.
    bool unpaddedLeadingZero = false;
    for (int i : ticked) {
        const auto k = static_cast<std::size_t>(i);
        if (k < numbers.size() && hasLeadingZero(t, numbers[k]) && o.slots[k].width < 2)
            unpaddedLeadingZero = true;
    }
    if (unpaddedLeadingZero && !confirmed(ctx.ask(kLeadingZero))) return std::nullopt;

    // Counts and steps (every slot's step is held in 16 bits, ticked or not).
    const std::int64_t loops = loopCount(o.loops);
    std::array<std::int16_t, kSlotCount> steps{};
    for (int i = 0; i < kSlotCount; ++i)
        steps[static_cast<std::size_t>(i)] = stepValue(o.slots[static_cast<std::size_t>(i)].step);

    // The first copy: each slot finds its number, in ascending order; every number it passes on
    // the way must be within the limits.
    std::vector<Slot> slots;
    std::size_t checked = 0;
    for (int i : ticked) {
        const auto k = static_cast<std::size_t>(i);
        for (; checked < std::min(k + 1, numbers.size()); ++checked) {
            if (tooLarge(t, numbers[checked])) {
                ctx.inform(kNumberTooLarge);
                return std::nullopt;
            }
        }
        if (k >= numbers.size()) {
            ctx.inform(i == 0 ? Text(kFirstNumberMissing) : decimal(i + 1) + Text(kLaterNumberMissing));
            return std::nullopt;
        }
        const bool increment = o.slots[k].direction == Direction::Increment;
        slots.push_back({i, increment ? steps[k] : -std::int64_t{steps[k]},
                         static_cast<std::size_t>(o.slots[k].width), valueOf(t, numbers[k])});
    }

    // The fixed pieces between the numbers, already in the result's form (CrLf), each with the
    // add string on its side of the number.
    std::vector<Text> pieces;
    std::size_t from = 0;
    for (std::size_t s = 0; s <= slots.size(); ++s) {
        const std::size_t to =
            s < slots.size() ? numbers[static_cast<std::size_t>(slots[s].index)].begin : t.size();
        Text piece = side == AddSide::Right && s > 0 ? add : Text();
        piece += lfToCrLf(TextView(t).substr(from, to - from));
        if (side == AddSide::Left && s < slots.size()) piece += add;
        pieces.push_back(std::move(piece));
        if (s < slots.size()) from = numbers[static_cast<std::size_t>(slots[s].index)].end;
    }

    // The result's exact length, known before anything is built.
    std::uint64_t length = 0;
    for (const Text& piece : pieces)
        length = plus(length, times(piece.size(), static_cast<std::uint64_t>(loops)));
    for (const Slot& slot : slots)
        length = plus(length, writtenLength(slot, loops));
    if (appendedLf) length -= kCrLf.size();
    if (length > kLoopOutputLimit) throw RunTimeError("result too long");
    ctx.checkResultLength(length);

    Text out;
    out.reserve(static_cast<std::size_t>(length) + kCrLf.size());
    for (std::int64_t n = 1; n <= loops; ++n) {
        if (ctx.poll()) return std::nullopt;
        for (std::size_t s = 0; s < slots.size(); ++s) {
            Slot& slot = slots[s];
            if (n > 1) slot.value = slot.value + slot.deltaAmount;
            out += pieces[s];
            appendFormatted(out, slot.value, slot.zeros);
        }
        out += pieces.back();
    }
    // Every copy ends with the template's final line break; the last one keeps it only when the
    // upper text had it.
    if (appendedLf) out.resize(out.size() - kCrLf.size());
    return out;
}

namespace {

std::vector<Param<LoopOptions>> loopParams() {
    std::vector<Param<LoopOptions>> params = {
        numberTextParam(&LoopOptions::loops, "loops", 1, 2147483647, u"5")
            .alias("Text6")
            .purpose(u"ループ回数", "Loop count")};
    params.reserve(1 + 4 * kLoopSlotCount + 3);
    // Each slot's options, named by its number as the captions count: "1回目の数値" is slot 1.
    for (int i = 0; i < kLoopSlotCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const std::string n = std::to_string(i + 1);
        const Text nth = decimalText(i + 1) + u"回目の数値";
        params.push_back(checkParam<LoopOptions>(
                             [k](auto& o) -> auto& { return o.slots[k].used; }, "use-" + n)
                             .alias(arrayName("Check1", i))
                             .purpose(nth + u"を増減する", "Count number " + n));
        params.push_back(listParam<LoopOptions>(
                             [k](auto& o) -> auto& { return o.slots[k].direction; }, "direction-" + n,
                             directionChoices(), OtherText::IsLastEntry)
                             .alias(arrayName("ComboId", i))
                             .purpose(nth + u"の増減", "Direction of number " + n));
        params.push_back(numberTextParam<LoopOptions>(
                             [k](auto& o) -> auto& { return o.slots[k].step; }, "step-" + n, 1, 999, u"1")
                             .alias(arrayName("ComboStep", i))
                             .purpose(nth + u"の連数ステップ", "Step of number " + n));
        params.push_back(
            listParam<LoopOptions>(
                [k](auto& o) -> auto& { return o.slots[k].width; }, "digits-" + n, zeroFormatChoices())
                .alias(arrayName("ComboFm", i))
                .purpose(nth + u"の桁数", "Digits of number " + n));
    }
    params.push_back(
        checkParam(&LoopOptions::addBeside, "add")
            .alias("Check4")
            .purpose(u"ループ前に数字の横に文字を追加する", "Add a text beside the numbers before the loop"));
    params.push_back(listParam(&LoopOptions::addSide, "add-side", sideChoices(), OtherText::IsLastEntry)
                         .alias("Combo58")
                         .purpose(u"ループ前に追加する側", "Side to add to before the loop"));
    params.push_back(textParam(&LoopOptions::add, "add-text", kSeveralLines)
                         .alias("Text30")
                         .purpose(u"ループ前に追加する文字", "Text to add before the loop"));
    return params;
}

}  // namespace

constinit const LazyOperation kGenerateLoop(26, "loop", [] {
    return declare<LoopOptions>({
        .info =
            {.tab = Tab::Loop,
             .selector = "Check3",
             .description =
                 "Repeats the text as a template, counting up to seventeen of its numbers up or down",
             .japaneseDescription =
                 u"テキストをひな形として繰り返し、その中の数値（最大17個）を増やしたり減らしたりします。",
             .caption = u"個々の数字をインクリメントまたはデクリメントしてループ追加する(&E)",
             .example = {.input = u"No.1",
                         .options = {"--loops=3", "--use-1"},
                         .output = u"No.1\r\nNo.2\r\nNo.3"},
             .errorMessage = kLoopError},
        .params = loopParams(),
        .preCheck = [](const LoopOptions& o) -> std::optional<Text> {
            if (o.loops.empty()) return Text(u"ループ回数を入力して下さい。");
            return std::nullopt;
        },
        .run = GenerateLoop,
    });
});

}  // namespace kivo
