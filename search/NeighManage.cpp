#include "search/NeighManage.h"

#include "route/base/Coords.h"
#include "search/NeighRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

using tolvik::Le32;

namespace {

// Code page 949 words the names take.
const char kHospital[] = "\xBA\xB4\xBF\xF8";         // 병원
const char kPharmacy[] = "\xBE\xE0\xB1\xB9";         // 약국
const char kBank[] = "\xC0\xBA\xC7\xE0";             // 은행
const char kRepair[] = "\xC1\xA4\xBA\xF1\xBC\xD2";   // 정비소

const char* BrandName(std::uint8_t brand) {
    switch (brand) {
    case 31: return "\xC0\xAF\xB7\xE1\xC1\xD6\xC2\xF7\xC0\xE5";         // 유료주차장
    case 44: return "S_OIL";
    case 45: return "\xC7\xF6\xB4\xEB\xC1\xD6\xC0\xAF\xBC\xD2";         // 현대주유소
    case 46: return "LG\xC1\xD6\xC0\xAF\xBC\xD2";                       // LG주유소
    case 47: return "SK\xC1\xD6\xC0\xAF\xBC\xD2";                       // SK주유소
    case 48: return "\xC1\xD6\xC0\xAF\xBC\xD2";                         // 주유소
    case 69: return "\xB9\xAB\xB7\xE1\xC1\xD6\xC2\xF7\xC0\xE5";         // 무료주차장
    default: return "";
    }
}

bool HitBefore(const NeighHit& a, const NeighHit& b) {
    if (a.distance != b.distance) return a.distance < b.distance;
    const int c = std::memcmp(a.name, b.name, sizeof a.name);
    if (c != 0) return c < 0;
    if (a.x != b.x) return a.x < b.x;
    return a.y < b.y;
}

} // namespace

const char16_t* CNeighManage::CategoryFile(int category) {
    static const char16_t* const kFiles[kCategories] = {
        u"Neigh\\HOSP.MDC",    u"Neigh\\PHARM.MDC", u"Neigh\\LPG.MDC",   u"Neigh\\OIL.MDC",
        u"Neigh\\SERVICE.MDC", u"Neigh\\PARKING.MDC", u"Neigh\\BANK.MDC", u"Neigh\\HOTEL.MDC",
        u"Neigh\\FASTFOOD.MDC", u"Neigh\\SUBWAY.MDC"};
    return category >= 0 && category < kCategories ? kFiles[category] : nullptr;
}

int CNeighManage::LevelOf(std::int32_t d) {
    if (d >= 16001) return 2;
    if (d >= 6001) return 3;
    if (d >= 3001) return 4;
    if (d >= 1501) return 5;
    if (d >= 401) return 6;
    if (d >= 201) return 7;
    if (d >= 101) return 8;
    return 9;
}

void CNeighManage::CellExtents(const std::vector<std::uint32_t>& offsets, std::uint64_t end,
                               std::vector<std::uint32_t>& start, std::vector<std::uint32_t>& size) {
    const std::size_t n = offsets.size();
    start.assign(n, 0);
    size.assign(n, 0);
    std::vector<std::uint32_t> off = offsets;
    // Of a run of cells with the same offset only the first keeps it (the first cell is empty).
    if (n > 0 && off[0] != 0) {
        std::uint32_t remembered = off[0];
        for (std::size_t c = 0; c < n; ++c) {
            if (off[c] == remembered)
                off[c] = 0;
            else
                remembered = off[c];
        }
        // The walk above clears the first cell itself.
    }
    // Offsets inside the header or the table, past the end, or below an earlier cell's are empty.
    const std::uint64_t tableEnd = kHeaderSize + 4ull * kCells;
    std::uint32_t previous = 0;
    for (std::size_t c = 0; c < n; ++c) {
        if (off[c] == 0) continue;
        if (off[c] < tableEnd || off[c] >= end || off[c] < previous) {
            off[c] = 0;
            continue;
        }
        previous = off[c];
    }
    for (std::size_t c = 0; c < n; ++c) {
        if (off[c] == 0) continue;
        std::uint64_t next = end;
        for (std::size_t d = c + 1; d < n; ++d)
            if (off[d] != 0) {
                next = off[d];
                break;
            }
        start[c] = off[c];
        size[c] = static_cast<std::uint32_t>(next - off[c]);
    }
}

void CNeighManage::NameOf(const char* stored, std::uint8_t brand, char* out) const {
    std::string name(stored, strnlen(stored, 20));
    auto append = [&](const char* word) {
        // A name that cannot take its word within 20 bytes stays as it is.
        if (name.size() + std::strlen(word) <= 20) name += word;
    };
    switch (m_category) {
    case 0: append(kHospital); break;
    case 1: append(kPharmacy); break;
    case 2: name = "LPG"; break;
    case 4: name = kRepair; break;
    case 6:
        if (name.size() <= 4) append(kBank);
        break;
    case 3:
    case 5:
        if (name.empty()) name = BrandName(brand);
        break;
    default: break;
    }
    std::memset(out, 0, 21);
    std::memcpy(out, name.data(), std::min<std::size_t>(name.size(), 20));
}

