#include "tools/mkdevice/VoiceFiles.h"

#include "route/base/Coords.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/NetworkModel.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace mkdev {

namespace {

constexpr double kPi = 3.14159265358979323846;

void WavHeader(ByteSink& s, std::uint32_t dataBytes) {
    s.Bytes("RIFF", 4);
    s.U32(dataBytes + 36);
    s.Bytes("WAVE", 4);
    s.Bytes("fmt ", 4);
    s.U32(16);
    s.U16(1);
    s.U16(1);
    s.U32(22050);
    s.U32(44100);
    s.U16(2);
    s.U16(16);
    s.Bytes("data", 4);
    s.U32(dataBytes);
}

// The data file and the (offset, size) of each clip in it.
ByteSink ClipData(const std::vector<const Samples*>& clips, bool riff, std::vector<std::pair<std::uint32_t, std::uint32_t>>& at) {
    ByteSink body;
    for (const Samples* c : clips) {
        const std::uint32_t offset = static_cast<std::uint32_t>(body.Size());
        if (c)
            for (std::int16_t v : *c) body.I16(v);
        at.emplace_back(offset, static_cast<std::uint32_t>(body.Size()) - offset);
    }
    ByteSink file;
    if (riff) WavHeader(file, static_cast<std::uint32_t>(body.Size()));
    file.Bytes(body.Data().data(), body.Size());
    return file;
}

void WriteIndexed(const std::string& mapData, const std::string& base, const std::vector<Samples>& clips, std::size_t count,
                  bool riff) {
    std::vector<const Samples*> list;
    for (std::size_t i = 0; i < count; ++i) list.push_back(i < clips.size() ? &clips[i] : nullptr);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> at;
    ByteSink data = ClipData(list, riff, at);
    ByteSink index;
    for (const auto& [offset, size] : at) {
        index.U32(offset);
        index.U32(size);
    }
    WriteMapFile(mapData, "Wave/" + base + ".idx", index.Data());
    WriteMapFile(mapData, "Wave/" + base + ".dat", data.Data());
}

} // namespace

void WriteMapFile(const std::string& mapData, const std::string& relative, const std::vector<std::uint8_t>& bytes) {
    const std::string path = mapData + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFileAtomic(path, bytes);
}

void WriteMainClips(const std::string& mapData, const std::vector<Samples>& clips, bool riff) {
    WriteIndexed(mapData, "Wav", clips, 206, riff);
}

void WriteMessageClips(const std::string& mapData, const std::vector<Samples>& clips, bool riff) {
    WriteIndexed(mapData, "MsgWav", clips, 24, riff);
}

void WriteAddClips(const std::string& mapData, const std::vector<NamedClip>& clips, bool riff) {
    if (clips.size() > 414) throw std::invalid_argument("more than 414 additional clips");
    std::vector<const Samples*> list;
    for (const NamedClip& c : clips) list.push_back(&c.samples);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> at;
    ByteSink data = ClipData(list, riff, at);
    ByteSink index;
    for (std::size_t i = 0; i < 414; ++i) {
        if (i < clips.size()) {
            if (clips[i].name.size() > 24) throw std::invalid_argument("clip name longer than 24 bytes");
            index.U32(at[i].first);
            index.U32(at[i].second);
            index.Text(clips[i].name, 24);
        } else {
            // Unused records: distinct names of no clip.
            index.U32(0);
            index.U32(0);
            index.Text("~" + std::to_string(i), 24);
        }
    }
    WriteMapFile(mapData, "Wave/AddWav.idx", index.Data());
    WriteMapFile(mapData, "Wave/AddWav.dat", data.Data());
}

std::vector<std::uint8_t> WavImage(const Samples& samples) {
    ByteSink s;
    WavHeader(s, static_cast<std::uint32_t>(samples.size() * 2));
    for (std::int16_t v : samples) s.I16(v);
    return s.Data();
}

Samples Tone(double hz, double seconds, double amplitude) {
    const std::size_t n = static_cast<std::size_t>(seconds * 22050.0);
    Samples s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * kPi * hz * static_cast<double>(i) / 22050.0)));
    return s;
}

std::vector<std::uint8_t> RestAreaTable(const std::vector<RestAreaEntry>& entries) {
    ByteSink s;
    s.U32(static_cast<std::uint32_t>(entries.size()));
    for (const RestAreaEntry& e : entries) {
        if (e.name.size() > 20) throw std::invalid_argument("facility name longer than 20 bytes");
        s.U16(e.id);
        s.U8(e.brand);
        s.U8(e.lpg);
        s.U8(e.repair);
        s.U8(e.kind);
        s.U16(e.value);
        s.Text(e.name, 20);
    }
    return s.Data();
}

std::vector<std::uint8_t> HighwayTable(const std::vector<HighwayEntry>& entries) {
    ByteSink s;
    s.U32(static_cast<std::uint32_t>(entries.size()));
    for (const HighwayEntry& e : entries) {
        if (e.names.size() > 40) throw std::invalid_argument("direction names longer than 40 bytes");
        s.U16(e.id);
        s.U16(0);
        s.Text(e.names, 40);
    }
    return s.Data();
}

std::vector<std::uint8_t> GuidePointFile(const std::vector<GuidePointEntry>& points) {
    constexpr int kCells = 48 * 66;
    std::map<int, ByteSink> cells;
    for (const GuidePointEntry& p : points) {
        std::int32_t px = 0, py = 0;
        NetToPointFileCoord(p.x, p.y, px, py);
        if (px < 0 || py < 0 || px / 10000 >= 48 || py / 10000 >= 66)
            throw std::invalid_argument("guide point outside the grid");
        const int cell = px / 10000 * 66 + py / 10000;
        ByteSink& r = cells[cell];
        r.U8(p.directionFlag);
        r.U8(p.type);
        r.U8(p.speedLimit);
        r.U16(static_cast<std::uint32_t>((p.heading + 180) % 360)); // the file keeps the opposite way
        // x inside the cell in map x units (point-file x = map x / 1.2), rounded so that the reader's
        // truncation gives back the point-file offset.
        r.U16(static_cast<std::uint32_t>(std::ceil((px % 10000) * 1.2)));
        r.U16(static_cast<std::uint32_t>(py % 10000));
        r.U16(static_cast<std::uint32_t>(p.value));
        r.Zeros(21);
    }
    ByteSink s;
    s.Zeros(50 + kCells * 4);
    for (auto& [cell, records] : cells) {
        s.PutU32At(50 + static_cast<std::size_t>(cell) * 4, static_cast<std::uint32_t>(s.Size()));
        s.Bytes(records.Data().data(), records.Size());
    }
    s.PutU32At(6, static_cast<std::uint32_t>(s.Size()));
    return s.Data();
}

} // namespace mkdev
