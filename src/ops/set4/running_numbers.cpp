#include "ops/set4/running_numbers.h"

#include <algorithm>

#include "ops/set4/set4_values.h"
#include "text/characters.h"
#include "text/errors.h"
#include "text/numeric.h"

namespace kivo {
namespace {

using set4::Direction;

constexpr TextView kRightEndQuestion =
    u"文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定しますか？";

struct Insertion {
    Side side;
    std::uint8_t position;  // p: the number goes after the p-th character from the side
};

std::optional<Text> numberLines(TextView s, const Insertion& at, Direction direction, const Params& params,
                                RunContext& ctx) {
    const std::int16_t step = checked<std::int16_t>(countValue(params, "Combo23", 1, 999));
    Currency value = set4::digitsValue(params, "Text38");
    const std::uint8_t gap = set4::byteCount(params, "Combo26", 0);
    const int width = set4::zeroFormatWidth(params, "Combo25");
    const std::uint8_t firstLine = set4::byteCount(params, "Combo27", 1);

    LineReader lines(s);
    // Room for a CrLf and a number on every line, the numbers taken as long as the first one or
    // as the line count, whichever is longer: a result that outgrows it is reallocated once.
    const std::size_t lineTotal = lineCount(s);
    const std::size_t numberLength = std::max(set4::numberText(value, width).size(),
                                              set4::decimalText(static_cast<std::int64_t>(lineTotal)).size());
    LineWriter out(s.size() + lineTotal * (1 + numberLength) + 1);
    TextView line;
    for (int i = 1; i < firstLine && !ctx.poll() && lines.next(line); ++i)
        out.addLine(line);
    if (ctx.cancelled()) return std::nullopt;

    bool negativeAccepted = false;
    int counter = 0;
    while (!ctx.poll() && lines.next(line)) {
        if (gap > 0) {
            ++counter;
            if (counter > 1 && counter <= gap + 1) {
                out.addLine(line);
                continue;
            }
            if (counter > gap + 1) counter = 1;
        }
        const auto length = static_cast<std::int64_t>(line.size());
        // The insertion point is an 8-bit quantity on both sides.
        const std::uint8_t q =
            at.side == Side::Left ? at.position : checked<std::uint8_t>(length - (at.position - 1));
        if (q > length) throw RunTimeError("line shorter than the position");
        const Text number = set4::numberText(value, width);
        out.add(line.substr(0, q));
        out.add(number);
        out.add(line.substr(q));
        out.endLine();

        if (direction == Direction::Increment) {
            value = value + Currency::fromWhole(step);
        } else {
            value = value - Currency::fromWhole(step);
            if (!negativeAccepted && value <= Currency()) {
                const std::optional<Answer> answer =
                    ctx.ask(u"デクリメントする値が「 " + set4::numberText(value, 1) +
                            u" 」になりました、マイナスの値をカウントし続けますか？");
                if (answer != Answer::Yes) return std::nullopt;
                negativeAccepted = true;
            }
        }
        if (ctx.cancelled()) break;
    }
    if (ctx.cancelled()) return std::nullopt;
    return out.take(lines.appendedLf());
}

}  // namespace

std::optional<Text> InsertRunningNumbers(TextView upper, const Params& params, RunContext& ctx) {
    // Until the direction has been read, a failure reports with the decrement message.
    return runFramed(ctx, kRunningNumbersDecrementError, [&]() -> std::optional<Text> {
        const NormalizedText normalized(upper);
        const TextView s = normalized;
        if (normalized.hasConsecutiveLineBreaks()) {
            ctx.inform(kConsecutiveLineBreaks);
            return std::nullopt;
        }
        Insertion at{set4::strictSide(params, "Combo24"), set4::byteCount(params, "Combo21", 0)};
        if (at.position == 0 && at.side == Side::Right) {
            if (ctx.ask(kRightEndQuestion) != Answer::Yes) return std::nullopt;
            ctx.assign("Combo21", u"1");
            at.position = 1;
        }
        const Direction direction = set4::directionOf(params, "Combo22");
        return runFramed(
            ctx,
            direction == Direction::Increment ? kRunningNumbersIncrementError : kRunningNumbersDecrementError,
            [&] { return numberLines(s, at, direction, params, ctx); });
    });
}

}  // namespace kivo
