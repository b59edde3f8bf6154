#include "tools/gpsdecode/LogDecoder.h"

#include "platform/files/InputFile.h"
#include "position/GpsLogSynth.h"
#include "position/ReceiverLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::string Printf(const GpsPosRecord& r) {
    double lat = r.latitude / 360000.0;
    double lon = r.longitude / 360000.0;
    if (r.northSouth == 'S') lat = -lat;
    if (r.eastWest == 'W') lon = -lon;
    char line[256];
    std::snprintf(line, sizeof line,
                  "date=%02u%02u%02u time=%02u%02u%02u status=%c lat=%.7f lon=%.7f speed=%.1f course=%u "
                  "alt=%.1f used=%d\n",
                  r.day, r.month, r.year, r.hour, r.minute, r.second, r.status ? r.status : '-', lat, lon,
                  r.speed / 10.0, r.course, r.altitude / 10.0, r.satellitesUsed);
    return line;
}

std::string Format(const GpsPosRecord& r) {
    char line[CLogDecoder::kMaxLine];
    return std::string(line, CLogDecoder::FormatRecord(r, line));
}

// The line of a record is what the C library's printf makes of it, at the edges of every field
// and over many random records.
TEST(LogDecoder, LinesMatchPrintf) {
    const std::int32_t coordinates[] = {0,        1,        4,  5,  9,         17,         13460740,
                                        45708000, 64800000, -1, -5, -13460740, 2147483647, -2147483647 - 1};
    const std::int32_t altitudes[] = {0, 5, -5, -10, 12345, -2147483647 - 1, 2147483647};
    const char hemispheres[][2] = {{'N', 'E'}, {'S', 'W'}, {0, 0}};
    for (std::int32_t c : coordinates)
        for (std::int32_t a : altitudes)
            for (const auto& h : hemispheres) {
                GpsPosRecord r;
                r.latitude = c;
                r.longitude = c / 2;
                r.altitude = a;
                r.northSouth = h[0];
                r.eastWest = h[1];
                r.status = h[0] ? 'A' : 0;
                r.day = 255;
                r.satellitesUsed = static_cast<std::int8_t>(a % 128);
                r.speed = 65535;
                r.course = 65535;
                EXPECT_EQ(Format(r), Printf(r)) << c << " " << a;
            }
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        GpsPosRecord r;
        r.status = static_cast<char>(random());
        r.day = static_cast<std::uint8_t>(random());
        r.month = static_cast<std::uint8_t>(random() % 13);
        r.year = static_cast<std::uint8_t>(random() % 100);
        r.hour = static_cast<std::uint8_t>(random() % 24);
        r.minute = static_cast<std::uint8_t>(random() % 60);
        r.second = static_cast<std::uint8_t>(random());
        r.northSouth = random() % 2 ? 'N' : 'S';
        r.eastWest = random() % 2 ? 'E' : 'W';
        r.satellitesUsed = static_cast<std::int8_t>(random());
        r.course = static_cast<std::uint16_t>(random());
        r.speed = static_cast<std::uint16_t>(random());
        r.latitude = static_cast<std::int32_t>(random());
        r.longitude = static_cast<std::int32_t>(random() % 64800001);
        r.altitude = static_cast<std::int32_t>(random() % 200001) - 100000;
        ASSERT_EQ(Format(r), Printf(r)) << i;
    }
}

class TempFile {
public:
    TempFile() {
        char name[] = "/tmp/velko-decode-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) ::close(fd);
        path = name;
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

std::string DecodeWithTool(const std::string& log, bool unit, bool noShift, long& records) {
    TempFile in, out;
    {
        std::ofstream f(in.path, std::ios::binary);
        f << log;
    }
    InputFile file;
    std::string error;
    EXPECT_TRUE(file.Open(in.path, log.size(), error)) << error;
    std::FILE* sink = std::fopen(out.path.c_str(), "wb");
    CLogDecoder decoder(unit, noShift);
    EXPECT_TRUE(decoder.Run(file, sink, error)) << error;
    std::fclose(sink);
    records = decoder.Records();
    std::ifstream f(out.path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The block loop gives the records the one-line-at-a-time decoding gives, for logs longer than a
// block (lines cut at the block's end), with and without the header, broken lines and a last
// line without its line feed; and for the receiver unit's frames.
TEST(LogDecoder, BlocksGiveTheRecordsOfLineByLineDecoding) {
    for (bool unit : {false, true}) {
        GpsSynthOptions o;
        o.points = {{46000000, 12960000}, {46100000, 12990000}, {46080000, 12950000}};
        o.speedKmh = unit ? 200.0 : 15.0;
        o.noiseMetres = 3.0;
        o.unit = unit;
        std::string log = CGpsLogSynth(o).Generate();
        ASSERT_GT(log.size(), unit ? 100000u : 3 * CLogDecoder::kBlockSize);
        for (int variant = 0; variant < 3; ++variant) {
            std::string text = log;
            if (variant == 1) text = std::string("Start_Log", 10) + text;
            if (variant == 2 && !unit) {
                text.insert(CLogDecoder::kBlockSize - 30, "$GPGGA,12\n$$$garbage");
                text.insert(2 * CLogDecoder::kBlockSize + 3, std::string(3000, 'z'));
                text.resize(text.size() - 1); // no line feed at the end
            }
            std::string expected;
            long count = 0;
            DecodeReceiverLog(text, unit, variant == 1, [&](const GpsPosRecord& r) {
                expected += Printf(r);
                ++count;
            });
            long records = 0;
            const std::string got = DecodeWithTool(text, unit, variant == 1, records);
            EXPECT_GT(count, 100) << unit << variant;
            EXPECT_EQ(records, count) << unit << variant;
            EXPECT_TRUE(got == expected) << unit << " " << variant;
        }
    }
}

} // namespace

namespace {

// Output that cannot be written (a full device) is an error, reported once the lines are lost;
// the loop neither writes past its buffer nor claims success.
TEST(LogDecoder, AFullOutputIsAnError) {
    GpsSynthOptions o;
    o.points = {{46000000, 12960000}, {46100000, 12990000}};
    o.speedKmh = 20.0;
    const std::string log = CGpsLogSynth(o).Generate();
    TempFile in;
    {
        std::ofstream f(in.path, std::ios::binary);
        f << log;
    }
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full";
    InputFile file;
    std::string error;
    ASSERT_TRUE(file.Open(in.path, log.size(), error)) << error;
    CLogDecoder decoder(false, true);
    EXPECT_FALSE(decoder.Run(file, full, error));
    EXPECT_EQ(error, "write error");
    std::fclose(full);
}

} // namespace
