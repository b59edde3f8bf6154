#include "app/HotKeyCapture.h"

#include "platform/window/Shell.h"

namespace {

using UnregisterFunc = BOOL (*)(UINT modifiers, UINT vk);

// The shell gives the button up; without coredll's export it keeps it (and the hot key then
// cannot be registered).
void TakeFromShell(UINT key) {
    const HMODULE core = LoadLibraryW(u"coredll.dll");
    if (!core) return;
    if (FARPROC proc = GetProcAddressW(core, u"UnregisterFunc1"))
        reinterpret_cast<UnregisterFunc>(proc)(MOD_WIN, key);
    FreeLibrary(core);
}

} // namespace

bool CHotKeyCapture::Capture(HWND window, UINT key) {
    if (!window || key == 0) return false;
    TakeFromShell(key);
    return RegisterHotKey(window, static_cast<int>(key), MOD_WIN, key) != FALSE;
}

bool CHotKeyCapture::Release(HWND window, UINT key) {
    if (!window || key == 0) return false;
    return UnregisterHotKey(window, static_cast<int>(key)) != FALSE;
}
