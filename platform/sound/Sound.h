// Sound: PlaySound and sndPlaySound over PCM WAV images (from memory or from a file under the
// device root), the wave-out volume, and the outputs the sounds go to (SDL audio in the SDL host,
// a recording sink in tests and the headless host, silence otherwise).
//
// Timing runs on the injectable clock: a sound occupies the device for its duration. Without
// SND_NOSTOP a new sound stops the one playing; with it, a synchronous play waits until the
// sound playing has ended and an asynchronous one is queued behind it. A memory image is copied,
// so its owner may free it as soon as the call returns.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

constexpr DWORD SND_SYNC = 0x00000000;
constexpr DWORD SND_ASYNC = 0x00000001;
constexpr DWORD SND_NODEFAULT = 0x00000002;
constexpr DWORD SND_MEMORY = 0x00000004;
constexpr DWORD SND_LOOP = 0x00000008;
constexpr DWORD SND_NOSTOP = 0x00000010;
constexpr DWORD SND_NOWAIT = 0x00002000;
constexpr DWORD SND_ALIAS = 0x00010000;
constexpr DWORD SND_FILENAME = 0x00020000;

// sound: a CE path (SND_FILENAME, or no SND_MEMORY), or a pointer to a WAV image (SND_MEMORY);
// nullptr stops what is playing. FALSE when the sound cannot be read or is not PCM WAV.
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
#define PlaySound PlaySoundW
BOOL sndPlaySoundW(LPCWSTR sound, UINT flags);
#define sndPlaySound sndPlaySoundW

// Wave out. The one device (id 0, also reached as WAVE_MAPPER or a null handle) reports volume
// control without separate left and right: the low word of a volume applies to both channels.
using HWAVEOUT = void*;
using MMRESULT = UINT;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr DWORD WAVECAPS_PITCH = 0x0001;
constexpr DWORD WAVECAPS_PLAYBACKRATE = 0x0002;
constexpr DWORD WAVECAPS_VOLUME = 0x0004;
constexpr DWORD WAVECAPS_LRVOLUME = 0x0008;
constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

struct WAVEOUTCAPSW {
    WORD wMid = 0;
    WORD wPid = 0;
    UINT vDriverVersion = 0;
    WCHAR szPname[32] = {};
    DWORD dwFormats = 0;
    WORD wChannels = 0;
    WORD wReserved1 = 0;
    DWORD dwSupport = 0;
};
using WAVEOUTCAPS = WAVEOUTCAPSW;

UINT waveOutGetNumDevs();
MMRESULT waveOutGetDevCapsW(std::uintptr_t deviceId, WAVEOUTCAPSW* caps, UINT size);
#define waveOutGetDevCaps waveOutGetDevCapsW
MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD* volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);

// The PCM format of a WAV image.
struct WavFormat {
    int channels = 0;
    int samplesPerSecond = 0;
    int bitsPerSample = 0;
    std::size_t dataOffset = 0; // of the samples inside the image
    std::size_t dataSize = 0;
    std::uint64_t DurationMs() const;
};
// Reads the RIFF chunks of an image; false (with a reason) when it is not a usable PCM WAV.
bool ParseWav(const BYTE* data, std::size_t size, WavFormat* format, std::string* error = nullptr);
// The largest image PlaySound accepts.
constexpr std::size_t kMaxSoundImage = 64u << 20;

// One sound handed to an output.
struct SoundClip {
    std::u16string name; // the file's CE path, or empty for a memory image
    std::vector<BYTE> image;
    WavFormat format;
    DWORD flags = 0;
    std::uint64_t startTick = 0; // when it starts playing (later than now when queued)
    std::uint64_t durationMs = 0;
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // The clip starts at clip.startTick, after everything handed over before it.
    virtual void Play(const SoundClip& clip) = 0;
    // Stops what plays and drops what is queued.
    virtual void Stop() {}
    virtual void SetVolume(WORD /*volume*/) {}
};

// Keeps every clip it is given.
class SoundRecorder : public SoundOutput {
public:
    void Play(const SoundClip& clip) override;
    void Stop() override;
    std::vector<SoundClip> Clips() const;
    // The clips recorded so far, removed from the recorder.
    std::vector<SoundClip> Take();
    int StopCount() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<SoundClip> m_clips;
    int m_stops = 0;
};

// nullptr: silence (sounds are timed but go nowhere).
void SoundSetOutput(std::shared_ptr<SoundOutput> output);
std::shared_ptr<SoundOutput> SoundGetOutput();
// Forgets what plays and sets the volume back to full, with volume control (tests).
void SoundReset();
// Tests: whether the wave device reports volume control (WAVECAPS_VOLUME), and the whole volume
// word last written (both channels).
void SoundSetVolumeControl(bool available);
DWORD SoundLastVolumeWord();
// FNV-1a of an image, for logs that show a sound arrived intact.
std::uint32_t SoundHash(const std::vector<BYTE>& image);
