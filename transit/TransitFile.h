// The transit route file: kind byte (0xBB bus, 0xCC subway), version '2', the four coordinates of
// the question, the size of what follows, then the reply header words and the reply bytes as the
// client holds them, every number little-endian. Car routes share the file extension and are
// told apart by the first byte.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace transit {

constexpr std::uint8_t kBusFileKind = 0xBB;
constexpr std::uint8_t kSubwayFileKind = 0xCC;

struct TransitFileContent {
    ULONG coords[4] = {}; // start x, start y, destination x, destination y (map units)
    std::vector<std::int32_t> header; // the reply header words
    std::string payload;              // the reply text or data
};

enum class TransitFileStatus { Ok, CannotOpen, WrongKind, ReadError, TooShort, WriteError };

// Writes the file beside the target and renames it over the target. `headerWords` words are
// written; the payload follows.
TransitFileStatus WriteTransitFile(const char16_t* path, std::uint8_t kind, const TransitFileContent& content);
// Reads a file of `kind` whose header has `headerWords` words; `payloadLengthWord` is the index of
// the header word that gives the payload length. A length that is negative, above the reply
// limit or past the end of the file is refused.
TransitFileStatus ReadTransitFile(const char16_t* path, std::uint8_t kind, int headerWords,
                                  int payloadLengthWord, TransitFileContent& content);

// The report shown for a file error other than a missing file or a wrong kind.
std::u16string FileErrorText(TransitFileStatus status, const char16_t* path);

} // namespace transit
