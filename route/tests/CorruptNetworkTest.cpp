// Searches over a network whose record files have been damaged: every search ends with one of
// the engine's codes and never reads outside what it holds (the test build runs under the
// address and undefined-behaviour sanitizers).
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

using enginetest::Km;
using enginetest::TempDevice;

TEST(CorruptNetwork, SearchesEndWithACodeAndNeverCrash) {
    TempDevice dev(mkdev::BuildSampleRegion());
    const char* files[] = {"MRNode.bin", "MRLink.bin", "MRCross.bin", "MRNeighb.bin", "MRGuide.bin"};
    std::vector<std::vector<std::uint8_t>> originals;
    for (const char* f : files) originals.push_back(dev.Read(f));
    const std::set<int> codes = {0, 2, 4, 5, 6, 17, 32, 39};
    const mkdev::NetPoint from = Km(11.85, 6.0), to = Km(1.2, 10.5), nearTo = Km(11.5, 11.2);
    std::mt19937 rng(20261210);
    int failed = 0;
    for (int round = 0; round < 40; ++round) {
        for (std::size_t f = 0; f < originals.size(); ++f) {
            std::vector<std::uint8_t> bytes = originals[f];
            if (!bytes.empty() && round % 5 == static_cast<int>(f))
                for (int k = 0; k < 40; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
            dev.Write(files[f], bytes);
        }
        CRoutePlan engine;
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(round % 4, 0, round % 2, 0);
        engine.SetPoint(0, from.x, from.y);
        mkdev::NetPoint goal = round % 2 ? to : nearTo;
        engine.SetPoint(1, goal.x, goal.y);
        int code = engine.Search();
        EXPECT_TRUE(codes.count(code)) << "round " << round << " code " << code;
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0);
        failed += code != 0;
    }
    EXPECT_GT(failed, 0) << "the damage was noticed at least once";
}

} // namespace
