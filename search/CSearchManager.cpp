#include "search/CSearchManager.h"

#include "search/NameDBFile.h"
#include "search/PoiFile.h"
#include "search/SrchAddr.h"
#include "search/ui/CDlgAddrSrch.h"
#include "search/ui/CDlgAroundSrch.h"
#include "search/ui/CDlgCateSrch.h"
#include "search/ui/CDlgThemeSrch.h"
#include "search/ui/CDlgNameSrch.h"
#include "search/ui/CDlgPOI.h"

CSearchManager::CSearchManager() = default;

CSearchManager::CSearchManager(const CSearchManager& other) {
    CopySettings(other);
}

CSearchManager& CSearchManager::operator=(const CSearchManager& other) {
    if (this != &other) CopySettings(other);
    return *this;
}

CSearchManager::~CSearchManager() {
    ClearNameDlg();
    ClearAddrDlg();
    ClearCateDlg();
    ClearAroundDlg();
    ClearThemeDlg();
    ClearPOIDlg();
}

void CSearchManager::ClearThemeDlg() {
    m_searchType = -1;
    delete m_themeDlg;
    m_themeDlg = nullptr;
}

int CSearchManager::StartSearch(_THEME_RESULT& result) {
    ClearThemeDlg();
    m_searchType = 3;
    m_themeDlg = new CDlgThemeSrch(nullptr);
    m_themeDlg->SetCurrentPos(m_curX, m_curY);
    int code = kCannotOpen;
    if (m_themeDlg->Init(m_themePath.GetString())) {
        m_themeDlg->SetPrevResult(result);
        m_themeDlg->SetPanelName(m_searchName);
        m_themeDlg->SetRcBuilder(m_builder);
        m_themeDlg->SetUIType(m_uiType);
        m_themeDlg->SetDirectRoute(m_directRoute);
        if (m_themeDlg->DoModal() == IDOK) {
            m_themeDlg->GetTolvik(result);
            code = kChosen;
        } else {
            code = m_themeDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
        }
    }
    ClearThemeDlg();
    return code;
}

void CSearchManager::ClearAroundDlg() {
    m_searchType = -1;
    delete m_aroundDlg;
    m_aroundDlg = nullptr;
}

int CSearchManager::StartSearch(_AROUND_RESULT& result) {
    ClearAroundDlg();
    m_searchType = 4;
    m_aroundDlg = new CDlgAroundSrch(nullptr);
    m_aroundDlg->SetPanelName(m_searchName);
    m_aroundDlg->SetRcBuilder(m_builder);
    m_aroundDlg->SetUIType(m_uiType);
    m_aroundDlg->SetPrevResult(result);
    m_aroundDlg->SetCurrentPos(m_curX, m_curY);
    m_aroundDlg->SetStoragePath(m_storagePath.GetString());
    if (!m_pMapCallback || !m_mediator) {
        // Nothing is shown; no dialog and no search type stay behind.
        ClearAroundDlg();
        return kNoMediator;
    }
    m_aroundDlg->SetMapCallback(m_pMapCallback);
    m_aroundDlg->SetNaviMediator(m_mediator);
    m_aroundDlg->SetDirectRoute(m_directRoute);
    const bool ok = m_aroundDlg->DoModal() == IDOK;
    m_aroundDlg->GetTolvik(result);
    int code = kChosen;
    if (!ok) code = m_aroundDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
    ClearAroundDlg();
    return code;
}

void CSearchManager::ClearAddrDlg() {
    m_searchType = -1;
    delete m_addrDlg;
    m_addrDlg = nullptr;
}

