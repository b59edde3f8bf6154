#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/sound/Sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A mono 16-bit PCM image at 22050 samples per second lasting ms milliseconds (44100 bytes a
// second, so ms * 44.1 bytes of samples), each sample byte set to fill.
std::vector<BYTE> Wav(int ms, BYTE fill = 0x11) {
    const std::uint32_t data = static_cast<std::uint32_t>(ms) * 441u / 10u;
    std::vector<BYTE> w(44 + data, fill);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) w[at + i] = static_cast<BYTE>(v >> (8 * i));
    };
    std::memcpy(&w[0], "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(&w[8], "WAVEfmt ", 8);
    put32(16, 16);
    const BYTE fmt[] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
    std::memcpy(&w[20], fmt, sizeof fmt);
    std::memcpy(&w[36], "data", 4);
    put32(40, data);
    return w;
}

LPCWSTR Image(const std::vector<BYTE>& w) {
    return reinterpret_cast<LPCWSTR>(w.data());
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        SoundReset();
        m_recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(m_recorder);
    }
    void TearDown() override {
        SoundSetOutput(nullptr);
        SoundReset();
        InstallClock(nullptr);
    }
    SimulatedClock m_clock;
    std::shared_ptr<SoundRecorder> m_recorder;
};

TEST_F(SoundTest, AsynchronousMemoryImageIsCopiedSoItsOwnerMayFreeIt) {
    auto owner = std::make_unique<std::vector<BYTE>>(Wav(100, 0x5A));
    const std::vector<BYTE> expected = *owner;
    ASSERT_TRUE(PlaySoundW(Image(*owner), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT));
    std::fill(owner->begin(), owner->end(), BYTE{0});
    owner.reset();                      // freed at once, as the voice player's callers do
    EXPECT_EQ(m_clock.TickCount(), 0u); // asynchronous: no waiting
    const auto clips = m_recorder->Clips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].image, expected);
    EXPECT_EQ(clips[0].durationMs, 100u);
    EXPECT_EQ(clips[0].format.channels, 1);
    EXPECT_EQ(clips[0].format.samplesPerSecond, 22050);
    EXPECT_TRUE(clips[0].name.empty());
}

TEST_F(SoundTest, NoStopWaitsOrQueuesBehindTheSoundPlaying) {
    const auto a = Wav(100);
    const auto b = Wav(50);
    ASSERT_TRUE(PlaySoundW(Image(a), nullptr, SND_MEMORY | SND_ASYNC));
    // Synchronous with "no stop": waits for the 100 ms sound, then plays its own 50 ms.
    ASSERT_TRUE(PlaySoundW(Image(b), nullptr, SND_MEMORY | SND_SYNC | SND_NOSTOP));
    EXPECT_EQ(m_clock.TickCount(), 150u);
    // Asynchronous with "no stop": queued behind the one playing, the call returns at once.
    ASSERT_TRUE(PlaySoundW(Image(a), nullptr, SND_MEMORY | SND_ASYNC));
    ASSERT_TRUE(PlaySoundW(Image(b), nullptr, SND_MEMORY | SND_ASYNC | SND_NOSTOP));
    EXPECT_EQ(m_clock.TickCount(), 150u);
    const auto clips = m_recorder->Clips();
    ASSERT_EQ(clips.size(), 4u);
    EXPECT_EQ(clips[0].startTick, 0u);
    EXPECT_EQ(clips[1].startTick, 100u);
    EXPECT_EQ(clips[2].startTick, 150u);
    EXPECT_EQ(clips[3].startTick, 250u);
    EXPECT_EQ(m_recorder->StopCount(), 0);
    // Without "no stop" a new sound stops the one playing and starts now.
    ASSERT_TRUE(PlaySoundW(Image(b), nullptr, SND_MEMORY | SND_SYNC));
    EXPECT_EQ(m_recorder->StopCount(), 1);
    EXPECT_EQ(m_recorder->Clips().back().startTick, 150u);
    EXPECT_EQ(m_clock.TickCount(), 200u);
}

