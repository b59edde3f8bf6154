// velko-gpsreader: runs the GPS reader on real ports for a while, as the program does, with the
// map matcher as the per-fix work, and prints what the loop reports.
//   velko-gpsreader --root DIR [--com N=PATH]... [--mode 1|2|3] [--port N] [--speed CODE]
//                   [--seconds S] [--route FILE] [--scan]
// --port is the GPS port's index (COM number - 1), --speed its speed code (0 2400, 1 4800,
// 2 9600, 3 19200, 4 38400, 5 57600). Prints state=, link=, "fix <record> quality=",
// "reset port=", "traffic bytes= ring=", and with --scan the port scan's "unit= both= port=
// speed=" after the first second. With --route (a route saved by velko-route) the matcher follows
// the route, each fix is also guided ("guide item= next= d1= code= wp= remain=") and the voice loop
// plays the prompts, printed as "prompt t= kind= clips= text=".
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MapDataFolder.h"
#include "position/MatchedPosSource.h"
#include "position/PositionWorkers.h"
#include "tools/gpsdecode/LogDecoder.h"
#include "tools/gpsmatch/GuideRun.h"
#include "tools/gpsmatch/RouteFile.h"

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t kBauds[] = {2400, 4800, 9600, 19200, 38400, 57600};

class ToolShell : public IPositionShell {
public:
    int mode = 2;
    int port = 1;
    int speed = 1;
    // Set by the reader thread when the road network could not be loaded.
    std::atomic<bool> networkFailed{false};

    int Setting(int index) override { return index == 29 ? port : index == 30 ? speed : 0; }
    int ReceiverMode() override { return mode; }
    std::u16string GpsPortName() override { return u"COM" + Utf8ToUtf16(std::to_string(port + 1)) + u":"; }
    std::uint32_t GpsBaudRate() override { return speed >= 0 && speed <= 5 ? kBauds[speed] : 4800; }
    bool UsesHighSpeedPort() override { return port >= 3 && port <= 5 && speed == 5; }
    const char16_t* DataFolder() override { return m_folder.c_str(); }
    bool OpenNetwork() override {
        std::string error;
        if (!FindMapDataFolder(m_folder, error)) {
            Print("warning=%s\n", error.c_str());
            networkFailed = true;
            return false;
        }
        if (m_engine.OpenNetwork(m_folder.c_str())) return true;
        networkFailed = true;
        return false;
    }
    void OnGpsFix(const GpsPosRecord& fix) override {
        MatchResult result;
        m_engine.Match(fix, result);
        char line[CLogDecoder::kMaxLine];
        std::size_t n = CLogDecoder::FormatRecord(fix, line);
        if (n > 0 && line[n - 1] == '\n') --n;
        std::lock_guard lock(m_print);
        std::printf("fix %.*s quality=%d\n", static_cast<int>(n), line, m_engine.GetFixQuality(fix));
        if (m_guide) m_guide->Fix(result);
        std::fflush(stdout);
    }
    // Follows the saved route: the matcher prefers its links and each fix is guided. Returns the
    // exit code on failure, 0 when the route is set.
    int FollowRoute(const std::string& path) {
        std::string error;
        int code = 0;
        m_route = LoadRouteFile(path, error, code);
        if (m_route) code = FindMapDataFolder(m_folder, error) ? 0 : 2;
        if (m_route && code == 0) {
            m_guide = GuideRun::Open(m_folder, path, "", true, error);
            if (!m_guide) code = 1;
        }
        if (code != 0) {
            std::fprintf(stderr, "velko-gpsreader: %s\n", error.c_str());
            return code;
        }
        m_engine.SetRoutePath(m_route.get());
        return 0;
    }
    void PrintSounds() {
        if (!m_guide) return;
        std::lock_guard lock(m_print);
        m_guide->PrintSounds();
        std::fflush(stdout);
    }
    int FixQuality(const GpsPosRecord& fix) override { return m_engine.GetFixQuality(fix); }
    int FixInterval() override { return m_engine.GetFixInterval(); }
    void SetGpsState(int state) override {
        if (state != m_state) Print("state=%d\n", state);
        m_state = state;
    }
    void SyncGpsClock(const GpsPosRecord&) override {}
    void SetStatusText(const char16_t* text) override { Print("status=%s\n", Utf16ToUtf8(text).c_str()); }
    void SetEventText(const char16_t* text) override { Print("event=%s\n", Utf16ToUtf8(text).c_str()); }
    bool IsFollowing() override { return true; }
    bool IsSimulating() override { return false; }
    void SetLinkState(int state) override {
        if (state != m_link) Print("link=%d\n", state);
        m_link = state;
    }
    void SetUnitMode(bool) override {}
    void FeedGpsDialog(const GpsSatRecord&, const GpsPosRecord&) override {}
    void UpdateLogPanelMemory() override {}
    void OnLinkReset(const char16_t* name) override { Print("reset port=%s\n", Utf16ToUtf8(name).c_str()); }
    void OpenBroadcastStores() override {}
    void CloseBroadcastStores() override {}
    void SetBroadcastConnected(int) override {}
    void SetBroadcastGpsScore(int) override {}
    bool LoggingWanted() override { return false; }
    bool StartLog() override { return false; }
    void StopLog() override {}
    void AppendLog(const char*, int) override {}
    void KeepAwake() override {}
    bool IsGuiding() override { return m_guide != nullptr; }
    void ProcessVoice() override {
        if (m_guide) m_guide->ProcessVoice();
    }
    RerouteWatchState RerouteState() override { return {}; }
    void SetRerouteCountdown(int) override {}
    void RerouteWorker() override {}
    void PlayMessage(int) override {}
    void StartRerouteThread() override {}
    RouteMonitorState MonitorState() override { return {}; }
    bool TakeNewMatchedFix() override { return false; }
    void SetOffRoute(bool) override {}
    bool IsOffRoute() override { return false; }
    void UpdateHighwayPanel() override {}
    void FollowVehicle() override {}
    void MoveMapTo(std::int32_t, std::int32_t, int) override {}
    void SetHeadingSector(int) override {}
    void StopAutoReturn() override {}
    void RedrawMap() override {}
    void RestoreBrowserSetting() override {}
    void SetDeviceActive(int) override {}
    void SaveTrail() override {}
    void ReleaseRouteManager() override {}
    void DestroyBroadcastSingletons() override {}

