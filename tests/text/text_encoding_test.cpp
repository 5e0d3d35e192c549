#include "text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo {
namespace {

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

constexpr auto kCp932 = TextEncoding::Cp932;
constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto kEucJp = TextEncoding::EucJp;
constexpr bool kGuessed = true;

// Detection reads bytes only in an encoding that writes them back unchanged; where several do
// alike well, it guesses code page 932 and says so; bytes no encoding reads so are no text.
TEST(TextEncoding, DetectsOnlyReadingsThatComeBack) {
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<TextEncoding> encoding;  // none: no text
        Text text = {};
        bool guessed = false;
    };
    const Text japanese = u"漢字とかなの行、ｶﾀｶﾅ、全角ＡＢＣ１２３①髙\r\n";
    const Text halfWidthKana = u"ﾔﾏﾀﾞ ﾀﾛｳ ﾃｽﾄ ﾃﾞｰﾀ\r\n";
    const Text european = u"Grüße aus Köln, Müller, Jäger\r\n";
    const std::string eucJapanese = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\n";
    const Case cases[] = {
        {"empty", "", kCp932, u""},
        {"ASCII", "ab\r\ncd", kCp932, u"ab\r\ncd"},
        {"a tilde and a backslash stay", "~\\", kCp932, u"~\\"},
        // Valid in all three: "ý" in UTF-8, "ﾃｽ" in code page 932, a kanji in EUC-JP.
        {"short half-width kana, also UTF-8", "\xC3\xBD\r\n", kCp932, u"ﾃｽ\r\n", kGuessed},
        {"short accented letter, also code page 932", "caf\xC3\xA9", kCp932, u"cafﾃｩ", kGuessed},
        {"half-width kana, also an EUC-JP kanji", "\xB6\xC5", kCp932, u"ｶﾅ", kGuessed},
        {"code page 932 full width", "\x91\x53\x8A\x70", kCp932, u"全角"},
        {"code page 932 one character", "\x82\xA0", kCp932, u"あ"},
        {"code page 932 NEC row 13", "\x87\x40\x87\x8A", kCp932, u"①㈱"},
        {"an undecodable byte",
         "a\x80"
         "b",
         std::nullopt},
        {"a NUL byte", std::string("a\0b", 3), std::nullopt},
        {"UTF-16 without a mark", std::string("a\0b\0", 4), std::nullopt},
        // The NEC-selected IBM extensions are written back as the IBM extensions' bytes.
        {"code page 932 characters with two forms", "\xED\x40", std::nullopt},
        {"UTF-8 one Japanese character", "\xE3\x81\x82", kUtf8, u"あ"},
        {"UTF-8 half-width kana", "\xEF\xBD\xB6", kUtf8, u"ｶ"},
        {"UTF-8 Japanese and an emoji", "全角😀", kUtf8, u"全角😀"},
        {"UTF-8 with no other reading", "\xC3\xA0", kUtf8, u"à"},
        {"UTF-8 with several multibyte characters", "Grüße aus Köln, Müller", kUtf8,
         u"Grüße aus Köln, Müller"},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "ab",
         TextEncoding::Utf8WithMark, u"ab"},
        {"mark before code page 932 bytes", "\xEF\xBB\xBF\x82\xA0", std::nullopt},
        {"mark before an encoded surrogate", "\xEF\xBB\xBF\xED\xA0\x80", std::nullopt},
        {"UTF-16LE", std::string("\xFF\xFE\x42\x30\x0A\x00", 6), TextEncoding::Utf16Le, u"あ\n"},
        {"UTF-16BE with a pair and a lone half", std::string("\xFE\xFF\xD8\x3D\xDE\x00\xDC\x00", 8),
         TextEncoding::Utf16Be, u"😀\xDC00"},
        {"UTF-16 of an odd length", "\xFF\xFE\x42", std::nullopt},
        {"EUC-JP with kana", eucJapanese, kEucJp, u"日本語のテキスト\n"},
        {"EUC-JP kana and JIS X 0212", "\xA4\xA2\x8F\xB0\xA1", kEucJp, u"あ丂"},
        {"long code page 932 Japanese", repeated(cp932::encode(japanese), 2000), kCp932,
         repeated(japanese, 2000)},
        {"long code page 932 half-width kana", repeated(cp932::encode(halfWidthKana), 2000), kCp932,
         repeated(halfWidthKana, 2000)},
        {"long UTF-8 Japanese", repeated(utf8::encode(japanese), 2000), kUtf8, repeated(japanese, 2000)},
        {"long UTF-8 without Japanese", repeated(utf8::encode(european), 2000), kUtf8,
         repeated(european, 2000)},
        // Clear only once the lines are taken together.
        {"UTF-8 accented letters a line each", repeated("\xC3\xA9\n", 4), kUtf8, repeated(u"é\n", 4)},
    };
    for (const Case& c : cases) {
        const std::optional<DecodedText> decoded = decodeTextBytes(c.bytes, AsciiAs::Cp932);
        ASSERT_EQ(decoded.has_value(), c.encoding.has_value()) << c.name;
        // The same verdict from the bytes looked at a block of lines at a time.
        EncodingDetector detector(AsciiAs::Cp932);
        const auto eachBlock = [&](auto look) {
            for (std::size_t from = 0, lf; from < c.bytes.size(); from = lf + 1) {
                lf = std::min(c.bytes.find('\n', from), c.bytes.size() - 1);
                look(std::string_view(c.bytes).substr(from, lf + 1 - from));
            }
        };
        eachBlock([&](std::string_view block) { detector.addFirstPass(block); });
        if (detector.needsSecondPass())
            eachBlock([&](std::string_view block) { detector.addSecondPass(block); });
        EXPECT_EQ(detector.verdict(),
                  decoded ? std::optional(std::pair(decoded->encoding, decoded->guessed)) : std::nullopt)
            << c.name;
        if (!decoded) {
            EXPECT_FALSE(textFileFault(c.bytes).empty()) << c.name;
            continue;
        }
        EXPECT_EQ(decoded->encoding, c.encoding) << c.name;
        EXPECT_TRUE(decoded->text == c.text) << c.name;
        EXPECT_EQ(decoded->guessed, c.guessed) << c.name;
        EXPECT_EQ(encodeTextBytes(decoded->text, decoded->encoding), c.bytes) << c.name;
    }
    // The command line takes ASCII as UTF-8, and guesses as the window does.
    EXPECT_EQ(decodeTextBytes("ab", AsciiAs::Utf8)->encoding, kUtf8);
    EXPECT_EQ(decodeTextBytes("caf\xC3\xA9", AsciiAs::Utf8)->encoding, kCp932);
}

