#include "platform/window/Shell.h"

#include "platform/window/WindowInternal.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace {

std::recursive_mutex g_shellMutex;
using ShellLock = std::lock_guard<std::recursive_mutex>;

CLSID g_currentIM{0x42429667, 0xAE04, 0x11D0, {0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49, 0xB9}};
bool g_hasDefaultRect = false;
RECT g_defaultRect;
std::vector<SipPreferenceCall> g_sipCalls;
bool g_gapiOpen = false;
std::set<std::pair<UINT, UINT>> g_releasedKeys; // (modifiers, vk) given back by UnregisterFunc1
int g_notifyDepth = 0;

// Modules.
struct ModuleInfo {
    std::string name;
    std::map<std::string, FARPROC> exports;
};
std::map<std::string, ModuleInfo> g_removedExports; // what tests took away
std::set<std::string> g_removedModules;
std::multiset<std::string> g_loaded;
// Stable addresses standing for module handles.
HINSTANCE__* const kCoreDll = reinterpret_cast<HINSTANCE__*>(static_cast<std::uintptr_t>(0xC0DE0000));

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Narrow(LPCWSTR text) {
    std::string out;
    if (!text) return out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

bool ExportAvailable(const std::string& module, const std::string& name) {
    if (g_removedModules.count(module)) return false;
    auto it = g_removedExports.find(module);
    return it == g_removedExports.end() || !it->second.exports.count(name);
}

LRESULT StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        char16_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        const std::u16string name = cls;
        COLORREF face = RGB(0, 0, 128);
        if (name == u"DesktopExplorerWindow") face = RGB(0, 96, 128);
        if (name == u"menu_worker") face = RGB(192, 192, 192);
        if (name == u"MS_SIPBUTTON") face = RGB(160, 160, 160);
        if (name == u"SipWndClass") face = RGB(224, 224, 224);
        HBRUSH brush = CreateSolidBrush(face);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        if (name == u"SipWndClass") {
            // Key rows of the panel.
            HBRUSH key = CreateSolidBrush(RGB(255, 255, 255));
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 12; ++col) {
                    RECT k{2 + col * 20, 2 + row * 19, 20 + col * 20, 19 + row * 19};
                    FillRect(dc, &k, key);
                }
            DeleteObject(key);
        } else if (name == u"MS_SIPBUTTON") {
            HBRUSH key = CreateSolidBrush(RGB(0, 0, 0));
            RECT k{10, 8, 26, 16};
            FillRect(dc, &k, key);
            DeleteObject(key);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterStandInClass(LPCWSTR name) {
    WNDCLASSW wc;
    if (GetClassInfoW(nullptr, name, &wc)) return;
    wc = WNDCLASSW{};
    wc.lpfnWndProc = StandInProc;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

HWND MakeStandIn(LPCWSTR cls, LPCWSTR title, const RECT& r, DWORD exStyle, bool visible) {
    RegisterStandInClass(cls);
    return CreateWindowExW(exStyle | WS_EX_NOACTIVATE, cls, title, WS_POPUP | (visible ? WS_VISIBLE : 0),
                           r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                           nullptr);
}

HWND SipWindow() {
    return FindWindowW(u"SipWndClass", nullptr);
}

// The shell tells every top-level window when the input panel changes.
void NotifySipChanged() {
    {
        ShellLock lock(g_shellMutex);
        if (g_notifyDepth > 0) return;
        ++g_notifyDepth;
    }
    SendMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    ShellLock lock(g_shellMutex);
    --g_notifyDepth;
}

} // namespace

bool winint::ShellKeyClaimed(UINT modifiers, UINT vk) {
    ShellLock lock(g_shellMutex);
    if (!IsApplicationButton(vk) || modifiers != MOD_WIN) return false;
    return !g_releasedKeys.count({modifiers, vk});
}

bool winint::GapiInputOpen() {
    ShellLock lock(g_shellMutex);
    return g_gapiOpen;
}

bool winint::IsApplicationButton(UINT vk) {
    return vk >= 0xC1 && vk <= 0xCF;
}

void winint::ResetShellState() {
    ShellLock lock(g_shellMutex);
    g_hasDefaultRect = false;
    g_sipCalls.clear();
    g_gapiOpen = false;
    g_releasedKeys.clear();
    g_notifyDepth = 0;
    g_removedExports.clear();
    g_removedModules.clear();
    g_loaded.clear();
}

bool ShellCreateStandIns() {
    if (FindWindowW(u"HHTaskbar", nullptr)) return false;
    // Back to front: the desktop at the bottom, the panel and its button always on top.
    HWND desktop = MakeStandIn(u"DesktopExplorerWindow", u"Desktop", RECT{0, 0, 240, 320}, 0, true);
    HWND menu = MakeStandIn(u"menu_worker", u"", kMenuBarRect, 0, true);
    HWND taskbar = MakeStandIn(u"HHTaskbar", u"", kTaskbarRect, WS_EX_TOPMOST, true);
    HWND button = MakeStandIn(u"MS_SIPBUTTON", u"MS_SIPBUTTON", kSipButtonRect, WS_EX_TOPMOST, true);
    HWND panel = MakeStandIn(u"SipWndClass", u"", kSipPanelRect, WS_EX_TOPMOST, false);
    if (!desktop || !menu || !taskbar || !button || !panel) return false;
    // The desktop stands for the other programs: it can be activated although the other stand-ins
    // cannot.
    SetWindowLongW(desktop, GWL_EXSTYLE,
                   GetWindowLongW(desktop, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_NOACTIVATE));
    SetForegroundWindow(desktop);
    return true;
}

void ShellDestroyStandIns() {
    for (LPCWSTR cls :
         {u"SipWndClass", u"MS_SIPBUTTON", u"HHTaskbar", u"menu_worker", u"DesktopExplorerWindow"})
        if (HWND h = FindWindowW(cls, nullptr)) DestroyWindow(h);
}

HWND ShellDesktopWindow() {
    return FindWindowW(u"DesktopExplorerWindow", nullptr);
}

BOOL SipGetCurrentIM(CLSID* clsid) {
    if (!clsid) return FALSE;
    ShellLock lock(g_shellMutex);
    *clsid = g_currentIM;
    return TRUE;
}

BOOL SipSetCurrentIM(CLSID* clsid) {
    if (!clsid) return FALSE;
    RECT target;
    bool move = false;
    {
        ShellLock lock(g_shellMutex);
        g_currentIM = *clsid;
        move = g_hasDefaultRect;
        target = g_defaultRect;
    }
    if (move) {
        if (HWND sip = SipWindow())
            MoveWindow(sip, target.left, target.top, target.right - target.left, target.bottom - target.top,
                       FALSE);
    }
    NotifySipChanged();
    return TRUE;
}

BOOL SipSetDefaultRect(RECT* rect) {
    if (!rect) return FALSE;
    ShellLock lock(g_shellMutex);
    g_defaultRect = *rect;
    g_hasDefaultRect = true;
    return TRUE;
}

bool ShellSipDefaultRect(RECT* rect) {
    ShellLock lock(g_shellMutex);
    if (!g_hasDefaultRect) return false;
    if (rect) *rect = g_defaultRect;
    return true;
}

BOOL SipShowIM(DWORD flags) {
    HWND sip = SipWindow();
    if (!sip) return FALSE;
    const bool on = (flags & SIPF_ON) != 0;
    if (static_cast<bool>(IsWindowVisible(sip)) != on) {
        ShowWindow(sip, on ? SW_SHOWNA : SW_HIDE);
        NotifySipChanged();
    }
    return TRUE;
}

BOOL SHSipPreference(HWND hwnd, SIPSTATE state) {
    {
        ShellLock lock(g_shellMutex);
        g_sipCalls.push_back(SipPreferenceCall{hwnd, static_cast<int>(state)});
    }
    if (state == SIP_UP) return SipShowIM(SIPF_ON);
    if (state == SIP_DOWN || state == SIP_FORCEDOWN) return SipShowIM(SIPF_OFF);
    return TRUE;
}

std::vector<SipPreferenceCall> ShellSipPreferenceCalls() {
    ShellLock lock(g_shellMutex);
    return g_sipCalls;
}

HMODULE LoadLibraryW(LPCWSTR name) {
    const std::string n = Lower(Narrow(name));
    ShellLock lock(g_shellMutex);
    if (n != "coredll.dll" && n != "coredll") {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (g_removedModules.count("coredll.dll")) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    g_loaded.insert("coredll.dll");
    return kCoreDll;
}

BOOL FreeLibrary(HMODULE module) {
    ShellLock lock(g_shellMutex);
    if (module != kCoreDll) return FALSE;
    auto it = g_loaded.find("coredll.dll");
    if (it == g_loaded.end()) return FALSE;
    g_loaded.erase(it);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    ShellLock lock(g_shellMutex);
    if (module != kCoreDll || !g_loaded.count("coredll.dll") || !name ||
        IS_INTRESOURCE(reinterpret_cast<LPCWSTR>(name)))
        return nullptr;
    if (std::string(name) == "UnregisterFunc1" && ExportAvailable("coredll.dll", "UnregisterFunc1"))
        return reinterpret_cast<FARPROC>(&UnregisterFunc1);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name) {
    if (!name || IS_INTRESOURCE(name)) return nullptr;
    const std::string n = Narrow(name);
    return GetProcAddress(module, n.c_str());
}

BOOL UnregisterFunc1(UINT modifiers, UINT vk) {
    ShellLock lock(g_shellMutex);
    g_releasedKeys.insert({modifiers, vk});
    return TRUE;
}

void ShellRemoveModuleExport(const std::string& module, const std::string& name) {
    ShellLock lock(g_shellMutex);
    g_removedExports[Lower(module)].exports[name] = nullptr;
}

void ShellRemoveModule(const std::string& module) {
    ShellLock lock(g_shellMutex);
    g_removedModules.insert(Lower(module));
}

void ShellRestoreModules() {
    ShellLock lock(g_shellMutex);
    g_removedExports.clear();
    g_removedModules.clear();
}

int ShellLoadedModuleCount() {
    ShellLock lock(g_shellMutex);
    return static_cast<int>(g_loaded.size());
}

int GXOpenInput() {
    ShellLock lock(g_shellMutex);
    g_gapiOpen = true;
    return 1;
}

int GXCloseInput() {
    ShellLock lock(g_shellMutex);
    g_gapiOpen = false;
    return 1;
}

GXKeyList GXGetDefaultKeys(int) {
    GXKeyList keys;
    keys.vkUp = VK_UP;
    keys.vkDown = VK_DOWN;
    keys.vkLeft = VK_LEFT;
    keys.vkRight = VK_RIGHT;
    keys.vkA = VK_APP1;
    keys.vkB = VK_APP2;
    keys.vkC = VK_APP3;
    keys.vkStart = VK_APP4;
    return keys;
}
