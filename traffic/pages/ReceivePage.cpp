#include "traffic/pages/ReceivePage.h"

#include "platform/base/Text.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include "traffic/pages/SheetStorage.h"

#include <mutex>

IMPLEMENT_DYNCREATE(CReceivePage, CPropertyPage)

namespace {

constexpr int kLabel = 0xFFFF;

void RegisterReceiveTemplate() {
    static std::once_flag once;
    std::call_once(once, [] {
        DialogTemplateInfo t;
        t.rect = RECT{0, 0, 240, 268};
        t.style = WS_CHILD | DS_CONTROL;
        t.title = u"상태";
        const DWORD v = WS_VISIBLE;
        const DWORD field = v | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
        const DWORD box = v | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL;
        t.items = {
            {kLabel, WC_STATIC, RECT{8, 12, 84, 28}, v, u"연결상태"},
            {static_cast<int>(CReceivePage::IDC_STATUS), WC_EDIT, RECT{86, 8, 232, 30}, field, u""},
            {kLabel, WC_STATIC, RECT{8, 38, 84, 54}, v, u"수신율"},
            {static_cast<int>(CReceivePage::IDC_RATE), WC_EDIT, RECT{86, 34, 232, 56}, field, u""},
            {kLabel, WC_STATIC, RECT{8, 64, 84, 80}, v, u"주파수"},
            {static_cast<int>(CReceivePage::IDC_FREQUENCY), WC_EDIT, RECT{86, 60, 232, 82}, field, u""},
            {kLabel, WC_STATIC, RECT{8, 90, 84, 106}, v, u"수신기버전"},
            {static_cast<int>(CReceivePage::IDC_VERSION), WC_EDIT, RECT{86, 86, 232, 108}, field, u""},
            {kLabel, WC_STATIC, RECT{8, 118, 232, 134}, v, u"주파수 수동 설정"},
            {kLabel, WC_STATIC, RECT{12, 140, 62, 156}, v, u"지   역"},
            {static_cast<int>(CReceivePage::IDC_COMBO_REGION), WC_COMBOBOX, RECT{64, 136, 168, 136 + 120}, box, u""},
            {kLabel, WC_STATIC, RECT{12, 172, 62, 188}, v, u"주파수"},
            {static_cast<int>(CReceivePage::IDC_COMBO_FREQUENCY), WC_COMBOBOX, RECT{64, 168, 168, 168 + 100}, box,
             u""},
            {static_cast<int>(CReceivePage::IDC_BUTTON_SET), WC_BUTTON, RECT{176, 150, 228, 178}, v | WS_TABSTOP,
             u"설정"},
            {static_cast<int>(CReceivePage::IDC_BUTTON_ERASE), WC_BUTTON, RECT{50, 214, 190, 242}, v | WS_TABSTOP,
             u"ZARN 정보 초기화"},
        };
        AfxRegisterDialogTemplate(CReceivePage::IDD, t);
    });
}

std::u16string RegionName(int region) {
    char name[256] = {};
    CFreqScanner::instance()->GetLocalName(region, name, static_cast<int>(sizeof name));
    return Cp949ToUtf16(name);
}

} // namespace

void CReceivePage::RegisterTemplate() { RegisterReceiveTemplate(); }

CReceivePage::CReceivePage() : CPropertyPage(IDD) { RegisterTemplate(); }

CString CReceivePage::FrequencyText(int code, bool blank) {
    CString text;
    text.Format(blank ? u"%3.1f MHz" : u"%3.1fMHz", (code + 844) * 0.1);
    return text;
}

void CReceivePage::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMBO_FREQUENCY, m_freqBox);
    DDX_Control(dx, IDC_COMBO_REGION, m_regionBox);
}

int CReceivePage::RegionStart(int region) {
    return region <= 0 ? 0 : CFreqScanner::instance()->GetNumOfFreq(region - 1);
}

void CReceivePage::FillFrequencies(int region, int select) {
    m_freqBox.ResetContent();
    CFreqScanner* scanner = CFreqScanner::instance();
    const int start = RegionStart(region);
    const int end = scanner->GetNumOfFreq(region);
    for (int i = start; i < end; ++i) m_freqBox.AddString(FrequencyText(scanner->GetFreq(i), true));
    if (m_freqBox.GetCount() > 0) m_freqBox.SetCurSel(select >= 0 && select < m_freqBox.GetCount() ? select : 0);
}

BOOL CReceivePage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    CFreqScanner* scanner = CFreqScanner::instance();
    const int regions = scanner->GetLocalNum();
    for (int r = 0; r < regions; ++r) m_regionBox.AddString(RegionName(r).c_str());
    int region = 0, frequency = 0, third = 0;
    if (CSheetStorage::instance()->RestoreReceivePage(region, frequency, third)) {
        m_region = region;
        m_freqIndex = frequency;
        m_third = third;
    }
    // The box starts on the first "서울" region; the stored region is kept but not applied.
    int seoul = -1;
    for (int r = 0; r < regions && seoul < 0; ++r)
        if (RegionName(r).rfind(u"서울", 0) == 0) seoul = r;
    if (seoul < 0) {
        MessageBox(u"에러 : 서울 지역이 없습니다.", u"", MB_OK | MB_ICONERROR);
    } else {
        m_regionBox.SetCurSel(seoul);
        FillFrequencies(seoul, m_freqIndex);
    }
    CString version;
    if (CDARC::instance()->GetVersionString(version)) SetDlgItemText(IDC_VERSION, version);
    return TRUE;
}

