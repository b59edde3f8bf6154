// The tap click: a whole WAV file held in memory and played asynchronously.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <vector>

// The largest sound file a control or the click keeps.
constexpr std::size_t kMaxControlSound = std::size_t(1) << 20;

// Reads a sound file into out when it is a WAV image the player takes whole within the bytes
// read (its RIFF size included) and no larger than the limit; out is empty otherwise.
bool ReadSoundFile(const CString& path, std::vector<BYTE>& out);

class NaviClickSound {
public:
    NaviClickSound() = default;
    virtual ~NaviClickSound() = default;
    // Reads "<folder>\click.wav"; a missing or unusable file leaves the player silent.
    void Load(const CString& folder);
    void Play();
    bool HasSound() const { return !m_sound.empty(); }

private:
    std::vector<BYTE> m_sound;
};
