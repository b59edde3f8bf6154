// Synthesises a receiver log along a geometry, one epoch a second: NMEA GGA, RMC, GSA and GSV
// sentences, or the receiver unit's position and satellites frames with filler bytes after them.
// Positions are written in WGS84, found by inverting the datum shift so that a decoder with the
// shift on gives back the geometry (or unshifted, with noDatumShift). During an outage (a tunnel)
// the fix is invalid: status V, no position, no satellites.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GpsSynthOptions {
    // The geometry in network coordinates (1/100 arc-second), at least one point.
    std::vector<std::pair<double, double>> points;
    double speedKmh = 50.0;
    double noiseMetres = 0.0; // standard deviation along each axis
    // Stretches [from, to) in metres along the geometry without a fix.
    std::vector<std::pair<double, double>> outages;
    bool unit = false;
    bool noDatumShift = false;
    std::uint32_t seed = 1;
    double altitudeMetres = 45.0;
    std::int64_t startUtcMs = 1718420400000LL; // 2024-06-15 03:00:00 UTC
};

// One epoch as intended (before noise): what a decoder should give back.
struct GpsSynthEpoch {
    double x = 0.0; // network X (Bessel)
    double y = 0.0;
    double distance = 0.0; // metres along the geometry
    bool outage = false;
    int speed = 0;  // 0.1 km/h, as the record holds it
    int course = 0; // whole degrees
    std::int64_t utcMs = 0;
};

class CGpsLogSynth {
public:
    explicit CGpsLogSynth(GpsSynthOptions options);
    // The whole log; empty when the options are unusable (no points, speed not positive).
    std::string Generate();
    const std::vector<GpsSynthEpoch>& Epochs() const { return m_epochs; }
    // Byte ranges of the log that belong to each epoch (for paced replay).
    const std::vector<std::size_t>& EpochEnds() const { return m_epochEnds; }

private:
    void PlanEpochs();
    std::string NmeaEpoch(const GpsSynthEpoch& e, double x, double y);
    std::string UnitEpoch(const GpsSynthEpoch& e, double x, double y);

    GpsSynthOptions m_options;
    std::vector<GpsSynthEpoch> m_epochs;
    std::vector<std::size_t> m_epochEnds;
};

// "$" + body + "*" + checksum + CR LF.
std::string NmeaWrap(const std::string& body);
