// The page-state store: what the broadcast sheet and its pages keep from one opening to the
// next (the sheet lives only while it is shown), and the exchange point with the application:
// the map-move request a page leaves and the four display options. One object per process.
#pragma once

#include "platform/base/CString.h"

#include <cstdint>

struct sSAVETRAFFIC;

// A request to move the map to a road section: x and y within the grid cell, the section
// length in metres (the application picks the zoom from it) and the grid cell code.
struct sMOVEMAP {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t extent = 0;
    std::int32_t code = 0;
};

class CSheetStorage {
public:
    static CSheetStorage* instance();
    static void destruct();
    virtual ~CSheetStorage() = default;

    void StoreDARCSheet(int tab) { m_activeTab = tab; }
    void RestoreDARCSheet(int& tab) const { tab = m_activeTab; }
    void StoreReceivePage(int region, int frequency, int third);
    // 1 with all three values once a page stored them (none is -1); else 0, arguments untouched.
    int RestoreReceivePage(int& region, int& frequency, int& third) const;
    void StoreNewsPage(int list, std::uint16_t key, std::uint8_t subKey);
    void RestoreNewsPage(int& list, std::uint16_t& key, std::uint8_t& subKey) const;
    // The records are not owned: each lives in the page's file for the library's lifetime.
    void StoreTrafficPage(sSAVETRAFFIC* state) { m_trafficState = state; }
    sSAVETRAFFIC* RestoreTrafficPage() const { return m_trafficState; }
    void StoreInterestPage(sSAVETRAFFIC* state) { m_interestState = state; }
    sSAVETRAFFIC* RestoreInterestPage() const { return m_interestState; }
    void StoreInterestIndex(int slot, int row);
    void RestoreInterestIndex(int& slot, int& row) const;
    void StoreHighWayFlag(int flag) { m_highWay = flag; }
    int RestoreHighWayFlag() const { return m_highWay; }
    sMOVEMAP* GetMapMove() const { return m_mapMove; }
    void SetMapMove(sMOVEMAP* move) { m_mapMove = move; }
    void SetMapMoveFlag(int flag) { m_mapMoveFlag = flag; }
    int IsMapMoveFlag() const { return m_mapMoveFlag; }
    void SetTrafficPrevInfo(int row, const CString& name);
    void GetTrafficPrevInfo(int& row, CString& name) const;
    void SetInterestPrevInfo(int row, const CString& name);
    void GetInterestPrevInfo(int& row, CString& name) const;
    // Four booleans in the order 원활, 서행, 지체, 정체 (true: the class is drawn).
    void StoreDisplayOption(const bool* options);
    void RestoreDisplayOption(bool* options) const;

    std::int32_t m_highWay = 0;
    std::int32_t m_receiveRegion = -1;
    std::int32_t m_receiveFrequency = -1;
    std::int32_t m_receiveThird = -1;
    std::int32_t m_newsList = 0;
    std::uint16_t m_newsKey = 0;
    std::uint8_t m_newsSubKey = 0;
    std::int32_t m_activeTab = 0;
    sSAVETRAFFIC* m_trafficState = nullptr;
    sSAVETRAFFIC* m_interestState = nullptr;
    sMOVEMAP* m_mapMove = nullptr;
    std::int32_t m_mapMoveFlag = 0;
    std::int32_t m_interestSlot = -1;
    std::int32_t m_interestRow = -1;
    std::int32_t m_interestPrevRow = 0;
    std::int32_t m_trafficPrevRow = 0;
    CString m_interestPrevName;
    CString m_trafficPrevName;
    bool m_display[4] = {true, true, true, true};

private:
    CSheetStorage() = default;
    static CSheetStorage* s_instance;
};
