#include "app/CGpsInfoDlg.h"

#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/window/Afx.h"
#include "position/Geometry.h"
#include "position/PositionWorkers.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviImageCtrl.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviSkyView.h"
#include "skinui/screens/NaviControlTree.h"

#include <algorithm>

namespace {

constexpr UINT kRepaintValues = WM_APP + 0x41;
constexpr const char16_t* kPanels = u"천공도관련패널들";
constexpr const char16_t* kDatumGroup = u"수신좌표계그룹";
constexpr const char16_t* kPortCombo = u"Port설정";
constexpr const char16_t* kSpeedCombo = u"BaudRate설정";
constexpr const char16_t* kSeparateBox = u"별도 GPS 수신기 사용";
constexpr const char16_t* kUnitBox = u"ZARN 수신기 사용";
constexpr const char16_t* kNotFound = u"수신기를 찾지 못했습니다.\n다시 자동 찾기를 하시거나\n수동으로 설정하시기 바랍니다.";
constexpr const char16_t* kFound = u"수신기를 찾았습니다.";
constexpr const char16_t* kApplyQuestion = u"변경사항을 적용하시겠습니까?";
// The reception-quality bar.
constexpr RECT kQualityBar{45, 213, 195, 234};

void RegisterTemplate() {
    static bool registered = false;
    if (registered) return;
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CGpsInfoDlg::kTemplateId, info);
    registered = true;
}

bool Is(const NaviCommand& cmd, const char16_t* name) {
    return cmd.target == CString(name);
}

} // namespace

CGpsInfoDlg::CGpsInfoDlg(CNaviConfig* config)
    : NaviDialog(kTemplateId, nullptr, nullptr), m_config(config ? config : CNaviConfig::GetInstance()) {}

CGpsInfoDlg::~CGpsInfoDlg() {
    Close();
}

// ---- texts ----

CString CGpsInfoDlg::SpeedText(int speedTenths) {
    CString text;
    if (speedTenths < 0) text = u"0km/h";
    else text.Format(u"%dkm/h", speedTenths / 10);
    return text;
}

CString CGpsInfoDlg::AltitudeText(int altitudeTenths) {
    CString text;
    if (altitudeTenths < 0) text = u"0m";
    else text.Format(u"%dm", altitudeTenths / 10);
    return text;
}

CString CGpsInfoDlg::TimeText(int utcHour, int minute, int second) {
    CString text;
    text.Format(u"%02d:%02d:%02d", ((utcHour % 24) + 24 + 9) % 24, minute, second);
    return text;
}

namespace {

// Degrees, minutes, seconds and hundredths; all 0 when the degrees are 0 (no fix).
bool Split(std::int32_t value, int& d, int& m, int& s, int& f) {
    d = m = s = f = 0;
    SplitDegMinSec(value, 2, &d, &m, &s, &f);
    if (d == 0) m = s = f = 0;
    return d != 0;
}

} // namespace

CString CGpsInfoDlg::LongitudeText(std::int32_t value) {
    int d, m, s, f;
    Split(value, d, m, s, f);
    CString text;
    text.Format(u"동경 %03d:%02d:%02d.%02d", d, m, s, f);
    return text;
}

CString CGpsInfoDlg::LatitudeText(std::int32_t value) {
    int d, m, s, f;
    Split(value, d, m, s, f);
    CString text;
    text.Format(u"북위 %02d:%02d:%02d.%02d", d, m, s, f);
    return text;
}

CString CGpsInfoDlg::LinkStateText(int state) {
    switch (state) {
    case kPortFailed: return AfxLoadString(159);
    case kPortOpen: return AfxLoadString(160);
    case kNoReceiver: return AfxLoadString(61209);
    case kReceiving: return AfxLoadString(208);
    default: return CString();
    }
}

// ---- the reader's side ----

void CGpsInfoDlg::PostRepaint() {
    const HWND window = m_window.load();
    if (!m_settingsShown && window && !m_repaintPosted.exchange(true)) ::PostMessageW(window, kRepaintValues, 0, 0);
}

