// Map layer files (".MDC"): a 50-byte header, then either a grid of cells (a column-major table
// of absolute block offsets followed by the blocks) or one untiled block. The same container
// carries the drawing layers, the road-number shields, the traffic links, the nearby-facility
// files and the guide points.
//
// CMapLayerFile keeps the header and the cell table resident and reads one cell's record block
// at a time through an eight-slot least-recently-used cache.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "route/base/BinFile.h"

#include <cstdint>
#include <memory>
#include <vector>

struct MapLayerHeader {
    static constexpr int kSize = 50;

    std::uint32_t version = 0; // year * 10000 + month * 100 + serial
    std::uint8_t kind = 0;
    std::uint8_t tiled = 0; // 1 = tiled body
    std::uint32_t fileSize = 0;
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    std::uint32_t reserved = 0;
    std::uint16_t columns = 0, rows = 0;
    std::uint32_t cellWidth = 0, cellHeight = 0;
    std::uint32_t originX = 0, originY = 0;

    bool IsTiled() const { return tiled == 1; }
    std::uint64_t CellCount() const { return std::uint64_t(columns) * rows; }

    // Field by field, little-endian. Parse needs kSize bytes.
    void Parse(const std::uint8_t* bytes);
    void Write(std::uint8_t* bytes) const;
};

class CMapLayerFile {
public:
    static constexpr int kSlots = 8;

    CMapLayerFile();
    ~CMapLayerFile();
    CMapLayerFile(const CMapLayerFile&) = delete;
    CMapLayerFile& operator=(const CMapLayerFile&) = delete;

    // Opens folder\name (see BuildPath), reads the header and, for a tiled layer, the cell
    // table. 1 on success (the name is kept), 0 on failure. A layer whose size field is not the
    // file's length, a tiled layer with an empty grid or a zero cell size, and a tiled layer
    // whose table does not fit in the file are refused.
    int Open(const char16_t* folder, const char16_t* name);
    // Opens the stored name again under folder; header, table and cache are kept.
    bool Reopen(const char16_t* folder);

    // Makes the block of a cell (tiled) or the whole body (untiled) the current block.
    // 1: current block set, possibly empty; 0: memory ran out.
    int LoadCell(std::int32_t cell);
    void ClearCellCache();

    int GetKind() const { return m_header.kind; }
    const MapLayerHeader& GetHeader() const { return m_header; }
    const CString& GetName() const { return m_name; }
    bool IsOpen() const { return m_file.IsOpen() != 0; }
    // Entry i of the cell table (0 when out of range or untiled).
    std::uint32_t GetCellOffset(std::uint32_t cell) const;

    // The current block: its cell, size and bytes (nullptr when empty).
    std::int32_t GetCurrentCell() const { return m_currentCell; }
    std::uint32_t GetBlockSize() const { return m_blockSize; }
    const std::uint8_t* GetBlock() const { return m_block; }
    // The lower corner of a cell, the base of its records' offsets.
    void GetCellOrigin(std::int32_t cell, std::int32_t& x, std::int32_t& y) const;

    // Style from the drawing configuration.
    void SetColor(COLORREF color) { m_color = color; }
    void SetPenWidth(std::int16_t width) { m_penWidth = width; }
    void SetBorderColor(COLORREF color) { m_borderColor = color; }
    // The border is on only for exactly 1.
    void SetBorder(int value) { m_border = value == 1 ? 1 : 0; }
    COLORREF GetColor() const { return m_color; }
    std::int16_t GetPenWidth() const { return m_penWidth; }
    COLORREF GetBorderColor() const { return m_borderColor; }
    std::uint8_t GetBorder() const { return m_border; }

    // Number of block reads from the file since construction (cache diagnostics).
    int GetFileReadCount() const { return m_fileReads; }

    // "%ls" for an empty folder, "%ls%ls" when it ends in a backslash, else "%ls\%ls".
    static CString BuildPath(const char16_t* folder, const char16_t* name);

private:
    struct Slot {
        std::int32_t cell = -1; // -1: holds nothing
        std::uint32_t size = 0;
        std::unique_ptr<std::uint8_t[]> buffer;
        int age = 0; // 0 empty, 1..8 occupied (8 = most recently used)
        bool untiledBody = false;
    };

    bool ReadHeaderAndTable();
    int LoadUntiled();
    void MarkMostRecent(int slot);
    void SetCurrent(std::int32_t cell, const Slot* slot);
    // Reads size bytes at offset into buffer; false on a failed or short read.
    bool ReadBlock(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t size);

    CString m_name;
    CBinFile m_file;
    MapLayerHeader m_header;
    std::vector<std::uint32_t> m_table;

    COLORREF m_color = 0;
    std::int16_t m_penWidth = 0;
    std::uint8_t m_border = 0;
    COLORREF m_borderColor = 0;

    std::int32_t m_currentCell = -1;
    std::uint32_t m_blockSize = 0;
    const std::uint8_t* m_block = nullptr;

    Slot m_slots[kSlots];
    int m_fileReads = 0;
};
