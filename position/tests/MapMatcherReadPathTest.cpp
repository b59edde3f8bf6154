// The matcher reads the network through pages kept in memory. Long noisy drives (sheet borders,
// crossings, a tunnel with dead reckoning, re-match requests, stops) are matched twice, once with
// every read going straight to the files: every result, every fix used and both junction
// look-ahead records must come out the same, with far fewer reads of the files.
#include "position/GpsLogSynth.h"
#include "position/MapMatcher.h"
#include "platform/files/tests/TempRoot.h"
#include "tools/mkdevice/Networks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kRegionX = 45720000, kRegionY = 13470000;

bool SameResult(const MatchResult& a, const MatchResult& b) {
    return a.reverse == b.reverse && a.slot == b.slot && a.mapId == b.mapId && a.linkIndex == b.linkIndex &&
           a.fromNode == b.fromNode && a.toNode == b.toNode && a.heading == b.heading &&
           a.segmentIndex == b.segmentIndex && a.headingDiff == b.headingDiff && a.speedMps == b.speedMps &&
           a.speedKmh == b.speedKmh && a.status == b.status && a.x == b.x && a.y == b.y &&
           a.fixDistance == b.fixDistance && a.moved == b.moved && a.segmentPosition == b.segmentPosition &&
           a.segmentRemaining == b.segmentRemaining && a.linkPosition == b.linkPosition &&
           a.quality == b.quality && a.checkCode == b.checkCode && a.hasFix == b.hasFix &&
           std::memcmp(a.link, b.link, sizeof a.link) == 0 &&
           std::memcmp(a.fromNodeRecord, b.fromNodeRecord, sizeof a.fromNodeRecord) == 0 &&
           std::memcmp(a.toNodeRecord, b.toNodeRecord, sizeof a.toNodeRecord) == 0 &&
           std::memcmp(a.segStart, b.segStart, sizeof a.segStart) == 0 &&
           std::memcmp(a.segEnd, b.segEnd, sizeof a.segEnd) == 0;
}

bool SameLookahead(const JunctionLookahead& a, const JunctionLookahead& b) {
    return a.slot == b.slot && a.mapId == b.mapId && a.node == b.node && a.distance == b.distance &&
           std::memcmp(a.nodeRecord, b.nodeRecord, sizeof a.nodeRecord) == 0 &&
           a.junction.head == b.junction.head &&
           std::memcmp(a.junction.links, b.junction.links, sizeof a.junction.links) == 0 &&
           std::memcmp(a.junction.turns, b.junction.turns, sizeof a.junction.turns) == 0 &&
           a.junction.guideOffset == b.junction.guideOffset && a.junction.count == b.junction.count;
}

bool SameFix(const GpsPosRecord& a, const GpsPosRecord& b) {
    return a.status == b.status && a.second == b.second && a.satellitesUsed == b.satellitesUsed &&
           a.course == b.course && a.speed == b.speed && a.longitude == b.longitude &&
           a.latitude == b.latitude && a.hdop == b.hdop && a.deadReckoned == b.deadReckoned;
}

struct DrivePlan {
    std::vector<std::pair<double, double>> km;   // the geometry, km east and north of the region
    std::vector<std::pair<double, double>> dark; // metres along it without reception
    int noise = 16;                              // fixes scatter by up to noise/2 units
    int dropEvery = 0;                           // every n-th fix starts 3 unusable ones
    int rematchEvery = 0;                        // a re-match request every n-th fix
    double matchedShare = 0.5;                   // fixes at least that must end on a link
};

std::vector<GpsPosRecord> Fixes(const DrivePlan& plan) {
    GpsSynthOptions o;
    for (const auto& p : plan.km) {
        const mkdev::NetPoint q = mkdev::KmToNet(kRegionX, kRegionY, p.first, p.second);
        o.points.push_back({q.x, q.y});
    }
    o.speedKmh = 60.0;
    o.noDatumShift = true;
    o.outages = plan.dark;
    CGpsLogSynth synth(o);
    synth.Generate();
    std::vector<GpsPosRecord> fixes;
    std::uint32_t seed = 2024;
    auto noise = [&seed, &plan] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed % static_cast<std::uint32_t>(plan.noise)) - plan.noise / 2;
    };
    int i = 0;
    for (const GpsSynthEpoch& e : synth.Epochs()) {
        ++i;
        GpsPosRecord f;
        f.status = e.outage ? 'V' : 'A';
        f.hour = static_cast<std::uint8_t>(e.utcMs / 3600000 % 24);
        f.minute = static_cast<std::uint8_t>(e.utcMs / 60000 % 60);
        f.second = static_cast<std::uint8_t>(e.utcMs / 1000 % 60);
        f.satellitesUsed = e.outage ? 0 : 8;
        f.hdop = e.outage ? 0.0 : 1.2;
        f.speed = static_cast<std::uint16_t>(i % 97 < 5 ? 10 : e.speed); // now and then a stop
        f.course = static_cast<std::uint16_t>(e.course);
        f.longitude = static_cast<std::int32_t>(e.x) + noise();
        f.latitude = static_cast<std::int32_t>(e.y) + noise();
        if (plan.dropEvery && i % plan.dropEvery < 3) f.satellitesUsed = 0;
        fixes.push_back(f);
    }
    return fixes;
}

