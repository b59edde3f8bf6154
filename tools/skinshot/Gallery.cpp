#include "tools/skinshot/Gallery.h"

#include "platform/base/Text.h"
#include "platform/files/InputFile.h"
#include "platform/gdi/AfxGdi.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCarMark.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviCompass.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviDistBar.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviExLevelBar.h"
#include "skinui/controls/NaviGpsIcon.h"
#include "skinui/controls/NaviGuideArrow.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviLevelBar.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviReRouteMark.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/controls/NaviScrollList.h"
#include "skinui/controls/NaviSkyView.h"
#include "skinui/controls/NaviSliderBar.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/controls/NaviTrafficReRouteMark.h"
#include "skinui/controls/NaviVolumeIcon.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

using Fields = std::map<std::string, std::string>;

std::string Utf8(const CString& text) {
    return Utf16ToUtf8(text.Str());
}

CString Wide(const std::string& text) {
    return CString(Utf8ToUtf16(text));
}

// "Class key=value key="value with blanks" ..." into the class and its fields.
bool ParseLine(const std::string& line, std::string& cls, Fields& fields) {
    std::size_t i = 0;
    const auto skip = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    };
    skip();
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    cls = line.substr(start, i - start);
    for (skip(); i < line.size(); skip()) {
        const std::size_t eq = line.find('=', i);
        if (eq == std::string::npos) return false;
        const std::string key = line.substr(i, eq - i);
        if (key.empty() || key.find(' ') != std::string::npos) return false;
        i = eq + 1;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos) return false;
            value = line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t", i);
            value = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? line.size() : end;
        }
        fields[key] = value;
    }
    return !cls.empty();
}

std::vector<std::string> List(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        out.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

int Int(const Fields& f, const char* key, int fallback) {
    const auto it = f.find(key);
    if (it == f.end()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(it->second.c_str(), &end, 10);
    if (it->second.empty() || *end) throw std::runtime_error(std::string("bad number for ") + key);
    return static_cast<int>(v);
}

std::string Str(const Fields& f, const char* key, const std::string& fallback = "") {
    const auto it = f.find(key);
    return it == f.end() ? fallback : it->second;
}

COLORREF Colour(const Fields& f, const char* key, COLORREF fallback) {
    const std::string v = Str(f, key);
    if (v.empty()) return fallback;
    if (v.size() != 7 || v[0] != '#') throw std::runtime_error(std::string("bad colour for ") + key);
    const unsigned long c = std::strtoul(v.c_str() + 1, nullptr, 16);
    return RGB((c >> 16) & 255, (c >> 8) & 255, c & 255);
}

// Prints what reaches the panel's listener.
class Printer : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        std::printf("command target=%s control=%s text=%s id=%d param1=%d\n", Utf8(cmd.target).c_str(),
                    Utf8(cmd.control).c_str(), Utf8(cmd.text).c_str(), cmd.id, cmd.param1);
    }
};

void Send(NaviControl* c, int id, int param1 = -1, int param2 = -1, const CString& text = CString()) {
    NaviCommand cmd;
    cmd.target = kTargetDialog;
    cmd.control = c->Name();
    cmd.id = id;
    cmd.param1 = param1;
    cmd.param2 = param2;
    cmd.text = text;
    c->ProcessCommand(cmd);
}

// A zoom-level table with every level in use.
const NaviLevelTable& AllLevels() {
    static std::uint8_t records[16 * 12] = {};
    static const bool filled = [] {
        for (int i = 0; i < 16; ++i) records[i * 12] = 1;
        return true;
    }();
    (void)filled;
    static const NaviLevelTable table{records, 16};
    return table;
}

