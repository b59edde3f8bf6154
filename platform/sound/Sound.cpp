#include "platform/sound/Sound.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::mutex g_mutex;
std::shared_ptr<SoundOutput> g_output;
std::uint64_t g_busyUntil = 0; // the device plays until this tick
std::atomic<std::uint64_t> g_stops{0}; // how often the sound was stopped
WORD g_volume = 0xFFFF;
DWORD g_lastVolumeWord = 0xFFFFFFFF;
bool g_volumeControl = true;

std::uint32_t Le32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool ReadHostFile(const std::string& path, std::vector<BYTE>& out) {
    // Only a plain file: opening a pipe would wait for a writer that may never come.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxSoundImage) return false;
    in.seekg(0, std::ios::beg);
    out.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), size)) return false;
    return true;
}

// The size of a memory image comes from its RIFF header.
bool CopyMemoryImage(const void* image, std::vector<BYTE>& out) {
    const auto* p = static_cast<const BYTE*>(image);
    if (std::memcmp(p, "RIFF", 4) != 0) return false;
    const std::uint64_t total = static_cast<std::uint64_t>(Le32(p + 4)) + 8;
    if (total < 12 || total > kMaxSoundImage) return false;
    out.assign(p, p + total);
    return true;
}

// A synchronous play waits until its sound has played, or until the sound is stopped
// (PlaySoundW with no sound), which ends every such wait at once, also in scripted time.
void WaitUntil(std::uint64_t tick) {
    Clock& clock = TheClock();
    const std::uint64_t stops = g_stops.load();
    const auto stopped = [stops] { return g_stops.load() != stops; };
    for (;;) {
        const std::uint64_t now = clock.TickCount();
        if (now >= tick || stopped()) return;
        clock.SleepUnless(static_cast<DWORD>(std::min<std::uint64_t>(tick - now, 50)), stopped);
    }
}

} // namespace

std::uint64_t WavFormat::DurationMs() const {
    const std::uint64_t bytesPerSecond = static_cast<std::uint64_t>(samplesPerSecond) *
                                         static_cast<std::uint64_t>(channels) * (bitsPerSample / 8);
    if (bytesPerSecond == 0) return 0;
    return (static_cast<std::uint64_t>(dataSize) * 1000 + bytesPerSecond - 1) / bytesPerSecond;
}

bool ParseWav(const BYTE* data, std::size_t size, WavFormat* format, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (!data || size < 12) return fail("too short for a RIFF header");
    if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return fail("not a RIFF WAVE image");
    const std::uint64_t riffEnd =
        std::min<std::uint64_t>(size, static_cast<std::uint64_t>(Le32(data + 4)) + 8);
    bool haveFormat = false;
    bool haveData = false;
    WavFormat f;
    std::uint64_t pos = 12;
    while (pos + 8 <= riffEnd) {
        const BYTE* chunk = data + pos;
        const std::uint64_t chunkSize = Le32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (chunkSize > riffEnd - body) return fail("a chunk runs past the end of the image");
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16) return fail("format chunk too short");
            const BYTE* b = data + body;
            if (Le16(b) != 1) return fail("not PCM");
            f.channels = Le16(b + 2);
            f.samplesPerSecond = static_cast<int>(Le32(b + 4));
            f.bitsPerSample = Le16(b + 14);
            const int blockAlign = Le16(b + 12);
            if (f.channels < 1 || f.channels > 2) return fail("unsupported channel count");
            if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return fail("unsupported sample size");
            if (f.samplesPerSecond < 1000 || f.samplesPerSecond > 192000)
                return fail("unsupported sample rate");
            if (blockAlign != f.channels * f.bitsPerSample / 8) return fail("inconsistent block alignment");
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            f.dataOffset = static_cast<std::size_t>(body);
            f.dataSize = static_cast<std::size_t>(chunkSize);
            haveData = true;
        }
        pos = body + chunkSize + (chunkSize & 1);
    }
    if (!haveFormat) return fail("no format chunk");
    if (!haveData) return fail("no data chunk");
    if (format) *format = f;
    return true;
}

void SoundRecorder::Play(const SoundClip& clip) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clips.push_back(clip);
}

void SoundRecorder::Stop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_stops;
}

std::vector<SoundClip> SoundRecorder::Clips() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clips;
}

std::vector<SoundClip> SoundRecorder::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SoundClip> taken;
    taken.swap(m_clips);
    return taken;
}

int SoundRecorder::StopCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stops;
}

