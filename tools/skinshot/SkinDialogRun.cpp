#include "tools/skinshot/SkinDialogRun.h"

#include "platform/base/Text.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/window/Afx.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr UINT kScreenTemplate = 4100;
constexpr const char16_t* kSkinFolder = u"\\Program Files\\Velko\\res";

class EventLog : public NaviListener {
public:
    explicit EventLog(const std::string& path) : m_out(path, std::ios::trunc) {}
    void ProcessEvent(NaviCommand& cmd) override {
        m_out << "event target=" << Utf16ToUtf8(cmd.target.Str()) << " control=" << Utf16ToUtf8(cmd.control.Str())
              << " text=" << Utf16ToUtf8(cmd.text.Str()) << " id=" << cmd.id << " p1=" << cmd.param1
              << " p2=" << cmd.param2 << '\n';
        m_out.flush();
    }
    bool Good() const { return static_cast<bool>(m_out); }

private:
    std::ofstream m_out;
};

// The screen's dialog: modeless, so the run ends when the script does.
class ScreenDialog : public NaviDialog {
public:
    ScreenDialog(NaviRcBuilder* builder, const CString& screen, NaviListener* listener)
        : NaviDialog(kScreenTemplate, nullptr, nullptr), m_listener(listener) {
        SetRcBuilder(builder);
        SetPanelName(screen);
    }
    BOOL OnInitDialog() override {
        NaviDialog::OnInitDialog();
        InitSkin(m_listener);
        return TRUE;
    }
    void PostNcDestroy() override { PostQuitMessage(0); }

private:
    NaviListener* m_listener;
};

class ScreenApp : public CWinApp {
public:
    ScreenApp(NaviRcBuilder* builder, const CString& screen, NaviListener* listener)
        : CWinApp(u"velko-skinshot"), m_builder(builder), m_screen(screen), m_listener(listener) {}
    BOOL InitInstance() override {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kScreenTemplate, info);
        m_builder->OpenSkin(kSkinFolder);
        m_dialog = new ScreenDialog(m_builder, m_screen, m_listener);
        if (!m_dialog->Create(kScreenTemplate, nullptr)) return FALSE;
        m_pMainWnd = m_dialog;
        return TRUE;
    }
    int ExitInstance() override {
        delete m_dialog;
        m_dialog = nullptr;
        return CWinApp::ExitInstance();
    }

private:
    NaviRcBuilder* m_builder;
    CString m_screen;
    NaviListener* m_listener;
    ScreenDialog* m_dialog = nullptr;
};

} // namespace

int RunSkinDialog(const SkinDialogRunOptions& options) {
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    EventLog events(options.outDir + "/events.log");
    if (!events.Good()) {
        std::fprintf(stderr, "velko-skinshot: cannot write %s/events.log\n", options.outDir.c_str());
        return 2;
    }
    NaviRcBuilder builder;
    ScreenApp app(&builder, CString(Utf8ToUtf16(options.screen)), &events);
    int code = 0;
    std::string error;
    if (!options.sdl) {
        HostOptions host;
        host.script = options.script;
        host.outDir = options.outDir;
        HeadlessHost headless(host);
        if (!headless.Prepare(&error)) {
            std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
            return 2;
        }
        code = headless.Run([] { return AfxWinMain(); });
        if (headless.Failed()) std::fprintf(stderr, "velko-skinshot: %s\n", headless.Failure().c_str());
    } else {
        SdlHostOptions host;
        host.script = options.script;
        host.outDir = options.outDir;
        host.title = "velko-skinshot";
        SdlHost sdl(host);
        if (!sdl.Open(&error)) {
            std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
            return 2;
        }
        code = sdl.Run([] { return AfxWinMain(); });
        if (!sdl.Failure().empty()) std::fprintf(stderr, "velko-skinshot: %s\n", sdl.Failure().c_str());
    }
    return code;
}
