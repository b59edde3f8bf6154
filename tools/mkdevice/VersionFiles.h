// The data-version files: the program's "res/appdatainfo.bin" and the data set's
// "MapData/mapdatainfo.bin", each a 16-bit checksum followed by the record body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

// One's-complement sum of the 16-bit little-endian words, an odd last byte added unshifted.
std::uint16_t VersionChecksum(const std::uint8_t* data, std::size_t n);
// Checksum of the last min(size, 100) bytes of a file (host path); throws when it cannot be read.
std::uint16_t FileTailChecksum(const std::string& path);

// Writes the program-information file (154-byte body).
void WriteAppDataInfo(const std::string& path);
// Writes the map-data information file (65-byte body) with the tail checksums of the search
// database (A) and of MRCross.bin (B). Written last, after every file it protects.
void WriteMapDataInfo(const std::string& mapDataDir);

} // namespace mkdev
