// Little-endian byte builder for hand-written search database fixtures, and Korean text in
// code page 949 for them.
#pragma once

#include "platform/base/Text.h"

#include <cstdint>
#include <string>
#include <vector>

struct SearchBytes {
    std::string s;
    SearchBytes& u8(unsigned v) {
        s.push_back(static_cast<char>(v & 0xff));
        return *this;
    }
    SearchBytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    SearchBytes& u32(std::uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    SearchBytes& raw(const std::string& t) {
        s += t;
        return *this;
    }
    // A text in a zero-padded field.
    SearchBytes& text(const std::string& t, std::size_t field) {
        std::string f = t.substr(0, field);
        f.resize(field, '\0');
        s += f;
        return *this;
    }
    std::size_t size() const { return s.size(); }
    void patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
};

// Code page 949 bytes of a UTF-8 literal.
inline std::string K(const char* utf8) {
    return Utf8ToCp949(utf8);
}

// The 84-byte header of a name or address database: version text, six groups, four words.
struct DbHeaderFields {
    std::string version = "3 1 0 NAME 20261210";
    std::uint32_t offset[6] = {};
    std::uint16_t count[6] = {};
    std::uint32_t recordBase = 0, word72 = 0, recordEnd = 0, entry30 = 0;
};

inline SearchBytes DbHeaderBytes(const DbHeaderFields& f) {
    SearchBytes b;
    b.text(f.version, 32);
    for (int g = 0; g < 6; ++g) b.u32(f.offset[g]).u16(f.count[g]);
    b.u32(f.recordBase).u32(f.word72).u32(f.recordEnd).u32(f.entry30);
    return b;
}

// "AdminName.db": 40-byte header, then 20-byte names.
inline std::string AdminNameBytes(const std::initializer_list<const char*>& namesUtf8) {
    SearchBytes b;
    b.text("3 1 0 ADMIN 20261210", 32).u32(40).u32(0);
    for (const char* n : namesUtf8) b.text(K(n), 20);
    return b.s;
}

// A 40-byte name record.
inline SearchBytes& NameRecordBytes(SearchBytes& b, const std::string& nameCp949, unsigned code, unsigned x,
                                    unsigned y, unsigned admin1, unsigned admin2, std::uint32_t detail) {
    b.text(nameCp949, 20).u16(code).u16(x).u16(y).u16(admin1).u16(admin2).u16(0).u16(0).u16(0).u32(detail);
    return b;
}

// A "POI.db" record: two numbers, the 20-byte name, then the "label|text|..." details.
inline std::string PoiRecord(const std::string& nameCp949, const std::string& text) {
    SearchBytes b;
    b.u16(12).u32(34).text(nameCp949, 20).raw(text);
    return b.s;
}

// Labels 0..3: 전화번호, 주소, 영업시간, 소개.
inline std::string PoiFixture(const std::vector<std::string>& records, std::uint32_t labelCount = 4) {
    SearchBytes b;
    const std::uint32_t index = 48 + 160;
    b.text("3 1 0 POI 20261210", 32).u32(48).u32(labelCount).u32(index).u32(static_cast<std::uint32_t>(records.size()));
    for (const char* l : {"전화번호", "주소", "영업시간", "소개"}) b.text(K(l), 40);
    std::uint32_t at = index + 8 * static_cast<std::uint32_t>(records.size());
    for (const std::string& r : records) {
        b.u32(at).u32(static_cast<std::uint32_t>(r.size()));
        at += static_cast<std::uint32_t>(r.size());
    }
    for (const std::string& r : records) b.raw(r);
    return b.s;
}
