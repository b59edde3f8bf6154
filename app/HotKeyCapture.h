// Takes a hardware application button from the shell for a window: the shell gives the button up
// (coredll's UnregisterFunc1) and the window registers it as a hot key, so the press reaches the
// program instead of starting the shell's own application. The hot key's id is the key code.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/window/Window.h"

class CHotKeyCapture {
public:
    // True when the key is the window's hot key afterwards.
    static bool Capture(HWND window, UINT key);
    // Gives the key up; false when the window did not hold it.
    static bool Release(HWND window, UINT key);
};
