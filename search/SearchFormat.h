// What the search databases share: the 84-byte database header, the administrative-name table,
// the version text, region texts, the cut of long detail texts, and checked reads at an
// offset. Every offset, count and size read from a file is checked against the file's size
// before it is used; a short read is a failure.
#pragma once

#include "route/base/BinFile.h"
#include "search/SearchRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvik {

inline std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A read-only database file with its size taken when it opened.
class DbFile {
public:
    bool Open(const char16_t* path);
    void Close();
    bool IsOpen() const { return m_file.IsOpen() != 0; }
    std::uint64_t Size() const { return m_size; }
    // Reads exactly n bytes at offset; false when they do not all lie inside the file.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n);
    bool Fits(std::uint64_t offset, std::uint64_t n) const { return offset <= m_size && n <= m_size - offset; }

private:
    CBinFile m_file;
    std::uint64_t m_size = 0;
};

// The header of the name and address databases: a 32-byte text, six {offset, count} groups
// and four 32-bit words.
struct DbHeader {
    static constexpr std::size_t kSize = 84;
    char text[33] = {};
    std::uint32_t groupOffset[6] = {};
    std::uint16_t groupCount[6] = {};
    std::uint32_t recordBase = 0;  // offset 68
    std::uint32_t word72 = 0;      // offset 72
    std::uint32_t recordEnd = 0;   // offset 76
    std::uint32_t entry30Base = 0; // offset 80
    void Parse(const std::uint8_t* p);
};

// The header of "AdminName.db": a 32-byte text, the names offset and a further word.
struct AdminHeader {
    static constexpr std::size_t kSize = 40;
    char text[33] = {};
    std::uint32_t namesOffset = 0;
    std::uint32_t word36 = 0;
    void Parse(const std::uint8_t* p);
};

bool ReadDbHeader(DbFile& file, DbHeader& header);
bool ReadAdminHeader(DbFile& file, AdminHeader& header);
// Administrative name n (1-based, 20 bytes) into out (21 bytes, zero-filled); false for 0 and
// for a name that does not lie inside the file.
bool ReadAdminName(DbFile& file, const AdminHeader& header, int n, char* out);

// Fills a version record from a 32-byte version text (cleared first); false when the text has
// no first token.
bool ParseVersionText(const char* text32, _VERSION_INFO& version);

// The length of a fixed text field: up to its first zero byte.
std::size_t FieldLength(const char* p, std::size_t n);

// The short form of a province name in region texts: ten bytes keep bytes 0-3 and 8-9, eight
// bytes keep 0-1 and 4-5, any other length stays whole.
std::string ShortProvince(const char* name20);
// "%s %s" of the short province and the district, written zero-filled into out (outSize bytes,
// cut on a character boundary when it does not fit).
void RegionText(const char* province20, const char* district20, char* out, std::size_t outSize);

// Copies text into a zero-filled field of fieldSize bytes, cut on a character boundary so that
// a terminator always fits.
void CopyField(std::string_view text, char* field, std::size_t fieldSize);

// A detail text for a 2049-byte item: shorter than 2048 bytes it stays whole; otherwise it is
// cut to the last character boundary at or before byte 2046 (walking from the start), followed
// by ".." (cut at 2046) or "..." (cut at 2045), 2048 bytes in all.
std::string CutDetailText(std::string_view text);

// True when word occurs in text at some byte position.
bool ContainsBytes(std::string_view text, std::string_view word);

// Splits a detail text at '|' (empty fields kept).
std::vector<std::string_view> SplitBars(std::string_view text);

// Up to three query words: blanks, tabs, CR, LF and '|' separate them; each is cut to 20
// bytes on a character boundary.
std::vector<std::string> QueryWords(std::string_view text);

} // namespace tolvik
