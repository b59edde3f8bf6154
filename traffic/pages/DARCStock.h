// The stock pages' narrow door to the stock store: each operation forwards to the store's own
// singleton. Quotations and market records come back converted from the store's packed records
// into the pages' value objects. It also keeps the configuration object the sheet hands over,
// from which the stock keeper finds the interest-stock file.
#pragma once

#include "platform/base/CTime.h"
#include "platform/base/WinTypes.h"
#include "traffic/pages/StockInterest.h"
#include "traffic/pages/StockMarket.h"

class CNaviConfig;
struct SIM;
struct MARKET_STATUS;

class CDARCStock {
public:
    static CDARCStock* instance();
    static void destruct();
    virtual ~CDARCStock() = default;
    CDARCStock(const CDARCStock&) = delete;
    CDARCStock& operator=(const CDARCStock&) = delete;

    int getCount(DWORD& count);
    int readyTravel();
    // The next stock in code order: at most size - 1 name bytes (the caller clears the buffer),
    // its code and suffix; 0 at the end.
    int nextCode(char* name, int size, WORD& code, BYTE& suffix);
    // 1 with the stock's quotation in out's quotation fields; 0 (out untouched) when the store
    // has none for it.
    int getStockDataByCode(StockInterest& out, WORD code, BYTE suffix);
    // 1 with the market's record in out's market fields (number and name stay); 0 (out
    // untouched) when nothing was received for it.
    int getMarketDataByCode(StockMarket& out, BYTE market);
    int isMarketFinished(int& closed);
    int GetLastUpdatedTime(CTime& time);

    void SetConfigPointer(CNaviConfig* config) { m_config = config; }
    CNaviConfig* GetConfigPointer() const { return m_config; }

    // The conversions from the store's records.
    static void CopyQuotation(const SIM& item, StockInterest& out);
    static void CopyMarket(const MARKET_STATUS& status, StockMarket& out);

private:
    CDARCStock() = default;
    CNaviConfig* m_config = nullptr;
};