void CGpsInfoDlg::SetGpsData(const GpsSatRecord& satellites, const GpsPosRecord& fix) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_satellites = satellites;
        m_fix = fix;
    }
    PostRepaint();
}

void CGpsInfoDlg::SetLinkState(int state) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_linkState = state;
    }
    PostRepaint();
}

void CGpsInfoDlg::SetSignalQuality(int quality) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quality = std::clamp(quality, 0, 100);
}

int CGpsInfoDlg::GetLinkState() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_linkState;
}

int CGpsInfoDlg::GetSignalQuality() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_quality;
}

// ---- window ----

bool CGpsInfoDlg::Open(CWnd* parent) {
    if (m_open) return true;
    RegisterTemplate();
    m_parentWnd = parent;
    m_mainWnd = parent;
    m_settingsShown = false;
    m_changed = false;
    m_taps = 0;
    if (!Create(kTemplateId, parent)) return false;
    m_open = true;
    ShowValues();
    return true;
}

BOOL CGpsInfoDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    m_window = GetSafeHwnd();
    NaviRcBuilder* builder = GetRcBuilder();
    if (builder && m_panel) {
        m_skyView = new NaviSkyView();
        m_skyView->AssignName(u"SkyView");
        m_skyView->LoadImages(builder);
        builder->SetImageGroup(u"SkyView");
        m_qualityBar = builder->CreateImageCtrl(u"수신감도", true, false, kQualityBar.left, kQualityBar.top,
                                                kQualityBar.right - kQualityBar.left,
                                                kQualityBar.bottom - kQualityBar.top);
    }
    // The controls take their values as the common dialog's listeners do theirs: on "DIALOG" 2020.
    NaviCommand built;
    built.target = kTargetDialog;
    built.control = GetPanelName();
    built.id = kCmdDialogBuilt;
    ProcessEvent(built);
    return TRUE;
}

void CGpsInfoDlg::Close() {
    m_window = nullptr;
    if (m_popup) m_popup->Close();
    delete m_skyView;
    m_skyView = nullptr;
    delete m_qualityBar;
    m_qualityBar = nullptr;
    DeletePanel();
    if (GetSafeHwnd()) DestroyWindow();
    m_open = false;
    m_settingsShown = false;
}

void CGpsInfoDlg::CloseBySelf() {
    Close();
    if (m_onClosed) m_onClosed();
}

void CGpsInfoDlg::ShowValues() {
    m_repaintPosted = false;
    GpsSatRecord satellites;
    GpsPosRecord fix;
    int link, quality;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        satellites = m_satellites;
        fix = m_fix;
        link = m_linkState;
        quality = m_quality;
    }
    // The speed field is unsigned in the record; a value past the signed range reads negative.
    SendToPanel(u"속도", kCmdSetLabelText, 0, SpeedText(static_cast<std::int16_t>(fix.speed)));
    SendToPanel(u"고도", kCmdSetLabelText, 0, AltitudeText(fix.altitude));
    SendToPanel(u"시간", kCmdSetLabelText, 0, TimeText(fix.hour, fix.minute, fix.second));
    CString hdop;
    hdop.Format(u"%.1f", fix.hdop);
    SendToPanel(u"HDOP", kCmdSetLabelText, 0, hdop);
    SendToPanel(u"동경", kCmdSetLabelText, 0, LongitudeText(fix.longitude));
    SendToPanel(u"북위", kCmdSetLabelText, 0, LatitudeText(fix.latitude));
    int d, m, s, f;
    const bool located = Split(fix.longitude, d, m, s, f) && Split(fix.latitude, d, m, s, f);
    if (m_skyView) {
        m_skyView->SetVisible(located);
        if (located) m_skyView->SetSatellites(satellites);
    }
    if (m_qualityBar) m_qualityBar->SetValue(quality);
    SendToPanel(u"시리얼포트상태", kCmdSetLabelText, 0, LinkStateText(link));
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CGpsInfoDlg::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    ::SetViewportOrgEx(memory.GetSafeHdc(), -rect.left, -rect.top, nullptr);
    Draw(&memory);
    if (!m_settingsShown) {
        if (m_skyView) m_skyView->Draw(&memory);
        if (m_qualityBar) m_qualityBar->Draw(&memory);
    }
    ::SetViewportOrgEx(memory.GetSafeHdc(), 0, 0, nullptr);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

