#include "admin/AdminSearch.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t Le32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

// A cell's records are read at once, at most this many bytes; records past them end the scan.
constexpr long long kCellReadMax = 64 * 1024;
constexpr int kBestStart = 100000;

} // namespace

CAdminSearch::~CAdminSearch() = default;

int CAdminSearch::OpenTbl(const char* folder) {
    if (!folder) return 0;
    const std::string base = folder;
    if (!m_admin.Open((base + "Admin.db").c_str(), 1)) return 0;
    if (!m_gu.Open((base + "Gu.bin").c_str(), 1)) return 0;
    if (!m_dong.Open((base + "Dong.bin").c_str(), 1)) return 0;
    m_opened = 1;
    return 1;
}

unsigned short CAdminSearch::GetMeshIndex(long x, long y) {
    return static_cast<unsigned short>((x / kMeshWidth) * kMeshRows + y / kMeshHeight);
}

int CAdminSearch::GetDist2Rect(int px, int py, int x1, int y1, int x2, int y2) {
    auto gap = [](int p, int a, int b) {
        if (p < a) return a - p;
        if (p > b) return p - b;
        return 0;
    };
    return gap(px, x1, x2) + gap(py, y1, y2);
}

bool CAdminSearch::CellOf(int n, long px, long py, int& column, int& row) {
    if (n <= 0 || n > 10000) return false;
    const long w = kMeshWidth / n, h = kMeshHeight / n;
    column = static_cast<int>(std::min<long>(px / w, n - 1));
    row = py > 0 ? static_cast<int>(std::min<long>((py - 1) / h, n - 1)) : 0;
    return true;
}

int CAdminSearch::GetMeshMan(long x, long y, MeshMan* entry) {
    std::uint8_t b[8];
    if (!m_admin.ReadAt(static_cast<long long>(GetMeshIndex(x, y)) * 8, b, 8)) return 0;
    entry->offset = Le32(b);
    entry->present = Le32(b + 4);
    return 1;
}

bool CAdminSearch::Lookup(long x, long y, std::uint16_t& district, std::uint16_t& neighbourhood) {
    if (!m_opened || x <= 0 || x >= kMeshColumns * kMeshWidth || y <= 0 || y >= kMeshRows * kMeshHeight) return false;
    MeshMan mesh;
    if (!GetMeshMan(x, y, &mesh) || mesh.present == 0 || mesh.offset < 0) return false;
    const long px = x % kMeshWidth, py = y % kMeshHeight;
    std::uint8_t nb[2];
    if (!m_admin.ReadAt(mesh.offset, nb, 2)) return false;
    const int n = Le16(nb);
    int column = 0, row = 0;
    if (!CellOf(n, px, py, column, row)) return false;
    std::uint8_t cell[8];
    const long long entry = static_cast<long long>(mesh.offset) + 2 + 8LL * (static_cast<long long>(column) * n + row);
    if (!m_admin.ReadAt(entry, cell, 8)) return false;
    const std::int32_t offset = Le32(cell), count = Le32(cell + 4);
    const long long size = m_admin.GetSize();
    if (count <= 0 || offset < 0 || offset >= size) return false;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min(size - offset, kCellReadMax)));
    if (!m_admin.ReadAt(offset, block.data(), static_cast<int>(block.size()))) return false;

    int best = kBestStart;
    std::uint16_t bestDistrict = 0, bestNeighbourhood = 0;
    std::size_t at = 0;
    for (std::int32_t r = 0; r < count && best > 0; ++r) {
        if (at + 6 > block.size()) break;
        const std::uint16_t gu = Le16(&block[at]), dong = Le16(&block[at + 2]), rects = Le16(&block[at + 4]);
        at += 6;
        if (at + 8ull * rects > block.size()) break; // a record running past the cell ends the scan
        int distance = best;
        for (std::uint16_t k = 0; k < rects; ++k) {
            const std::uint8_t* q = &block[at + 8ull * k];
            const int x1 = Le16(q), y1 = Le16(q + 2), x2 = Le16(q + 4), y2 = Le16(q + 6);
            if (x1 <= px && px <= x2 && y1 <= py && py <= y2) {
                distance = 0;
                break;
            }
            distance = std::min(distance, GetDist2Rect(static_cast<int>(px), static_cast<int>(py), x1, y1, x2, y2));
        }
        at += 8ull * rects;
        if (distance < best) {
            best = distance;
            bestDistrict = gu;
            bestNeighbourhood = dong;
        }
    }
    if (bestDistrict == 0) return false;
    district = bestDistrict;
    neighbourhood = bestNeighbourhood;
    return true;
}

int CAdminSearch::GetGuName(unsigned short index, char* name) {
    if (index == 0) return 0;
    return m_gu.ReadAt((static_cast<long long>(index) - 1) * 12, name, 12) ? 1 : 0;
}

int CAdminSearch::GetDongName(unsigned short index, char* name) {
    if (index == 0) return 0;
    return m_dong.ReadAt((static_cast<long long>(index) - 1) * 12, name, 12) ? 1 : 0;
}

int CAdminSearch::Answer(long x, long y, char* answer, bool withNeighbourhood) {
    if (!answer) return 0;
    std::uint16_t gu = 0, dong = 0;
    if (!Lookup(x, y, gu, dong)) return 0;
    char buffer[kAnswerSize] = {};
    char name[13] = {};
    if (!GetGuName(gu, name)) return 0;
    std::memcpy(buffer, name, 12);
    std::size_t length = std::strlen(buffer);
    char dongName[13] = {};
    if (withNeighbourhood && dong != 0 && GetDongName(dong, dongName)) {
        buffer[length++] = ' ';
        // The neighbourhood is cut on a character boundary so that a zero always ends the answer.
        const std::size_t room = kAnswerSize - 1 - length;
        std::size_t take = 0;
        const std::size_t n = std::strlen(dongName);
        while (take < n) {
            const std::size_t step = static_cast<unsigned char>(dongName[take]) >= 0x81 ? 2 : 1;
            if (take + step > room || take + step > n) break;
            take += step;
        }
        std::memcpy(buffer + length, dongName, take);
    }
    std::memcpy(answer, buffer, kAnswerSize);
    return 1;
}

int CAdminSearch::DoSrch(long x, long y, char* answer) {
    return Answer(x, y, answer, true);
}

int CAdminSearch::GetGuName(long x, long y, char* answer) {
    return Answer(x, y, answer, false);
}
