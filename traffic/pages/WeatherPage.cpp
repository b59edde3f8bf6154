#include "traffic/pages/WeatherPage.h"

#include "platform/base/CTime.h"
#include "traffic/pages/DARCWeather.h"

#include <mutex>
#include <string>

IMPLEMENT_DYNCREATE(CWeatherPage, CPropertyPage)

namespace {

const char16_t* const kModeNames[] = {u"날씨", u"기온", u"눈/비 확률"};
const char16_t* const kDayNames[CWeatherPage::kDays] = {u"현재", u"오늘",  u"내일",  u"모레", u"3일후",
                                                        u"4일후", u"5일후", u"6일후", u"7일후"};
constexpr const char16_t* kRainFirstDay = u"현재강수량";

void RegisterWeatherTemplate() {
    static std::once_flag once;
    std::call_once(once, [] {
        DialogTemplateInfo t;
        t.dialogUnits = true;
        t.rect = RECT{0, 0, 137, 153};
        t.style = WS_CHILD | DS_CONTROL;
        t.title = u"기상";
        const DWORD box = WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL;
        t.items = {
            // The report box starts hidden: it shows only with a region chosen.
            {static_cast<int>(CWeatherPage::IDC_REPORT), WC_EDIT, RECT{7, 101, 7 + 125, 101 + 38},
             WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE, u""},
            // A combo box's rectangle reaches down to the bottom of its open list.
            {static_cast<int>(CWeatherPage::IDC_COMBO_MODE), WC_COMBOBOX, RECT{4, 3, 4 + 48, 3 + 56}, box, u""},
            {static_cast<int>(CWeatherPage::IDC_COMBO_DAY), WC_COMBOBOX, RECT{78, 3, 78 + 57, 3 + 95}, box, u""},
        };
        AfxRegisterDialogTemplate(CWeatherPage::IDD, t);
    });
}

} // namespace

void CWeatherPage::RegisterTemplate() { RegisterWeatherTemplate(); }

CWeatherPage::CWeatherPage() : CPropertyPage(IDD), m_map(std::make_unique<WeatherMapCtrl>()) { RegisterTemplate(); }

CWeatherPage::~CWeatherPage() = default;

void CWeatherPage::SetRcBuilder(NaviRcBuilder* builder) {
    m_builder = builder;
    if (builder) m_map->LoadImages(builder);
}

void CWeatherPage::OnSheetDestroy() { m_map->ReleaseImages(); }

void CWeatherPage::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_REPORT, m_report);
    DDX_Control(dx, IDC_COMBO_MODE, m_modeBox);
    DDX_Control(dx, IDC_COMBO_DAY, m_dayBox);
}

const char16_t* CWeatherPage::FirstDayName() const {
    return m_map->GetMode() == WeatherMapCtrl::kPrecipitation ? kRainFirstDay : kDayNames[0];
}

BOOL CWeatherPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (const char16_t* name : kModeNames) m_modeBox.AddString(name);
    for (const char16_t* name : kDayNames) m_dayBox.AddString(name);
    m_report.ShowWindow(SW_HIDE);
    m_map->SetDay(0);
    m_map->SetRegion(0);
    m_map->SetMode(WeatherMapCtrl::kWeather);
    m_map->ClearTapped();
    m_modeBox.SetCurSel(m_map->GetMode());
    m_dayBox.SetCurSel(m_map->GetDay());
    return TRUE;
}

