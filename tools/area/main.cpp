// velko-area --root DIR [--gu] X,Y [X,Y ...]: the district and neighbourhood of map points,
// from the area tables of the device's search database folder.
// velko-area --root DIR --nearby C --at X,Y: the ten nearest facilities of category C (0..9)
// around a network position. Prints key=value lines (UTF-8).
#include "admin/AdminSearch.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MapDataFolder.h"
#include "search/NeighManage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velko-area --root DIR [--gu] X,Y [X,Y ...]\n"
                         "       velko-area --root DIR --nearby C --at X,Y\n");
    return 2;
}

bool Pair(const std::string& text, long& x, long& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    char* end = nullptr;
    x = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + comma) return false;
    y = std::strtol(text.c_str() + comma + 1, &end, 10);
    return end && *end == 0;
}

std::string U8(const char* cp949) {
    return Cp949ToUtf8(std::string(cp949, strnlen(cp949, 25)));
}

} // namespace

int main(int argc, char** argv) {
    std::string root, at;
    bool guOnly = false;
    int category = -1;
    std::vector<std::string> points;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (a == "--gu") {
            guOnly = true;
        } else if (a == "--nearby" && i + 1 < argc) {
            category = std::atoi(argv[++i]);
        } else if (a == "--at" && i + 1 < argc) {
            at = argv[++i];
        } else if (a.rfind("--", 0) == 0) {
            return Usage();
        } else {
            points.push_back(a);
        }
    }
    if (root.empty()) return Usage();
    DeviceRoot::SetRoot(root);
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-area: %s\n", error.c_str());
        return 2;
    }

    if (!at.empty()) {
        long x = 0, y = 0;
        if (!Pair(at, x, y) || !points.empty()) return Usage();
        const char16_t* file = CNeighManage::CategoryFile(category);
        if (!file) {
            std::printf("error=no category %d\ncount=0\n", category);
            return 1;
        }
        CNeighManage neigh;
        neigh.InitNeighManage(category, x, y, folder.c_str(), file);
        for (int i = 0; i < neigh.GetCount(); ++i) {
            std::uint8_t brand = 0;
            std::int32_t hx = 0, hy = 0, distance = 0, bearing = 0, level = 0;
            char name[21] = {};
            neigh.GetFacility(i, brand, hx, hy, distance, bearing, level, name);
            std::printf("hit=%d name=%s brand=%u distance=%d bearing=%d level=%d x=%d y=%d\n", i, U8(name).c_str(), brand,
                        distance, bearing, level, hx, hy);
        }
        std::printf("count=%d\n", neigh.GetCount());
        return 0;
    }
    if (points.empty()) return Usage();
    CAdminSearch search;
    if (!search.OpenTbl((Utf16ToCp949(folder) + "\\SearchDB\\").c_str())) {
        std::printf("error=cannot open the area tables\n");
        return 1;
    }
    for (const std::string& p : points) {
        long x = 0, y = 0;
        if (!Pair(p, x, y)) return Usage();
        char answer[25] = {}, gu[25] = {};
        const int found = guOnly ? search.GetGuName(x, y, answer) : search.DoSrch(x, y, answer);
        search.GetGuName(x, y, gu);
        std::string dong;
        const std::string whole = U8(answer), district = U8(gu);
        if (!guOnly && found && whole.size() > district.size() + 1) dong = whole.substr(district.size() + 1);
        std::printf("x=%ld y=%ld found=%d gu=%s dong=%s answer=%s\n", x, y, found, found ? district.c_str() : "",
                    dong.c_str(), found ? whole.c_str() : "");
    }
    return 0;
}
