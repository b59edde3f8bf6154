// velko-skinshot --root DIR --main [--state FILE] [--map] --out PNG [--dump] [--tap X,Y]... [--probe X,Y]...
// The main-screen controller on the device's skin, its controls set from a key=value state file,
// drawn over a plain background or, with --map, over the sample map (flat, level 11, by day). Each tap goes down as "LBUTTONDOWN" and up through OnTap, as the
// main view sends them; every command reaching the listener is printed as an event line; each probe
// prints the drawn colour at its point.
// velko-skinshot --root DIR --main [--state FILE] --script FILE --out DIR [--sdl]
// The same in a 240 x 320 view window under the headless (or SDL) host driven by the script: the
// pen goes down as "LBUTTONDOWN", a pen-up within 50 pixels of it is a tap; OUT/events.log gets
// every command reaching the listener, and "UIRefresh0" repaints the window.
//
// State keys (one a line, '#' starts a comment; repeated keys add):
//   mode=2004|2005|2006   start menu mode          menu=2004|2005|2006   the menu shown
//   page=NAME             advanced menu page       slot=S,E              my-menu slot S shows entry E
//   simulation=0|1        follow=0|1               reception=N           heading=0..36
//   route=ID,METRES,SECS  a route row              routeresult=0|1       route-result mode
//   waypoint=NAME         a waypoint               choose=N              waypoint N (1..5) chosen
//   event=TEXT            event text               eventkind=103|104|105
//   dest=METRES via=METRES viano=N routetime=SECS  the top bar's distances and time
//   near=NAME,METRES      the highway banner       poi=NAME              a nearby facility (two at most)
#include "tools/skinshot/MainMode.h"

#include "mapview/MapWnd.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/AfxGdi.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviSymbolManager.h"
#include "tools/mapshot/MapShotSetup.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCompass.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviGpsIcon.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/main/NaviRouteBars.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

constexpr const char16_t* kSkinFolder = u"\\Program Files\\Velko\\res";

int Usage() {
    std::fprintf(stderr, "usage: velko-skinshot --root DIR --main [--state FILE] (--out PNG [--dump] [--tap X,Y]... |\n"
                         "       --script FILE --out DIR [--sdl])\n");
    return 2;
}

std::string Utf8(const CString& text) {
    return Utf16ToUtf8(text.Str());
}

CString Wide(const std::string& text) {
    return CString(Utf8ToUtf16(text).c_str());
}

// Whole decimal numbers only, within int.
bool ToInt(const std::string& text, int& out) {
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool ToInts(const std::string& text, std::vector<int>& out, std::size_t count) {
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        int v = 0;
        if (!ToInt(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), v)) return false;
        out.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out.size() == count;
}

struct State {
    std::vector<std::pair<std::string, std::string>> items; // in file order
    int startMode = kCmdMenuAdvanced;
};

bool ReadState(const std::string& path, State& state) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("error=cannot read state file %s\n", path.c_str());
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::printf("error=state line %d is not key=value\n", number);
            return false;
        }
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "mode") {
            if (!ToInt(value, state.startMode)) {
                std::printf("error=state line %d: bad mode\n", number);
                return false;
            }
            continue;
        }
        state.items.emplace_back(std::move(key), std::move(value));
    }
    return true;
}

void Main(NaviMainScreen& screen, int id, int p1 = -1, int p2 = -1, const CString& text = CString()) {
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = id;
    cmd.param1 = p1;
    cmd.param2 = p2;
    cmd.text = text;
    screen.ProcessCommand(cmd);
}

