#include "app/ViewKeys.h"

#include "app/HotKeyCapture.h"
#include "platform/window/Shell.h"
#include "platform/window/Window.h"

namespace {

constexpr int kKeysMapped = 34;
constexpr int kFirstKeySetting = 35;

} // namespace

void CViewKeys::RegisterKeys() {
    ReleaseKeys();
    if (m_useGapi) {
        GXGetDefaultKeys(GX_NORMALKEYS);
        m_gapiOpen = GXOpenInput() != 0;
        return;
    }
    const HWND window = m_view.KeyWindow();
    if (!window) return;
    m_captureWindow = window;
    // Holds coredll while the keys are taken; freed at once afterwards.
    CHotKeyCapture capture;
    for (int i = 0; i < 4; ++i) {
        // A key the device does not have (code 0) is never taken.
        if (!m_view.Setting(kFirstKeySetting + i) || m_keys[i] == 0) continue;
        if (capture.Capture(window, m_keys[i], m_keys[i])) m_captured[i] = m_keys[i];
    }
}

void CViewKeys::ReleaseKeys() {
    if (m_gapiOpen) {
        GXCloseInput();
        m_gapiOpen = false;
    }
    for (std::uint16_t& key : m_captured) {
        if (key) CHotKeyCapture::Release(m_captureWindow, key);
        key = 0;
    }
    m_captureWindow = nullptr;
}

int CViewKeys::CapturedCount() const {
    int n = 0;
    for (std::uint16_t key : m_captured) n += key != 0;
    return n;
}

void CViewKeys::OnActivate(bool activate) {
    if (!activate || !m_view.Setting(kKeysMapped))
        ReleaseKeys();
    else
        RegisterKeys();
}

void CViewKeys::OnKeyDown(UINT key) {
    if (m_view.Setting(kKeysMapped) && m_view.DeviceType() == 15) {
        if (key == 0x7D) m_view.RunKeyFunction(m_view.Setting(35));
        if (key == 0x7E) m_view.RunKeyFunction(m_view.Setting(36));
    }
    int dx = 0, dy = 0;
    switch (key) {
    case VK_LEFT: dx = -kScrollStep; break;
    case VK_UP: dy = -kScrollStep; break;
    case VK_RIGHT: dx = kScrollStep; break;
    case VK_DOWN: dy = kScrollStep; break;
    default: return;
    }
    // A held key repeats its key-down: only the first starts the scroll.
    if (m_keyScroll) return;
    if (m_view.IsFollowing()) {
        m_view.StopFollowing();
        m_view.StopAutoReturn();
        if (m_view.ViewMode() == 1) m_view.FaceHeadingUp();
    }
    m_keyScroll = true;
    m_view.ApplyCurrentLevel();
    m_view.BeginDragScroll(dx, dy, kScrollPeriod);
}

int CViewKeys::KeyUpSetting(UINT key) const {
    const int type = m_view.DeviceType();
    if (type == 9 || type == 21) {
        const UINT codes9[4] = {0x83, 0x85, 0x84, 0x86};
        const UINT codes21[4] = {0x83, 0x84, 0x85, 0x86};
        const UINT* codes = type == 9 ? codes9 : codes21;
        for (int i = 0; i < 4; ++i)
            if (key == codes[i]) return kFirstKeySetting + i;
        return 0;
    }
    for (int i = 0; i < 4; ++i)
        if (m_keys[i] != 0 && key == m_keys[i]) return kFirstKeySetting + i;
    return 0;
}

void CViewKeys::OnKeyUp(UINT key) {
    if (m_view.Setting(kKeysMapped)) {
        if (const int setting = KeyUpSetting(key)) {
            m_view.RunKeyFunction(m_view.Setting(setting));
            return;
        }
    }
    if (key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN) return;
    m_view.StartAutoReturn();
    m_view.EndDragScroll();
    m_view.StoreMapCentre();
    m_keyScroll = false;
    m_view.ApplyCurrentLevel();
    m_view.Redraw();
}
