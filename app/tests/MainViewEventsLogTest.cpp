// The GPS log files of the main view: the next free "LogData%03d.txt" with its start mark, the
// panel's folder choice and figures, and the log stopped while the GPS reader writes to it (also
// under ThreadSanitizer).
#include "app/CMainView.h"
#include "app/MainViewPosition.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/PositionWorkers.h"
#include "position/tests/RecordingShell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

const std::string kStart("Start_Log\0", 10);

class MainViewLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.MakeFile("My Documents/Velko/keep", "");
        root.MakeFile("Storage Card/MapData/keep", "");
        CNaviConfig::DestroyInstance();
        CNaviConfig::GetInstance()->Load(u"\\Storage Card\\MapData");
        view = std::make_unique<CMainView>();
    }
    void TearDown() override {
        view.reset();
        CNaviConfig::DestroyInstance();
    }
    TempRoot root;
    std::unique_ptr<CMainView> view;
};

TEST_F(MainViewLogTest, TheNextFreeNumberGetsTheStartMarkAndTheReadersBytes) {
    for (const char* taken : {"LogData000.txt", "LogData001.txt", "LogData002.txt"})
        root.MakeFile(std::string("My Documents/Velko/") + taken, "old");
    ASSERT_TRUE(view->StartLog());
    EXPECT_TRUE(view->IsLogging());
    EXPECT_EQ(view->GetLogPath(), CString(u"\\My Documents\\Velko\\LogData003.txt"));
    EXPECT_EQ(root.Read("My Documents/Velko/LogData003.txt"), kStart);
    // A second start while the log is open makes no other file.
    EXPECT_FALSE(view->StartLog());
    EXPECT_FALSE(root.Exists("My Documents/Velko/LogData004.txt"));

    CMainViewPosition reader(*view);
    reader.AppendLog("$GPGGA,1", 8);
    reader.AppendLog("23\r\n", 4);
    reader.StopLog();
    EXPECT_FALSE(view->IsLogging());
    EXPECT_EQ(root.Read("My Documents/Velko/LogData003.txt"), kStart + "$GPGGA,123\r\n");
    // Closed: the reader's bytes go nowhere, and a second stop says logging was off.
    reader.AppendLog("late", 4);
    EXPECT_EQ(root.Read("My Documents/Velko/LogData003.txt"), kStart + "$GPGGA,123\r\n");
    EXPECT_FALSE(view->StopLog());
    // The untouched files keep what they held.
    EXPECT_EQ(root.Read("My Documents/Velko/LogData001.txt"), "old");
}

TEST_F(MainViewLogTest, ThePanelChoosesTheFolderAndAFolderThatCannotBeWrittenLeavesLoggingOff) {
    CMainViewPosition reader(*view);
    EXPECT_FALSE(reader.LoggingWanted());
    view->SetLoggingWanted(true);
    EXPECT_TRUE(reader.LoggingWanted());
    view->SetLogPlace(1);
    ASSERT_TRUE(reader.StartLog());
    EXPECT_EQ(root.Read("Storage Card/MapData/LogData000.txt"), kStart);
    reader.StopLog();

    std::filesystem::remove_all(root.Host("My Documents"));
    view->SetLogPlace(0);
    EXPECT_FALSE(view->StartLog());
    EXPECT_FALSE(view->IsLogging());
}

TEST_F(MainViewLogTest, ThePanelFiguresAreFreeBytesAndAFailedQueryKeepsTheLastOne) {
    view->SetLogPlace(1);
    view->UpdateLogPanelMemory();
    const CMainView::LogPanelFigures first = view->GetLogPanelFigures();
    EXPECT_GT(first.memoryFree, 0u);
    EXPECT_GT(first.cardFree, 0u);
    EXPECT_EQ(first.place, 1);
    EXPECT_FALSE(first.logging);

    // The card gone: its figure stays, the rest is taken again.
    std::filesystem::remove_all(root.Host("Storage Card"));
    view->SetLogPlace(0);
    view->UpdateLogPanelMemory();
    EXPECT_EQ(view->GetLogPanelFigures().cardFree, first.cardFree);
    EXPECT_EQ(view->GetLogPanelFigures().place, 0);

    // While the panel is up it keeps what it shows.
    view->SetLogPanelOpen(true);
    view->SetLogPlace(1);
    view->UpdateLogPanelMemory();
    EXPECT_EQ(view->GetLogPanelFigures().place, 0);
}

