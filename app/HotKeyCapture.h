// Takes a hardware application button from the shell for a window: the shell gives the button up
// (coredll's UnregisterFunc1) and the window registers it as a hot key, so the press reaches the
// program instead of starting the shell's own application. The object holds coredll for its
// lifetime; the view makes one on its stack for each set-up of its keys.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/window/Shell.h"
#include "platform/window/Window.h"

class CHotKeyCapture {
public:
    CHotKeyCapture();
    ~CHotKeyCapture();
    CHotKeyCapture(const CHotKeyCapture&) = delete;
    CHotKeyCapture& operator=(const CHotKeyCapture&) = delete;

    // The shell gives vk (with MOD_WIN) up, then the window registers it as hot key id. True only
    // when both succeeded; false without calling either when coredll or its export is missing.
    bool Capture(HWND window, int id, UINT vk);
    bool IsAvailable() const { return m_unregister != nullptr; }

    // Gives the key up; false when the window did not hold it.
    static bool Release(HWND window, UINT key);

private:
    using UnregisterFunc = BOOL (*)(UINT modifiers, UINT vk);
    HMODULE m_module = nullptr;
    UnregisterFunc m_unregister = nullptr;
};
