#include "text/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace kivo::cp932 {
namespace {

TEST(Cp932, ByteLengthOfEachKindOfCharacter) {
    struct Case {
        std::u16string_view chars;  // every one of them takes `bytes`
        int bytes;
    };
    const Case cases[] = {
        {u"A~\\\r\x7f", 1},                         // ASCII
        {u"ｱ｡ﾟ", 1},                                // half-width katakana
        {u"あア漢１Ａｚ　①㈱髙﨑～￢￤\uE000", 2},  // the last one in the user-defined area
        {u"\u301C\u2212\u00A2\u2016", 2},           // mapped one way, to a look-alike
        {u"\u00A5", 1},                             // mapped one way, to the backslash
        // No form: the one-byte "?".
        {u"\u00E9\u0080\u00A0\xD83D\xDE00\uFFFD\uFEFF\uFFFF\uE758한", 1},
    };
    for (const Case& c : cases) {
        for (char16_t ch : c.chars) {
            EXPECT_EQ(byteLength(ch), c.bytes) << "U+" << std::hex << static_cast<int>(ch);
            EXPECT_EQ(isSingleByte(ch), c.bytes == 1);
            EXPECT_EQ(isDoubleByte(ch), c.bytes == 2);
            EXPECT_EQ(encode(std::u16string(1, ch)).size(), static_cast<std::size_t>(c.bytes));
        }
    }
    EXPECT_EQ(byteLength(u'\0'), 1);
}

TEST(Cp932, ByteCountOfMixedText) {
    EXPECT_EQ(byteCount(u""), 0u);
    EXPECT_EQ(byteCount(u"aｱあ①😀é\r\n"), 1u + 1 + 2 + 2 + (1 + 1) + 1 + 2);
    EXPECT_EQ(byteCount(u"全角ＡＢＣと半角abc"), 16u + 3);
}

TEST(Cp932, EncodeReplacesWhatHasNoFormWithOneQuestionMark) {
    struct Case {
        std::u16string_view text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", ""},
        {u"aZ~\\", "aZ~\\"},
        {u"ｱﾟ", "\xB1\xDF"},
        {u"あ漢１", "\x82\xA0\x8A\xBF\x82\x50"},
        {u"①㈱髙﨑～", "\x87\x40\x87\x8A\xFB\xFC\xFA\xB1\x81\x60"},
        {u"\u301C\u2212\u00A5\u00A2\u2016", "\x81\x60\x81\x7C\x5C\x81\x91\x81\x61"},
        {u"é😀\uFFFDx", "????x"},  // the emoji's two halves give two "?"
    };
    for (const Case& c : cases)
        EXPECT_EQ(encode(c.text), c.bytes);
}

TEST(Cp932, DecodeRoundTripsEveryCharacterWithATwoWayForm) {
    const std::u16string text = u"aZ~\\\r\n ｱｰﾟ｡あ漢字１Ａｚ　①㈱髙﨑～￢￤\uE000\uE757";
    const std::string bytes = encode(text);
    EXPECT_EQ(decode(bytes), text);
    EXPECT_EQ(decodeLenient(bytes), text);
    // The one-way characters come back as their look-alikes, the yen sign as the backslash.
    EXPECT_EQ(decode(encode(u"\u301C\u2212\u00A5\u00A2\u2016")), u"～－\\￠∥");
}

TEST(Cp932, UndecodableBytes) {
    struct Case {
        std::string bytes;
        std::u16string lenient;
    };
    const Case cases[] = {
        {"\x80", u"\uFFFD"},         {"\xA0", u"\uFFFD"},
        {"\xFD", u"\uFFFD"},         {"a\xFE\xFF", u"a\uFFFD\uFFFD"},
        {"\x82", u"\uFFFD"},          // a lead byte at the very end
        {"ab\x82", u"ab\uFFFD"},      // the same after other text
        {"\x82 b", u"\uFFFD b"},      // a lead byte whose trail byte is out of range stands alone
        {"\x81\x7F", u"\uFFFD\x7F"},  // 0x7F is never a trail byte
        {"\x85\x40", u"\uFFFD@"},     // an unassigned pair: the trail byte reads on its own
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), std::nullopt) << testing::PrintToString(c.bytes);
        EXPECT_EQ(decodeLenient(c.bytes), c.lenient) << testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(decode(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

}  // namespace
}  // namespace kivo::cp932
