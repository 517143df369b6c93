// Hands the fuzz input out as caller records and values; zeros once it runs out, so every
// input, however short, reaches every call.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class Fuzz_Source {
public:
    Fuzz_Source(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    template <typename T>
    void Fill(T& record) {
        std::uint8_t* out = reinterpret_cast<std::uint8_t*>(&record);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            out[i] = Byte();
        }
    }
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    unsigned Word() { return Byte() * 256u + Byte(); }
    double Double() {
        double d = 0;
        Fill(d);
        return d;
    }
    // Up to n of the remaining bytes.
    std::vector<std::uint8_t> Take(std::size_t n) {
        n = std::min(n, m_size - m_pos);
        std::vector<std::uint8_t> out(m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
