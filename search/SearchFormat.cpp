#include "search/SearchFormat.h"

#include "route/base/TextString.h"
#include "route/base/TextTruncate.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tolvik {

bool DbFile::Open(const char16_t* path) {
    Close();
    if (!path || m_file.Open(path, CBinFile::kModeRead) != 0) return false;
    const long size = m_file.GetSize();
    if (size < 0) {
        m_file.Close();
        return false;
    }
    m_size = static_cast<std::uint64_t>(size);
    return true;
}

void DbFile::Close() {
    m_file.Close();
    m_size = 0;
}

bool DbFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
    if (!IsOpen() || !Fits(offset, n) || offset > static_cast<std::uint64_t>(LONG_MAX) ||
        n > static_cast<std::size_t>(INT_MAX))
        return false;
    if (n == 0) return true;
    if (m_file.Seek(static_cast<long>(offset), 0) < 0) return false;
    return m_file.Read(buffer, static_cast<int>(n)) == static_cast<int>(n);
}

void DbHeader::Parse(const std::uint8_t* p) {
    std::memcpy(text, p, 32);
    text[32] = 0;
    for (int g = 0; g < 6; ++g) {
        groupOffset[g] = Le32(p + 32 + 6 * g);
        groupCount[g] = Le16(p + 36 + 6 * g);
    }
    recordBase = Le32(p + 68);
    word72 = Le32(p + 72);
    recordEnd = Le32(p + 76);
    entry30Base = Le32(p + 80);
}

void AdminHeader::Parse(const std::uint8_t* p) {
    std::memcpy(text, p, 32);
    text[32] = 0;
    namesOffset = Le32(p + 32);
    word36 = Le32(p + 36);
}

bool ReadDbHeader(DbFile& file, DbHeader& header) {
    std::uint8_t b[DbHeader::kSize];
    if (!file.ReadAt(0, b, sizeof b)) return false;
    header.Parse(b);
    return true;
}

bool ReadAdminHeader(DbFile& file, AdminHeader& header) {
    std::uint8_t b[AdminHeader::kSize];
    if (!file.ReadAt(0, b, sizeof b)) return false;
    header.Parse(b);
    return true;
}

bool ReadAdminName(DbFile& file, const AdminHeader& header, int n, char* out) {
    if (n <= 0) return false;
    char name[21] = {};
    const std::uint64_t at = header.namesOffset + static_cast<std::uint64_t>(n - 1) * 20;
    if (!file.ReadAt(at, name, 20)) return false;
    std::memcpy(out, name, 21);
    return true;
}

bool ParseVersionText(const char* text32, _VERSION_INFO& version) {
    version = _VERSION_INFO{};
    char text[33] = {};
    std::memcpy(text, text32, 32);
    CTextString rest(text);
    const CTextString first = rest.CutToken();
    if (first.IsEmpty()) return false;
    const CTextString second = rest.CutToken();
    const CTextString third = rest.CutToken();
    const CTextString fourth = rest.CutToken();
    const CTextString fifth = rest.CutToken();
    version.major = static_cast<std::uint16_t>(std::atoi(first.c_str()));
    version.minor = static_cast<std::uint8_t>(std::atoi(second.c_str()));
    version.revision = static_cast<std::uint8_t>(std::atoi(third.c_str()));
    std::memcpy(version.word1, fourth.c_str(), std::min<std::size_t>(10, fourth.GetLength()));
    std::memcpy(version.word2, fifth.c_str(), std::min<std::size_t>(10, fifth.GetLength()));
    return true;
}

std::size_t FieldLength(const char* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n && p[i]) ++i;
    return i;
}

std::string ShortProvince(const char* name20) {
    const std::size_t n = FieldLength(name20, 20);
    if (n == 10) return std::string(name20, 4) + std::string(name20 + 8, 2);
    if (n == 8) return std::string(name20, 2) + std::string(name20 + 4, 2);
    return std::string(name20, n);
}

void CopyField(std::string_view text, char* field, std::size_t fieldSize) {
    if (fieldSize == 0) return;
    std::memset(field, 0, fieldSize);
    const std::string fit = CutCp949(text, fieldSize - 1);
    std::memcpy(field, fit.data(), fit.size());
}

void RegionText(const char* province20, const char* district20, char* out, std::size_t outSize) {
    const std::string text =
        ShortProvince(province20) + " " + std::string(district20, FieldLength(district20, 20));
    CopyField(text, out, outSize);
}

std::string CutDetailText(std::string_view text) {
    if (text.size() < 2048) return std::string(text);
    std::size_t at = 0;
    for (;;) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t step = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
        if (at + step > 2046) break;
        at += step;
    }
    std::string out(text.substr(0, at));
    out += at == 2046 ? ".." : "...";
    return out;
}

bool ContainsBytes(std::string_view text, std::string_view word) {
    if (word.empty() || word.size() > text.size()) return false;
    return text.find(word) != std::string_view::npos;
}

std::vector<std::string_view> SplitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = text.find('|', from);
        if (bar == std::string_view::npos) {
            parts.push_back(text.substr(from));
            return parts;
        }
        parts.push_back(text.substr(from, bar - from));
        from = bar + 1;
    }
}

std::vector<std::string> QueryWords(std::string_view text) {
    CTextString rest{std::string(text)};
    std::vector<std::string> words;
    for (int k = 0; k < 3; ++k) {
        CTextString token = rest.CutToken();
        token.TrimLeft();
        token.TrimRight();
        words.push_back(CutCp949(token.Str(), 20));
    }
    return words;
}

} // namespace tolvik
