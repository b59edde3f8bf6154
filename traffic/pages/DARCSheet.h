// The traffic-broadcast sheet: one window with a tab for the roads of interest, traffic by road,
// stocks, weather, news, the receiver's status and the map display options. It also builds the
// current-road page, which has no tab. The sheet lives only while it is shown; what it and its
// pages keep between openings is in the page-state store.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/CurrentTrafficPage.h"
#include "traffic/pages/DARCStockPage.h"
#include "traffic/pages/DisplayPage.h"
#include "traffic/pages/InterestTrafficPage.h"
#include "traffic/pages/ReceivePage.h"
#include "traffic/pages/ShortTextPage.h"
#include "traffic/pages/TrafficPage.h"
#include "traffic/pages/WeatherPage.h"

class CNaviConfig;
class NaviRcBuilder;

class CDARCSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CDARCSheet)
public:
    // The title holds at most this many characters.
    static constexpr int kTitleChars = 127;
    // Where the sheet sits: below the 26-pixel top bar of the 240 x 320 screen.
    static constexpr RECT kPlace = {0, 26, 240, 320};

    CDARCSheet(UINT captionId, CWnd* parent = nullptr, UINT firstPage = 0);
    CDARCSheet(LPCWSTR caption, CWnd* parent = nullptr, UINT firstPage = 0);
    ~CDARCSheet() override;

    // Called once before the sheet is shown: hands the skin builder to the weather page, keeps
    // the title (cut to 127 characters) and gives it to the traffic page's list, adds the seven
    // tabs, loads the display options and makes the stored tab current.
    void SetTrafficTitle(const CString& title, NaviRcBuilder* builder);
    // The program's configuration, for the item path of the roads-of-interest file.
    void SetConfigPointer(CNaviConfig* config);
    const CString& GetTrafficTitle() const { return m_title; }

    BOOL OnInitDialog() override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnDestroy() override;
    void OnPaint() override;

    CInterestTrafficPage m_interestPage;
    CTrafficPage m_trafficPage;
    CCurrentTrafficPage m_currentPage;
    CDARCStockPage m_stockPage;
    CWeatherPage m_weatherPage;
    CShortTextPage m_newsPage;
    CReceivePage m_receivePage;
    CDisplayPage m_displayPage;
    CString m_title;

private:
    void Place();
};
