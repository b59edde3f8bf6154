#include "traffic/pages/DARCSheet.h"

#include "route/base/InputPanel.h"
#include "traffic/pages/DARCStock.h"
#include "traffic/pages/SheetStorage.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CDARCSheet, CPropertySheet)

namespace {

// The pages' templates, written once per process.
void RegisterPageTemplates() {
    static std::once_flag once;
    std::call_once(once, [] {
        CInterestTrafficPage::RegisterTemplate();
        CTrafficPage::RegisterTemplate();
        CCurrentTrafficPage::RegisterTemplate();
        CDARCStockPage::RegisterTemplate();
        CWeatherPage::RegisterTemplate();
        CShortTextPage::RegisterTemplate();
        CReceivePage::RegisterTemplate();
        CDisplayPage::RegisterTemplate();
    });
}

} // namespace

CDARCSheet::CDARCSheet(UINT captionId, CWnd* parent, UINT firstPage)
    : CPropertySheet(captionId, parent, firstPage) {
    RegisterPageTemplates();
    m_title = u"";
}

CDARCSheet::CDARCSheet(LPCWSTR caption, CWnd* parent, UINT firstPage) : CPropertySheet(caption, parent, firstPage) {
    RegisterPageTemplates();
}

CDARCSheet::~CDARCSheet() {
    if (m_hWnd) DestroyWindow();
}

void CDARCSheet::SetTrafficTitle(const CString& title, NaviRcBuilder* builder) {
    m_weatherPage.SetRcBuilder(builder);
    m_title = title.GetLength() > kTitleChars ? title.Left(kTitleChars) : title;
    CTrafficPage::SetTitle(m_title);
    AddPage(&m_interestPage);
    AddPage(&m_trafficPage);
    AddPage(&m_stockPage);
    AddPage(&m_weatherPage);
    AddPage(&m_newsPage);
    AddPage(&m_receivePage);
    AddPage(&m_displayPage);
    m_displayPage.RestoreOptions();
    int tab = 0;
    CSheetStorage::instance()->RestoreDARCSheet(tab);
    if (tab < 0 || tab >= GetPageCount()) tab = 0;
    SetActivePage(tab);
}

void CDARCSheet::SetConfigPointer(CNaviConfig* config) {
    m_interestPage.SetConfigPointer(config);
    m_trafficPage.SetConfigPointer(config);
    // The stock keeper finds the interest-stock file through the stock door's configuration.
    CDARCStock::instance()->SetConfigPointer(config);
}

void CDARCSheet::Place() {
    ShowTaskbar();
    MoveWindow(kPlace.left, kPlace.top, kPlace.right - kPlace.left, kPlace.bottom - kPlace.top);
}

BOOL CDARCSheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    Place();
    return result;
}

void CDARCSheet::OnSetFocus(CWnd* oldWnd) {
    CPropertySheet::OnSetFocus(oldWnd);
    Place();
}

void CDARCSheet::OnPaint() {
    ValidateRect(nullptr);
}

void CDARCSheet::OnDestroy() {
    m_interestPage.OnSheetDestroy();
    m_trafficPage.OnSheetDestroy();
    m_receivePage.OnSheetDestroy();
    m_stockPage.OnSheetDestroy();
    m_weatherPage.OnSheetDestroy();
    m_newsPage.OnExit();
    m_displayPage.StoreOptions();
    CSheetStorage::instance()->StoreDARCSheet(GetActiveIndex());
    CPropertySheet::OnDestroy();
}
