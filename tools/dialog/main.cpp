// velko-dialog: runs one application dialog of the navigator over a bare frame, with the device's
// skin, configuration and stored lists as the program loads them, driven by a host script.
//
//   velko-dialog --root DIR (--dialog NAME | --page PAGE) [--set KEY=VALUE]... --script FILE --frames DIR
//                [--sdl] [--route FILE] [--clock HH:MM:SS] [--steps N]
//
// --set N=V (N a number) changes configuration setting N before the run; other keys go to the
// dialog (type=, row=, direct=, kind=, name=); failwrites=N makes the device's next N file
// changes fail. Frames of every step, the message-box and sound logs go to the frames folder. The route dialogs (routeinfo, waypoints, player, highway) work on --route,
// a route file on the device (CE path, e.g. one velko-route --save wrote); --clock makes the
// information screen's clock read that local time; --steps bounds the player's drive steps (and
// the panel's seconds). Prints result=, selection.*=, count.LIST= for each list, then
// written=PATH size=BYTES for every file of the device the run created or changed.
// --page PAGE (display, safedrive, route, system, savelocation, sound) runs a settings page in
// the common dialog over the device's settings file: the calls the page makes of the main view
// go to a stand-in and are printed as view=...; then result=, changed=, the page's controls as
// left (group., combo., check., label., hidden.) and setting.N= for the settings the page keeps.
// --set tab=N opens the system page on tab N, keys=N gives the handheld N keys, day=NAME and
// night=NAME are the colour schemes in the settings before the run, and
// receiver=PORT,SPEED,UNIT,SEPARATE is what the stand-in's receiver search finds.
// Exit codes: 0 the script ran through, 1 the device cannot be used (or the route file cannot be
// read), 2 bad arguments, 3 the script failed.
#include "app/NaviApp.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/MapDataFolder.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/window/Afx.h"
#include "platform/window/Shell.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/dialog/DialogSession.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr UINT kStarterTemplate = 4102;
constexpr const char16_t* kSkinFolder = u"\\Program Files\\Velko\\res";

int Usage() {
    std::fprintf(stderr, "usage: velko-dialog --root DIR (--dialog NAME | --page PAGE) [--set KEY=VALUE]... "
                         "--script FILE --frames DIR [--sdl] [--route FILE] [--clock HH:MM:SS] [--steps N]\n");
    std::fprintf(stderr, "pages: display safedrive route system savelocation sound\n");
    std::fprintf(stderr, "dialogs:");
    // The settings pages are reached through --page, not as a dialog of their own.
    for (const DialogEntry& d : DialogTable())
        if (std::string_view(d.name) != "page") std::fprintf(stderr, " %s", d.name);
    std::fprintf(stderr, "\n");
    return 2;
}

// Runs fn from a timer inside a plain full-screen dialog: the bare frame the dialog opens over.
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
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::function<void()> m_fn;
};

struct FileState {
    std::uintmax_t size = 0;
    fs::file_time_type time;
};

// Every file under the root with its size and modification time.
std::map<std::string, FileState> Files(const std::string& root) {
    std::map<std::string, FileState> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        FileState state;
        state.size = it->file_size(ec);
        state.time = it->last_write_time(ec);
        files[fs::relative(it->path(), root, ec).string()] = state;
    }
    return files;
}

std::string CePath(std::string relative) {
    for (char& c : relative)
        if (c == '/') c = '\\';
    return "\\" + relative;
}

