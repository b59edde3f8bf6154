#include "app/RasConnection.h"
#include "app/TrafficDownload.h"

#include "config/NaviConfig.h"
#include "net/TrafficConnect.h"
#include "net/tests/OneShotServer.h"
#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/threads/Threads.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Count(std::uint32_t n) {
    return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                       static_cast<char>(n)};
}

// The view's share, recorded.
class FakeView : public TrafficViewShare {
public:
    int answer = 4001;
    bool storesOpen = false;
    bool receiverInUse = false;
    std::uint64_t holdFrom = 0, holdTo = 0; // the hold flag is set while the tick is in [from, to)
    std::vector<std::u16string> questions, notices;
    std::vector<int> messages, validTimes;
    std::vector<std::uint64_t> updates;
    int loadedRecords = -1, openedStores = 0, updatedFlags = 0;
    std::uint8_t firstItem[5] = {};
    StopSignal* stopAfterThirdUpdate = nullptr;

    int AskQuestion(const char16_t* text) override {
        questions.push_back(text);
        return answer;
    }
    void ShowNotice(const char16_t* text) override { notices.push_back(text); }
    void SetWaitCursor(bool) override {}
    bool BroadcastStoresOpen() override { return storesOpen; }
    void OpenBroadcastStoresHeld() override {
        ++openedStores;
        storesOpen = true;
    }
    bool HoldFlagSet() override {
        const std::uint64_t t = TheClock().TickCount();
        return t >= holdFrom && t < holdTo;
    }
    bool BroadcastReceiverInUse() override { return receiverInUse; }
    void LoadHighWayTraffic(const CTrafficConnect& c) override {
        loadedRecords = c.GetItemCount();
        if (c.GetItem(0)) std::memcpy(firstItem, c.GetItem(0), 5);
    }
    void SetTrafficValidTime(int minutes) override { validTimes.push_back(minutes); }
    void UpdateTrafficDB() override {
        updates.push_back(TheClock().TickCount());
        if (updates.size() == 3 && stopAfterThirdUpdate) stopAfterThirdUpdate->Signal();
    }
    void PlayMessage(int message) override { messages.push_back(message); }
    void TrafficUpdated() override { ++updatedFlags; }
};

// A device root whose device.ini points at the test server, with a loaded configuration.
struct Device {
    TempRoot root;
    CNaviConfig config;
    Device(int port, const std::string& extra = "") {
        root.MakeFile("device.ini", "trafficserver=127.0.0.1:" + std::to_string(port) + "\n" + extra);
        DeviceRoot::ReloadSettings();
        rasdial::ClearDialLog();
        config.Load(u"Storage Card\\MapData");
    }
};

const std::u16string kNoConnection = u"인터넷 연결 환경을 확인 해 주십시오.";

} // namespace

TEST(TrafficDownload, ThreeRecordsAreStoredLoadedAndAnnounced) {
    // 2024-03-05 14:07 local time (UTC+9) is 05:07 UTC: 1709615220 seconds after 1970.
    SimulatedClock clock(1709615220000LL, 9 * 60);
    InstallClock(&clock);
    OneShotServer server(Count(3) + std::string("\x01\x02\x03\x04\x50", 5) + std::string(10, '\x02'));
    Device device(server.Port());
    FakeView view;
    CTrafficDownload download(view, device.config, 0);
    EXPECT_EQ(download.DownloadTraffic(), CTrafficConnect::kReceived);
    EXPECT_EQ(view.questions, (std::vector<std::u16string>{u"고속도로 정보를 수신 하겠습니까?"}));
    const std::string request = server.Request();
    EXPECT_EQ(request.substr(68, 4), std::string("011\0", 4)); // carrier 0
    EXPECT_EQ(request.substr(4, 9), std::string("VELKO900\0", 9));
    EXPECT_EQ(device.root.Read("My Documents/Velko/Traffic.bin").size(), 15u);
    EXPECT_EQ(view.loadedRecords, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(view.firstItem), 5), std::string("\x04\x03\x02\x01\x50", 5));
    EXPECT_EQ(view.openedStores, 1);
    EXPECT_EQ(view.messages, std::vector<int>{17});
    EXPECT_EQ(view.updatedFlags, 1);
    EXPECT_EQ(view.validTimes, std::vector<int>{60});
    ASSERT_EQ(view.notices.size(), 1u);
    EXPECT_EQ(view.notices[0],
              u"한국도로공사로 부터 \"3월5일14시7분\" 에 받은 고속도로 정보로 1시간 동안 유효한 정보입니다.");

    // Valid for 59 minutes; at 60 it is cleared (the stores are open) and the time set to 15.
    clock.Advance(59 * 60000);
    EXPECT_TRUE(download.IsTrafficInfoValid());
    clock.Advance(60000);
    EXPECT_FALSE(download.IsTrafficInfoValid());
    EXPECT_EQ(view.validTimes, (std::vector<int>{60, 15}));
    EXPECT_FALSE(download.HasDownload());
    InstallClock(nullptr);
}

