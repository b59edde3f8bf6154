#include "position/MRNetReader.h"

#include "platform/base/CString.h"

#include <cstring>
#include <new>

namespace {

std::unique_ptr<CMRNetReader> g_instance;

const char16_t* const kFileNames[CMRNetReader::kFileCount] = {
    u"MRData\\MRManage.bin", u"MRData\\MRNode.bin",  u"MRData\\MRLink.bin",   u"MRData\\MRVertex.bin",
    u"MRData\\MRGuide.bin",  u"MRData\\MRCross.bin", u"MRData\\MRNeighb.bin", u"MRData\\MRCrossName.bin"};

bool InBox(const MRMapRecord& r, std::int32_t x, std::int32_t y) {
    return x >= r.west && x < r.east && y >= r.south && y < r.north;
}

} // namespace

CMRNetReader* CMRNetReader::GetInstance() {
    if (!g_instance) g_instance.reset(new (std::nothrow) CMRNetReader());
    return g_instance.get();
}

void CMRNetReader::Destroy() {
    g_instance.reset();
}

CMRNetReader::CMRNetReader() {
    ResetWindow();
}

CMRNetReader::~CMRNetReader() {
    Close();
}

void CMRNetReader::EmptySlot(Slot& s) {
    s.raw.fill(0);
    for (int i = 0; i < 9; ++i) mrformat::PutU16(s.raw.data() + 4 + 2 * i, mrformat::kNoMap);
    s.rec.Unpack(s.raw.data());
}

void CMRNetReader::ResetWindow() {
    for (Slot& s : m_window) EmptySlot(s);
}

bool CMRNetReader::Open(const char16_t* folder) {
    Close(); // handles of an earlier call are not kept
    const CString base(folder ? folder : u"");
    for (int i = 0; i < kFileCount; ++i) {
        auto file = std::make_unique<CBinFile>();
        CString path = base + u"\\" + kFileNames[i];
        if (file->Open(path, CBinFile::kModeRead) == 0) {
            m_files[i] = std::make_unique<CPagedFile>(std::move(file));
            m_files[i]->SetCaching(m_caching);
        }
    }
    std::uint8_t count[2];
    if (!ReadFile(kManage, 0, count, 2)) return false;
    m_mapCount = mrformat::I16(count);
    return true;
}

bool CMRNetReader::IsOpen() const {
    for (const auto& f : m_files)
        if (!f) return false;
    return true;
}

int CMRNetReader::Close() {
    for (auto& f : m_files) f.reset();
    m_mapCount = -1;
    // The window's records belong to the closed network: a network opened next must not be
    // answered from them.
    ResetWindow();
    m_quadrant = -1;
    return -1;
}

void CMRNetReader::SetMemoryCopies(const std::uint8_t* nodes, std::size_t nodeSize, const std::uint8_t* links,
                                   std::size_t linkSize, const std::uint8_t* junctions,
                                   std::size_t junctionSize) {
    m_nodeImage = nodes;
    m_nodeImageSize = nodes ? nodeSize : 0;
    m_linkImage = links;
    m_linkImageSize = links ? linkSize : 0;
    m_crossImage = junctions;
    m_crossImageSize = junctions ? junctionSize : 0;
}

void CMRNetReader::SetReadCaching(bool on) {
    m_caching = on;
    for (auto& f : m_files)
        if (f) f->SetCaching(on);
}

long CMRNetReader::FileReads() const {
    long n = 0;
    for (const auto& f : m_files)
        if (f) n += f->FileReads();
    return n;
}

bool CMRNetReader::ReadFile(FileIndex f, std::int64_t offset, void* buffer, std::int64_t n) {
    if (!m_files[f] || offset < 0 || n < 0 || n > 0x7FFFFFFF) return false;
    if (n == 0) return true;
    return m_files[f]->Read(offset, buffer, n);
}

bool CMRNetReader::ReadImage(const std::uint8_t* image, std::size_t size, std::int64_t offset, void* buffer,
                             std::int64_t n) const {
    if (offset < 0 || n < 0 || static_cast<std::uint64_t>(offset) > size ||
        static_cast<std::uint64_t>(n) > size - offset)
        return false;
    if (n) std::memcpy(buffer, image + offset, static_cast<std::size_t>(n));
    return true;
}

