// What the page tests share: a throw-away device root holding a link table and hand-written road
// tables, the link-speed store opened on it, a simulated clock, the built-in font, and fresh
// windows and singletons for each test.
#pragma once

#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "traffic/pages/DARCTraffic.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/Traffic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace pagestest {

inline std::string Le16(int v) {
    std::string s(2, '\0');
    s[0] = static_cast<char>(v & 0xFF);
    s[1] = static_cast<char>((v >> 8) & 0xFF);
    return s;
}
inline std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// Link ids of the link table: the index in the upper bits keeps them ascending; road class 3 is
// an ordinary link, bit 31 a highway link.
inline std::uint32_t LinkId(unsigned index, bool highway = false) {
    return highway ? (0x80000000u | index << 20 | 1u << 17) : (index << 20 | 3u << 17);
}

// One 36-byte record of the road tables.
struct Record {
    std::uint32_t child = 0; // counted from the end of the header
    int count = 0;
    int kind = 0;
    int roadName = 0;
    std::uint32_t direction = 0; // bit 16 the direction bit, bits 0-15 the pairing key
    std::uint32_t link = 0;
    int start = 0;
    int end = 0;
    int grid = 0;
    int x = 0;
    int y = 0;
    std::uint32_t length = 0;
    std::uint32_t parent = 0;

    std::string Bytes() const {
        std::string s = Le32(child) + Le16(count) + std::string(1, static_cast<char>(kind)) + std::string(1, '\0') +
                        Le16(roadName) + Le32(direction) + Le32(link) + Le16(start) + Le16(end) + Le16(grid) +
                        Le16(x) + Le16(y) + Le32(length) + Le32(parent);
        return s;
    }
};

inline std::string Name60(const std::string& cp949) {
    std::string s = cp949.substr(0, 59);
    s.resize(60, '\0');
    return s;
}

// Road tables of one top group ("고속도로") holding roads, each with its sections: level 0 one
// record, level 1 the roads, level 2 each road's sections. Section i of a road of n sections
// (n even) runs from place i to place i + 1 in the first direction; record n - 1 - i is the
// other direction of the same stretch. Each record carries the link id LinkId(first + i), where
// first counts the sections of the roads before.
struct RoadSpec {
    std::string name; // UTF-8
    int sections = 4;
    bool highway = true;
    std::uint32_t length = 300;
    int x0 = 100; // section i lies at x = x0 + i, y = 200 + i
};

inline std::string BuildRoadTables(const std::vector<RoadSpec>& roads) {
    constexpr std::uint32_t header = 88;
    int sectionTotal = 0;
    for (const RoadSpec& r : roads) sectionTotal += r.sections;
    const std::uint32_t level0 = header;
    const std::uint32_t roadTable = level0 + 36;
    const std::uint32_t sectionTable = roadTable + 36 * static_cast<std::uint32_t>(roads.size());
    const std::uint32_t roadNames = sectionTable + 36 * static_cast<std::uint32_t>(sectionTotal);
    const std::uint32_t placeNames = roadNames + 60 * static_cast<std::uint32_t>(roads.size() + 1);

    std::string names = Name60(Utf8ToCp949("고속도로"));
    std::string places;
    int placeCount = 0;
    std::string roadRecords, sectionRecords;
    std::uint32_t sectionAt = sectionTable;
    unsigned firstLink = 0;
    for (std::size_t k = 0; k < roads.size(); ++k) {
        const RoadSpec& spec = roads[k];
        names += Name60(Utf8ToCp949(spec.name));
        Record road;
        road.kind = 1;
        road.roadName = static_cast<int>(k + 1);
        road.child = sectionAt - header;
        road.count = spec.sections;
        road.direction = 1; // a road record's field 10 is non-zero
        road.parent = level0 - header;
        roadRecords += road.Bytes();
        const int n = spec.sections;
        const int firstPlace = placeCount;
        for (int p = 0; p <= n / 2; ++p)
            places += Name60(Utf8ToCp949(spec.name.substr(0, 6) + " 지점" + std::to_string(p))); // "누리고속도로": "누리 지점0"
        placeCount += n / 2 + 1;
        for (int i = 0; i < n; ++i) {
            Record s;
            const bool first = i < n / 2;
            const int stretch = first ? i : n - 1 - i;
            s.direction = static_cast<std::uint32_t>(stretch) | (first ? 0x10000u : 0u);
            s.link = LinkId(firstLink + static_cast<unsigned>(i), spec.highway);
            s.start = firstPlace + (first ? stretch : stretch + 1);
            s.end = firstPlace + (first ? stretch + 1 : stretch);
            s.grid = 1234;
            s.x = spec.x0 + i;
            s.y = 200 + i;
            s.length = spec.length;
            s.parent = roadTable + 36 * static_cast<std::uint32_t>(k) - header;
            sectionRecords += s.Bytes();
        }
        sectionAt += 36 * static_cast<std::uint32_t>(n);
        firstLink += static_cast<unsigned>(n);
    }
    Record top;
    top.kind = 1;
    top.roadName = 0;
    top.child = roadTable - header;
    top.count = static_cast<int>(roads.size());

    std::string h(40, '\0');
    h += Le32(level0) + Le32(1) + std::string(8, '\0') + Le32(roadTable) +
         Le32(static_cast<std::uint32_t>(roads.size())) + Le32(sectionTable) +
         Le32(static_cast<std::uint32_t>(sectionTotal)) + Le32(roadNames - header) + std::string(4, '\0') +
         Le32(placeNames - header) + std::string(4, '\0');
    return h + top.Bytes() + roadRecords + sectionRecords + names + places;
}

