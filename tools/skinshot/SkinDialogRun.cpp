#include "tools/skinshot/SkinDialogRun.h"

#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/window/Afx.h"
#include "skinui/NaviListener.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

constexpr UINT kStarterTemplate = 4101;
constexpr const char16_t* kSkinFolder = u"\\Program Files\\Velko\\res";

// Logs every command that reaches the screen's dialog and plays the dialogs' part: a combo's tap
// (2018) opens its popup list, named after the combo and listening to it; the combo's 2019 closes
// the popup; the rows, selection and paging the combo sends (2021, 2014, 2024) go to the popup's
// controls. "이전", "현위치" and "Close" close the screen.
class DialogRunner : public NaviListener {
public:
    DialogRunner(NaviRcBuilder* builder, const std::string& path) : m_builder(builder), m_out(path, std::ios::trunc) {}
    bool Good() const { return static_cast<bool>(m_out); }

    void Run(const CString& screen) {
        CNaviCommonDlg dialog(nullptr);
        dialog.SetRcBuilder(m_builder);
        dialog.SetPanelName(screen);
        dialog.SetNaviListener(this);
        m_screen = &dialog;
        dialog.DoModal();
        m_screen = nullptr;
        Log("closed", "ret=" + std::to_string(dialog.GetCommonRet()));
    }

    void ProcessEvent(NaviCommand& cmd) override {
        m_out << "event target=" << Utf16ToUtf8(cmd.target.Str()) << " control=" << Utf16ToUtf8(cmd.control.Str())
              << " text=" << Utf16ToUtf8(cmd.text.Str()) << " id=" << cmd.id << " p1=" << cmd.param1
              << " p2=" << cmd.param2 << '\n';
        m_out.flush();
        if (cmd.id == kCmdComboTapped) {
            OpenPopup(NaviComboBox::FromHandle(static_cast<std::uint32_t>(cmd.param1)));
        } else if (cmd.id == kCmdComboDone) {
            if (m_popup) m_popup->Close();
        } else if (m_popup && (cmd.id == kCmdSelect || cmd.id == kCmdAddRow || cmd.id == kCmdPageList)) {
            NaviCommand toPopup = cmd;
            toPopup.target = kTargetDialog;
            m_popup->ProcessCommand(toPopup);
        } else if (cmd.target == CString(u"환경설정탭") && cmd.id == kCmdTapped && m_screen) {
            // A settings page shows the tab panel of the tab chosen.
            NaviCommand page;
            page.target = kTargetDialog;
            page.control = u"환경설정패널들";
            page.id = kCmdSelect;
            page.param1 = cmd.param1;
            m_screen->ProcessCommand(page);
        } else if (!m_popup && m_screen &&
                   (cmd.target == CString(u"이전") || cmd.target == CString(u"현위치") ||
                    cmd.target == CString(u"Close"))) {
            m_screen->Close();
        }
    }

private:
    void Log(const char* what, const std::string& rest) {
        m_out << what << ' ' << rest << '\n';
        m_out.flush();
    }
    void OpenPopup(NaviComboBox* combo) {
        // A combo deleted since its tap, or a popup already open, opens nothing.
        if (!combo || m_popup) return;
        CNaviCommonDlg popup(m_screen);
        popup.SetRcBuilder(m_builder);
        popup.SetPanelName(combo->Name());
        popup.SetPopupDlgType(true);
        popup.SetNaviListener(combo);
        m_popup = &popup;
        Log("popup", "opened=" + Utf16ToUtf8(combo->Name().Str()));
        popup.DoModal();
        m_popup = nullptr;
        Log("popup", "closed=" + Utf16ToUtf8(combo->Name().Str()));
        if (m_screen) m_screen->Invalidate(FALSE);
    }

    NaviRcBuilder* m_builder;
    std::ofstream m_out;
    CNaviCommonDlg* m_screen = nullptr;
    CNaviCommonDlg* m_popup = nullptr;
};

// Runs fn from a timer inside a plain dialog's loop, after the script's first commands.
class Starter : public CDialog {
public:
    explicit Starter(std::function<void()> fn) : CDialog(kStarterTemplate), m_fn(std::move(fn)) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(1, 20);
        return TRUE;
    }
    void OnTimer(UINT_PTR) override {
        KillTimer(1);
        m_fn();
        EndDialog(IDOK);
    }
    // Keys before the screen is up do not end the run.
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::function<void()> m_fn;
};

int Host(const SkinDialogRunOptions& options, const std::function<void()>& body) {
    auto main = [&] {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP;
        AfxRegisterDialogTemplate(kStarterTemplate, info);
        Starter starter(body);
        starter.DoModal();
        return 0;
    };
    std::string error;
    int code = 0;
    if (!options.sdl) {
        HostOptions host;
        host.script = options.script;
        host.outDir = options.outDir;
        HeadlessHost headless(host);
        if (!headless.Prepare(&error)) {
            std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
            return 2;
        }
        code = headless.Run(main);
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
        code = sdl.Run(main);
        if (!sdl.Failure().empty()) std::fprintf(stderr, "velko-skinshot: %s\n", sdl.Failure().c_str());
    }
    return code;
}

} // namespace

int RunSkinDialog(const SkinDialogRunOptions& options) {
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    NaviRcBuilder builder;
    builder.SetDeviceType(options.deviceType);
    builder.SetButtonCount(options.buttons);
    DialogRunner runner(&builder, options.outDir + "/events.log");
    if (!runner.Good()) {
        std::fprintf(stderr, "velko-skinshot: cannot write %s/events.log\n", options.outDir.c_str());
        return 2;
    }
    return Host(options, [&] {
        builder.OpenSkin(kSkinFolder);
        runner.Run(CString(Utf8ToUtf16(options.screen)));
    });
}

int RunMessageBox(const SkinDialogRunOptions& options, const std::string& text, int type) {
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    NaviRcBuilder builder;
    int answer = 0;
    const int code = Host(options, [&] {
        builder.OpenSkin(kSkinFolder);
        NaviMessageBox box;
        box.Initialize(&builder);
        answer = NaviMessageBox::ShowMessage(CString(Utf8ToUtf16(text)), type);
        box.Destruct();
    });
    std::printf("answer=%d\n", answer);
    return code;
}