bool CMRNetReader::ReadFrom(FileIndex f, std::int64_t offset, void* buffer, std::int64_t n) {
    if (f == kNode && m_nodeImage) return ReadImage(m_nodeImage, m_nodeImageSize, offset, buffer, n);
    if (f == kLink && m_linkImage) return ReadImage(m_linkImage, m_linkImageSize, offset, buffer, n);
    if (f == kCross && m_crossImage) return ReadImage(m_crossImage, m_crossImageSize, offset, buffer, n);
    return ReadFile(f, offset, buffer, n);
}

bool CMRNetReader::ReadMapFromFile(int mapId, RawMapRecord& record) {
    ++m_recordReads;
    return ReadFile(kManage,
                    mrformat::kManageHeaderSize + static_cast<std::int64_t>(mapId) * mrformat::kMapRecordSize,
                    record.data(), mrformat::kMapRecordSize);
}

int CMRNetReader::GetMapRecord(int mapId, RawMapRecord& record) {
    if (mapId < 0 || mapId >= m_mapCount) return 0;
    for (const Slot& s : m_window)
        if (!SlotEmpty(s) && s.rec.neighbours[4] == mapId) {
            record = s.raw;
            return 1;
        }
    return ReadMapFromFile(mapId, record) ? 1 : 0;
}

int CMRNetReader::GetMapRecord(int mapId, MRMapRecord& record) {
    if (mapId < 0 || mapId >= m_mapCount) return 0;
    // A window record is kept unpacked beside its bytes.
    for (const Slot& s : m_window)
        if (!SlotEmpty(s) && s.rec.neighbours[4] == mapId) {
            record = s.rec;
            return 1;
        }
    RawMapRecord raw;
    if (!ReadMapFromFile(mapId, raw)) return 0;
    record.Unpack(raw.data());
    return 1;
}

bool CMRNetReader::ReadNode(std::int64_t offset, std::uint8_t (&node)[mrformat::kNodeSize]) {
    return ReadFrom(kNode, offset, node, mrformat::kNodeSize);
}

bool CMRNetReader::GetNode(int mapId, int node, std::uint8_t (&record)[mrformat::kNodeSize]) {
    MRMapRecord r;
    if (!GetMapRecord(mapId, r) || node < 0 || node >= r.nodeCount) return false;
    return ReadNode(r.nodeOffset + static_cast<std::int64_t>(node) * mrformat::kNodeSize, record);
}

bool CMRNetReader::ReadCross(std::int64_t offset, int n, MRCrossNode& junction) {
    if (n < 1 || n > mrformat::kMaxJunctionLinks) return false;
    std::uint8_t raw[(mrformat::kMaxJunctionLinks + 2) * 3];
    if (!ReadFrom(kCross, offset, raw, (n + 2) * 3)) return false;
    return junction.Unpack(raw, n);
}

bool CMRNetReader::GetNodeJunction(int mapId, int node, int n, MRCrossNode& junction) {
    MRMapRecord r;
    std::uint8_t rec[mrformat::kNodeSize];
    if (n < 1 || n > mrformat::kMaxJunctionLinks || !GetMapRecord(mapId, r) || node < 0 ||
        node >= r.nodeCount ||
        !ReadNode(r.nodeOffset + static_cast<std::int64_t>(node) * mrformat::kNodeSize, rec))
        return false;
    const std::uint32_t ref = mrformat::U32(rec + 4);
    const std::int64_t off = mrformat::BlockOffsetOf(ref);
    if (mrformat::IsPassThrough(ref) || off + (n + 2) * 3 > r.levelCrossSize[3]) return false;
    return ReadCross(static_cast<std::int64_t>(r.crossOffset) + off, n, junction);
}

bool CMRNetReader::ReadNeighbour(std::int64_t offset, std::uint8_t (&record)[mrformat::kExNodeSize]) {
    return ReadFrom(kNeighb, offset, record, mrformat::kExNodeSize);
}

