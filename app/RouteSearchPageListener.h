// The route search page "환경설정-경로탐색": the default search priority, traffic information in
// the search, the automatic re-search on new traffic with its interval, and the re-search after
// leaving the route. The on/off groups show "설정"/"자동" (index 0) for a non-zero setting.
#pragma once

#include "app/SettingsPageListener.h"

#include <cstdint>

class CRouteSearchPageListener : public CSettingsPageListener {
public:
    static constexpr const char16_t* kPageName = u"환경설정-경로탐색";

    CRouteSearchPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view)
        : CSettingsPageListener(dialog, config, view) {}

    bool Save() override;

protected:
    void OnPageBuilt(const NaviCommand& cmd) override;
    void OnControl(const NaviCommand& cmd) override;

private:
    std::int32_t m_priority = 1;      // setting 12 (the group's index + 1)
    std::int32_t m_useTraffic = 1;    // setting 14
    std::int32_t m_trafficReroute = 0; // setting 15
    std::int32_t m_interval = 0;      // setting 16 as a list index
    std::int32_t m_offRouteReroute = 1; // setting 17
};
