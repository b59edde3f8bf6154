#include "traffic/pages/TrafficRoadDB.h"

#include "platform/base/Text.h"
#include "route/base/TextTruncate.h"
#include "traffic/pages/DARCTraffic.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int16_t Le16(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
}

void PutLe32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

void CopyName(char (&field)[TrafficRoadDB::kNameSize], const std::string& name) {
    const std::size_t n = std::min(name.size(), sizeof field - 1);
    std::memcpy(field, name.data(), n);
    field[n] = 0;
}

constexpr std::uint32_t kDirectionBit = 1u << 16;
constexpr std::uint32_t kPairingKey = 0xFFFFu;

} // namespace

void sSAVETRAFFIC::Pack(unsigned char* bytes) const {
    PutLe32(bytes, level);
    for (int k = 0; k < kLevels; ++k) {
        PutLe32(bytes + 4 + 4 * k, selected[k]);
        PutLe32(bytes + 20 + 4 * k, offset[k]);
        PutLe32(bytes + 36 + 4 * k, count[k]);
    }
}

void sSAVETRAFFIC::Unpack(const unsigned char* bytes) {
    level = Le32(bytes);
    for (int k = 0; k < kLevels; ++k) {
        selected[k] = Le32(bytes + 4 + 4 * k);
        offset[k] = Le32(bytes + 20 + 4 * k);
        count[k] = Le32(bytes + 36 + 4 * k);
    }
}

TrafficRoadDB::TrafficRoadDB() = default;

TrafficRoadDB::~TrafficRoadDB() { Close(); }

CString TrafficRoadDB::DefaultPath() {
    CString path;
    CDARCTraffic::instance()->getMapDir(path);
    path += u"\\Darc\\DLevel1.db";
    return path;
}

TrafficRoadDB::Record TrafficRoadDB::ParseRecord(const unsigned char* b) {
    Record r;
    r.childOffset = Le32(b);
    r.childCount = Le16(b + 4);
    r.kind = b[6];
    r.roadName = Le16(b + 8);
    r.direction = Le32(b + 10);
    r.linkId = Le32(b + 14);
    r.startName = Le16(b + 18);
    r.endName = Le16(b + 20);
    r.gridCode = Le16(b + 22);
    r.x = Le16(b + 24);
    r.y = Le16(b + 26);
    r.length = Le32(b + 28);
    r.parent = Le32(b + 32);
    return r;
}

std::int64_t TrafficRoadDB::TablePosition(int level, std::uint32_t offset) {
    return level == 0 ? static_cast<std::int64_t>(offset) : kHeaderSize + static_cast<std::int64_t>(offset);
}

int TrafficRoadDB::Open(const char16_t* path) {
    Close();
    if (!path || m_file.Open(path, CBinFile::kModeRead) != 0) return 0;
    m_fileSize = m_file.GetSize();
    unsigned char header[kHeaderSize];
    if (m_fileSize < kHeaderSize || m_file.ReadAt(header, kHeaderSize, 0) != kHeaderSize) {
        m_file.Close();
        return 0;
    }
    m_header.level0Offset = Le32(header + 40);
    m_header.level0Count = Le32(header + 44);
    m_header.roadOffset = Le32(header + 56);
    m_header.roadCount = Le32(header + 60);
    m_header.sectionOffset = Le32(header + 64);
    m_header.sectionCount = Le32(header + 68);
    m_header.roadNames = Le32(header + 72);
    m_header.placeNames = Le32(header + 80);
    std::vector<Record> level0;
    if (m_header.level0Offset == 0 || m_header.level0Count == 0 ||
        !ReadRun(m_header.level0Offset, m_header.level0Count, level0)) {
        m_file.Close();
        return 0;
    }
    m_records.swap(level0);
    std::fill(std::begin(m_offset), std::end(m_offset), 0u);
    std::fill(std::begin(m_count), std::end(m_count), 0u);
    std::fill(std::begin(m_selected), std::end(m_selected), 0u);
    m_offset[0] = m_header.level0Offset;
    m_count[0] = m_header.level0Count;
    m_level = 0;
    m_sectionLevel = m_records.front().kind == 0;
    m_open = true;
    return 1;
}