// Applies the state; false (with an error line) on a bad value or an unknown key.
bool Apply(NaviMainScreen& screen, const State& state) {
    auto* waypoints = static_cast<NaviWaypointBar*>(screen.FindControl(u"경유지설정"));
    auto* trackBar = static_cast<NaviHighwayBar*>(screen.FindControl(u"TrackBar"));
    auto* poiBar = static_cast<NaviPoiBar*>(screen.FindControl(u"POIBAR"));
    auto* advanced = static_cast<NaviAdvancedMenu*>(screen.FindControl(u"NaviMenuAdv"));
    bool routes = false, routeResult = false, waypointsGiven = false;
    int choose = 0, eventKind = kCmdEventNormal, pois = 0, via = -1, viaNumber = 0;
    CString eventText;
    std::vector<int> v;
    for (const auto& [key, value] : state.items) {
        int n = 0;
        bool ok = true;
        if (key == "menu") ok = ToInt(value, n) && (screen.SetMenuMode(n), true);
        else if (key == "page") advanced->ShowPage(Wide(value));
        else if (key == "slot") ok = ToInts(value, v, 2) && (Main(screen, kCmdMyMenuSlot, v[0], v[1]), true);
        else if (key == "simulation") ok = ToInt(value, n) && (screen.SetSimulation(n != 0), true);
        else if (key == "follow") ok = ToInt(value, n) && (screen.SetFollowCar(n != 0), true);
        else if (key == "reception")
            ok = ToInt(value, n) && (static_cast<NaviGpsIcon*>(screen.FindControl(u"Gps"))->SetReception(n), true);
        else if (key == "heading")
            ok = ToInt(value, n) && (static_cast<NaviCompass*>(screen.FindControl(u"Compass"))->SetHeadingIndex(n), true);
        else if (key == "route") {
            ok = ToInts(value, v, 3) && v[0] >= 1 && v[0] <= 4;
            if (ok) {
                if (!routes) Main(screen, 2023);
                routes = true;
                Main(screen, v[0], v[1], v[2]);
            }
        } else if (key == "routeresult") ok = ToInt(value, n) && ((routeResult = n != 0), true);
        else if (key == "waypoint") {
            Main(screen, kCmdAddWaypoint, -1, -1, Wide(value));
            waypointsGiven = true;
        } else if (key == "choose") ok = ToInt(value, choose) && choose >= 1 && choose <= 5;
        else if (key == "event") eventText = Wide(value);
        else if (key == "eventkind") ok = ToInt(value, eventKind);
        else if (key == "dest" || key == "via" || key == "viano" || key == "routetime") {
            ok = ToInt(value, n);
            if (ok) {
                trackBar->SetVisible(true);
                if (key == "dest") trackBar->SetDistances(n, -1);
                else if (key == "via") via = n;
                else if (key == "viano") viaNumber = n;
                else trackBar->SetRouteTime(n);
            }
        } else if (key == "near") {
            const std::size_t comma = value.rfind(',');
            ok = comma != std::string::npos && ToInt(value.substr(comma + 1), n);
            if (ok) {
                trackBar->SetVisible(true);
                trackBar->SetNearFacilityName(Wide(value.substr(0, comma)), n);
            }
        } else if (key == "poi") {
            ok = pois < 2;
            if (ok) {
                MapFeatureInfo& e = poiBar->Entry(pois);
                const std::string cp = Utf16ToCp949(Utf8ToUtf16(value));
                e.distance = 10 * (pois + 1);
                std::strncpy(e.name, cp.c_str(), sizeof e.name - 1);
                e.screenX = 120 + 30 * pois;
                e.screenY = 180;
                ++pois;
                poiBar->SetSelection(0);
            }
        } else {
            std::printf("error=unknown state key %s\n", key.c_str());
            return false;
        }
        if (!ok) {
            std::printf("error=bad value for %s: %s\n", key.c_str(), value.c_str());
            return false;
        }
    }
    if (via >= 0) {
        trackBar->SetWaypoint(true, viaNumber);
        trackBar->SetDistances(-1, via);
    }
    if (!eventText.IsEmpty())
        static_cast<NaviEventText*>(screen.FindControl(u"EventString"))->SetText(eventText, eventKind);
    if (waypointsGiven) {
        NaviCommand show;
        show.target = kTargetWaypoints;
        waypoints->ProcessCommand(show);
        if (choose) {
            CString name;
            name.Format(u"경유지%d", choose);
            waypoints->SelectWaypoint(name);
        }
    }
    if (routes) Main(screen, 2022);
    if (routeResult) screen.SetRouteResultMode(true);
    return true;
}

