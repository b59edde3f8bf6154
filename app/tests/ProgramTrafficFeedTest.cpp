// The whole program with the broadcast receiver unit on COM1: started headless on a copy of the
// sample device whose configuration turns the receiver on (setting 32), fed a receiver-unit log
// with the broadcast stream merged between its frames (velko-gpssynth-style unit frames, then
// velko-darcsynth --merge), one second of it each simulated second. The reception level rises to
// 3 while the broadcast comes in and falls to 0 once the unit sends only its frames and filler;
// the receiver icon shows; a congested expressway link of the broadcast is drawn in the congested
// colour by the map's expressway traffic layer; the traffic sheet opens over the running program; the exit writes the receiver's save files. Also
// run under ThreadSanitizer.
#include "app/CMainView.h"
#include "app/NaviApp.h"
#include "app/TrafficSheetHost.h"
#include "skinui/NaviControl.h"
#include "skinui/main/NaviMainScreen.h"
#include "traffic/pages/DARCSheet.h"
#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"
#include "mapview/LayerRecords.h"
#include "mapview/MapLayerFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/GpsLogSynth.h"
#include "position/PositionWorkers.h"
#include "position/ZarnReceiver.h"
#include "traffic/receiver/Traffic.h"
#include "tools/mkdevice/DeviceBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kBroadcastSeconds = 20;
// The ring wakes the reception on every tenth delivery (one a second here): the last broadcast
// bytes go with the first quiet wake, and three wakes without a packet take 30 seconds more.
constexpr int kQuietSeconds = 50;

// The congested colour of the map's traffic links (정체): red 255, green 0, blue 128.
constexpr COLORREF kCongested = RGB(255, 0, 128);
const char16_t* const kHighwayLayer = u"DARC\\DARC_HIGHWAY.MDC";

// A point of the broadcast link drawn by the expressway layer of the map data: the middle vertex
// of its first record there; false when the layer has none for it.
bool HighwayLinkPoint(unsigned short index, POINT& at) {
    CMapLayerFile layer;
    if (!layer.Open(u"\\Storage Card\\MapData", kHighwayLayer)) return false;
    const MapLayerHeader& h = layer.GetHeader();
    for (std::uint32_t c = 0; c < h.CellCount(); ++c) {
        if (layer.GetCellOffset(c) == 0 || layer.LoadCell(static_cast<std::int32_t>(c)) <= 0) continue;
        std::int32_t ox = 0, oy = 0;
        layer.GetCellOrigin(static_cast<std::int32_t>(c), ox, oy);
        CLayerRecordReader reader(h.kind, true, layer.GetBlock(), layer.GetBlockSize(), ox, oy);
        for (LayerRecord r; reader.Next(r);)
            if (r.linkIndex == index && r.points.size() >= 2) {
                at = POINT{r.points[r.points.size() / 2].x, r.points[r.points.size() / 2].y};
                return true;
            }
    }
    return false;
}

int LayerIndex(CMapWnd& map, const char16_t* file) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(file);
    const int index = map.FindLayerIndex(v);
    VariantClear(&v);
    return index;
}

// Pixels of the congested colour within 60 pixels of a screen point.
int CongestedNear(POINT p) {
    auto* bits = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    int n = 0;
    for (int y = std::max<LONG>(0, p.y - 60); y <= std::min<LONG>(319, p.y + 60); ++y)
        for (int x = std::max<LONG>(0, p.x - 60); x <= std::min<LONG>(239, p.x + 60); ++x)
            if (bits->GetColor(x, y) == kCongested) ++n;
    return n;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The stream cut into seconds: each starts at a position frame of the unit.
std::vector<std::string> Seconds(const std::string& stream) {
    std::vector<std::size_t> starts;
    const std::string mark{static_cast<char>(zarn::kStx), static_cast<char>(zarn::kPositionFrame)};
    for (std::size_t at = stream.find(mark); at != std::string::npos; at = stream.find(mark, at + 1))
        starts.push_back(at);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < starts.size(); ++i)
        out.push_back(stream.substr(starts[i], (i + 1 < starts.size() ? starts[i + 1] : stream.size()) - starts[i]));
    return out;
}