void TrafficRoadDB::Close() {
    m_records.clear();
    m_file.Close();
    m_open = false;
    m_level = 0;
    m_sectionLevel = false;
}

bool TrafficRoadDB::ReadRecordAt(std::int64_t position, Record& out) {
    unsigned char bytes[kRecordSize];
    if (position < kHeaderSize || position + kRecordSize > m_fileSize) return false;
    if (m_file.ReadAt(bytes, kRecordSize, static_cast<long>(position)) != kRecordSize) return false;
    out = ParseRecord(bytes);
    return true;
}

bool TrafficRoadDB::ReadRun(std::int64_t position, std::int64_t count, std::vector<Record>& out) {
    // A run starts after the header and lies whole inside the file; this also bounds the
    // allocation by the file's size.
    if (count < 1 || position < kHeaderSize || position > m_fileSize ||
        count > (m_fileSize - position) / kRecordSize)
        return false;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * kRecordSize);
    if (m_file.Seek(static_cast<long>(position), 0) == -1) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int want = static_cast<int>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        const int got = m_file.Read(bytes.data() + done, want);
        if (got < 1) return false;
        done += static_cast<std::size_t>(got);
    }
    std::vector<Record> records;
    records.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < bytes.size(); i += kRecordSize) records.push_back(ParseRecord(bytes.data() + i));
    out.swap(records);
    return true;
}

bool TrafficRoadDB::LoadLevel(int level) {
    if (level < 0 || level >= kLevels) return false;
    const std::uint32_t offset = m_offset[level];
    const std::uint32_t count = m_count[level];
    if (offset == 0 || count == 0) return false;
    std::vector<Record> records;
    if (!ReadRun(TablePosition(level, offset), count, records)) return false;
    m_records.swap(records);
    m_sectionLevel = m_records.front().kind == 0;
    return true;
}

std::string TrafficRoadDB::ReadName(std::uint32_t table, std::int32_t index) const {
    if (index < 0) return {};
    const std::int64_t position = kHeaderSize + static_cast<std::int64_t>(table) +
                                  static_cast<std::int64_t>(index) * kNameSize;
    if (position + kNameSize > m_fileSize) return {};
    char bytes[kNameSize];
    if (m_file.ReadAt(bytes, kNameSize, static_cast<long>(position)) != kNameSize) return {};
    bytes[kNameSize - 1] = 0;
    return std::string(bytes);
}

const TrafficRoadDB::Record* TrafficRoadDB::At(int i) const {
    if (!m_open || i < 0 || i >= static_cast<int>(m_records.size())) return nullptr;
    return &m_records[static_cast<std::size_t>(i)];
}

int TrafficRoadDB::GetFirstKind() const { return m_open && !m_records.empty() ? m_records.front().kind : -1; }

void TrafficRoadDB::SetSelected(int row) {
    if (m_open) m_selected[m_level] = static_cast<std::uint32_t>(row);
}

int TrafficRoadDB::GetSelected() const { return m_open ? static_cast<int>(m_selected[m_level]) : -1; }

int TrafficRoadDB::GetSectionX(int i) const {
    const Record* r = At(i);
    return r ? r->x : 0;
}

int TrafficRoadDB::GetSectionY(int i) const {
    const Record* r = At(i);
    return r ? r->y : 0;
}

std::uint32_t TrafficRoadDB::GetSectionLength(int i) const {
    const Record* r = At(i);
    return r ? r->length : 0;
}

int TrafficRoadDB::GetGridCode(int i) const {
    const Record* r = At(i);
    return r ? r->gridCode : 0;
}

int TrafficRoadDB::EnterRecord(int i) {
    const Record* r = At(i);
    if (!r) return 0;
    if (r->kind == 0) return 1;
    // Four levels at most: a section list is never entered, and nothing lies below level 3.
    if (m_level >= kLevels - 1) return 0;
    if (r->childOffset == 0 || r->childCount < 1) return 0;
    const std::uint32_t offset = r->childOffset;
    const auto count = static_cast<std::uint32_t>(r->childCount);
    std::vector<Record> records;
    if (!ReadRun(TablePosition(m_level + 1, offset), count, records)) return 0;
    m_selected[m_level] = static_cast<std::uint32_t>(i);
    ++m_level;
    m_offset[m_level] = offset;
    m_count[m_level] = count;
    m_records.swap(records);
    m_sectionLevel = m_records.front().kind == 0;
    return 1;
}

