// The sample device's broadcast link table against its road network: every broadcast index in
// the network's link records names a table entry of the right road, one per direction of a
// stretch between named places, and the receiver's frequency table reads back.
#include "route/MRReader.h"
#include "route/MRFormat.h"
#include "route/tests/NetTestSupport.h"
#include "tools/mkdevice/BroadcastStage.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Traffic.h"

#include "platform/base/Text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace {

using mkdev::RoadType;

bool IsExpressway(RoadType t) { return t == RoadType::Expressway || t == RoadType::ExpresswayTunnel; }
bool CarriesBroadcast(RoadType t) {
    return IsExpressway(t) || t == RoadType::NationalRoad || t == RoadType::ProvincialRoad ||
           t == RoadType::TownMain;
}
bool Travels(const mkdev::NetLink& l, bool forward) {
    return l.opt.oneWay == 0 || (l.opt.oneWay == 1 && forward) || (l.opt.oneWay == 2 && !forward);
}

class BroadcastBuild : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = new NetRoot;
        mkdev::MakeSampleDevice(s_root->Dir().string());
        std::ifstream in(s_root->Dir() / "Storage Card" / "MapData" / "MRData" / "DARCLINK.bin", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        s_ids = new std::vector<std::uint32_t>;
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
            s_ids->push_back(mrformat::U32(reinterpret_cast<const std::uint8_t*>(bytes.data() + i)));
        s_model = new mkdev::NetModel(mkdev::BuildSampleRegion());
    }
    static void TearDownTestSuite() {
        delete s_model;
        delete s_ids;
        delete s_root;
    }
    static NetRoot* s_root;
    static std::vector<std::uint32_t>* s_ids;
    static mkdev::NetModel* s_model;
};
NetRoot* BroadcastBuild::s_root = nullptr;
std::vector<std::uint32_t>* BroadcastBuild::s_ids = nullptr;
mkdev::NetModel* BroadcastBuild::s_model = nullptr;

TEST_F(BroadcastBuild, TableIsSortedAndEveryIndexNamesItsRoad) {
    const auto& ids = *s_ids;
    ASSERT_GT(ids.size(), 20u);
    for (std::size_t i = 1; i < ids.size(); ++i) EXPECT_LT(ids[i - 1], ids[i]) << i;
    // The store takes the table whole.
    CTraffic::instance()->openFile(CString(u"\\Storage Card\\MapData"));
    EXPECT_EQ(CTraffic::instance()->GetLinkCount(), static_cast<int>(ids.size()));
    CTraffic::destruct();

    std::map<RoadType, std::set<std::uint32_t>> classes;
    std::set<std::uint16_t> used;
    for (const mkdev::NetLink& l : s_model->Links()) {
        for (bool forward : {true, false}) {
            std::uint16_t index = forward ? l.broadcastForward : l.broadcastBackward;
            if (!CarriesBroadcast(l.type) || !Travels(l, forward) || l.opt.oneWay == 3) {
                EXPECT_EQ(index, 0xFFFF);
                continue;
            }
            ASSERT_LT(index, ids.size());
            used.insert(index);
            const std::uint32_t id = ids[index];
            EXPECT_EQ((id & 0x80000000u) != 0, IsExpressway(l.type));
            classes[IsExpressway(l.type) ? RoadType::Expressway : l.type].insert((id >> 17) & 7);
        }
    }
    EXPECT_EQ(used.size(), ids.size()); // no table entry without a road
    // One class per kind of road, expressways class 1, and no two kinds share one.
    EXPECT_EQ(classes[RoadType::Expressway], std::set<std::uint32_t>{1});
    std::set<std::uint32_t> all;
    for (const auto& [type, set] : classes) {
        EXPECT_EQ(set.size(), 1u);
        all.insert(*set.begin());
    }
    EXPECT_EQ(all.size(), classes.size());
    EXPECT_EQ(classes.size(), 4u);
}

TEST_F(BroadcastBuild, StretchesRunBetweenNamedPlaces) {
    // The links of one broadcast link form a single road whose inner nodes carry no name.
    std::map<std::uint16_t, std::vector<const mkdev::NetLink*>> byIndex;
    for (const mkdev::NetLink& l : s_model->Links()) {
        if (l.broadcastForward != 0xFFFF) byIndex[l.broadcastForward].push_back(&l);
        if (l.broadcastBackward != 0xFFFF) byIndex[l.broadcastBackward].push_back(&l);
    }
    int multiLink = 0;
    for (const auto& [index, links] : byIndex) {
        SCOPED_TRACE(index);
        std::map<int, int> ends;
        for (const mkdev::NetLink* l : links) {
            EXPECT_EQ(l->opt.name, links.front()->opt.name);
            EXPECT_EQ(IsExpressway(l->type), IsExpressway(links.front()->type));
            ++ends[l->a];
            ++ends[l->b];
        }
        int open = 0;
        for (auto [node, count] : ends) {
            EXPECT_LE(count, 2);
            if (count == 1)
                ++open;
            else
                EXPECT_TRUE(s_model->Nodes()[node].crossName.empty()) << "named place inside a stretch";
        }
        EXPECT_EQ(open, 2); // a path with two ends
        if (links.size() > 1) ++multiLink;
    }
    EXPECT_GT(multiLink, 0);
}

TEST_F(BroadcastBuild, NetworkRecordsCarryTheModelsIndices) {
    std::set<std::pair<std::uint16_t, std::uint16_t>> model, written;
    for (const mkdev::NetLink& l : s_model->Links()) model.insert({l.broadcastForward, l.broadcastBackward});
    MRReader reader;
    ASSERT_EQ(reader.Open(3, u"\\Storage Card\\MapData"), 1);
    for (int map = 0; map < reader.MapCount(); ++map) {
        const MRMapRecord* r = reader.MapRecord(map);
        for (int link = 0; link < r->linkCount; ++link) {
            std::uint8_t rec[28];
            ASSERT_EQ(reader.ReadLink(rec, map, link), 1);
            written.insert({mrformat::U16(rec + 24), mrformat::U16(rec + 26)});
        }
    }
    EXPECT_EQ(written, model);
}

TEST_F(BroadcastBuild, FrequencyTableReadsBack) {
    CFreqScanner* s = CFreqScanner::instance();
    s->openFile(CString(u"\\Storage Card\\MapData"));
    ASSERT_EQ(s->GetLocalNum(), 7);
    char name[32];
    s->GetLocalName(0, name, sizeof name);
    EXPECT_EQ(std::string(name), Utf16ToCp949(u"서울"));
    std::set<std::string> names;
    for (int i = 0; i < 7; ++i) {
        s->GetLocalName(i, name, sizeof name);
        names.insert(name);
        if (i > 0) {
            EXPECT_GE(s->GetNumOfFreq(i), s->GetNumOfFreq(i - 1));
        }
    }
    EXPECT_EQ(names.size(), 7u);
    EXPECT_GT(s->GetNumOfFreq(6), 7);
    EXPECT_EQ(s->StartSearch(36), 1);
    CFreqScanner::destruct();
}

} // namespace
