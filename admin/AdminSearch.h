// The district and neighbourhood of a map point, from the area tables of the search database
// folder: Admin.db (a directory of the 48 x 66 meshes of 12,000 x 10,000 map units, a grid of
// n x n cells per mesh, and the area rectangles each cell meets), Gu.bin (district names) and
// Dong.bin (neighbourhood names), 12-byte code page 949 names.
#pragma once

#include "admin/AdminTblFile.h"
#include "admin/MeshMan.h"

#include <cstdint>

class CAdminSearch {
public:
    static constexpr int kMeshColumns = 48;
    static constexpr int kMeshRows = 66;
    static constexpr long kMeshWidth = 12000;
    static constexpr long kMeshHeight = 10000;
    static constexpr int kAnswerSize = 25;

    CAdminSearch() = default;
    virtual ~CAdminSearch();

    // Opens folder + "Admin.db", "Gu.bin" and "Dong.bin" (the folder ends with a separator);
    // 1 when all three open.
    int OpenTbl(const char* folder);
    // "district neighbourhood" (or the district alone) into the 25-byte answer, always ending
    // with a zero inside it; 1 when found. On 0 the answer is left untouched.
    int DoSrch(long x, long y, char* answer);
    // The district alone.
    int GetGuName(long x, long y, char* answer);

    // Distance of a point to a rectangle: the gap along x plus the gap along y, each 0 when the
    // point lies within the rectangle's range on that axis.
    static int GetDist2Rect(int px, int py, int x1, int y1, int x2, int y2);
    // (x / 12000) x 66 + y / 10000.
    static unsigned short GetMeshIndex(long x, long y);
    // The cell of a mesh-local point in a grid of n x n cells: column px / (12000 / n), row
    // (py - 1) / (10000 / n) (0 for py = 0), both clamped to n - 1. False for n = 0 or n above
    // 10,000 (no data).
    static bool CellOf(int n, long px, long py, int& column, int& row);

private:
    // The district and neighbourhood numbers of the area nearest the point; false when none.
    bool Lookup(long x, long y, std::uint16_t& district, std::uint16_t& neighbourhood);
    int Answer(long x, long y, char* answer, bool withNeighbourhood);
    int GetGuName(unsigned short index, char* name);
    int GetDongName(unsigned short index, char* name);
    int GetMeshMan(long x, long y, MeshMan* entry);

    AdminTblFile m_admin, m_gu, m_dong;
    std::uint8_t m_opened = 0;
};