int TrafficRoadDB::LevelUp() {
    if (!m_open) return 0;
    if (m_level == 0) return 1;
    if (!LoadLevel(m_level - 1)) return 0;
    --m_level;
    return 1;
}

int TrafficRoadDB::ReloadLevel() {
    if (!m_open) return 0;
    if (m_level == 0) return 1;
    return LoadLevel(m_level) ? 1 : 0;
}

const sSAVETRAFFIC* TrafficRoadDB::SaveState() {
    m_saved.level = static_cast<std::uint32_t>(m_open ? m_level : 0);
    std::copy(std::begin(m_selected), std::end(m_selected), m_saved.selected);
    std::copy(std::begin(m_offset), std::end(m_offset), m_saved.offset);
    std::copy(std::begin(m_count), std::end(m_count), m_saved.count);
    return &m_saved;
}

int TrafficRoadDB::RestoreState(const sSAVETRAFFIC* state) {
    if (!m_open || !state || state->level >= static_cast<std::uint32_t>(kLevels)) return 0;
    const int level = static_cast<int>(state->level);
    const std::uint32_t offset = state->offset[level];
    const std::uint32_t count = state->count[level];
    if (offset == 0 || count == 0) return 0;
    std::vector<Record> records;
    if (!ReadRun(TablePosition(level, offset), count, records)) return 0;
    // The other levels' entries are checked when a level change reads them.
    for (int k = 0; k < kLevels; ++k) {
        m_offset[k] = state->offset[k];
        m_count[k] = state->count[k];
        m_selected[k] = state->selected[k] < state->count[k] ? state->selected[k] : 0;
    }
    m_level = level;
    m_records.swap(records);
    m_sectionLevel = m_records.front().kind == 0;
    return 1;
}

unsigned char TrafficRoadDB::SpeedOf(std::uint32_t linkId) const {
    unsigned char speed = 0;
    if (!CDARCTraffic::instance()->getRealSpeedByID(linkId, speed)) return TrafficSectionInfo::kNotReceived;
    return speed;
}

int TrafficRoadDB::GetSectionInfo(int i, TrafficSectionInfo* info) const {
    if (!info) return 0;
    *info = TrafficSectionInfo{};
    const Record* r = At(i);
    if (!r) return 0;
    info->x = r->x;
    info->y = r->y;
    info->length = r->length;
    if (r->kind == 1) {
        CopyName(info->roadName, ReadName(m_header.roadNames, r->roadName));
        return 1;
    }
    CopyName(info->startName, ReadName(m_header.placeNames, r->startName));
    CopyName(info->endName, ReadName(m_header.placeNames, r->endName));
    const bool rDirection = (r->direction & kDirectionBit) != 0;
    info->direction = rDirection ? 1 : 0;
    info->highway = ((r->linkId & 0x80000000u) != 0 || ((r->linkId >> 17) & 7u) == 2) ? 1 : 0;
    const Record& m = m_records[m_records.size() - 1 - static_cast<std::size_t>(i)];
    const bool mDirection = (m.direction & kDirectionBit) != 0;
    if (rDirection == mDirection) {
        // Unpaired: only the record's own direction has a speed.
        if (rDirection) {
            info->speed[0] = SpeedOf(r->linkId);
            info->speed[1] = TrafficSectionInfo::kNotReceived;
        } else {
            info->speed[0] = TrafficSectionInfo::kNotReceived;
            info->speed[1] = SpeedOf(m.linkId);
        }
        return 0;
    }
    if ((r->direction & kPairingKey) != (m.direction & kPairingKey)) return 0;
    info->speed[0] = SpeedOf(r->linkId);
    info->speed[1] = SpeedOf(m.linkId);
    return 1;
}