NaviControl* Make(NaviRcBuilder& b, const std::string& cls, const Fields& f, NaviListener* listener) {
    const CString name = Wide(Str(f, "name", cls));
    const int x = Int(f, "x", 0), y = Int(f, "y", 0), w = Int(f, "w", 0), h = Int(f, "h", 0);
    b.SetImageGroup(Wide(Str(f, "group", "Configure")));
    const auto plain = [&](NaviControl* c) {
        c->AssignName(name);
        c->SetListener(listener);
        c->SetPressFeedback(true);
        c->LoadImages(&b);
        return c;
    };
    if (cls == "NaviButton")
        return b.CreateButton(name, true, true, Int(f, "press", 1) != 0, true, x, y, w ? w : 33, h ? h : 33, listener);
    if (cls == "NaviCheckBox") {
        NaviCheckBox* c = b.CreateCheckBox(name, x, y, 0, listener);
        c->SetChecked(Int(f, "checked", 0) != 0);
        c->SetEnabled(Int(f, "enabled", 1) != 0);
        return c;
    }
    if (cls == "NaviRadioButton") {
        NaviRadioButton* c = b.CreateRadioButton(name, 0, x, y, true);
        c->SetChecked(Int(f, "selected", 0) != 0);
        c->SetListener(listener);
        return c;
    }
    if (cls == "NaviCheckButton") {
        b.SetCheckGroup(Wide(Str(f, "checkgroup")));
        const std::string text = Str(f, "text");
        const CString wideText = Wide(text);
        NaviCheckButton* c = b.CreateCheckButton(name, true, true, true, x, y, w, h, f.count("checkgroup") > 0,
                                                 Int(f, "showtext", 1) != 0, listener, Int(f, "shadow", 0) != 0,
                                                 text.empty() ? nullptr : wideText.GetString());
        c->SetChecked(Int(f, "checked", 0) != 0);
        return c;
    }
    if (cls == "NaviRadioGroup" || cls == "NaviScrollList") {
        NaviRadioGroup* group = cls == "NaviRadioGroup" ? b.CreateRadioGroup(name)
                                                        : b.CreateScrollList(name, x, y, x + w, y + h);
        group->SetListener(listener);
        const std::vector<std::string> rows = List(Str(f, "rows"));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (cls == "NaviRadioGroup") {
                group->AddButton(b.CreateRadioButton(Wide(rows[i]), 0, x, y + 20 * static_cast<int>(i), true));
            } else {
                NaviCommand add;
                add.target = kTargetDialog;
                add.control = name;
                add.id = kCmdAddRow;
                add.text = Wide(rows[i]);
                group->ProcessCommand(add);
            }
        }
        if (f.count("selected")) Send(group, kCmdSelect, Int(f, "selected", 0));
        return group;
    }
    if (cls == "NaviSliderBar") {
        auto* c = new NaviSliderBar();
        c->SetPos(x, y);
        plain(c);
        Send(c, kCmdSliderValue, Int(f, "value", -1));
        return c;
    }
    if (cls == "NaviComboBox") {
        auto* c = new NaviComboBox();
        c->SetPos(x, y);
        if (w) c->SetSize(w, 0);
        plain(c);
        for (const std::string& item : List(Str(f, "items"))) c->AddItem(Wide(item));
        c->Select(Int(f, "selected", -1));
        if (Int(f, "active", 1) == 0) Send(c, kCmdSelect, -2);
        return c;
    }
    if (cls == "NaviTabCtrl") {
        auto* c = new NaviTabCtrl();
        b.SetTabGroup(Wide(Str(f, "group", "Tab")));
        std::vector<CString> names, texts;
        for (const std::string& t : List(Str(f, "tabs"))) names.push_back(Wide(t));
        for (const std::string& t : List(Str(f, "texts"))) texts.push_back(Wide(t));
        if (!c->SetTabs(names.data(), static_cast<int>(names.size()))) {
            delete c;
            throw std::runtime_error("a tab strip takes 1 to 4 tabs");
        }
        if (!texts.empty()) c->SetTabTexts(texts.data(), static_cast<int>(texts.size()));
        if (w) c->SetSize(w, h ? h : 34);
        c->SetPos(x, y);
        plain(c);
        c->SelectTab(Int(f, "selected", 0));
        return c;
    }
    if (cls == "NaviLabel") {
        NaviLabel* c = b.CreateLabel(name, x, y, w, h, Colour(f, "color", 0), Int(f, "style", 4),
                                     Int(f, "align", kAlignAtX), Colour(f, "back", RGB(255, 255, 255)));
        if (f.count("text")) c->SetText(Wide(Str(f, "text")));
        c->SetFramed(Int(f, "framed", 0) != 0);
        return c;
    }
    if (cls == "NaviCarMark") {
        auto* c = new NaviCarMark();
        plain(c);
        c->SetPos(x, y);
        c->SetCarIndex(Int(f, "car", 0));
        c->SetCircleIndex(Int(f, "circle", 36));
        return c;
    }
    if (cls == "NaviCompass") {
        auto* c = new NaviCompass();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetHeadingIndex(Int(f, "heading", 0));
        return c;
    }
    if (cls == "NaviSafeZoneMark") {
        auto* c = new NaviSafeZoneMark();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetDisplayOption(true);
        c->SetSpeed(Int(f, "speed", 60));
        c->SetAlert(1, 1, Int(f, "value", 60), Int(f, "distance", 300), Int(f, "kind", 1), 0, 0, 0,
                    Int(f, "road", 0));
        for (int i = Int(f, "ticks", 0); i > 0; --i) c->TickBlink();
        return c;
    }
    if (cls == "NaviGpsIcon") {
        auto* c = new NaviGpsIcon();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetFollowCar(Int(f, "follow", 1) != 0);
        c->SetReception(Int(f, "reception", 80));
        return c;
    }
    if (cls == "NaviVolumeIcon") {
        auto* c = new NaviVolumeIcon();
        plain(c);
        c->SetMuted(Int(f, "muted", 0) != 0);
        return c;
    }
    if (cls == "NaviGuideArrow") {
        auto* c = new NaviGuideArrow();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetTurn(Int(f, "code", 23), 0);
        c->SetDistances(Int(f, "distance", 300), -1);
        Send(c, kCmdViewMode, Int(f, "view", 0));
        return c;
    }
    if (cls == "NaviDistBar") {
        auto* c = new NaviDistBar();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetValue(Int(f, "value", 5));
        return c;
    }
    if (cls == "NaviEventText") {
        auto* c = new NaviEventText();
        plain(c);
        c->SetLeftPlaced(Int(f, "left", 0) != 0);
        if (Int(f, "raised", 0) != 0)
            for (int id : {kCmdMenuBasic, kCmdFollowCar, kCmdRouteIdle}) Send(c, id);
        Send(c, Int(f, "kind", kCmdEventNormal), -1, -1, Wide(Str(f, "text", "")));
        return c;
    }
    if (cls == "NaviLevelBar") {
        auto* c = new NaviLevelBar();
        plain(c);
        c->SetLevelTable(AllLevels());
        c->SetCurrentLevel(Int(f, "level", 5));
        return c;
    }
    if (cls == "NaviExLevelBar") {
        auto* c = new NaviExLevelBar();
        plain(c);
        c->SetLevelTable(AllLevels());
        c->SetLevel(Int(f, "level", 5));
        return c;
    }
    if (cls == "NaviReRouteMark") {
        auto* c = new NaviReRouteMark();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetAutoSearch(Int(f, "auto", 0) != 0);
        c->SetTraffic(Int(f, "traffic", 0) != 0);
        c->SetCombined(Int(f, "combined", 0) != 0);
        return c;
    }
    if (cls == "NaviTrafficReRouteMark") {
        auto* c = new NaviTrafficReRouteMark();
        plain(c);
        c->Reposition(Int(f, "kind", kCmdEventNormal));
        return c;
    }
    if (cls == "NaviAnimImage") {
        auto* c = new NaviAnimImage();
        plain(c);
        if (f.count("x")) c->SetPos(x, y);
        c->SetState(Int(f, "state", 1));
        c->SetSetSelector(Int(f, "set", 0));
        return c;
    }
    if (cls == "NaviSkyView") {
        auto* c = new NaviSkyView();
        plain(c);
        // sats=elevation/azimuth/used,...
        GpsSatRecord record;
        const std::vector<std::string> sats = List(Str(f, "sats"));
        for (std::size_t i = 0; i < sats.size() && i < static_cast<std::size_t>(kMaxSatellites); ++i) {
            int el = 0, az = 0, used = 0;
            if (std::sscanf(sats[i].c_str(), "%d/%d/%d", &el, &az, &used) < 2)
                throw std::runtime_error("a satellite is elevation/azimuth[/used]");
            record.elevations[i] = static_cast<std::uint8_t>(el);
            record.azimuths[i] = static_cast<std::uint16_t>(az);
            record.used[i] = static_cast<std::uint8_t>(used != 0);
            record.inView = static_cast<std::int8_t>(i + 1);
        }
        c->SetSatellites(record);
        return c;
    }
    throw std::runtime_error("unknown class " + cls);
}