TEST(TrafficDownload, RefusalsShowTheirNoticeAndChangeNothing) {
    struct Case {
        std::string reply;
        int result;
        std::u16string notice;
    } cases[] = {
        {Count(0), CTrafficConnect::kNoData, u"유효한 데이터가 없습니다. 잠시 후 사용해 주시기 바랍니다."},
        {Count(0xFFFFFFFFu), CTrafficConnect::kNotSubscribed,
         u"본 서비스는 유료이며  무선포탈(유료) 가입 후 사용하실 수 있습니다."},
        {Count(0xFFFFFFFEu), CTrafficConnect::kNotPaid, u"본 서비스는 유료 서비스입니다.유료 가입을 해 주세요."},
        // Cut short twice: the first try and the one after the dial.
        {Count(10) + std::string(35, '\x01'), CTrafficConnect::kFailed, kNoConnection},
    };
    for (const Case& c : cases) {
        OneShotServer server(c.reply);
        Device device(server.Port());
        FakeView view;
        CTrafficDownload download(view, device.config, 0);
        EXPECT_EQ(download.DownloadTraffic(), c.result);
        EXPECT_EQ(view.notices, std::vector<std::u16string>{c.notice});
        EXPECT_FALSE(device.root.Exists("My Documents/Velko/Traffic.bin"));
        EXPECT_EQ(view.loadedRecords, -1);
        EXPECT_TRUE(view.messages.empty()) << "nothing stored, nothing said";
        EXPECT_TRUE(view.validTimes.empty());
        EXPECT_FALSE(download.IsTrafficInfoValid());
        EXPECT_EQ(rasdial::OpenConnections(), 0);
    }
    // Declined: no connection at all.
    OneShotServer server(Count(3));
    Device device(server.Port());
    FakeView view;
    view.answer = 4002;
    CTrafficDownload download(view, device.config, 0);
    EXPECT_EQ(download.DownloadTraffic(), 0);
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(view.notices.empty());
}

TEST(TrafficDownload, DialsByDeviceAndCarrierWhenThereIsNoConnection) {
    std::string reply = Count(1) + std::string("\x00\x00\x00\x09\x30", 5);
    struct Case {
        int deviceType, carrier;
        std::string dialup;
        std::vector<std::string> dials;
        int result;
    } cases[] = {
        {0, 0, "dialup=ok\n", {"011 wendlecar"}, CTrafficConnect::kReceived},
        {0, 2, "dialup=ok\n", {"017 plank583"}, CTrafficConnect::kReceived},
        {22, 0, "dialup=ok\n", {"SK telecom wendlecar"}, CTrafficConnect::kReceived},
        {7, 0, "dialup=fail:Internet 011,Internet POZ\n",
         {"Internet 011 velko900@portal011.example", "Internet POZ 016", "Internet POZ 019", "KTF CDMA 016"},
         CTrafficConnect::kReceived},
        {23, 0, "dialup=ok\n", {"Internet 011 velko900@portal011.example"}, CTrafficConnect::kReceived},
        {0, 5, "dialup=ok\n", {}, CTrafficConnect::kFailed},
        {0, 0, "dialup=fail\n", {"011 wendlecar"}, CTrafficConnect::kFailed},
    };
    for (const Case& c : cases) {
        OneShotServer server(reply);
        Device device(server.Port(), "network=dial\n" + c.dialup);
        device.config.SetValue(33, c.carrier);
        FakeView view;
        CTrafficDownload download(view, device.config, c.deviceType);
        EXPECT_EQ(download.DownloadTraffic(), c.result) << c.deviceType << "/" << c.carrier;
        EXPECT_EQ(rasdial::DialLog(), c.dials) << c.deviceType << "/" << c.carrier;
        EXPECT_EQ(rasdial::OpenConnections(), 0) << "hung up";
        if (c.result == CTrafficConnect::kFailed) {
            EXPECT_EQ(view.notices, std::vector<std::u16string>{kNoConnection});
            EXPECT_TRUE(view.messages.empty());
        } else {
            EXPECT_EQ(view.loadedRecords, 1);
            EXPECT_EQ(view.messages, std::vector<int>{17});
        }
    }
}

