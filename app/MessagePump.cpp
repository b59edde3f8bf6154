#include "app/MessagePump.h"

#include "platform/window/Window.h"

bool PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return true;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
        if (msg.message == WM_QUIT) {
            // Came in between the two looks: it goes back for the message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return false;
}
