#include "traffic/receiver/Traffic.h"

#include "platform/files/CFileStatus.h"
#include "traffic/receiver/ReceiverUtil.h"

#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr char16_t kLinkTable[] = u"\\MRDATA\\DARCLINK.bin";
constexpr char16_t kSaveFile[] = u"\\My Documents\\Velko\\STIStore.bin";
constexpr unsigned char kSaveMagic = 0x65;
constexpr std::size_t kRecordSize = 12;
// A link table of a whole country stays far below this.
constexpr std::size_t kMaxLinkTableBytes = 64u * 1024 * 1024;

std::atomic<CTraffic*> g_instance{nullptr};
std::mutex g_instanceLock;

std::uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint32_t ReadBe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}
void PutLe32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

constexpr auto kRelaxed = std::memory_order_relaxed;

} // namespace

CTraffic* CTraffic::instance() {
    CTraffic* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CTraffic();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CTraffic::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CTraffic::CTraffic() {
    for (auto& flag : m_display) flag.store(1, kRelaxed);
}

CTraffic::~CTraffic() = default;

void CTraffic::FreeTables() {
    m_loaded.store(0, std::memory_order_release);
    m_records.reset();
    m_ids.reset();
    m_overrides.reset();
    m_linkCount = 0;
}

void CTraffic::openFile(const CString& folder) {
    FreeTables(); // a second open replaces the tables of the first
    m_mapDir = folder;
    std::vector<unsigned char> bytes;
    CString path = folder + kLinkTable;
    if (!ReadWholeFile(path, bytes, kMaxLinkTableBytes)) return;
    std::size_t count = bytes.size() / 4;
    auto records = std::unique_ptr<Record[]>(new (std::nothrow) Record[count]);
    auto ids = std::unique_ptr<std::uint32_t[]>(new (std::nothrow) std::uint32_t[count]);
    auto overrides = std::unique_ptr<std::atomic<std::uint8_t>[]>(new (std::nothrow) std::atomic<std::uint8_t>[count]);
    if (count > 0 && (!records || !ids || !overrides)) return;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t id = ReadLe32(&bytes[i * 4]);
        // Bisection needs strictly ascending ids; a table out of order would name wrong links.
        if (i > 0 && id <= records[i - 1].id) return;
        records[i].id = id;
        ids[i] = id;
        overrides[i].store(255, kRelaxed);
    }
    m_records = std::move(records);
    m_ids = std::move(ids);
    m_overrides = std::move(overrides);
    m_linkCount = static_cast<int>(count);
    LoadSaveFile();
    m_loaded.store(1, std::memory_order_release);
}

void CTraffic::LoadSaveFile() {
    CFileStatus status;
    if (!CFileStatus::GetStatus(kSaveFile, status)) return;
    if (!StoreAgeMinutes(kFreshMinutes, static_cast<std::uint32_t>(status.m_mtime.GetTime()))) return;
    std::vector<unsigned char> bytes;
    std::size_t maxBytes = 1 + kRecordSize * static_cast<std::size_t>(m_linkCount);
    if (!ReadWholeFile(kSaveFile, bytes, maxBytes) || bytes.empty() || bytes[0] != kSaveMagic) return;
    for (std::size_t at = 1; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        const unsigned char* r = &bytes[at];
        int index = findLinkIndex(ReadLe32(r + 4));
        if (index < 0) continue;
        Record& rec = m_records[index];
        rec.time.store(ReadLe32(r), kRelaxed);
        rec.speed.store(r[8], kRelaxed);
        rec.reserved.store(r[9], kRelaxed);
        rec.flags.store(r[10], kRelaxed);
        rec.spare.store(r[11], kRelaxed);
    }
}

