// The current-road page ("주행"): the sections of the road the car is on, found from the links
// the map matching last reported to the receiver, looked up again every five seconds. The sheet
// builds it with the other pages but gives it no tab.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/TrafficSectionList.h"

#include <memory>

class CCurrentTrafficPage : public CPropertyPage {
    DECLARE_DYNAMIC(CCurrentTrafficPage)
public:
    static constexpr UINT IDD = 4303;
    enum : int {
        IDC_MAPMOVE = 4146,
        IDC_LIST = 105,
    };
    static constexpr UINT kRefreshMs = 5000;
    static constexpr int kColumnWidth = 212;

    CCurrentTrafficPage();
    ~CCurrentTrafficPage() override;
    static void RegisterTemplate();

    // Finds the road of the matched links and shows its sections with the matched section's
    // speed row selected, or "해당도로 없음" and no rows; true when a road was found.
    bool ShowDrivingRoad();
    TrafficSectionList* GetList() const { return m_list.get(); }
    CString GetHeaderText() const { return m_header; }

    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void SetHeader(const CString& text);
    void OnMapMove();

    std::unique_ptr<TrafficSectionList> m_list;
    CString m_header;
};