BOOL CWeatherPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (code == CBN_SELCHANGE && id == IDC_COMBO_MODE) {
        OnSelChangeMode();
        return TRUE;
    }
    if (code == CBN_SELCHANGE && id == IDC_COMBO_DAY) {
        OnSelChangeDay();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CWeatherPage::OnSelChangeMode() {
    const int mode = m_modeBox.GetCurSel();
    if (mode < WeatherMapCtrl::kWeather || mode > WeatherMapCtrl::kPrecipitation) return;
    m_map->SetMode(mode);
    // The first day entry names what the mode shows of the current weather.
    CString first;
    if (m_dayBox.GetCount() > 0) m_dayBox.GetLBText(0, first);
    if (first != FirstDayName()) {
        const bool selected = m_dayBox.GetCurSel() == 0;
        m_dayBox.DeleteString(0);
        m_dayBox.InsertString(0, FirstDayName());
        if (selected) m_dayBox.SetCurSel(0);
    }
    Invalidate(FALSE);
}

void CWeatherPage::OnSelChangeDay() {
    const int day = m_dayBox.GetCurSel();
    if (day < 0 || day >= kDays) return;
    m_map->SetDay(static_cast<std::uint8_t>(day));
    if (m_map->IsWeeklyMap())
        m_report.ShowWindow(SW_HIDE);
    else if (m_map->GetRegion() != 0)
        ShowReport();
    Invalidate(FALSE);
}

void CWeatherPage::ShowReport() {
    const int row = m_map->GetRegionIndex();
    if (m_map->GetRegion() == 0 || row < 0 || m_map->IsWeeklyMap()) {
        m_report.ShowWindow(SW_HIDE);
        return;
    }
    CString report;
    CDARCWeather::instance()->getLocalInfo(row, m_map->GetDay(), &report);
    // The same text again keeps where the box was scrolled to.
    CString shown;
    m_report.GetWindowText(shown);
    if (shown != report) m_report.SetWindowText(report);
    m_report.ShowWindow(SW_SHOW);
}

void CWeatherPage::SelectPlaceLine() {
    const std::u16string name = m_map->TappedPlaceName();
    m_map->ClearTapped();
    if (name.empty()) return;
    CString text;
    m_report.GetWindowText(text);
    const std::u16string report(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    const std::size_t at = report.find(name + u" :");
    if (at == std::u16string::npos) return;
    int line = 0;
    for (std::size_t p = report.find(u"\r\n"); p != std::u16string::npos && p < at; p = report.find(u"\r\n", p + 2))
        ++line;
    std::size_t end = report.find(u"\r\n", at);
    if (end == std::u16string::npos) end = report.size();
    m_report.LineScroll(line - m_report.GetFirstVisibleLine());
    m_report.SetSel(static_cast<int>(at), static_cast<int>(end), TRUE);
}

void CWeatherPage::OnLButtonUp(UINT flags, CPoint point) {
    if (m_map->Tap(POINT{point.x, point.y})) {
        if (m_map->GetRegion() != 0)
            ShowReport();
        else
            m_report.ShowWindow(SW_HIDE);
        SelectPlaceLine();
        Invalidate(FALSE);
    }
    CPropertyPage::OnLButtonUp(flags, point);
}

void CWeatherPage::RefreshDayEntries() {
    unsigned char today = 0;
    if (!CDARCWeather::instance()->getToday(today) || m_dayBox.GetCount() != kDays) return;
    // The broadcast's today in the current month, whole days from now.
    const CTime now = CTime::GetCurrentTime();
    const CTime base = now - CTimeSpan(now.GetDay(), 0, 0, 0) + CTimeSpan(today, 0, 0, 0);
    const int selected = m_dayBox.GetCurSel();
    bool changed = false;
    for (int i = 0; i < kDays; ++i) {
        CString entry;
        if (i == 0)
            entry = FirstDayName();
        else
            entry.Format(u"%s( %d 일)", kDayNames[i], (base + CTimeSpan(i - 1, 0, 0, 0)).GetDay());
        CString shown;
        m_dayBox.GetLBText(i, shown);
        if (shown == entry) continue;
        m_dayBox.DeleteString(static_cast<UINT>(i));
        m_dayBox.InsertString(i, entry);
        changed = true;
    }
    if (changed) m_dayBox.SetCurSel(selected);
}

void CWeatherPage::OnPaint() {
    RefreshDayEntries();
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, WeatherMapCtrl::kWidth, WeatherMapCtrl::kHeight);
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        const RECT all{0, 0, WeatherMapCtrl::kWidth, WeatherMapCtrl::kHeight};
        ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        m_map->Draw(memory);
        ::BitBlt(dc, WeatherMapCtrl::kOrigin.x, WeatherMapCtrl::kOrigin.y, WeatherMapCtrl::kWidth,
                 WeatherMapCtrl::kHeight, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    ::EndPaint(m_hWnd, &ps);
}
