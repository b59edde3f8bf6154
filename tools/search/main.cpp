// velko-search --root DIR COMMAND ...: runs the searches of the search library over a device's
// "SearchDB" and prints key=value lines (UTF-8).
//   name TEXT [--expand]                      prefix search (or the word search)
//   address [--path i,j,k,l] [--lot TEXT]     area lists level by level, then a parcel
//   category --path i,j,k,l [--find TEXT]     the category tree and a district's facilities
//   poi N                                     the details of point of interest N
//   theme [--theme i --mode m --value v --text T --at X,Y]   themes and their places
//   versions                                  the version texts of the databases
//   --ui poi N|name|address|category|nearby|theme [--ui-type T] [--point-type P] [--direct-route]
//        [--at X,Y] [--no-mediator] [--prev FILE] [--script FILE --frames DIR [--sdl]]
//                                             runs one search screen through the search facade
//                                             and prints its code, the record, then every call
//                                             the screen made to the program's mediator and map
//                                             callback (both recorded here): in a window for a
//                                             person, or driven by a script in the headless host
//                                             (in a window with --sdl); --prev FILE starts from a
//                                             record printed before; --at is the car's position
//                                             (network coordinates; ÷ 10 for themes), 가람시청
//                                             without it; --no-mediator leaves the mediator unset
// Positions print as the sheet code and offsets and as the map point the program forms.
#include "mapview/CodeRecord.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "search/CSearchManager.h"
#include "search/CateIndex.h"
#include "search/NaviMediator.h"
#include "search/NameSearcher.h"
#include "search/PoiFile.h"
#include "search/SearchFormat.h"
#include "search/SrchAddr.h"
#include "search/ThemeDB.h"
#include "skinui/NaviRcBuilder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: velko-search --root DIR [--data CEPATH] COMMAND\n"
                 "  name TEXT [--expand]\n"
                 "  address [--path i,j,k,l] [--lot TEXT]\n"
                 "  category --path i,j,k,l [--find TEXT]\n"
                 "  poi N\n"
                 "  theme [--theme i --mode m --value v --text T --at X,Y]\n"
                 "  versions\n"
                 "  --ui poi N|name|address|category|nearby|theme [--ui-type T] [--point-type P] [--direct-route]\n"
                 "       [--at X,Y] [--no-mediator] [--prev FILE] [--script FILE --frames DIR [--sdl]]\n");
    return 2;
}

std::string U8(const char* cp949, std::size_t n = 4096) {
    return Cp949ToUtf8(std::string(cp949, tolvik::FieldLength(cp949, n)));
}

std::vector<int> Numbers(const std::string& text) {
    std::vector<int> out;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = text.find(',', at);
        const std::string part = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        char* end = nullptr;
        const long v = std::strtol(part.c_str(), &end, 10);
        // A number outside int's range is refused rather than wrapped into another one.
        if (part.empty() || !end || *end || v < INT_MIN || v > INT_MAX) return {};
        out.push_back(static_cast<int>(v));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return out;
}

// One whole number in int's range.
bool OneNumber(const std::string& text, int& out) {
    const std::vector<int> v = Numbers(text);
    if (v.size() != 1) return false;
    out = v[0];
    return true;
}

// " code= dx= dy= x= y=": the stored position and the map point the program forms from it.
std::string Position(const std::uint16_t pos[3]) {
    char code[16];
    std::snprintf(code, sizeof code, "00%d", pos[0]);
    POINT a{0, 0}, b{0, 0};
    long x = -1, y = -1;
    if (SheetCodeToRect(code, a, b)) {
        x = static_cast<long>(static_cast<float>(b.x) * 1.2f) + pos[1];
        y = b.y + pos[2];
    }
    char out[96];
    std::snprintf(out, sizeof out, " code=%u dx=%u dy=%u x=%ld y=%ld", pos[0], pos[1], pos[2], x, y);
    return out;
}

struct Paths {
    std::u16string data, names, admin, address, poi, theme;
    explicit Paths(const std::u16string& folder)
        : data(folder), names(folder + u"\\SearchDB\\nVelko.db"), admin(folder + u"\\SearchDB\\AdminName.db"),
          address(folder + u"\\SearchDB\\aVelko.db"), poi(folder + u"\\SearchDB\\POI.db"),
          theme(folder + u"\\SearchDB\\Theme") {}
};