TEST(TrafficDownload, DialUpTable) {
    auto names = [](int type, int carrier) {
        std::vector<std::u16string> out;
        for (const DialUpEntry& e : CTrafficDownload::DialEntries(type, carrier))
            out.push_back(e.entry + u"/" + e.userName + u"/" + e.password);
        return out;
    };
    EXPECT_EQ(names(0, 1), std::vector<std::u16string>{u"016/016/"});
    EXPECT_EQ(names(0, 3), std::vector<std::u16string>{u"018/018/"});
    EXPECT_EQ(names(5, 4), std::vector<std::u16string>{u"019/019/"});
    EXPECT_TRUE(names(0, 5).empty());
    EXPECT_TRUE(names(0, -1).empty());
    EXPECT_EQ(names(7, 9)[0], u"Internet 011/velko900@portal011.example/brisk472");
    EXPECT_EQ(names(7, 9)[2], u"Internet POZ/019/019");
    EXPECT_EQ(CTrafficDownload::CarrierText(4), "019");
    EXPECT_EQ(CTrafficDownload::CarrierText(5), "");
}

TEST(TrafficDownload, TheUpdateThreadRunsEveryFiveMinutesButNotWhileHeld) {
    SimulatedClock clock;
    InstallClock(&clock);
    TempRoot root;
    CNaviConfig config;
    FakeView view;
    view.receiverInUse = true;
    view.holdFrom = 600000;
    view.holdTo = 900001;
    StopSignal stop;
    view.stopAfterThirdUpdate = &stop;
    CTrafficDownload download(view, config, 0);
    std::thread worker([&] { download.TrafficDbUpdateThread(stop); });
    worker.join();
    EXPECT_EQ(view.updates, (std::vector<std::uint64_t>{300000, 1200000, 1500000}));
    // Nothing in use and no valid download: the thread only sleeps.
    FakeView idle;
    StopSignal stop2;
    CTrafficDownload quiet(idle, config, 0);
    std::thread sleeper([&] { quiet.TrafficDbUpdateThread(stop2); });
    while (clock.TickCount() < 1500000 + 10 * 300000) std::this_thread::yield();
    stop2.Signal();
    sleeper.join();
    EXPECT_TRUE(idle.updates.empty());
    InstallClock(nullptr);
}

TEST(RasConnection, ConnectedOnlyWithAHandleAndAGoodResult) {
    TempRoot root;
    root.MakeFile("device.ini", "dialup=fail:bad\n");
    DeviceRoot::ReloadSettings();
    RasConnection ras;
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_FALSE(ras.DialEntry(u"bad", u"x"));
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_TRUE(ras.DialEntryWithLogin(u"good", u"x", u"y"));
    EXPECT_TRUE(ras.IsConnected());
    EXPECT_EQ(rasdial::OpenConnections(), 1);
    ras.HangUp();
    EXPECT_FALSE(ras.IsConnected());
    EXPECT_EQ(rasdial::OpenConnections(), 0);
}
