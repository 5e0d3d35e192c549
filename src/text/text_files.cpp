#include "text/text_files.h"

namespace kivo {

std::optional<OpenedText> decodeTextFile(std::string_view bytes, std::optional<TextEncoding> named,
                                         const std::function<void()>& betweenBlocks) {
    bool lossy = false;
    std::optional<DecodedText> decoded;
    if (named) {
        decoded = decodeTextBytesAs(bytes, *named);
        lossy = !decoded || (*named == TextEncoding::Cp932 && cp932ChangeOnWriting(bytes));
        if (!decoded) decoded = decodeTextBytesLeniently(bytes, *named);
    } else {
        decoded = decodeTextBytes(bytes, AsciiAs::Cp932, betweenBlocks);
    }
    if (!decoded) return std::nullopt;
    const LineBreak lineBreak = lineBreakOf(decoded->text);
    return OpenedText{std::move(decoded->text), {decoded->encoding, lineBreak}, decoded->guessed, lossy};
}

LineBreak lineBreakOf(TextView text) {
    std::size_t crLf = 0;
    std::size_t lf = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n') continue;
        ++(i > 0 && text[i - 1] == u'\r' ? crLf : lf);
    }
    return lf > crLf ? LineBreak::Lf : LineBreak::CrLf;
}

std::string encodeTextFile(TextView text, const FileFormat& format) {
    const TextView lineBreak = format.lineBreak == LineBreak::Lf ? TextView(u"\n") : TextView(u"\r\n");
    Text written;
    written.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        if (text[i] == u'\n') {
            written.append(lineBreak);
        } else {
            written.push_back(text[i]);
        }
    }
    if (!text.ends_with(u'\n') && !text.ends_with(u'\r')) written.append(lineBreak);
    return encodeTextBytes(written, format.encoding);
}

}  // namespace kivo
