// The networks the builder can write: the sample region, small named fixtures for tests,
// and a national-scale network for benchmarks.
#pragma once

#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

// The fictional sample region: 3 x 3 sheets around the program's default map position.
NetModel BuildSampleRegion();

// Small named networks for tests; throws std::invalid_argument for an unknown name.
NetModel BuildFixture(const std::string& name);
std::vector<std::string> FixtureNames();

// About 700,000 links over the whole valid box, in a road hierarchy that is connected at each
// level; the same seed gives the same network.
NetModel BuildNational(std::uint64_t seed);

// Network coordinates of a point given in kilometres east and north of a corner.
NetPoint KmToNet(std::int32_t cornerX, std::int32_t cornerY, double eastKm, double northKm);

} // namespace mkdev
