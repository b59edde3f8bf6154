#include "platform/base/Clock.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/Script.h"
#include "platform/threads/Threads.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(Script, ParsesEveryCommand) {
    const std::string text = "# comment\n"
                             "tap 10 20\n"
                             "pen down 1 2\npen move 3 4\npen up 5 6\n"
                             "key app1\nkey a down\nkey 0x25 up\n"
                             "text \"가 \\\"b\\\"\"\n"
                             "wait 100   # trailing comment\n"
                             "snapshot step-1.a\n"
                             "answer no\nanswer 4001\n"
                             "serial feed COM3 gps.nmea\n"
                             "activate \"Velko UI demo\"\n"
                             "quit\n";
    std::vector<ScriptCommand> c;
    std::string error;
    ASSERT_TRUE(ParseScript(text, "/s", c, &error)) << error;
    ASSERT_EQ(c.size(), 15u);
    using K = ScriptCommand::Kind;
    EXPECT_EQ(c[0].kind, K::Tap);
    EXPECT_EQ(c[0].x, 10);
    EXPECT_EQ(c[0].y, 20);
    EXPECT_EQ(c[0].line, 2);
    EXPECT_EQ(c[3].kind, K::PenUp);
    EXPECT_EQ(c[3].y, 6);
    EXPECT_EQ(c[4].vk, VK_APP1);
    EXPECT_EQ(c[4].keyMode, ScriptCommand::KeyMode::Press);
    EXPECT_EQ(c[5].vk, 'A');
    EXPECT_EQ(c[5].keyMode, ScriptCommand::KeyMode::Down);
    EXPECT_EQ(c[6].vk, VK_LEFT);
    EXPECT_EQ(c[6].keyMode, ScriptCommand::KeyMode::Up);
    EXPECT_EQ(c[7].text, u"가 \"b\"");
    EXPECT_EQ(c[8].ms, 100u);
    EXPECT_EQ(c[9].name, "step-1.a");
    EXPECT_EQ(c[10].answer, IDNO);
    EXPECT_EQ(c[11].answer, 4001);
    EXPECT_EQ(c[12].port, 3);
    EXPECT_EQ(c[12].file, "/s/gps.nmea");
    EXPECT_EQ(c[13].name, "Velko UI demo");
    EXPECT_EQ(c[14].kind, K::Quit);
}

TEST(Script, BrokenLinesAreReportedWithTheirNumber) {
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {"tap 10", "line 2: tap needs X Y"},
        {"tap x 10", "line 2: tap needs X Y"},
        {"pen sideways 1 2", "line 2: pen needs down, move or up"},
        {"key NOSUCHKEY", "line 2: unknown key NOSUCHKEY"},
        {"key a sideways", "line 2: key mode must be down or up"},
        {"text unquoted", "line 2: text needs one quoted text"},
        {"text \"open", "line 2: unterminated quoted text"},
        {"wait -5", "line 2: wait needs milliseconds"},
        {"snapshot ../../etc/passwd", "line 2: snapshot needs a NAME of letters, digits, - _ ."},
        {"answer perhaps", "line 2: unknown answer perhaps"},
        {"serial feed LPT1 f", "line 2: serial feed needs a port COM1 .. COM99"},
        {"fly away", "line 2: unknown command fly"},
    };
    for (const auto& c : cases) {
        std::vector<ScriptCommand> out;
        std::string error;
        EXPECT_FALSE(ParseScript(std::string("wait 1\n") + c.line + "\n", "", out, &error)) << c.line;
        EXPECT_EQ(error, c.expected);
    }
}

TEST(Script, LoadStopsReadingAtTheSizeLimit) {
    const std::string dir = ::testing::TempDir() + "velko-script-load-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string big = dir + "/big.txt";
    {
        // 4 MiB of comment lines and one more: just over the limit.
        std::ofstream out(big, std::ios::binary);
        const std::string line(63, '#');
        for (int i = 0; i < (4 << 20) / 64; ++i) out << line << '\n';
        out << "quit\n";
    }
    std::vector<ScriptCommand> out;
    std::string error;
    EXPECT_FALSE(LoadScript(big, out, &error));
    EXPECT_EQ(error.rfind("script too large: " + big + ": ", 0), 0u) << error;
    // A device that never ends, a folder or a pipe is refused before anything is read.
    ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), dir, dir + "/pipe"}) {
        error.clear();
        EXPECT_FALSE(LoadScript(path, out, &error)) << path;
        EXPECT_EQ(error.rfind("cannot read the script " + path + ": is a ", 0), 0u) << error;
    }
    // A script under the limit loads, and its files are found beside it.
    {
        std::ofstream small(dir + "/small.txt", std::ios::binary);
        small << "tap 1 2\r\nserial feed COM1 gps.nmea\r\n";
    }
    error.clear();
    ASSERT_TRUE(LoadScript(dir + "/small.txt", out, &error)) << error;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].file, dir + "/gps.nmea");
    std::filesystem::remove_all(dir);
}

