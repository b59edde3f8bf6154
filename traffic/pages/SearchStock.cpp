#include "traffic/pages/SearchStock.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "traffic/pages/DARCStock.h"
#include "traffic/receiver/ReceiverUtil.h"
#include "traffic/receiver/StoreFile.h"

#include <algorithm>
#include <cstring>

namespace {

SearchStock* g_searchStock = nullptr;

const char16_t* const kMarketNames[] = {u"KOSPI", u"KOSDAQ", u"KOSPI200", u"선물"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsSuffixByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 33 && b <= 127;
}

int DigitsValue(const char* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

} // namespace

SearchStock* SearchStock::instance() {
    if (!g_searchStock) g_searchStock = new SearchStock();
    return g_searchStock;
}

void SearchStock::destruct() {
    delete g_searchStock;
    g_searchStock = nullptr;
}

SearchStock::SearchStock() : m_store(CDARCStock::instance()), m_config(m_store->GetConfigPointer()) {
    CSingleLock lock(&m_lock, TRUE);
    InterestOpen();
    MakeStockTitle();
    MakeAllStock();
}

void SearchStock::SetConfigPointer(CNaviConfig* config) {
    CSingleLock lock(&m_lock, TRUE);
    m_config = config;
}

void SearchStock::Exit() {
    {
        CSingleLock lock(&m_lock, TRUE);
        InterestSave();
        m_markets.clear();
        m_interests.clear();
        m_stocks.clear();
    }
    if (g_searchStock == this) g_searchStock = nullptr;
    delete this;
}

CString SearchStock::InterestPath() const {
    return m_config ? m_config->GetItemPath(u"관심종목", -1) : CString();
}

void SearchStock::FillQuotation(StockInterest& stock) {
    if (!m_store->getStockDataByCode(stock, stock.code, stock.suffix)) stock.ClearQuotation();
}

void SearchStock::FillMarket(StockMarket& market) {
    if (!m_store->getMarketDataByCode(market, market.number)) market.ClearData();
}

void SearchStock::InterestOpen() {
    m_interests.clear();
    const CString path = InterestPath();
    if (path.IsEmpty()) return;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    unsigned char head[4] = {};
    DWORD read = 0;
    if (ReadFile(file, head, sizeof head, &read, nullptr) && read == sizeof head) {
        const std::uint32_t count = static_cast<std::uint32_t>(head[0] | head[1] << 8 | head[2] << 16) |
                                    static_cast<std::uint32_t>(head[3]) << 24;
        // A longer list than the page keeps is cut to its first 20 stocks; a file that ends early
        // gives the whole records it holds.
        const std::uint32_t wanted = std::min<std::uint32_t>(count, kMaxInterest);
        std::vector<unsigned char> records(wanted * kRecordSize);
        DWORD got = 0;
        if (!records.empty() &&
            ReadFile(file, records.data(), static_cast<DWORD>(records.size()), &got, nullptr)) {
            for (DWORD at = 0; at + kRecordSize <= got; at += kRecordSize) {
                const unsigned char* r = records.data() + at;
                StockInterest stock(StockIndex(static_cast<WORD>(r[0] | r[1] << 8), r[2],
                                               reinterpret_cast<const char*>(r + 3), StockIndex::kNameBytes));
                FillQuotation(stock);
                m_interests.push_back(stock);
            }
        }
    }
    CloseHandle(file);
}

bool SearchStock::InterestSave() {
    const CString path = InterestPath();
    if (path.IsEmpty()) return false;
    std::vector<unsigned char> bytes;
    PutU32(bytes, static_cast<std::uint32_t>(m_interests.size()));
    for (const StockInterest& s : m_interests) {
        PutU16(bytes, s.code);
        bytes.push_back(s.suffix);
        bytes.insert(bytes.end(), s.name, s.name + StockIndex::kNameBytes);
    }
    return WriteFileAside(path, bytes);
}

void SearchStock::MakeStockTitle() {
    m_markets.clear();
    for (int i = 0; i < 4; ++i) {
        StockMarket market(static_cast<BYTE>(i), Utf16ToCp949(kMarketNames[i]).c_str());
        FillMarket(market);
        m_markets.push_back(market);
    }
}

void SearchStock::MakeAllStock() {
    m_stocks.clear();
    if (!m_store->readyTravel()) return;
    for (;;) {
        char name[256] = {};
        WORD code = 0;
        BYTE suffix = 0;
        if (!m_store->nextCode(name, sizeof name, code, suffix)) break;
        m_stocks.emplace_back(code, suffix, name, std::strlen(name));
    }
    std::sort(m_stocks.begin(), m_stocks.end(), StockOrderLess);
}

int SearchStock::AddInterest(WORD code, BYTE suffix, const char* name) {
    CSingleLock lock(&m_lock, TRUE);
    if (static_cast<int>(m_interests.size()) >= kMaxInterest) return 0;
    for (const StockInterest& s : m_interests)
        if (s.code == code && s.suffix == suffix) return 0;
    StockInterest stock(StockIndex(code, suffix, name, name ? std::strlen(name) : 0));
    stock.ClearQuotation();
    m_interests.push_back(stock);
    std::sort(m_interests.begin(), m_interests.end(), StockOrderLess);
    return 1;
}

int SearchStock::DeleteInterest(int index) {
    CSingleLock lock(&m_lock, TRUE);
    if (index < 0 || index >= static_cast<int>(m_interests.size())) return 0;
    m_interests.erase(m_interests.begin() + index);
    return 1;
}

int SearchStock::GetInfoForInterestSel(int index, StockInterest& out) {
    CSingleLock lock(&m_lock, TRUE);
    if (index < 0 || index >= static_cast<int>(m_interests.size())) return 0;
    StockInterest& stock = m_interests[static_cast<std::size_t>(index)];
    FillQuotation(stock);
    out = stock;
    return 1;
}

int SearchStock::GetInfoForStockIndexSel(int index, StockInterest& out) {
    CSingleLock lock(&m_lock, TRUE);
    if (index < 0 || index >= static_cast<int>(m_stocks.size())) return 0;
    out = StockInterest(m_stocks[static_cast<std::size_t>(index)]);
    FillQuotation(out);
    return 1;
}

int SearchStock::GetInfoForCode(WORD code, BYTE suffix, StockInterest& out) {
    CSingleLock lock(&m_lock, TRUE);
    out.code = code;
    out.suffix = suffix;
    FillQuotation(out);
    return 1;
}

int SearchStock::GetStockIndexForAllSel(int index, StockIndex& out) {
    CSingleLock lock(&m_lock, TRUE);
    if (index < 0 || index >= static_cast<int>(m_stocks.size())) return 0;
    out = m_stocks[static_cast<std::size_t>(index)];
    return 1;
}

int SearchStock::GetStockMarketForIndex(int index, StockMarket& out) {
    CSingleLock lock(&m_lock, TRUE);
    if (index < 0 || index >= static_cast<int>(m_markets.size())) return 0;
    StockMarket& market = m_markets[static_cast<std::size_t>(index)];
    FillMarket(market);
    out = market;
    return 1;
}

int SearchStock::GetMarketCount() {
    CSingleLock lock(&m_lock, TRUE);
    return static_cast<int>(m_markets.size());
}

int SearchStock::GetStockInterestCount() {
    CSingleLock lock(&m_lock, TRUE);
    return static_cast<int>(m_interests.size());
}

int SearchStock::GetStockIndexCount() {
    CSingleLock lock(&m_lock, TRUE);
    return static_cast<int>(m_stocks.size());
}

int SearchStock::ReUpdate() {
    CSingleLock lock(&m_lock, TRUE);
    for (StockInterest& s : m_interests) FillQuotation(s);
    for (StockMarket& m : m_markets) FillMarket(m);
    return 0;
}

int SearchStock::FindCode(WORD code, BYTE suffix) const {
    for (std::size_t i = 0; i < m_stocks.size(); ++i)
        if (m_stocks[i].code == code && m_stocks[i].suffix == suffix) return static_cast<int>(i);
    return -1;
}

int SearchStock::FindCodeOrName(const char* text) {
    CSingleLock lock(&m_lock, TRUE);
    if (!text || !text[0]) return -1;
    const std::size_t length = std::strlen(text);
    // The code text the lists show: five digits, then the suffix character (none for suffix 0).
    if (length >= 5 && std::all_of(text, text + 5, IsDigit) && (length == 5 || IsSuffixByte(text[5]))) {
        const int code = DigitsValue(text, 5);
        if (code <= 0xFFFF) {
            const int found = FindCode(static_cast<WORD>(code), static_cast<BYTE>(length == 5 ? 0 : text[5]));
            if (found >= 0) return found;
        }
    }
    // Four digits and a suffix byte.
    if (length >= 5 && std::all_of(text, text + 4, IsDigit) && IsSuffixByte(text[4])) {
        const int found = FindCode(static_cast<WORD>(DigitsValue(text, 4)), static_cast<BYTE>(text[4]));
        if (found >= 0) return found;
    }
    // By name. The names hold 30 bytes: a longer text is compared as its first 30 bytes cut on a
    // character boundary, the way the names were cut, and must then be the whole name.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const bool longer = length > StockIndex::kNameBytes;
    const std::size_t compared = longer ? Cp949Prefix(bytes, length, StockIndex::kNameBytes) : length;
    for (std::size_t i = 0; i < m_stocks.size(); ++i) {
        const char* name = m_stocks[i].name;
        if (std::memcmp(name, text, compared) != 0) continue;
        if (longer && name[compared] != 0) continue;
        return static_cast<int>(i);
    }
    return -1;
}
