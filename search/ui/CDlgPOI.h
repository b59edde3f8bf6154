// The detail screen of one point of interest: its name, telephone and address lines and the
// other labelled details, with buttons to take the point (as start, destination, waypoint or map
// move), route to it directly, or go back. The caller reads the flags after the modal run.
#pragma once

#include "platform/window/AfxControls.h"
#include "search/SearchRecords.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviFlowString;

class CDlgPOI : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 136;
    static constexpr int kDetailControl = 1010;

    explicit CDlgPOI(CWnd* parent = nullptr);
    ~CDlgPOI() override;

    // The detail screen a UI type asks for: "POIInfo" for the basic layout (2004), else "POIInfoAdv".
    static CString ScreenFor(int uiType);
    // Set up as a search screen opens it on a row's details: the screen for the UI type, the skin
    // builder, the point type, whether routing at once is allowed and the detail record's index.
    void Prepare(int uiType, NaviRcBuilder* builder, int pointType, bool directRoute, int poiIndex);
    void SetPOIIndex(int index) { m_poiIndex = index; }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetUseMenuButton(bool on) { m_useMenuButton = on; }
    // Reads the record of the POI number from the database at path; false for a negative number
    // or an unreadable record.
    bool OpenOn(const char16_t* poiPath);
    void SetPOIInfo(const _POI_RESULT& info) { m_poi = info; }

    void SetPointType(int type) { m_pointType = type; }
    int GetPointType() const { return m_pointType; }
    bool IsShowPosition() const { return m_showPosition; }
    bool IsRouteDirectly() const { return m_routeDirectly; }
    bool IsBack() const { return m_back; }
    bool IsCurrentPos() const { return m_currentPos; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // What the screen shows, for the caller's checks: the name, the two flowing lines and the
    // detail text.
    const CString& GetName() const { return m_name; }
    const CString& GetTelephoneLine() const { return m_telephone; }
    const CString& GetAddressLine() const { return m_address; }
    const CString& GetDetailText() const { return m_detail; }

    // The address with its province shortened: a five-syllable city name to its first two
    // syllables and "시", a four-syllable province to its first and third syllables.
    static CString FilteringAddress(const CString& address);
    // Breaks text into lines of at most width pixels in dc's font, joined by "\r\n".
    static CString StringProcessor(HDC dc, const CString& text, int width);

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

private:
    void BuildTexts();
    void CreateNaviFlowString();
    void DisplayText();
    void ShowPointType();

    bool m_showPosition = false;
    bool m_routeDirectly = false;
    bool m_directRouteAllowed = false;
    bool m_back = false;
    bool m_currentPos = false;
    int m_pointType = 0;
    CString m_detail;
    int m_poiIndex = -1;
    _POI_RESULT m_poi;
    NaviFlowString* m_telephoneFlow = nullptr;
    NaviFlowString* m_addressFlow = nullptr;
    CString m_name;
    CString m_telephone;
    CString m_address;
    bool m_useMenuButton = true;
    CEdit m_detailEdit;
};
