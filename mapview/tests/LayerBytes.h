// Little-endian byte builder for hand-written layer fixtures.
#pragma once

#include <cstdint>
#include <string>

struct LayerBytes {
    std::string s;
    LayerBytes& u8(unsigned v) {
        s.push_back(static_cast<char>(v & 0xff));
        return *this;
    }
    LayerBytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    LayerBytes& i16(int v) { return u16(static_cast<unsigned>(v) & 0xffff); }
    LayerBytes& u32(std::uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    LayerBytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    LayerBytes& text(const std::string& t, std::size_t field) {
        std::string f = t.substr(0, field);
        f.resize(field, '\0');
        s += f;
        return *this;
    }
    std::size_t size() const { return s.size(); }
    // Overwrites a 32-bit value at an offset (the size word once the length is known).
    void patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
};

// A 50-byte header; the size word is patched by Finish.
inline LayerBytes LayerHeader(unsigned kind, unsigned tiled, std::int32_t minX, std::int32_t minY,
                              std::int32_t maxX, std::int32_t maxY, unsigned columns, unsigned rows,
                              std::uint32_t cellW, std::uint32_t cellH, std::uint32_t ox, std::uint32_t oy) {
    LayerBytes b;
    b.u32(20261210).u8(kind).u8(tiled).u32(0).i32(minX).i32(minY).i32(maxX).i32(maxY).u32(0xdeadbeef);
    b.u16(columns).u16(rows).u32(cellW).u32(cellH).u32(ox).u32(oy);
    return b;
}

inline std::string Finish(LayerBytes b) {
    b.patch32(6, static_cast<std::uint32_t>(b.size()));
    return b.s;
}
