// The input-panel member of every skinned dialog.
#pragma once

#include "platform/window/Window.h"

class NaviInputPanel {
public:
    NaviInputPanel() = default;
    virtual ~NaviInputPanel() = default;
    int Init() { return 0; }
    int Enable(bool) { return 0; }
    // The input panel window to measure (set by whoever finds it).
    void SetWindow(HWND hwnd) { m_hwnd = hwnd; }
    // Re-selects the current input method and answers the panel's height; 0 without a window.
    int GetSipHeight();

private:
    HWND m_hwnd = nullptr;
    RECT m_rect{};
};