class Printer : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        std::printf("event target=%s id=%d control=%s text=%s\n", Utf8(cmd.target).c_str(), cmd.id,
                    Utf8(cmd.control).c_str(), Utf8(cmd.text).c_str());
    }
};

class MapFrame : public CWnd {};

// The sample map as the main view shows it, its symbols drawn by the controller's symbol manager,
// copied into dc. False with an error line when the map data cannot be read.
bool DrawMap(NaviSymbolManager* symbols, HDC dc, int w, int h) {
    CMapShotSetup setup;
    std::string error;
    if (!setup.Load(u"\\Storage Card\\MapData", &error)) {
        std::printf("error=map: %s\n", error.c_str());
        return false;
    }
    MapFrame frame;
    auto* map = new CMapWnd;
    bool ok = frame.CreateEx(0, AfxRegisterWndClass(0), u"Velko", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr) &&
              map->Create(AfxRegisterWndClass(0), u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, w, h}, &frame, 111);
    if (ok) {
        map->SetStarSeed(1);
        map->SetSymbolManager(symbols);
        setup.SetViewMode(0);
        setup.OpenLayers(*map);
        setup.SetMapLevel(*map, 11);
        setup.ApplyColorScheme(*map, u"Color_주간.bin");
        const ViewBox& box = map->GetMapBox();
        // North up: the view's rotation runs counter-clockwise from east.
        map->SetCenter(box.minX + (box.maxX - box.minX) / 2, box.minY + (box.maxY - box.minY) / 2,
                       3.141592653589793 / 2);
        map->RequestRedraw(1);
        WinDispatchPending();
        WinComposeScreen();
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(source, GdiGetScreenBitmap());
        BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    } else {
        std::printf("error=cannot create the map window\n");
    }
    map->DestroyWindow();
    delete map;
    frame.DestroyWindow();
    return ok;
}

void PaintScreen(NaviMainScreen& screen, HDC dc, int w, int h, bool overMap = false) {
    if (!overMap) {
        const RECT all{0, 0, w, h};
        HBRUSH ground = CreateSolidBrush(RGB(236, 232, 220));
        FillRect(dc, &all, ground);
        DeleteObject(ground);
    }
    CDC cdc;
    cdc.Attach(dc);
    screen.Draw(&cdc);
    cdc.Detach();
}

// The main view's part: paints the overlay, sends the pen down and turns a short pen-up into a tap.
class MainView : public CWnd {
public:
    explicit MainView(NaviMainScreen& screen) : m_screen(screen) {}
    void OnPaint() override {
        CPaintDC dc(this);
        PaintScreen(m_screen, dc.GetSafeHdc(), 240, 320);
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint p) override {
        m_down = POINT{p.x, p.y};
        NaviCommand cmd;
        cmd.target = kTargetPenDown;
        cmd.param1 = p.x;
        cmd.param2 = p.y;
        m_screen.ProcessCommand(cmd);
    }
    void OnLButtonUp(UINT, CPoint p) override {
        if (std::abs(p.x - m_down.x) <= 50 && std::abs(p.y - m_down.y) <= 50) m_screen.OnTap(p.x, p.y);
    }
    void PostNcDestroy() override { PostQuitMessage(0); }

private:
    NaviMainScreen& m_screen;
    POINT m_down{};
};

class EventFile : public NaviListener {
public:
    explicit EventFile(const std::string& path) : m_out(path, std::ios::trunc) {}
    void ProcessEvent(NaviCommand& cmd) override {
        m_out << "event target=" << Utf8(cmd.target) << " control=" << Utf8(cmd.control) << " text=" << Utf8(cmd.text)
              << " id=" << cmd.id << " p1=" << cmd.param1 << " p2=" << cmd.param2 << '\n';
        m_out.flush();
        if (cmd.target == kTargetRefresh && view && view->m_hWnd) view->Invalidate(FALSE);
    }
    bool Good() const { return static_cast<bool>(m_out); }
    CWnd* view = nullptr;

private:
    std::ofstream m_out;
};