int CSearchManager::StartSearch(_ADDR_RESULT& result) {
    ClearAddrDlg();
    m_searchType = 1;
    m_addrDlg = new CDlgAddrSrch(nullptr);
    m_addrDlg->SetPanelName(m_searchName);
    m_addrDlg->SetRcBuilder(m_builder);
    m_addrDlg->SetUIType(m_uiType);
    m_addrDlg->SetDirectRoute(m_directRoute);
    int code = kCannotOpen;
    if (m_addrDlg->OpenOn(m_addrPath.GetString(), m_adminPath.GetString())) {
        m_addrDlg->SetPrevResult(result);
        if (m_addrDlg->DoModal() == IDOK) {
            m_addrDlg->GetTolvik(result);
            code = kChosen;
        } else {
            code = m_addrDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
        }
    }
    ClearAddrDlg();
    return code;
}

void CSearchManager::ClearCateDlg() {
    m_searchType = -1;
    delete m_cateDlg;
    m_cateDlg = nullptr;
}

int CSearchManager::StartSearch(_CATE_RESULT& result) {
    ClearCateDlg();
    m_searchType = 2;
    m_cateDlg = new CDlgCateSrch(nullptr);
    m_cateDlg->SetPanelName(m_searchName);
    m_cateDlg->SetRcBuilder(m_builder);
    m_cateDlg->SetUIType(m_uiType);
    m_cateDlg->SetDirectRoute(m_directRoute);
    int code = kCannotOpen;
    if (m_cateDlg->OpenOn(m_namePath.GetString(), m_adminPath.GetString(), m_poiPath.GetString())) {
        m_cateDlg->SetPrevResult(result);
        if (m_cateDlg->DoModal() == IDOK) {
            m_cateDlg->GetTolvik(result);
            code = kChosen;
        } else {
            code = m_cateDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
        }
    }
    ClearCateDlg();
    return code;
}

void CSearchManager::ClearNameDlg() {
    m_searchType = -1;
    delete m_nameDlg;
    m_nameDlg = nullptr;
}

int CSearchManager::StartSearch(_NAME_RESULT& result) {
    ClearNameDlg();
    m_searchType = 0;
    m_nameDlg = new CDlgNameSrch(nullptr);
    m_nameDlg->SetPanelName(m_searchName);
    m_nameDlg->SetRcBuilder(m_builder);
    m_nameDlg->SetUIType(m_uiType);
    m_nameDlg->SetDirectRoute(m_directRoute);
    int code = kCannotOpen;
    if (m_nameDlg->OpenOn(m_namePath.GetString(), m_adminPath.GetString(), m_poiPath.GetString())) {
        m_nameDlg->SetPrevResult(result);
        if (m_nameDlg->DoModal() == IDOK) {
            m_nameDlg->GetTolvik(result);
            code = kChosen;
        } else {
            code = m_nameDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
        }
    }
    ClearNameDlg();
    return code;
}

void CSearchManager::ClearPOIDlg() {
    m_searchType = -1;
    delete m_poiDlg;
    m_poiDlg = nullptr;
}

void CSearchManager::CopySettings(const CSearchManager& other) {
    m_storagePath = other.m_storagePath;
    m_dataFolder = other.m_dataFolder;
    m_namePath = other.m_namePath;
    m_addrPath = other.m_addrPath;
    m_themePath = other.m_themePath;
    m_adminPath = other.m_adminPath;
    m_poiPath = other.m_poiPath;
    m_curX = other.m_curX;
    m_curY = other.m_curY;
    m_searchName = other.m_searchName;
    m_builder = other.m_builder;
    m_uiType = other.m_uiType;
    m_mediator = other.m_mediator;
    m_directRoute = other.m_directRoute;
    m_useMenuButton = other.m_useMenuButton;
    m_pMapCallback = other.m_pMapCallback;
    // The search type names a dialog this manager runs; a copy runs none.
}

bool CSearchManager::InitPath(const CString& dataFolder) {
    m_dataFolder = dataFolder;
    m_namePath = m_dataFolder + u"\\SearchDB\\nVelko.db";
    m_addrPath = m_dataFolder + u"\\SearchDB\\aVelko.db";
    m_themePath = m_dataFolder + u"\\SearchDB\\Theme";
    m_adminPath = m_dataFolder + u"\\SearchDB\\AdminName.db";
    m_poiPath = m_dataFolder + u"\\SearchDB\\POI.db";
    return true;
}

