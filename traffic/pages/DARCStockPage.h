// The stock tab ("증권") of the traffic-broadcast sheet: the user's interest stocks with their
// quotations as broadcast, refreshed every 2 seconds while the tab is on view, the time of the
// broadcast above them, and the buttons that add a stock (the stock search), delete the
// selected one, show its details and show the market indices.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/InterestStockList.h"

#include <memory>

class CDARCStockPage : public CPropertyPage {
    DECLARE_DYNCREATE(CDARCStockPage)
public:
    static constexpr UINT IDD = 2230;
    static constexpr int IDC_INDEX = 3202;
    static constexpr int IDC_ADD = 3203;
    static constexpr int IDC_DELETE = 3204;
    static constexpr int IDC_DETAIL = 3205;
    static constexpr int IDC_TIME = 4124;
    static constexpr int IDC_LIST = 2201;
    static constexpr UINT_PTR kRefreshTimer = 7001;
    static constexpr UINT_PTR kIdleTimer = 7000;
    static constexpr UINT kRefreshMs = 2000;

    CDARCStockPage();
    ~CDARCStockPage() override;
    static void RegisterTemplate();

    // Called by the sheet as it closes: the list goes and the interest stocks are saved.
    void OnSheetDestroy();
    // Shows the interest stocks again; unless forced, nothing while a dialog of the page is open.
    void Refresh(bool forced);
    InterestStockList* List() { return m_list.get(); }
    bool IsBusy() const { return m_busy != 0; }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void UpdateButtons();
    void PauseRefresh();
    void ResumeRefresh();
    void OnAdd();
    void OnDelete();
    void OnDetail();
    void OnIndex();
    void Reload();

    int m_busy = 0;
    std::unique_ptr<InterestStockList> m_list;
    CStatic m_time;
};