std::int64_t CMRNetReader::ExNodeBlockSize(int mapId, const MRMapRecord& record) {
    std::int64_t end;
    if (mapId + 1 < m_mapCount) {
        MRMapRecord next;
        if (!GetMapRecord(mapId + 1, next)) return -1;
        end = next.exNodeOffset;
    } else {
        if (!m_files[kNeighb]) return -1;
        end = m_files[kNeighb]->GetSize();
    }
    return end >= record.exNodeOffset ? end - record.exNodeOffset : -1;
}

bool CMRNetReader::GetNodeNeighbour(int mapId, int node, std::uint8_t (&record)[mrformat::kExNodeSize]) {
    MRMapRecord r;
    std::uint8_t rec[mrformat::kNodeSize];
    if (!GetMapRecord(mapId, r) || node < 0 || node >= r.nodeCount ||
        !ReadNode(r.nodeOffset + static_cast<std::int64_t>(node) * mrformat::kNodeSize, rec))
        return false;
    const std::uint32_t ref = mrformat::U32(rec + 4);
    const std::int64_t off = mrformat::BlockOffsetOf(ref);
    const std::int64_t block = ExNodeBlockSize(mapId, r);
    if (!mrformat::IsPassThrough(ref) || block < 0 || off + mrformat::kExNodeSize > block) return false;
    return ReadNeighbour(static_cast<std::int64_t>(r.exNodeOffset) + off, record);
}

bool CMRNetReader::ReadLink(std::int64_t offset, std::uint8_t (&link)[mrformat::kLinkSize]) {
    return ReadFrom(kLink, offset, link, mrformat::kLinkSize);
}

bool CMRNetReader::GetLink(int mapId, int link, std::uint8_t (&record)[mrformat::kLinkSize]) {
    MRMapRecord r;
    if (!GetMapRecord(mapId, r) || link < 0 || link >= r.linkCount) return false;
    return ReadLink(r.linkOffset + static_cast<std::int64_t>(link) * mrformat::kLinkSize, record);
}

bool CMRNetReader::ReadLinks(std::int64_t offset, int count, std::uint8_t* buffer, std::size_t bufferSize) {
    const std::int64_t n = static_cast<std::int64_t>(count) * mrformat::kLinkSize;
    if (!buffer || count < 0 || static_cast<std::uint64_t>(n) > bufferSize) return false;
    return ReadFrom(kLink, offset, buffer, n);
}

bool CMRNetReader::GetShapePoint(int mapId, int link, int k, std::uint16_t& x, std::uint16_t& y) {
    MRMapRecord r;
    std::uint8_t rec[mrformat::kLinkSize];
    if (!GetMapRecord(mapId, r) || !GetLink(mapId, link, rec)) return false;
    if (k < 0 || k >= mrformat::LinkVertexCount(rec)) return false;
    std::uint8_t p[4];
    if (!ReadFile(kVertex,
                  r.vertexOffset + (static_cast<std::int64_t>(mrformat::LinkFirstVertex(rec)) + k) * 4, p, 4))
        return false;
    x = mrformat::U16(p);
    y = mrformat::U16(p + 2);
    return true;
}

bool CMRNetReader::ReadShapePoints(std::int64_t offset, int count, std::uint8_t* buffer,
                                   std::size_t bufferSize) {
    const std::int64_t n = static_cast<std::int64_t>(count) * mrformat::kVertexSize;
    if (!buffer || count < 0 || static_cast<std::uint64_t>(n) > bufferSize) return false;
    return ReadFile(kVertex, offset, buffer, n);
}

bool CMRNetReader::GetSegment(int mapId, int link, int k, std::uint16_t& x1, std::uint16_t& y1,
                              std::uint16_t& x2, std::uint16_t& y2) {
    std::uint8_t rec[mrformat::kLinkSize];
    if (!GetLink(mapId, link, rec)) return false;
    const int count = mrformat::LinkVertexCount(rec);
    if (k < 0 || k > count) return false;
    auto nodePoint = [&](int node, std::uint16_t& x, std::uint16_t& y) {
        std::uint8_t n[mrformat::kNodeSize];
        if (!GetNode(mapId, node, n)) return false;
        x = mrformat::U16(n);
        y = mrformat::U16(n + 2);
        return true;
    };
    bool ok =
        k == 0 ? nodePoint(mrformat::LinkStartNode(rec), x1, y1) : GetShapePoint(mapId, link, k - 1, x1, y1);
    if (!ok) return false;
    return k == count ? nodePoint(mrformat::LinkEndNode(rec), x2, y2) : GetShapePoint(mapId, link, k, x2, y2);
}

