#include "traffic/receiver/Stock.h"

#include "traffic/receiver/ReceiverUtil.h"
#include "traffic/receiver/StoreFile.h"

#include <cstring>
#include <new>

namespace {

constexpr char16_t kItemTable[] = u"\\DARC\\SIMID.bin";
constexpr char16_t kMarketTable[] = u"\\DARC\\SIMTable01.bin";
constexpr char16_t kSaveFile[] = u"\\My Documents\\Velko\\SIMStore.bin";
constexpr int kFreshMinutes = 30;
constexpr std::uint32_t kResetMinutes = 30;
constexpr std::size_t kMaxTableBytes = 4u * 1024 * 1024;
constexpr std::size_t kItemSaveSize = 21;
constexpr std::size_t kMarketSize = 23;

std::atomic<CStock*> g_instance{nullptr};
std::mutex g_instanceLock;

void PutMarket(std::vector<unsigned char>& out, const MARKET_STATUS& m) {
    PutU32(out, m.value);
    PutU16(out, m.change);
    PutU32(out, m.field3);
    PutU32(out, m.field4);
    PutU16(out, m.field5);
    PutU16(out, m.field6);
    PutU32(out, m.validity);
    out.push_back(m.index);
}

bool ReadMarket(FileFields& f, MARKET_STATUS& m) {
    return f.U32(m.value) && f.U16(m.change) && f.U32(m.field3) && f.U32(m.field4) && f.U16(m.field5) &&
           f.U16(m.field6) && f.U32(m.validity) && f.U8(m.index);
}

} // namespace

CStock* CStock::instance() {
    CStock* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CStock();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CStock::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CStock::CStock() : m_lastPacket(CurrentTimeValue()) {}

void CStock::LoadItems(const CString& folder) {
    m_items.init();
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(folder + kItemTable, bytes, kMaxTableBytes)) return;
    FileFields f(bytes);
    std::uint32_t count = 0;
    // Every item takes at least five bytes: a count beyond the file is refused.
    if (!f.U32(count) || count > f.Left() / 5 || !m_items.setSize(static_cast<int>(count))) return;
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t key = 0;
        std::uint8_t length = 0;
        std::string name;
        // Keys must strictly ascend for the bisection; a table that does not is refused.
        if (!f.U32(key) || !f.U8(length) || !f.Bytes(length, name) || (i > 0 && key <= previous)) {
            m_items.init();
            return;
        }
        previous = key;
        SIM* item = new SIM();
        item->key = key;
        item->name = new char[name.size() + 1];
        std::memcpy(item->name, name.data(), name.size());
        item->name[name.size()] = 0;
        m_items.insert(item);
    }
}

void CStock::LoadMarkets(const CString& folder) {
    m_markets.clear();
    m_marketNames.clear();
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(folder + kMarketTable, bytes, kMaxTableBytes)) return;
    FileFields f(bytes);
    std::uint8_t count = 0;
    if (!f.U8(count)) return;
    for (int i = 0; i < count; ++i) {
        std::uint8_t length = 0;
        std::string name;
        if (!f.U8(length) || !f.Bytes(length, name)) break;
        MARKET_STATUS m;
        m.index = static_cast<std::uint8_t>(i);
        m_markets.push_back(m);
        m_marketNames.push_back(name);
    }
}

void CStock::LoadSaveFile() {
    std::vector<unsigned char> bytes;
    const std::size_t max = 1 + 255 * kMarketSize + kItemSaveSize * (m_items.count() + 1u);
    if (!ReadFreshSaveFile(kSaveFile, kFreshMinutes, max, bytes)) return;
    FileFields f(bytes);
    std::uint8_t count = 0;
    if (!f.U8(count) || count != m_markets.size()) return;
    if (f.Left() < count * kMarketSize) return;
    for (MARKET_STATUS& m : m_markets) ReadMarket(f, m);
    while (f.Left() >= kItemSaveSize) {
        SIM r;
        f.U32(r.key);
        f.U16(r.price);
        f.U8(r.direction);
        f.U16(r.change);
        f.U32(r.volume);
        f.U16(r.high);
        f.U16(r.low);
        f.U16(r.ask);
        f.U16(r.bid);
        SIM* item = m_items.search(r.key);
        if (!item) continue;
        r.name = item->name;
        *item = r;
    }
}

void CStock::openFile(const CString& folder) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_loaded.store(0);
        LoadItems(folder);
        LoadMarkets(folder);
        LoadSaveFile();
    }
    m_loaded.store(1);
}

