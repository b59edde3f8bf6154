#include "position/GpsLogSynth.h"
#include "position/NmeaParser.h"
#include "position/NmeaReceiver.h"
#include "position/ZarnReceiver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kX0 = 46000000.0; // 127 40' E
constexpr double kY0 = 12960000.0; // 36 N

// Feeds the log a second at a time, as a receiver delivers it, with each second cut in two
// pieces at the given offset.
std::vector<GpsPosRecord> Decode(CGpsReceiver& receiver, const std::string& log,
                                 const std::vector<std::size_t>& ends, std::size_t cut) {
    std::vector<GpsPosRecord> records;
    std::size_t from = 0;
    for (std::size_t end : ends) {
        std::size_t middle = std::min(from + cut, end);
        int flags = receiver.PutData(log.data() + from, static_cast<int>(middle - from));
        flags |= receiver.PutData(log.data() + middle, static_cast<int>(end - middle));
        if (flags & kGpsNewPosition) {
            GpsPosRecord r;
            if (receiver.GetPosition(&r)) records.push_back(r);
        }
        from = end;
    }
    return records;
}

int CourseError(int a, int b) {
    int d = std::abs(a - b) % 360;
    return d > 180 ? 360 - d : d;
}

// 600 epochs due north at 36 km/h (10 m/s): 19,400 Y units are 5,990.5 m, so epoch k lies
// k x 10 / 0.30879 units north of the start.
TEST(GpsLogSynth, SixHundredEpochsDecodeBackToTheGeometry) {
    for (bool unit : {false, true}) {
        GpsSynthOptions o;
        o.points = {{kX0, kY0}, {kX0, kY0 + 19400}};
        o.speedKmh = 36.0;
        o.unit = unit;
        CGpsLogSynth synth(o);
        std::string log = synth.Generate();
        CNmeaParser parser;
        CNmeaReceiver nmea(&parser);
        CZarnReceiver zarn;
        CGpsReceiver& receiver = unit ? static_cast<CGpsReceiver&>(zarn) : nmea;
        auto records = Decode(receiver, log, synth.EpochEnds(), 37);
        ASSERT_EQ(records.size(), 600u) << (unit ? "unit" : "nmea");
        for (std::size_t k = 0; k < records.size(); ++k) {
            const GpsPosRecord& r = records[k];
            double y = kY0 + k * 10.0 / 0.30879;
            EXPECT_NEAR(r.latitude, y, 1.0) << k;
            EXPECT_NEAR(r.longitude, kX0, 1.0) << k;
            EXPECT_NEAR(r.speed, 360, 1) << k;
            EXPECT_LE(CourseError(r.course, 0), 1) << k;
            EXPECT_EQ(r.status, 'A');
            EXPECT_EQ(r.second, (k % 60)) << k; // from 03:00:00
            EXPECT_EQ(r.minute, k / 60) << k;
        }
        GpsSatRecord s;
        ASSERT_TRUE(receiver.GetSatellites(&s));
        EXPECT_EQ(s.inView, 8);
        EXPECT_EQ(s.fixType, '3');
        int used = 0;
        for (int i = 0; i < s.inView; ++i) used += s.used[i];
        EXPECT_EQ(used, 7);
    }
}

// East then north-east at 72 km/h with the shift off on both sides; courses 90 and 45 by the
// metre factors: 1000 X units = 276.54 m against 895.56 Y units = 276.54 m.
TEST(GpsLogSynth, BendsOutagesNoiseAndUnshiftedPositions) {
    GpsSynthOptions o;
    o.points = {{kX0, kY0}, {kX0 + 10000, kY0}, {kX0 + 11000, kY0 + 1000 * 0.27654 / 0.30879}};
    o.speedKmh = 72.0;
    o.noDatumShift = true;
    o.outages = {{1000.0, 1500.0}};
    CGpsLogSynth synth(o);
    std::string log = synth.Generate();
    CNmeaParser parser;
    parser.SetNoDatumShift(1);
    CNmeaReceiver nmea(&parser);
    auto records = Decode(nmea, log, synth.EpochEnds(), 333);
    // 2765.4 m + 391.1 m at 20 m/s: epochs 0..157.
    ASSERT_EQ(records.size(), 158u);
    int outages = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const GpsPosRecord& r = records[k];
        double along = k * 20.0;
        if (along >= 1000.0 && along < 1500.0) {
            ++outages;
            EXPECT_EQ(r.status, 'V') << k;
            EXPECT_EQ(r.latitude, 0) << k;
            EXPECT_EQ(r.satellitesUsed, 0) << k;
            continue;
        }
        EXPECT_EQ(r.status, 'A') << k;
        if (along <= 2765.4) {
            EXPECT_NEAR(r.longitude, kX0 + along / 0.27654, 1.0) << k;
            EXPECT_NEAR(r.latitude, kY0, 1.0) << k;
            EXPECT_EQ(r.course, 90) << k;
        } else {
            EXPECT_LE(CourseError(r.course, 45), 1) << k;
        }
    }
    EXPECT_EQ(outages, 25);

    // Noise moves the fixes by about the asked amount, and the seed repeats it.
    o.outages.clear();
    o.noiseMetres = 5.0;
    o.seed = 7;
    CGpsLogSynth noisySynth(o);
    std::string noisy = noisySynth.Generate();
    EXPECT_EQ(noisy, CGpsLogSynth(o).Generate());
    CNmeaParser p2;
    p2.SetNoDatumShift(1);
    CNmeaReceiver n2(&p2);
    auto moved = Decode(n2, noisy, noisySynth.EpochEnds(), 4096);
    ASSERT_EQ(moved.size(), 158u);
    double sum = 0;
    int off = 0;
    for (std::size_t k = 0; k < 130; ++k) {
        double dy = (moved[k].latitude - kY0) * 0.30879;
        sum += dy * dy;
        if (std::fabs(dy) > 0.5) ++off;
    }
    double rms = std::sqrt(sum / 130);
    EXPECT_GT(rms, 3.0);
    EXPECT_LT(rms, 7.5);
    EXPECT_GT(off, 100);
}

TEST(GpsLogSynth, UnusableOptionsGiveAnEmptyLog) {
    GpsSynthOptions o;
    EXPECT_TRUE(CGpsLogSynth(o).Generate().empty());
    o.points = {{kX0, kY0}};
    o.speedKmh = 0.0;
    EXPECT_TRUE(CGpsLogSynth(o).Generate().empty());
}

} // namespace
