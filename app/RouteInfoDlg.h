// The route information screen "경로탐색결과정보": for each route result (one tab each) what the
// route is made of, its length, the current and arrival times, the remaining time and the start,
// first waypoint and destination; and the route summary page, five rows a page. Every other
// button closes the screen with an action code that the caller carries out.
#pragma once

#include "app/RouteSummary.h"
#include "platform/base/CTime.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <memory>

class CRouteManager;
class CRoute;

class CRouteInfoDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 105;
    static constexpr int kMaxTabs = 4;
    static constexpr const char16_t* kPanelName = u"경로탐색결과정보";

    explicit CRouteInfoDlg(CWnd* parent = nullptr);
    ~CRouteInfoDlg() override;

    void SetUIType(int type) { m_uiType = type; }
    void SetFromSearch(bool on) { m_fromSearch = on ? 1 : 0; }
    void SetRouteManager(CRouteManager* manager) { m_routeManager = manager; }
    void SetClockOffset(int seconds) { m_clockOffset = seconds; }
    void SetEstimatedTime(int seconds) {
        m_estimatedSet = 1;
        m_estimatedSeconds = seconds;
    }
    // Where the summary reads links and names (the caller keeps it); by default the road network
    // under the configuration's data folder.
    void SetLinkSource(IRouteLinkSource* source) { m_source = source; }
    void SetRoadNumberNames(CRouteSummary::RoadNumberName names) { m_roadNumberName = std::move(names); }
    int GetActionCode() const { return m_action; }
    int GetClockOffset() const { return m_clockOffset; }
    // The remaining-time override in seconds; -1 when none was given.
    int GetEstimatedTime() const { return m_estimatedSet ? m_estimatedSeconds : -1; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // The texts of the information page.
    static CString CompositionText(bool traffic, int highwayFlag);
    static CString DistanceText(int metres);
    static CString ClockText(const CTime& time);
    static CString RemainingText(int seconds);
    // The tab image and text of a route id; false for an id that has no tab.
    static bool TabOf(int routeId, CString& image, CString& text);

    // The information page for a route id (0: the first result); the summary of the selected route.
    void FillInfoPage(int routeId);
    void BuildSummary();
    void ShowPage(int page);
    const CRouteSummary& Summary() const { return m_summary; }
    bool IsSummaryMode() const { return m_summaryMode != 0; }
    int GetCurrentPage() const { return m_currentPage; }
    const CString& LabelText(const char16_t* name) const;
    int TabCount() const { return m_tabCount; }

protected:
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnDestroy() override;

private:
    void Close();
    void SetLabel(const char16_t* name, const CString& text);
    void SwitchPage(bool summary);
    void BuildInfoPage(NaviRcBuilder* builder, NaviPanel* page);
    void BuildSummaryPage(NaviRcBuilder* builder, NaviPanel* page);
    void BuildTabs(NaviRcBuilder* builder);
    CRoute* SelectedRoute() const;

    int m_action = 6;
    int m_tabIds[kMaxTabs] = {};
    int m_tabCount = 0;
    CRouteManager* m_routeManager = nullptr;
    std::uint8_t m_fromSearch = 0;
    int m_uiType = 2004;
    std::uint8_t m_estimatedSet = 0;
    int m_estimatedSeconds = 0;
    std::uint8_t m_summaryMode = 0;
    int m_currentPage = 1;
    int m_clockOffset = 0;
    CString m_dataFolder;
    CRouteSummary m_summary;
    SummaryPage m_shown;
    std::unique_ptr<IRouteLinkSource> m_ownSource;
    IRouteLinkSource* m_source = nullptr;
    CRouteSummary::RoadNumberName m_roadNumberName;
    std::vector<std::pair<CString, CString>> m_labels; // last text set on each label
};