int CStock::close() {
    if (!IsLoaded()) return 0;
    std::vector<unsigned char> out;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        out.push_back(static_cast<unsigned char>(m_markets.size()));
        for (const MARKET_STATUS& m : m_markets) PutMarket(out, m);
        m_items.startTravel();
        while (SIM* item = m_items.next()) {
            if (item->volume == 0xFFFFFFFFu) continue;
            PutU32(out, item->key);
            PutU16(out, item->price);
            out.push_back(item->direction);
            PutU16(out, item->change);
            PutU32(out, item->volume);
            PutU16(out, item->high);
            PutU16(out, item->low);
            PutU16(out, item->ask);
            PutU16(out, item->bid);
        }
    }
    m_loaded.store(0);
    return WriteFileAside(kSaveFile, out) ? 1 : 0;
}

void CStock::ResetLocked() {
    m_items.startTravel();
    while (SIM* item = m_items.next()) item->volume = 0xFFFFFFFFu;
    for (MARKET_STATUS& m : m_markets) m.validity = 0xFFFFFFFFu;
}

void CStock::reset() {
    std::lock_guard<std::mutex> lock(m_lock);
    ResetLocked();
}

int CStock::setData(const unsigned char* payload, int length) {
    if (!IsLoaded() || !payload || length < 2) return 0;
    const int kind = (payload[1] >> 4) & 0x07;
    if (IsBroadcastTimePacket(payload, length)) {
        std::uint32_t packed = 0;
        if (!ReadBroadcastTime(payload, length, packed)) return 0;
        m_time.store(packed);
        return 1;
    }
    if (length < 22) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    if (MinutesSince(m_lastPacket) > kResetMinutes) ResetLocked();
    m_lastPacket = CurrentTimeValue();
    if (kind == 1 || kind == 3) {
        m_closed = payload[5] & 0x80;
        const unsigned long key = static_cast<unsigned long>(Be16(payload + 2)) * 256 + payload[4];
        SIM* item = m_items.search(key);
        if (!item) return 1;
        item->price = Be16(payload + 6);
        item->direction = payload[8];
        item->change = Be16(payload + 9);
        item->volume = Be24(payload + 11);
        item->high = Be16(payload + 14);
        item->low = Be16(payload + 16);
        item->ask = Be16(payload + 18);
        item->bid = Be16(payload + 20);
        return 1;
    }
    if (kind == 5) {
        const int index = static_cast<signed char>(payload[2]);
        if (index < 0 || index >= static_cast<int>(m_markets.size())) return 0;
        MARKET_STATUS& m = m_markets[static_cast<std::size_t>(index)];
        m.value = Be24(payload + 3);
        m.change = Be16(payload + 6);
        m.field3 = Be24(payload + 8);
        m.field4 = Be24(payload + 11);
        m.field5 = Be16(payload + 14);
        m.field6 = Be16(payload + 16);
        m.validity = Be24(payload + 19);
        return 1;
    }
    return 0;
}

int CStock::getCount(unsigned long& count) {
    std::lock_guard<std::mutex> lock(m_lock);
    count = IsLoaded() ? m_items.count() : 0;
    return static_cast<int>(count);
}

int CStock::readyTravel() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_items.startTravel();
    return 1;
}

int CStock::nextCode(char* name, int size, unsigned short& code, unsigned char& suffix) {
    if (!IsLoaded() || !name || size < 1) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    SIM* item = m_items.next();
    if (!item || !item->name || !item->name[0]) return 0;
    const std::size_t length = std::strlen(item->name);
    const std::size_t n = Cp949Prefix(reinterpret_cast<const unsigned char*>(item->name), length,
                                      static_cast<std::size_t>(size - 1));
    std::memcpy(name, item->name, n);
    code = static_cast<unsigned short>(item->key >> 8);
    suffix = static_cast<unsigned char>(item->key & 0xFF);
    return 1;
}

int CStock::getStockDataByCode(SIM& item, unsigned short code, unsigned char suffix) {
    if (!IsLoaded()) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    SIM* found = m_items.search(static_cast<unsigned long>(code) * 256 + suffix);
    if (!found) {
        item.volume = 0xFFFFFFFFu;
        return 0;
    }
    char* name = item.name;
    item = *found;
    item.name = name; // the caller's record keeps its own name pointer
    return found->volume != 0xFFFFFFFFu ? 1 : 0;
}

int CStock::getMarketDataByCode(MARKET_STATUS& status, unsigned char index) {
    if (!IsLoaded()) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    if (index >= m_markets.size()) return 0;
    status = m_markets[index];
    return status.validity != 0xFFFFFFFFu ? 1 : 0;
}

int CStock::isMarketFinished(int& closed) {
    if (!IsLoaded() || closed == 255) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    closed = m_closed;
    return 1;
}

int CStock::GetLastUpdatedTime(CTime& time) const {
    const std::uint32_t packed = m_time.load();
    if (packed == 0) return 0;
    time = BroadcastTimeIn2002(packed);
    return 1;
}
