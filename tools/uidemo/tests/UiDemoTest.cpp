// Runs velko-uidemo in the headless host (and, when SDL can start, in the SDL host under the
// offscreen video driver) with the walk-through script and checks what the demo and the host
// recorded: events, message boxes, sounds and frames.
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Event {
    unsigned long long tick;
    std::string text;
};

std::vector<Event> ReadEvents(const std::string& path) {
    std::vector<Event> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        out.push_back(Event{std::stoull(line.substr(0, tab)), line.substr(tab + 1)});
    }
    return out;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int RunDemo(const std::string& args, const std::string& env = "") {
    const std::string command = env + " " + UIDEMO_PATH + " " + args + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Index of the first event whose text starts with prefix, at or after from; -1 when none.
int FindEvent(const std::vector<Event>& events, const std::string& prefix, int from = 0) {
    for (int i = from; i < static_cast<int>(events.size()); ++i)
        if (events[static_cast<std::size_t>(i)].text.rfind(prefix, 0) == 0) return i;
    return -1;
}

std::uint32_t Pixel(const GdiRgbaImage& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x] & 0xFFFFFFu;
}

class UiDemoHeadless : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_out = (fs::temp_directory_path() / ("velko-uidemo-" + std::to_string(::getpid()))).string();
        fs::remove_all(s_out);
        s_exit = RunDemo("--headless " + std::string(UIDEMO_SCRIPTS) + "/demo.script --out " + s_out);
        s_events = ReadEvents(s_out + "/events.log");
    }
    static void TearDownTestSuite() { fs::remove_all(s_out); }
    static std::string s_out;
    static int s_exit;
    static std::vector<Event> s_events;
};
std::string UiDemoHeadless::s_out;
int UiDemoHeadless::s_exit = -1;
std::vector<Event> UiDemoHeadless::s_events;

TEST_F(UiDemoHeadless, RunEndsWithTheQuitCodePostedInsideTheDialog) {
    // The dialog's WM_QUIT (code 7) ended its modal loop, was posted again and ended the program.
    EXPECT_EQ(s_exit, 7);
    const int quit = FindEvent(s_events, "DIALOG QUIT");
    ASSERT_GE(quit, 0);
    const int end = FindEvent(s_events, "DIALOG END result=-1", quit);
    ASSERT_GT(end, quit);
    EXPECT_GT(FindEvent(s_events, "EXIT code=7", end), end);
    EXPECT_EQ(ReadAll(s_out + "/host.log").find("FAILED"), std::string::npos);
}

TEST_F(UiDemoHeadless, TimerFiresEveryPeriodAndInsideTheModalLoop) {
    const int start = FindEvent(s_events, "TIMER START");
    ASSERT_GE(start, 0);
    const unsigned long long t0 = s_events[static_cast<std::size_t>(start)].tick;
    // Due at t0+20, 40, 60, 80 and exactly t0+100: five, before the dialog opens.
    std::vector<unsigned long long> before;
    const int open = FindEvent(s_events, "DIALOG OPEN");
    ASSERT_GT(open, start);
    for (int i = start; i < open; ++i)
        if (s_events[static_cast<std::size_t>(i)].text.rfind("TIMER 1000", 0) == 0)
            before.push_back(s_events[static_cast<std::size_t>(i)].tick - t0);
    EXPECT_EQ(before, (std::vector<unsigned long long>{20, 40, 60, 80, 100}));
    // The 40 ms wait inside the dialog: two more, flagged as inside the modal loop.
    const int end = FindEvent(s_events, "DIALOG END result=1", open);
    ASSERT_GT(end, open);
    int modal = 0;
    for (int i = open; i < end; ++i)
        if (s_events[static_cast<std::size_t>(i)].text.rfind("TIMER 1000", 0) == 0) {
            EXPECT_NE(s_events[static_cast<std::size_t>(i)].text.find("modal=1"), std::string::npos);
            ++modal;
        }
    EXPECT_EQ(modal, 2);
}

// Ten minutes of waiting with the timer running: 30,000 ticks, all counted, but the log keeps the
// first hundred and then every thousandth, not one line each.
TEST(UiDemoLongWait, TimerTicksAreLoggedCompactly) {
    const std::string out =
        (fs::temp_directory_path() / ("velko-uidemo-wait-" + std::to_string(::getpid()))).string();
    fs::remove_all(out);
    fs::create_directories(out);
    {
        std::ofstream script(out + "/wait.script");
        script << "key T\nwait 600000\nkey K\n";
    }
    ASSERT_EQ(RunDemo("--headless " + out + "/wait.script --out " + out), 0);
    const std::vector<Event> events = ReadEvents(out + "/events.log");
    EXPECT_GE(FindEvent(events, "TIMER STOP n=30000"), 0);
    int ticks = 0;
    for (const Event& e : events)
        if (e.text.rfind("TIMER 1000 ", 0) == 0) ++ticks;
    EXPECT_EQ(ticks, 100 + 30); // 1-100, then 1000, 2000, ..., 30000
    EXPECT_GE(FindEvent(events, "TIMER 1000 n=30000 "), 0);
    EXPECT_LT(fs::file_size(out + "/events.log"), 64u * 1024);
    fs::remove_all(out);
}

