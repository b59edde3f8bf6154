// Feeds arbitrary bytes to the NMEA decoder in pieces whose sizes come from the input itself,
// taking records and satellite views as the reader thread does.
#include "position/NmeaParser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    CNmeaParser parser;
    parser.SetNoDatumShift(data[0] & 1);
    std::size_t at = 1;
    std::size_t piece = 1 + (data[0] >> 1) * 17;
    while (at < size) {
        std::size_t n = size - at < piece ? size - at : piece;
        if (parser.PutData(reinterpret_cast<const char*>(data + at), static_cast<int>(n))) {
            GpsPosRecord r;
            parser.GetPosition(&r);
        }
        GpsSatRecord s;
        parser.GetSatellites(&s);
        at += n;
        piece = piece * 5 % 3000 + 1;
    }
    // Whole sentences handed straight to the parser as well.
    char sentence[CNmeaParser::kMaxSentence + 1];
    std::size_t n = size - 1 < CNmeaParser::kMaxSentence ? size - 1 : CNmeaParser::kMaxSentence;
    for (std::size_t i = 0; i < n; ++i) sentence[i] = data[1 + i] ? static_cast<char>(data[1 + i]) : ' ';
    sentence[n] = 0;
    parser.ParseSentence(sentence);
    return 0;
}