class PagesFixture : public ::testing::Test {
protected:
    static constexpr std::int64_t kNowSeconds = 1'800'000'000;

    PagesFixture() : m_clock(kNowSeconds * 1000) {
        InstallClock(&m_clock);
        GdiUseBuiltinFont(true);
        WinResetForTests();
    }
    ~PagesFixture() override {
        WinResetForTests();
        WinSetMessageBoxHandler(nullptr);
        CSheetStorage::destruct();
        CDARCTraffic::destruct();
        CTraffic::destruct();
        CDARC::destruct();
        InstallClock(nullptr);
    }

    // Writes the link table (count links, LinkId(i, highway)) and the road tables, and opens the
    // link-speed store on "\MapData".
    void MakeDevice(const std::vector<RoadSpec>& roads) {
        std::string links;
        unsigned index = 0;
        for (const RoadSpec& r : roads)
            for (int i = 0; i < r.sections; ++i) links += Le32(LinkId(index++, r.highway));
        m_root.MakeFile("MapData/MRDATA/DARCLINK.bin", links);
        m_root.MakeFile("MapData/Darc/DLevel1.db", BuildRoadTables(roads));
        CTraffic::instance()->openFile(CString(u"\\MapData"));
        ASSERT_EQ(CTraffic::instance()->GetLinkCount(), static_cast<int>(index));
    }

    // A broadcast speed for the link at index (a service-23 packet).
    static void SetSpeed(unsigned index, std::uint8_t speed) {
        unsigned long id = 0;
        ASSERT_EQ(CTraffic::instance()->getDarcIDByIdx(static_cast<unsigned short>(index), id), 1);
        unsigned char p[22] = {0x17, 0x00};
        for (int k = 0; k < 4; ++k) {
            p[2 + 5 * k] = static_cast<unsigned char>(id >> 24);
            p[3 + 5 * k] = static_cast<unsigned char>(id >> 16);
            p[4 + 5 * k] = static_cast<unsigned char>(id >> 8);
            p[5 + 5 * k] = static_cast<unsigned char>(id);
            p[6 + 5 * k] = speed;
        }
        ASSERT_EQ(CTraffic::instance()->setData(p, sizeof p), 1);
    }

    // Dispatches what is queued, giving the framework windows their PreTranslateMessage.
    static void Pump() {
        MSG m;
        for (int guard = 0; guard < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (m.message == WM_QUIT) break;
            if (CWnd::WalkPreTranslateTree(nullptr, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        WinDispatchPending();
    }
    static void Pen(UINT message, int x, int y) {
        WinInjectPen(message, x, y);
        Pump();
    }
    static void Tap(int x, int y) {
        WinInjectPen(WM_LBUTTONDOWN, x, y);
        WinInjectPen(WM_LBUTTONUP, x, y);
        Pump();
    }

    SimulatedClock m_clock;
    TempRoot m_root;
};

} // namespace pagestest