int CTraffic::close() {
    if (!IsLoaded()) return 0;
    std::vector<unsigned char> out;
    out.push_back(kSaveMagic);
    for (int i = 0; i < m_linkCount; ++i) {
        const Record& rec = m_records[i];
        std::uint8_t flags = rec.flags.load(kRelaxed);
        if (!(flags & kReceived)) continue;
        PutLe32(out, rec.time.load(kRelaxed));
        PutLe32(out, rec.id);
        out.push_back(rec.speed.load(kRelaxed));
        out.push_back(rec.reserved.load(kRelaxed));
        out.push_back(flags);
        out.push_back(rec.spare.load(kRelaxed));
    }
    m_loaded.store(0, std::memory_order_release);
    return WriteFileAside(kSaveFile, out) ? 1 : 0;
}

int CTraffic::setData(const unsigned char* payload, int length) {
    if (!IsLoaded() || !payload || length < 22) return 0;
    if (((payload[1] >> 4) & 0x07) != 0) return 0;
    const std::uint32_t now = CurrentTimeValue();
    for (int k = 0; k < 4; ++k) setSTISpeed(ReadBe32(payload + 2 + 5 * k), payload[6 + 5 * k], now);
    return 1;
}

int CTraffic::setSTISpeed(unsigned long id, unsigned char speed, std::uint32_t now) {
    int index = findLinkIndex(id);
    if (index < 0) return 0;
    Record& rec = m_records[index];
    rec.speed.store(speed, kRelaxed);
    rec.flags.fetch_or(kReceived, kRelaxed);
    rec.time.store(now, kRelaxed);
    return 1;
}

