#include "ops/set5/byte_fold.h"

#include "ops/line_walk.h"
#include "text/cp932.h"
#include "text/surrogates.h"

namespace kivo {

std::optional<Text> BreakLinesByBytes(TextView upper, const ByteFoldOptions& options, RunContext& ctx) {
    const LineText text(upper);
    const auto limit = static_cast<std::size_t>(options.bytes);
    return text.eachLine(
        ctx,
        [&](TextView line, LineWriter& out) {
            std::size_t pieceStart = 0;
            std::size_t pieceBytes = 0;
            for (std::size_t i = 0; i < line.size();) {
                // A surrogate pair is one character: each of its halves counts as the byte of
                // its "?", as the byte count has it.
                const std::size_t units = pairStartsAt(line, i) ? 2 : 1;
                std::size_t width = 0;
                for (std::size_t k = i; k < i + units; ++k)
                    width += static_cast<std::size_t>(cp932::byteLength(line[k]));
                if (pieceBytes > 0 && pieceBytes + width > limit) {
                    out.addLine(line.substr(pieceStart, i - pieceStart));
                    pieceStart = i;
                    pieceBytes = 0;
                }
                pieceBytes += width;
                i += units;
            }
            out.addLine(line.substr(pieceStart));
        },
        text.raw().size() * 2 + 2);
}

const OperationDeclaration kBreakLinesByBytes = declare<ByteFoldOptions>({
    .info =
        {.code = 41,
         .tab = Tab::Japanese,
         .selector = "Option5(6)",
         .name = "fold-bytes",
         .description =
             "Cuts every line into pieces of at most a number of Shift-JIS bytes, never inside a character",
         .caption = u"1行を…バイト以内毎に改行する(全角文字は分けない)(&K)",
         .example = {.input = u"あいうえおかきくけこ",
                     .options = {"--bytes=8"},
                     .output = u"あいうえ\r\nおかきく\r\nけこ"},
         .streamsResult = true},
    .params = {countParam(&ByteFoldOptions::bytes, "bytes", 1, 999, 80).alias("Combo65")},
    .run = BreakLinesByBytes,
});

}  // namespace kivo