// A thread playing a sound synchronously returns when the sound is stopped, also in hosted
// (scripted) time that nobody moves any more: a program shutting down cuts the prompt its voice
// worker is playing instead of waiting for it.
TEST_F(SoundTest, StoppingTheSoundEndsASynchronousPlayOnAnotherThread) {
    m_clock.SetHosted(true); // this thread is the host: only it moves the clock
    const auto prompt = Wav(60000);
    auto played = std::async(std::launch::async, [&] {
        return PlaySoundW(Image(prompt), nullptr, SND_MEMORY | SND_SYNC);
    });
    // Until the stop the player waits: time stands still and the call has not returned.
    EXPECT_EQ(played.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(m_clock.TickCount(), 0u);
    ASSERT_TRUE(PlaySoundW(nullptr, nullptr, 0));
    ASSERT_EQ(played.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(played.get());
    EXPECT_EQ(m_clock.TickCount(), 0u);
    EXPECT_EQ(m_recorder->StopCount(), 1);
    m_clock.SetHosted(false);
}

TEST_F(SoundTest, VolumeLowWordAppliesToBothChannels) {
    WAVEOUTCAPSW caps;
    ASSERT_EQ(waveOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_TRUE(caps.dwSupport & WAVECAPS_VOLUME);
    EXPECT_FALSE(caps.dwSupport & WAVECAPS_LRVOLUME);
    EXPECT_EQ(waveOutGetDevCapsW(3, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    struct Case {
        DWORD set;
        DWORD read;
        int percent; // low word x 100 / 65535, truncated
    } cases[] = {
        {0x8000, 0x80008000, 50},
        {0x0000FFFF, 0xFFFFFFFF, 100},
        {0xCCCC3333, 0x33333333, 20}, // the high word is ignored
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(waveOutSetVolume(nullptr, c.set), MMSYSERR_NOERROR);
        DWORD v = 0;
        ASSERT_EQ(waveOutGetVolume(nullptr, &v), MMSYSERR_NOERROR);
        EXPECT_EQ(v, c.read) << std::hex << c.set;
        EXPECT_EQ(static_cast<int>(LOWORD(v) * 100u / 65535u), c.percent);
    }
    EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0x77), 1), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetVolume(nullptr, nullptr), MMSYSERR_INVALPARAM);
}

TEST_F(SoundTest, BrokenImagesAreRefusedWithoutReadingPastThem) {
    struct Case {
        const char* what;
        std::vector<BYTE> image;
    };
    auto patch32 = [](std::vector<BYTE> w, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) w[at + i] = static_cast<BYTE>(v >> (8 * i));
        return w;
    };
    auto patch16 = [](std::vector<BYTE> w, std::size_t at, std::uint16_t v) {
        w[at] = static_cast<BYTE>(v);
        w[at + 1] = static_cast<BYTE>(v >> 8);
        return w;
    };
    const auto good = Wav(10);
    std::vector<BYTE> noData(good.begin(), good.begin() + 36);
    noData = patch32(noData, 4, 28);
    const Case cases[] = {
        {"header only", std::vector<BYTE>(good.begin(), good.begin() + 8)},
        {"not WAVE", patch32(good, 8, 0x45564157 + 1)},
        {"data chunk past the end", patch32(good, 40, 100000)},
        {"not PCM", patch16(good, 20, 3)},
        {"three channels", patch16(good, 22, 3)},
        {"24-bit samples", patch16(good, 34, 24)},
        {"wrong block alignment", patch16(good, 32, 4)},
        {"no data chunk", noData},
        {"format chunk too short", patch32(good, 16, 12)},
    };
    for (const Case& c : cases) {
        WavFormat f;
        std::string why;
        EXPECT_FALSE(ParseWav(c.image.data(), c.image.size(), &f, &why)) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
    // A memory image whose RIFF size claims far more than any sound is refused before it is
    // copied (the 12 bytes here are all there is).
    const auto huge = patch32(std::vector<BYTE>(good.begin(), good.begin() + 12), 4, 0xFFFFFFF0u);
    EXPECT_FALSE(PlaySoundW(Image(huge), nullptr, SND_MEMORY | SND_ASYNC));
    EXPECT_TRUE(m_recorder->Clips().empty());
    // An odd-sized chunk before the data is skipped with its pad byte.
    std::vector<BYTE> padded(good.begin(), good.begin() + 36);
    const BYTE extra[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    padded.insert(padded.end(), std::begin(extra), std::end(extra));
    padded.insert(padded.end(), good.begin() + 36, good.end());
    padded = patch32(padded, 4, static_cast<std::uint32_t>(padded.size() - 8));
    WavFormat f;
    ASSERT_TRUE(ParseWav(padded.data(), padded.size(), &f));
    EXPECT_EQ(f.dataOffset, 56u);
    EXPECT_EQ(f.dataSize, 441u);
}

TEST_F(SoundTest, FilesArePlayedByTheirDevicePath) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("velko-sound-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "wave");
    {
        const auto w = Wav(20);
        std::ofstream out(root / "wave" / "dd_beep.wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(w.data()), static_cast<std::streamsize>(w.size()));
    }
    DeviceRoot::SetRoot(root.string());
    EXPECT_TRUE(sndPlaySoundW(u"\\Wave\\DD_BEEP.wav", SND_ASYNC | SND_NODEFAULT));
    EXPECT_FALSE(PlaySoundW(u"\\wave\\missing.wav", nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT));
    const auto clips = m_recorder->Clips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].name, u"\\Wave\\DD_BEEP.wav");
    EXPECT_EQ(clips[0].durationMs, 20u);
    std::filesystem::remove_all(root);
}

TEST_F(SoundTest, APipeNamedAsASoundIsRefusedWithoutWaiting) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("velko-sound-pipe-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "wave");
    const std::string pipe = (root / "wave" / "beep.wav").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    DeviceRoot::SetRoot(root.string());
    auto play = std::async(std::launch::async, [] {
        return PlaySoundW(u"\\wave\\beep.wav", nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    });
    if (play.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Stuck opening the pipe: give it a writer so the test can end.
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
        ADD_FAILURE() << "PlaySoundW waited on a pipe";
    }
    EXPECT_FALSE(play.get());
    EXPECT_TRUE(m_recorder->Clips().empty());
    std::filesystem::remove_all(root);
}

} // namespace
