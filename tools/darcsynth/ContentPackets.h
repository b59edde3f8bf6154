// The content services of the synthesised broadcast: news documents (service 3), short texts
// (4), weather (25) and stocks (26), made from the device root's DARC tables. Each payload is
// sent once; the counts are what a receiver holds after all of them arrived.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace darcsynth {

struct ContentCounts {
    int heads = 0, bodies = 0, complete = 0;
    int shortByKind[4] = {};
    int quoted = 0, markets = 0;
    int current = 0, shortForecast = 0, weekly = 0;
};

// The payloads in sending order; false with error when a table cannot be read.
bool MakeContentPackets(const std::u16string& mapFolder, std::vector<std::vector<std::uint8_t>>& packets,
                        ContentCounts& counts, std::string& error);
void PrintContentCounts(const ContentCounts& counts);

} // namespace darcsynth
