// The start-up warning screen over a bare full-screen window that stands for the map, and the
// application buttons taken from the shell as the view takes them.
#include "app/HotKeyCapture.h"
#include "app/WarningDlg.h"
#include "config/NaviConfig.h"
#include "platform/window/Dialog.h"
#include "platform/window/Shell.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/dialog/DialogSession.h"
#include "tools/dialog/TimedHost.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

std::string Hex(UINT value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

} // namespace

void RunWarningDialog(DialogSession& session) {
    CWarningDlg warning;
    TimedHost host(session.Int("steps", 2));
    RECT rect{};
    bool created = false;
    host.onInit = [&](CWnd* view) {
        warning.SetPanelName(u"경고창");
        warning.SetRcBuilder(session.builder);
        created = warning.Create(view) != FALSE;
        if (!created) return;
        warning.ShowWindow(SW_SHOWNORMAL);
        warning.Refresh();
        warning.GetWindowRect(&rect);
    };
    bool open = false, confirmed = false;
    host.onEnd = [&] {
        open = warning.GetSafeHwnd() != nullptr;
        confirmed = warning.IsConfirmed();
    };
    host.DoModal();
    session.Print("created", created ? 1 : 0);
    session.Print("x", rect.left);
    session.Print("y", rect.top);
    session.Print("width", rect.right - rect.left);
    session.Print("height", rect.bottom - rect.top);
    session.Print("confirmed", confirmed ? 1 : 0);
    session.Print("open", open ? 1 : 0);
}

void RunHotKeyDialog(DialogSession& session) {
    // noexport=1: coredll without "UnregisterFunc1"; nomodule=1: no coredll at all.
    if (session.Int("noexport", 0) != 0) ShellRemoveModuleExport("coredll.dll", "UnregisterFunc1");
    if (session.Int("nomodule", 0) != 0) ShellRemoveModule("coredll.dll");
    const GXKeyList keys = GXGetDefaultKeys(GX_NORMALKEYS);
    const UINT appKeys[4] = {static_cast<UINT>(keys.vkA), static_cast<UINT>(keys.vkB),
                             static_cast<UINT>(keys.vkC), static_cast<UINT>(keys.vkStart)};
    CNaviConfig* config = CNaviConfig::GetInstance();
    TimedHost host(session.Int("steps", 2));
    bool captured[4] = {};
    host.onInit = [&](CWnd* view) {
        // As the view does: a button is taken only when its function (setting 35 + i) is set.
        CHotKeyCapture capture;
        session.Print("available", capture.IsAvailable() ? 1 : 0);
        for (int i = 0; i < 4; ++i) {
            if (config->GetValue(35 + i) == 0 || appKeys[i] == 0) continue;
            captured[i] = capture.Capture(view->m_hWnd, static_cast<int>(appKeys[i]), appKeys[i]);
        }
    };
    bool shellHolds[4] = {};
    host.onEnd = [&] {
        for (int i = 0; i < 4; ++i) {
            if (captured[i]) CHotKeyCapture::Release(host.m_hWnd, appKeys[i]);
            // The shell still holds a button that nobody can register.
            const int probe = 900 + i;
            shellHolds[i] = RegisterHotKey(host.m_hWnd, probe, MOD_WIN, appKeys[i]) == FALSE;
            if (!shellHolds[i]) UnregisterHotKey(host.m_hWnd, probe);
        }
    };
    host.DoModal();
    for (int i = 0; i < 4; ++i) {
        const std::string key = "key" + std::to_string(i + 1);
        session.Print(key, Hex(appKeys[i]));
        session.Print(key + ".function", config->GetValue(35 + i));
        session.Print(key + ".captured", captured[i] ? 1 : 0);
        const auto pressed = host.hotKeys.find(appKeys[i]);
        session.Print(key + ".pressed", pressed == host.hotKeys.end() ? 0 : pressed->second);
        session.Print(key + ".shell", shellHolds[i] ? 1 : 0);
    }
    ShellRestoreModules();
}
