#include "traffic/receiver/tests/ReceiverFixture.h"

#include <array>
#include <map>

namespace {

// A traffic packet: service 23, record kind, then four (big-endian id, speed) entries.
std::vector<unsigned char> Packet(std::array<std::pair<std::uint32_t, int>, 4> entries, int kindByte = 0x00) {
    std::vector<unsigned char> p = {0x17, static_cast<unsigned char>(kindByte)};
    for (auto [id, speed] : entries) {
        p.push_back(static_cast<unsigned char>(id >> 24));
        p.push_back(static_cast<unsigned char>(id >> 16));
        p.push_back(static_cast<unsigned char>(id >> 8));
        p.push_back(static_cast<unsigned char>(id));
        p.push_back(static_cast<unsigned char>(speed));
    }
    return p;
}

class FakeDownload : public TrafficDownload {
public:
    std::vector<std::array<unsigned char, 5>> items;
    std::uint32_t count = 0;
    std::uint32_t GetItemCount() const override { return count; }
    const unsigned char* GetItem(std::uint32_t i) const override {
        return i < items.size() ? items[i].data() : nullptr;
    }
    void Add(std::uint32_t id, unsigned char speed) {
        items.push_back({static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8),
                         static_cast<unsigned char>(id >> 16), static_cast<unsigned char>(id >> 24), speed});
        count = static_cast<std::uint32_t>(items.size());
    }
};

} // namespace

class TrafficTest : public ReceiverFixture {
protected:
    // Two ordinary links of road class 3 and two highway links (bit 31) of class 1.
    void OpenFour() {
        WriteLinkTable({0x00060001, 0x00060002, 0x80020001, 0x80020002});
        CTraffic::instance()->openFile(Folder());
        ASSERT_EQ(CTraffic::instance()->GetLinkCount(), 4);
    }
    CTraffic& T() { return *CTraffic::instance(); }
};

TEST_F(TrafficTest, LinkTableReadFromHandWrittenBytes) {
    // Little-endian ids: 0x00060001, 0x12345678, 0x80020001.
    m_root.MakeFile("MapData/MRDATA/DARCLINK.bin",
                    Bytes({0x01, 0x00, 0x06, 0x00, 0x78, 0x56, 0x34, 0x12, 0x01, 0x00, 0x02, 0x80}));
    T().openFile(Folder());
    unsigned long id = 0;
    ASSERT_EQ(T().getDarcIDByIdx(1, id), 1);
    EXPECT_EQ(id, 0x12345678ul);
    ASSERT_EQ(T().getDarcIDByIdx(2, id), 1);
    EXPECT_EQ(id, 0x80020001ul);
    EXPECT_EQ(T().getDarcIDByIdx(3, id), 0); // the count itself is outside
    // The packet's id bytes 12 34 56 78 name the link 0x12345678.
    auto p = Packet({{{0x12345678, 33}, {0x00060001, 0}, {0x99999999, 50}, {0x80020001, 25}}});
    EXPECT_EQ(T().setData(p.data(), static_cast<int>(p.size())), 1);
    unsigned char s = 0;
    ASSERT_EQ(T().getRealSpeedByID(0x12345678, s), 1);
    EXPECT_EQ(s, 33);
    EXPECT_EQ(T().getRealSpeedByIdx(0, s), 0); // speed 0 is no speed, even with the received bit
    EXPECT_EQ(T().getRealSpeedByID(0x99999999, s), 0);
    ASSERT_EQ(T().getSpeedByIdx(2, s), 1);
    EXPECT_EQ(s, 25);
    CString dir;
    T().getMapDir(dir);
    EXPECT_TRUE(dir == CString(u"\\MapData"));
}

