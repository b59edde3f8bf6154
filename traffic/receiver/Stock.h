// The stock store: quotations of the listed items of "\DARC\SIMID.bin" and the status of the
// markets of "\DARC\SIMTable01.bin". Survives a restart through
// "\My Documents\Velko\SIMStore.bin" while it is younger than 30 minutes. Records are written
// and copied under a short lock.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "traffic/receiver/DARCArray.h"
#include "traffic/receiver/MARKET_STATUS.h"
#include "traffic/receiver/SIM.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CStock {
public:
    static CStock* instance();
    static void destruct();
    virtual ~CStock() = default;
    CStock(const CStock&) = delete;
    CStock& operator=(const CStock&) = delete;

    void openFile(const CString& folder);
    // 0 when not loaded or when the save file could not be written.
    int close();
    int setData(const unsigned char* payload, int length);
    int getCount(unsigned long& count);
    int readyTravel();
    // The next item in key order: at most size - 1 name bytes (no terminator is written), code
    // and suffix; 0 at the end or at an item without a name.
    int nextCode(char* name, int size, unsigned short& code, unsigned char& suffix);
    int getStockDataByCode(SIM& item, unsigned short code, unsigned char suffix);
    int getMarketDataByCode(MARKET_STATUS& status, unsigned char index);
    int isMarketFinished(int& closed);
    void reset();
    int GetLastUpdatedTime(CTime& time) const;
    int GetMarketCount() const { return static_cast<int>(m_markets.size()); }
    const std::string& GetMarketName(int index) const { return m_marketNames[static_cast<std::size_t>(index)]; }

private:
    CStock();
    bool IsLoaded() const { return m_loaded.load() != 0; }
    void LoadItems(const CString& folder);
    void LoadMarkets(const CString& folder);
    void LoadSaveFile();
    void ResetLocked();

    mutable std::mutex m_lock;
    CDARCArray m_items;
    std::vector<MARKET_STATUS> m_markets;
    std::vector<std::string> m_marketNames;
    int m_closed = 255;
    std::atomic<std::uint32_t> m_time{0};
    std::uint32_t m_lastPacket = 0;
    std::atomic<int> m_loaded{0};
};
