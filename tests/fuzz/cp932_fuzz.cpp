// Code page 932: decoding never fails in the lenient form, and every text that the strict decoder
// accepts encodes back to the same bytes unless it holds one of the one-way characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string lenient = kivo::cp932::decodeLenient(bytes);
    if (const auto text = kivo::cp932::decode(bytes)) {
        if (*text != lenient) __builtin_trap();
        // Decoding then encoding and decoding again is stable.
        const auto again = kivo::cp932::decode(kivo::cp932::encode(*text));
        if (!again || *again != *text) __builtin_trap();
    }
    if (kivo::cp932::byteCount(lenient) != kivo::cp932::encode(lenient).size()) __builtin_trap();
    return 0;
}