bool TrafficRoadDB::BuildRoadState(std::int64_t roadPosition, const Record& road, sSAVETRAFFIC& state) {
    if (road.childOffset == 0 || road.childCount < 1) return false;
    const std::int64_t level0 = m_header.level0Offset;
    const std::int64_t level0End = level0 + static_cast<std::int64_t>(m_header.level0Count) * kRecordSize;
    auto isLevel0 = [&](std::int64_t position) {
        return position >= level0 && position < level0End && (position - level0) % kRecordSize == 0;
    };
    auto inRun = [](std::int64_t position, const Record& parent) {
        const std::int64_t start = kHeaderSize + static_cast<std::int64_t>(parent.childOffset);
        return parent.childOffset != 0 && parent.childCount > 0 && position >= start &&
               position < start + static_cast<std::int64_t>(parent.childCount) * kRecordSize &&
               (position - start) % kRecordSize == 0;
    };
    // From the road up to the level-0 record it hangs from, recognised by its position (the
    // first top group's children have parent offset 0). Sections lie at level 3 at most, so
    // their road is at most three records below level 0's table.
    struct Link {
        std::int64_t position;
        Record record;
    };
    std::vector<Link> chain{{roadPosition, road}};
    while (!isLevel0(chain.back().position)) {
        if (chain.size() == kLevels - 1) return false;
        Link parent;
        parent.position = kHeaderSize + static_cast<std::int64_t>(chain.back().record.parent);
        if (!ReadRecordAt(parent.position, parent.record) || !inRun(chain.back().position, parent.record))
            return false;
        chain.push_back(parent);
    }
    const int sectionLevel = static_cast<int>(chain.size());
    if (static_cast<std::int64_t>(road.childCount) >
        (m_fileSize - TablePosition(sectionLevel, road.childOffset)) / kRecordSize)
        return false;
    state = sSAVETRAFFIC{};
    state.level = static_cast<std::uint32_t>(sectionLevel);
    state.offset[0] = m_header.level0Offset;
    state.count[0] = m_header.level0Count;
    state.selected[0] = static_cast<std::uint32_t>((chain.back().position - level0) / kRecordSize);
    for (int k = 1; k <= sectionLevel; ++k) {
        const Record& parent = chain[static_cast<std::size_t>(sectionLevel - k)].record;
        state.offset[k] = parent.childOffset;
        state.count[k] = static_cast<std::uint32_t>(parent.childCount);
        if (k < sectionLevel) {
            const std::int64_t child = chain[static_cast<std::size_t>(sectionLevel - k - 1)].position;
            state.selected[k] =
                static_cast<std::uint32_t>((child - TablePosition(k, parent.childOffset)) / kRecordSize);
        }
    }
    return true;
}

const sSAVETRAFFIC* TrafficRoadDB::FindDrivingRoad(unsigned short first, unsigned short second) {
    m_drivingRow = 0;
    if (!m_open) return nullptr;
    // An index the link table does not know (0xFFFF marks a one-way carriageway's missing
    // second link) counts as no link.
    unsigned long ids[2] = {0, 0};
    if (!CDARCTraffic::instance()->getDarcIDByIdx(first, ids[0])) ids[0] = 0;
    if (!CDARCTraffic::instance()->getDarcIDByIdx(second, ids[1])) ids[1] = 0;
    const std::uint32_t id = static_cast<std::uint32_t>(ids[0] != 0 ? ids[0] : ids[1]);
    if (id == 0) return nullptr;

    const std::int64_t sections = m_header.sectionOffset;
    if (sections < kHeaderSize || sections > m_fileSize) return nullptr;
    const std::int64_t available = (m_fileSize - sections) / kRecordSize;
    const std::int64_t count = std::min<std::int64_t>(m_header.sectionCount, available);
    if (count < 1 || m_file.Seek(static_cast<long>(sections), 0) == -1) return nullptr;
    std::int64_t match = -1;
    Record section;
    for (std::int64_t i = 0; i < count; ++i) {
        unsigned char bytes[kRecordSize];
        if (m_file.Read(bytes, kRecordSize) != kRecordSize) break;
        if (Le32(bytes + 14) == id) {
            section = ParseRecord(bytes);
            match = sections + i * kRecordSize;
            break;
        }
    }
    if (match < 0) return nullptr;

    Record road;
    const std::int64_t roadPosition = kHeaderSize + static_cast<std::int64_t>(section.parent);
    if (!ReadRecordAt(roadPosition, road) || road.direction == 0) return nullptr;
    // The section must be one of its road's children, or its place in the road means nothing.
    const std::int64_t runStart = kHeaderSize + static_cast<std::int64_t>(road.childOffset);
    const int c = road.childCount;
    if (road.childOffset == 0 || c < 1 || match < runStart ||
        match >= runStart + static_cast<std::int64_t>(c) * kRecordSize || (match - runStart) % kRecordSize != 0)
        return nullptr;
    int k = static_cast<int>((match - runStart) / kRecordSize) + 1;
    if (k > c / 2) k = c - k + 1;
    sSAVETRAFFIC state;
    if (!BuildRoadState(roadPosition, road, state)) return nullptr;
    m_drivingRow = 2 * k - 1;
    state.selected[state.level] = static_cast<std::uint32_t>(m_drivingRow);
    m_driving = state;
    m_drivingName = ReadName(m_header.roadNames, road.roadName);
    return &m_driving;
}