int NameCommand(const Paths& p, const std::string& text, bool expand) {
    CNameSearcher s;
    if (!s.Create() || !s.OpenOn(p.names.c_str(), p.admin.c_str())) {
        std::printf("error=cannot open the name database\n");
        return 1;
    }
    const std::string query = Utf8ToCp949(text);
    int code = 0;
    const bool ok = expand ? s.SearchExpanded(query.c_str(), code) : s.SearchPrefix(query.c_str(), code);
    std::printf("query=%s mode=%s code=%d count=%d\n", text.c_str(), expand ? "expanded" : "prefix", code,
                ok ? s.GetCount() : 0);
    if (!ok) return 0;
    for (int i = 0; i < s.GetCount(); ++i) {
        NameHit hit;
        if (!s.GetHit(i, hit)) {
            std::printf("hit=%d error=unreadable\n", i);
            continue;
        }
        std::printf("hit=%d name=%s region=%s%s poi=%u\n", i, U8(hit.name, 20).c_str(), U8(hit.text, 52).c_str(),
                    Position(hit.pos).c_str(), s.GetDetailNumber(i));
    }
    return 0;
}

void PrintAreaList(CSrchAddr& a, int level) {
    std::printf("level=%d count=%d\n", level, a.GetListCount(level));
    for (int i = 0; i < a.GetListCount(level); ++i) {
        char name[21] = {};
        _ADDR_RESULT r;
        a.GetTypeName(level, i, name);
        a.GetSearchResult(level, i, r);
        std::printf("item=%d name=%s type=%d%s\n", i, U8(name, 20).c_str(), a.GetDownNodeType(level, i),
                    Position(r.pos).c_str());
    }
}

int AddressCommand(const Paths& p, const std::vector<int>& path, bool hasLot, const std::string& lot) {
    CSrchAddr a;
    if (!a.OpenOn(p.address.c_str(), p.admin.c_str())) {
        std::printf("error=cannot open the address database\n");
        return 1;
    }
    if (path.size() > 4) return Usage();
    for (std::size_t level = 0; level < path.size(); ++level) {
        const int index = path[level];
        if (index < 0 || index >= a.GetListCount(static_cast<int>(level))) {
            std::printf("error=no entry %d at level %zu\n", index, level);
            return 1;
        }
        a.Search(static_cast<int>(level), index);
    }
    if (path.empty()) {
        PrintAreaList(a, 0);
        return 0;
    }
    const int depth = static_cast<int>(path.size()) - 1;
    _ADDR_RESULT r;
    char area[21] = {};
    a.GetSearchResult(depth, path.back(), r);
    a.GetTypeName(depth, path.back(), area);
    std::printf("selected=%s level=%d type=%d%s\n", U8(area, 20).c_str(), depth, a.GetDownNodeType(depth, path.back()),
                Position(r.pos).c_str());
    if (!hasLot) {
        if (depth < 3 && a.GetListCount(depth + 1) > 0) PrintAreaList(a, depth + 1);
        return 0;
    }
    unsigned char mountain = 0;
    int main = 0, sub = 0;
    if (!CSrchAddr::ParseLotText(Utf8ToCp949(lot), mountain, main, sub)) {
        std::printf("error=empty parcel number\n");
        return 1;
    }
    a.SetDepth(depth);
    const int result = a.Search(mountain, main, sub);
    std::printf("lot=%s result=%d near=%d\n", lot.c_str(), result, a.GetNearLotCount());
    for (int i = 0; i < a.GetNearLotCount(); ++i) {
        _ADDR_RESULT n;
        a.GetSearchResult(4 + i, i, n);
        char detail[31];
        CSrchAddr::LotDetail(area, n.detail, detail);
        std::printf("near=%d lot=%s detail=%s%s\n", i, U8(n.detail, 31).c_str(), U8(detail, 31).c_str(),
                    Position(n.pos).c_str());
    }
    return 0;
}