    void Print(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        std::lock_guard lock(m_print);
        va_list args;
        va_start(args, format);
        std::vfprintf(stdout, format, args);
        va_end(args);
        std::fflush(stdout);
    }

private:
    std::mutex m_print;
    CMatchedPosSource m_engine;
    std::unique_ptr<CRouteLinkQuery> m_route;
    std::unique_ptr<GuideRun> m_guide;
    std::u16string m_folder = u"\\MapData";
    int m_state = -2;
    int m_link = -2;
};

int Usage() {
    std::fprintf(stderr, "usage: velko-gpsreader --root DIR [--com N=PATH]... [--mode 1|2|3] [--port N] "
                         "[--speed CODE] [--seconds S] [--route FILE] [--scan]\n");
    return 2;
}

// A port path is a serial device (a pseudo-terminal's too) or nothing yet: anything else that is
// there, such as a folder or a plain file, is refused.
bool PortPathUsable(const std::string& path, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return true; // no port there: the reader finds none
    if (S_ISCHR(st.st_mode)) return true;
    error = path + (S_ISDIR(st.st_mode) ? ": is a folder, not a port" : ": is not a serial port");
    return false;
}

bool Number(const char* text, int low, int high, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < low || v > high) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    ToolShell shell;
    std::string root;
    int seconds = 10;
    bool scan = false;
    const char* routePath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--scan") {
            scan = true;
            continue;
        }
        if (i + 1 >= argc) return Usage();
        const char* v = argv[++i];
        if (a == "--root") {
            root = v;
        } else if (a == "--com") {
            const std::string s = v;
            const std::size_t eq = s.find('=');
            int n = 0;
            if (eq == std::string::npos || !Number(s.substr(0, eq).c_str(), 1, 99, n)) return Usage();
            std::string error;
            if (!PortPathUsable(s.substr(eq + 1), error)) {
                std::fprintf(stderr, "velko-gpsreader: --com %s\n", error.c_str());
                return 2;
            }
            DeviceRoot::OverrideSetting("com" + std::to_string(n), s.substr(eq + 1));
        } else if (a == "--mode") {
            if (!Number(v, 1, 3, shell.mode)) return Usage();
        } else if (a == "--port") {
            if (!Number(v, 0, 98, shell.port)) return Usage();
        } else if (a == "--speed") {
            if (!Number(v, 0, 5, shell.speed)) return Usage();
        } else if (a == "--route") {
            routePath = v;
        } else if (a == "--seconds") {
            if (!Number(v, 1, 86400, seconds)) return Usage();
        } else {
            return Usage();
        }
    }
    if (root.empty()) root = DeviceRoot::DefaultRoot();
    DeviceRoot::SetRoot(root);
    if (routePath) {
        if (const int code = shell.FollowRoute(routePath)) return code;
    }

    CPositionWorkers workers(shell);
    workers.SelectReceiverMode();
    workers.StartThreads();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::uint64_t lastDeliveries = 0;
    bool scanned = false;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        shell.PrintSounds();
        CTrafficRing& ring = workers.TrafficRing();
        if (ring.Deliveries() != lastDeliveries) {
            lastDeliveries = ring.Deliveries();
            std::uint8_t drained[CTrafficRing::kCapacity];
            const std::size_t n = ring.Take(drained, sizeof drained);
            shell.Print("traffic bytes=%zu ring=%zu\n", n, ring.Count());
        }
        if (scan && !scanned && std::chrono::steady_clock::now() + std::chrono::seconds(seconds - 1) >= end) {
            scanned = true;
            std::uint8_t unit = 0, both = 0;
            int port = 0, code = 0;
            const bool found = workers.FindReceivers(unit, both, port, code);
            shell.Print("found=%d unit=%d both=%d port=%d speed=%d\n", found ? 1 : 0, unit, both, port, code);
        }
    }
    workers.ShutdownDevices();
    shell.PrintSounds();
    if (shell.networkFailed) {
        std::fprintf(stderr, "velko-gpsreader: the road network of %s could not be loaded\n", root.c_str());
        return 1;
    }
    return 0;
}