const char16_t* TrafficRoadDB::GetDrivingRoadName() {
    m_drivingWide = Cp949ToUtf16(m_drivingName);
    return m_drivingWide.c_str();
}

int TrafficRoadDB::ReanchorInterestRoads(int count, InterestRoadSlot* slots) {
    if (!m_open) return 0;
    if (!slots || count < 1) return 1;
    std::vector<Record> roads;
    const std::int64_t roadCount = std::min<std::int64_t>(
        m_header.roadCount,
        m_header.roadOffset < m_fileSize ? (m_fileSize - m_header.roadOffset) / kRecordSize : 0);
    if (roadCount < 1 || !ReadRun(m_header.roadOffset, roadCount, roads)) return 1;

    // Per slot: the road of its name whose sections it shows already, else the first of its name.
    std::vector<std::int64_t> chosen(static_cast<std::size_t>(count), -1);
    std::vector<bool> same(static_cast<std::size_t>(count), false);
    for (std::size_t r = 0; r < roads.size(); ++r) {
        const std::string name = CutCp949(ReadName(m_header.roadNames, roads[r].roadName),
                                          InterestRoadSlot::kNameBytes - 1);
        if (name.empty()) continue;
        for (int s = 0; s < count; ++s) {
            const InterestRoadSlot& slot = slots[s];
            if (!slot.IsUsed() || same[static_cast<std::size_t>(s)]) continue;
            const std::size_t length = strnlen(slot.name, InterestRoadSlot::kNameBytes);
            if (std::string_view(slot.name, length) != name) continue;
            const std::uint32_t level = slot.state.level;
            const bool shows = level > 0 && level < static_cast<std::uint32_t>(kLevels) &&
                               slot.state.offset[level] == roads[r].childOffset &&
                               static_cast<std::int32_t>(slot.state.count[level]) == roads[r].childCount;
            if (shows || chosen[static_cast<std::size_t>(s)] < 0) {
                chosen[static_cast<std::size_t>(s)] = static_cast<std::int64_t>(r);
                same[static_cast<std::size_t>(s)] = shows;
            }
        }
    }
    for (int s = 0; s < count; ++s) {
        if (chosen[static_cast<std::size_t>(s)] < 0) continue;
        const auto r = static_cast<std::size_t>(chosen[static_cast<std::size_t>(s)]);
        const std::int64_t position = static_cast<std::int64_t>(m_header.roadOffset) +
                                      static_cast<std::int64_t>(r) * kRecordSize;
        sSAVETRAFFIC state;
        if (!BuildRoadState(position, roads[r], state)) continue;
        InterestRoadSlot& slot = slots[s];
        if (same[static_cast<std::size_t>(s)]) state.selected[state.level] = slot.state.selected[slot.state.level];
        slot.state = state;
    }
    return 1;
}