int CategoryCommand(const Paths& p, const std::vector<int>& path, bool hasFind, const std::string& find) {
    CCateIndex c;
    if (!c.OpenOn(p.names.c_str(), p.admin.c_str())) {
        std::printf("error=cannot open the category tree\n");
        return 1;
    }
    if (path.size() > 4) return Usage();
    for (std::size_t level = 0; level < path.size(); ++level) {
        if (!c.Select(static_cast<int>(level), path[level])) {
            std::printf("error=no entry %d at level %zu\n", path[level], level);
            return 1;
        }
    }
    if (path.size() < 4) {
        const int level = static_cast<int>(path.size());
        std::printf("level=%d count=%d\n", level, c.GetListCount(level));
        for (int i = 0; i < c.GetListCount(level); ++i) {
            char name[31] = {};
            c.GetItemName(level, i, name);
            std::printf("item=%d name=%s\n", i, U8(name, 30).c_str());
        }
        return 0;
    }
    std::printf("facilities=%d\n", c.GetFacilityCount());
    int found = -1;
    const std::string prefix = Utf8ToCp949(find);
    for (int i = 0; i < c.GetFacilityCount(); ++i) {
        NameHit hit;
        if (!c.GetHit(i, hit)) {
            std::printf("facility=%d error=unreadable\n", i);
            continue;
        }
        if (found < 0 && hasFind && std::strncmp(hit.name, prefix.c_str(), prefix.size()) == 0) found = i;
        std::printf("facility=%d name=%s region=%s%s poi=%u\n", i, U8(hit.name, 20).c_str(), U8(hit.text, 52).c_str(),
                    Position(hit.pos).c_str(), c.GetDetailNumber(i));
    }
    if (hasFind) std::printf("find=%s index=%d\n", find.c_str(), found);
    return 0;
}

int PoiCommand(const Paths& p, int n) {
    CPoiFile poi;
    if (!poi.Open(p.poi.c_str())) {
        std::printf("error=cannot open the point-of-interest database\n");
        return 1;
    }
    _POI_RESULT r;
    if (!poi.ReadPOI(n, r)) {
        std::printf("poi=%d found=0\n", n);
        return 1;
    }
    std::printf("poi=%d found=1 name=%s first=%d second=%d items=%zu\n", n, U8(r.name, 20).c_str(), r.first, r.second,
                r.items.size());
    for (std::size_t i = 0; i < r.items.size(); ++i)
        std::printf("item=%zu label=%s text=%s\n", i, U8(r.items[i].label, 40).c_str(), U8(r.items[i].text, 2048).c_str());
    return 0;
}

int ThemeCommand(const Paths& p, int theme, int mode, int value, const std::string& text, long atX, long atY) {
    CThemeDB t;
    if (!t.Init(p.theme.c_str())) {
        std::printf("error=no theme\n");
        return 1;
    }
    if (theme < 0) {
        std::printf("themes=%d\n", t.GetThemeCount());
        for (int i = 0; i < t.GetThemeCount(); ++i) {
            char title[41] = {}, description[101] = {};
            t.GetThemeTitle(i, title);
            t.GetThemeDescription(i, description);
            std::printf("theme=%d title=%s description=%s\n", i, U8(title, 40).c_str(), U8(description, 100).c_str());
        }
        return 0;
    }
    if (!t.LoadTheme(theme)) {
        std::printf("error=cannot load theme %d\n", theme);
        return 1;
    }
    t.SetCurrentPos(static_cast<std::int32_t>(atX), static_cast<std::int32_t>(atY));
    const bool found = t.Search(value, Utf8ToCp949(text).c_str(), mode);
    std::printf("theme=%d mode=%d value=%d found=%d count=%d regions=%d\n", theme, mode, value, found ? 1 : 0,
                found || mode == 0 ? t.GetCount() : 0, t.GetRegionCount());
    if (!found && mode != 0) return 0;
    for (int i = 0; i < t.GetCount(); ++i) {
        ThemeRow row;
        if (!t.GetRow(i, row)) {
            std::printf("place=%d error=unreadable\n", i);
            continue;
        }
        std::printf("place=%d name=%s text=%s x=%u y=%u net_x=%lu net_y=%lu detail=%d\n", i, U8(row.name, 20).c_str(),
                    U8(row.text, 52).c_str(), row.x, row.y, static_cast<unsigned long>(row.x) * 10,
                    static_cast<unsigned long>(row.y) * 10, t.GetDetailNumber(i));
    }
    return 0;
}

void PrintVersion(const char* key, bool ok, const _VERSION_INFO& v) {
    if (!ok) {
        std::printf("%s=unreadable\n", key);
        return;
    }
    std::printf("%s=%u %u %u %s %s\n", key, v.major, v.minor, v.revision, std::string(v.word1, tolvik::FieldLength(v.word1, 10)).c_str(),
                std::string(v.word2, tolvik::FieldLength(v.word2, 10)).c_str());
}

