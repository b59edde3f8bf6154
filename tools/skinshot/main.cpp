// velko-skinshot: looks into a device's skin.
//   --root DIR --list                      every archive entry: place, size, decoded form
//   --root DIR --image NAME --out PNG      one image, drawn opaquely
//   --root DIR --symbols --out PNG         a sheet of the map symbols drawn by the symbol manager
//   --root DIR --screen NAME [--send TARGET,CONTROL,ID,P1[,TEXT]]... --out PNG [--dump]
//        [--device-type N --buttons N]     the screen the builder lays out, rendered off screen (the
//                                          device type and button count shape the system page)
//        [--probe X,Y]...                  each probe prints the drawn colour there
//   --root DIR --all --out DIR             every catalogued screen with the skin and without any
//                                          archive, in the built-in font: NN_NAME.png/.txt and
//                                          NN_NAME_bare.png/.txt
//   --root DIR --screen NAME --script FILE --out DIR [--sdl] [--device-type N --buttons N]
//                                          the screen in the skinned common dialog under the headless
//                                          host (or the SDL host); OUT/events.log gets every command it
//                                          reports; a combo's tap opens its popup list
//   --root DIR --message TEXT --type 3000|3001 --script FILE --out DIR
//                                          the skinned message box; prints answer=CODE
//   --root DIR --main [--state FILE] --out PNG [--dump] [--tap X,Y]...   the main screen (MainMode.cpp)
//   --root DIR --gallery FILE --out PNG [--tap X,Y]...
//                                          the controls FILE lists on one panel, rendered after the taps;
//                                          each tap's hit codes and the commands it produced are printed
// Prints key=value lines; exit code 0 on success, 1 on a failure, 2 on bad usage.
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/AfxGdi.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviResArchive.h"
#include "skinui/NaviSymbolManager.h"
#include "skinui/screens/NaviControlTree.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "tools/skinshot/Gallery.h"
#include "tools/skinshot/MainMode.h"
#include "tools/skinshot/SkinDialogRun.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

constexpr const char16_t* kSkinFolder = u"\\Program Files\\Velko\\res";

int Usage() {
    std::fprintf(stderr,
                 "usage: velko-skinshot --root DIR (--list | --image NAME --out PNG | --symbols --out PNG |\n"
                 "       --screen NAME [--send TARGET,CONTROL,ID,P1[,TEXT]]... --out PNG [--dump] |\n"
                 "       --screen NAME --script FILE --out DIR [--sdl] | --all --out DIR |\n"
                 "       --message TEXT --type 3000|3001 --script FILE --out DIR |\n"
                 "       --gallery FILE --out PNG [--tap X,Y]...)\n");
    return 2;
}

std::string Utf8(const CString& text) {
    return Utf16ToUtf8(text.Str());
}

// A white 32-bit surface of the screen's size.
class Sheet {
public:
    Sheet(int w, int h) : w(w), h(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bitmap);
        const RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        cdc.Attach(dc);
    }
    ~Sheet() {
        cdc.Detach();
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Save(const std::string& path) { return GdiSavePng(bitmap, path); }
    void Label(int x, int y, const char16_t* text) {
        HFONT font = CreateFontW(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
        HGDIOBJ of = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(60, 60, 60));
        ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(std::char_traits<char16_t>::length(text)), nullptr);
        SelectObject(dc, of);
        DeleteObject(font);
    }
    int w, h;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    CDC cdc;
};

int List(NaviRcBuilder& builder) {
    NaviResArchive* archive = builder.GetArchive();
    int ok = 0, total = 0;
    for (const auto& [key, entry] : archive->Index()) {
        ++total;
        std::unique_ptr<NaviBitmap> image(builder.LoadImage(entry.name));
        const bool good = image && !image->IsEmpty();
        ok += good ? 1 : 0;
        std::printf("entry name=%s offset=%u size=%u width=%d height=%d depth=%d palette=%d trns=%d ok=%d\n",
                    Utf8(entry.name).c_str(), entry.offset, entry.size, good ? image->GetWidth() : 0,
                    good ? image->GetHeight() : 0, good ? image->GetBpp() : 0,
                    good ? image->GetPaletteSize() / 4 : 0, good ? image->GetBkgndIndex() + 1 : 0, good ? 1 : 0);
    }
    std::printf("entries=%d ok=%d\n", total, ok);
    return total > 0 && ok == total ? 0 : 1;
}

