#include "search/PoiFile.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using tolvik::Le16;
using tolvik::Le32;

bool CPoiFile::Open(const char16_t* path) {
    m_header = Header{};
    if (!m_file.Open(path)) return false;
    std::uint8_t b[48];
    if (!m_file.ReadAt(0, b, sizeof b)) {
        m_file.Close();
        return false;
    }
    std::memcpy(m_header.text, b, 32);
    m_header.labelOffset = Le32(b + 32);
    m_header.labelCount = Le32(b + 36);
    m_header.indexOffset = Le32(b + 40);
    m_header.recordCount = Le32(b + 44);
    if (m_header.labelCount == 0) {
        m_file.Close();
        return false;
    }
    return true;
}

bool CPoiFile::ReadLabel(int n, char* label41) {
    std::memset(label41, 0, 41);
    if (n < 0 || static_cast<std::uint32_t>(n) >= m_header.labelCount) return false;
    return m_file.ReadAt(m_header.labelOffset + static_cast<std::uint64_t>(n) * 40, label41, 40);
}

bool CPoiFile::ReadPOI(int n, _POI_RESULT& out) {
    m_work = _POI_RESULT{};
    if (!m_file.IsOpen() || n < 1 || static_cast<std::uint32_t>(n) > m_header.recordCount) return false;
    std::uint8_t entry[8];
    if (!m_file.ReadAt(m_header.indexOffset + static_cast<std::uint64_t>(n - 1) * 8, entry, sizeof entry)) return false;
    const std::uint32_t offset = Le32(entry), size = Le32(entry + 4);
    if (size < 26 || size > kMaxRecordSize) return false;
    std::vector<std::uint8_t> record(size);
    if (!m_file.ReadAt(offset, record.data(), size)) return false;
    const std::string_view text(reinterpret_cast<const char*>(record.data() + 26),
                                tolvik::FieldLength(reinterpret_cast<const char*>(record.data() + 26), size - 26));
    if (text.empty()) return false;
    m_work.first = Le16(record.data());
    m_work.second = static_cast<std::int32_t>(Le32(record.data() + 2));
    std::memcpy(m_work.name, record.data() + 6, 20);
    const std::vector<std::string_view> parts = tolvik::SplitBars(text);
    for (std::size_t k = 0; k < parts.size(); k += 2) {
        if (parts[k].empty() || m_work.items.size() >= kMaxItems) break;
        _POI_ITEM item;
        ReadLabel(std::atoi(std::string(parts[k]).c_str()), item.label);
        if (k + 1 < parts.size()) {
            const std::string t = tolvik::CutDetailText(parts[k + 1]);
            std::memcpy(item.text, t.data(), t.size());
        }
        m_work.items.push_back(item);
    }
    out = m_work;
    return true;
}
