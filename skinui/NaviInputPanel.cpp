#include "skinui/NaviInputPanel.h"

#include "platform/window/Shell.h"

int NaviInputPanel::GetSipHeight() {
    if (!m_hwnd) return 0;
    CLSID current;
    if (SipGetCurrentIM(&current)) SipSetCurrentIM(&current);
    if (!GetWindowRect(m_hwnd, &m_rect)) return 0;
    return m_rect.bottom - m_rect.top;
}
