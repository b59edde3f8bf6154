#include "app/HotKeyCapture.h"

CHotKeyCapture::CHotKeyCapture() {
    m_module = LoadLibraryW(u"coredll.dll");
    if (m_module)
        m_unregister = reinterpret_cast<UnregisterFunc>(GetProcAddressW(m_module, u"UnregisterFunc1"));
}

CHotKeyCapture::~CHotKeyCapture() {
    if (m_module) FreeLibrary(m_module);
}

bool CHotKeyCapture::Capture(HWND window, int id, UINT vk) {
    if (!m_module || !m_unregister) return false;
    const BOOL released = m_unregister(MOD_WIN, vk);
    const BOOL registered = RegisterHotKey(window, id, MOD_WIN, vk);
    return registered != FALSE && released != FALSE;
}

bool CHotKeyCapture::Release(HWND window, UINT key) {
    if (!window || key == 0) return false;
    return UnregisterHotKey(window, static_cast<int>(key)) != FALSE;
}
