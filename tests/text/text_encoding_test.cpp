#include "text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo {
namespace {

struct Case {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    Text text;
};

std::string repeated(const std::string& piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i)
        s += piece;
    return s;
}

Text repeated(const Text& piece, std::size_t times) {
    Text s;
    for (std::size_t i = 0; i < times; ++i)
        s += piece;
    return s;
}

TEST(TextEncoding, PrefersCodePage932UnlessUtf8IsClearlyBetter) {
    const Text japanese = u"漢字とかなの行、ｶﾀｶﾅ、全角ＡＢＣ１２３\r\n";
    const Text halfWidthKana = u"ﾔﾏﾀﾞ ﾀﾛｳ ﾃｽﾄ ﾃﾞｰﾀ\r\n";
    const Text european = u"Grüße aus Köln, Müller, Jäger\r\n";
    const Case cases[] = {
        {"empty", "", TextEncoding::Cp932, u""},
        {"ASCII", "ab\r\ncd", TextEncoding::Cp932, u"ab\r\ncd"},
        {"a tilde and a backslash stay", "~\\", TextEncoding::Cp932, u"~\\"},
        // Valid in both: "ý" in UTF-8, "ﾃｽ" in code page 932.
        {"short half-width kana, also UTF-8", "\xC3\xBD\r\n", TextEncoding::Cp932, u"ﾃｽ\r\n"},
        {"short accented letter, also code page 932", "caf\xC3\xA9", TextEncoding::Cp932, u"cafﾃｩ"},
        {"code page 932 full width", "\x91\x53\x8A\x70", TextEncoding::Cp932, u"全角"},
        {"code page 932 one character", "\x82\xA0", TextEncoding::Cp932, u"あ"},
        {"code page 932 half-width kana", "\xB6\xC5", TextEncoding::Cp932, u"ｶﾅ"},
        {"undecodable byte",
         "a\x80"
         "b",
         TextEncoding::Cp932, u"a\uFFFDb"},
        {"UTF-8 one Japanese character", "\xE3\x81\x82", TextEncoding::Utf8, u"あ"},
        {"UTF-8 half-width kana", "\xEF\xBD\xB6", TextEncoding::Utf8, u"ｶ"},
        {"UTF-8 Japanese and an emoji", "全角😀", TextEncoding::Utf8, u"全角😀"},
        {"UTF-8 with no code page 932 reading", "\xC3\xA0", TextEncoding::Utf8, u"à"},
        {"UTF-8 with several multibyte characters", "Grüße aus Köln, Müller", TextEncoding::Utf8,
         u"Grüße aus Köln, Müller"},
        {"mark",
         "\xEF\xBB\xBF"
         "ab",
         TextEncoding::Utf8WithMark, u"ab"},
        {"mark before code page 932 bytes", "\xEF\xBB\xBF\x82\xA0", TextEncoding::Utf8WithMark,
         u"\uFFFD\uFFFD"},
        {"mark before a damaged byte",
         "\xEF\xBB\xBF"
         "a\xFF",
         TextEncoding::Utf8WithMark, u"a\uFFFD"},
        {"mark before a cut sequence",
         "\xEF\xBB\xBF"
         "a\xE3\x81"
         "b\xE3",
         TextEncoding::Utf8WithMark, u"a\uFFFDb\uFFFD"},
        {"mark before an encoded surrogate", "\xEF\xBB\xBF\xED\xA0\x80", TextEncoding::Utf8WithMark,
         u"\uFFFD\uFFFD\uFFFD"},
        {"long code page 932 Japanese", repeated(cp932::encode(japanese), 2000), TextEncoding::Cp932,
         repeated(japanese, 2000)},
        {"long code page 932 half-width kana", repeated(cp932::encode(halfWidthKana), 2000),
         TextEncoding::Cp932, repeated(halfWidthKana, 2000)},
        {"long UTF-8 Japanese", repeated(utf8::encode(japanese), 2000), TextEncoding::Utf8,
         repeated(japanese, 2000)},
        {"long UTF-8 without Japanese", repeated(utf8::encode(european), 2000), TextEncoding::Utf8,
         repeated(european, 2000)},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeTextBytes(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
        EXPECT_TRUE(decoded.text == c.text) << c.name;
    }
}

// A large code page 932 text decodes a block at a time as it does whole: a block never ends
// inside a character, even where a lead byte, a damaged pair or a long run without ASCII would
// straddle a block's end.
TEST(TextEncoding, LargeCodePage932TextsDecodeInBlocksAsWhole) {
    const std::string pieces[] = {cp932::encode(u"漢字カナ"), "\x81\n", "ab\x82", cp932::encode(u"ｶﾞ"),
                                  "\r\n"};
    for (const std::size_t skew : {0, 1, 2, 3}) {
        std::string bytes(skew, 'x');
        for (std::size_t i = 0; bytes.size() < (std::size_t{9} << 20); ++i)
            bytes += pieces[i * 7 % 5];
        bytes += std::string(5 << 20, '\x88');  // no byte below 0x40 for more than a block
        int blocks = 0;
        const DecodedText inBlocks = decodeTextBytes(bytes, [&] { ++blocks; });
        EXPECT_GE(blocks, 2);
        EXPECT_EQ(inBlocks.encoding, TextEncoding::Cp932);
        EXPECT_TRUE(inBlocks.text == decodeTextBytes(bytes).text) << skew;
    }
}

}  // namespace
}  // namespace kivo