TEST(TextEncoding, SaysWhyBytesAreNoText) {
    EXPECT_EQ(textFileFault(std::string("ab\0", 3)),
              "is not a text file: a NUL byte at offset 2 (UTF-16 is read after a byte-order mark only)");
    EXPECT_EQ(
        textFileFault("a\xED\x40"),
        "would not come back as it was: the code page 932 bytes ED 40 at offset 1 are written back as FA 5C "
        "(--encoding=cp932 reads it anyway)");
    EXPECT_EQ(textFileFault("\xFF\xFF"),
              "is not a text file: its bytes are valid in neither UTF-8, code page 932 nor EUC-JP");
}

// A named encoding reads what it can, strictly or each byte without a character as U+FFFD.
TEST(TextEncoding, ReadsTheEncodingNamed) {
    struct Case {
        std::string bytes;
        TextEncoding named;
        std::optional<Text> strict;
        Text lenient;
        TextEncoding read;
    };
    const Case cases[] = {
        {"\xED\x40", kCp932, u"纊", u"纊", kCp932},
        {"a\x80", kCp932, std::nullopt, u"a\uFFFD", kCp932},
        {"\xEF\xBB\xBF"
         "a",
         kUtf8, u"a", u"a", TextEncoding::Utf8WithMark},
        {"a\xE3\x81"
         "b\xE3",
         kUtf8, std::nullopt, u"a\uFFFDb\uFFFD", kUtf8},
        {std::string("B\0", 2), TextEncoding::Utf16Le, u"B", u"B", TextEncoding::Utf16Le},
        {std::string("\xFE\xFF\0B\0", 5), TextEncoding::Utf16Be, std::nullopt, u"B\uFFFD",
         TextEncoding::Utf16Be},
        {"\xA4\xA2\xFF", kEucJp, std::nullopt, u"あ\uFFFD", kEucJp},
        {"\x8E\xB1\x8F\xB0\xA1", kEucJp, u"ｱ丂", u"ｱ丂", kEucJp},
    };
    for (const Case& c : cases) {
        const std::optional<DecodedText> strict = decodeTextBytesAs(c.bytes, c.named);
        EXPECT_EQ(strict.has_value(), c.strict.has_value()) << c.bytes;
        if (strict && c.strict) {
            EXPECT_TRUE(strict->text == *c.strict) << c.bytes;
        }
        const DecodedText lenient = decodeTextBytesLeniently(c.bytes, c.named);
        EXPECT_TRUE(lenient.text == c.lenient) << c.bytes;
        EXPECT_EQ(lenient.encoding, c.read) << c.bytes;
    }
}