TEST(ProgramTrafficFeedTest, ReceptionLevelRisesWithTheBroadcastAndFallsWhenItStops) {
    TempRoot root;
    const std::string deviceDir = root.Path() + "/device";
    const char* shared = std::getenv("VELKO_TOOL_DEVICE");
    if (shared && std::filesystem::is_directory(shared)) {
        std::filesystem::copy(shared, deviceDir, std::filesystem::copy_options::recursive);
    } else {
        mkdev::DeviceOptions device;
        device.outDir = deviceDir;
        device.quiet = true;
        mkdev::BuildDevice(device);
    }
    // The receiver unit in use (setting 32 = 1, no separate GPS: receiver mode 1); the map flat,
    // north up (setting 0 = 0), so the link's points stand where the plain projection puts them.
    ASSERT_EQ(std::system((std::string(VELKO_CONFIG_TOOL) + " --root '" + deviceDir +
                           "' --set 32=1 --set 31=0 --set 0=0 >/dev/null")
                              .c_str()),
              0);

    // The unit's frames along a drive east at 50 km/h, the broadcast merged between them.
    GpsSynthOptions synth;
    synth.points = {{45761782.0, 13504989.0}, {45841782.0, 13504989.0}};
    synth.unit = true;
    CGpsLogSynth log(synth);
    const std::string unitLog = log.Generate();
    ASSERT_FALSE(unitLog.empty());
    std::ofstream(root.Path() + "/unit.log", std::ios::binary) << unitLog;
    ASSERT_EQ(std::system((std::string(VELKO_DARCSYNTH_TOOL) + " --root '" + deviceDir + "' --seconds " +
                           std::to_string(kBroadcastSeconds + 5) + " --merge '" + root.Path() +
                           "/unit.log' --out '" + root.Path() + "/merged.bin' >'" + root.Path() + "/sent.txt'")
                              .c_str()),
              0);
    // "sent idx=I id=D speed=S": the links of the broadcast table, each with the speed it was last
    // sent (congested ones, at the 가람IC junctions, well below free flow).
    std::vector<std::pair<int, int>> sent;
    {
        std::ifstream lines(root.Path() + "/sent.txt");
        for (std::string line; std::getline(lines, line);) {
            int idx = 0, speed = 0;
            unsigned long id = 0;
            if (std::sscanf(line.c_str(), "sent idx=%d id=%lu speed=%d", &idx, &id, &speed) == 3)
                sent.emplace_back(idx, speed);
        }
    }
    ASSERT_FALSE(sent.empty());
    const std::vector<std::string> broadcast = Seconds(ReadAll(root.Path() + "/merged.bin"));
    const std::vector<std::string> quiet = Seconds(unitLog);
    ASSERT_GE(broadcast.size(), static_cast<std::size_t>(kBroadcastSeconds));
    ASSERT_GE(quiet.size(), static_cast<std::size_t>(kBroadcastSeconds + kQuietSeconds));

    DeviceRoot::ClearOverrides();
    DeviceRoot::SetRoot(deviceDir);
    GdiUseBuiltinFont(true);
    PseudoTerminal unit;
    ASSERT_TRUE(unit.IsOpen());
    DeviceRoot::OverrideSetting("com1", unit.DevicePath());

    // The start-up warning closed with "확인", then one step a second.
    std::string script = "wait 500\ntap 144 249\n";
    for (int i = 0; i <= kBroadcastSeconds + kQuietSeconds + 2; ++i) script += "wait 1000\n";
    script += "quit\n";
    std::ofstream(root.Path() + "/feed.script") << script;

    SimulatedClock clock;
    clock.SetHosted(true);
    InstallClock(&clock);
    const auto started = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(2);
    CNaviApp app;
    HostOptions options;
    options.script = root.Path() + "/feed.script";
    options.outDir = root.Path() + "/out";
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;

    // Between the script's steps: once the workers run, each simulated second the next second of
    // the stream goes down the line (the broadcast, then the unit's frames alone) and the workers
    // run on; the level is read after each.
    bool running = false;
    std::uint64_t startTick = 0;
    int fed = 0;
    int highest = 0, levelAfterBroadcast = -1, levelAtEnd = -1;
    bool keptAtTwoEmpty = false;
    bool storesOpen = false;
    std::size_t received = 0, congested = 0;
    std::u16string sheetTitle;
    bool iconSeen = false;
    int congestedHighway = -1, drawnShown = -1, drawnHidden = -1;
    host.Runner()->beforeStep = [&] {
        CMainView* view = CMainView::Get();
        if (!view || !view->ThreadsStarted()) return;
        const std::uint64_t now = TheClock().TickCount();
        if (!running) {
            running = true;
            startTick = now;
        }
        storesOpen = storesOpen || view->BroadcastStoresOpen();
        while (fed < kBroadcastSeconds + kQuietSeconds && now >= startTick + static_cast<std::uint64_t>(fed) * 1000) {
            const std::string& second =
                fed < kBroadcastSeconds ? broadcast[static_cast<std::size_t>(fed)] : quiet[static_cast<std::size_t>(fed)];
            // The reader opens the port after loading its road network, and opening drops what
            // the line held: the first second is repeated until the port is open. The workers
            // run in steps of the clock until the reader has delivered the second's broadcast
            // bytes (bounded), so that each second makes one delivery.
            CTrafficRing& ring = view->GetPositionWorkers()->TrafficRing();
            const std::uint64_t before = ring.Deliveries();
            for (int step = 0; step < (fed == 0 ? 300 : 30); ++step) {
                if (step == 0 || (fed == 0 && step % 10 == 0)) unit.Write(second.data(), second.size());
                clock.RunFor(100);
                if (ring.Deliveries() > before) break;
            }
            // A delivery that woke the reception: its cycle (on its own thread, not on the clock)
            // takes the bytes and decodes them.
            if (ring.Deliveries() % 10 == 1) {
                for (int i = 0; i < 200 && ring.Count() > 0; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (view->ReceptionLevel() == 3 && view->BroadcastReception()->FailedParses() == 2) keptAtTwoEmpty = true;
            highest = std::max(highest, view->ReceptionLevel());
            ++fed;
            if (fed == kBroadcastSeconds) levelAfterBroadcast = view->ReceptionLevel();
            // The first quiet wake took the last broadcast seconds: every link of the table has a
            // received speed in the traffic store, some of them congested.
            // The traffic sheet over the running program: its host on the view, the sheet made
            // with its pages and title (the sheet's own run is played here).
            if (fed == kBroadcastSeconds + 2) {
                view->SetTrafficSheetRunner([view, &sheetTitle](const CString& title) {
                    CTrafficSheetHost sheetHost(view);
                    sheetHost.SetTitle(title, nullptr);
                    sheetHost.m_runSheet = [&sheetTitle](CDARCSheet& sheet) -> INT_PTR {
                        sheetTitle = sheet.GetTrafficTitle().GetString();
                        return IDOK;
                    };
                    sheetHost.DoModal();
                });
                view->ShowTrafficSheet(0);
                view->SetTrafficSheetRunner(nullptr);
            }
            // The receiver icon on the main screen, as the overlay last drew it.
            if (NaviControl* icon = view->GetMainScreen() ? view->GetMainScreen()->FindControl(u"Zarn") : nullptr)
                iconSeen = iconSeen || icon->IsVisible();
            // A congested expressway link of the broadcast on the map: the map at its point, level
            // 8, drawn again; the congested colour near it, and none once the expressway traffic
            // layer is hidden.
            if (fed == kBroadcastSeconds + 1) {
                POINT at{};
                for (const auto& [idx, speed] : sent)
                    if (speed < 20 && HighwayLinkPoint(static_cast<unsigned short>(idx), at)) {
                        congestedHighway = idx;
                        break;
                    }
                if (congestedHighway >= 0) {
                    CMapWnd& map = view->GetMapWnd();
                    view->SetMapLevel(8);
                    view->MoveMapTo(at.x, at.y, 0);
                    auto draw = [&] {
                        map.RequestRedraw(1);
                        WinDispatchPending();
                        WinComposeScreen();
                        POINT screen{};
                        map.WorldToScreen(at.x, at.y, screen);
                        return CongestedNear(screen);
                    };
                    drawnShown = draw();
                    const int layer = LayerIndex(map, kHighwayLayer);
                    map.ShowLayer(layer, 0);
                    drawnHidden = draw();
                    map.ShowLayer(layer, 1);
                }
            }
            if (fed == kBroadcastSeconds + 1)
                for (const auto& [idx, speed] : sent) {
                    unsigned char stored = 0;
                    if (CTraffic::instance()->getRealSpeedByIdx(static_cast<unsigned short>(idx), stored)) {
                        ++received;
                        if (stored < 20) ++congested;
                    }
                }
            if (fed == kBroadcastSeconds + kQuietSeconds) levelAtEnd = view->ReceptionLevel();
        }
    };
    const int code = host.Run([] { return AfxWinMain(); });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(host.Failed()) << host.Failure();
    EXPECT_EQ(CMainView::Get(), nullptr);
    EXPECT_EQ(fed, kBroadcastSeconds + kQuietSeconds);
    EXPECT_TRUE(storesOpen);
    EXPECT_EQ(highest, 3);
    EXPECT_EQ(levelAfterBroadcast, 3);
    EXPECT_EQ(received, sent.size());
    EXPECT_GT(congested, 0u);
    EXPECT_EQ(sheetTitle, u"교통정보");
    EXPECT_TRUE(iconSeen);
    ASSERT_GE(congestedHighway, 0) << "no congested expressway link in the broadcast";
    EXPECT_GT(drawnShown, 0) << "link " << congestedHighway;
    EXPECT_EQ(drawnHidden, 0) << "link " << congestedHighway;
    EXPECT_TRUE(keptAtTwoEmpty);   // two wakes without a packet keep the level
    EXPECT_EQ(levelAtEnd, 0);
    // The exit wrote the receiver's save files.
    int fresh = 0;
    const std::filesystem::path saves = DeviceRoot::Resolve(u"\\My Documents\\Velko");
    if (std::filesystem::is_directory(saves))
        for (const auto& entry : std::filesystem::directory_iterator(saves))
            if (entry.is_regular_file() && entry.last_write_time() >= started) ++fresh;
    EXPECT_GT(fresh, 0);
    InstallClock(nullptr);
    GdiUseBuiltinFont(false);
    DeviceRoot::ClearOverrides();
}

} // namespace