TEST_F(TrafficTest, ColoursByClassAndDisplayFlags) {
    OpenFour();
    auto p = Packet({{{0x00060001, 10}, {0x00060002, 45}, {0x80020001, 10}, {0x80020002, 70}}});
    ASSERT_EQ(T().setData(p.data(), static_cast<int>(p.size())), 1);
    unsigned long c = 0;
    ASSERT_EQ(T().getLinkColorByIdx(0, c), 1);
    EXPECT_EQ(c, 0x1894C9ul); // ordinary 10: slow
    ASSERT_EQ(T().getLinkColorByIdx(1, c), 1);
    EXPECT_EQ(c, 0xDC0000ul); // ordinary 45: fast
    ASSERT_EQ(T().getLinkColorByIdx(2, c), 1);
    EXPECT_EQ(c, 0x8000FFul); // highway 10: congested
    ASSERT_EQ(T().getLinkColorByIdx(3, c), 1);
    EXPECT_EQ(c, 0xDC0000ul); // highway 70: fast
    bool flags[4] = {false, true, true, true};
    T().SetDisplayOnOff(flags);
    c = 7;
    EXPECT_EQ(T().getLinkColorByIdx(3, c), 0);
    EXPECT_EQ(c, 7ul);
    EXPECT_EQ(T().getLinkColorByIdx(0, c), 1);

    // The class boundaries of both kinds, each class on.
    bool all[4] = {true, true, true, true};
    T().SetDisplayOnOff(all);
    struct Case {
        int index, speed;
        unsigned long colour;
    } cases[] = {
        {0, 9, 0x8000FF},  {0, 19, 0x1894C9}, {0, 20, 0x00B93D}, {0, 39, 0x00B93D}, {0, 40, 0xDC0000},
        {2, 19, 0x8000FF}, {2, 20, 0x1894C9}, {2, 39, 0x1894C9}, {2, 40, 0x00B93D}, {2, 69, 0x00B93D},
        {2, 70, 0xDC0000},
    };
    for (const Case& k : cases) {
        std::uint32_t id = k.index == 0 ? 0x00060001 : 0x80020001;
        auto q = Packet({{{id, k.speed}, {0x00060002, 45}, {0x80020002, 70}, {0x80020002, 70}}});
        T().setData(q.data(), static_cast<int>(q.size()));
        ASSERT_EQ(T().getLinkColorByIdx(static_cast<unsigned short>(k.index), c), 1);
        EXPECT_EQ(c, k.colour) << k.index << " at " << k.speed;
    }
}

TEST_F(TrafficTest, ClassTwoCountsAsHighway) {
    WriteLinkTable({0x00040001}); // class 2 (bits 17-19), bit 31 clear
    T().openFile(Folder());
    auto p = Packet({{{0x00040001, 15}, {0, 0}, {0, 0}, {0, 0}}});
    T().setData(p.data(), static_cast<int>(p.size()));
    unsigned long c = 0;
    ASSERT_EQ(T().getLinkColorByIdx(0, c), 1);
    EXPECT_EQ(c, 0x8000FFul); // below the highway's 20
}

TEST_F(TrafficTest, RefusedPackets) {
    OpenFour();
    auto kind1 = Packet({{{0x00060001, 30}, {0, 0}, {0, 0}, {0, 0}}}, 0x10);
    EXPECT_EQ(T().setData(kind1.data(), static_cast<int>(kind1.size())), 0);
    auto shortPacket = Packet({{{0x00060001, 30}, {0, 0}, {0, 0}, {0x00060002, 30}}});
    EXPECT_EQ(T().setData(shortPacket.data(), 21), 0); // the last speed byte is missing
    unsigned char s = 0;
    EXPECT_EQ(T().getRealSpeedByIdx(0, s), 0);
    EXPECT_EQ(T().getRealSpeedByIdx(3, s), 0);
}