LRESULT CGpsInfoDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRepaintValues) {
        if (!m_settingsShown) ShowValues();
        else m_repaintPosted = false;
        return 0;
    }
    return NaviDialog::WindowProc(message, wParam, lParam);
}

bool CGpsInfoDlg::CountGestureTap(POINT p) {
    if (m_settingsShown) return false;
    const bool inside = p.x >= kGestureSquare.left && p.x <= kGestureSquare.right && p.y >= kGestureSquare.top &&
                        p.y <= kGestureSquare.bottom;
    if (!inside) {
        m_taps = 0;
        return false;
    }
    if (++m_taps < kGestureTaps) return false;
    m_taps = 0;
    m_memoryRequest = true;
    if (m_workers) m_workers->RequestMemoryFigures();
    CloseBySelf();
    return true;
}

void CGpsInfoDlg::OnLButtonUp(UINT flags, CPoint point) {
    // The window covers the screen from its corner: client points are screen points.
    const RECT r = GetPanelRect();
    const POINT screen{point.x + r.left, point.y + r.top};
    NaviDialog::OnLButtonUp(flags, point);
    if (m_open) CountGestureTap(screen);
}

// ---- settings ----

void CGpsInfoDlg::LoadControls() {
    if (!m_config) return;
    m_datum = m_config->GetValue(28);
    m_port = m_config->GetValue(29);
    m_speed = m_config->GetValue(30);
    m_separate = m_config->GetValue(31);
    m_unit = m_config->GetValue(32);
    SendToPanel(kDatumGroup, kCmdSelect, m_datum);
    SendToPanel(kPortCombo, kCmdSelect, m_port);
    SendToPanel(kSpeedCombo, kCmdSelect, m_speed);
    SendToPanel(kSeparateBox, kCmdSelect, m_separate);
    SendToPanel(kUnitBox, kCmdSelect, m_unit);
    UpdatePortChoices();
}

void CGpsInfoDlg::SaveSettings() {
    if (!m_config) return;
    m_config->SetValue(28, m_datum);
    m_config->SetValue(29, m_port);
    m_config->SetValue(30, m_speed);
    m_config->SetValue(31, m_separate);
    m_config->SetValue(32, m_unit);
    m_config->SaveSettings(-1);
}

void CGpsInfoDlg::UpdatePortChoices() {
    // The unit alone uses its fixed port: no port or speed to choose.
    const int value = m_unit && !m_separate ? -2 : -1;
    SendToPanel(kPortCombo, kCmdSelect, value);
    SendToPanel(kSpeedCombo, kCmdSelect, value);
}

void CGpsInfoDlg::SearchReceivers() {
    std::uint8_t unitFound = 0, both = 0;
    int port = 0, code = 0;
    bool found = false;
    {
        CWaitCursor wait;
        found = m_workers && m_workers->FindReceivers(unitFound, both, port, code);
    }
    if (!found) {
        NaviMessageBox::ShowMessage(kNotFound, NaviMessageBox::kNotice);
        return;
    }
    m_datum = 0;
    m_port = port;
    m_speed = code;
    m_separate = both ? 1 : 0;
    m_unit = unitFound ? 1 : 0;
    SendToPanel(kDatumGroup, kCmdSelect, m_datum);
    SendToPanel(kPortCombo, kCmdSelect, m_port);
    SendToPanel(kSpeedCombo, kCmdSelect, m_speed);
    SendToPanel(kSeparateBox, kCmdSelect, m_separate);
    SendToPanel(kUnitBox, kCmdSelect, m_unit);
    UpdatePortChoices();
    m_changed = true;
    NaviMessageBox::ShowMessage(kFound, NaviMessageBox::kNotice);
}

