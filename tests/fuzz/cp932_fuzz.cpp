// Code page 932 in both directions. From bytes: decoding never fails in the lenient form, and
// every text that the strict decoder accepts encodes back and decodes to the same text. From
// text: every mappable text survives encode then decode, except the one-way characters, which
// come back as the twin that shares their bytes; an unmappable unit is one "?".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace {

// A one-way character (U+301C, U+00A5, U+203E, …) encodes to the bytes of its twin, which is what
// decoding gives back.
bool twins(char16_t c, char16_t d) {
    return kivo::cp932::encode(std::u16string(1, c)) == kivo::cp932::encode(std::u16string(1, d));
}

void fromBytes(std::string_view bytes) {
    const std::u16string lenient = kivo::cp932::decodeLenient(bytes);
    if (const auto text = kivo::cp932::decode(bytes)) {
        if (*text != lenient) __builtin_trap();
        const auto again = kivo::cp932::decode(kivo::cp932::encode(*text));
        if (!again || *again != *text) __builtin_trap();
    }
    if (kivo::cp932::byteCount(lenient) != kivo::cp932::encode(lenient).size()) __builtin_trap();
}

void fromText(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    const std::string bytes = kivo::cp932::encode(text);
    if (bytes.size() != kivo::cp932::byteCount(text)) __builtin_trap();
    // The encoding is strictly decodable, and each unit came back as itself, as "?", or (one-way)
    // as a double-byte twin.
    const auto back = kivo::cp932::decode(bytes);
    if (!back || back->size() != text.size()) __builtin_trap();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i], d = (*back)[i];
        if (c == d) continue;
        if (d == u'?' && kivo::cp932::byteLength(c) == 1) continue;
        if (!twins(c, d)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    fromText(data, size);
    return 0;
}
