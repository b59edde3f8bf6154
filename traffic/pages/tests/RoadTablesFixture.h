// Hand-written road tables ("Darc\DLevel1.db") for the traffic-page tests, written byte by byte
// after the file's layout, beside a link table and a loaded link-speed store.
//
// The small network (offsets counted from the end of the 88-byte header, plus a shift that moves
// every table when a test wants a rebuilt file):
//   level 0 at 0: "고속도로" (children: the roads at 72, 2), "국도" (children: the towns at 180, 1)
//   roads at 72: "누리고속도로" (8 sections at 216), "가람고속도로" (4 at 504), "국도1호선" (6 at 648)
//   towns at 180: "한빛시" (children: the road "국도1호선" at 144, 1)
//   sections from 216, road after road; road names from 864, place names from 1224.
// The first top group's roads have parent offset 0 (the record at the start of level 0).
#pragma once

#include "traffic/pages/DARCTraffic.h"
#include "traffic/pages/TrafficRoadDB.h"
#include "traffic/receiver/tests/ReceiverFixture.h"

#include "platform/base/Text.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct RoadRecord {
    std::uint32_t child = 0;
    std::int16_t count = 0;
    std::uint8_t kind = 0;
    std::int16_t name = 0;
    std::uint32_t direction = 0;
    std::uint32_t link = 0;
    std::int16_t start = 0;
    std::int16_t end = 0;
    std::int16_t grid = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint32_t length = 0;
    std::uint32_t parent = 0;
};

class RoadTablesFixture : public ReceiverFixture {
protected:
    static constexpr std::uint32_t kDirectionBit = 1u << 16;
    // Relative offsets of the tables (before the shift).
    static constexpr std::uint32_t kLevel0 = 0, kRoads = 72, kTowns = 180, kSections = 216;
    static constexpr std::uint32_t kNuri = 216, kGaram = 504, kRoute1 = 648;
    static constexpr std::uint32_t kRoadNames = 864, kPlaceNames = 1224;

    ~RoadTablesFixture() override { CDARCTraffic::destruct(); }