int Image(NaviRcBuilder& builder, const std::string& name, const std::string& out) {
    std::unique_ptr<NaviBitmap> image(builder.LoadImage(CString(Utf8ToUtf16(name))));
    if (!image || image->IsEmpty()) {
        std::printf("image=%s found=0\n", name.c_str());
        return 1;
    }
    Sheet sheet(image->GetWidth(), image->GetHeight());
    image->SetTransparent(false);
    image->Draw(sheet.dc, 0, 0);
    if (!sheet.Save(out)) return 1;
    std::printf("image=%s found=1 width=%d height=%d depth=%d bkgnd=%d\n", name.c_str(), image->GetWidth(),
                image->GetHeight(), image->GetBpp(), image->GetBkgndIndex());
    return 0;
}

// A sheet of every symbol kind, each under a small caption, as the map would draw them.
int Symbols(NaviRcBuilder& builder, const std::string& out) {
    NaviSymbolManager manager;
    manager.SetName(u"SymbolManager");
    manager.LoadImages(&builder);
    manager.LoadDisSymbols(256);
    manager.LoadLandmark(256);
    Sheet sheet(builder.GetScreenWidth(), builder.GetScreenHeight());
    int drawn = 0;
    sheet.Label(4, 2, u"경로 기호 S0-S15");
    for (int n = 0; n < 16; ++n) {
        const int x = 4 + (n % 8) * 28, y = 16 + (n / 8) * 34;
        if (manager.Symbol(n)) ++drawn;
        manager.DrawSymbol(&sheet.cdc, n, x, y);
    }
    sheet.Label(4, 88, u"시설 기호 DisSymbol 1-9 (중심)");
    for (int n = 1; n <= 9; ++n) {
        const int x = 16 + (n - 1) * 25, y = 116;
        if (manager.DisSymbol(n)) ++drawn;
        manager.DrawDisSymbol(sheet.dc, n, x, y);
        std::printf("dissymbol n=%d x=%d y=%d image=%d\n", n, x, y, manager.DisSymbol(n) ? 1 : 0);
    }
    sheet.Label(4, 134, u"관심 지점 0-14 (스피커)");
    for (int n = 0; n < 15; ++n) {
        const int x = 4 + (n % 8) * 28, y = 150 + (n / 8) * 22;
        if (manager.InterestIcon(n)) ++drawn;
        manager.DrawInterestIcon(&sheet.cdc, n, n % 3 == 0, x, y);
    }
    sheet.Label(4, 196, u"랜드마크 0, 1, 2, 256");
    int i = 0;
    for (int n : {0, 1, 2, 256}) {
        const int x = 24 + i++ * 50, y = 236;
        manager.DrawCachedSymbol(sheet.dc, n, x, y);
        if (manager.Landmark(n)) ++drawn;
    }
    sheet.Label(4, 252, u"중심 표시 (-1)");
    manager.DrawDisSymbol(sheet.dc, -1, 110, 270);
    if (!sheet.Save(out)) return 1;
    std::printf("symbols=%d out=%s\n", drawn, out.c_str());
    return drawn > 0 ? 0 : 1;
}

struct Send {
    NaviCommand cmd;
};