TEST_F(UiDemoHeadless, TapsReachTheWindowUnderThePenButNotTheDisabledOwner) {
    const int open = FindEvent(s_events, "DIALOG OPEN");
    const int end = FindEvent(s_events, "DIALOG END result=1");
    ASSERT_GT(end, open);
    // (10,10) lies on the view behind the dialog: the tap was dropped.
    EXPECT_EQ(FindEvent(s_events, "VIEW TAP 10 10"), -1);
    EXPECT_NE(ReadAll(s_out + "/host.log").find("tap 10 10 (dropped)"), std::string::npos);
    // (50,90) is (20,10) in the dialog's client area.
    const int tap = FindEvent(s_events, "DIALOG TAP 20 10", open);
    EXPECT_GT(tap, open);
    EXPECT_LT(tap, end);
    // The popup's plus shape: (65,105) is its corner (5,5), outside the region, so the view
    // below gets it; (120,160) is the middle, (60,60) in the popup.
    EXPECT_GE(FindEvent(s_events, "VIEW TAP 65 105"), 0);
    EXPECT_GE(FindEvent(s_events, "POPUP TAP 60 60"), 0);
}

TEST_F(UiDemoHeadless, ActivationCarriesStateAndOtherWindowAndShellFollows) {
    // Dialog: the frame goes inactive for it and comes back active from it.
    EXPECT_GE(FindEvent(s_events, "FRAME ACTIVATE state=0 other=Dialog"), 0);
    EXPECT_GE(FindEvent(s_events, "FRAME ACTIVATE state=1 other=Dialog"), 0);
    // A tap on the view while the popup was active: click activation, the popup as the other.
    EXPECT_GE(FindEvent(s_events, "FRAME ACTIVATE state=2 other=AfxWnd"), 0);
    // Switching away: the taskbar and the input-panel button come back and the frame shrinks
    // below the taskbar; switching back hides them and the frame takes the whole screen.
    const int away = FindEvent(s_events, "FRAME ACTIVATE state=0 other=DesktopExplorerWindow");
    ASSERT_GE(away, 0);
    EXPECT_EQ(s_events[static_cast<std::size_t>(away + 1)].text,
              "SHELL HHTaskbar=shown@0,0,240,26 MS_SIPBUTTON=shown@204,295,240,319 "
              "SipWndClass=hidden@0,214,240,294 frame=0,26,240,320");
    const int back = FindEvent(s_events, "FRAME ACTIVATE state=1 other=DesktopExplorerWindow", away);
    ASSERT_GT(back, away);
    EXPECT_EQ(s_events[static_cast<std::size_t>(back + 1)].text,
              "SHELL HHTaskbar=hidden@0,0,240,26 MS_SIPBUTTON=hidden@204,295,240,319 "
              "SipWndClass=hidden@0,214,240,294 frame=0,0,240,320");
}

TEST_F(UiDemoHeadless, WorkerThreadTalksToTheUiThreadOnlyThroughMessages) {
    const int start = FindEvent(s_events, "WORKER start");
    ASSERT_GE(start, 0);
    EXPECT_GE(FindEvent(s_events, "ASK from worker 21 ui=1", start), 0);
    EXPECT_GE(FindEvent(s_events, "WORKER answer=42", start), 0);
    // keybd_event from the worker: Shift held, then Z, on the UI thread; the character is 'Z' (90).
    const int z = FindEvent(s_events, "VIEW KEYDOWN 90 shift=1 ui=1", start);
    ASSERT_GT(z, start);
    EXPECT_EQ(s_events[static_cast<std::size_t>(z + 1)].text, "VIEW CHAR 90");
    EXPECT_GE(FindEvent(s_events, "PAINT after worker request ui=1", start), 0);
}

TEST_F(UiDemoHeadless, PaintingAndSelfDestructionBehave) {
    EXPECT_GE(FindEvent(s_events, "UPDATE paints=1"), 0);
    const int bye = FindEvent(s_events, "SELFDESTROY tap");
    ASSERT_GE(bye, 0);
    EXPECT_EQ(s_events[static_cast<std::size_t>(bye + 1)].text, "SELFDESTROY done alive=0");
    EXPECT_GE(FindEvent(s_events, "VIEW TAP 200 80", bye), 0);
}