class Sheet {
public:
    Sheet(int w, int h) : w(w), h(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bitmap);
        cdc.Attach(dc);
    }
    ~Sheet() {
        cdc.Detach();
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear() {
        const RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    int w, h;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    CDC cdc;
};

} // namespace

int RunGallery(NaviRcBuilder& builder, const std::string& file, const std::string& out,
               const std::vector<std::pair<int, int>>& taps) {
    // A gallery lists a screen's worth of controls: a few kilobytes.
    std::string text, error;
    if (!InputFile::ReadAll(file, 1u << 20, text, error)) {
        std::fprintf(stderr, "velko-skinshot: %s\n", error.c_str());
        return 2;
    }
    std::istringstream in(text);
    Printer printer;
    NaviPanel panel;
    panel.SetListener(&printer);
    panel.SetSize(builder.GetScreenWidth(), builder.GetScreenHeight());
    panel.SetPos(0, 0);
    std::string line;
    int number = 0;
    try {
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
                continue;
            std::string cls;
            Fields fields;
            if (!ParseLine(line, cls, fields)) throw std::runtime_error("expected: Class key=value ...");
            NaviControl* c = Make(builder, cls, fields, &panel);
            panel.AddChild(c);
        }
    } catch (const std::exception& e) {
        std::printf("gallery=%s line=%d error=%s\n", file.c_str(), number, e.what());
        return 1;
    }
    Sheet sheet(builder.GetScreenWidth(), builder.GetScreenHeight());
    const auto paint = [&] {
        sheet.Clear();
        panel.Paint(&sheet.cdc);
    };
    paint(); // the first drawing lays out texts and groups
    for (const NaviControl* c : panel.GetChildren()) {
        const RECT r = c->GetRect();
        std::printf("control name=%s rect=%d,%d,%d,%d\n", Utf8(c->Name()).c_str(), r.left, r.top, r.right, r.bottom);
    }
    for (auto [x, y] : taps) {
        std::printf("tap x=%d y=%d\n", x, y);
        for (NaviControl* c : panel.GetChildren())
            if (const int code = c->IsVisible() ? c->HitTest(x, y) : 0; code != 0)
                std::printf("hit name=%s code=%d\n", Utf8(c->Name()).c_str(), code);
        panel.DispatchPenDown(x, y);
        paint();
        panel.DispatchPenUp(x, y);
        paint();
    }
    if (!GdiSavePng(sheet.bitmap, out)) {
        std::printf("gallery=%s error=cannot write %s\n", file.c_str(), out.c_str());
        return 1;
    }
    std::printf("gallery=%s controls=%zu taps=%zu out=%s\n", file.c_str(), panel.GetChildren().size(), taps.size(),
                out.c_str());
    return 0;
}
