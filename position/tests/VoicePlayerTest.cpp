// The voice player: clip files, prompt assembly checked on the played images, and the rules that
// keep a broken clip file from sounding.
#include "position/SoundIndex.h"
#include "position/VoicePlayer.h"
#include "position/tests/VoiceFixture.h"

#include <filesystem>
#include <fstream>

using namespace guidetest;
using Clips = std::vector<std::vector<int>>;

namespace {

class VoicePlayerTest : public SoundFixture {
protected:
    void TearDown() override { CSoundIndex::Destroy(); }
    bool Load(const VoiceData& data = VoiceData()) {
        data.Write(MapData());
        CSoundIndex::Destroy();
        player.SetDataFolder(kFolder);
        return player.Load(true);
    }
    CVoicePlayer player;
};

constexpr int A(int n) {
    return kAddBase + n;
}

TEST_F(VoicePlayerTest, RequestsJoinTheirClipsInTheOrderOfTheRules) {
    ASSERT_TRUE(Load());
    const std::int32_t junctions[6] = {4, 9, 0, 0, 0, 0};
    const std::int32_t exitName[6] = {7, 0, 0, 0, 0, 0};
    struct Case {
        PromptRequest request;
        const std::int32_t* names;
        std::vector<int> clips;
    } cases[] = {
        {{23, 12, 0, 0, 0}, nullptr, {23, 37, 74}},                 // 1 km, turn left
        {{34, 17, 0, 0, 0}, nullptr, {34, 42, 67}},                 // close: the row's first clip goes
        {{2, 15, 0, 0, 0}, nullptr, {2, 55}},                       // no distance phrase
        {{20, 66, 0, 0, 0}, exitName, {20, 36, A(7), 187, 54, 185, 68, 70}},
        {{34, 66, 0, 0, 0}, exitName, {34, A(7), 187, 54, 185, 68, 70}}, // close: no lead-in
        {{18, 64, 0, 0, 0}, junctions, {18, 37, 57, 185, A(4), A(9), 184}},
        {{16, 12, 38, 34, 13}, nullptr, {16, 37, 74, 38, 75}},      // then right, close behind
        {{16, 12, 38, 17, 13}, nullptr, {16, 37, 74, 38, 17, 37, 75}}, // a distance keeps the row whole
        {{16, 99, 0, 0, 0}, nullptr, {16, 37, 55}},                 // 99 is said as 15
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.distanceClip * 100 + c.request.code);
        EXPECT_TRUE(player.PlayRequest(c.request, c.names));
        EXPECT_EQ(Played(), Clips{c.clips});
    }
    // Out of range: nothing.
    for (PromptRequest bad : {PromptRequest{0, 12}, PromptRequest{207, 12}, PromptRequest{23, 69},
                              PromptRequest{23, 12, 38, 300, 13}})
        EXPECT_FALSE(player.PlayRequest(bad));
    EXPECT_TRUE(Played().empty());
}

TEST_F(VoicePlayerTest, FixedPromptsUserPointsAdditionalPromptsAndMessages) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(player.PlayFixed(62));
    EXPECT_TRUE(player.PlayFixed(61));
    EXPECT_FALSE(player.PlayFixed(58));
    EXPECT_TRUE(player.PlayUserPoint(3));
    EXPECT_FALSE(player.PlayUserPoint(15));
    EXPECT_TRUE(player.PlayAddWav(168));
    EXPECT_TRUE(player.PlayAddWav(178));
    EXPECT_FALSE(player.PlayAddWav(174));
    EXPECT_FALSE(player.PlayAddWav(176));
    EXPECT_TRUE(player.PlayMessage(17));
    EXPECT_EQ(Played(), (Clips{{84, 85, 86}, {84, 87, 86}, {118, 106, 119}, {168, 173}, {178}, {kMsgBase + 17}}));
    EXPECT_EQ(player.StoredRequest(), (PromptRequest{0, 61, 0, 0, 0}));
}

TEST_F(VoicePlayerTest, GuidePointSaysTheSpeedLimitOncePerPoint) {
    ASSERT_TRUE(Load());
    GuidePointNotice n;
    n.directionMode = 1;
    n.speedLimit = 80;
    n.index = 5;
    n.distance = 700;
    for (int clip : {18, 16, 34}) {
        n.distanceClip = clip;
        player.AnnounceGuidePoint(n);
        player.AnnounceGuidePoint(n); // the same announcement is not repeated
    }
    n.index = 6; // another point: its limit is said again
    n.distanceClip = 18;
    player.AnnounceGuidePoint(n);
    EXPECT_EQ(Played(), (Clips{{18, 37, 82, 146, 155, 134}, {16, 37, 82}, {34, 82}, {18, 37, 82, 146, 155, 134}}));
    // Distance clip 0 with code 0 is the beep file.
    EXPECT_TRUE(player.PlayPrompt(0, 0, 0, 0, 0));
    EXPECT_EQ(Played(), Clips{{-1}});
}

