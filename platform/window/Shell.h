// Stand-ins for the handheld's shell: the desktop, the taskbar "HHTaskbar", the input-panel
// button "MS_SIPBUTTON", the bottom menu bar and the input panel "SipWndClass" as top-level
// windows at the places the system looks for them; the input-panel calls, the one AYGSHELL call,
// the core module "coredll.dll" with "UnregisterFunc1", and GAPI input.
#pragma once

#include "platform/window/Window.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the stand-ins sit on the 240 x 320 screen.
constexpr RECT kTaskbarRect{0, 0, 240, 26};
constexpr RECT kSipButtonRect{204, 295, 240, 319};
constexpr RECT kMenuBarRect{-1, 294, 241, 320};
constexpr int kSipPanelHeight = 80;
constexpr RECT kSipPanelRect{0, 294 - kSipPanelHeight, 240, 294};

// Creates the desktop ("DesktopExplorerWindow", which stands for the other programs), the taskbar,
// the menu bar ("menu_worker"), the input-panel button and the (hidden) input panel on the calling
// thread. Returns false when they exist already or cannot be made.
bool ShellCreateStandIns();
void ShellDestroyStandIns();
HWND ShellDesktopWindow();

// Input panel.
struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};
using CLSID = GUID;
constexpr DWORD SIPF_OFF = 0x0;
constexpr DWORD SIPF_ON = 0x1;
BOOL SipGetCurrentIM(CLSID* clsid);
// Selecting an input method (again) makes the panel take its default rectangle, when one is set.
BOOL SipSetCurrentIM(CLSID* clsid);
BOOL SipSetDefaultRect(RECT* rect);
// Test hook: the default rectangle set last; false when none is set.
bool ShellSipDefaultRect(RECT* rect);
BOOL SipShowIM(DWORD flags);

// The AYGSHELL call: raises the input panel (SIP_UP) or forces it down (SIP_FORCEDOWN).
enum SIPSTATE { SIP_UP = 0, SIP_DOWN = 1, SIP_FORCEDOWN = 2, SIP_UNCHANGED = 3, SIP_INPUTDIALOG = 4 };
BOOL SHSipPreference(HWND hwnd, SIPSTATE state);
// The calls made so far (window, state), for tests.
struct SipPreferenceCall {
    HWND hwnd;
    int state;
};
std::vector<SipPreferenceCall> ShellSipPreferenceCalls();

// Modules: "coredll.dll" is the only one; it exports "UnregisterFunc1" (BOOL (UINT modifiers,
// UINT vk)), which gives an application button back from the shell.
using FARPROC = void (*)(); // cast to the export's own type before calling
HMODULE LoadLibraryW(LPCWSTR name);
#define LoadLibrary LoadLibraryW
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL UnregisterFunc1(UINT modifiers, UINT vk);
// Test hooks: remove an export (or the whole module) and put everything back.
void ShellRemoveModuleExport(const std::string& module, const std::string& name);
void ShellRemoveModule(const std::string& module);
void ShellRestoreModules();
int ShellLoadedModuleCount();

// GAPI input.
struct GXKeyList {
    short vkUp = 0;
    POINT ptUp;
    short vkDown = 0;
    POINT ptDown;
    short vkLeft = 0;
    POINT ptLeft;
    short vkRight = 0;
    POINT ptRight;
    short vkA = 0;
    POINT ptA;
    short vkB = 0;
    POINT ptB;
    short vkC = 0;
    POINT ptC;
    short vkStart = 0;
    POINT ptStart;
};
constexpr int GX_NORMALKEYS = 0x02;
constexpr int GX_LANDSCAPEKEYS = 0x03;
int GXOpenInput();
int GXCloseInput();
GXKeyList GXGetDefaultKeys(int options);
