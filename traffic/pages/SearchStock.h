// The stock pages' data keeper: the four market indices, every stock of the stock store sorted
// by name, and the user's interest stocks (at most 20, sorted the same way), which it reads from
// and writes to the interest-stock file (the configuration's item "관심종목"). Every public
// operation holds the keeper's lock.
//
// Interest-stock file (little-endian, packed): uint32 count, then per stock uint16 code, uint8
// suffix and 30 bytes of CP949 name, NUL-padded; no quotations. A count above 20 is read as 20;
// a file shorter than its count gives the whole records it holds. It is written beside the old
// one and renamed over it, so a failed save leaves the old list on the device.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/threads/Threads.h"
#include "traffic/pages/StockIndex.h"
#include "traffic/pages/StockInterest.h"
#include "traffic/pages/StockMarket.h"

#include <vector>

class CDARCStock;
class CNaviConfig;

class SearchStock {
public:
    static constexpr int kMaxInterest = 20;
    static constexpr int kRecordSize = 33;

    // Made on first use: reads the interest stocks, makes the market list and the stock list.
    static SearchStock* instance();
    // Deletes the keeper without saving.
    static void destruct();
    virtual ~SearchStock() = default;
    SearchStock(const SearchStock&) = delete;
    SearchStock& operator=(const SearchStock&) = delete;

    void SetConfigPointer(CNaviConfig* config);
    // The stock page goes away: saves the interest stocks, empties the lists and deletes the
    // keeper (the next instance() reads everything again).
    void Exit();

    // 0 when the list holds 20 stocks or one with the same code and suffix; otherwise adds the
    // stock (30 bytes of its name, no quotation), sorts the list and answers 1.
    int AddInterest(WORD code, BYTE suffix, const char* name);
    int DeleteInterest(int index);
    // Refreshes interest stock index from the store and copies it out; 0 out of range.
    int GetInfoForInterestSel(int index, StockInterest& out);
    // Stock-list entry index with its quotation; 0 out of range.
    int GetInfoForStockIndexSel(int index, StockInterest& out);
    // Sets code and suffix of out and fills its quotation (cleared when the store has none).
    int GetInfoForCode(WORD code, BYTE suffix, StockInterest& out);
    int GetStockIndexForAllSel(int index, StockIndex& out);
    // Refreshes market index from the store (cleared when it has nothing) and copies it out.
    int GetStockMarketForIndex(int index, StockMarket& out);
    int GetMarketCount();
    int GetStockInterestCount();
    int GetStockIndexCount();
    // Refreshes every interest stock and every market; 0.
    int ReUpdate();
    // The stock-list index for a typed text, or -1. The code as the lists show it ("00593A":
    // five digits and the suffix), then four digits and a suffix ("0593A"), then the first
    // stock whose name begins with the text.
    int FindCodeOrName(const char* text);

private:
    SearchStock();
    void InterestOpen();
    bool InterestSave();
    void MakeStockTitle();
    void MakeAllStock();
    CString InterestPath() const;
    void FillQuotation(StockInterest& stock);
    void FillMarket(StockMarket& market);
    int FindCode(WORD code, BYTE suffix) const;

    CCriticalSection m_lock;
    std::vector<StockMarket> m_markets;
    std::vector<StockInterest> m_interests;
    std::vector<StockIndex> m_stocks;
    CDARCStock* m_store = nullptr;
    CNaviConfig* m_config = nullptr;
};
