#include "route/MRReader.h"

#include "route/base/ErrorLog.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
constexpr const char* kReaderUnit = "VelkoMRReader";
constexpr const char* kPoolUnit = "VelkoVFD";
constexpr std::int64_t kNamePiece = 8096;
} // namespace

// ---------------------------------------------------------------------------------------------
// VFD

int VFD::SetRoot(const char16_t* root) {
    m_root = root ? root : u"";
    if (m_root.size() > 255) m_root.resize(255);
    return static_cast<int>(m_root.size());
}

int VFD::TakeFree() {
    if (m_desc.empty()) m_desc.resize(1);
    if (m_desc[0].nextFree == 0) {
        // Grow: the first growth makes 14 descriptors, each later one doubles the count; the
        // new descriptors join the free list in increasing order.
        std::size_t old = m_desc.size();
        std::size_t add = old <= 1 ? kMaxOpen : old - 1;
        m_desc.resize(old + add);
        for (std::size_t i = old; i < old + add; ++i)
            m_desc[i].nextFree = i + 1 < old + add ? static_cast<int>(i + 1) : 0;
        m_desc[0].nextFree = static_cast<int>(old);
    }
    int d = m_desc[0].nextFree;
    m_desc[0].nextFree = m_desc[d].nextFree;
    m_desc[d].nextFree = 0;
    m_desc[d].used = true;
    return d;
}

void VFD::Unlink(int d) {
    Descriptor& x = m_desc[d];
    m_desc[x.prev].next = x.next;
    m_desc[x.next].prev = x.prev;
    x.prev = x.next = 0;
}

void VFD::LinkAtHead(int d) {
    Descriptor& head = m_desc[0];
    m_desc[d].next = head.next;
    m_desc[d].prev = 0;
    m_desc[head.next].prev = d;
    head.next = d;
}

bool VFD::OpenInto(int d) {
    // Make room: close the file opened longest ago (the ring's tail).
    while (m_open >= kMaxOpen && m_desc[0].prev != 0) CloseDescriptor(m_desc[0].prev);
    Descriptor& x = m_desc[d];
    auto file = std::make_unique<CBinFile>();
    if (file->Open(x.path.c_str(), CBinFile::kModeRead) != 0) return false;
    x.size = file->GetSize();
    x.file = std::move(file);
    x.position = 0;
    ++m_open;
    LinkAtHead(d);
    return true;
}

int VFD::OpenFile(const char16_t* relativePath, const char* mode) {
    int d = TakeFree();
    Descriptor& x = m_desc[d];
    x.path = m_root + (relativePath ? relativePath : u"");
    x.mode = mode ? mode : "";
    if (!OpenInto(d)) {
        ErrorLog::Instance().WriteErrorLog(__LINE__, kPoolUnit, "File Open Error");
        CloseAll();
        return -1;
    }
    return d;
}

int VFD::ReadAt(int descriptor, void* buffer, std::int64_t offset, std::int64_t n) {
    if (descriptor <= 0 || descriptor >= static_cast<int>(m_desc.size()) || !m_desc[descriptor].used)
        return 0;
    if (!buffer || n <= 0 || n > INT_MAX || offset < 0) return 0;
    Descriptor& x = m_desc[descriptor];
    if (!x.file && !OpenInto(descriptor)) return 0;
    if (offset > x.size || n > x.size - offset) return 0;
    if (x.position != offset) {
        if (x.file->Seek(static_cast<long>(offset), 0) != offset) return 0;
        x.position = offset;
    }
    int got = x.file->Read(buffer, static_cast<int>(n));
    if (got != n) {
        x.position = -1; // unknown after a short read
        return 0;
    }
    x.position += n;
    return static_cast<int>(n);
}

void VFD::CloseDescriptor(int descriptor) {
    if (descriptor <= 0 || descriptor >= static_cast<int>(m_desc.size())) return;
    Descriptor& x = m_desc[descriptor];
    if (!x.file) return;
    Unlink(descriptor);
    x.file->Close();
    x.file.reset();
    --m_open;
}

void VFD::CloseAll() {
    for (std::size_t d = 1; d < m_desc.size(); ++d) CloseDescriptor(static_cast<int>(d));
    m_desc.clear();
    m_open = 0;
}

