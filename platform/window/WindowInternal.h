// Pieces shared between the window core, the shell stand-ins and the framework classes.
#pragma once

#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

namespace winint {

// The shell keeps the application buttons (with MOD_WIN) until UnregisterFunc1 releases them.
bool ShellKeyClaimed(UINT modifiers, UINT vk);
// GAPI input takes the hardware keys away from the shell while it is open.
bool GapiInputOpen();
bool IsApplicationButton(UINT vk);
void ResetShellState();

// Called once, on the creating thread, for the next window created by this thread, before any
// message reaches it (the framework attaches its window object here).
using CreateHook = void (*)(HWND hwnd, void* context);
void SetCreateHook(CreateHook hook, void* context);

// The message-box handler installed by the host (null when none).
MessageBoxHandler CurrentMessageBoxHandler();

} // namespace winint
