// The main view's first loading of its data: the route data and the data set's header, the
// administrative-area tables, the guidance data, the route the user was on and the driving
// trail. Each answers whether its data could be used; which failures end the start is decided
// by the caller (InitViewFirstTime).
#include "app/CMainView.h"

#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "position/GuideManager.h"
#include "position/LocusRecorder.h"
#include "route/MapDataHeader.h"

#include <string>

namespace {

constexpr const char16_t* kTrailPath = u"\\My Documents\\Velko\\locus.bin";
// The route display state of a route being driven.
constexpr int kRouteDisplayDriving = 15;

// The message of each header result that makes the data set unusable (0 when it is usable).
UINT HeaderMessage(int result) {
    switch (result) {
    case 0:
        return 177; // old or wrongly installed route data
    case -3:
        return 214; // the map information cannot be read
    case -5:
        return 216; // route data missing
    case -6:
        return 217; // search data missing
    default:
        return 0;
    }
}

} // namespace

void CGuideManagerDeleter::operator()(CGuideManager* guide) const { delete guide; }

bool CMainView::OpenRouteData(const CString& dataFolder) {
    // A route manager that cannot read the map directory runs without an engine (every search
    // answers that it failed); the header below is what judges the data set.
    m_routeManager.Init(dataFolder);
    CMapDataHeader header;
    const UINT message = HeaderMessage(header.Open(dataFolder.GetString()));
    if (message == 0) return true;
    AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    return false;
}

bool CMainView::OpenAreaTable(const CString& dataFolder) {
    CString folder;
    folder.Format(u"%s\\%s\\", dataFolder.GetString(), u"SearchDB");
    const UINT codePage = IsValidLocale(1042, LCID_INSTALLED) ? CP_KOREAN : CP_ACP;
    const int bytes = WideCharToMultiByte(codePage, 0, folder.GetString(), -1, nullptr, 0, nullptr, nullptr);
    std::string path(bytes > 0 ? static_cast<std::size_t>(bytes) : 1u, '\0');
    if (bytes > 0)
        WideCharToMultiByte(codePage, 0, folder.GetString(), -1, path.data(), bytes, nullptr, nullptr);
    if (bytes > 0 && m_adminSearch.OpenTbl(path.c_str()) == 1) return true;
    AfxMessageBox(folder.GetString(), MB_OK | MB_ICONSTOP);
    return false;
}

int CMainView::LoadGuidanceData(const CString& dataFolder) {
    if (!m_guide) m_guide.reset(new CGuideManager());
    return m_guide->LoadData(dataFolder.Str(), 1);
}

bool CMainView::RestoreLastRoute() {
    if (!m_routeManager.LoadRouteFile(nullptr)) return false;
    if (m_guide) {
        m_guide->SetPedestrianMode(m_pedestrianMode);
        m_guide->Reset();
    }
    m_highwayBarStart = GetTickCount();
    StartAutoReturn();
    m_routeDisplayState = kRouteDisplayDriving;
    return true;
}

void CMainView::ApplyGuidanceOptions() {
    if (!m_guide || !m_config) return;
    m_guide->SetSafeDrivingOptions(m_config->GetValue(18), m_config->GetValue(19), m_config->GetValue(20));
    int roadClassSpeeds[5];
    for (int i = 0; i < 5; ++i) roadClassSpeeds[i] = m_config->GetValue(23 + i);
    m_guide->SetSpeedLimits(m_config->GetValue(21), m_config->GetValue(22), roadClassSpeeds, 5);
}

bool CMainView::LoadTrail() {
    // A missing or unreadable trail leaves the recorder empty.
    return m_locus && m_locus->Load(kTrailPath);
}