class MainApp : public CWinApp {
public:
    MainApp(const State& state, EventFile& events) : CWinApp(u"velko-skinshot"), m_state(state), m_events(events) {}
    BOOL InitInstance() override {
        m_screen.CreateRcBuilder(m_state.startMode);
        m_screen.OpenSkin(kSkinFolder);
        m_screen.SetListener(&m_events);
        m_screen.CreateControls();
        if (!Apply(m_screen, m_state)) return FALSE;
        m_view = new MainView(m_screen);
        if (!m_view->CreateEx(0, AfxRegisterWndClass(0), u"Velko", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                              nullptr))
            return FALSE;
        m_events.view = m_view;
        m_pMainWnd = m_view;
        return TRUE;
    }
    int ExitInstance() override {
        m_events.view = nullptr;
        delete m_view;
        m_view = nullptr;
        return CWinApp::ExitInstance();
    }

private:
    const State& m_state;
    EventFile& m_events;
    NaviMainScreen m_screen;
    MainView* m_view = nullptr;
};

int RunScript(const State& state, const std::string& script, const std::string& outDir, bool sdl) {
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    EventFile events(outDir + "/events.log");
    if (!events.Good()) {
        std::fprintf(stderr, "velko-skinshot: cannot write %s/events.log\n", outDir.c_str());
        return 2;
    }
    MainApp app(state, events);
    std::string error;
    int code = 0;
    if (!sdl) {
        HostOptions host;
        host.script = script;
        host.outDir = outDir;
        HeadlessHost headless(host);
        if (!headless.Prepare(&error)) {
            std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
            return 2;
        }
        code = headless.Run([] { return AfxWinMain(); });
        if (headless.Failed()) std::fprintf(stderr, "velko-skinshot: %s\n", headless.Failure().c_str());
    } else {
        SdlHostOptions host;
        host.script = script;
        host.outDir = outDir;
        host.title = "velko-skinshot";
        SdlHost window(host);
        if (!window.Open(&error)) {
            std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
            return 2;
        }
        code = window.Run([] { return AfxWinMain(); });
        if (!window.Failure().empty()) std::fprintf(stderr, "velko-skinshot: %s\n", window.Failure().c_str());
    }
    return code;
}

// One control's line, then the lines of the buttons it lays out itself (tool bars, menus and the
// advanced menu's pages with their entries), named PARENT/CHILD, so a script can find every
// button the user taps by its name.
const std::vector<NaviControl*>* ChildrenOf(NaviControl* c) {
    if (auto* bar = dynamic_cast<NaviRouteSearchBar*>(c)) return &bar->GetChildren();
    if (auto* bar = dynamic_cast<NaviWaypointBar*>(c)) return &bar->GetChildren();
    if (auto* menu = dynamic_cast<NaviBasicMenu*>(c)) return &menu->GetChildren();
    if (auto* menu = dynamic_cast<NaviAdvancedMenu*>(c)) return &menu->GetChildren();
    if (auto* menu = dynamic_cast<NaviMyMenuCtrl*>(c)) return &menu->GetChildren();
    if (auto* page = dynamic_cast<NaviMenuPage*>(c)) return &page->GetChildren();
    return nullptr;
}

void DumpControl(const std::string& name, NaviControl* c) {
    const RECT r = c->GetRect();
    std::printf("control name=%s class=%s rect=%d,%d,%d,%d visible=%d enabled=%d\n", name.c_str(), typeid(*c).name(),
                r.left, r.top, r.right, r.bottom, c->IsVisible() ? 1 : 0, c->IsEnabled() ? 1 : 0);
    if (const auto* children = ChildrenOf(c))
        for (NaviControl* child : *children)
            if (child) DumpControl(name + "/" + Utf8(child->Name()), child);
    if (auto* menu = dynamic_cast<NaviAdvancedMenu*>(c))
        for (int i = 0; i < NaviAdvancedMenu::kPageCount; ++i)
            if (NaviMenuPage* page = menu->GetPage(i)) DumpControl(name + "/page:" + Utf8(page->Name()), page);
}

} // namespace