bool CSearchManager::InitThemePath(const CString& /*folder*/) {
    return true;
}

void CSearchManager::InitCurrentPos(unsigned long x, unsigned long y) {
    m_curX = x;
    m_curY = y;
}

void CSearchManager::SetStoragePath(const char16_t* folder) {
    m_storagePath = folder ? folder : u"";
}

bool CSearchManager::GetAddrDBVersion(CNaviVersion& /*version*/) {
    _VERSION_INFO info;
    CSrchAddr reader;
    return reader.GetAddrDBVersionInfo(m_addrPath.GetString(), info);
}

bool CSearchManager::GetNameDBVersion(CNaviVersion& /*version*/) {
    _VERSION_INFO info;
    return CNameDBFile::ReadVersion(m_namePath.GetString(), info);
}

bool CSearchManager::GetAdminDBVersion(CNaviVersion& /*version*/) {
    _VERSION_INFO info;
    return CNameDBFile::ReadVersion(m_adminPath.GetString(), info);
}

bool CSearchManager::GetThemeDBVersion(CNaviVersion& /*version*/) {
    return true;
}

CString CSearchManager::PoiScreenName(int uiType) {
    return CDlgPOI::ScreenFor(uiType);
}

int CSearchManager::StartSearch(_POI_RESULT_AUTO& result) {
    ClearPOIDlg();
    m_searchType = 5;
    m_poiDlg = new CDlgPOI(nullptr);
    m_poiDlg->SetUseMenuButton(m_useMenuButton);
    m_poiDlg->SetPanelName(PoiScreenName(m_uiType));
    m_poiDlg->SetRcBuilder(m_builder);
    m_poiDlg->SetDirectRoute(m_directRoute);
    m_poiDlg->SetPointType(result.pointType);

    int code = kCurrentPosition;
    if (result.poiIndex >= 1) {
        m_poiDlg->SetPOIIndex(result.poiIndex);
        const CString path = m_dataFolder + u"\\SearchDB\\POI.db";
        if (m_poiDlg->OpenOn(path.GetString())) {
            const bool ok = m_poiDlg->DoModal() == IDOK;
            // "현위치" and the top "이전" also end the dialog with OK, but they take no point:
            // they answer as the other searches do (current position 3, closed 2).
            if (ok && m_poiDlg->IsCurrentPos()) {
                code = kCurrentPosition;
            } else if (ok && m_poiDlg->IsBack()) {
                code = kClosed;
            } else if (ok) {
                result.pointType = static_cast<std::uint8_t>(m_poiDlg->GetPointType());
                // Written on every OK: a byte left from an earlier direct route must not turn
                // this choice into a route.
                result.routeDirectly = m_poiDlg->IsRouteDirectly() ? 1 : 0;
                code = kChosen;
            } else {
                code = m_poiDlg->IsCurrentPos() ? kCurrentPosition : kClosed;
            }
        }
    }
    ClearPOIDlg();
    return code;
}

bool CSearchManager::StartSearch(int poiIndex, _POI_RESULT& result) {
    CPoiFile file;
    if (!file.Open(m_poiPath.GetString())) return false;
    return file.ReadPOI(poiIndex, result);
}

bool CSearchManager::ReloadedSearchDB() {
    switch (m_searchType) {
    case -1:
    case 4:
    case 5:
        return true;
    case 0:
        return m_nameDlg &&
               m_nameDlg->Reload(m_namePath.GetString(), m_adminPath.GetString(), m_poiPath.GetString());
    case 1:
        return m_addrDlg && m_addrDlg->Reload(m_addrPath.GetString(), m_adminPath.GetString());
    case 3:
        return m_themeDlg && m_themeDlg->Reload();
    case 2:
        return m_cateDlg &&
               m_cateDlg->Reload(m_namePath.GetString(), m_adminPath.GetString(), m_poiPath.GetString());
    default:
        // No dialog of that search is held.
        return false;
    }
}
