#include "mapview/MapLayerFile.h"

#include <new>

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

void MapLayerHeader::Parse(const std::uint8_t* b) {
    version = Le32(b + 0);
    kind = b[4];
    tiled = b[5];
    fileSize = Le32(b + 6);
    minX = static_cast<std::int32_t>(Le32(b + 10));
    minY = static_cast<std::int32_t>(Le32(b + 14));
    maxX = static_cast<std::int32_t>(Le32(b + 18));
    maxY = static_cast<std::int32_t>(Le32(b + 22));
    reserved = Le32(b + 26);
    columns = Le16(b + 30);
    rows = Le16(b + 32);
    cellWidth = Le32(b + 34);
    cellHeight = Le32(b + 38);
    originX = Le32(b + 42);
    originY = Le32(b + 46);
}

void MapLayerHeader::Write(std::uint8_t* b) const {
    Put32(b + 0, version);
    b[4] = kind;
    b[5] = tiled;
    Put32(b + 6, fileSize);
    Put32(b + 10, static_cast<std::uint32_t>(minX));
    Put32(b + 14, static_cast<std::uint32_t>(minY));
    Put32(b + 18, static_cast<std::uint32_t>(maxX));
    Put32(b + 22, static_cast<std::uint32_t>(maxY));
    Put32(b + 26, reserved);
    Put16(b + 30, columns);
    Put16(b + 32, rows);
    Put32(b + 34, cellWidth);
    Put32(b + 38, cellHeight);
    Put32(b + 42, originX);
    Put32(b + 46, originY);
}

CMapLayerFile::CMapLayerFile() = default;

CMapLayerFile::~CMapLayerFile() {
    m_file.Close();
    ClearCellCache();
    m_table.clear();
}

CString CMapLayerFile::BuildPath(const char16_t* folder, const char16_t* name) {
    CString f(folder ? folder : u"");
    CString n(name ? name : u"");
    if (f.IsEmpty()) return n;
    if (f[f.GetLength() - 1] == u'\\') return f + n;
    return f + u"\\" + n;
}

int CMapLayerFile::Open(const char16_t* folder, const char16_t* name) {
    m_file.Close();
    ClearCellCache();
    m_table.clear();
    m_header = MapLayerHeader();
    m_name.Empty();

    CString path = BuildPath(folder, name);
    if (m_file.Open(path, CBinFile::kModeRead) != 0) return 0;
    if (!ReadHeaderAndTable()) {
        m_file.Close();
        return 0;
    }
    m_name = CString(name ? name : u"");
    return 1;
}

bool CMapLayerFile::ReadHeaderAndTable() {
    std::uint8_t bytes[MapLayerHeader::kSize];
    if (m_file.ReadAt(bytes, MapLayerHeader::kSize, 0) != MapLayerHeader::kSize) return false;
    MapLayerHeader header;
    header.Parse(bytes);

    // The size word must be the file's real length: every block end is checked against it.
    long length = m_file.GetSize();
    if (length < 0 || static_cast<std::uint64_t>(length) != header.fileSize) return false;

    std::vector<std::uint32_t> table;
    if (header.IsTiled()) {
        if (header.columns == 0 || header.rows == 0 || header.cellWidth == 0 || header.cellHeight == 0)
            return false;
        std::uint64_t tableBytes = header.CellCount() * 4;
        if (MapLayerHeader::kSize + tableBytes > header.fileSize) return false;
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(tableBytes));
        if (m_file.ReadAt(raw.data(), static_cast<int>(tableBytes), MapLayerHeader::kSize) !=
            static_cast<int>(tableBytes))
            return false;
        table.resize(static_cast<std::size_t>(header.CellCount()));
        for (std::size_t i = 0; i < table.size(); ++i) table[i] = Le32(raw.data() + 4 * i);
    }

    m_header = header;
    m_table = std::move(table);
    return true;
}

bool CMapLayerFile::Reopen(const char16_t* folder) {
    m_file.Close();
    return m_file.Open(BuildPath(folder, m_name), CBinFile::kModeRead) == 0;
}

std::uint32_t CMapLayerFile::GetCellOffset(std::uint32_t cell) const {
    return cell < m_table.size() ? m_table[cell] : 0;
}

void CMapLayerFile::GetCellOrigin(std::int32_t cell, std::int32_t& x, std::int32_t& y) const {
    x = 0;
    y = 0;
    if (!m_header.IsTiled() || m_header.rows == 0 || cell < 0) return;
    std::int64_t column = cell / m_header.rows;
    std::int64_t row = cell % m_header.rows;
    x = static_cast<std::int32_t>(std::int64_t(m_header.originX) + column * m_header.cellWidth);
    y = static_cast<std::int32_t>(std::int64_t(m_header.originY) + row * m_header.cellHeight);
}