// What an encoding cannot hold is found, named as the Shift-JIS check names it, and otherwise
// written as "?".
TEST(TextEncoding, FindsWhatAnEncodingCannotHold) {
    struct Case {
        Text text;
        TextEncoding encoding;
        std::optional<std::size_t> unmappable;
        std::string written = {};  // when there is one
    };
    const Case cases[] = {
        {u"", kCp932, std::nullopt},
        {u"a?b\r\n", kCp932, std::nullopt},
        {u"全角ｶﾅ～〜①髙", kCp932, std::nullopt},
        {u"café", kCp932, 3, "caf?"},
        {u"a😀", kCp932, 1, "a?\?"},
        {u"\xD800", kCp932, 0, "?"},
        {u"한", kCp932, 0, "?"},
        {u"ヴゔ", kCp932, 1, "\x83\x94?"},
        {u"日本①～", kEucJp, std::nullopt},
        {u"aゔ😀", kEucJp, 1, "a??"},
        {u"a😀", kUtf8, std::nullopt},
        {u"ab\xDC00", kUtf8, 2, "ab\xEF\xBF\xBD"},
        {u"\xD83D"
         u"a",
         TextEncoding::Utf8WithMark, 0,
         "\xEF\xBB\xBF\xEF\xBF\xBD"
         "a"},
        {u"\xD83D", TextEncoding::Utf16Le, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unmappableIndex(c.text, c.encoding), c.unmappable) << utf8::encode(c.text);
        if (c.unmappable) {
            EXPECT_EQ(encodeTextBytes(c.text, c.encoding), c.written) << utf8::encode(c.text);
        }
    }
    EXPECT_TRUE(characterPlace(u"ab\r\ncd\ref😀", 9) == u"3行3文字目：😀（U+1F600）");
    EXPECT_TRUE(characterPlace(u"€", 0) == u"1行1文字目：€（U+20AC）");
    EXPECT_TRUE(characterPlace(u"\n\r\r\n€", 4) == u"4行1文字目：€（U+20AC）");
    // A lone half is a character of its own.
    EXPECT_TRUE(characterPlace(u"a\xD83D", 1) == u"1行2文字目：\xD83D（U+D83D）");
    EXPECT_TRUE(characterPlace(u"\xDE00\xD83D", 0) == u"1行1文字目：\xDE00（U+DE00）");
}

// A large code page 932 text decodes a block at a time as it does whole: a block never ends
// inside a character, even where a long run without ASCII would straddle a block's end.
TEST(TextEncoding, LargeCodePage932TextsDecodeInBlocksAsWhole) {
    const std::string pieces[] = {cp932::encode(u"漢字カナ"), "\r\n", "ab", cp932::encode(u"ｶﾞ"), "\n"};
    for (const std::size_t skew : {0, 1, 2, 3}) {
        std::string bytes(skew, 'x');
        for (std::size_t i = 0; bytes.size() < (std::size_t{9} << 20); ++i)
            bytes += pieces[i * 7 % 5];
        bytes += repeated(cp932::encode(u"亜"), 5 << 19);  // no byte below 0x40 for more than a block
        int blocks = 0;
        const std::optional<DecodedText> inBlocks = decodeTextBytes(bytes, AsciiAs::Cp932, [&] { ++blocks; });
        EXPECT_GE(blocks, 2);
        ASSERT_TRUE(inBlocks);
        EXPECT_EQ(inBlocks->encoding, kCp932);
        EXPECT_TRUE(inBlocks->text == decodeTextBytes(bytes, AsciiAs::Cp932)->text) << skew;
    }
}

}  // namespace
}  // namespace kivo