bool ParseSend(const std::string& text, NaviCommand& cmd) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            if (i < 3) return false;
            f.push_back(text.substr(start));
            start = std::string::npos;
            break;
        }
        f.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    cmd.target = CString(Utf8ToUtf16(f[0]));
    cmd.control = CString(Utf8ToUtf16(f[1]));
    char* end = nullptr;
    cmd.id = static_cast<int>(std::strtol(f[2].c_str(), &end, 10));
    if (!end || *end) return false;
    cmd.param1 = static_cast<int>(std::strtol(f[3].c_str(), &end, 10));
    if (!end || *end) return false;
    if (start != std::string::npos) cmd.text = CString(Utf8ToUtf16(text.substr(start)));
    return true;
}

// Every control under the panel (pages of item lists and buttons of radio groups included).
void Dump(NaviPanel& panel, std::FILE* to) {
    WalkControls(&panel, [&](const CString& path, NaviControl* c) {
        const RECT r = c->GetRect();
        std::fprintf(to, "control path=/%s class=%s rect=%d,%d,%d,%d visible=%d enabled=%d feedback=%d image=%d\n",
                     Utf8(path).c_str(), typeid(*c).name(), r.left, r.top, r.right, r.bottom, c->IsVisible() ? 1 : 0,
                     c->IsEnabled() ? 1 : 0, c->HasPressFeedback() ? 1 : 0, c->GetImage() ? 1 : 0);
    });
}

