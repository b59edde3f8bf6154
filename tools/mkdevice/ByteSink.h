// Little-endian byte output for the data builders: every field is put one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mkdev {

class ByteSink {
public:
    void U8(std::uint32_t v) { m_bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void I16(std::int32_t v) { U16(static_cast<std::uint32_t>(v)); }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Bytes(const void* data, std::size_t n) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    // Text in a fixed field, zero-padded (the text must fit).
    void Text(std::string_view text, std::size_t field) {
        for (std::size_t i = 0; i < field; ++i) U8(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
    void Zeros(std::size_t n) { m_bytes.insert(m_bytes.end(), n, 0); }
    void PutU16At(std::size_t at, std::uint32_t v) {
        m_bytes.at(at) = static_cast<std::uint8_t>(v);
        m_bytes.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    }
    void PutU32At(std::size_t at, std::uint32_t v) {
        PutU16At(at, v);
        PutU16At(at + 2, v >> 16);
    }

    std::size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Data() const { return m_bytes; }
    std::vector<std::uint8_t>& Data() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace mkdev