TEST_F(TrafficTest, AverageFreshnessAndExpiry) {
    OpenFour();
    auto p = Packet({{{0x00060001, 10}, {0x00060002, 45}, {0x80020001, 10}, {0x80020002, 70}}});
    T().setData(p.data(), static_cast<int>(p.size()));
    unsigned char avg = 0;
    EXPECT_EQ(T().getAverSpeedByType(3, avg), 1);
    EXPECT_EQ(avg, 27); // (10 + 45) / 2
    EXPECT_EQ(T().getAverSpeedByType(1, avg), 1);
    EXPECT_EQ(avg, 40);
    EXPECT_EQ(T().getAverSpeedByType(5, avg), 1);
    EXPECT_EQ(avg, 0); // no link of that class: no division by zero
    EXPECT_EQ(T().isDataAvailable(99), 1);
    EXPECT_EQ(T().isDataAvailable(100), 0);

    m_clock.Advance((15 * 60 + 59) * 1000); // 15 whole minutes: still counted and kept
    T().UpdateTrafficDB();
    EXPECT_EQ(T().getAverSpeedByType(3, avg), 1);
    EXPECT_EQ(avg, 27);
    m_clock.Advance(1000); // 16 minutes
    EXPECT_EQ(T().getAverSpeedByType(3, avg), 1);
    EXPECT_EQ(avg, 0);
    unsigned char s = 0;
    EXPECT_EQ(T().getRealSpeedByIdx(1, s), 1); // only UpdateTrafficDB expires
    T().UpdateTrafficDB();
    EXPECT_EQ(T().getRealSpeedByIdx(1, s), 0);
    EXPECT_EQ(T().isDataAvailable(0), 0);

    T().setData(p.data(), static_cast<int>(p.size()));
    T().reset();
    EXPECT_EQ(T().getRealSpeedByIdx(1, s), 0);
}

TEST_F(TrafficTest, SaveFileRoundTripAndAge) {
    OpenFour();
    auto p = Packet({{{0x00060001, 10}, {0x00060002, 45}, {0x80020001, 10}, {0x80020002, 70}}});
    T().setData(p.data(), static_cast<int>(p.size()));
    EXPECT_EQ(T().close(), 1);
    std::string t = Le32(static_cast<std::uint32_t>(kNowSeconds));
    std::string expected = Bytes({0x65});
    for (auto [id, speed] : {std::pair<std::uint32_t, int>{0x00060001, 10}, {0x00060002, 45}, {0x80020001, 10},
                             {0x80020002, 70}})
        expected += t + Le32(id) + Bytes({speed, 0, 0x80, 0});
    EXPECT_EQ(m_root.Read("My Documents/Velko/STIStore.bin"), expected);
    EXPECT_FALSE(m_root.Exists("My Documents/Velko/STIStore.bin.new"));
    unsigned char s = 0;
    EXPECT_EQ(T().getRealSpeedByIdx(0, s), 0); // closed

    // A hand-written save file: one known record, one unknown id, then a cut-off tail.
    std::string save = Bytes({0x65}) + Le32(static_cast<std::uint32_t>(kNowSeconds - 60)) + Le32(0x80020002) +
                       Bytes({33, 0, 0x80, 0}) + Le32(1) + Le32(0x0BADBEEF) + Bytes({50, 0, 0x80, 0}) +
                       Bytes({1, 2, 3});
    struct Case {
        std::string name;
        std::string content;
        std::int64_t age;
        bool taken;
    } cases[] = {
        {"14 minutes", save, 14 * 60, true},
        {"15 minutes", save, 15 * 60, false},
        {"foreign", Bytes({0x66}) + save.substr(1), 60, false},
    };
    for (const Case& c : cases) {
        m_root.MakeFile("My Documents/Velko/STIStore.bin", c.content);
        SetAge("My Documents/Velko/STIStore.bin", c.age);
        T().openFile(Folder());
        s = 0;
        EXPECT_EQ(T().getRealSpeedByIdx(3, s), c.taken ? 1 : 0) << c.name;
        if (c.taken) {
            EXPECT_EQ(s, 33) << c.name;
        }
        EXPECT_EQ(T().getRealSpeedByIdx(0, s), 0) << c.name;
    }
}

