// The decoding loop of velko-gpsdecode: reads a receiver log in large blocks, feeds the program's
// own decoder (NMEA one line at a time, the receiver unit's frames one byte at a time, since one
// record is pending at a time) and prints one key=value line per position record. The benchmark
// runs this same loop.
#pragma once

#include "position/GpsReceiver.h"

#include <cstddef>
#include <cstdio>
#include <string>

class InputFile;

class CLogDecoder {
public:
    // Size of the blocks read from the log.
    static constexpr std::size_t kBlockSize = 1 << 20;

    CLogDecoder(bool unitFrames, bool noDatumShift);
    // Decodes the whole log and writes its lines to out. False (error set) on a read or write
    // error; what was decoded before it has been written.
    bool Run(InputFile& log, std::FILE* out, std::string& error);
    long Records() const { return m_records; }

    // One record's line, as printf("date=%02u%02u%02u time=%02u%02u%02u status=%c lat=%.7f
    // lon=%.7f speed=%.1f course=%u alt=%.1f used=%d\n") would print it, with the latitude and
    // longitude in degrees (negative in the south and west). Returns the length written to line,
    // which must hold kMaxLine characters.
    static constexpr std::size_t kMaxLine = 160;
    static std::size_t FormatRecord(const GpsPosRecord& r, char* line);

private:
    bool m_unit;
    bool m_noShift;
    long m_records = 0;
};