std::int64_t VFD::FileSize(int descriptor) const {
    if (descriptor <= 0 || descriptor >= static_cast<int>(m_desc.size()) || !m_desc[descriptor].used)
        return -1;
    return m_desc[descriptor].size;
}

bool VFD::IsFileOpen(int descriptor) const {
    return descriptor > 0 && descriptor < static_cast<int>(m_desc.size()) &&
           m_desc[descriptor].file != nullptr;
}

// ---------------------------------------------------------------------------------------------
// MRReader

int MRReader::Fail(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kReaderUnit, message);
    return 0;
}

bool MRReader::Read(File f, void* buffer, std::int64_t offset, std::int64_t n) {
    if (n == 0) return true;
    if (n < 0 || offset < 0) return false;
    return m_pool.ReadAt(m_fd[f], buffer, offset, n) == n;
}

int MRReader::Open(int level, const char16_t* root, const MRMapRecord* records, const MRBox* boxes,
                   int recordCount) {
    if (m_opened) return 1;
    m_level = level;
    m_pool.SetRoot(root);
    struct {
        File f;
        const char16_t* path;
        const char* error;
    } const files[] = {
        {kManage, u"/MRData/MRManage.bin", "File Open Error !"},
        {kCrossName, u"/MRData/MRCrossName.bin", "CrossName File Open Error !"},
        {kVertex, u"/MRData/MRVertex.bin", "Vretex File Open Error !"},
        {kGuide, u"/MRData/MRGuide.bin", "Guide File Open Error !"},
        {kCodes, u"/MRData/LinkIDvsCode.db", "RestArea Code File Open Error !"},
        // Level 3's files: the engine reads through all four, so each must open.
        {kNode, u"/MRData/MRNode.bin", "Node File Open Error !"},
        {kLink, u"/MRData/MRLink.bin", "Link File Open Error !"},
        {kCross, u"/MRData/MRCross.bin", "CrossNode File Open Error !"},
        {kNeighb, u"/MRData/MRNeighb.bin", "ExNode File Open Error !"},
    };
    for (const auto& file : files) {
        m_fd[file.f] = m_pool.OpenFile(file.path, "rb");
        if (m_fd[file.f] < 0) {
            Fail(__LINE__, file.error);
            Close();
            return 0;
        }
    }
    std::uint8_t countBytes[2];
    if (!Read(kManage, countBytes, 0, 2)) {
        Fail(__LINE__, "Read Map Count Error");
        Close();
        return 0;
    }
    m_mapCount = mrformat::U16(countBytes);
    if (m_mapCount == 0) {
        Fail(__LINE__, "Map Count Error");
        Close();
        return 0;
    }
    if (records && boxes) {
        if (recordCount < m_mapCount) {
            Fail(__LINE__, "Map Record Count Error");
            Close();
            return 0;
        }
        m_records = records;
        m_boxes = boxes;
        m_callerRecords = true;
    } else if (!LoadRecords()) {
        Close();
        return 0;
    }
    m_opened = true;
    return 1;
}

bool MRReader::LoadRecords() {
    const std::int64_t need =
        mrformat::kManageHeaderSize + static_cast<std::int64_t>(m_mapCount) * mrformat::kMapRecordSize;
    if (m_pool.FileSize(m_fd[kManage]) < need) {
        Fail(__LINE__, "Read Map Record Error");
        return false;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(m_mapCount) * mrformat::kMapRecordSize);
    if (!Read(kManage, raw.data(), mrformat::kManageHeaderSize, static_cast<std::int64_t>(raw.size()))) {
        Fail(__LINE__, "Read Map Record Error");
        return false;
    }
    m_ownRecords.assign(m_mapCount, MRMapRecord());
    m_ownBoxes.assign(m_mapCount, MRBox());
    for (std::size_t i = 0; i < m_mapCount; ++i) {
        m_ownRecords[i].Unpack(raw.data() + i * mrformat::kMapRecordSize);
        m_ownBoxes[i] = {m_ownRecords[i].west, m_ownRecords[i].south, m_ownRecords[i].east,
                         m_ownRecords[i].north};
    }
    m_records = m_ownRecords.data();
    m_boxes = m_ownBoxes.data();
    m_callerRecords = false;
    return true;
}