// A window that opens a modal loop as soon as it is tapped.
LRESULT ModalOnTap(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        HWND dialog = CreateWindowExW(0, u"ModalOnTap", u"dlg", WS_POPUP, 0, 0, 50, 50, hwnd, nullptr,
                                      nullptr, nullptr);
        RunModalLoop(dialog, hwnd);
        DestroyWindow(dialog);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(HeadlessHost, ModalLoopWaitingForInputTheScriptDoesNotGiveFailsTheRun) {
    const auto dir = std::filesystem::temp_directory_path() / ("velko-host-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    { std::ofstream(dir / "s.txt") << "tap 100 100\nwait 10\n"; }
    WNDCLASSW wc;
    wc.lpfnWndProc = ModalOnTap;
    wc.lpszClassName = u"ModalOnTap";
    RegisterClassW(&wc);
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    const int code = host.Run([] {
        CreateWindowExW(0, u"ModalOnTap", u"app", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                        nullptr, nullptr);
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        return static_cast<int>(m.wParam);
    });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(host.Failure(), "the script ended while a modal loop waits for input");
    std::ifstream log(dir / "out" / "host.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("FAILURE\tthe script ended while a modal loop waits for input"), std::string::npos);
    WinResetForTests();
    std::filesystem::remove_all(dir);
}

TEST(HeadlessHost, UnansweredMessageBoxFailsTheRunAndIsLogged) {
    const auto dir = std::filesystem::temp_directory_path() / ("velko-host-mb-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    { std::ofstream(dir / "s.txt") << "answer yes\nwait 5\n"; }
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    int first = 0;
    int second = 0;
    const int code = host.Run([&] {
        MSG m;
        // The boxes come from a timer inside the script's wait, after its answer was given.
        const UINT_PTR timer = SetTimer(nullptr, 0, 3, nullptr);
        while (GetMessageW(&m, nullptr, 0, 0)) {
            if (m.message == WM_TIMER && !first) {
                KillTimer(nullptr, timer);
                first = MessageBoxW(nullptr, u"하나", u"cap", MB_YESNO);
                second = MessageBoxW(nullptr, u"둘", u"cap", MB_YESNO);
            }
            DispatchMessageW(&m); // the shell stand-ins paint
        }
        return 0;
    });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(first, IDYES);
    EXPECT_EQ(second, IDCANCEL);
    std::ifstream log(dir / "out" / "msgbox.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("\tcap\t하나\t0004\t6\n"), std::string::npos) << all;
    EXPECT_NE(all.find("\tcap\t둘\t0004\tunanswered\n"), std::string::npos) << all;
    WinResetForTests();
    std::filesystem::remove_all(dir);
}

TEST(HeadlessHost, AnswersAtTheScriptsHeadReachBoxesBeforeTheLoop) {
    const auto dir = std::filesystem::temp_directory_path() / ("velko-host-head-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // The first two answers lead the script; the third comes after a wait, too late for a box
    // shown before the message loop runs.
    { std::ofstream(dir / "s.txt") << "answer no\nanswer yes\nwait 5\nanswer no\n"; }
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    int answers[3] = {};
    const int code = host.Run([&] {
        // A program's start-up: boxes before any message is fetched.
        answers[0] = MessageBoxW(nullptr, u"하나", u"cap", MB_YESNO);
        answers[1] = MessageBoxW(nullptr, u"둘", u"cap", MB_YESNO);
        answers[2] = MessageBoxW(nullptr, u"셋", u"cap", MB_YESNO);
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) DispatchMessageW(&m);
        return 0;
    });
    EXPECT_EQ(answers[0], IDNO);
    EXPECT_EQ(answers[1], IDYES);
    EXPECT_EQ(answers[2], IDCANCEL);
    EXPECT_EQ(code, 3); // the third box had no answer yet
    WinResetForTests();
    std::filesystem::remove_all(dir);
}

TEST(HeadlessHost, FeedingAPipeFailsTheRunWithoutWaiting) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("velko-host-pipe-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string pipe = (dir / "gps.nmea").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    { std::ofstream(dir / "s.txt") << "serial feed COM7 gps.nmea\nwait 5\n"; }
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    // Should the feed wait on the pipe, a writer opened and closed here lets it go on.
    std::atomic<bool> finished{false};
    std::atomic<bool> released{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 500 && !finished.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (finished.load()) return;
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            released = true;
            ::close(writer);
        }
    });
    const int code = host.Run([] {
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) DispatchMessageW(&m);
        return static_cast<int>(m.wParam);
    });
    finished = true;
    watchdog.join();
    EXPECT_FALSE(released.load()) << "the feed waited on the pipe";
    EXPECT_EQ(code, 3);
    EXPECT_EQ(host.Failure(), "line 1: cannot read " + pipe);
    WinResetForTests();
    std::filesystem::remove_all(dir);
}

} // namespace

// A worker that sleeps in a loop waits for the script's time instead of moving it: after the
// script's one second the clock has moved one second, and the worker has had each of its 100 ms
// turns on the way.
TEST(HeadlessHost, WorkersSleepInTheScriptsTimeWithoutMovingIt) {
    const auto dir = std::filesystem::temp_directory_path() / ("velko-host-time-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    { std::ofstream(dir / "s.txt") << "wait 1000\nquit\n"; }
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    std::int64_t startUtc = 0, endUtc = 0;
    std::atomic<int> turns{0};
    const int code = host.Run([&] {
        startUtc = TheClock().UtcMilliseconds();
        StopSignal stop;
        auto* clock = dynamic_cast<SimulatedClock*>(&TheClock());
        if (clock) clock->AddWorker();
        std::thread worker([&] {
            while (stop.Sleep(100)) ++turns;
            if (clock) clock->RemoveWorker();
        });
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) DispatchMessageW(&m);
        endUtc = TheClock().UtcMilliseconds();
        stop.Signal();
        worker.join();
        return 0;
    });
    EXPECT_EQ(code, 0) << host.Failure();
    EXPECT_EQ(endUtc - startUtc, 1000);
    // Its turns at 100 to 900 ms came before the wait ended; the one at 1000 ms races the quit.
    EXPECT_GE(turns.load(), 9);
    EXPECT_LE(turns.load(), 10);
    WinResetForTests();
    std::filesystem::remove_all(dir);
}

namespace {

std::vector<std::uint64_t> g_tapTicks;

LRESULT RecordTaps(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONUP) g_tapTicks.push_back(TheClock().TickCount());
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

// A loop of the user-interface thread's own (it pumps its messages and sleeps 700 ms a turn, as
// the simulated drive does) never idles in GetMessage: the script still goes on in its sleeps,
// and its taps, waits and frames keep the script's time.
TEST(HeadlessHost, TheScriptGoesOnWhileTheUiThreadSleepsInALoopOfItsOwn) {
    const auto dir = std::filesystem::temp_directory_path() / ("velko-host-loop-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    { std::ofstream(dir / "s.txt") << "wait 1000\ntap 50 60\nsnapshot during\nwait 2000\ntap 70 80\n"; }
    WNDCLASSW wc;
    wc.lpfnWndProc = RecordTaps;
    wc.lpszClassName = u"RecordTaps";
    RegisterClassW(&wc);
    HostOptions options;
    options.script = (dir / "s.txt").string();
    options.outDir = (dir / "out").string();
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    g_tapTicks.clear();
    std::uint64_t start = 0, loopEnd = 0;
    const int code = host.Run([&] {
        CreateWindowExW(0, u"RecordTaps", u"app", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                        nullptr);
        start = TheClock().TickCount();
        MSG m;
        for (int turn = 0; turn < 10; ++turn) {
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            SleepInLoop(700);
        }
        loopEnd = TheClock().TickCount();
        while (GetMessageW(&m, nullptr, 0, 0)) DispatchMessageW(&m);
        return 0;
    });
    EXPECT_EQ(code, 0) << host.Failure();
    // Ten turns of 700 ms, however the script's commands fell into them.
    EXPECT_EQ(loopEnd - start, 7000u);
    // The first tap falls due at 1000 ms, inside the second turn's sleep, and is handled by the
    // third turn's pump at 1400; the frame and the next wait come in that turn's sleep, so the
    // second tap falls due at 3400 and is handled at the turn of 3500.
    ASSERT_EQ(g_tapTicks.size(), 2u);
    EXPECT_EQ(g_tapTicks[0] - start, 1400u);
    EXPECT_EQ(g_tapTicks[1] - start, 3500u);
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "frames" / "during.png"));
    std::ifstream log(dir / "out" / "host.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    // The frame comes in the turn after the tap, when its messages were handled (tick 1400).
    EXPECT_NE(all.find(std::to_string(start + 1400) + "\tsnapshot "), std::string::npos) << all;
    WinResetForTests();
    std::filesystem::remove_all(dir);
}
