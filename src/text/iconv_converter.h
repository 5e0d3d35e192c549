#pragma once

#include <iconv.h>

#include <cstddef>

namespace kivo {

/// One conversion of the C library's iconv, from one encoding to another.
class IconvConverter {
public:
    /// Throws std::runtime_error when the C library has no such converter.
    IconvConverter(const char* to, const char* from);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    /// Converts `in` completely into `out`: the number of bytes written, or -1 when a sequence has
    /// no conversion or `out` is too small.
    long convert(const char* in, std::size_t inLength, char* out, std::size_t outCapacity);

    /// Converts from `in` into `out` until the input ends or a sequence stops it, advancing both:
    /// false when a sequence has no conversion (it is then at `in`), true when all was converted.
    /// `out` must have room for everything (std::length_error otherwise).
    bool convertUntilStopped(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);

    /// Forgets the state of the last conversion.
    void reset();

private:
    iconv_t m_cd;
};

}  // namespace kivo