TEST_F(UiDemoHeadless, MessageBoxAndSoundAreLogged) {
    EXPECT_GE(FindEvent(s_events, "MSGBOX answer=7"), 0);
    const std::string boxes = ReadAll(s_out + "/msgbox.log");
    EXPECT_NE(boxes.find("\tVelko UI demo\t경로를 이탈 하였습니다. 계속하시겠습니까?\t0024\t7\n"),
              std::string::npos);
    // The tone: 200 ms of mono 16-bit samples at 22050 per second is 4410 samples, 8820 bytes,
    // plus the 44-byte header; it was freed by the demo right after PlaySound.
    const int sound = FindEvent(s_events, "SOUND ok=1 hash=");
    ASSERT_GE(sound, 0);
    const std::string hash =
        s_events[static_cast<std::size_t>(sound)].text.substr(std::string("SOUND ok=1 hash=").size());
    const std::string sounds = ReadAll(s_out + "/sounds.log");
    EXPECT_NE(sounds.find("\tmemory\t8864\t200\t00000007\t" + hash + "\n"), std::string::npos) << sounds;
}

TEST_F(UiDemoHeadless, FramesShowEachStep) {
    struct Probe {
        const char* frame;
        int x, y;
        std::uint32_t rgb;
    };
    const Probe probes[] = {
        {"start", 5, 60, 0xF0F8FF},    // the view's background
        {"timer", 9, 31, 0x0080FF},    // the first timer block
        {"dialog", 35, 120, 0xE6E6FA}, // the dialog's face
        {"dialog", 50, 210, 0x00A000}, // its OK box
        {"popup", 100, 120, 0xFF8C00}, // inside the popup's plus shape
        {"popup", 62, 102, 0xF0F8FF},  // its cut corner shows the view
        {"away", 5, 5, 0x000080},      // the taskbar over the desktop
        {"away", 120, 160, 0x006080},  // the desktop
        {"back", 5, 5, 0xF0F8FF},      // the demo, full screen again
    };
    for (const Probe& p : probes) {
        GdiRgbaImage image;
        ASSERT_TRUE(GdiLoadPng(s_out + "/frames/" + p.frame + ".png", image)) << p.frame;
        ASSERT_EQ(image.width, 240);
        ASSERT_EQ(image.height, 320);
        EXPECT_EQ(Pixel(image, p.x, p.y), p.rgb) << p.frame << " at " << p.x << "," << p.y;
    }
}

TEST(UiDemoHosts, SdlFrameEqualsHeadlessFrame) {
    const std::string base =
        (fs::temp_directory_path() / ("velko-uidemo-sdl-" + std::to_string(::getpid()))).string();
    fs::remove_all(base);
    const std::string script = std::string(UIDEMO_SCRIPTS) + "/demo.script";
    ASSERT_EQ(RunDemo("--headless " + script + " --out " + base + "/headless"), 7);
    const int sdl = RunDemo("--script " + script + " --no-audio --out " + base + "/sdl",
                            // SDL's own video and audio drivers keep allocations to the end of the process.
                            "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0");
    if (sdl == 2) {
        fs::remove_all(base);
        GTEST_SKIP() << "SDL cannot start its offscreen video driver here";
    }
    ASSERT_EQ(sdl, 7);
    for (const char* frame : {"start", "timer", "dialog", "worker", "popup", "away", "back"}) {
        GdiRgbaImage a;
        GdiRgbaImage b;
        ASSERT_TRUE(GdiLoadPng(base + "/headless/frames/" + frame + ".png", a)) << frame;
        ASSERT_TRUE(GdiLoadPng(base + "/sdl/frames/" + frame + ".png", b)) << frame;
        ASSERT_EQ(a.width, b.width);
        ASSERT_EQ(a.height, b.height);
        int differing = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i) differing += (a.pixels[i] != b.pixels[i]);
        EXPECT_EQ(differing, 0) << frame;
    }
    fs::remove_all(base);
}