    static void Put16(std::string& s, std::size_t at, std::int32_t v) {
        s[at] = static_cast<char>(v & 0xFF);
        s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    }
    static void Put32(std::string& s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    static std::string RecordBytes(const RoadRecord& r) {
        std::string s(36, '\0');
        Put32(s, 0, r.child);
        Put16(s, 4, r.count);
        s[6] = static_cast<char>(r.kind);
        Put16(s, 8, r.name);
        Put32(s, 10, r.direction);
        Put32(s, 14, r.link);
        Put16(s, 18, r.start);
        Put16(s, 20, r.end);
        Put16(s, 22, r.grid);
        Put16(s, 24, r.x);
        Put16(s, 26, r.y);
        Put32(s, 28, r.length);
        Put32(s, 32, r.parent);
        return s;
    }
    static std::string NameBytes(const char* utf8) {
        std::string s = Utf8ToCp949(utf8);
        s.resize(60, '\0');
        return s;
    }

    // Link ids of the sections: 누리 8, 가람 4, 국도1호선 6 (the first of road class 2).
    static std::uint32_t NuriLink(int i) { return 0x80020001u + static_cast<std::uint32_t>(i); }
    static std::uint32_t GaramLink(int i) { return 0x80020011u + static_cast<std::uint32_t>(i); }
    static std::uint32_t Route1Link(int i) { return i == 0 ? 0x00040001u : 0x00060001u + static_cast<std::uint32_t>(i); }
    static constexpr std::uint32_t kUnusedLink = 0x80030000u;

    // Link-table indices (the table is sorted by id): 국도1호선 0-5, 누리 6-13, 가람 14-17,
    // the unused link 18.
    static unsigned short NuriIndex(int i) { return static_cast<unsigned short>(6 + i); }
    static unsigned short Route1Index(int i) { return static_cast<unsigned short>(i); }

    // Sections of a road of n: the first half with the direction bit and keys 1, 2, ...; their
    // mirrors n-1-i without it and the same keys.
    static std::vector<RoadRecord> PairedSections(int n, std::uint32_t parent, std::uint32_t (*link)(int)) {
        std::vector<RoadRecord> out(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            RoadRecord& r = out[static_cast<std::size_t>(i)];
            const int pair = i < n / 2 ? i : n - 1 - i;
            r.direction = static_cast<std::uint32_t>(pair + 1) | (i < n / 2 ? kDirectionBit : 0u);
            r.link = link(i);
            r.start = static_cast<std::int16_t>(pair);
            r.end = static_cast<std::int16_t>(pair + 1);
            r.grid = 1201;
            r.x = static_cast<std::int16_t>(100 + i);
            r.y = static_cast<std::int16_t>(200 + i);
            r.length = 1000u + static_cast<std::uint32_t>(i);
            r.parent = parent;
        }
        return out;
    }

    // The whole file; shift moves every table (a replaced file with moved tables).
    std::string BuildTables(std::uint32_t shift = 0, const char* nuriName = "누리고속도로") {
        std::vector<RoadRecord> level0 = {
            {kRoads + shift, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
            {kTowns + shift, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        };
        // The first top group sits at relative offset 0 only without a shift.
        std::vector<RoadRecord> roads = {
            {kNuri + shift, 8, 1, 2, 1, 0, 0, 0, 0, 0, 0, 0, kLevel0 + shift},
            {kGaram + shift, 4, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, kLevel0 + shift},
            {kRoute1 + shift, 6, 1, 5, 3, 0, 0, 0, 0, 0, 0, 0, kTowns + shift},
        };
        std::vector<RoadRecord> towns = {{kRoads + 72 + shift, 1, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 36 + shift}};
        std::vector<RoadRecord> nuri = PairedSections(8, kRoads + shift, NuriLink);
        std::vector<RoadRecord> garam = PairedSections(4, kRoads + 36 + shift, GaramLink);
        std::vector<RoadRecord> route1 = PairedSections(6, kRoads + 72 + shift, Route1Link);
        // 국도1호선: records 1 and 4 both without the direction bit; records 2 and 3 with
        // different keys.
        route1[1].direction = 2;
        route1[4].direction = 2;
        route1[2].direction = kDirectionBit | 3;
        route1[3].direction = 9;

        std::string file(88 + shift, '\0');
        Put32(file, 40, 88 + shift);
        Put32(file, 44, 2);
        Put32(file, 56, 88 + kRoads + shift);
        Put32(file, 60, 3);
        Put32(file, 64, 88 + kSections + shift);
        Put32(file, 68, 18);
        Put32(file, 72, kRoadNames + shift);
        Put32(file, 80, kPlaceNames + shift);
        for (auto* run : {&level0, &roads, &towns, &nuri, &garam, &route1})
            for (const RoadRecord& r : *run) file += RecordBytes(r);
        for (const char* name : {"고속도로", "국도", nuriName, "가람고속도로", "한빛시", "국도1호선"})
            file += NameBytes(name);
        for (const char* place : {"가온IC", "나래JC", "다솜휴게소", "라온IC", "마루JC", "바다IC"})
            file += NameBytes(place);
        return file;
    }

    void WriteTables(const std::string& bytes) { m_root.MakeFile("MapData/Darc/DLevel1.db", bytes); }

    // Loads the link table of every section, sorted by id, and the link-speed store.
    void LoadLinks() {
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < 6; ++i) ids.push_back(Route1Link(i));
        for (int i = 0; i < 8; ++i) ids.push_back(NuriLink(i));
        for (int i = 0; i < 4; ++i) ids.push_back(GaramLink(i));
        ids.push_back(kUnusedLink);
        WriteLinkTable(ids);
        CTraffic::instance()->openFile(Folder());
        ASSERT_EQ(CTraffic::instance()->GetLinkCount(), 19);
    }

    // One traffic packet of four (link id, speed) entries.
    static void SendSpeeds(std::array<std::pair<std::uint32_t, int>, 4> entries) {
        std::vector<unsigned char> p = {0x17, 0x00};
        for (auto [id, speed] : entries) {
            for (int shift = 24; shift >= 0; shift -= 8) p.push_back(static_cast<unsigned char>(id >> shift));
            p.push_back(static_cast<unsigned char>(speed));
        }
        ASSERT_EQ(CTraffic::instance()->setData(p.data(), static_cast<int>(p.size())), 1);
    }

    void OpenSample(TrafficRoadDB& db) {
        LoadLinks();
        WriteTables(BuildTables());
        ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    }
};