void MRReader::Close() {
    m_pool.CloseAll();
    std::fill(std::begin(m_fd), std::end(m_fd), -1);
    m_opened = false;
    m_mapCount = 0;
    m_records = nullptr;
    m_boxes = nullptr;
    m_ownRecords.clear();
    m_ownBoxes.clear();
}

const MRMapRecord* MRReader::MapRecord(int map) const {
    if (!m_records || map < 0 || map >= m_mapCount) return nullptr;
    return &m_records[map];
}

const MRBox* MRReader::MapBox(int map) const {
    if (!m_boxes || map < 0 || map >= m_mapCount) return nullptr;
    return &m_boxes[map];
}

int MRReader::ReadLinkBlock(void* buffer, int map, int count) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || count < 0 || count > r->linkCount ||
        !Read(kLink, buffer, r->linkOffset, static_cast<std::int64_t>(count) * mrformat::kLinkSize))
        return Fail(__LINE__, "Read Link Block Error");
    return 1;
}

int MRReader::ReadNodeBlock(void* buffer, int map, int count) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || count < 0 || count > r->nodeCount ||
        !Read(kNode, buffer, r->nodeOffset, static_cast<std::int64_t>(count) * mrformat::kNodeSize))
        return Fail(__LINE__, "Read Node Block Error");
    return 1;
}

int MRReader::ReadCrossBlock(void* buffer, int map, std::int64_t size) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || size < 0 || !Read(kCross, buffer, r->crossOffset, size))
        return Fail(__LINE__, "Read CrossNode Block Error");
    return 1;
}

int MRReader::ReadExNodeBlock(void* buffer, int map, std::int64_t size) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || size < 0 || !Read(kNeighb, buffer, r->exNodeOffset, size))
        return Fail(__LINE__, "Read ExNode Block Error");
    return 1;
}

int MRReader::ReadGuideBlock(void* buffer, int map, std::int64_t size) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || size < 0 || !Read(kGuide, buffer, r->guideOffset, size))
        return Fail(__LINE__, "Read guide code Error");
    return 1;
}

int MRReader::ReadLink(void* buffer, int map, int link) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || link < 0 || link >= r->linkCount ||
        !Read(kLink, buffer, r->linkOffset + static_cast<std::int64_t>(link) * mrformat::kLinkSize,
              mrformat::kLinkSize))
        return Fail(__LINE__, "Read Link Block Error");
    return 1;
}

int MRReader::ReadNode(void* buffer, int map, int node) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || node < 0 || node >= r->nodeCount ||
        !Read(kNode, buffer, r->nodeOffset + static_cast<std::int64_t>(node) * mrformat::kNodeSize,
              mrformat::kNodeSize))
        return Fail(__LINE__, "Read Node Block Error");
    return 1;
}

int MRReader::ReadCrossNode(MRCrossNode& junction, int map, std::uint32_t nodeRef) {
    const MRMapRecord* r = MapRecord(map);
    const int n = mrformat::LinkCountOf(nodeRef);
    if (!r || mrformat::IsPassThrough(nodeRef) || n < 1 || n > mrformat::kMaxJunctionLinks)
        return Fail(__LINE__, "Read CrossNode Bloack Error");
    const std::int64_t off = mrformat::BlockOffsetOf(nodeRef), len = (n + 2) * 3;
    if (off + len > r->levelCrossSize[3]) return Fail(__LINE__, "Read CrossNode Bloack Error");
    std::uint8_t raw[(mrformat::kMaxJunctionLinks + 2) * 3];
    if (!Read(kCross, raw, r->crossOffset + off, len) || !junction.Unpack(raw, n))
        return Fail(__LINE__, "Read CrossNode Bloack Error");
    return 1;
}

int MRReader::ReadExNode(void* buffer, int map, std::uint32_t nodeRef) {
    const std::int64_t block = GetExNodeBlockSize(map);
    const std::int64_t off = mrformat::BlockOffsetOf(nodeRef);
    if (!mrformat::IsPassThrough(nodeRef) || block < 0 || off + mrformat::kExNodeSize > block ||
        !Read(kNeighb, buffer, MapRecord(map)->exNodeOffset + off, mrformat::kExNodeSize))
        return Fail(__LINE__, "Read ExNode Block Error");
    return 1;
}

