// The guidance step on one thread and the voice thread's pass on another, as the GPS reader and
// the voice loop run them: every prompt the voice thread plays is whole, and each manoeuvre
// prompt is played once.
#include "position/GuideManager.h"
#include "position/SoundIndex.h"
#include "position/tests/GuideFixture.h"
#include "position/tests/VoiceFixture.h"

#include <atomic>
#include <thread>

using namespace guidetest;

namespace {

class GuideThreads : public SoundFixture {};

TEST_F(GuideThreads, TheVoiceThreadPlaysWhatTheGuidanceStepLeaves) {
    VoiceData().Write(MapData());
    CGuideManager manager;
    manager.LoadData(kFolder, 0);
    CSoundIndex::Destroy();
    manager.Reset();
    CRoutePath path = MakeRoute({{3000, 0, 0}, {3000, 1, 12}, {3000, 1, 13}, {500, 3, 60}});
    std::atomic<bool> done{false};
    std::thread voice([&] {
        while (!done.load()) manager.ProcessVoice();
        manager.ProcessVoice();
    });
    int cont = 1;
    for (int before = 2000; before >= 10; before -= 10) {
        manager.Guide(cont, CarOn(path, 1, 3000, before), &path, nullptr, nullptr, 0, 0, 0, 0);
        manager.PlayMessage(17); // from another thread, as the shell does after a search
        std::this_thread::yield();
    }
    done = true;
    voice.join();
    std::vector<std::vector<int>> prompts;
    for (const std::vector<int>& c : Played())
        if (c != std::vector<int>{kMsgBase + 17}) prompts.push_back(c);
    // The left turn's bands from 2 km, each once; the voice thread may miss a band the guidance
    // passed while it was busy, but never plays one twice or out of order.
    ASSERT_FALSE(prompts.empty());
    for (std::size_t i = 0; i < prompts.size(); ++i) {
        const std::vector<int>& c = prompts[i];
        ASSERT_GE(c.size(), 2u);
        EXPECT_EQ(c.back() == 74 || c.back() == 75 || c.back() == 55, true) << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(prompts[j], c);
    }
}

} // namespace