// The GPS reader appends whole reads on its thread while the log is stopped and started again
// from another: every read lands whole in one file or in none, and nothing is written to a file
// being closed.
TEST_F(MainViewLogTest, StoppingTheLogWhileTheReaderWritesLosesNoReadHalfWay) {
    CMainViewPosition reader(*view);
    ASSERT_TRUE(reader.StartLog());
    const std::string chunk = "$GPRMC,123519,A,4807.038,N,01131.000,E*6A\r\n";
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::thread gps([&] {
        while (!stop.load()) {
            reader.AppendLog(chunk.data(), static_cast<int>(chunk.size()));
            ++reads;
        }
    });
    for (int i = 0; i < 20; ++i) {
        while (reads.load() < (i + 1) * 20) std::this_thread::yield();
        reader.StopLog();
        ASSERT_TRUE(reader.StartLog());
    }
    stop = true;
    gps.join();
    reader.StopLog();

    int files = 0;
    for (int n = 0; n < 21; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "My Documents/Velko/LogData%03d.txt", n);
        if (!root.Exists(name)) continue;
        ++files;
        const std::string text = root.Read(name);
        ASSERT_GE(text.size(), kStart.size()) << name;
        EXPECT_EQ(text.substr(0, kStart.size()), kStart) << name;
        EXPECT_EQ((text.size() - kStart.size()) % chunk.size(), 0u) << name;
    }
    EXPECT_EQ(files, 21);
}

// The GPS reader's shell with the view's log answers (everything else recorded as in the
// reader's own tests).
class ViewLogShell : public RecordingShell {
public:
    explicit ViewLogShell(CMainViewPosition& view) : m_view(view) {}
    bool LoggingWanted() override { return m_view.LoggingWanted(); }
    bool StartLog() override { return m_view.StartLog(); }
    void StopLog() override { m_view.StopLog(); }
    void AppendLog(const char* bytes, int count) override { m_view.AppendLog(bytes, count); }

private:
    CMainViewPosition& m_view;
};

// The reader itself, on a receiver line in hosted time: it opens the log when the panel asks for
// one, writes every read into it and closes it when the panel stops it.
TEST_F(MainViewLogTest, TheGpsReaderLogsWhatItReadsWhileThePanelAsks) {
    SimulatedClock clock;
    clock.SetHosted(true);
    InstallClock(&clock);
    PseudoTerminal line;
    DeviceRoot::OverrideSetting("com2", line.DevicePath());
    CMainViewPosition answers(*view);
    ViewLogShell shell(answers);
    shell.settings[28] = 1;
    CPositionWorkers workers(shell);
    workers.SelectReceiverMode();
    clock.AddWorker();
    std::thread reader([&] {
        workers.GpsReaderThread();
        clock.RemoveWorker();
    });
    ASSERT_TRUE(clock.WaitQuiet(10000));
    auto feed = [&](const std::string& bytes) {
        const std::size_t before = line.DeviceQueued();
        ASSERT_EQ(line.Write(bytes.data(), bytes.size()), bytes.size());
        ASSERT_TRUE(line.WaitDeviceQueued(before + bytes.size(), 2000));
        clock.RunFor(500);
    };
    const std::string log = "My Documents/Velko/LogData000.txt";

    feed("$GPGSA,before*00\r\n");
    EXPECT_FALSE(root.Exists(log));
    view->SetLoggingWanted(true);
    clock.RunFor(300);
    EXPECT_TRUE(view->IsLogging());
    feed("$GPGSA,during*00\r\n");
    EXPECT_EQ(root.Read(log), kStart + "$GPGSA,during*00\r\n");
    view->SetLoggingWanted(false);
    clock.RunFor(300);
    EXPECT_FALSE(view->IsLogging());
    feed("$GPGSA,after*00\r\n");
    EXPECT_EQ(root.Read(log), kStart + "$GPGSA,during*00\r\n");

    workers.Stop().Signal();
    reader.join();
    InstallClock(nullptr);
    DeviceRoot::ClearOverrides();
}

} // namespace
