// The builder's voice stage: speaks every clip of the clip-text table with espeak-ng's Korean
// voice (22,050 Hz mono 16-bit) and writes the clip files, the beep, the start sound and the
// facility tables under the map data folder. Spoken clips are cached by text, so rebuilding a
// device only reads them back.
#pragma once

#include "tools/mkdevice/VoiceFiles.h"

#include <string>

namespace mkdev {

struct DeviceLayout;

// Speaks a text (UTF-8); throws std::runtime_error when the speech program fails.
class Speaker {
public:
    explicit Speaker(std::string cacheDir);
    // wordsPerMinute 0: the normal pace.
    Samples Say(const std::string& text, int wordsPerMinute = 0);
    int Synthesised() const { return m_synthesised; }

private:
    Samples Synthesise(const std::string& text, int wordsPerMinute);
    std::string m_cacheDir;
    int m_synthesised = 0;
};

struct VoiceSummary {
    int mainClips = 0;
    int addClips = 0;
    int messages = 0;
    int synthesised = 0; // not found in the cache
};

// The longest message the player takes, in sample bytes.
constexpr std::size_t kMaxMessageBytes = 102356;

VoiceSummary BuildVoiceStage(const DeviceLayout& layout, const std::string& cacheDir);

} // namespace mkdev