int RunHosted(const std::string& script, const std::string& frames, bool sdl, const std::function<void()>& body) {
    auto app = [&] {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kStarterTemplate, info);
        Starter starter(body);
        starter.DoModal();
        return 0;
    };
    std::string error;
    if (!sdl) {
        HostOptions options;
        options.script = script;
        options.outDir = frames;
        options.framesEachStep = true;
        HeadlessHost host(options);
        if (!host.Prepare(&error)) {
            std::fprintf(stderr, "velko-dialog: %s\n", error.c_str());
            return 2;
        }
        const int code = host.Run(app);
        if (host.Failed()) std::fprintf(stderr, "velko-dialog: %s\n", host.Failure().c_str());
        return host.Failed() ? 3 : code;
    }
    SdlHostOptions options;
    options.script = script;
    options.outDir = frames;
    options.title = "velko-dialog";
    SdlHost host(options);
    if (!host.Open(&error)) {
        std::fprintf(stderr, "velko-dialog: %s\n", error.c_str());
        return 2;
    }
    const int code = host.Run(app);
    if (!host.Failure().empty()) {
        std::fprintf(stderr, "velko-dialog: %s\n", host.Failure().c_str());
        return 3;
    }
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::string root, name, script, frames;
    bool sdl = false;
    DialogSession session;
    std::vector<std::pair<int, std::int32_t>> configChanges;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sdl") {
            sdl = true;
            continue;
        }
        if (i + 1 >= argc) return Usage();
        const std::string value = argv[++i];
        if (arg == "--root") {
            root = value;
        } else if (arg == "--dialog") {
            if (value == "page") return Usage();
            name = value;
        } else if (arg == "--page") {
            // A settings page: display, safedrive, route, system, savelocation, sound.
            name = "page";
            session.settings["page"] = value;
        } else if (arg == "--script") {
            script = value;
        } else if (arg == "--frames") {
            frames = value;
        } else if (arg == "--route" || arg == "--clock" || arg == "--steps") {
            session.settings[arg.substr(2)] = value;
        } else if (arg == "--set") {
            const std::size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0) return Usage();
            const std::string key = value.substr(0, eq), text = value.substr(eq + 1);
            if (key.find_first_not_of("0123456789") == std::string::npos) {
                char* end = nullptr;
                errno = 0;
                const long index = std::strtol(key.c_str(), &end, 10);
                const long long setting = std::strtoll(text.c_str(), &end, 10);
                if (errno != 0 || text.empty() || *end != 0 || index >= CNaviConfig::kSettingCount ||
                    setting < INT32_MIN || setting > INT32_MAX)
                    return Usage();
                configChanges.emplace_back(static_cast<int>(index), static_cast<std::int32_t>(setting));
            } else {
                session.settings[key] = text;
            }
        } else {
            return Usage();
        }
    }
    const DialogEntry* entry = nullptr;
    for (const DialogEntry& d : DialogTable())
        if (name == d.name) entry = &d;
    if (root.empty() || !entry || script.empty() || frames.empty()) return Usage();
    const std::string dialogName = entry->name;
    const bool routeDialog = dialogName == "routeinfo" || dialogName == "waypoints" || dialogName == "player" ||
                             dialogName == "highway";
    if (routeDialog && session.settings.count("route") == 0) return Usage();

    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        std::fprintf(stderr, "velko-dialog: no device at %s\n", root.c_str());
        return 1;
    }
    root = fs::canonical(root, ec).string();
    fs::create_directories(frames, ec);
    const std::string framesAbsolute = fs::absolute(frames, ec).string();
    DeviceRoot::SetRoot(root);

    // The start-up the program goes through for these lists: model, data folder, configuration.
    char16_t oem[257] = {};
    if (!SystemParametersInfoW(SPI_GETOEMINFO, 256 * sizeof(char16_t), oem, 0)) oem[0] = 0;
    const DeviceModel model = ClassifyDevice(oem, [] { return true; });
    navi::g_deviceType = static_cast<std::int16_t>(session.Int("device", model.type));
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-dialog: no map data folder (%s)\n", error.c_str());
        return 1;
    }
    session.dataFolder = CString(folder.c_str());
    while (!folder.empty() && folder[0] == u'\\') folder.erase(0, 1);
    CNaviConfig* config = CNaviConfig::GetInstance();
    config->SetDeviceType(navi::g_deviceType);
    config->SetKeyLayout(model.keyLayout);
    config->Load(folder.c_str());
    for (auto [index, value] : configChanges) config->SetValue(index, value);

    session.recentFile = CRecentDestList::FilePath(navi::g_deviceType, *config);
    session.safePointFile = config->GetItemPath(u"안전운행지점", -1);
    session.switchedOffFile = config->GetItemPath(u"안전운행지점(지운것)", -1);
    CRecentDestList::Instance().LoadFrom(session.recentFile.GetString());
    CSafePointList::Added().LoadFrom(session.safePointFile.GetString());
    CSafePointList::Removed().SetMode(1);
    CSafePointList::Removed().LoadFrom(session.switchedOffFile.GetString());

    const std::map<std::string, FileState> before = Files(root);
    NaviRcBuilder builder;
    builder.SetDeviceType(navi::g_deviceType);
    session.builder = &builder;
    const int code = RunHosted(script, framesAbsolute, sdl, [&] {
        builder.OpenSkin(kSkinFolder);
        NaviMessageBox box;
        box.Initialize(&builder);
        session.messageBox = &box;
        const std::size_t sipCalls = ShellSipPreferenceCalls().size();
        // --set failwrites=N: the storage refuses the next N changes (a card gone bad), so a run can
        // show what a failed save, move or delete looks like.
        if (const int failing = session.Int("failwrites", 0); failing > 0) FilesFailNextOperations(failing);
        entry->run(session);
        FilesFailNextOperations(0);
        // The full-screen set-up held through the run: no input-panel call, the taskbar hidden.
        session.Print("sip.calls", static_cast<long long>(ShellSipPreferenceCalls().size() - sipCalls));
        HWND taskbar = FindWindowW(u"HHTaskbar", nullptr);
        session.Print("taskbar.hidden", taskbar && !IsWindowVisible(taskbar) ? 1 : 0);
        session.messageBox = nullptr;
        box.Destruct();
    });
    for (const std::string& line : session.lines) std::printf("%s\n", line.c_str());
    const std::map<std::string, FileState> after = Files(root);
    for (const auto& [path, state] : after) {
        const auto old = before.find(path);
        if (old != before.end() && old->second.size == state.size && old->second.time == state.time) continue;
        std::printf("written=%s size=%ju\n", CePath(path).c_str(), state.size);
    }
    return code == 0 ? session.exitCode : code;
}
