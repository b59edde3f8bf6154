// The small information windows: the volume window, the program information, the logging panel
// and the start-up logo.
#include "app/LogPanelWnd.h"
#include "app/LogoWnd.h"
#include "app/NaviApp.h"
#include "app/ProgramInfoDlg.h"
#include "app/VolumeDlg.h"
#include "platform/base/Text.h"
#include "platform/sound/Sound.h"
#include "platform/window/Dialog.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/dialog/DialogSession.h"
#include "tools/dialog/TimedHost.h"

#include <cstdio>
#include <functional>

namespace {

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace

void RunVolumeDialog(DialogSession& session) {
    // volume=N: the wave device's volume word before the run; novolume=1: a device without
    // volume control.
    if (session.settings.count("volume")) waveOutSetVolume(nullptr, static_cast<DWORD>(session.Int("volume", 0xFFFF)));
    if (session.Int("novolume", 0) != 0) SoundSetVolumeControl(false);
    CVolumeDlg dialog;
    dialog.SetPanelName(CVolumeDlg::kPanelName);
    dialog.SetRcBuilder(session.builder);
    dialog.SetMenuMode(session.Int("type", 2004));
    dialog.SetDeviceType(navi::g_deviceType);
    dialog.DoModal();
    session.Print("level", dialog.GetLevelPercent());
    session.Print("lit", dialog.LitLevels());
    session.Print("muted", dialog.IsMuted() ? 1 : 0);
    session.Print("saved", dialog.GetSavedVolume());
    session.Print("volume", CVolumeDlg::GetWaveVolume());
    session.Print("volume.word", Hex(SoundLastVolumeWord()));
    SoundSetVolumeControl(true);
}

void RunInfoDialog(DialogSession& session) {
    CProgramInfoDlg dialog;
    dialog.SetPanelName(CProgramInfoDlg::kPanelName);
    dialog.SetRcBuilder(session.builder);
    dialog.DoModal();
    session.Print("result", dialog.GetResultCode());
    constexpr const char* kRows[CProgramInfoDlg::kRows] = {"program", "display", "route", "search", "safedrive"};
    for (int i = 0; i < CProgramInfoDlg::kRows; ++i)
        session.Print(std::string("row.") + kRows[i],
                      Utf16ToUtf8(dialog.RowText(static_cast<CProgramInfoDlg::Row>(i)).GetString()));
}

void RunLogPanelDialog(DialogSession& session) {
    CLogPanelWnd panel;
    panel.SetFreeSpace(static_cast<std::uint64_t>(session.Int("memory", 0)) * 1000,
                       static_cast<std::uint64_t>(session.Int("card", 0)) * 1000);
    panel.SetLogging(session.Int("logging", 0) != 0);
    panel.SelectStorage(session.Int("storage", 0));
    CString space, button;
    RECT rect{};
    TimedHost host(session.Int("steps", 1));
    host.onInit = [&](CWnd* over) {
        if (panel.Create(over)) panel.GetWindowRect(&rect);
    };
    host.onEnd = [&] {
        if (panel.IsOpen()) {
            panel.GetDlgItemText(CLogPanelWnd::kSpaceId, space);
            panel.GetDlgItemText(CLogPanelWnd::kToggleId, button);
        }
    };
    host.DoModal();
    session.Print("x", rect.left);
    session.Print("y", rect.top);
    session.Print("space", Utf16ToUtf8(space.GetString()));
    session.Print("button", Utf16ToUtf8(button.GetString()));
    session.Print("closed", panel.IsClosed() ? 1 : 0);
    session.Print("logging", panel.IsLogging() ? 1 : 0);
    session.Print("storage", panel.GetStorage());
}

void RunLogoDialog(DialogSession& session) {
    CLogoWnd logo;
    RECT rect{};
    TimedHost host(session.Int("steps", 1));
    host.onInit = [&](CWnd* over) {
        logo.SetImage(session.builder->LoadImage(u"Logo\\Logo"));
        if (logo.Create(over)) {
            logo.Refresh();
            logo.GetWindowRect(&rect);
        }
    };
    // As at the end of start-up: the logo goes, with its image, before the main window shows.
    bool shown = false;
    host.onEnd = [&] {
        shown = logo.GetImage() != nullptr;
        logo.DestroyWindow();
    };
    host.DoModal();
    session.Print("x", rect.left);
    session.Print("y", rect.top);
    session.Print("width", rect.right - rect.left);
    session.Print("height", rect.bottom - rect.top);
    session.Print("image", shown ? 1 : 0);
    session.Print("image.after", logo.GetImage() ? 1 : 0);
}