void CGpsInfoDlg::ResetGps() {
    if (m_unitMode) {
        NaviMessageBox::ShowMessage(AfxLoadString(192), NaviMessageBox::kNotice);
        return;
    }
    m_resetRequest = true;
    if (m_workers) m_workers->RequestGpsReset();
}

void CGpsInfoDlg::ConfirmSettings() {
    if (m_changed && NaviMessageBox::ShowMessage(kApplyQuestion, NaviMessageBox::kQuestion) == NaviMessageBox::kYes) {
        SaveSettings();
        if (m_onApply) m_onApply();
    }
    m_changed = false;
    LoadControls();
    SendToPanel(kPanels, kCmdSelect, 0);
    m_settingsShown = false;
    ShowValues();
}

void CGpsInfoDlg::OpenPopup(std::uint32_t comboHandle) {
    NaviComboBox* combo = NaviComboBox::FromHandle(comboHandle);
    if (!combo || m_popup || (m_unit && !m_separate)) return;
    CNaviCommonDlg popup(this);
    popup.SetRcBuilder(GetRcBuilder());
    popup.SetPanelName(combo->Name());
    popup.SetPopupDlgType(true);
    popup.SetNaviListener(combo);
    m_popup = &popup;
    popup.DoModal();
    m_popup = nullptr;
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CGpsInfoDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == kTargetDialog) {
        if (cmd.id == kCmdDialogBuilt) LoadControls();
        return;
    }
    switch (cmd.id) {
    case kCmdComboTapped: OpenPopup(static_cast<std::uint32_t>(cmd.param1)); return;
    case kCmdComboDone:
        if (m_popup) m_popup->Close();
        return;
    case kCmdSelect:
    case kCmdAddRow:
    case kCmdPageList:
        // Meant for an open popup list; with none open they have nowhere to go.
        if (m_popup) {
            NaviCommand toPopup = cmd;
            toPopup.target = kTargetDialog;
            m_popup->ProcessCommand(toPopup);
        }
        return;
    case kCmdScrollStep:
        if (GetSafeHwnd()) Invalidate(FALSE);
        return;
    case kCmdTapped: break;
    default: return;
    }
    if (Is(cmd, u"재설정")) {
        SendToPanel(kPanels, kCmdSelect, 1);
        m_settingsShown = true;
        m_changed = false;
    } else if (Is(cmd, u"확인")) {
        CloseBySelf();
        return;
    } else if (Is(cmd, u"초기화")) {
        ResetGps();
    } else if (Is(cmd, u"확 인")) {
        ConfirmSettings();
    } else if (Is(cmd, kDatumGroup)) {
        m_changed = true;
        m_datum = cmd.param1;
    } else if (Is(cmd, kPortCombo)) {
        m_changed = true;
        m_port = cmd.param1;
    } else if (Is(cmd, kSpeedCombo)) {
        m_changed = true;
        m_speed = cmd.param1;
    } else if (Is(cmd, kSeparateBox)) {
        m_changed = true;
        m_separate = cmd.param1 != 0;
        UpdatePortChoices();
    } else if (Is(cmd, kUnitBox)) {
        m_changed = true;
        m_unit = cmd.param1 != 0;
        if (m_separate && !m_unit) {
            m_separate = 0;
            SendToPanel(kSeparateBox, kCmdSelect, 0);
        }
        UpdatePortChoices();
    } else if (Is(cmd, u"수신기자동찾기")) {
        SearchReceivers();
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

CString CGpsInfoDlg::ShownText(const char16_t* control) const {
    CString text;
    if (!m_panel) return text;
    WalkControls(m_panel, [&](const CString&, NaviControl* c) {
        if (auto* label = dynamic_cast<NaviLabel*>(c); label && label->GetName() == CString(control))
            text = label->GetText();
    });
    return text;
}