// Builds, updates and draws the screen; writes the PNG and, when dumpTo is given, the control list.
bool Render(NaviRcBuilder& builder, const std::string& name, const std::vector<NaviCommand>& sends,
            const std::string& out, std::FILE* dumpTo, std::FILE* summary,
            const std::vector<std::pair<int, int>>& probes = {}) {
    auto* panel = new NaviPanel();
    panel->SetClickSound(builder.GetClickSound());
    builder.BuildPanel(nullptr, panel, CString(Utf8ToUtf16(name)));
    for (NaviCommand cmd : sends) panel->ProcessCommand(cmd);
    Sheet sheet(builder.GetScreenWidth(), builder.GetScreenHeight());
    panel->Paint(&sheet.cdc);
    const RECT r = panel->GetRect();
    int controls = 0;
    WalkControls(panel, [&](const CString&, NaviControl*) { ++controls; });
    std::fprintf(summary, "screen=%s controls=%d rect=%d,%d,%d,%d\n", name.c_str(), controls, r.left, r.top,
                 r.right, r.bottom);
    if (dumpTo) Dump(*panel, dumpTo);
    for (const auto& [x, y] : probes) {
        const COLORREF c = GetPixel(sheet.dc, x, y);
        std::fprintf(summary, "probe=%d,%d rgb=%d,%d,%d\n", x, y, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    panel->Release();
    return sheet.Save(out);
}

int Screen(NaviRcBuilder& builder, const std::string& name, const std::vector<NaviCommand>& sends,
           const std::string& out, bool dump, const std::vector<std::pair<int, int>>& probes) {
    return Render(builder, name, sends, out, dump ? stdout : nullptr, stdout, probes) ? 0 : 1;
}

// Every row of the catalogue, on the skin and on no archive at all.
int All(NaviRcBuilder& skinned, const std::string& dir) {
    GdiUseBuiltinFont(true);
    NaviRcBuilder bare;
    bare.SetDeviceType(skinned.GetDeviceType());
    bare.SetButtonCount(skinned.GetButtonCount());
    int index = 0, failed = 0;
    for (const CString& screen : CatalogueScreenNames()) {
        ++index;
        const std::string name = Utf8(screen);
        for (bool withSkin : {true, false}) {
            char stem[16];
            std::snprintf(stem, sizeof stem, "%02d_", index);
            const std::string base = dir + "/" + stem + name + (withSkin ? "" : "_bare");
            std::FILE* dump = std::fopen((base + ".txt").c_str(), "w");
            if (!dump) return 1;
            std::fprintf(stdout, "skin=%d ", withSkin ? 1 : 0);
            if (!Render(withSkin ? skinned : bare, name, {}, base + ".png", dump, stdout)) ++failed;
            std::fclose(dump);
        }
    }
    std::printf("screens=%d failed=%d\n", index, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (IsMainMode(argc, argv)) return RunMainMode(argc, argv);
    std::string root, image, out, screen, script, gallery, message;
    int messageType = 0;
    std::vector<std::pair<int, int>> taps, probes;
    bool list = false, symbols = false, dump = false, sdl = false, all = false;
    int deviceType = 0, buttons = 0;
    std::vector<NaviCommand> sends;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--list") list = true;
        else if (a == "--symbols") symbols = true;
        else if (a == "--dump") dump = true;
        else if (a == "--all") all = true;
        else if (a == "--message" && (v = value())) message = v;
        else if (a == "--type" && (v = value())) messageType = std::atoi(v);
        else if (a == "--device-type" && (v = value())) deviceType = std::atoi(v);
        else if (a == "--buttons" && (v = value())) buttons = std::atoi(v);
        else if (a == "--sdl") sdl = true;
        else if (a == "--script" && (v = value())) script = v;
        else if (a == "--root" && (v = value())) root = v;
        else if (a == "--image" && (v = value())) image = v;
        else if (a == "--out" && (v = value())) out = v;
        else if (a == "--screen" && (v = value())) screen = v;
        else if (a == "--gallery" && (v = value())) gallery = v;
        else if (a == "--tap" && (v = value())) {
            int x = 0, y = 0;
            char extra = 0;
            if (std::sscanf(v, "%d,%d%c", &x, &y, &extra) != 2) return Usage();
            taps.emplace_back(x, y);
        }
        else if (a == "--probe" && (v = value())) {
            int x = 0, y = 0;
            char extra = 0;
            if (std::sscanf(v, "%d,%d%c", &x, &y, &extra) != 2) return Usage();
            probes.emplace_back(x, y);
        }
        else if (a == "--send" && (v = value())) {
            NaviCommand cmd;
            if (!ParseSend(v, cmd)) return Usage();
            sends.push_back(cmd);
        } else return Usage();
    }
    const int modes = (list ? 1 : 0) + (symbols ? 1 : 0) + (image.empty() ? 0 : 1) + (screen.empty() ? 0 : 1) +
                      (gallery.empty() ? 0 : 1) + (all ? 1 : 0) + (message.empty() ? 0 : 1);
    if (!taps.empty() && gallery.empty()) return Usage();
    if (!probes.empty() && screen.empty()) return Usage();
    if (root.empty() || modes != 1 || (!list && out.empty())) return Usage();
    if (!message.empty() && (script.empty() || (messageType != 3000 && messageType != 3001))) return Usage();
    if ((!script.empty() || sdl) && ((screen.empty() && message.empty()) || script.empty() || !sends.empty() || dump))
        return Usage();
    // Only screens the catalogue lays out can be drawn or run; any other name would give an
    // empty panel that looks like a result.
    if (!screen.empty() && message.empty() && !FindScreenRow(CString(Utf8ToUtf16(screen)))) {
        std::fprintf(stderr, "velko-skinshot: --screen %s: no such screen (--all draws every screen)\n",
                     screen.c_str());
        return 2;
    }
    DeviceRoot::SetRoot(root);
    if (!message.empty())
        return RunMessageBox(SkinDialogRunOptions{screen, script, out, sdl, deviceType, buttons}, message, messageType);
    if (!script.empty()) return RunSkinDialog(SkinDialogRunOptions{screen, script, out, sdl, deviceType, buttons});
    NaviRcBuilder builder;
    builder.OpenSkin(kSkinFolder);
    builder.SetDeviceType(deviceType);
    builder.SetButtonCount(buttons);
    if (all) return All(builder, out);
    if (list) return List(builder);
    if (!image.empty()) return Image(builder, image, out);
    if (symbols) return Symbols(builder, out);
    if (!gallery.empty()) return RunGallery(builder, gallery, out, taps);
    return Screen(builder, screen, sends, out, dump, probes);
}