void SoundRecorder::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clips.clear();
    m_stops = 0;
}

void SoundSetOutput(std::shared_ptr<SoundOutput> output) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_output = std::move(output);
    if (g_output) g_output->SetVolume(g_volume);
}

std::shared_ptr<SoundOutput> SoundGetOutput() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_output;
}

void SoundReset() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_busyUntil = 0;
    g_volume = 0xFFFF;
    g_lastVolumeWord = 0xFFFFFFFF;
    g_volumeControl = true;
}

std::uint32_t SoundHash(const std::vector<BYTE>& image) {
    std::uint32_t h = 2166136261u;
    for (BYTE b : image) {
        h ^= b;
        h *= 16777619u;
    }
    return h;
}

BOOL PlaySoundW(LPCWSTR sound, HMODULE, DWORD flags) {
    if (!sound) {
        std::shared_ptr<SoundOutput> output;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_busyUntil = TheClock().TickCount();
            output = g_output;
        }
        if (output) output->Stop();
        ++g_stops;
        TheClock().Wake();
        return TRUE;
    }
    SoundClip clip;
    clip.flags = flags;
    if (flags & SND_MEMORY) {
        if (!CopyMemoryImage(sound, clip.image)) return FALSE;
    } else {
        clip.name = sound;
        if (!ReadHostFile(DeviceRoot::Resolve(sound), clip.image)) return FALSE;
    }
    if (!ParseWav(clip.image.data(), clip.image.size(), &clip.format)) return FALSE;
    clip.durationMs = clip.format.DurationMs();

    const bool async = (flags & SND_ASYNC) != 0;
    const bool noStop = (flags & SND_NOSTOP) != 0;
    if (!async && noStop) {
        // A synchronous "no stop" play waits for the sound playing (and whatever is queued).
        std::uint64_t busy;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            busy = g_busyUntil;
        }
        WaitUntil(busy);
    }
    std::shared_ptr<SoundOutput> output;
    std::uint64_t end;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const std::uint64_t now = TheClock().TickCount();
        output = g_output;
        if (!noStop) {
            if (output && g_busyUntil > now) output->Stop();
            g_busyUntil = now;
        }
        clip.startTick = std::max(now, g_busyUntil);
        g_busyUntil = clip.startTick + clip.durationMs;
        end = g_busyUntil;
        if (output) output->Play(clip);
    }
    if (!async) WaitUntil(end);
    return TRUE;
}

BOOL sndPlaySoundW(LPCWSTR sound, UINT flags) {
    DWORD f = flags;
    if (!(f & SND_MEMORY)) f |= SND_FILENAME;
    return PlaySoundW(sound, nullptr, f);
}

UINT waveOutGetNumDevs() {
    return 1;
}

MMRESULT waveOutGetDevCapsW(std::uintptr_t deviceId, WAVEOUTCAPSW* caps, UINT size) {
    if (deviceId != 0 && deviceId != WAVE_MAPPER && deviceId != static_cast<std::uintptr_t>(-1))
        return MMSYSERR_BADDEVICEID;
    if (!caps || size < sizeof(WAVEOUTCAPSW)) return MMSYSERR_INVALPARAM;
    *caps = WAVEOUTCAPSW{};
    const char16_t name[] = u"Velko Audio";
    std::copy(std::begin(name), std::end(name), caps->szPname);
    caps->dwFormats = 0xFFF;
    caps->wChannels = 2;
    std::lock_guard<std::mutex> lock(g_mutex);
    // One volume for both channels.
    caps->dwSupport = g_volumeControl ? WAVECAPS_VOLUME : 0;
    return MMSYSERR_NOERROR;
}

namespace {
bool IsDevice(HWAVEOUT device) {
    const auto v = reinterpret_cast<std::uintptr_t>(device);
    return v == 0 || v == WAVE_MAPPER || v == static_cast<std::uintptr_t>(-1);
}
} // namespace

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD* volume) {
    if (!IsDevice(device)) return MMSYSERR_INVALHANDLE;
    if (!volume) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lock(g_mutex);
    *volume = MAKELONG(g_volume, g_volume);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    if (!IsDevice(device)) return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_volume = LOWORD(volume);
    g_lastVolumeWord = volume;
    if (g_output) g_output->SetVolume(g_volume);
    return MMSYSERR_NOERROR;
}

void SoundSetVolumeControl(bool available) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_volumeControl = available;
}

DWORD SoundLastVolumeWord() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lastVolumeWord;
}
