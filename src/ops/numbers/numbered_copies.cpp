#include "ops/numbers/numbered_copies.h"

#include <limits>

#include "ops/numbers/number_values.h"
#include "text/characters.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

// The largest whole number a currency value holds.
constexpr std::int64_t kLargestWhole = std::numeric_limits<std::int64_t>::max() / Currency::kScale;

struct DigitRun {
    std::size_t begin = 0, end = 0;
};

// The k-th run of half-width digits counted from `side`, scanning one character per poll; nothing
// when there are fewer runs (or the scan was stopped).
std::optional<DigitRun> findNumber(TextView t, Side side, int k, RunContext& ctx) {
    int seen = 0;
    const std::size_t n = t.size();
    for (std::size_t step = 0; step < n; ++step) {
        if (ctx.poll()) return std::nullopt;
        const std::size_t i = side == Side::Left ? step : n - 1 - step;
        const bool starts =
            side == Side::Left ? i == 0 || !isHalfDigit(t[i - 1]) : i + 1 == n || !isHalfDigit(t[i + 1]);
        if (!isHalfDigit(t[i]) || !starts || ++seen < k) continue;
        DigitRun run{i, i + 1};
        if (side == Side::Left) {
            while (run.end < n && isHalfDigit(t[run.end]))
                ++run.end;
        } else {
            while (run.begin > 0 && isHalfDigit(t[run.begin - 1]))
                --run.begin;
        }
        return run;
    }
    return std::nullopt;
}

// The whole run counts, however long; a value beyond the currency range is a run-time error.
std::int64_t runValue(TextView digits) {
    std::int64_t v = 0;
    for (char16_t c : digits) {
        v = v * 10 + (c - u'0');
        if (v > kLargestWhole) throw RunTimeError("number too large");
    }
    return v;
}

// How long the result grows, known before it is built: the numbered copies carry their numbers,
// the longest of which is the first or the last; the others are the template as typed. Beyond
// the range of 64 bits it is far beyond any budget.
std::uint64_t resultLengthBound(std::size_t templateLength, std::size_t fixedLength, std::int64_t copies,
                                int gap, std::int64_t first, std::int64_t step, int width) {
    constexpr std::uint64_t kTooLong = std::numeric_limits<std::uint64_t>::max();
    const std::int64_t numbered = (copies + gap) / (gap + 1);
    std::int64_t last = 0;
    if (__builtin_mul_overflow(step, numbered - 1, &last) || __builtin_add_overflow(first, last, &last))
        return kTooLong;
    const std::int64_t largest = std::max(first < 0 ? -first : first, last < 0 ? -last : last);
    const std::size_t digits =
        std::max<std::size_t>(static_cast<std::size_t>(width), decimalText(largest).size()) +
        (first < 0 || last < 0 ? 1 : 0);
    std::uint64_t length = 0;
    const auto numberedCopy = static_cast<std::uint64_t>(fixedLength + digits + 2);
    const auto plainCopy = static_cast<std::uint64_t>(templateLength + 2);
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(numbered), numberedCopy, &length)) return kTooLong;
    std::uint64_t plain = 0;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(copies - numbered), plainCopy, &plain) ||
        __builtin_add_overflow(length, plain, &length))
        return kTooLong;
    return length;
}

bool onlyDigits(TextView t) {
    if (t.empty()) return false;
    for (char16_t c : t)
        if (!isHalfDigit(c)) return false;
    return true;
}

// The first kind of sign found, looked at in its first occurrence only: right after a digit it
// looks like a formula, which the copies do not evaluate.
bool signAccepted(TextView t, RunContext& ctx) {
    for (const char16_t sign : {u'-', u'+', u'*', u'/'}) {
        const std::size_t at = t.find(sign);
        if (at == TextView::npos) continue;
        if (at == 0 || at + 1 == t.size() || !isHalfDigit(t[at - 1])) return true;
        const std::optional<Answer> answer = ctx.ask(
            u"半角数字の前に「 " + Text(1, sign) + u" 」記号があります、数式は使えませんがよろしいですか？");
        // While closing nothing is asked, and the run goes on as after Yes.
        return !answer || *answer == Answer::Yes;
    }
    return true;
}

}  // namespace

