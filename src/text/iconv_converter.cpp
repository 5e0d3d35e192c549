#include "text/iconv_converter.h"

#include <cerrno>
#include <stdexcept>
#include <string>

namespace kivo {

IconvConverter::IconvConverter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
    if (m_cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
}

IconvConverter::~IconvConverter() {
    iconv_close(m_cd);
}

void IconvConverter::reset() {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
}

long IconvConverter::convert(const char* in, std::size_t inLength, char* out, std::size_t outCapacity) {
    reset();
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    std::size_t outLeft = outCapacity;
    if (iconv(m_cd, &inPtr, &inLength, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLength != 0)
        return -1;
    if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return -1;
    return static_cast<long>(outCapacity - outLeft);
}

bool IconvConverter::convertUntilStopped(const char*& in, std::size_t& inLeft, char*& out,
                                         std::size_t& outLeft) {
    char* inPtr = const_cast<char*>(in);
    const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &out, &outLeft);
    in = inPtr;
    if (result != static_cast<std::size_t>(-1)) return true;
    if (errno == E2BIG) throw std::length_error("iconv output too small");
    // A sequence cut short by the end of the input has no conversion either.
    return false;
}

}  // namespace kivo