bool IsMainMode(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--main") == 0) return true;
    return false;
}

int RunMainMode(int argc, char** argv) {
    std::string root, statePath, out, script;
    bool dump = false, sdl = false, withMap = false;
    std::vector<std::pair<int, int>> taps, probes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--main") continue;
        if (a == "--dump") dump = true;
        else if (a == "--sdl") sdl = true;
        else if (a == "--map") withMap = true;
        else if (a == "--script" && (v = value())) script = v;
        else if (a == "--root" && (v = value())) root = v;
        else if (a == "--state" && (v = value())) statePath = v;
        else if (a == "--out" && (v = value())) out = v;
        else if (a == "--tap" && (v = value())) {
            int x = 0, y = 0;
            char extra = 0;
            if (std::sscanf(v, "%d,%d%c", &x, &y, &extra) != 2) return Usage();
            taps.emplace_back(x, y);
        } else if (a == "--probe" && (v = value())) {
            int x = 0, y = 0;
            char extra = 0;
            if (std::sscanf(v, "%d,%d%c", &x, &y, &extra) != 2) return Usage();
            probes.emplace_back(x, y);
        } else return Usage();
    }
    if (root.empty() || out.empty()) return Usage();
    if ((sdl && script.empty()) || (!script.empty() && (dump || withMap || !taps.empty() || !probes.empty()))) return Usage();
    State state;
    if (!statePath.empty() && !ReadState(statePath, state)) return 1;
    DeviceRoot::SetRoot(root);
    GdiUseBuiltinFont(true);
    if (!script.empty()) return RunScript(state, script, out, sdl);
    // Noon in June, local time: the top bar's clock and the map's day colours stay the same run to run.
    SimulatedClock clock(1781492400000LL, 9 * 60);
    InstallClock(&clock);
    struct Uninstall {
        ~Uninstall() { InstallClock(nullptr); }
    } uninstall;

    Printer printer;
    NaviMainScreen screen;
    screen.CreateRcBuilder(state.startMode);
    screen.OpenSkin(kSkinFolder);
    screen.SetListener(&printer);
    screen.CreateControls();
    if (!Apply(screen, state)) return 1;
    for (const auto& [x, y] : taps) {
        std::printf("tap x=%d y=%d\n", x, y);
        NaviCommand down;
        down.target = kTargetPenDown;
        down.param1 = x;
        down.param2 = y;
        screen.ProcessCommand(down);
        const NaviCommand taken = screen.OnTap(x, y);
        std::printf("taken target=%s id=%d\n", Utf8(taken.target).c_str(), taken.id);
    }

    const int w = screen.GetRcBuilder()->GetScreenWidth(), h = screen.GetRcBuilder()->GetScreenHeight();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    bool drawn = true;
    if (withMap) drawn = DrawMap(screen.GetSymbolManager(), dc, w, h);
    PaintScreen(screen, dc, w, h, withMap);
    std::printf("main mode=%d menu=%s submode=%s routeresult=%d simulation=%d controls=%zu\n", screen.GetMode(),
                Utf8(screen.GetMenuName()).c_str(), Utf8(screen.GetSubMode()).c_str(),
                screen.IsRouteResultMode() ? 1 : 0, screen.IsSimulation() ? 1 : 0, screen.GetControls().size());
    if (dump)
        for (NaviControl* c : screen.GetControls()) DumpControl(Utf8(c->Name()), c);
    for (const auto& [x, y] : probes) {
        const COLORREF c = GetPixel(dc, x, y);
        std::printf("probe=%d,%d rgb=%d,%d,%d\n", x, y, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    const bool saved = drawn && GdiSavePng(bitmap, out);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    std::printf("out=%s ok=%d\n", out.c_str(), saved ? 1 : 0);
    return saved ? 0 : 1;
}
