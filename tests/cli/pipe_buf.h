#pragma once

#include <algorithm>
#include <cstddef>
#include <streambuf>
#include <string>
#include <utility>

namespace kivo::test {

/// Hands out its bytes `piece` at a time and cannot seek, like a pipe.
class PipeBuf final : public std::streambuf {
public:
    PipeBuf(std::string data, std::size_t piece) : m_data(std::move(data)), m_piece(piece) {}

protected:
    int_type underflow() override {
        if (m_pos >= m_data.size()) return traits_type::eof();
        const std::size_t n = std::min(m_piece, m_data.size() - m_pos);
        char* p = m_data.data() + m_pos;
        setg(p, p, p + n);
        m_pos += n;
        return traits_type::to_int_type(*p);
    }

private:
    std::string m_data;
    std::size_t m_piece;
    std::size_t m_pos = 0;
};

}  // namespace kivo::test