TEST_F(VoicePlayerTest, FacilityAnnouncementSaysServicesOnce) {
    ASSERT_TRUE(Load());
    RestAreaRecord f;
    f.id = 1;
    f.kind = 0;
    f.nameClip = 3;
    f.lpgClip = 191;
    f.brandClip = 194;
    f.announceClip = 23;
    player.AnnounceFacility(f);
    f.announceClip = 0; // nearer, the same facility: said already
    player.AnnounceFacility(f);
    RestAreaRecord exit;
    exit.id = 3;
    exit.kind = 2;
    exit.nameClip = 5;
    player.AnnounceFacility(exit);
    RestAreaRecord junction;
    junction.id = 4;
    junction.kind = 1;
    player.AnnounceFacility(junction);
    EXPECT_EQ(Played(), (Clips{{23, 36, A(3), 198, 191, 194, 119}, {36, A(5), 187}}));
}

TEST_F(VoicePlayerTest, ClipFilesWithAndWithoutHeaderGiveTheSameSamples) {
    VoiceData raw;
    raw.msgRiff = false;
    ASSERT_TRUE(Load(raw));
    player.PlayRequest({23, 66, 0, 0, 0}, std::vector<std::int32_t>{2, 0, 0, 0, 0, 0}.data());
    player.PlayMessage(3);
    const std::vector<SoundClip> plain = recorder->Clips();
    recorder->Clear();
    VoiceData riff;
    riff.mainRiff = riff.addRiff = riff.msgRiff = true;
    ASSERT_TRUE(Load(riff));
    player.PlayRequest({23, 66, 0, 0, 0}, std::vector<std::int32_t>{2, 0, 0, 0, 0, 0}.data());
    player.PlayMessage(3);
    const std::vector<SoundClip> headed = recorder->Clips();
    ASSERT_EQ(plain.size(), 2u);
    ASSERT_EQ(headed.size(), 2u);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(plain[i].image, headed[i].image);
    EXPECT_EQ(ClipsOf(plain[0].image), (std::vector<int>{23, 36, A(2), 187, 54, 185, 68, 70}));
}

TEST_F(VoicePlayerTest, PromptImageHasTheWaveHeader) {
    ASSERT_TRUE(Load());
    player.PlayRequest({23, 12, 0, 0, 0});
    const std::vector<SoundClip> clips = recorder->Clips();
    ASSERT_EQ(clips.size(), 1u);
    const std::vector<BYTE>& im = clips[0].image;
    // Three clips of 3 samples: 18 bytes of samples, 62 in all.
    const std::vector<BYTE> header = {'R', 'I', 'F', 'F', 54, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                      16,  0,   0,   0,   1,  0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0,
                                      2,   0,   16,  0,   'd', 'a', 't', 'a', 18, 0, 0, 0};
    ASSERT_EQ(im.size(), 62u);
    EXPECT_EQ(std::vector<BYTE>(im.begin(), im.begin() + 44), header);
    EXPECT_EQ(clips[0].flags, static_cast<DWORD>(SND_MEMORY | SND_NODEFAULT | SND_NOSTOP));
}

