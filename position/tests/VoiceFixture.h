// Clip files for the guidance tests: every clip is a short marked pattern that names it (a
// marker sample, then its number), so the clips of a played image can be read back in order.
// Main clip k carries k, additional clip n carries 1000 + n, message m carries 2000 + m.
#pragma once

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/sound/Sound.h"
#include "tools/mkdevice/VoiceFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace guidetest {

constexpr std::int16_t kMarker = -32768;
constexpr int kAddBase = 1000;
constexpr int kMsgBase = 2000;

inline mkdev::Samples Marked(int number, int length = 3) {
    mkdev::Samples s(static_cast<std::size_t>(length), static_cast<std::int16_t>(number));
    s[0] = kMarker;
    return s;
}

// The numbers of the clips in a WAV image; empty when the image is not a 22,050 Hz mono 16-bit WAV.
inline std::vector<int> ClipsOf(const std::vector<BYTE>& image) {
    WavFormat f;
    std::vector<int> out;
    if (!ParseWav(image.data(), image.size(), &f) || f.channels != 1 || f.samplesPerSecond != 22050 ||
        f.bitsPerSample != 16)
        return out;
    for (std::size_t i = 0; i + 1 < f.dataSize; i += 2) {
        const std::int16_t v = static_cast<std::int16_t>(image[f.dataOffset + i] | (image[f.dataOffset + i + 1] << 8));
        if (v == kMarker && i + 3 < f.dataSize)
            out.push_back(static_cast<std::int16_t>(image[f.dataOffset + i + 2] | (image[f.dataOffset + i + 3] << 8)));
    }
    return out;
}

// Additional clip names: clip n is named "N<n>" unless given.
struct VoiceData {
    std::vector<mkdev::NamedClip> add;
    bool mainRiff = false, addRiff = false, msgRiff = true;
    int messageLength = 3;

    VoiceData() {
        for (int n = 1; n <= 20; ++n) add.push_back({"N" + std::to_string(n), Marked(kAddBase + n)});
    }
    // Sets the name of additional clip n (1-based).
    VoiceData& Name(int n, const std::u16string& name) {
        add.at(static_cast<std::size_t>(n - 1)).name = Utf16ToCp949(name);
        return *this;
    }
    void Write(const std::string& mapData) const {
        std::vector<mkdev::Samples> main, msg;
        for (int k = 1; k <= 206; ++k) main.push_back(Marked(k));
        for (int m = 1; m <= 24; ++m) msg.push_back(Marked(kMsgBase + m, m == 24 ? messageLength : 3));
        mkdev::WriteMainClips(mapData, main, mainRiff);
        mkdev::WriteAddClips(mapData, add, addRiff);
        mkdev::WriteMessageClips(mapData, msg, msgRiff);
        mkdev::WriteMapFile(mapData, "Wave/dd_beep.wav", mkdev::WavImage(Marked(999)));
    }
};

// A device root with a map data folder, simulated time and a recording sound output.
class SoundFixture : public ::testing::Test {
protected:
    SoundFixture() {
        InstallClock(&clock);
        SoundReset();
        recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(recorder);
    }
    ~SoundFixture() override {
        SoundSetOutput(nullptr);
        SoundReset();
        InstallClock(nullptr);
    }
    std::string MapData() const { return root.Path() + "/MapData"; }
    static constexpr const char16_t* kFolder = u"\\MapData";

    // The clips of every sound played since the last call.
    std::vector<std::vector<int>> Played() {
        std::vector<std::vector<int>> out;
        for (const SoundClip& c : recorder->Clips()) out.push_back(c.name.empty() ? ClipsOf(c.image) : std::vector<int>{-1});
        recorder->Clear();
        return out;
    }

    TempRoot root;
    SimulatedClock clock;
    std::shared_ptr<SoundRecorder> recorder;
};

} // namespace guidetest
