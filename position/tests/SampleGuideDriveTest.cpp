// A drive with guidance over the sample region: the route from the eastbound 누리고속도로, 2 km
// from its western end, to 가람시청 (past 누리휴게소, out at 가람IC, left onto 국도43호선, right at
// 시청사거리), driven by the simulator at 61 km/h. The sample's facility tables, guide points and
// clip names with marked fixture clips: the prompts are read back from the played images.
#include "position/GuideManager.h"
#include "position/MRNetReader.h"
#include "position/RouteSimulator.h"
#include "position/SoundIndex.h"
#include "position/tests/VoiceFixture.h"
#include "route/RouteFile.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/DrawingStage.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/VoiceTexts.h"

#include <algorithm>
#include <map>

using namespace guidetest;

namespace {

constexpr const char16_t* kData = u"\\Storage Card\\MapData";

class SampleGuideDrive : public SoundFixture {
protected:
    void SetUp() override {
        const mkdev::DeviceLayout layout(root.Path());
        const mkdev::NetModel model = mkdev::BuildSampleRegion();
        mkdev::NetModel(model).Write(layout.mrData);
        mkdev::BuildDrawingStage(layout, model, true); // the guide points
        VoiceData voice;
        for (int n = 1; n <= 20; ++n) voice.Name(n, mkdev::AddClipTexts()[static_cast<std::size_t>(n - 1)].name);
        voice.Write(layout.mapData);
        mkdev::WriteMapFile(layout.mapData, "Wave/RestareaDB.db", mkdev::RestAreaTable(mkdev::SampleRestAreas()));
        mkdev::WriteMapFile(layout.mapData, "Wave/HighwayDB.db", mkdev::HighwayTable(mkdev::SampleDirections()));
    }
    void TearDown() override { CSoundIndex::Destroy(); }
};

int Rank(int distanceClip) { // nearer bands first
    switch (distanceClip) {
    case 34:
        return 0;
    case 16:
        return 1;
    case 18:
        return 2;
    case 20:
        return 3;
    default:
        return 4;
    }
}

TEST_F(SampleGuideDrive, PromptsComeInOrderFromTheRestAreaToTheGoal) {
    CRouteManager routes;
    ASSERT_EQ(routes.Init(kData), 1);
    routes.SetRouteKind(1);
    std::int32_t x, y;
    NetToMapCoord(45729040, 13495908, x, y);
    ASSERT_GE(routes.SetStart(x, y, u"출발"), 1);
    NetToMapCoord(45763755, 13506271, x, y);
    ASSERT_GE(routes.SetGoal(x, y, u"가람시청"), 1);
    ASSERT_EQ(routes.SearchRoute(), 0);
    ASSERT_EQ(routes.CommitRoute(), 1);
    CRoutePath* path = routes.SelectedRoute()->path.get();
    const RoutePoint goal = routes.SelectedRoute()->header->goal;

    CMRNetReader reader;
    CRouteSimulator sim(&reader);
    ASSERT_TRUE(sim.Start(kData));
    CGuideManager guide(&reader);
    ASSERT_EQ(guide.LoadData(kData, 1), CGuideManager::kLoaded);
    guide.Reset();
    MatchResult car;
    std::vector<std::pair<int, std::vector<int>>> prompts; // next guide item, clips
    std::vector<int> stepOf;
    int cont = 1, steps = 0;
    while (cont && steps < 5000 && sim.Step(*path, car, 17) == 0) {
        ++steps;
        clock.Advance(1000);
        guide.Guide(cont, car, path, nullptr, nullptr, 0, 0, goal.x, goal.y);
        CGuideInfo info;
        guide.GetTurnInfo(info);
        guide.GetHighwayInfo(info, car, path, 0, 5);
        guide.ProcessVoice();
        for (const std::vector<int>& clips : Played())
            if (clips != std::vector<int>{-1}) { // not the speed beep
                prompts.emplace_back(guide.NextGuide(), clips);
                stepOf.push_back(steps);
            }
    }
    EXPECT_EQ(cont, 0) << "guidance did not end at the goal";

    auto find = [&prompts](const std::vector<int>& clips, std::size_t from = 0) {
        for (std::size_t i = from; i < prompts.size(); ++i)
            if (prompts[i].second == clips) return i;
        return prompts.size();
    };
    const int lang = kAddBase + 1, nuri = kAddBase + 2; // 가람, 누리
    const std::size_t rest = find({23, 36, nuri, 198, 191, 194, 119});
    ASSERT_LT(rest, prompts.size()) << "no rest-area announcement";
    EXPECT_EQ(find({23, 36, nuri, 198, 191, 194, 119}, rest + 1), prompts.size()) << "announced twice";
    const std::size_t exit1 = find({23, 36, lang, 187, 54, 185, 68, 70}, rest);
    ASSERT_LT(exit1, prompts.size()) << "no exit prompt naming 가람";
    const std::size_t exit0 = find({34, lang, 187, 54, 185, 68, 70}, exit1);
    ASSERT_LT(exit0, prompts.size());
    const std::size_t left = find({34, 74}, exit0);
    ASSERT_LT(left, prompts.size()) << "no close left turn";
    const std::size_t right = find({34, 75}, left);
    ASSERT_LT(right, prompts.size()) << "no close right turn";
    // The right turn's bands fall to 34.
    std::vector<int> bands;
    for (std::size_t i = left + 1; i <= right; ++i) {
        const std::vector<int>& c = prompts[i].second;
        if (c.size() == 3 && c[1] == 37 && c[2] == 75) bands.push_back(c[0]);
    }
    ASSERT_GE(bands.size(), 2u);
    EXPECT_TRUE(std::is_sorted(bands.rbegin(), bands.rend()) &&
                std::adjacent_find(bands.begin(), bands.end()) == bands.end());
    // The destination in distance bands, then the goal ahead, and nothing after it.
    std::size_t goal60 = prompts.size();
    for (std::size_t i = right; i < prompts.size() && goal60 == prompts.size(); ++i) {
        const std::vector<int>& c = prompts[i].second;
        if (c.size() == 4 && c[1] == 36 && c[2] == 84 && c[3] == 85) goal60 = i;
    }
    ASSERT_LT(goal60, prompts.size());
    const std::size_t ahead = find({84, 87, 86}, goal60);
    ASSERT_LT(ahead, prompts.size());
    for (std::size_t i = ahead + 1; i < prompts.size(); ++i) {
        EXPECT_EQ(stepOf[i], stepOf[ahead]) << "said after guidance ended";
        EXPECT_NE(std::find(prompts[i].second.begin(), prompts[i].second.end(), 82), prompts[i].second.end());
    }
    // Cameras say their limit once per point; manoeuvre prompts are not repeated for a guide item.
    int previous = -1, limits = 0;
    std::map<std::pair<int, std::vector<int>>, int> said;
    for (const auto& [next, c] : prompts) {
        const bool camera = std::find(c.begin(), c.end(), 82) != c.end();
        if (camera) {
            const bool limit = std::find(c.begin(), c.end(), 146) != c.end();
            limits += limit;
            if (limit && previous >= 0) {
                EXPECT_GE(Rank(c[0]), previous) << "a limit said again for one point";
            }
            previous = Rank(c[0]);
        } else {
            const std::pair<int, std::vector<int>> key(next, c);
            EXPECT_EQ(++said[key], 1) << "repeated for guide item " << next;
        }
    }
    EXPECT_GE(limits, 2);
}

} // namespace