void CMapLayerFile::ClearCellCache() {
    for (Slot& slot : m_slots) {
        slot.buffer.reset();
        slot.cell = -1;
        slot.size = 0;
        slot.age = 0;
        slot.untiledBody = false;
    }
    m_currentCell = -1;
    m_blockSize = 0;
    m_block = nullptr;
}

void CMapLayerFile::MarkMostRecent(int s) {
    int age = m_slots[s].age;
    for (Slot& slot : m_slots)
        if (slot.age > age) --slot.age;
    m_slots[s].age = kSlots;
}

void CMapLayerFile::SetCurrent(std::int32_t cell, const Slot* slot) {
    m_currentCell = cell;
    if (slot && slot->buffer && slot->size > 0) {
        m_blockSize = slot->size;
        m_block = slot->buffer.get();
    } else {
        m_blockSize = 0;
        m_block = nullptr;
    }
}

bool CMapLayerFile::ReadBlock(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t size) {
    ++m_fileReads;
    if (size > 0x7fffffffu || offset > 0x7fffffffu) return false;
    return m_file.ReadAt(buffer, static_cast<int>(size), static_cast<long>(offset)) == static_cast<int>(size);
}

int CMapLayerFile::LoadUntiled() {
    Slot& slot = m_slots[0];
    if (slot.untiledBody) {
        SetCurrent(0, &slot);
        return 1;
    }
    if (m_header.fileSize < MapLayerHeader::kSize) {
        SetCurrent(0, nullptr);
        return 1;
    }
    std::uint32_t size = m_header.fileSize - MapLayerHeader::kSize;
    slot.buffer.reset();
    slot.size = 0;
    if (size > 0) {
        slot.buffer.reset(new (std::nothrow) std::uint8_t[size]);
        if (!slot.buffer) return 0;
        if (ReadBlock(MapLayerHeader::kSize, slot.buffer.get(), size)) {
            slot.size = size;
        } else {
            slot.buffer.reset(); // a short read leaves the body empty
        }
    } else {
        ++m_fileReads;
    }
    slot.untiledBody = true;
    slot.cell = 0;
    slot.age = kSlots;
    SetCurrent(0, &slot);
    return 1;
}

int CMapLayerFile::LoadCell(std::int32_t c) {
    if (!m_header.IsTiled()) return LoadUntiled();

    if (c < 0 || static_cast<std::uint64_t>(c) >= m_table.size()) {
        SetCurrent(c, nullptr);
        return 1;
    }
    if (c == m_currentCell) return 1;
    m_currentCell = c;

    int victim = -1;
    for (int s = 0; s < kSlots; ++s) {
        Slot& slot = m_slots[s];
        if (slot.age != 0 && slot.cell == c) {
            MarkMostRecent(s);
            SetCurrent(c, &slot);
            return 1;
        }
        if (slot.age == 0)
            victim = s;
        else if (slot.age == 1 && victim < 0)
            victim = s;
    }
    if (victim < 0) victim = 0; // unreachable while the ages stay a permutation

    Slot& slot = m_slots[victim];
    slot.buffer.reset();
    slot.size = 0;
    MarkMostRecent(victim);
    slot.cell = c;

    std::uint32_t start = m_table[static_cast<std::size_t>(c)];
    if (start == 0) {
        SetCurrent(c, nullptr);
        return 1;
    }
    std::uint32_t end = m_header.fileSize;
    for (std::size_t i = static_cast<std::size_t>(c) + 1; i < m_table.size(); ++i) {
        if (m_table[i] != 0) {
            end = m_table[i];
            break;
        }
    }
    if (start > m_header.fileSize || end > m_header.fileSize || start > end || start == end) {
        SetCurrent(c, nullptr);
        return 1;
    }
    std::uint32_t size = end - start;
    slot.buffer.reset(new (std::nothrow) std::uint8_t[size]);
    if (!slot.buffer) {
        ClearCellCache();
        m_currentCell = c;
        MarkMostRecent(victim);
        m_slots[victim].cell = c;
        m_slots[victim].buffer.reset(new (std::nothrow) std::uint8_t[size]);
        if (!m_slots[victim].buffer) {
            ClearCellCache();
            return 0;
        }
    }
    Slot& target = m_slots[victim];
    if (!ReadBlock(start, target.buffer.get(), size)) {
        target.buffer.reset(); // never hand out a partly read block
        SetCurrent(c, nullptr);
        return 1;
    }
    target.size = size;
    SetCurrent(c, &target);
    return 1;
}
