// velko-mapshot: renders the map of a device root in the map window, as the shell sets it up,
// and writes the screen as PNG.
//
//   velko-mapshot --root DIR [--center X,Y] [--level N] [--bird] [--heading DEG] [--night]
//                 [--time YYYY-MM-DDTHH:MM] [--route FILE] [--traffic IDX=KMH]...
//                 [--drag DX,DY,TICKS] [--builtin-font] [--skin] [--probe X,Y]... --out PNG
//
// The map's symbols come from generated stand-in images, or with --skin from the device's skin
// archive through the skinned library's symbol manager, loaded as the main screen loads it.
//
// Prints out=, mode=, level=, scale=, centre=, layers=, night= and, per probe, probe=X,Y rgb=R,G,B.
#include "mapview/MapSymbolStandIn.h"
#include "mapview/MapWnd.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowHost.h"
#include "route/RouteManager.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"
#include "tools/mapshot/MapShotSetup.h"
#include "traffic/receiver/Traffic.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char16_t* kDataFolder = u"\\Storage Card\\MapData";
constexpr int kLocalOffsetMinutes = 9 * 60;
// The screen the map window fills.
constexpr int kScreenWidth = 240, kScreenHeight = 320;

struct Traffic {
    int index = 0, speed = 0;
};

struct Options {
    std::string root, out, route, time;
    bool haveCentre = false, bird = false, night = false, builtin = false, skin = false;
    long cx = 0, cy = 0;
    int level = 11;
    double heading = 0.0;
    std::vector<Traffic> traffic;
    bool drag = false;
    int dragX = 0, dragY = 0, dragTicks = 0;
    std::vector<POINT> probes;
};

int Usage() {
    std::cerr << "usage: velko-mapshot --root DIR [--center X,Y] [--level 1..16] [--bird] [--heading DEG]\n"
                 "                     [--night] [--time YYYY-MM-DDTHH:MM] [--route FILE]\n"
                 "                     [--traffic IDX=KMH]... [--drag DX,DY,TICKS] [--builtin-font]\n"
                 "                     [--skin] [--probe X,Y]... --out PNG\n";
    return 2;
}

bool ParsePair(const char* text, long& a, long& b) {
    char rest = 0;
    return std::sscanf(text, "%ld,%ld%c", &a, &b, &rest) == 2;
}

// Names the option value that was refused, on the line before the usage text.
bool Bad(const std::string& option, const char* value, const char* expected) {
    std::cerr << "velko-mapshot: " << option << " " << value << ": " << expected << "\n";
    return false;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--root" && (v = next()))
            o.root = v;
        else if (a == "--out" && (v = next()))
            o.out = v;
        else if (a == "--center" && (v = next())) {
            if (!ParsePair(v, o.cx, o.cy)) return Bad(a, v, "X,Y expected");
            o.haveCentre = true;
        } else if (a == "--level" && (v = next())) {
            char rest = 0;
            if (std::sscanf(v, "%d%c", &o.level, &rest) != 1 || o.level < 1 || o.level > 16)
                return Bad(a, v, "a level from 1 to 16 expected");
        } else if (a == "--bird")
            o.bird = true;
        else if (a == "--night")
            o.night = true;
        else if (a == "--builtin-font")
            o.builtin = true;
        else if (a == "--skin")
            o.skin = true;
        else if (a == "--heading" && (v = next()))
            o.heading = std::atof(v);
        else if (a == "--time" && (v = next()))
            o.time = v;
        else if (a == "--route" && (v = next()))
            o.route = v;
        else if (a == "--traffic" && (v = next())) {
            Traffic t;
            char rest = 0;
            const int n = std::sscanf(v, "%d=%d%c", &t.index, &t.speed, &rest);
            if (n != 2 || t.index < 0 || t.index > 0xFFFF || t.speed < 0 || t.speed > 255)
                return Bad(a, v, "INDEX=KMH expected (index 0..65535, speed 0..255)");
            o.traffic.push_back(t);
        } else if (a == "--drag" && (v = next())) {
            if (std::sscanf(v, "%d,%d,%d", &o.dragX, &o.dragY, &o.dragTicks) != 3 || o.dragTicks < 0 ||
                o.dragTicks > 10000)
                return Bad(a, v, "DX,DY,TICKS expected (ticks 0..10000)");
            o.drag = true;
        } else if (a == "--probe" && (v = next())) {
            long x = 0, y = 0;
            // Only pixels of the screen can be read back.
            if (!ParsePair(v, x, y) || x < 0 || x >= kScreenWidth || y < 0 || y >= kScreenHeight)
                return Bad(a, v, "a pixel X,Y of the 240 x 320 screen expected");
            o.probes.push_back(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
        } else
            return false;
    }
    return !o.root.empty() && !o.out.empty();
}

