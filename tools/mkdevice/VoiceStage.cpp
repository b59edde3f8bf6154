#include "tools/mkdevice/VoiceStage.h"

#include "platform/base/Text.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/VoiceTexts.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace mkdev {

namespace {

constexpr const char* kVoice = "ko";
constexpr int kNormalSpeed = 160;

std::uint64_t Fnv(const std::string& s) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The samples of a 22,050 Hz mono 16-bit PCM WAV file; throws when it is anything else.
Samples WavSamples(const std::vector<std::uint8_t>& b) {
    auto u16 = [&b](std::size_t at) { return static_cast<unsigned>(b[at] | (b[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at) | (u16(at + 2) << 16)); };
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        throw std::runtime_error("speech output is not a WAV file");
    bool format = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint32_t size = u32(at + 4);
        const std::size_t body = at + 8;
        if (size > b.size() - body) {
            // espeak-ng writing to a file fixes the sizes at the end; a streamed size runs to the end.
            if (std::memcmp(b.data() + at, "data", 4) != 0) break;
        }
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && size >= 16) {
            if (u16(body) != 1 || u16(body + 2) != 1 || u32(body + 4) != 22050 || u16(body + 14) != 16)
                throw std::runtime_error("speech output is not 22,050 Hz mono 16-bit PCM");
            format = true;
        } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
            if (!format) break;
            const std::size_t n = std::min<std::size_t>(size, b.size() - body) / 2;
            Samples s(n);
            for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<std::int16_t>(u16(body + 2 * i));
            return s;
        }
        at = body + size + (size & 1);
    }
    throw std::runtime_error("speech output has no PCM data");
}

// Drops the leading and trailing silence espeak-ng adds, keeping 20 ms on each side.
Samples Trim(Samples s) {
    constexpr int kQuiet = 200;
    std::size_t first = 0, last = s.size();
    while (first < s.size() && std::abs(s[first]) < kQuiet) ++first;
    while (last > first && std::abs(s[last - 1]) < kQuiet) --last;
    const std::size_t pad = 441;
    first = first > pad ? first - pad : 0;
    last = std::min(s.size(), last + pad);
    return Samples(s.begin() + static_cast<long>(first), s.begin() + static_cast<long>(last));
}

} // namespace

Speaker::Speaker(std::string cacheDir) : m_cacheDir(std::move(cacheDir)) {
    if (!m_cacheDir.empty()) std::filesystem::create_directories(m_cacheDir);
}

Samples Speaker::Synthesise(const std::string& text, int wpm) {
    char tmpl[] = "/tmp/velko-voice-XXXXXX";
    const int fd = ::mkstemp(tmpl);
    if (fd < 0) throw std::runtime_error("cannot make a temporary file for speech");
    ::close(fd);
    const std::string out = std::string(tmpl);
    const std::string speed = std::to_string(wpm);
    std::vector<std::string> args = {"espeak-ng", "-v", kVoice, "-s", speed, "-w", out, text};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    const int rc = ::posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ);
    if (rc != 0 || ::waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::remove(out.c_str());
        throw std::runtime_error("espeak-ng failed (is it installed?) for: " + text);
    }
    const std::vector<std::uint8_t> bytes = ReadAll(out);
    std::remove(out.c_str());
    ++m_synthesised;
    return Trim(WavSamples(bytes));
}

Samples Speaker::Say(const std::string& text, int wpm) {
    if (wpm <= 0) wpm = kNormalSpeed;
    const std::string key = std::string(kVoice) + "|" + std::to_string(wpm) + "|" + text;
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.pcm", static_cast<unsigned long long>(Fnv(key)));
    const std::string cached = m_cacheDir.empty() ? std::string() : m_cacheDir + "/" + name;
    if (!cached.empty() && std::filesystem::exists(cached)) {
        const std::vector<std::uint8_t> b = ReadAll(cached);
        if (b.size() >= 2 && b.size() % 2 == 0) {
            Samples s(b.size() / 2);
            for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::int16_t>(b[2 * i] | (b[2 * i + 1] << 8));
            return s;
        }
    }
    Samples s = Synthesise(text, wpm);
    if (!cached.empty()) {
        std::vector<std::uint8_t> b;
        for (std::int16_t v : s) {
            b.push_back(static_cast<std::uint8_t>(v));
            b.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
        }
        // Several builders may fill the cache at once: each writes aside and renames.
        const std::string tmp = cached + "." + std::to_string(::getpid()) + ".tmp";
        {
            std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        }
        std::error_code ec;
        std::filesystem::rename(tmp, cached, ec);
        if (ec) std::filesystem::remove(tmp, ec);
    }
    return s;
}

VoiceSummary BuildVoiceStage(const DeviceLayout& layout, const std::string& cacheDir) {
    Speaker speaker(cacheDir);
    VoiceSummary summary;
    std::vector<Samples> main;
    for (int id = 1; id <= kMainClipCount; ++id) main.push_back(speaker.Say(MainClipText(id)));
    std::vector<NamedClip> add;
    for (const AddClipText& a : AddClipTexts()) add.push_back({Utf16ToCp949(a.name), speaker.Say(a.text)});
    std::vector<Samples> messages;
    for (int id = 1; id <= kMessageCount; ++id) {
        // A message must fit the player's message buffer: a long one is spoken faster.
        Samples s = speaker.Say(MessageText(id));
        for (int wpm = 200; s.size() * 2 > kMaxMessageBytes && wpm <= 320; wpm += 40) s = speaker.Say(MessageText(id), wpm);
        if (s.size() * 2 > kMaxMessageBytes) throw std::runtime_error("message too long: " + MessageText(id));
        messages.push_back(std::move(s));
    }
    // The message file starts with a WAV header; the other two are raw samples.
    WriteMainClips(layout.mapData, main, false);
    WriteAddClips(layout.mapData, add, false);
    WriteMessageClips(layout.mapData, messages, true);
    WriteMapFile(layout.mapData, "Wave/dd_beep.wav", WavImage(Tone(1200.0, 0.2)));
    WriteMapFile(layout.mapData, "Wave/VelkoStart.wav", WavImage(speaker.Say("벨코 길 안내를 시작합니다")));
    WriteMapFile(layout.mapData, "Wave/RestareaDB.db", RestAreaTable(SampleRestAreas()));
    WriteMapFile(layout.mapData, "Wave/HighwayDB.db", HighwayTable(SampleDirections()));
    summary.mainClips = static_cast<int>(main.size());
    summary.addClips = static_cast<int>(add.size());
    summary.messages = static_cast<int>(messages.size());
    summary.synthesised = speaker.Synthesised();
    return summary;
}

} // namespace mkdev
