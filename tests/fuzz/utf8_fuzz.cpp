// UTF-8 both ways against the plain reference, in every kernel the processor has. From bytes:
// decoding and checking, also with the bytes repeated past the 32 KB pieces of the vector kernel,
// and decoding in two blocks cut where completeLength says. From the bytes read as UTF-16 units,
// lone halves included: encoding. And the bytes read as a text file, with and without a mark.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "../text/utf8_reference.h"
#include "text/text_encoding.h"
#include "text/utf8.h"

namespace {

using kivo::utf8::detail::Kernel;

constexpr Kernel kKernels[] = {Kernel::Portable, Kernel::Avx2};

void decodesAsTheReference(std::string_view bytes) {
    const std::optional<std::u16string> expected = kivo::utf8::reference::decode(bytes);
    for (const Kernel k : kKernels) {
        if (!kivo::utf8::detail::available(k)) continue;
        std::u16string text = u"kept";
        const bool ok = kivo::utf8::detail::appendDecoded(bytes, text, k);
        if (ok != expected.has_value()) __builtin_trap();
        if (ok ? text != u"kept" + *expected : text != u"kept") __builtin_trap();
        if (kivo::utf8::detail::isValid(bytes, k) != ok) __builtin_trap();
    }
}

void decodesInTwoBlocks(std::string_view bytes, std::size_t cut) {
    const std::string_view first = bytes.substr(0, cut);
    const std::size_t complete = kivo::utf8::completeLength(first);
    if (complete > first.size() || first.size() - complete > 3) __builtin_trap();
    std::u16string text;
    const bool ok =
        kivo::utf8::appendDecoded(first.substr(0, complete), text) &&
        kivo::utf8::appendDecoded(std::string(first.substr(complete)) + std::string(bytes.substr(cut)), text);
    const std::optional<std::u16string> whole = kivo::utf8::decode(bytes);
    if (ok != whole.has_value() || (ok && text != *whole)) __builtin_trap();
}

void encodesAsTheReference(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    const std::string expected = kivo::utf8::reference::encode(text);
    for (const Kernel k : kKernels) {
        if (!kivo::utf8::detail::available(k)) continue;
        std::string bytes = "old";
        kivo::utf8::detail::encodeInto(text, bytes, k);
        if (bytes != expected) __builtin_trap();
    }
}

// After a mark, what reads is exactly what decode reads (bytes decode refuses never read);
// whatever reads never has more units than it had bytes.
void readsAsATextFile(std::string_view bytes) {
    const auto marked = kivo::decodeTextBytes("\xEF\xBB\xBF" + std::string(bytes), kivo::AsciiAs::Utf8);
    const std::optional<std::u16string> strict = kivo::utf8::decode(bytes);
    if (marked && (!strict || marked->text != *strict)) __builtin_trap();
    const auto read = kivo::decodeTextBytes(bytes, kivo::AsciiAs::Cp932);
    if (read && read->text.size() > bytes.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    decodesAsTheReference(bytes);
    if (size > 0) {
        decodesInTwoBlocks(bytes, data[0] % (size + 1));
        // One input in eight, repeated beyond the first piece boundary.
        if (data[0] % 8 == 0) {
            std::string repeated;
            while (repeated.size() < 33'000)
                repeated += bytes;
            decodesAsTheReference(repeated);
        }
    }
    encodesAsTheReference(data, size);
    readsAsATextFile(bytes);
    return 0;
}