struct Step {
    int status = 0;
    MatchResult result;
    GpsPosRecord used;
    std::uint8_t reckoned = 0;
    JunctionLookahead ahead, behind;
};

// The drive through one matcher from its first-fix state. The tracking values a matcher keeps
// program-wide start over with it, so the two drives run one after the other.
std::vector<Step> Run(CMRNetReader& reader, const std::vector<GpsPosRecord>& fixes, int rematchEvery) {
    CMapMatcher m(&reader);
    EXPECT_TRUE(m.OpenNetwork(u"\\MapData"));
    m.Reset();
    std::vector<Step> steps;
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        if (rematchEvery && i % rematchEvery == 0) m.RequestRematch();
        Step s;
        s.status = m.Match(fixes[i], s.result, &s.reckoned, &s.used);
        m.GetJunctionLookahead(s.ahead, s.behind);
        steps.push_back(s);
    }
    return steps;
}

void ExpectSameBothWays(mkdev::NetModel net, const DrivePlan& plan) {
    TempRoot root;
    net.Write(root.Path() + "/MapData/MRData");
    const std::vector<GpsPosRecord> fixes = Fixes(plan);
    ASSERT_GT(fixes.size(), 500u);
    CMRNetReader paged, direct;
    direct.SetReadCaching(false);
    const std::vector<Step> a = Run(paged, fixes, plan.rematchEvery);
    const std::vector<Step> b = Run(direct, fixes, plan.rematchEvery);
    ASSERT_EQ(a.size(), b.size());
    int matched = 0, reckoned = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].status, b[i].status) << "fix " << i;
        ASSERT_TRUE(SameResult(a[i].result, b[i].result)) << "fix " << i;
        ASSERT_TRUE(SameFix(a[i].used, b[i].used) && a[i].reckoned == b[i].reckoned) << "fix " << i;
        ASSERT_TRUE(SameLookahead(a[i].ahead, b[i].ahead) && SameLookahead(a[i].behind, b[i].behind))
            << "fix " << i;
        matched += a[i].status == 1;
        reckoned += a[i].reckoned;
    }
    // The drives must reach the matching work they are meant to cover.
    EXPECT_GT(matched, static_cast<int>(static_cast<double>(fixes.size()) * plan.matchedShare));
    if (!plan.dark.empty()) {
        EXPECT_GT(reckoned, 10);
    }
    EXPECT_LT(paged.FileReads() * 20, direct.FileReads());
}

TEST(MapMatcherReadPath, GridDriveAcrossSheetBordersMatchesAlikeThroughPagesAndFiles) {
    DrivePlan plan;
    plan.km = {{5.0, 13.9}, {24.9, 13.9}, {5.0, 13.9}, {14.93, 13.9}, {14.93, 4.6}, {14.93, 23.2}};
    plan.noise = 40;
    plan.dropEvery = 41;
    plan.rematchEvery = 53;
    ExpectSameBothWays(mkdev::BuildFixture("grid3x3"), plan);
}

TEST(MapMatcherReadPath, SampleRegionDrivesWithATunnelMatchAlikeThroughPagesAndFiles) {
    const mkdev::NetModel region = mkdev::BuildSampleRegion();
    DrivePlan expressway; // eastbound through the tunnel between 16 and 18 km
    expressway.km = {{1.0, 8.0}, {29.0, 8.0}};
    expressway.dark = {{14900.0, 17100.0}};
    expressway.rematchEvery = 97;
    ExpectSameBothWays(region, expressway);
    DrivePlan town; // straight lines across the town, on and off its streets
    town.km = {{4.25, 20.5}, {24.25, 22.5}, {10.0, 5.0}, {4.25, 20.5}};
    town.noise = 120;
    town.dropEvery = 23;
    town.rematchEvery = 41;
    town.matchedShare = 0.04; // mostly off the streets: the full search runs at almost every fix
    ExpectSameBothWays(region, town);
}

} // namespace