// Local civil time "YYYY-MM-DDTHH:MM" as UTC milliseconds; noon of 15 June 2026 by default.
bool ParseTime(const std::string& text, std::int64_t& utcMs) {
    SYSTEMTIME t{};
    int y = 2026, mo = 6, d = 15, h = 12, mi = 0;
    if (!text.empty() && std::sscanf(text.c_str(), "%d-%d-%dT%d:%d", &y, &mo, &d, &h, &mi) != 5) return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || y < 1970 || y > 2100)
        return false;
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    utcMs = MillisecondsFromSystemTime(t) - std::int64_t(kLocalOffsetMinutes) * 60000;
    return true;
}

// The route file as a device path: a host path inside the root, or a device path as given.
bool RoutePath(const std::string& root, const std::string& file, std::u16string& out) {
    if (!file.empty() && file[0] == '\\') {
        out = Utf8ToUtf16(file);
        return true;
    }
    std::string prefix = root;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    if (file.compare(0, prefix.size(), prefix) != 0) return false;
    std::string rest = file.substr(prefix.size());
    for (char& c : rest)
        if (c == '/') c = '\\';
    out = u"\\" + Utf8ToUtf16(rest);
    return true;
}

CRouteManager* g_routes = nullptr;
CMapWnd* g_map = nullptr;

// The overlay as the shell draws it: route lines in pass 0, markers in pass 1.
void DrawOverlay(CDC* dc, int, int pass) {
    if (!g_routes || !g_map) return;
    if (pass == 0) g_routes->DrawResultRoutes(dc, *g_map);
    if (pass == 1) g_routes->DrawRoutes(dc, *g_map);
}