void CNeighManage::Offer(const NeighHit& hit) {
    if (m_hits.size() < static_cast<std::size_t>(kMaxHits)) {
        m_hits.push_back(hit);
    } else if (HitBefore(hit, m_hits.back())) {
        m_hits.back() = hit;
    } else {
        return;
    }
    std::sort(m_hits.begin(), m_hits.end(), HitBefore);
}

void CNeighManage::SearchCell(tolvik::DbFile& file, int kind, int cx, int cy, std::uint32_t offset,
                              std::uint32_t size) {
    std::unique_ptr<CNeighRecord> record = CNeighRecord::ForKind(kind);
    const std::size_t step = record->Size();
    const std::size_t whole = size / step * step;
    if (whole == 0) return;
    std::vector<std::uint8_t> cell(whole);
    if (!file.ReadAt(offset, cell.data(), whole)) return;
    for (std::size_t at = 0; at + step <= whole; at += step) {
        record->Parse(cell.data() + at);
        NeighHit hit;
        hit.x = cx * 10000 + record->XOffset();
        hit.y = cy * 10000 + record->YOffset();
        std::int32_t nx = 0, ny = 0;
        PointFileToNetCoord(hit.x, hit.y, nx, ny);
        const double dx = std::abs(static_cast<double>(nx) - m_netX) * coords::kMetresPerNetX;
        const double dy = std::abs(static_cast<double>(ny) - m_netY) * coords::kMetresPerNetY;
        const double metres = std::sqrt(dx * dx + dy * dy);
        if (metres >= kMaxDistance) continue;
        hit.distance = static_cast<std::int32_t>(metres);
        int bearing = static_cast<int>(std::atan2(static_cast<double>(nx) - m_netX, static_cast<double>(ny) - m_netY) *
                                       57.295782314224404);
        if (bearing < 0) bearing += 360;
        hit.bearing = bearing;
        hit.level = LevelOf(hit.distance);
        hit.brand = record->Brand();
        NameOf(record->Name(), hit.brand, hit.name);
        Offer(hit);
    }
}

bool CNeighManage::InitNeighManage(int category, long x, long y, const char16_t* folder, const char16_t* fileName) {
    m_hits.clear();
    if (category < 0 || category >= kCategories || !folder || !fileName) return false;
    m_category = category;
    m_netX = static_cast<std::int32_t>(x);
    m_netY = static_cast<std::int32_t>(y);
    NetToPointFileCoord(m_netX, m_netY, m_pointX, m_pointY);

    tolvik::DbFile file;
    const std::u16string path = std::u16string(folder) + u"\\" + fileName;
    if (!file.Open(path.c_str())) return false;
    std::uint8_t header[kHeaderSize];
    if (!file.ReadAt(0, header, sizeof header)) return false;
    const int kind = header[4];
    const std::uint32_t stated = Le32(header + 6);
    // The header's file size ends the last cell only when the file really is that long.
    const std::uint64_t end = std::min<std::uint64_t>(stated, file.Size());
    std::vector<std::uint8_t> table(4u * kCells);
    if (!file.ReadAt(kHeaderSize, table.data(), table.size())) return false;
    std::vector<std::uint32_t> offsets(kCells), start, size;
    for (int c = 0; c < kCells; ++c) offsets[static_cast<std::size_t>(c)] = Le32(table.data() + 4 * c);
    CellExtents(offsets, end, start, size);

    const int cx = m_pointX / 10000, cy = m_pointY / 10000;
    // Rings 0 and 1 first, then rings 2, 3 and 4, each in x-outer, y-inner order.
    for (int pass = 1; pass <= 4; ++pass) {
        const int fromRing = pass == 1 ? 0 : pass, toRing = pass == 1 ? 1 : pass;
        for (int ring = fromRing; ring <= toRing; ++ring)
            for (int gx = cx - 4; gx <= cx + 4; ++gx)
                for (int gy = cy - 4; gy <= cy + 4; ++gy) {
                    if (std::max(std::abs(gx - cx), std::abs(gy - cy)) != ring) continue;
                    if (gx < 0 || gx >= kColumns || gy < 0 || gy >= kRows) continue;
                    const std::size_t c = static_cast<std::size_t>(gx) * kRows + static_cast<std::size_t>(gy);
                    if (size[c] > 0) SearchCell(file, kind, gx, gy, start[c], size[c]);
                }
        if (m_hits.size() >= static_cast<std::size_t>(kMaxHits)) break;
    }
    return !m_hits.empty();
}

bool CNeighManage::GetFacility(int i, std::uint8_t& brand, std::int32_t& x, std::int32_t& y, std::int32_t& distance,
                               std::int32_t& bearing, std::int32_t& level, char* name21) const {
    if (i < 0 || i >= GetCount()) return false;
    const NeighHit& h = m_hits[static_cast<std::size_t>(i)];
    brand = h.brand;
    x = h.x;
    y = h.y;
    distance = h.distance;
    bearing = h.bearing;
    level = h.level;
    std::memcpy(name21, h.name, 21);
    return true;
}