bool CMRNetReader::ReadCrossName(std::int64_t offset, int length, char* buffer, int bufferSize) {
    if (!buffer || length < 0 || length >= bufferSize) return false;
    if (!ReadFile(kCrossName, offset, buffer, length)) return false;
    buffer[length] = 0;
    return true;
}

int CMRNetReader::FindMap(std::int32_t x, std::int32_t y) {
    if (m_mapCount <= 0) return -1;
    int lo = 0, hi = m_mapCount - 1;
    RawMapRecord raw;
    MRMapRecord r;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (!ReadMapFromFile(mid, raw)) return -1;
        r.Unpack(raw.data());
        if (InBox(r, x, y)) return mid;
        if (x < r.west || (y < r.south && x < r.east))
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    for (int id = 0; id < m_mapCount; ++id) {
        if (!ReadMapFromFile(id, raw)) return -1;
        r.Unpack(raw.data());
        if (InBox(r, x, y)) return id;
    }
    return -1;
}

bool CMRNetReader::Locate(std::int32_t x, std::int32_t y) {
    if (!m_files[kManage]) return false;
    int found = -1;
    if (!SlotEmpty(m_window[4]))
        for (int s = 0; s < 9; ++s)
            if (!SlotEmpty(m_window[s]) && InBox(m_window[s].rec, x, y)) {
                found = s;
                break;
            }
    if (found < 0) {
        ResetWindow();
        const int id = FindMap(x, y);
        if (id < 0) return false;
        if (!ReadMapFromFile(id, m_window[4].raw)) {
            EmptySlot(m_window[4]);
            return false;
        }
        m_window[4].rec.Unpack(m_window[4].raw.data());
    } else if (found != 4) {
        // Slide so that the found slot becomes the centre.
        const int dr = found / 3 - 1, dc = found % 3 - 1;
        Slot moved[9];
        for (Slot& s : moved) EmptySlot(s);
        for (int s = 0; s < 9; ++s) {
            const int nr = s / 3 - dr, nc = s % 3 - dc;
            if (nr >= 0 && nr < 3 && nc >= 0 && nc < 3) moved[nr * 3 + nc] = m_window[s];
        }
        for (int s = 0; s < 9; ++s) m_window[s] = moved[s];
    }
    const MRMapRecord& c = m_window[4].rec;
    // The box comes from the file: its middle is worked out wide so no corner values overflow.
    const std::int64_t midX = (static_cast<std::int64_t>(c.west) + c.east) / 2;
    const std::int64_t midY = (static_cast<std::int64_t>(c.south) + c.north) / 2;
    m_quadrant = (x >= midX ? 1 : 0) | (y >= midY ? 2 : 0);
    static const int kFill[4][3] = {{0, 1, 3}, {1, 2, 5}, {3, 6, 7}, {5, 7, 8}};
    const MRMapRecord centre = c;
    for (int slot : kFill[m_quadrant]) {
        const int id = centre.neighbours[slot] == mrformat::kNoMap ? -1 : centre.neighbours[slot];
        Slot& s = m_window[slot];
        if (!SlotEmpty(s) && s.rec.neighbours[4] == id) continue;
        RawMapRecord raw;
        if (id >= 0 && GetMapRecord(id, raw)) {
            s.raw = raw;
            s.rec.Unpack(raw.data());
        } else {
            EmptySlot(s);
        }
    }
    return true;
}

bool CMRNetReader::GetWindowRecord(int slot, MRMapRecord& record) const {
    if (slot < 0 || slot > 8 || SlotEmpty(m_window[slot])) return false;
    record = m_window[slot].rec;
    return true;
}

int CMRNetReader::WindowMapId(int slot) const {
    if (slot < 0 || slot > 8 || SlotEmpty(m_window[slot])) return -1;
    return m_window[slot].rec.neighbours[4];
}
