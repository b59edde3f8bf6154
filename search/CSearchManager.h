// The search library's one entry point for the application: it takes the skin builder, the data
// folder and the options, answers the database version checks, runs one search dialog per call
// and copies the chosen result into the caller's record, and reads a point-of-interest record
// without any dialog. The application builds one manager per search.
#pragma once

#include "platform/base/CString.h"
#include "search/SearchRecords.h"

class NaviRcBuilder;
class NaviMediator;
class CDlgPOI;
class CDlgNameSrch;
class CDlgAddrSrch;
class CDlgCateSrch;
class CDlgAroundSrch;
class CDlgThemeSrch;

class CSearchManager {
public:
    // The application writes this; the nearby search asks it to show the map at (x, y) at a map
    // level with the given visible map height. Its answer is not used.
    using MapCallback = int (*)(unsigned long x, unsigned long y, int level, int height);

    // Return codes of the searches.
    static constexpr int kCannotOpen = 0;
    static constexpr int kChosen = 1;
    static constexpr int kClosed = 2;
    static constexpr int kCurrentPosition = 3;
    static constexpr int kNoMediator = 4;
    // The main screen's UI type of the basic layout.
    static constexpr int kBasicUiType = 2004;

    CSearchManager();
    // A copy takes every setting and none of the dialogs.
    CSearchManager(const CSearchManager& other);
    CSearchManager& operator=(const CSearchManager& other);
    virtual ~CSearchManager();

    bool InitPath(const CString& dataFolder);
    bool InitThemePath(const CString& folder);
    void InitCurrentPos(unsigned long x, unsigned long y);
    void SetStoragePath(const char16_t* folder);
    void SetSearchName(const CString& name) { m_searchName = name; }
    void SetResourceBuilder(NaviRcBuilder* builder) { m_builder = builder; }
    void SetUIType(int type) { m_uiType = type; }
    void SetNaviMediator(NaviMediator* mediator) { m_mediator = mediator; }
    void SetDirectRoute(bool on) { m_directRoute = on; }
    void SetUseMenuButton(bool on) { m_useMenuButton = on; }
    void SetSearchType(int type) { m_searchType = type; }

    bool GetAddrDBVersion(CNaviVersion& version);
    bool GetNameDBVersion(CNaviVersion& version);
    bool GetAdminDBVersion(CNaviVersion& version);
    bool GetThemeDBVersion(CNaviVersion& version);

    // The name search: 0 the databases cannot be opened (nothing shown, the record unchanged),
    // 1 chosen (the record holds it), 2 closed, 3 the current position.
    int StartSearch(_NAME_RESULT& result);
    // The address search, with the same return codes; the record's level indices and parcel
    // text are restored when the dialog opens.
    int StartSearch(_ADDR_RESULT& result);
    // The category search, with the same return codes.
    int StartSearch(_CATE_RESULT& result);
    // The theme search: 0 when no theme file is usable, else as the name search. Positions in
    // the record are the places' coordinates multiplied by 10.
    int StartSearch(_THEME_RESULT& result);
    // The nearby search: 4 when the map callback or the mediator is missing (nothing shown),
    // else 1 chosen, 2 closed, 3 the current position; the record is written whatever the end.
    int StartSearch(_AROUND_RESULT& result);
    // The point-of-interest detail screen: 1 a button took the point (the record carries the
    // point type and the route-directly byte), 2 back, 3 the current position or no usable record.
    int StartSearch(_POI_RESULT_AUTO& result);
    // The detail screen the UI type asks for: "POIInfo" for the basic layout, else "POIInfoAdv".
    static CString PoiScreenName(int uiType);
    // Record poiIndex of the POI database, no dialog; true when it was read.
    bool StartSearch(int poiIndex, _POI_RESULT& result);

    // Asks the running search's dialog to reopen its databases; true when none runs.
    bool ReloadedSearchDB();

    const CString& GetDataFolder() const { return m_dataFolder; }
    const CString& GetNameDBPath() const { return m_namePath; }
    const CString& GetAddrDBPath() const { return m_addrPath; }
    const CString& GetThemePath() const { return m_themePath; }
    const CString& GetAdminDBPath() const { return m_adminPath; }
    const CString& GetPOIDBPath() const { return m_poiPath; }
    const CString& GetStoragePath() const { return m_storagePath; }
    const CString& GetSearchName() const { return m_searchName; }
    int GetUIType() const { return m_uiType; }
    int GetSearchType() const { return m_searchType; }
    NaviMediator* GetNaviMediator() const { return m_mediator; }
    NaviRcBuilder* GetResourceBuilder() const { return m_builder; }
    bool GetDirectRoute() const { return m_directRoute; }
    bool GetUseMenuButton() const { return m_useMenuButton; }
    unsigned long GetCurrentX() const { return m_curX; }
    unsigned long GetCurrentY() const { return m_curY; }

    MapCallback m_pMapCallback = nullptr;

private:
    void CopySettings(const CSearchManager& other);
    void ClearPOIDlg();
    void ClearNameDlg();
    void ClearAddrDlg();
    void ClearCateDlg();
    void ClearThemeDlg();
    void ClearAroundDlg();

    CString m_storagePath;
    CString m_dataFolder;
    CString m_namePath;
    CString m_addrPath;
    CString m_themePath;
    CString m_adminPath;
    CString m_poiPath;
    unsigned long m_curX = 0;
    unsigned long m_curY = 0;
    CString m_searchName;
    NaviRcBuilder* m_builder = nullptr;
    int m_uiType = -1;
    NaviMediator* m_mediator = nullptr;
    bool m_directRoute = false;
    int m_searchType = -1;
    CDlgNameSrch* m_nameDlg = nullptr;
    CDlgAddrSrch* m_addrDlg = nullptr;
    CDlgCateSrch* m_cateDlg = nullptr;
    CDlgThemeSrch* m_themeDlg = nullptr;
    CDlgAroundSrch* m_aroundDlg = nullptr;
    CDlgPOI* m_poiDlg = nullptr;
    bool m_useMenuButton = true;
};