int VersionsCommand(const Paths& p) {
    _VERSION_INFO v;
    CSrchAddr a;
    bool ok = a.GetAddrDBVersionInfo(p.address.c_str(), v);
    PrintVersion("address", ok, v);
    ok = CNameDBFile::ReadVersion(p.names.c_str(), v);
    PrintVersion("name", ok, v);
    ok = CNameDBFile::ReadVersion(p.admin.c_str(), v);
    PrintVersion("admin", ok, v);
    tolvik::DbFile poi;
    char text[32];
    ok = poi.Open(p.poi.c_str()) && poi.ReadAt(0, text, 32) && tolvik::ParseVersionText(text, v);
    PrintVersion("poi", ok, v);
    return 0;
}

struct UiOptions {
    std::string kind, script, frames;
    int number = 0;
    int uiType = CSearchManager::kBasicUiType;
    int pointType = 0;
    bool directRoute = false;
    bool sdl = false;
    bool noMediator = false;
    // The current position: network coordinates for the nearby search, network / 10 for themes.
    unsigned long atX = 0, atY = 0;
    bool hasAt = false;
    std::string prev; // host path of a record printed before
};

// The key=value lines of a record printed before.
using RecordLines = std::vector<std::pair<std::string, std::string>>;

// A record printed before is a few dozen lines.
constexpr std::uint64_t kMaxRecordFileBytes = 1u << 20;

