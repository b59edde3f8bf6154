// Writers of the voice and facility files under a map data folder: the three clip files with
// their indexes ("Wave\Wav", "Wave\AddWav", "Wave\MsgWav"), WAV files, the facility tables
// ("Wave\RestareaDB.db", "Wave\HighwayDB.db") and the guide-point file
// ("POINT\newGuidePoint.MDC"). Clip samples are 16-bit mono PCM at 22,050 Hz.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

using Samples = std::vector<std::int16_t>;

// A named additional clip (name in code page 949, at most 24 bytes).
struct NamedClip {
    std::string name;
    Samples samples;
};

// Main clips (ids 1..206) into "Wave\Wav.idx/.dat".
void WriteMainClips(const std::string& mapData, const std::vector<Samples>& clips, bool riffHeader = false);
// Additional clips into "Wave\AddWav.idx/.dat": exactly 414 records; missing ones are empty.
void WriteAddClips(const std::string& mapData, const std::vector<NamedClip>& clips, bool riffHeader = false);
// Messages (ids 1..24) into "Wave\MsgWav.idx/.dat".
void WriteMessageClips(const std::string& mapData, const std::vector<Samples>& clips, bool riffHeader = true);
// A PCM WAV image of the samples.
std::vector<std::uint8_t> WavImage(const Samples& samples);
// A sine tone.
Samples Tone(double hz, double seconds, double amplitude = 8000.0);

struct RestAreaEntry {
    std::uint16_t id = 0;
    std::uint8_t brand = 0;
    std::uint8_t lpg = 0;
    std::uint8_t repair = 0;
    std::uint8_t kind = 0; // 0 rest area, 1 junction, 2 interchange
    std::uint16_t value = 0;
    std::string name; // code page 949, at most 20 bytes
};
struct HighwayEntry {
    std::uint16_t id = 0;
    std::string names; // code page 949, parts separated by ';', at most 40 bytes
};
std::vector<std::uint8_t> RestAreaTable(const std::vector<RestAreaEntry>& entries);
std::vector<std::uint8_t> HighwayTable(const std::vector<HighwayEntry>& entries);

// A guide point in network coordinates.
struct GuidePointEntry {
    std::int32_t x = 0;
    std::int32_t y = 0;
    int directionFlag = 0; // 0: direction mode 1, else mode 2
    int type = 0;
    int speedLimit = 0;
    int heading = 0; // the direction a car passes the point in
    int value = 0;
};
// The guide-point file; false when a point lies outside the 48 x 66 grid.
std::vector<std::uint8_t> GuidePointFile(const std::vector<GuidePointEntry>& points);

// Writes bytes to mapData/relative (folders made), aside then renamed.
void WriteMapFile(const std::string& mapData, const std::string& relative, const std::vector<std::uint8_t>& bytes);

} // namespace mkdev