int MRReader::ReadVertices(void* buffer, std::int64_t bufferSize, int map, const std::uint8_t* linkRecord) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || !linkRecord) return Fail(__LINE__, "Read Vertex Error");
    const std::int64_t count = mrformat::LinkVertexCount(linkRecord);
    const std::int64_t bytes = count * mrformat::kVertexSize;
    if (bytes > bufferSize ||
        !Read(kVertex, buffer,
              r->vertexOffset + static_cast<std::int64_t>(mrformat::LinkFirstVertex(linkRecord)) * 4, bytes))
        return Fail(__LINE__, "Read Vertex Error");
    return 1;
}

int MRReader::ReadCrossName(void* buffer, std::int64_t bufferSize, int map, std::uint32_t nameRef) {
    const MRMapRecord* r = MapRecord(map);
    const std::int64_t len = nameRef >> 24;
    if (!r || len > bufferSize ||
        !Read(kCrossName, buffer, static_cast<std::int64_t>(r->nameOffset) + (nameRef & 0xFFFFFF), len))
        return Fail(__LINE__, "Read CrossName Error");
    return 1;
}

int MRReader::ReadGuideCode(void* buffer, std::int64_t bufferSize, int map, int n,
                            const MRCrossNode& junction) {
    const MRMapRecord* r = MapRecord(map);
    if (!r || n < 1 || n > mrformat::kMaxJunctionLinks || junction.guideOffset == mrformat::kNoGuideTable ||
        n * n > bufferSize ||
        junction.guideOffset + static_cast<std::int64_t>(n) * n > r->levelGuideSize[3] ||
        !Read(kGuide, buffer, static_cast<std::int64_t>(r->guideOffset) + junction.guideOffset, n * n))
        return Fail(__LINE__, "Read guide code Error");
    return 1;
}

std::int32_t MRReader::ReadCodeCount() {
    std::uint8_t raw[4];
    if (!Read(kCodes, raw, 0, 4)) return 0;
    const std::int32_t count = mrformat::I32(raw);
    const std::int64_t room = (m_pool.FileSize(m_fd[kCodes]) - 4) / mrformat::kCodeEntrySize;
    if (count < 0) return 0;
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, room));
}

int MRReader::ReadCodes(void* buffer, std::int32_t n) {
    if (n < 0 || !Read(kCodes, buffer, 4, static_cast<std::int64_t>(n) * mrformat::kCodeEntrySize))
        return Fail(__LINE__, "Read RestArea code Error");
    return 1;
}

int MRReader::LoadAllCrossNames(std::vector<std::uint8_t>& names) {
    const std::int64_t size = m_pool.FileSize(m_fd[kCrossName]);
    if (size < 0) return Fail(__LINE__, "Read Cross Name Error");
    names.assign(static_cast<std::size_t>(size), 0);
    for (std::int64_t at = 0; at < size; at += kNamePiece) {
        std::int64_t n = std::min(kNamePiece, size - at);
        if (!Read(kCrossName, names.data() + at, at, n)) {
            names.clear();
            return Fail(__LINE__, "Read Cross Name Error");
        }
    }
    return 1;
}

int MRReader::CopyCrossName(void* buffer, std::int64_t bufferSize, const std::vector<std::uint8_t>& names,
                            int map, std::uint32_t nameRef) const {
    const MRMapRecord* r = MapRecord(map);
    if (!r) return 0;
    const std::int64_t len = nameRef >> 24;
    const std::int64_t at = static_cast<std::int64_t>(r->nameOffset) + (nameRef & 0xFFFFFF);
    if (len > bufferSize || at + len > static_cast<std::int64_t>(names.size())) return 0;
    if (len) std::memcpy(buffer, names.data() + at, static_cast<std::size_t>(len));
    return 1;
}

std::int64_t MRReader::GetExNodeBlockSize(int map) const {
    const MRMapRecord* r = MapRecord(map);
    if (!r) return -1;
    const std::int64_t start = r->exNodeOffset;
    const std::int64_t end = map + 1 < m_mapCount ? static_cast<std::int64_t>(m_records[map + 1].exNodeOffset)
                                                  : m_pool.FileSize(m_fd[kNeighb]);
    return end >= start ? end - start : -1;
}