// The controls dialog walk-through: each step of the script leaves its event, in order.
TEST(UiDemoControls, ScriptedRunReachesEveryControlSheetAndMessageBox) {
    const std::string out =
        (fs::temp_directory_path() / ("velko-uidemo-ctl-" + std::to_string(::getpid()))).string();
    fs::remove_all(out);
    ASSERT_EQ(RunDemo("--headless " + std::string(UIDEMO_SCRIPTS) + "/controls.script --out " + out), 0);
    std::vector<std::string> steps;
    for (const Event& e : ReadEvents(out + "/events.log")) {
        const std::string& t = e.text;
        if (t.rfind("TIMER", 0) == 0 || t.rfind("FRAME", 0) == 0 || t.rfind("SHELL", 0) == 0 ||
            t.rfind("VIEW", 0) == 0 || t.rfind("START", 0) == 0 || t.rfind("HOTKEY", 0) == 0)
            continue;
        steps.push_back(t);
    }
    const std::vector<std::string> expected = {
        "CONTROLS OPEN",
        // 20-pixel rows (twice the 10-pixel text); 100 - 2 border - 16 header leave 4 whole rows.
        "ROWS height 20 per page 4",
        // Template order from the real field, skipping the second radio button (no tab stop),
        // the static text and the tab strip, wrapping after the last button.
        "TAB focus 1103", "TAB focus 1104", "TAB focus 1105", "TAB focus 1108", "TAB focus 1109",
        "TAB focus 1110", "TAB focus 1111", "TAB focus 1113", "TAB focus 1114", "TAB focus 1115",
        "TAB focus 1101", "TAB focus 1102", "LIST data 12", "COMBO selchange 2", "ROWS selected 3 data 203",
        "ROWS top 4", // 80 pixels of 20-pixel rows
        "SLIDER pen down first",
        // 220-pixel bar: channel 202, pen at 110 - 9 = 101 pixels in: 50.
        "HSCROLL 5 50", "SLIDER pen outside, captured", "SLIDER pen outside, captured", "HSCROLL 5 100",
        "HSCROLL 4 100", "HSCROLL 8 100", "SHEET OPEN", "PAGE A set active", "PAGE A kill active",
        "PAGE B set active", "PAGE B scroll 5 50", "PAGE B scroll 4 50", "PAGE B scroll 8 50",
        "SHEET END result=2", "ASK answer 6",
        // "12a3" in the number field is 123 (the letter refused); 2.5 came through the real field.
        "OK number=123 real=2.500000", "CONTROLS END result=1 rows deleted 30", "CONTROLS OPEN",
        "ROWS height 20 per page 4", "CANCEL", "CONTROLS END result=2 rows deleted 30", "EXIT code=0"};
    // The first Tab (from the number field to the real field) comes before the walk.
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[2], "TAB focus 1102");
    steps.erase(steps.begin() + 2);
    EXPECT_EQ(steps, expected);
    EXPECT_NE(ReadAll(out + "/msgbox.log").find("\t6"), std::string::npos);
    for (const char* frame : {"controls-open", "controls-combo", "controls-rows", "sheet-second"})
        EXPECT_TRUE(fs::exists(out + "/frames/" + frame + ".png")) << frame;
    // The nested message box was on the screen, over the dialog, when the script answered it:
    // its caption bar (the active-caption colour) crosses the middle column.
    GdiRgbaImage box;
    GdiRgbaImage after;
    ASSERT_TRUE(GdiLoadPng(out + "/frames/msgbox-1.png", box));
    ASSERT_TRUE(GdiLoadPng(out + "/frames/controls-closed.png", after));
    const std::uint32_t caption = [] {
        const COLORREF c = GetSysColor(COLOR_ACTIVECAPTION);
        return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
    }();
    auto rowsOfCaption = [&](const GdiRgbaImage& image) {
        int n = 0;
        for (int y = 30; y < 290; ++y) n += Pixel(image, 120, y) == caption;
        return n;
    };
    EXPECT_EQ(rowsOfCaption(box), 15); // the 10-pixel line plus 6, less the box's 1-pixel frame
    EXPECT_EQ(rowsOfCaption(after), 0);
    fs::remove_all(out);
}

TEST(UiDemoControls, SdlFramesEqualHeadlessFrames) {
    const std::string base =
        (fs::temp_directory_path() / ("velko-uidemo-ctl-sdl-" + std::to_string(::getpid()))).string();
    fs::remove_all(base);
    const std::string script = std::string(UIDEMO_SCRIPTS) + "/controls.script";
    ASSERT_EQ(RunDemo("--headless " + script + " --out " + base + "/headless"), 0);
    const int sdl = RunDemo("--script " + script + " --no-audio --out " + base + "/sdl",
                            "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0");
    if (sdl == 2) {
        fs::remove_all(base);
        GTEST_SKIP() << "SDL cannot start its offscreen video driver here";
    }
    ASSERT_EQ(sdl, 0);
    for (const char* frame : {"controls-open", "controls-typed", "controls-combo", "controls-rows",
                              "controls-slider", "sheet-first", "sheet-second", "controls-closed"}) {
        GdiRgbaImage a;
        GdiRgbaImage b;
        ASSERT_TRUE(GdiLoadPng(base + "/headless/frames/" + frame + ".png", a)) << frame;
        ASSERT_TRUE(GdiLoadPng(base + "/sdl/frames/" + frame + ".png", b)) << frame;
        ASSERT_EQ(a.pixels.size(), b.pixels.size());
        int differing = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i) differing += (a.pixels[i] != b.pixels[i]);
        EXPECT_EQ(differing, 0) << frame;
    }
    fs::remove_all(base);
}

} // namespace
