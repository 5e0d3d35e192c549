#include "text/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "utf8_reference.h"

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
    for (std::size_t shift = 0; shift < 12; ++shift) {
        std::u16string text(shift, u'a');
        // Half the texts have no surrogates, which blocks of kana, accents and ASCII encode whole.
        while (text.size() < 100'000)
            text += shift % 2 ? u"かa\U0001F600\xD800"
                                u"b"
                              : u"かなカナ漢字abc\u00E9\u07FF\u0800";
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

// ---- Every kernel against the reference. The vector kernel works in blocks of 16 and 32 bytes
// and pieces of 32 KB; positions are chosen around those boundaries.

std::vector<detail::Kernel> kernels() {
    std::vector<detail::Kernel> all;
    for (const detail::Kernel k : {detail::Kernel::Portable, detail::Kernel::Avx2})
        if (detail::available(k)) all.push_back(k);
    return all;
}

std::string kernelName(detail::Kernel k) {
    return k == detail::Kernel::Avx2 ? "avx2" : "portable";
}

std::optional<std::u16string> decodeWith(std::string_view bytes, detail::Kernel k) {
    std::u16string text;
    if (!detail::appendDecoded(bytes, text, k)) return std::nullopt;
    return text;
}

std::string encodeWith(std::u16string_view text, detail::Kernel k) {
    std::string bytes;
    detail::encodeInto(text, bytes, k);
    return bytes;
}

// Decoding, checking and (for valid bytes) encoding back agree with the reference in every kernel.
void expectMatchesReference(std::string_view bytes, const std::string& where) {
    const std::optional<std::u16string> expected = reference::decode(bytes);
    for (const detail::Kernel k : kernels()) {
        const std::string context =
            kernelName(k) + ' ' + where + ' ' + testing::PrintToString(std::string(bytes));
        EXPECT_EQ(decodeWith(bytes, k), expected) << context;
        EXPECT_EQ(detail::isValid(bytes, k), expected.has_value()) << context;
        EXPECT_EQ(detail::checkedShape(bytes, k).has_value(), expected.has_value()) << context;
        if (expected) {
            EXPECT_EQ(encodeWith(*expected, k), bytes) << context;
        }
    }
}

// A fault or a character at each offset from 0 to 70 of ASCII or of three-byte kana, with the
// block it sits in followed by nothing, by ASCII or by kana: every position in and around the
// first, second and third 32-byte blocks, and the very end.
template <typename Check>
void atEveryOffset(std::string_view insert, Check check) {
    const std::string fillers[] = {"a", "\xE3\x81\x82"};
    for (const std::string& before : fillers) {
        for (const std::string& after : {std::string(), std::string("b"), std::string("\xE3\x81\x84")}) {
            for (std::size_t offset = 0; offset <= 70; ++offset) {
                std::string bytes;
                while (bytes.size() < offset)
                    bytes += bytes.size() + before.size() <= offset ? before : std::string("z");
                bytes += insert;
                const std::size_t total = bytes.size() + (after.empty() ? 0 : 40);
                while (bytes.size() < total)
                    bytes += after;
                check(bytes, "at " + std::to_string(offset));
            }
        }
    }
}

TEST(Utf8Kernels, EachMalformedFormFailsAtEveryOffset) {
    const std::string forms[] = {
        "\x80",
        "\xBF",
        "\xC0\x80",
        "\xC1\xBF",  // stray, overlong 2
        "\xE0\x80\x80",
        "\xE0\x9F\xBF",  // overlong 3
        "\xF0\x80\x80\x80",
        "\xF0\x8F\xBF\xBF",  // overlong 4
        "\xED\xA0\x80",
        "\xED\xBF\xBF",  // surrogates
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xF7\xBF\xBF\xBF",
        "\xF8\x88\x80\x80",  // too large
        "\xFC\x80",
        "\xFE",
        "\xFF",  // no lead byte
        "\xC2",
        "\xE3\x81",
        "\xF0\x9F\x98",  // cut short
        "\xE3\xC2\x80",
        "\xF0\x9F\xE3\x81\x82",  // lead for continuation
        "\xE3\x81\x82\x80",
        "\xF0\x9F\x98\x80\x80",  // one continuation too many
    };
    for (const std::string& form : forms) {
        atEveryOffset(form, [&form](const std::string& bytes, const std::string& where) {
            ASSERT_FALSE(reference::decode(bytes).has_value()) << testing::PrintToString(bytes);
            expectMatchesReference(bytes, where + " of " + testing::PrintToString(form));
        });
    }
}

TEST(Utf8Kernels, BoundaryCharactersDecodeAtEveryOffset) {
    const std::string characters[] = {
        std::string(1, '\0'), "\x7F",
        "\xC2\x80",           "\xDF\xBF",
        "\xE0\xA0\x80",       "\xE0\xBF\xBF",
        "\xE1\x80\x80",       "\xEC\xBF\xBF",
        "\xED\x80\x80",       "\xED\x9F\xBF",
        "\xEE\x80\x80",       "\xEF\xBF\xBF",
        "\xF0\x90\x80\x80",   "\xF0\xBF\xBF\xBF",
        "\xF1\x80\x80\x80",   "\xF3\xBF\xBF\xBF",
        "\xF4\x80\x80\x80",   "\xF4\x8F\xBF\xBF",
    };
    for (const std::string& character : characters) {
        atEveryOffset(character, [](const std::string& bytes, const std::string& where) {
            ASSERT_TRUE(reference::decode(bytes).has_value()) << testing::PrintToString(bytes);
            expectMatchesReference(bytes, where);
        });
    }
}

// A unit, a pair or a lone half at every position before, across and after the vector kernel's
// blocks of 32 units, in ASCII and in kana.
TEST(Utf8Kernels, SurrogatesEncodeAtEveryPosition) {
    const std::u16string inserts[] = {
        u"\xD83D", u"\xDE00", u"\xD83D\xDE00", u"\xDE00\xD83D", u"\xD83D\xD83D\xDE00",
        u"\u00E9", u"\u0800", u"\uFFFF"};
    for (const std::u16string& insert : inserts) {
        for (const char16_t filler : {u'a', u'あ', u'\u07FF'}) {
            for (std::size_t position = 0; position <= 70; ++position) {
                for (const std::size_t after : {0, 1, 40}) {
                    const std::u16string text =
                        std::u16string(position, filler) + insert + std::u16string(after, filler);
                    for (const detail::Kernel k : kernels())
                        EXPECT_EQ(encodeWith(text, k), reference::encode(text))
                            << kernelName(k) << ' ' << position;
                }
            }
        }
    }
}

// Random text of every kind of character, with faults put into some of its bytes.
class RandomText {
public:
    explicit RandomText(unsigned seed) : m_random(seed) {}

    // Units from the classes that mixed text has, weighted so that runs of one script are common,
    // with lone halves only when `lone` is set.
    std::u16string units(std::size_t count, bool lone) {
        std::u16string text;
        while (text.size() < count) {
            const int kind = pick(0, lone ? 9 : 7);
            const std::size_t run = static_cast<std::size_t>(pick(1, 40));
            for (std::size_t k = 0; k < run; ++k) {
                switch (kind) {
                    case 0:
                    case 1:
                    case 2:
                        text += static_cast<char16_t>(pick(0, 0x7F));
                        break;
                    case 3:
                        text += static_cast<char16_t>(pick(0x80, 0x7FF));
                        break;
                    case 4:
                    case 5:
                        text += static_cast<char16_t>(pick(0x3041, 0x30FF));
                        break;
                    case 6:
                        text += static_cast<char16_t>(pick(0xE000, 0xFFFF));
                        break;
                    case 7: {
                        const int cp = pick(0x10000, 0x10FFFF) - 0x10000;
                        text += static_cast<char16_t>(0xD800 + (cp >> 10));
                        text += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
                        break;
                    }
                    default:
                        text += static_cast<char16_t>(pick(0xD800, 0xDFFF));
                        break;
                }
            }
        }
        return text;
    }

    // The bytes of random text, and in two of three cases one to three faults: a byte replaced,
    // inserted or removed, or the end cut off.
    std::string bytes(std::size_t count) {
        std::string bytes = reference::encode(units(count, false));
        const int faults = pick(0, 2) == 0 ? 0 : pick(1, 3);
        for (int f = 0; f < faults && !bytes.empty(); ++f) {
            const std::size_t at = static_cast<std::size_t>(pick(0, static_cast<int>(bytes.size()) - 1));
            switch (pick(0, 3)) {
                case 0:
                    bytes[at] = static_cast<char>(pick(0, 255));
                    break;
                case 1:
                    bytes.insert(at, 1, static_cast<char>(pick(0x80, 0xFF)));
                    break;
                case 2:
                    bytes.erase(at, 1);
                    break;
                default:
                    bytes.resize(at);
                    break;
            }
        }
        return bytes;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    std::mt19937 m_random;
};

TEST(Utf8Kernels, RandomInputsMatchTheReference) {
    RandomText random(20240611);
    for (int run = 0; run < 3000; ++run) {
        const std::size_t count = static_cast<std::size_t>(random.pick(0, run % 10 == 0 ? 2000 : 200));
        expectMatchesReference(random.bytes(count), "run " + std::to_string(run));
        const std::u16string text = random.units(count, true);
        for (const detail::Kernel k : kernels())
            ASSERT_EQ(encodeWith(text, k), reference::encode(text)) << kernelName(k) << " run " << run;
    }
}

// Large inputs are checked and converted in pieces of 32 KB: a sequence across the first piece
// boundary, and a fault just before, on or after it, must come out as in the whole.
TEST(Utf8Kernels, PieceBoundariesDoNotHideCharactersOrFaults) {
    constexpr std::size_t kPiece = 32 * 1024;
    for (const std::string insert :
         {"\xE6\xBC\xA2", "\xF0\x9F\x98\x80", "\xE6\xBC", "\x80", "\xED\xA0\x80"}) {
        for (std::size_t before = kPiece - 5; before <= kPiece + 2; ++before) {
            std::string bytes(before, 'a');
            bytes += insert;
            bytes += std::string(kPiece + 100, 'b');
            expectMatchesReference(bytes, std::to_string(before));
            std::string kana;
            while (kana.size() < before)
                kana += "\xE3\x81\x82";
            kana.resize(before - before % 3);
            expectMatchesReference(kana + insert + "\xE3\x81\x82", "kana " + std::to_string(before));
        }
    }
}

// A sequence that starts at the end of one piece and is cut short by the end of the input: the
// bytes are in a buffer of their exact size, so that reading past them is caught under the
// sanitizers.
TEST(Utf8Kernels, ASequenceCutShortAfterAPieceBoundaryIsNotReadPastTheEnd) {
    constexpr std::size_t kPiece = 32 * 1024;
    for (const std::string tail : {"\xF0", "\xF0\x9F", "\xF0\x9F\x98", "\xE3", "\xE3\x81"}) {
        for (std::size_t lead = kPiece - 3; lead <= kPiece; ++lead) {
            std::string bytes(lead, 'a');
            bytes += tail;
            const auto exact = std::make_unique<char[]>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), exact.get());
            expectMatchesReference(std::string_view(exact.get(), bytes.size()), std::to_string(lead));
        }
    }
}

TEST(Utf8, AppendDecodedKeepsTheTextOnAFault) {
    for (const detail::Kernel k : kernels()) {
        std::u16string text = u"前";
        EXPECT_TRUE(detail::appendDecoded("\xE3\x81\x82", text, k)) << kernelName(k);
        EXPECT_EQ(text, u"前あ") << kernelName(k);
        EXPECT_FALSE(detail::appendDecoded(std::string(40'000, 'a') + "\xE3\x81", text, k)) << kernelName(k);
        EXPECT_EQ(text, u"前あ") << kernelName(k);
    }
}

TEST(Utf8, CompleteLengthHoldsBackOnlyASequenceCutShort) {
    struct Case {
        std::string bytes;
        std::size_t complete;
    };
    const Case cases[] = {
        {"", 0},
        {"a", 1},
        {"\xE3", 0},
        {"\xE3\x81", 0},
        {"\xE3\x81\x82", 3},
        {"ab\xF0\x9F\x98", 2},
        {"\xF0\x9F\x98\x80", 4},
        {"\xC2", 0},
        {"\xC2\x80", 2},
        {"\x80\x80\x80\x80", 4},  // stray continuation bytes: fail now, nothing to wait for
        {"\xC2\x80\x80", 3},      // one continuation too many
        {"\xFF", 0},              // held back like a lead byte of four; fails with what follows
    };
    for (const Case& c : cases)
        EXPECT_EQ(completeLength(c.bytes), c.complete) << testing::PrintToString(c.bytes);
}

// Read in blocks of any size, with what completeLength holds back carried into the next block,
// input decodes to what the whole does, or fails as the whole does.
TEST(Utf8, DecodingBlockByBlockEqualsDecodingTheWhole) {
    RandomText random(7);
    for (int run = 0; run < 400; ++run) {
        const std::string bytes = random.bytes(static_cast<std::size_t>(random.pick(0, 120)));
        const std::optional<std::u16string> whole = decode(bytes);
        for (const std::size_t block : {1, 2, 3, 5, 7, 16, 33}) {
            std::u16string text;
            std::string pending;
            bool ok = true;
            for (std::size_t at = 0; at < bytes.size() && ok; at += block) {
                pending += bytes.substr(at, block);
                const std::size_t complete = completeLength(pending);
                ok = appendDecoded(std::string_view(pending).substr(0, complete), text);
                pending.erase(0, complete);
            }
            ok = ok && appendDecoded(pending, text);
            EXPECT_EQ(ok ? std::optional(text) : std::nullopt, whole)
                << testing::PrintToString(bytes) << " in blocks of " << block;
        }
    }
}

TEST(Utf8, IsValidAgreesWithDecode) {
    for (const std::string bytes :
         {"", "a", "かな", "\xF0\x9F\x98\x80", "\xC0\x80", "\xE3\x81", "\xED\xA0\x80"})
        EXPECT_EQ(isValid(bytes), decode(bytes).has_value()) << testing::PrintToString(bytes);
}

}  // namespace
}  // namespace kivo::utf8