TEST_F(TrafficTest, UnloadedAndMalformedTables) {
    unsigned char s = 0;
    unsigned long c = 0;
    T().openFile(Folder()); // no DARCLINK.bin
    auto p = Packet({{{0x00060001, 10}, {0, 0}, {0, 0}, {0, 0}}});
    EXPECT_EQ(T().setData(p.data(), static_cast<int>(p.size())), 0);
    EXPECT_EQ(T().getRealSpeedByID(0x00060001, s), 0);
    EXPECT_EQ(T().getLinkColorByIdx(0, c), 0);
    EXPECT_EQ(T().close(), 0);
    EXPECT_FALSE(m_root.Exists("My Documents/Velko/STIStore.bin"));

    // Ids out of order would send bisection to wrong links: the table is refused.
    WriteLinkTable({0x00060001, 0x80020001, 0x00060002});
    T().openFile(Folder());
    EXPECT_EQ(T().GetLinkCount(), 0);
    WriteLinkTable({0x00060001, 0x00060001});
    T().openFile(Folder());
    EXPECT_EQ(T().GetLinkCount(), 0);

    // An empty table finds nothing and divides by nothing.
    WriteLinkTable({});
    T().openFile(Folder());
    EXPECT_EQ(T().getRealSpeedByID(0, s), 0);
    EXPECT_EQ(T().isDataAvailable(0), 0);
    unsigned char avg = 9;
    EXPECT_EQ(T().getAverSpeedByType(0, avg), 1);
    EXPECT_EQ(avg, 0);
    unsigned short idx = 0;
    EXPECT_EQ(T().fakeSpeedByIdx(1, &idx, 5), 0);

    // Trailing bytes short of a whole id are not a link.
    m_root.MakeFile("MapData/MRDATA/DARCLINK.bin", Le32(5) + Bytes({1, 2}));
    T().openFile(Folder());
    EXPECT_EQ(T().GetLinkCount(), 1);
}

TEST_F(TrafficTest, OverridesStayApartFromSpeeds) {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < 100; ++i) ids.push_back(0x00060000 + i);
    WriteLinkTable(ids);
    T().openFile(Folder());
    unsigned short list[] = {3, static_cast<unsigned short>(70000)}; // 70000 becomes 4464
    unsigned char f = 0;
    EXPECT_EQ(T().fakeSpeedByIdx(1, list, 12), 1);
    ASSERT_EQ(T().GetFakeSpeedByIdx(3, f), 1);
    EXPECT_EQ(f, 12);
    unsigned char s = 0;
    EXPECT_EQ(T().getSpeedByIdx(3, s), 0); // overrides do not reach the route engine
    EXPECT_EQ(T().fakeSpeedByIdx(2, list, 12), 0);
    T().GetFakeSpeedByIdx(3, f);
    EXPECT_EQ(f, 255);
    unsigned short atCount[] = {3, 100}; // the count itself is outside
    EXPECT_EQ(T().fakeSpeedByIdx(2, atCount, 9), 0);
    T().GetFakeSpeedByIdx(3, f);
    EXPECT_EQ(f, 255);
    EXPECT_EQ(T().fakeSpeedByIdx(0, list, 9), 1);
}

TEST_F(TrafficTest, HighwayDownload) {
    OpenFour();
    FakeDownload d;
    EXPECT_EQ(T().LoadHighWayTraffic(d), 1); // nothing downloaded
    d.Add(0x80020001, 88);
    d.Add(0x7777, 20); // unknown id: skipped
    d.Add(0x80020002, 35);
    EXPECT_EQ(T().LoadHighWayTraffic(d), 1);
    unsigned char s = 0;
    ASSERT_EQ(T().getRealSpeedByIdx(2, s), 1);
    EXPECT_EQ(s, 88);
    ASSERT_EQ(T().getRealSpeedByIdx(3, s), 1);
    EXPECT_EQ(s, 35);
    EXPECT_EQ(T().getRealSpeedByIdx(0, s), 0);

    FakeDownload cut;
    cut.Add(0x00060001, 50);
    cut.count = 3; // claims more items than it hands out
    EXPECT_EQ(T().LoadHighWayTraffic(cut), 0);
    ASSERT_EQ(T().getRealSpeedByIdx(0, s), 1);
    EXPECT_EQ(s, 50);

    // The save file keeps the download's whole record.
    T().close();
    std::string saved = m_root.Read("My Documents/Velko/STIStore.bin");
    ASSERT_EQ(saved.size(), 1u + 3 * 12);
    EXPECT_EQ(saved.substr(1, 12), Le32(static_cast<std::uint32_t>(kNowSeconds)) + Le32(0x00060001) +
                                       Bytes({50, 0, 0xFF, 0}));
}
