#include "text/utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace kivo::utf8 {
namespace {

TEST(Utf8, DecodesValidText) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"", u""},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\x7F", u"\x7F"},
        {"\xC2\x80", u"\u0080"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xEF\xBF\xBD", u"\uFFFD"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xEF\xBB\xBF"
         "a",
         u"\uFEFFa"},  // a byte order mark is kept as a character
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"かな漢字ｱ", u"かな漢字ｱ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decode(c.bytes), c.text) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decode("\xF0\x9F\x98\x80")->size(), 2u);  // a surrogate pair
}

TEST(Utf8, RejectsInvalidBytes) {
    const std::string cases[] = {
        "\x80",
        "a\xBF",
        "\xC0\x80",
        "\xC1\xBF",  // stray continuation bytes, overlong two-byte forms
        "\xE0\x80\x80",
        "\xE0\x9F\xBF",  // overlong three-byte forms
        "\xF0\x80\x80\x80",
        "\xF0\x8F\xBF\xBF",  // overlong four-byte forms
        "\xED\xA0\x80",
        "\xED\xBF\xBF",              // encoded surrogates
        "\xED\xA0\xBD\xED\xB8\x80",  // a surrogate pair encoded as two characters
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xF7\xBF\xBF\xBF",  // above U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xFC\x84\x80\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\xC2",
        "\xE3\x81",
        "\xF0\x9F\x98",
        "a\xE3",  // truncated at the end
        "\xC2"
        "a",
        "\xE3\x81"
        "a",
        "\xF0\x9F"
        "ab",            // truncated before another character
        "\xE3\xC2\x80",  // a lead byte in place of a continuation
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(decode(bytes), std::nullopt) << testing::PrintToString(bytes);
}

TEST(Utf8, EncodesPairsAsFourBytesAndLoneSurrogatesAsReplacement) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", ""},
        {u"aé", "a\xC3\xA9"},
        {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
        {u"かｱ", "\xE3\x81\x8B\xEF\xBD\xB1"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {u"\xD83D", "\xEF\xBF\xBD"},
        {u"\xDE00", "\xEF\xBF\xBD"},
        {u"\xD83Dx", "\xEF\xBF\xBDx"},
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the halves in the wrong order
        {u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encode(c.text), c.bytes) << testing::PrintToString(c.bytes);
        EXPECT_EQ(decode(c.bytes).has_value(), true);
    }
    const std::u16string all(u"a\0é漢\uFFFF\U00010000\U0010FFFF", 9);
    EXPECT_EQ(decode(encode(all)), all);
}

// Runs of ASCII are converted a block at a time: a character or a fault just before, inside or
// after a block boundary must be found at every offset.
TEST(Utf8, BlockBoundariesDoNotHideCharactersOrFaults) {
    for (std::size_t before = 0; before <= 17; ++before) {
        for (std::size_t after = 0; after <= 9; ++after) {
            const std::string a(before, 'a');
            const std::string b(after, 'b');
            const std::u16string ua(before, u'a');
            const std::u16string ub(after, u'b');
            const std::u16string text = ua + u"漢\U0001F600" + ub;
            EXPECT_EQ(decode(a + "\xE6\xBC\xA2\xF0\x9F\x98\x80" + b), text) << before << ' ' << after;
            EXPECT_EQ(encode(text), a + "\xE6\xBC\xA2\xF0\x9F\x98\x80" + b) << before << ' ' << after;
            EXPECT_EQ(encode(ua + u"\xD83D" + ub), a + "\xEF\xBF\xBD" + b) << before << ' ' << after;
            EXPECT_EQ(decode(a + "\x80" + b), std::nullopt) << before << ' ' << after;
            EXPECT_EQ(decode(a + "\xE6\xBC" + b), std::nullopt) << before << ' ' << after;
        }
    }
}

// Written a block at a time, the bytes are those of the whole text, with pairs and lone halves
// on either side of every block boundary.
TEST(Utf8, WriteEqualsEncode) {
    for (std::size_t shift = 0; shift < 6; ++shift) {
        std::u16string text(shift, u'a');
        while (text.size() < 100'000)
            text +=
                u"かa\U0001F600\xD800"
                u"b";
        std::ostringstream out;
        write(text, out);
        EXPECT_EQ(out.str(), encode(text)) << shift;
        std::string reused = "old bytes";
        encodeInto(u"\U0001F600", reused);
        EXPECT_EQ(reused, "\xF0\x9F\x98\x80");
    }
    std::ostringstream empty;
    write(u"", empty);
    EXPECT_EQ(empty.str(), "");
}

}  // namespace
}  // namespace kivo::utf8
