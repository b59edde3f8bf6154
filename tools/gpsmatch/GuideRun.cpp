#include "tools/gpsmatch/GuideRun.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/InputFile.h"
#include "platform/sound/Sound.h"
#include "position/GuideManager.h"
#include "position/GuideInfo.h"
#include "route/RouteFile.h"
#include "route/RoutePath.h"
#include "route/base/BinFile.h"
#include "route/MRFormat.h"
#include "tools/gpsmatch/RouteFile.h"
#include "tools/mkdevice/VoiceTexts.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// The clips of the device's three clip files, to tell which clips make up a played image.
class ClipBook {
public:
    struct Clip {
        char source; // 'c' main, 'a' additional, 'm' message
        int id;
        std::vector<std::uint8_t> bytes;
    };
    bool Load(const std::u16string& folder) {
        m_folder = folder;
        return Read(u"Wave\\Wav.idx", u"Wave\\Wav.dat", 8, 206, 'c') &&
               Read(u"Wave\\AddWav.idx", u"Wave\\AddWav.dat", 32, 414, 'a') &&
               Read(u"Wave\\MsgWav.idx", u"Wave\\MsgWav.dat", 8, 24, 'm');
    }
    // Splits the samples of an image into clips, longest match first; an unknown stretch ends it.
    std::vector<const Clip*> Split(const std::vector<BYTE>& image) const {
        std::vector<const Clip*> out;
        WavFormat f;
        if (!ParseWav(image.data(), image.size(), &f)) return out;
        std::size_t at = f.dataOffset;
        const std::size_t end = f.dataOffset + f.dataSize;
        while (at < end) {
            const Clip* best = nullptr;
            for (const Clip& c : m_clips)
                if (c.bytes.size() <= end - at && (!best || c.bytes.size() > best->bytes.size()) &&
                    std::memcmp(image.data() + at, c.bytes.data(), c.bytes.size()) == 0)
                    best = &c;
            if (!best) break;
            out.push_back(best);
            at += best->bytes.size();
        }
        return out;
    }

private:
    bool Read(const char16_t* idx, const char16_t* dat, int recordSize, int count, char source) {
        std::vector<std::uint8_t> index = ReadAll(idx), data = ReadAll(dat);
        if (index.size() < static_cast<std::size_t>(recordSize) * count) return false;
        const std::size_t shift = data.size() >= 4 && std::memcmp(data.data(), "RIFF", 4) == 0 ? 44 : 0;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* r = &index[static_cast<std::size_t>(i) * recordSize];
            const std::uint64_t offset = mrformat::U32(r) + shift, size = mrformat::U32(r + 4);
            if (size == 0 || offset + size > data.size()) continue;
            m_clips.push_back({source, i + 1,
                               std::vector<std::uint8_t>(data.begin() + static_cast<long>(offset),
                                                         data.begin() + static_cast<long>(offset + size))});
        }
        return true;
    }
    std::vector<std::uint8_t> ReadAll(const char16_t* name) const {
        CBinFile f;
        std::vector<std::uint8_t> bytes;
        if (f.Open((m_folder + u"\\" + name).c_str(), CBinFile::kModeRead) != 0) return bytes;
        const long size = f.GetSize();
        if (size <= 0) return bytes;
        bytes.resize(static_cast<std::size_t>(size));
        if (f.Read(bytes.data(), static_cast<int>(size)) != size) bytes.clear();
        return bytes;
    }
    std::u16string m_folder;
    std::vector<Clip> m_clips;
};

std::string TextOf(const ClipBook::Clip& c) {
    switch (c.source) {
    case 'c':
        return mkdev::MainClipText(c.id);
    case 'm':
        return mkdev::MessageText(c.id);
    default: {
        const auto& add = mkdev::AddClipTexts();
        return c.id >= 1 && static_cast<std::size_t>(c.id) <= add.size() ? add[static_cast<std::size_t>(c.id - 1)].text
                                                                           : std::string();
    }
    }
}

