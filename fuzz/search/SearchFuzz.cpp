// Feeds arbitrary bytes to every search database reader: the bytes become the name database,
// the address database, the point-of-interest database, a theme file and a nearby-facility
// file in turn (with a small valid admin-name table beside them), and each reader runs its
// queries over them.
#include "platform/files/DeviceRoot.h"
#include "search/CateIndex.h"
#include "search/NameDBFile.h"
#include "search/NameMatcher.h"
#include "search/NeighManage.h"
#include "search/PoiFile.h"
#include "search/SrchAddr.h"
#include "search/ThemeDB.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("velko-fuzz-search-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir / "Theme");
        DeviceRoot::SetRoot(dir.string());
        // Admin names: a 40-byte header naming offset 40, then two 20-byte names.
        std::string admin(80, '\0');
        admin.replace(0, 5, "3 1 0");
        admin[32] = 40;
        admin.replace(40, 2, "\xB0\xA1");
        admin.replace(60, 2, "\xB3\xAA");
        std::FILE* f = std::fopen((dir / "A.db").c_str(), "wb");
        std::fwrite(admin.data(), 1, admin.size(), f);
        std::fclose(f);
        return dir.string();
    }();
    return folder;
}

void Write(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen((Folder() + "/" + name).c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Write("N.db", data, size);
    Write("Theme/T.thm", data, size);
    Write("F.MDC", data, size);
    const char* queries[] = {"\xB0\xA1", "\xB0\xA1\xB6\xF7", "L", "LG\xC1\xD6", "\xB0\xA1 x"};
    {
        CNameDBFile db;
        if (db.OpenOn(u"N.db", u"A.db"))
            for (const char* q : queries) {
                db.Search(q);
                NameHit hit;
                for (int i = 0; i < db.GetCount() && i < 20; ++i) db.GetHit(i, hit);
            }
        _VERSION_INFO v;
        CNameDBFile::ReadVersion(u"N.db", v);
    }
    {
        CNameMatcher m;
        if (m.OpenOn(u"N.db", u"A.db")) m.Search("\xB0\xA1 L");
    }
    {
        CCateIndex c;
        if (c.OpenOn(u"N.db", u"A.db")) {
            for (int l = 0; l < 4; ++l)
                for (int i = 0; i < c.GetListCount(l) && i < 4; ++i) {
                    char name[31];
                    c.GetItemName(l, i, name);
                    c.Select(l, i);
                }
            NameHit hit;
            for (int i = 0; i < c.GetFacilityCount() && i < 20; ++i) c.GetHit(i, hit);
        }
    }
    {
        CSrchAddr a;
        if (a.OpenOn(u"N.db", u"A.db")) {
            for (int l = 0; l < 4; ++l) {
                for (int i = 0; i < a.GetListCount(l) && i < 4; ++i) a.Search(l, i);
                a.SetDepth(l);
                a.Search(0, 12, 3);
                a.Search(1, 70000, 0);
            }
        }
    }
    {
        CPoiFile poi;
        if (poi.Open(u"N.db")) {
            _POI_RESULT r;
            for (int n = 0; n < 8; ++n) poi.ReadPOI(n, r);
        }
    }
    {
        CThemeDB t;
        if (t.Init(u"Theme") && t.LoadTheme(0)) {
            t.SetCurrentPos(1000, 1000);
            for (int mode = 0; mode < 3; ++mode) {
                t.Search(0, "", mode);
                t.Search(5, "\xB0\xA1", mode);
                ThemeRow row;
                for (int i = 0; i < t.GetCount() && i < 20; ++i) t.GetRow(i, row);
            }
            std::vector<_POI_ITEM> items;
            for (int k = 0; k < 4; ++k) t.GetDetail(k, items);
        }
    }
    {
        CNeighManage neigh;
        for (int category : {0, 3, 6})
            for (long y : {11910000L, 13485000L, 13889999L}) neigh.InitNeighManage(category, 45729000, y, u"", u"F.MDC");
    }
    return 0;
}