std::optional<Text> AddLinesAfterNthNumber(TextView upper, const NumberedCopiesOptions& options,
                                           RunContext& ctx) {
    const std::uint8_t k = checked<std::uint8_t>(options.number);
    const Currency copiesValue = numbers::digitsValue(options.copies);
    const Currency step = Currency::fromWhole(options.step);
    const std::uint8_t gap = checked<std::uint8_t>(options.gap);
    const Side side = options.side;
    const Direction direction = options.direction.value;
    const int width = options.width;
    const std::int64_t copies = copiesValue.scaled() / Currency::kScale;
    if (copies < 1) throw RunTimeError("no copies");
    const NormalizedText normalized(upper);
    const TextView t = normalized;

    int lineBreaks = 0;
    for (std::size_t at = findUnit(t, kLf); at != Text::npos && lineBreaks <= 1000;
         at = findUnit(t, kLf, at + 1)) {
        if (ctx.poll()) return std::nullopt;
        ++lineBreaks;
    }
    if (lineBreaks > 1000) {
        ctx.inform(u"ループする文字列の改行が1000を超えています。");
        return std::nullopt;
    }
    if (!signAccepted(t, ctx)) return std::nullopt;

    std::optional<DigitRun> run = findNumber(t, side, k, ctx);
    if (ctx.cancelled()) return std::nullopt;
    std::int64_t value = run ? runValue(TextView(t).substr(run->begin, run->end - run->begin)) : 0;
    // A template of digits alone is number 1 from the left even when it spells 0.
    const bool wholeTemplate = side == Side::Left && k == 1 && onlyDigits(t);
    if (!run || (value == 0 && !wholeTemplate)) {
        ctx.inform(decimalText(k) + u"番目の半角数字が見つかりませんでした。");
        return std::nullopt;
    }
    // A numbered copy writes its line breaks as CrLf like the breaks between copies, so that
    // one result does not mix line endings; unchanged copies keep the text as typed.
    const Text before = lfToCrLf(TextView(t).substr(0, run->begin));
    const Text after = lfToCrLf(TextView(t).substr(run->end));

    ctx.checkResultLength(resultLengthBound(upper.size(), before.size() + after.size(), copies, gap, value,
                                            direction == Direction::Increment ? options.step : -options.step,
                                            width));

    Currency v = Currency::fromWhole(value);
    Text out;
    int gapCounter = 0;
    for (std::int64_t i = 1; i <= copies; ++i) {
        if (ctx.poll()) return std::nullopt;
        if (gap > 0 && ++gapCounter != 1) {
            if (gapCounter > gap) gapCounter = 0;
            out.append(upper);
            out.append(kCrLf);
            continue;
        }
        out.append(before);
        out.append(numbers::numberText(v, width));
        out.append(after);
        out.append(kCrLf);
        v = direction == Direction::Increment ? v + step : v - step;
    }
    out.resize(out.size() - 2);
    return out;
}

constinit const LazyOperation kAddLinesAfterNthNumber(29, "numbered-copies", [] {
    return declare<NumberedCopiesOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(2)",
                 .description = "Copies the text many times, counting one of its numbers up or down",
                 .japaneseDescription =
                     u"テキストを指定した行数分追加し、見つけた数字を1回ごとに増やすか減らします。",
                 .caption = u"…から…番目に見つけた数字を…後改行して…行追加する(&G)",
                 .example = {.input = u"item1",
                             .options = {"--copies=3", "--digits=1"},
                             .output = u"item1\r\nitem2\r\nitem3"}},
        .params = {listParam(&NumberedCopiesOptions::direction, "direction", directionChoices())
                       .alias("Combo28")
                       .purpose(u"増減", "Count up or down"),
                   countParam(&NumberedCopiesOptions::number, "number", 1, 999)
                       .alias("Combo29")
                       .purpose(u"数字の順番", "Which number"),
                   listParam(&NumberedCopiesOptions::side, "side", sideChoices())
                       .alias("Combo30")
                       .purpose(u"数える側", "Side to count from"),
                   numberTextParam(&NumberedCopiesOptions::copies, "copies", 1, 2147483647, u"10")
                       .alias("Text41")
                       .purpose(u"追加する行数", "Number of copies"),
                   countParam(&NumberedCopiesOptions::step, "step", 1, 999)
                       .alias("Combo35")
                       .purpose(u"連番のステップ", "Step"),
                   listParam(&NumberedCopiesOptions::width, "digits", zeroFormatChoices())
                       .alias("Combo36")
                       .purpose(u"連番の桁数", "Digits")
                       .withDefault(u"000"),
                   countParam(&NumberedCopiesOptions::gap, "gap", 0, 999)
                       .alias("Combo37")
                       .purpose(u"追加の行間隔", "Lines between the copies")},
        .preCheck = [](const NumberedCopiesOptions& o) -> std::optional<Text> {
            if (numericValue(o.copies) >= 2) return std::nullopt;
            return o.direction.text + u"～し改行して追加する行数を「2」以上で入力して下さい。";
        },
        .run = AddLinesAfterNthNumber,
    });
});

}  // namespace kivo
