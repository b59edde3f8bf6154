#include "app/VolumeDlg.h"

#include "app/WindowShape.h"
#include "platform/sound/Sound.h"
#include "platform/window/Window.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"

#include <cstdint>

namespace {

constexpr const char16_t* kOnOffGroup = u"볼륨ONOFF그룹";
constexpr const char16_t* kLevelNames[CVolumeDlg::kLevels] = {u"1단계", u"2단계", u"3단계", u"4단계", u"5단계"};
// The rows cut off below the window, but for the pointer tab under the volume icon.
constexpr int kTabRows = 9;

void RegisterTemplate() {
    // A popup without controls; the panel gives it its place and size.
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 98, 260};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CVolumeDlg::kTemplate, info);
}

bool HasVolumeControl() {
    WAVEOUTCAPS caps;
    return waveOutGetDevCaps(0, &caps, sizeof caps) == MMSYSERR_NOERROR && (caps.dwSupport & WAVECAPS_VOLUME) != 0;
}

} // namespace

CVolumeDlg::CVolumeDlg(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CVolumeDlg::~CVolumeDlg() { DeletePanel(); }

INT_PTR CVolumeDlg::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

int CVolumeDlg::GetWaveVolume() {
    if (!HasVolumeControl()) return 0;
    DWORD volume = 0;
    if (waveOutGetVolume(nullptr, &volume) != MMSYSERR_NOERROR) return 0;
    return static_cast<int>((volume & 0xFFFF) * 100 / 65535);
}

int CVolumeDlg::SetVolume(int percent) {
    if (!HasVolumeControl()) return 1;
    const bool bothWords = m_deviceType == 7 || m_deviceType == 23;
    const double full = bothWords ? 4294967295.0 : 65535.0;
    waveOutSetVolume(nullptr, static_cast<DWORD>(percent * 0.01 * full));
    return 1;
}

void CVolumeDlg::SetLevel(int percent) {
    m_percent = percent;
    Refresh();
    SetVolume(percent);
}

void CVolumeDlg::SetMute(bool off) {
    if (off) {
        if (IsMuted()) return;
        m_savedVolume = GetWaveVolume();
        SetLevel(0);
    } else {
        if (!IsMuted()) return;
        const int restore = m_savedVolume == 0 ? 80 : m_savedVolume;
        m_savedVolume = kSoundOn;
        SetLevel(restore);
    }
}

void CVolumeDlg::Hide() {
    m_visible = 0;
    EndDialog(IDOK);
}

int CVolumeDlg::LevelOf(int percent) {
    return percent >= 81 ? 5 : percent >= 61 ? 4 : percent >= 41 ? 3 : percent >= 21 ? 2 : percent >= 1 ? 1 : 0;
}

int CVolumeDlg::RoundUpToLevel(int percent) { return LevelOf(percent) * 20; }

int CVolumeDlg::LitLevels() const {
    int lit = 0;
    for (const NaviCheckButton* b : m_levels)
        if (b && b->IsChecked()) ++lit;
    return lit;
}

void CVolumeDlg::Refresh() {
    if (!m_visible) return;
    const int level = LevelOf(m_percent);
    for (int i = 0; i < kLevels; ++i)
        if (m_levels[i]) m_levels[i]->SetChecked(i < level);
    SendToPanel(kOnOffGroup, kCmdSelect, IsMuted() ? 1 : 0);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CVolumeDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == u"닫기") {
        Hide();
        return;
    }
    for (int i = 0; i < kLevels; ++i)
        if (cmd.target == kLevelNames[i]) {
            if (IsMuted()) SetMute(false);
            SetLevel((i + 1) * 20);
            return;
        }
    if (cmd.target == kOnOffGroup && cmd.id == kCmdTapped) SetMute(cmd.param1 == 1);
}

void CVolumeDlg::MakeRegion() {
    RECT client;
    GetClientRect(&client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= kTabRows) return;
    if (m_region.GetSafeHandle()) m_region.DeleteObject();
    m_region.CreateRectRgn(0, 0, w, h);
    CRgn cut;
    cut.CreateRectRgn(0, 0, 0, 0);
    // Below the window's body only the tab under the icon stays: columns 29 to 31 whole, a
    // slope over columns 32 to 39.
    const RECT below[] = {{0, h - kTabRows, 29, h}, {40, h - kTabRows, w, h}};
    for (const RECT& r : below) {
        cut.SetRectRgn(&r);
        m_region.CombineRgn(&m_region, &cut, RGN_DIFF);
    }
    for (int i = 8; i >= 1; --i) {
        const RECT slope{31 + i, h - i, 32 + i, h};
        cut.SetRectRgn(&slope);
        m_region.CombineRgn(&m_region, &cut, RGN_DIFF);
    }
    CutRoundCorners(m_region, w, 0, h - kTabRows);
    ApplyWindowRegion(*this, m_region);
}

BOOL CVolumeDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    CreatePanel(this);
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    m_initialised = 1;
    m_visible = 1;
    for (NaviCheckButton*& level : m_levels) level = nullptr;
    if (root) {
        root->SetListener(this);
        if (m_menuMode == 2004 || m_menuMode == 2006) root->SetPos(111, 12);
        else if (m_menuMode == 2005) root->SetPos(35, 17);
    }
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    MakeRegion();
    if (root && b) {
        const int left = rect.left, top = rect.top;
        b->SetImageGroup(u"Volume");
        for (int i = kLevels - 1; i >= 0; --i) {
            m_levels[i] = b->CreateCheckButton(kLevelNames[i], true, true, true, left + 13, top + 18 + 29 * (4 - i), 72,
                                               25, false, false, root, false, nullptr);
            root->AddChild(m_levels[i]);
        }
        root->AddChild(b->CreateCheckButton(u"닫기", true, true, true, left + 7, top + 208, 84, 31, false, false, root,
                                            false, nullptr));
        b->SetImageGroup(u"Configure");
        NaviRadioGroup* group = b->CreateRadioGroup(kOnOffGroup);
        group->SetListener(root);
        group->AddButton(b->CreateRadioButton(u"ON", 0, left + 15, top + 172, true));
        group->AddButton(b->CreateRadioButton(u"OFF", 0, left + 62, top + 172, true));
        root->AddChild(group);
    }
    Invalidate(FALSE);
    const int percent = RoundUpToLevel(GetWaveVolume());
    if (percent > 0) m_savedVolume = kSoundOn;
    m_percent = percent;
    Refresh();
    return TRUE;
}

BOOL CVolumeDlg::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscape(msg)) return TRUE;
    return NaviDialog::PreTranslateMessage(msg);
}

LRESULT CVolumeDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return TRUE;
    return NaviDialog::WindowProc(message, wParam, lParam);
}

void CVolumeDlg::OnPaint() {
    CPaintDC dc(this);
    if (!m_initialised) return;
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    const RECT area{0, 0, width, height};
    memory.FillSolidRect(&area, RGB(255, 255, 255));
    ::SetViewportOrgEx(memory.GetSafeHdc(), -rect.left, -rect.top, nullptr);
    Draw(&memory);
    ::SetViewportOrgEx(memory.GetSafeHdc(), 0, 0, nullptr);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}