BOOL CReceivePage::OnSetActive() {
    RefreshStatus();
    SetTimer(kTimer, kTimerMs);
    return CPropertyPage::OnSetActive();
}

BOOL CReceivePage::OnKillActive() {
    KillTimer(kTimer);
    return CPropertyPage::OnKillActive();
}

void CReceivePage::OnTimer(UINT_PTR id) {
    if (id != kTimer) {
        CPropertyPage::OnTimer(id);
        return;
    }
    if (!m_closing) RefreshStatus();
}

BOOL CReceivePage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (id == IDC_COMBO_REGION && code == CBN_SELCHANGE) {
        OnSelChangeRegion();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_BUTTON_SET) {
        OnButtonSet();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_BUTTON_ERASE) {
        OnButtonErase();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CReceivePage::OnSelChangeRegion() {
    const int region = m_regionBox.GetCurSel();
    if (region >= 0) FillFrequencies(region, 0);
}

void CReceivePage::EnableTuning(BOOL enable) {
    for (UINT id : {IDC_COMBO_REGION, IDC_COMBO_FREQUENCY, IDC_BUTTON_SET})
        if (CWnd* w = GetDlgItem(static_cast<int>(id))) w->EnableWindow(enable);
}

void CReceivePage::OnButtonSet() {
    CFreqScanner* scanner = CFreqScanner::instance();
    const int region = m_regionBox.GetCurSel();
    const int index = m_freqBox.GetCurSel();
    // Nothing chosen, or a place outside the frequency list: there is nothing to tune.
    const int regions = scanner->GetLocalNum();
    if (region < 0 || index < 0 || region >= regions) return;
    const int flat = RegionStart(region) + index;
    if (flat >= scanner->GetNumOfFreq(region) || flat >= scanner->GetNumOfFreq(regions - 1)) return;
    if (MessageBox(u"주파수를 변경하시겠습니까?", u"", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    m_region = region;
    m_freqIndex = index;
    const int code = scanner->GetFreq(flat);
    scanner->SetNewFreq(code);
    m_pending = code;
    EnableTuning(FALSE);
    m_tuning = 1;
}

void CReceivePage::OnButtonErase() {
    // The sheet cannot be closed while the question is open.
    CWnd* sheet = GetParent();
    const bool hadSystemMenu = sheet && (sheet->GetStyle() & WS_SYSMENU);
    if (hadSystemMenu) sheet->ModifyStyle(WS_SYSMENU, 0);
    if (MessageBox(u"ZARN 정보를 초기화하시겠습니까?", u"", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        BeginWaitCursor();
        CStock::instance()->reset();
        CTraffic::instance()->reset();
        CShortText::instance()->externalReset();
        CMarkup::instance()->externalReset();
        CWeather::instance()->reset(0);
        EndWaitCursor();
    }
    if (hadSystemMenu && sheet->m_hWnd) sheet->ModifyStyle(0, WS_SYSMENU);
}

void CReceivePage::RefreshStatus() {
    CDARC* darc = CDARC::instance();
    int connected = 0;
    if (!darc->IsDARCConnected(connected)) {
        SetDlgItemText(IDC_STATUS, m_status);
        return;
    }
    if (!connected) {
        m_status = u"OFF";
        EnableTuning(FALSE);
        // A tuning that was never confirmed ends with the connection.
        m_pending = -1;
        m_tuning = 0;
        for (UINT id : {IDC_RATE, IDC_FREQUENCY, IDC_VERSION}) SetDlgItemText(static_cast<int>(id), u"");
    } else {
        m_status = u"ON";
        if (!m_tuning)
            if (CWnd* set = GetDlgItem(IDC_BUTTON_SET)) set->EnableWindow(TRUE);
        unsigned char rate = 0, frequency = 0;
        if (darc->GetReceiveRate(rate, frequency)) {
            m_rate = rate;
            m_freq = frequency;
            m_packets = darc->GetPacketNum();
            CString text;
            text.Format(u"%d%% (%d)", static_cast<int>(rate), m_packets);
            SetDlgItemText(IDC_RATE, text);
            SetDlgItemText(IDC_FREQUENCY, FrequencyText(frequency, false));
            if (!m_tuning) {
                EnableTuning(TRUE);
            } else if (frequency == m_pending) {
                EnableTuning(TRUE);
                m_tuning = 0;
                m_pending = -1;
            }
        }
        CString version;
        if (darc->GetVersionString(version)) SetDlgItemText(IDC_VERSION, version);
    }
    if (CFreqScanner::instance()->IsScanMode()) m_status = u"자동 찾기 중";
    if (m_regionBox.m_hWnd && !m_regionBox.IsWindowEnabled() && m_tuning) m_status = u"주파수 설정 중";
    SetDlgItemText(IDC_STATUS, m_status);
}

void CReceivePage::OnSheetDestroy() {
    m_closing = 1;
    CSheetStorage::instance()->StoreReceivePage(m_region, m_freqIndex, 0);
}