int CTraffic::findLinkIndex(unsigned long id) const {
    if (m_linkCount <= 0 || id > 0xFFFFFFFFul) return -1;
    // Bisection over the ids alone: a compact array that stays in the cache.
    const std::uint32_t* ids = m_ids.get();
    int lo = 0;
    int hi = m_linkCount - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        std::uint32_t key = ids[mid];
        if (key == id) return mid;
        if (key < id)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

int CTraffic::getRealSpeedByID(unsigned long id, unsigned char& speed) const {
    if (!IsLoaded()) return 0;
    int index = findLinkIndex(id);
    if (index < 0 || index > 0xFFFF) return 0;
    return getRealSpeedByIdx(static_cast<unsigned short>(index), speed);
}

int CTraffic::getRealSpeedByIdx(unsigned short index, unsigned char& speed) const {
    if (!IsLoaded() || index >= m_linkCount) return 0;
    const Record& rec = m_records[index];
    if (!(rec.flags.load(kRelaxed) & kReceived)) return 0;
    std::uint8_t s = rec.speed.load(kRelaxed);
    if (s == 0) return 0;
    speed = s;
    return 1;
}

int CTraffic::getSpeedByIdx(unsigned short index, unsigned char& speed) const {
    return getRealSpeedByIdx(index, speed);
}

int CTraffic::IsHighWay(unsigned short index) const {
    if (index >= m_linkCount) return 0;
    std::uint32_t id = m_records[index].id;
    return (id & 0x80000000u) || ((id >> 17) & 0x07) == 2 ? 1 : 0;
}

int CTraffic::getLinkColorByIdx(unsigned short index, unsigned long& colour) const {
    unsigned char s = 0;
    if (!getRealSpeedByIdx(index, s)) return 0;
    bool highway = IsHighWay(index) != 0;
    int congested = highway ? 20 : 10;
    int slow = highway ? 40 : 20;
    int fast = highway ? 70 : 40;
    int cls;
    unsigned long c;
    if (s < congested) {
        cls = 3;
        c = kColourCongested;
    } else if (s < slow) {
        cls = 2;
        c = kColourSlow;
    } else if (s >= fast) {
        cls = 0;
        c = kColourFast;
    } else {
        cls = 1;
        c = kColourMoving;
    }
    if (!m_display[cls].load(kRelaxed)) return 0;
    colour = c;
    return 1;
}

int CTraffic::isDataAvailable(int percent) const {
    if (!IsLoaded() || m_linkCount <= 0) return 0;
    long long received = 0;
    for (int i = 0; i < m_linkCount; ++i)
        if (m_records[i].flags.load(kRelaxed) & kReceived) ++received;
    return received * 100 / m_linkCount > percent ? 1 : 0;
}

int CTraffic::getAverSpeedByType(char roadClass, unsigned char& average) const {
    average = 0;
    if (!IsLoaded()) return 1;
    std::uint32_t now = CurrentTimeValue();
    unsigned long sum = 0;
    unsigned long n = 0;
    for (int i = 0; i < m_linkCount; ++i) {
        const Record& rec = m_records[i];
        if (static_cast<int>((rec.id >> 17) & 0x07) != roadClass) continue;
        if (!(rec.flags.load(kRelaxed) & kReceived)) continue;
        std::uint8_t s = rec.speed.load(kRelaxed);
        if (s == 0) continue;
        if ((now - rec.time.load(kRelaxed)) / 60u > static_cast<std::uint32_t>(kFreshMinutes)) continue;
        sum += s;
        ++n;
    }
    if (n > 0) average = static_cast<unsigned char>(sum / n);
    return 1;
}

int CTraffic::fakeSpeedByIdx(int count, const unsigned short* indices, unsigned char speed) {
    if (count < 1) return 1;
    if (!IsLoaded() || !indices) return 0;
    for (int i = 0; i < count; ++i) {
        if (indices[i] >= m_linkCount) {
            unfakeAll();
            return 0;
        }
        m_overrides[indices[i]].store(speed, kRelaxed);
    }
    return 1;
}

int CTraffic::unfakeAll() {
    if (m_overrides)
        for (int i = 0; i < m_linkCount; ++i) m_overrides[i].store(255, kRelaxed);
    return 0;
}

int CTraffic::GetFakeSpeedByIdx(unsigned short index, unsigned char& speed) const {
    if (!IsLoaded() || index >= m_linkCount) return 0;
    speed = m_overrides[index].load(kRelaxed);
    return 1;
}

void CTraffic::reset() {
    if (!m_records) return;
    for (int i = 0; i < m_linkCount; ++i) m_records[i].flags.store(0, kRelaxed);
}

int CTraffic::GetLastUpdatedTime(CTime&) const { return 0; }

void CTraffic::UpdateTrafficDB() {
    if (!IsLoaded()) return;
    std::uint32_t now = CurrentTimeValue();
    for (int i = 0; i < m_linkCount; ++i) {
        Record& rec = m_records[i];
        if (!(rec.flags.load(kRelaxed) & kReceived)) continue;
        if ((now - rec.time.load(kRelaxed)) / 60u > static_cast<std::uint32_t>(kFreshMinutes))
            rec.flags.store(0, kRelaxed);
    }
}

int CTraffic::LoadHighWayTraffic(const TrafficDownload& download) {
    std::uint32_t count = download.GetItemCount();
    if (count == 0) return 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned char* item = download.GetItem(i);
        if (!item) return 0;
        if (!IsLoaded()) continue;
        int index = findLinkIndex(ReadLe32(item));
        if (index < 0) continue;
        Record& rec = m_records[index];
        rec.time.store(CurrentTimeValue(), kRelaxed);
        rec.speed.store(item[4], kRelaxed);
        rec.reserved.store(0, kRelaxed);
        rec.flags.store(0xFF, kRelaxed);
        rec.spare.store(0, kRelaxed);
    }
    return 1;
}

int CTraffic::getDarcIDByIdx(unsigned short index, unsigned long& id) const {
    if (!IsLoaded() || index >= m_linkCount) return 0;
    id = m_records[index].id;
    return 1;
}

void CTraffic::SetDisplayOnOff(const bool* flags) {
    if (!flags) return;
    for (int i = 0; i < 4; ++i) m_display[i].store(flags[i] ? 1 : 0, kRelaxed);
}