RecordLines ParseRecordLines(const std::string& text) {
    RecordLines out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

// Fills the fields of a name record that the lines name; text fields cut on a character boundary.
void ReadNameRecord(const RecordLines& lines, _NAME_RESULT& r) {
    for (const auto& [key, value] : lines) {
        const int n = std::atoi(value.c_str());
        if (key == "query") tolvik::CopyField(Utf8ToCp949(value), r.query, sizeof r.query);
        else if (key == "name") tolvik::CopyField(Utf8ToCp949(value), r.name, sizeof r.name);
        else if (key == "row") r.row = n;
        else if (key == "map_level") r.mapLevel = static_cast<std::uint16_t>(n);
        else if (key == "code") r.pos[0] = static_cast<std::uint16_t>(n);
        else if (key == "dx") r.pos[1] = static_cast<std::uint16_t>(n);
        else if (key == "dy") r.pos[2] = static_cast<std::uint16_t>(n);
        else if (key == "point_type") r.pointType = static_cast<std::uint8_t>(n);
        else if (key == "route_directly") r.routeDirectly = static_cast<std::uint8_t>(n);
    }
}

// Fills the fields of an address record that the lines name ("index" is "i0,i1,i2,i3").
void ReadAddrRecord(const RecordLines& lines, _ADDR_RESULT& r) {
    for (const auto& [key, value] : lines) {
        const int n = std::atoi(value.c_str());
        if (key == "lot") tolvik::CopyField(Utf8ToCp949(value), r.lotInput, sizeof r.lotInput);
        else if (key == "detail") tolvik::CopyField(Utf8ToCp949(value), r.detail, sizeof r.detail);
        else if (key == "index") std::sscanf(value.c_str(), "%d,%d,%d,%d", &r.levelIndex[0], &r.levelIndex[1],
                                             &r.levelIndex[2], &r.levelIndex[3]);
        else if (key == "map_level") r.mapLevel = static_cast<std::uint16_t>(n);
        else if (key == "code") r.pos[0] = static_cast<std::uint16_t>(n);
        else if (key == "dx") r.pos[1] = static_cast<std::uint16_t>(n);
        else if (key == "dy") r.pos[2] = static_cast<std::uint16_t>(n);
        else if (key == "point_type") r.pointType = static_cast<std::uint8_t>(n);
        else if (key == "route_directly") r.routeDirectly = static_cast<std::uint8_t>(n);
    }
}

void PrintAddrRecord(const _ADDR_RESULT& r) {
    std::printf("lot=%s\ndetail=%s\nindex=%d,%d,%d,%d\nmap_level=%d\ncode=%d\ndx=%d\ndy=%d\npoint_type=%d\n"
                "route_directly=%d\n",
                U8(r.lotInput, sizeof r.lotInput).c_str(), U8(r.detail, sizeof r.detail).c_str(), r.levelIndex[0],
                r.levelIndex[1], r.levelIndex[2], r.levelIndex[3], r.mapLevel, r.pos[0], r.pos[1], r.pos[2],
                r.pointType, r.routeDirectly);
}

// Fills the fields of a category record that the lines name ("index" is "i0,i1,i2,i3,i4").
void ReadCateRecord(const RecordLines& lines, _CATE_RESULT& r) {
    for (const auto& [key, value] : lines) {
        const int n = std::atoi(value.c_str());
        if (key == "name") tolvik::CopyField(Utf8ToCp949(value), r.name, sizeof r.name);
        else if (key == "text") tolvik::CopyField(Utf8ToCp949(value), r.text, sizeof r.text);
        else if (key == "index") std::sscanf(value.c_str(), "%d,%d,%d,%d,%d", &r.index[0], &r.index[1], &r.index[2],
                                             &r.index[3], &r.index[4]);
        else if (key == "map_level") r.mapLevel = static_cast<std::uint16_t>(n);
        else if (key == "code") r.pos[0] = static_cast<std::uint16_t>(n);
        else if (key == "dx") r.pos[1] = static_cast<std::uint16_t>(n);
        else if (key == "dy") r.pos[2] = static_cast<std::uint16_t>(n);
        else if (key == "point_type") r.pointType = static_cast<std::uint8_t>(n);
        else if (key == "route_directly") r.routeDirectly = static_cast<std::uint8_t>(n);
    }
}

void PrintCateRecord(const _CATE_RESULT& r) {
    std::printf("name=%s\ntext=%s\nindex=%d,%d,%d,%d,%d\nmap_level=%d\ncode=%d\ndx=%d\ndy=%d\npoint_type=%d\n"
                "route_directly=%d\n",
                U8(r.name, sizeof r.name).c_str(), U8(r.text, sizeof r.text).c_str(), r.index[0], r.index[1],
                r.index[2], r.index[3], r.index[4], r.mapLevel, r.pos[0], r.pos[1], r.pos[2], r.pointType,
                r.routeDirectly);
}

void PrintPoiRecord(const _POI_RESULT_AUTO& r) {
    std::printf("poi_index=%d\npoint_type=%d\nroute_directly=%d\nname=%s\n", r.poiIndex, r.pointType,
                r.routeDirectly, U8(r.name, sizeof r.name).c_str());
}

void PrintNameRecord(const _NAME_RESULT& r) {
    std::printf("query=%s\nname=%s\nrow=%d\nmap_level=%d\ncode=%d\ndx=%d\ndy=%d\npoint_type=%d\nroute_directly=%d\n",
                U8(r.query, sizeof r.query).c_str(), U8(r.name, sizeof r.name).c_str(), r.row, r.mapLevel, r.pos[0],
                r.pos[1], r.pos[2], r.pointType, r.routeDirectly);
}

// The program's side of the nearby search, recorded: each call is printed after the record.
class RecordingMediator : public NaviMediator {
public:
    ~RecordingMediator() override {
        for (AroundFacilityItem* item : m_items) delete item;
    }
    void AddItem(AroundFacilityItem* item) override {
        if (!item) {
            calls.push_back("mediator=AddItem null");
            return;
        }
        calls.push_back("mediator=AddItem " + Describe(*item));
        m_items.push_back(item);
    }
    void SetItem(int i, const AroundFacilityItem& item) override {
        calls.push_back("mediator=SetItem " + std::to_string(i) + " " + Describe(item));
        if (i >= 0 && static_cast<std::size_t>(i) < m_items.size()) *m_items[static_cast<std::size_t>(i)] = item;
    }
    void SetState(int state) override {
        calls.push_back("mediator=SetState " + std::to_string(state));
        // A new search starts a fresh marker list.
        if (state == 1) {
            for (AroundFacilityItem* item : m_items) delete item;
            m_items.clear();
        }
    }
    void ForwardKey(int key) override { calls.push_back("mediator=ForwardKey " + std::to_string(key)); }

    std::vector<std::string> calls;

private:
    static std::string Describe(const AroundFacilityItem& item) {
        return Utf16ToUtf8(item.name.GetString()) + " " + std::to_string(item.x) + " " + std::to_string(item.y) + " " +
               std::to_string(item.value);
    }
    std::vector<AroundFacilityItem*> m_items;
};

std::vector<std::string>* g_callbackCalls = nullptr;

int RecordMapCallback(unsigned long x, unsigned long y, int level, int height) {
    if (g_callbackCalls)
        g_callbackCalls->push_back("callback=" + std::to_string(x) + " " + std::to_string(y) + " " +
                                   std::to_string(level) + " " + std::to_string(height));
    return 0;
}

// Fills the fields of a nearby record that the lines name.
void ReadAroundRecord(const RecordLines& lines, _AROUND_RESULT& r) {
    for (const auto& [key, value] : lines) {
        const int n = std::atoi(value.c_str());
        if (key == "kind") r.kind = n;
        else if (key == "name") tolvik::CopyField(Utf8ToCp949(value), r.name, sizeof r.name);
        else if (key == "x") r.x = n;
        else if (key == "y") r.y = n;
        else if (key == "category") r.category = n;
        else if (key == "shown_category") r.shownCategory = n;
        else if (key == "map_level") r.mapLevel = static_cast<std::uint8_t>(n);
        else if (key == "point_type") r.pointType = static_cast<std::uint8_t>(n);
        else if (key == "route_directly") r.routeDirectly = static_cast<std::uint8_t>(n);
        else if (key == "from_x") r.fromX = n;
        else if (key == "from_y") r.fromY = n;
        else if (key == "row") r.row = n;
    }
}

void PrintAroundRecord(const _AROUND_RESULT& r) {
    std::printf("kind=%d\nname=%s\nx=%d\ny=%d\ncategory=%d\nshown_category=%d\nmap_level=%d\npoint_type=%d\n"
                "route_directly=%d\nfrom_x=%d\nfrom_y=%d\nrow=%d\n",
                r.kind, U8(r.name, sizeof r.name).c_str(), r.x, r.y, r.category, r.shownCategory, r.mapLevel,
                r.pointType, r.routeDirectly, r.fromX, r.fromY, r.row);
}

// Fills the fields of a theme record that the lines name.
void ReadThemeRecord(const RecordLines& lines, _THEME_RESULT& r) {
    for (const auto& [key, value] : lines) {
        const long n = std::atol(value.c_str());
        if (key == "name") tolvik::CopyField(Utf8ToCp949(value), r.name, sizeof r.name);
        else if (key == "theme_kind") r.themeKind = static_cast<std::int32_t>(n);
        else if (key == "theme") r.theme = static_cast<std::int32_t>(n);
        else if (key == "row") r.row = static_cast<std::int32_t>(n);
        else if (key == "filter_mode") r.filterMode = static_cast<std::int32_t>(n);
        else if (key == "filter_selection") r.filterSelection = static_cast<std::int32_t>(n);
        else if (key == "text") tolvik::CopyField(Utf8ToCp949(value), r.text, sizeof r.text);
        else if (key == "x") r.x = static_cast<std::uint32_t>(n);
        else if (key == "y") r.y = static_cast<std::uint32_t>(n);
        else if (key == "map_level") r.mapLevel = static_cast<std::uint8_t>(n);
        else if (key == "point_type") r.pointType = static_cast<std::uint8_t>(n);
        else if (key == "route_directly") r.routeDirectly = static_cast<std::uint8_t>(n);
        else if (key == "from_x") r.fromX = static_cast<std::int32_t>(n);
        else if (key == "from_y") r.fromY = static_cast<std::int32_t>(n);
    }
}

void PrintThemeRecord(const _THEME_RESULT& r) {
    std::printf("name=%s\ntheme_kind=%d\ntheme=%d\nrow=%d\nfilter_mode=%d\nfilter_selection=%d\ntext=%s\nx=%u\ny=%u\n"
                "map_level=%d\npoint_type=%d\nroute_directly=%d\nfrom_x=%d\nfrom_y=%d\n",
                U8(r.name, sizeof r.name).c_str(), r.themeKind, r.theme, r.row, r.filterMode, r.filterSelection,
                U8(r.text, sizeof r.text).c_str(), r.x, r.y, r.mapLevel, r.pointType, r.routeDirectly, r.fromX,
                r.fromY);
}

// One search screen through the facade, as the program runs it, driven by a host script.
int UiCommand(const Paths& p, const UiOptions& o) {
    if (o.kind != "poi" && o.kind != "name" && o.kind != "address" && o.kind != "category" &&
        o.kind != "nearby" && o.kind != "theme") {
        std::fprintf(stderr, "velko-search: --ui %s is not available\n", o.kind.c_str());
        return 2;
    }
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\Program Files\\Velko\\res");
    NaviMessageBox box;
    box.Initialize(&builder);
    CSearchManager manager;
    manager.InitPath(p.data.c_str());
    manager.SetResourceBuilder(&builder);
    manager.SetUIType(o.uiType);
    manager.SetDirectRoute(o.directRoute);
    const bool basic = o.uiType == CSearchManager::kBasicUiType;
    if (o.kind == "address") manager.SetSearchName(basic ? u"AddressSearch" : u"AddressSearchAdv");
    else if (o.kind == "category") manager.SetSearchName(u"CateSearch");
    else if (o.kind == "nearby") manager.SetSearchName(basic ? u"AroundSearch" : u"AroundSearchAdv");
    else if (o.kind == "theme") manager.SetSearchName(basic ? u"ThemeSearch" : u"ThemeSearchAdv");
    else manager.SetSearchName(basic ? u"NameSearch" : u"NameSearchAdv");
    RecordingMediator mediator;
    std::vector<std::string> callbackCalls;
    g_callbackCalls = &callbackCalls;
    if (!o.noMediator) manager.SetNaviMediator(&mediator);
    manager.m_pMapCallback = RecordMapCallback;
    manager.SetStoragePath(p.data.c_str());
    // Without --at the car stands at 가람시청 (network 45763393, 13506433).
    if (o.hasAt) manager.InitCurrentPos(o.atX, o.atY);
    else if (o.kind == "theme") manager.InitCurrentPos(4576339, 1350643);
    else manager.InitCurrentPos(45763393, 13506433);
    _POI_RESULT_AUTO record;
    record.poiIndex = o.number;
    record.pointType = static_cast<std::uint8_t>(o.pointType);
    _NAME_RESULT name;
    name.pointType = static_cast<std::uint8_t>(o.pointType);
    _ADDR_RESULT address;
    address.pointType = static_cast<std::uint8_t>(o.pointType);
    _AROUND_RESULT around;
    around.pointType = static_cast<std::uint8_t>(o.pointType);
    _THEME_RESULT theme;
    theme.pointType = static_cast<std::uint8_t>(o.pointType);
    _CATE_RESULT category;
    category.pointType = static_cast<std::uint8_t>(o.pointType);
    if (!o.prev.empty()) {
        std::string text, error;
        if (!InputFile::ReadAll(o.prev, kMaxRecordFileBytes, text, error)) {
            std::fprintf(stderr, "velko-search: --prev %s\n", error.c_str());
            return 2;
        }
        const RecordLines lines = ParseRecordLines(text);
        if (o.kind == "address") ReadAddrRecord(lines, address);
        else if (o.kind == "category") ReadCateRecord(lines, category);
        else if (o.kind == "nearby") ReadAroundRecord(lines, around);
        else if (o.kind == "theme") ReadThemeRecord(lines, theme);
        else ReadNameRecord(lines, name);
    }
    int code = -1;
    auto run = [&] {
        if (o.kind == "name") code = manager.StartSearch(name);
        else if (o.kind == "address") code = manager.StartSearch(address);
        else if (o.kind == "category") code = manager.StartSearch(category);
        else if (o.kind == "nearby") code = manager.StartSearch(around);
        else if (o.kind == "theme") code = manager.StartSearch(theme);
        else code = manager.StartSearch(record);
        return 0;
    };
    std::string failure;
    if (o.script.empty() || o.sdl) {
        // A window for a person (no script), or the script presented in a window.
        SdlHostOptions options;
        options.script = o.script;
        options.outDir = o.frames.empty() ? "." : o.frames;
        options.title = "velko-search";
        SdlHost host(options);
        if (!host.Open(&failure)) {
            std::fprintf(stderr, "velko-search: %s\n", failure.c_str());
            return 2;
        }
        if (host.Run(run) == 3) failure = host.Failure();
    } else {
        HostOptions options;
        options.script = o.script;
        options.outDir = o.frames.empty() ? "." : o.frames;
        HeadlessHost host(options);
        if (!host.Prepare(&failure)) {
            std::fprintf(stderr, "velko-search: %s\n", failure.c_str());
            return 2;
        }
        host.Run(run);
        if (host.Failed()) failure = host.Failure();
    }
    box.Destruct();
    if (!failure.empty()) {
        std::printf("error=%s\n", failure.c_str());
        return 1;
    }
    std::printf("result=%d\n", code);
    if (o.kind == "name")
        PrintNameRecord(name);
    else if (o.kind == "address")
        PrintAddrRecord(address);
    else if (o.kind == "category")
        PrintCateRecord(category);
    else if (o.kind == "nearby")
        PrintAroundRecord(around);
    else if (o.kind == "theme")
        PrintThemeRecord(theme);
    else
        PrintPoiRecord(record);
    for (const std::string& call : mediator.calls) std::printf("%s\n", call.c_str());
    for (const std::string& call : callbackCalls) std::printf("%s\n", call.c_str());
    g_callbackCalls = nullptr;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string root, data, command;
    std::vector<std::string> args;
    UiOptions ui;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--ui" && i + 1 < argc) {
            ui.kind = argv[++i];
            if (i + 1 < argc && argv[i + 1][0] != '-' && !OneNumber(argv[++i], ui.number)) return Usage();
        } else if (a == "--ui-type" && i + 1 < argc) {
            if (!OneNumber(argv[++i], ui.uiType)) return Usage();
        } else if (a == "--point-type" && i + 1 < argc) {
            if (!OneNumber(argv[++i], ui.pointType)) return Usage();
        } else if (a == "--at" && i + 1 < argc) {
            const std::vector<int> at = Numbers(argv[++i]);
            if (at.size() != 2 || at[0] < 0 || at[1] < 0) return Usage();
            ui.atX = static_cast<unsigned long>(at[0]);
            ui.atY = static_cast<unsigned long>(at[1]);
            ui.hasAt = true;
            args.push_back(a);
            args.push_back(argv[i]);
        } else if (a == "--no-mediator") {
            ui.noMediator = true;
        } else if (a == "--direct-route")
            ui.directRoute = true;
        else if (a == "--sdl")
            ui.sdl = true;
        else if (a == "--prev" && i + 1 < argc)
            ui.prev = argv[++i];
        else if (a == "--script" && i + 1 < argc)
            ui.script = argv[++i];
        else if (a == "--frames" && i + 1 < argc)
            ui.frames = argv[++i];
        else if (a == "--root" && i + 1 < argc)
            root = argv[++i];
        else if (a == "--data" && i + 1 < argc)
            data = argv[++i];
        else if (command.empty() && a.rfind("--", 0) != 0)
            command = a;
        else
            args.push_back(a);
    }
    if (root.empty() || (command.empty() && ui.kind.empty())) return Usage();
    DeviceRoot::SetRoot(root);
    std::u16string folder = Utf8ToUtf16(data);
    std::string error;
    if (data.empty() && !FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-search: %s\n", error.c_str());
        return 2;
    }
    const Paths paths(folder);
    if (!ui.kind.empty()) return UiCommand(paths, ui);

    auto option = [&](const char* name, std::string& out) {
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == name) {
                out = args[i + 1];
                return true;
            }
        return false;
    };
    auto flag = [&](const char* name) {
        for (const std::string& a : args)
            if (a == name) return true;
        return false;
    };
    std::string value;
    if (command == "name") {
        if (args.empty() || args[0].rfind("--", 0) == 0) return Usage();
        return NameCommand(paths, args[0], flag("--expand"));
    }
    if (command == "address") {
        std::vector<int> path;
        if (option("--path", value) && (path = Numbers(value)).empty()) return Usage();
        std::string lot;
        const bool hasLot = option("--lot", lot);
        return AddressCommand(paths, path, hasLot, lot);
    }
    if (command == "category") {
        std::vector<int> path;
        if (option("--path", value) && (path = Numbers(value)).empty()) return Usage();
        std::string find;
        const bool hasFind = option("--find", find);
        return CategoryCommand(paths, path, hasFind, find);
    }
    if (command == "poi") {
        int n = 0;
        if (args.empty() || !OneNumber(args[0], n)) return Usage();
        return PoiCommand(paths, n);
    }
    if (command == "theme") {
        int theme = -1, mode = 0, v = 0;
        long x = 0, y = 0;
        std::string text;
        if (option("--theme", value)) theme = std::atoi(value.c_str());
        if (option("--mode", value)) mode = std::atoi(value.c_str());
        if (option("--value", value)) v = std::atoi(value.c_str());
        option("--text", text);
        if (option("--at", value)) {
            const std::vector<int> at = Numbers(value);
            if (at.size() != 2) return Usage();
            x = at[0];
            y = at[1];
        }
        return ThemeCommand(paths, theme, mode, v, text, x, y);
    }
    if (command == "versions") return VersionsCommand(paths);
    return Usage();
}