TEST_F(VoicePlayerTest, UnusableFilesLeaveThePlayerSilent) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
    } cases[] = {
        {"additional index one byte short", [](const std::string& d) { std::filesystem::resize_file(d + "/Wave/AddWav.idx", 13247); }},
        {"additional index one byte long", [](const std::string& d) { std::filesystem::resize_file(d + "/Wave/AddWav.idx", 13249); }},
        {"no main index", [](const std::string& d) { std::filesystem::remove(d + "/Wave/Wav.idx"); }},
        {"no message data", [](const std::string& d) { std::filesystem::remove(d + "/Wave/MsgWav.dat"); }},
        {"empty main index", [](const std::string& d) { std::filesystem::resize_file(d + "/Wave/Wav.idx", 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VoiceData().Write(MapData());
        c.spoil(MapData());
        CSoundIndex::Destroy();
        CVoicePlayer p;
        p.SetDataFolder(kFolder);
        EXPECT_FALSE(p.Load(true));
        EXPECT_FALSE(p.PlayRequest({23, 12, 0, 0, 0}));
        EXPECT_FALSE(p.PlayFixed(62));
        EXPECT_FALSE(p.PlayUserPoint(1));
        EXPECT_FALSE(p.PlayAddWav(168));
        EXPECT_FALSE(p.PlayMessage(17));
        EXPECT_FALSE(p.PlayPrompt(18, 41, 1, 1, 80));
        EXPECT_TRUE(Played().empty());
    }
}

// Rewrites entry i (0-based) of an index file of 8-byte entries.
void PatchEntry(const std::string& path, int i, std::uint32_t offset, std::uint32_t size) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(i * 8);
    const unsigned char b[8] = {static_cast<unsigned char>(offset), static_cast<unsigned char>(offset >> 8),
                                static_cast<unsigned char>(offset >> 16), static_cast<unsigned char>(offset >> 24),
                                static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    f.write(reinterpret_cast<const char*>(b), 8);
}

TEST_F(VoicePlayerTest, EntriesPastTheirClipFileAreNotPlayedNorRecorded) {
    VoiceData data;
    data.messageLength = 102356 / 2 + 1; // one sample over the message buffer
    data.Write(MapData());
    const std::uint64_t mainSize = std::filesystem::file_size(MapData() + "/Wave/Wav.dat");
    PatchEntry(MapData() + "/Wave/Wav.idx", 73, static_cast<std::uint32_t>(mainSize - 2), 4);  // clip 74 runs 2 bytes past
    PatchEntry(MapData() + "/Wave/Wav.idx", 74, 0xFFFFFFF0u, 0x20);                             // clip 75: offset + size wraps 32 bits
    PatchEntry(MapData() + "/Wave/Wav.idx", 75, 0, 0xFFFFFFFFu);                                // clip 76: 4 GB
    CSoundIndex::Destroy();
    player.SetDataFolder(kFolder);
    ASSERT_TRUE(player.Load(true));
    for (int code : {12, 13, 14}) EXPECT_FALSE(player.PlayRequest({23, code, 0, 0, 0}));
    // A refused prompt is not recorded as played, so the same request is still new.
    EXPECT_FALSE(player.IsSameRequest({23, 12, 0, 0, 0}, -1));
    EXPECT_FALSE(player.PlayMessage(24));
    EXPECT_TRUE(player.PlayMessage(23));
    EXPECT_EQ(Played(), Clips{{kMsgBase + 23}});
}

TEST_F(VoicePlayerTest, SameRequestIsJudgedByTheGuideIndexItWasPlayedFor) {
    ASSERT_TRUE(Load());
    CVoicePlayer::Guidance g;
    g.nextGuide = 4;
    g.nextGuide1 = 5;
    g.request = {23, 12, 0, 0, 0};
    g.promptRequested = true;
    player.Publish(g);
    player.PlayPending(g);
    player.PlayPending(g); // the same request for the same guide item: once
    EXPECT_TRUE(player.IsSameRequest({23, 12, 0, 0, 0}, 4));
    EXPECT_FALSE(player.IsSameRequest({23, 12, 0, 0, 0}, 6));
    EXPECT_EQ(player.LastPlayedIndex(), 5);
    // Distance clip 0 with code 60 plays the fixed prompt and then always counts as the same.
    g.request = {0, 60, 0, 0, 0};
    player.PlayPending(g);
    EXPECT_TRUE(player.IsSameRequest({0, 60, 0, 0, 0}, 9));
    player.ClearPending(); // it survives clearing, outside pedestrian mode
    EXPECT_TRUE(player.IsSameRequest({0, 60, 0, 0, 0}, 9));
    EXPECT_EQ(player.LastPlayedIndex(), -1);
    EXPECT_EQ(Played(), (Clips{{23, 37, 74}, {84, 85}}));
}

TEST(SoundIndex, NamesAreOrderedByBytesAndKeepTheirFirstRecord) {
    TempRoot root;
    // Hand-written index: record 0 "B" at 0 size 2, record 1 "A" at 2 size 4, record 2 "B" again,
    // the rest distinct fillers.
    std::string bytes;
    auto rec = [&bytes](std::uint32_t offset, std::uint32_t size, const std::string& name) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(offset >> (8 * i));
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(size >> (8 * i));
        std::string n = name;
        n.resize(24, '\0');
        bytes += n;
    };
    rec(0, 2, "B");
    rec(2, 4, "A");
    rec(6, 8, "B");
    for (int i = 3; i < 414; ++i) rec(0, 0, "F" + std::to_string(i));
    root.MakeFile("AddWav.idx", bytes);
    CSoundIndex index;
    EXPECT_EQ(index.Load(u"\\AddWav.idx"), 413);
    EXPECT_EQ(index.Find("B"), 1);
    EXPECT_EQ(index.Find("A"), 2);
    EXPECT_EQ(index.Find("F3"), 3);
    EXPECT_EQ(index.Find(std::string("A\0\0", 3)), 2);
    EXPECT_EQ(index.Find("C"), 0);
    CSoundIndex::Entry e;
    ASSERT_TRUE(index.GetEntry(1, e));
    EXPECT_EQ(e.offset, 2u);
    EXPECT_EQ(e.size, 4u);
    EXPECT_FALSE(index.GetEntry(413, e));
    root.MakeFile("Short.idx", bytes.substr(1));
    CSoundIndex other;
    EXPECT_EQ(other.Load(u"\\Short.idx"), 0);
}

} // namespace