class Run : public GuideRun {
public:
    bool Open(const std::u16string& folder, const std::string& routePath, const std::string& wavDir, bool realTime,
              std::string& error) {
        m_wavDir = wavDir;
        m_realTime = realTime;
        std::error_code ec;
        if (!wavDir.empty() && !std::filesystem::create_directories(wavDir, ec) && ec) {
            error = "cannot make " + wavDir;
            return false;
        }
        std::vector<std::uint8_t> bytes;
        if (!InputFile::ReadAll(routePath, kMaxRouteFileBytes, bytes, error)) return false;
        if (!ReadSavedRoutePath(bytes.data(), bytes.size(), m_path)) {
            error = "not a route file: " + routePath;
            return false;
        }
        // The goal and the first waypoint come from the route file's header.
        if (bytes.size() >= RouteHeader::kSize && m_header.ReadBuffer(bytes.data())) {
            m_goal = m_header.goal;
            if (m_header.waypoints[0].IsSet()) m_waypoint = m_header.waypoints[0];
        }
        if (!m_realTime) InstallClock(&m_clock);
        m_startTick = TheClock().TickCount();
        m_recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(m_recorder);
        const int loaded = m_guide.LoadData(folder, 1);
        if (loaded == CGuideManager::kVoiceFailed) {
            error = "no voice files under MapData\\Wave";
            return false;
        }
        if (!m_book.Load(folder)) {
            error = "unreadable voice files";
            return false;
        }
        m_guide.Reset();
        std::printf("guide_load=%d\n", loaded);
        return true;
    }
    ~Run() override {
        SoundSetOutput(nullptr);
        if (!m_realTime) InstallClock(nullptr);
    }

    void Fix(const MatchResult& match) override {
        if (!m_realTime) {
            // Fixes come once a second; a prompt that took longer keeps its time.
            m_second += 1000;
            if (m_clock.TickCount() < m_second) m_clock.Advance(m_second - m_clock.TickCount());
        }
        int cont = 1;
        m_guide.Guide(cont, match, &m_path, nullptr, nullptr, m_waypoint.x, m_waypoint.y, m_goal.x, m_goal.y);
        CGuideInfo info;
        m_guide.GetTurnInfo(info);
        m_guide.GetHighwayInfo(info, match, &m_path, 0, 5);
        if (!m_realTime && !m_ended) m_guide.ProcessVoice();
        std::printf("guide item=%d next=%d d1=%d code=%d wp=%d remain=%d\n", m_guide.CarItem(), info.nextGuide,
                    info.distance, info.code, info.waypointDistance, info.remaining);
        if (cont == 0) m_ended = true;
        PrintSounds();
    }

    void ProcessVoice() override {
        if (!m_ended) m_guide.ProcessVoice();
    }

    void PrintSounds() override {
        // The recorder may take a new sound between the copy and the clear: take them one lock.
        for (const SoundClip& s : m_recorder->Take()) Print(s);
    }

private:
    void Print(const SoundClip& s) {
        ++m_sounds;
        const char* kind = !s.name.empty() ? "beep" : (s.flags & SND_ASYNC) ? "message" : "prompt";
        std::string clips, text;
        if (s.name.empty()) {
            for (const ClipBook::Clip* c : m_book.Split(s.image)) {
                if (!clips.empty()) clips += ",";
                if (c->source != 'c') clips += c->source;
                clips += std::to_string(c->id);
                const std::string t = TextOf(*c);
                if (!text.empty() && !t.empty()) text += " ";
                text += t;
            }
        }
        std::printf("prompt t=%.1f kind=%s clips=%s text=\"%s\"\n", static_cast<double>(s.startTick - m_startTick) / 1000.0, kind,
                    clips.c_str(), text.c_str());
        if (!m_wavDir.empty()) {
            char name[64];
            std::snprintf(name, sizeof name, "/prompt-%03d.wav", m_sounds);
            std::ofstream out(m_wavDir + name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(s.image.data()), static_cast<std::streamsize>(s.image.size()));
        }
    }

    CRoutePath m_path;
    RouteHeader m_header;
    RoutePoint m_goal, m_waypoint;
    SimulatedClock m_clock;
    std::shared_ptr<SoundRecorder> m_recorder;
    CGuideManager m_guide;
    ClipBook m_book;
    std::string m_wavDir;
    std::uint64_t m_second = 0;
    std::uint64_t m_startTick = 0;
    bool m_realTime = false;
    int m_sounds = 0;
    bool m_ended = false;
};

} // namespace

std::unique_ptr<GuideRun> GuideRun::Open(const std::u16string& dataFolder, const std::string& routePath,
                                         const std::string& wavDir, bool realTime, std::string& error) {
    auto run = std::make_unique<Run>();
    if (!run->Open(dataFolder, routePath, wavDir, realTime, error)) return nullptr;
    return run;
}