class MapFrame : public CWnd {};

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) return Usage();
    std::int64_t utcMs = 0;
    if (!ParseTime(o.time, utcMs)) {
        std::cerr << "velko-mapshot: bad --time (YYYY-MM-DDTHH:MM)\n";
        return 2;
    }
    SimulatedClock clock(utcMs, kLocalOffsetMinutes);
    InstallClock(&clock);
    GdiUseBuiltinFont(o.builtin);
    DeviceRoot::SetRoot(o.root);

    CMapShotSetup setup;
    std::string error;
    if (!setup.Load(kDataFolder, &error)) {
        std::cerr << "velko-mapshot: " << error << "\n";
        return 1;
    }

    MapFrame frame;
    auto* map = new CMapWnd;
    CMapSymbolStandIn symbols;
    NaviRcBuilder skin;
    NaviSymbolManager skinSymbols;
    if (o.skin) {
        skin.OpenSkin(u"\\Program Files\\Velko\\res");
        skinSymbols.SetName(u"SymbolManager");
        skinSymbols.LoadImages(&skin);
        skinSymbols.LoadDisSymbols(256);
        skinSymbols.LoadLandmark(256);
    }
    CRouteManager routes;
    // Every way out takes the map window down and frees it.
    auto finish = [&](int code) {
        map->DestroyWindow();
        delete map;
        frame.DestroyWindow();
        InstallClock(nullptr);
        return code;
    };
    {
        if (!frame.CreateEx(0, AfxRegisterWndClass(0), u"Velko", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight, nullptr,
                            nullptr) ||
            !map->Create(AfxRegisterWndClass(0), u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, kScreenWidth, kScreenHeight}, &frame, 111)) {
            std::cerr << "velko-mapshot: cannot create the map window\n";
            return finish(1);
        }
        map->SetStarSeed(1);
        if (o.skin)
            map->SetSymbolManager(&skinSymbols);
        else
            map->SetSymbolManager(&symbols);
        if (o.night) map->SetNightHours(1, 0, 0);
        setup.SetViewMode(o.bird ? 2 : 0);
        const int layers = setup.OpenLayers(*map);
        const bool night = map->IsNightTime() != 0;
        setup.SetMapLevel(*map, o.level);
        setup.ApplyColorScheme(*map, night ? u"Color_야간.bin" : u"Color_주간.bin");
        const ViewBox& box = map->GetMapBox();
        const std::int32_t cx = o.haveCentre ? static_cast<std::int32_t>(o.cx) : box.minX + (box.maxX - box.minX) / 2;
        const std::int32_t cy = o.haveCentre ? static_cast<std::int32_t>(o.cy) : box.minY + (box.maxY - box.minY) / 2;
        // Headings run clockwise from north; the view's rotation counter-clockwise from east.
        const double rotation = (90.0 - o.heading) * 3.141592653589793 / 180.0;
        map->SetCenter(cx, cy, rotation);

        if (!o.route.empty()) {
            std::u16string path;
            if (!RoutePath(o.root, o.route, path) || routes.Init(kDataFolder) != 1 ||
                !routes.LoadRouteFile(path.c_str())) {
                std::cerr << "velko-mapshot: cannot load the route " << o.route << "\n";
                return finish(1);
            }
            g_routes = &routes;
            g_map = map;
            map->m_paintHook = DrawOverlay;
        }
        if (!o.traffic.empty()) {
            // The device's link-speed store, fed one traffic packet per given speed for the link
            // id at that table index (the link's id says whether it is a highway link). The save
            // file is not written back.
            CTraffic* traffic = CTraffic::instance();
            traffic->openFile(CString(kDataFolder));
            for (const Traffic& t : o.traffic) {
                unsigned long id = 0;
                if (!traffic->getDarcIDByIdx(static_cast<unsigned short>(t.index), id)) {
                    std::cerr << "velko-mapshot: no broadcast link at index " << t.index << "\n";
                    return finish(2);
                }
                unsigned char packet[22] = {0x17, 0x00};
                for (int k = 0; k < 4; ++k) {
                    for (int b = 0; b < 4; ++b) packet[2 + 5 * k + b] = static_cast<unsigned char>(id >> (24 - 8 * b));
                    packet[6 + 5 * k] = static_cast<unsigned char>(t.speed);
                }
                traffic->setData(packet, sizeof packet);
            }
        }

        map->RequestRedraw(1);
        WinDispatchPending();
        if (o.drag) {
            map->BeginDragScroll(o.dragX, o.dragY, 20);
            WinRunFor(static_cast<DWORD>(o.dragTicks) * 20);
        }
        WinComposeScreen();
        HBITMAP screen = GdiGetScreenBitmap();
        if (!GdiSavePng(screen, o.out)) {
            std::cerr << "velko-mapshot: cannot write " << o.out << "\n";
            if (o.drag) map->EndDragScroll();
            return finish(1);
        }
        std::vector<std::string> probeLines;
        if (gdi::Bitmap* bits = gdi::Resolve<gdi::Bitmap>(screen)) {
            for (const POINT& p : o.probes) {
                if (p.x >= bits->Width() || p.y >= bits->Height()) {
                    std::cerr << "velko-mapshot: the probe " << p.x << "," << p.y << " is off the screen\n";
                    if (o.drag) map->EndDragScroll();
                    return finish(2);
                }
                const COLORREF c = bits->GetColor(p.x, p.y);
                probeLines.push_back("probe=" + std::to_string(p.x) + "," + std::to_string(p.y) +
                                     " rgb=" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) +
                                     "," + std::to_string(GetBValue(c)));
            }
        }
        if (o.drag) map->EndDragScroll();

        const MapViewState& v = map->ViewState(0);
        std::int32_t ex = 0, ey = 0;
        map->GetCenter(ex, ey);
        char scale[64];
        std::snprintf(scale, sizeof scale, "%.6f", v.mode == 0 ? v.scaleFactor : double(v.distance));
        std::cout << "out=" << o.out << "\n"
                  << "mode=" << (v.mode == 1 ? "bird" : "flat") << "\n"
                  << "level=" << o.level << "\n"
                  << "scale=" << scale << "\n"
                  << "centre=" << ex << "," << ey << "\n"
                  << "layers=" << layers << "\n"
                  << "night=" << (map->IsNightTime() ? 1 : 0) << "\n";
        for (const std::string& line : probeLines) std::cout << line << "\n";
    }
    return finish(0);
}
