#include "ops/numbers/running_numbers.h"

#include <algorithm>

#include "ops/line_walk.h"
#include "ops/numbers/number_values.h"
#include "text/characters.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

constexpr TextView kRightEndQuestion =
    u"文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定しますか？";

std::optional<Text> numberLines(const LineText& text, const RunningNumbersOptions& o, RunContext& ctx) {
    const std::int16_t step = checked<std::int16_t>(o.step);
    Currency value = numbers::digitsValue(o.start);
    const std::uint8_t gap = o.gap.value();
    const std::uint8_t firstLine = o.firstLine.value();
    const std::uint8_t position = o.position.value();

    // Room for a CrLf and a number on every line, the numbers taken as long as the first one or
    // as the line count, whichever is longer: a result that outgrows it is reallocated once.
    const std::size_t lineTotal = text.lineCount();
    const std::size_t numberLength = std::max(numbers::numberText(value, o.width).size(),
                                              decimalText(static_cast<long long>(lineTotal)).size());
    bool negativeAccepted = false;
    // A block of a larger text goes on from the lines before it: line m is numbered when it is the
    // first line or one gap + 1 lines after a numbered one.
    std::uint64_t lineNumber = ctx.linesBefore();
    int counter = 0;
    if (lineNumber >= firstLine) {
        const std::uint64_t sinceFirst = lineNumber - firstLine;
        counter = gap > 0 ? static_cast<int>(sinceFirst % (gap + 1u)) + 1 : 0;
        const auto numbered = static_cast<std::int64_t>(sinceFirst / (gap + 1u) + 1);
        const Currency change = Currency::fromWhole(step) * numbered;
        value = o.direction == Direction::Increment ? value + change : value - change;
    }
    return text.eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            if (++lineNumber < firstLine) {
                out.addLine(line);
                return true;
            }
            if (gap > 0) {
                ++counter;
                if (counter > 1 && counter <= gap + 1) {
                    out.addLine(line);
                    return true;
                }
                if (counter > gap + 1) counter = 1;
            }
            const auto length = static_cast<std::int64_t>(line.size());
            // The insertion point is an 8-bit quantity on both sides.
            const std::uint8_t q =
                o.side == Side::Left ? position : checked<std::uint8_t>(length - (position - 1));
            if (q > length) throw RunTimeError("line shorter than the position");
            // On the right, a position that counts back to just before the line's start (q = 0)
            // puts the number after the line.
            const std::size_t at = q == 0 && o.side == Side::Right ? line.size() : q;
            out.add(line.substr(0, at));
            out.add(numbers::numberText(value, o.width));
            out.addLine(line.substr(at));

            if (o.direction == Direction::Increment) {
                value = value + Currency::fromWhole(step);
                return true;
            }
            value = value - Currency::fromWhole(step);
            if (negativeAccepted || value > Currency()) return true;
            negativeAccepted =
                ctx.ask(u"デクリメントする値が「 " + numbers::numberText(value, 1) +
                        u" 」になりました、マイナスの値をカウントし続けますか？") == Answer::Yes;
            return negativeAccepted;
        },
        text.raw().size() + lineTotal * (1 + numberLength) + 1);
}

// Counting down asks once when the value first reaches zero, and a right side at position 0 asks
// before the run: a block would not know whether an earlier one had asked.
bool numbersBlockByBlock(const RunningNumbersOptions& o) {
    return o.direction == Direction::Increment && !(o.side == Side::Right && o.position.count() == 0);
}

// The side and the position are read before the direction: a failure there reports as a
// decrement, as does any failure of a decrement.
TextView runningNumbersError(const RunningNumbersOptions& o, const UnreadOptions& unread) {
    const bool positionRead = !unread.contains("side") && !unread.contains("position") && o.position.fits();
    const bool increment =
        positionRead && !unread.contains("direction") && o.direction == Direction::Increment;
    return increment ? kRunningNumbersIncrementError : kRunningNumbersDecrementError;
}

}  // namespace

std::optional<Text> InsertRunningNumbers(TextView upper, RunningNumbersOptions& options, RunContext& ctx) {
    const std::optional<LineText> text = LineText::refusingEmptyLines(upper, ctx);
    if (!text) return std::nullopt;
    if (options.position.count() == 0 && options.side == Side::Right) {
        if (ctx.ask(kRightEndQuestion) != Answer::Yes) return std::nullopt;
        options.position = 1;
    }
    return numberLines(*text, options, ctx);
}

constinit const LazyOperation kInsertRunningNumbers(28, "running-numbers", [] {
    return declare<RunningNumbersOptions>({
        .info = {.tab = Tab::SortsAndSeries,
                 .selector = "Option4(1)",
                 .description = "Puts running numbers into every n-th line at a position counted from a side",
                 .japaneseDescription =
                     u"指定した行から数行おきに、左または右から数えた位置へ連番を入れます。",
                 .caption = u"…行目から…行おきに…から…文字目後に…数値を入れる(&F)",
                 .example = {.input = u"a\nb\nc", .options = {"--digits=2"}, .output = u"01a\r\n02b\r\n03c"},
                 .lineLocal = true,
                 .refusesSomeLines = true,
                 .countsLines = true},
        .params = {countParam(&RunningNumbersOptions::firstLine, "first-line", 1, 999)
                       .alias("Combo27")
                       .purpose(u"開始行", "First line"),
                   countParam(&RunningNumbersOptions::gap, "gap", 0, 999)
                       .alias("Combo26")
                       .purpose(u"行間隔", "Lines between"),
                   listParam(&RunningNumbersOptions::side, "side", sideChoices())
                       .alias("Combo24")
                       .purpose(u"数える側", "Side to count from"),
                   countParam(&RunningNumbersOptions::position, "position", 0, 999)
                       .alias("Combo21")
                       .purpose(u"入れる位置", "Position"),
                   numberTextParam(&RunningNumbersOptions::start, "start", 0, 2147483647, u"1")
                       .alias("Text38")
                       .purpose(u"連番の開始数値", "First number"),
                   listParam(&RunningNumbersOptions::direction, "direction", directionChoices())
                       .alias("Combo22")
                       .purpose(u"増減", "Count up or down"),
                   countParam(&RunningNumbersOptions::step, "step", 1, 999)
                       .alias("Combo23")
                       .purpose(u"連番のステップ", "Step"),
                   listParam(&RunningNumbersOptions::width, "digits", zeroFormatChoices())
                       .alias("Combo25")
                       .purpose(u"連番の桁数", "Digits")
                       .withDefault(u"000")},
        .errorMessageOf = runningNumbersError,
        .run = InsertRunningNumbers,
        .lineLocalWith = numbersBlockByBlock,
    });
});

}  // namespace kivo
