// velko-traffic: the highway traffic download of a device root without the user interface. The
// question is answered from --answer, notices are printed, the traffic store's share is logged.
//
//   velko-traffic [--root DIR] [--device TYPE] [--carrier N] [--answer yes|no]
//
// Prints question=, dial=ENTRY USER (each dial), notice=, loaded=, message=, result=, records=
// and valid_until= (local time) lines. Exit codes: 0 traffic received, 1 not received, 2 bad
// arguments.
#include "app/TrafficDownload.h"
#include "config/NaviConfig.h"
#include "net/TrafficConnect.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MapDataFolder.h"
#include "platform/net/RasDial.h"
#include "traffic/receiver/Traffic.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class ConsoleView : public TrafficViewShare {
public:
    explicit ConsoleView(bool yes) : m_yes(yes) {}
    int AskQuestion(const char16_t* text) override {
        std::printf("question=%s\n", Utf16ToUtf8(text).c_str());
        return m_yes ? 4001 : 4002;
    }
    void ShowNotice(const char16_t* text) override { std::printf("notice=%s\n", Utf16ToUtf8(text).c_str()); }
    void SetWaitCursor(bool) override {}
    bool BroadcastStoresOpen() override { return m_open; }
    void OpenBroadcastStoresHeld() override { m_open = true; }
    bool HoldFlagSet() override { return false; }
    bool BroadcastReceiverInUse() override { return false; }
    // The download goes to the device's link-speed store; held= counts the records whose
    // links the store knows and now holds a speed for.
    void LoadHighWayTraffic(const CTrafficConnect& c) override {
        std::printf("loaded=%d\n", c.GetItemCount());
        CTraffic* store = CTraffic::instance();
        std::u16string folder;
        std::string error;
        if (FindMapDataFolder(folder, error)) store->openFile(CString(folder.c_str()));
        store->LoadHighWayTraffic(TrafficConnectItems(c));
        int held = 0;
        for (int i = 0; i < c.GetItemCount(); ++i) {
            const std::uint8_t* item = c.GetItem(i);
            const unsigned long id = item[0] | (item[1] << 8) | (item[2] << 16) | (static_cast<unsigned long>(item[3]) << 24);
            unsigned char speed = 0;
            if (store->getRealSpeedByID(id, speed) && speed == item[4]) ++held;
        }
        std::printf("held=%d\n", held);
    }
    void SetTrafficValidTime(int minutes) override { std::printf("valid_minutes=%d\n", minutes); }
    void UpdateTrafficDB() override {}
    void PlayMessage(int message) override { std::printf("message=%d\n", message); }
    void TrafficUpdated() override {}

private:
    bool m_yes;
    bool m_open = false;
};

bool ParseInt(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end && *end == 0 && value >= low && value <= high;
}

int Usage() {
    std::fprintf(stderr, "usage: velko-traffic [--root DIR] [--device TYPE] [--carrier N] [--answer yes|no]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Each line shows at once, so a slow exchange is seen waiting after its question.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string root;
    long device = 0, carrier = -1;
    bool yes = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        const std::string value = argv[++i];
        if (arg == "--root") {
            root = value;
        } else if (arg == "--device") {
            if (!ParseInt(value, 0, 0xFFFF, device)) return Usage();
        } else if (arg == "--carrier") {
            if (!ParseInt(value, 0, 1000, carrier)) return Usage();
        } else if (arg == "--answer") {
            if (value != "yes" && value != "no") return Usage();
            yes = value == "yes";
        } else {
            return Usage();
        }
    }
    DeviceRoot::SetRoot(root.empty() ? DeviceRoot::DefaultRoot() : root);
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-traffic: no map data folder (%s)\n", error.c_str());
        return 1;
    }
    while (!folder.empty() && folder[0] == u'\\') folder.erase(0, 1);
    CNaviConfig config;
    config.SetDeviceType(static_cast<int>(device));
    config.Load(folder.c_str());
    if (carrier >= 0) config.SetValue(33, static_cast<int>(carrier));

    ConsoleView view(yes);
    CTrafficDownload download(view, config, static_cast<int>(device));
    const int result = download.DownloadTraffic();
    for (const std::string& dial : rasdial::DialLog()) std::printf("dial=%s\n", dial.c_str());
    std::printf("result=%d\n", result);
    std::printf("records=%d\n", download.HasDownload() ? download.LastRecordCount() : 0);
    if (download.HasDownload()) {
        const SYSTEMTIME until = SystemTimeFromMilliseconds(MillisecondsFromSystemTime(download.DownloadLocalTime()) +
                                                            CTrafficDownload::kValidMinutes * 60000LL);
        std::printf("valid_until=%04d-%02d-%02d %02d:%02d\n", until.wYear, until.wMonth, until.wDay, until.wHour,
                    until.wMinute);
    }
    return result == CTrafficConnect::kReceived ? 0 : 1;
}
