#include "position/ZarnReceiver.h"

#include "position/tests/DatumOracle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A position frame written out by hand: south and west (bits 6 and 5), 7 satellites used,
// 15 June 2024 03:04:05, course 90, raw speed 10, X 46,000,000 (80 E7 BD 02), Y 13,000,000
// (40 5D C6 00), altitude 500, HDOP x 10 = 12. The hour 03 and the 02 of X go escaped (1B and
// the inverted byte); the check byte 12 brings the sum of type and payload to 0 modulo 256.
const Bytes kPositionFrame = {0x02, 0x60, 0x67, 0x0F, 0x06, 0x18, 0x1B, 0xFC, 0x04, 0x05,
                              0x5A, 0x00, 0x0A, 0x00, 0x80, 0xE7, 0xBD, 0x1B, 0xFD, 0x40,
                              0x5D, 0xC6, 0x00, 0xF4, 0x01, 0x0C, 0x00, 0x12, 0x03};
// The same with raw speed 12 (check byte 10).
const Bytes kPositionFrame12 = {0x02, 0x60, 0x67, 0x0F, 0x06, 0x18, 0x1B, 0xFC, 0x04, 0x05,
                                0x5A, 0x00, 0x0C, 0x00, 0x80, 0xE7, 0xBD, 0x1B, 0xFD, 0x40,
                                0x5D, 0xC6, 0x00, 0xF4, 0x01, 0x0C, 0x00, 0x10, 0x03};

Bytes Filler(std::size_t n, std::uint8_t value = 0x55) {
    return Bytes(n, value);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

int Put(CZarnReceiver& r, const Bytes& b) {
    return r.PutData(reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()));
}

Bytes Traffic(CZarnReceiver& r) {
    std::uint8_t buffer[CZarnReceiver::kBufferSize];
    int count = -1;
    r.GetTrafficBytes(buffer, &count);
    return Bytes(buffer, buffer + count);
}

class ZarnTest : public ::testing::Test {
protected:
    void SetUp() override { unit.SetNoDatumShift(1); }
    CZarnReceiver unit;
};

TEST_F(ZarnTest, PositionFrameFromHandWrittenBytes) {
    EXPECT_EQ(Put(unit, Join({kPositionFrame, Filler(200)})), kGpsNewPosition | kGpsTrafficWaiting);
    GpsPosRecord r;
    ASSERT_TRUE(unit.GetPosition(&r));
    EXPECT_EQ(r.northSouth, 'S');
    EXPECT_EQ(r.eastWest, 'W');
    EXPECT_EQ(r.satellitesUsed, 7);
    EXPECT_EQ(r.status, 'A');
    EXPECT_EQ(r.day, 15);
    EXPECT_EQ(r.month, 6);
    EXPECT_EQ(r.year, 24);
    EXPECT_EQ(r.hour, 3);
    EXPECT_EQ(r.minute, 4);
    EXPECT_EQ(r.second, 5);
    EXPECT_EQ(r.course, 90);
    EXPECT_EQ(r.speed, 9); // 10 x 0.0539956... = 5.399568 knots x 18.52 = 9.99999...
    EXPECT_EQ(r.longitude, 46000000);
    EXPECT_EQ(r.latitude, 13000000);
    EXPECT_EQ(r.altitude, 500);
    EXPECT_DOUBLE_EQ(r.hdop, 1.2);
    EXPECT_FALSE(unit.GetPosition(&r)) << "taken once";

    Put(unit, Join({kPositionFrame12, Filler(200)}));
    ASSERT_TRUE(unit.GetPosition(&r));
    EXPECT_EQ(r.speed, 12);
}

TEST_F(ZarnTest, FixTypeAndStatusFollowTheSatellitesUsed) {
    const struct {
        int used;
        char status, fixType;
    } cases[] = {{0, 'V', '1'}, {2, 'V', '2'}, {3, 'A', '2'}, {4, 'A', '3'}, {31, 'A', '3'}};
    for (const auto& c : cases) {
        CZarnReceiver r;
        r.SetNoDatumShift(1);
        Bytes pos(23, 0);
        pos[0] = static_cast<std::uint8_t>(c.used);
        pos[1] = 1; // a date, so the record counts
        pos[21] = 15;
        Bytes sats = {0};
        Put(r, Join({zarn::EncodeFrame(0x60, pos.data(), pos.size()), zarn::EncodeFrame(0x61, sats.data(), 1),
                     Filler(200)}));
        GpsPosRecord p;
        GpsSatRecord s;
        ASSERT_TRUE(r.GetPosition(&p)) << c.used;
        ASSERT_TRUE(r.GetSatellites(&s)) << c.used;
        EXPECT_EQ(p.status, c.status) << c.used;
        EXPECT_EQ(s.fixType, c.fixType) << c.used;
        EXPECT_DOUBLE_EQ(s.pdop, 1.5);
        EXPECT_DOUBLE_EQ(s.hdop, 1.5);
        EXPECT_DOUBLE_EQ(s.vdop, 1.5);
    }
}

TEST_F(ZarnTest, EscapedBytesRoundTrip) {
    // Satellites 2, 3 and 27 (0x1B) with azimuth 0x0302 and signal 0x1B: every special byte.
    const Bytes payload = {3,    2,    1,  40, 0x02, 0x03, 0x1B, 3,    0,   20,
                           0x10, 0x01, 30, 27, 1,    0x03, 0x5A, 0x00, 0x02};
    Bytes frame = zarn::EncodeFrame(0x61, payload.data(), payload.size());
    // 02 -> 1B FD, 03 -> 1B FC, 1B -> 1B E4; no raw 02 or 03 inside.
    for (std::size_t i = 2; i + 1 < frame.size(); ++i) {
        EXPECT_NE(frame[i], 0x02) << i;
        EXPECT_NE(frame[i], 0x03) << i;
    }
    const Bytes head = {0x02, 0x61, 0x1B, 0xFC, 0x1B, 0xFD, 0x01};
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 7), head);
    EXPECT_EQ(Put(unit, Join({frame, Filler(200)})), kGpsTrafficWaiting) << "a satellites frame alone";
    GpsSatRecord s;
    ASSERT_TRUE(unit.GetSatellites(&s));
    ASSERT_EQ(s.inView, 3);
    EXPECT_EQ(s.numbers[0], 2);
    EXPECT_EQ(s.used[0], 1);
    EXPECT_EQ(s.elevations[0], 40);
    EXPECT_EQ(s.azimuths[0], 0x0302);
    EXPECT_EQ(s.snr[0], 0x1B);
    EXPECT_EQ(s.numbers[1], 3);
    EXPECT_EQ(s.used[1], 0); // status 0
    EXPECT_EQ(s.azimuths[1], 0x0110);
    EXPECT_EQ(s.numbers[2], 27);
    EXPECT_EQ(s.used[2], 1);
    EXPECT_EQ(s.azimuths[2], 0x5A);
    EXPECT_EQ(s.snr[2], 0x02);
}

TEST_F(ZarnTest, TrafficBytesComeOutOnceEachInOrder) {
    Bytes t1 = {'a', 'b', 0x02, 0x41, 'c'}; // an STX of another type is traffic too
    Bytes t2 = {'d', 0x03, 'e'};
    Bytes t3 = Filler(230, 0x77);
    Bytes stream = Join({t1, kPositionFrame, t2, kPositionFrame12, t3});
    Bytes expected = Join({t1, t2, t3});
    // Whole, and in pieces of every size from 1 to 40 bytes.
    for (std::size_t piece = 0; piece <= 40; ++piece) {
        CZarnReceiver r;
        r.SetNoDatumShift(1);
        Bytes out;
        int positions = 0;
        std::size_t step = piece == 0 ? stream.size() : piece;
        for (std::size_t at = 0; at < stream.size(); at += step) {
            std::size_t n = std::min(step, stream.size() - at);
            int flags = r.PutData(reinterpret_cast<const char*>(stream.data() + at), static_cast<int>(n));
            if (flags & kGpsNewPosition) {
                GpsPosRecord p;
                ASSERT_TRUE(r.GetPosition(&p));
                EXPECT_EQ(p.latitude, 13000000);
                ++positions;
            }
            Bytes got = Traffic(r);
            EXPECT_EQ(got.empty(), (flags & kGpsTrafficWaiting) == 0);
            out.insert(out.end(), got.begin(), got.end());
        }
        EXPECT_EQ(out, expected) << "pieces of " << piece;
        // Two fixes in one read leave only the later one to take; small pieces separate them.
        if (piece >= 1 && piece <= 30) {
            EXPECT_EQ(positions, 2) << "pieces of " << piece;
        } else {
            EXPECT_GE(positions, 1) << "pieces of " << piece;
        }
        EXPECT_TRUE(Traffic(r).empty());
    }
}

TEST_F(ZarnTest, AFrameWaitsForTwoHundredBytesFromItsStart) {
    EXPECT_EQ(Put(unit, Join({kPositionFrame, Filler(200 - kPositionFrame.size() - 1)})), 0);
    GpsPosRecord r;
    EXPECT_FALSE(unit.GetPosition(&r));
    EXPECT_EQ(Put(unit, Filler(1)), kGpsNewPosition | kGpsTrafficWaiting);
    EXPECT_TRUE(unit.GetPosition(&r));
}

TEST_F(ZarnTest, PositionAndSatellitesInOneReadReportTheFix) {
    Bytes sats = {1, 9, 1, 30, 100, 0, 40};
    int flags =
        Put(unit, Join({kPositionFrame, zarn::EncodeFrame(0x61, sats.data(), sats.size()), Filler(200)}));
    EXPECT_EQ(flags & kGpsNewPosition, kGpsNewPosition);
    GpsPosRecord r;
    EXPECT_TRUE(unit.GetPosition(&r));
    GpsSatRecord s;
    ASSERT_TRUE(unit.GetSatellites(&s));
    EXPECT_EQ(s.numbers[0], 9);
}

TEST_F(ZarnTest, BadFramesAreDropped) {
    Bytes bad = kPositionFrame;
    bad[bad.size() - 2] ^= 0x01; // check byte
    // A bad sum is dropped; the good frame after it is still taken.
    EXPECT_EQ(Put(unit, Join({bad, Filler(10)})), 0) << "held until 200 bytes are there";
    Put(unit, Join({kPositionFrame12, Filler(200)}));
    GpsPosRecord r;
    ASSERT_TRUE(unit.GetPosition(&r));
    EXPECT_EQ(r.speed, 12);
    EXPECT_EQ(Traffic(unit), Join({Filler(10), Filler(200)}));

    // A frame with a good sum but too short a payload gives no record.
    Bytes shortPayload(10, 1);
    Put(unit, Join({zarn::EncodeFrame(0x60, shortPayload.data(), shortPayload.size()), Filler(200)}));
    EXPECT_FALSE(unit.GetPosition(&r));
    // A satellites frame that announces more satellites than it carries is not taken.
    Bytes sats = {5, 9, 1, 30, 100, 0, 40};
    Put(unit, Join({zarn::EncodeFrame(0x61, sats.data(), sats.size()), Filler(200)}));
    GpsSatRecord s;
    EXPECT_FALSE(unit.GetSatellites(&s));
    // Fourteen announced with twelve carried: twelve are held.
    Bytes many = {14};
    for (int i = 0; i < 12; ++i) many.insert(many.end(), {static_cast<std::uint8_t>(i + 1), 1, 10, 0, 0, 30});
    Put(unit, Join({zarn::EncodeFrame(0x61, many.data(), many.size()), Filler(200)}));
    ASSERT_TRUE(unit.GetSatellites(&s));
    EXPECT_EQ(s.inView, 12);
    EXPECT_EQ(s.numbers[11], 12);

    // No terminator within 200 bytes: dropped, and the bytes after it are traffic again.
    Traffic(unit);
    Bytes open = {0x02, 0x60};
    Put(unit, Join({open, Filler(198, 0x11), Filler(5, 0x22)}));
    EXPECT_EQ(Traffic(unit), Filler(5, 0x22));
    EXPECT_FALSE(unit.GetPosition(&r));
}

TEST_F(ZarnTest, DecodingOffPassesNoFrameBytes) {
    unit.SetGpsDecoding(0);
    Bytes sats = {1, 9, 1, 30, 100, 0, 40};
    int flags = Put(unit, Join({Filler(3, 0x31), kPositionFrame,
                                zarn::EncodeFrame(0x61, sats.data(), sats.size()), Filler(200, 0x32)}));
    EXPECT_EQ(flags, kGpsTrafficWaiting);
    GpsPosRecord r;
    GpsSatRecord s;
    EXPECT_FALSE(unit.GetPosition(&r));
    EXPECT_FALSE(unit.GetSatellites(&s));
    EXPECT_EQ(Traffic(unit), Join({Filler(3, 0x31), Filler(200, 0x32)}));
}

TEST_F(ZarnTest, SplitStartsAndLargeReadsKeepTheFrame) {
    // An STX that ends a read waits for its type byte instead of going out as traffic.
    Bytes first = {'x', 'y', 0x02};
    EXPECT_EQ(Put(unit, first), kGpsTrafficWaiting);
    Bytes rest(kPositionFrame.begin() + 1, kPositionFrame.end());
    EXPECT_EQ(Put(unit, Join({rest, Filler(200)})), kGpsNewPosition | kGpsTrafficWaiting);
    EXPECT_EQ(Traffic(unit), Join({Bytes{'x', 'y'}, Filler(200)}));

    // A held frame start survives a read larger than the free room.
    GpsPosRecord r;
    ASSERT_TRUE(unit.GetPosition(&r));
    Put(unit, Join({kPositionFrame, Filler(100)}));
    EXPECT_GT(unit.BufferedLength(), 0);
    EXPECT_EQ(Put(unit, Filler(2040)) & kGpsNewPosition, kGpsNewPosition);
    EXPECT_TRUE(unit.GetPosition(&r));
    EXPECT_EQ(Traffic(unit).size(), 2048u) << "pass-through holds at most 2048 bytes";

    EXPECT_EQ(unit.PutData(nullptr, 5), 0);
    EXPECT_EQ(unit.PutData("x", 0), 0);
    EXPECT_EQ(unit.PutData("x", -1), 0);
    EXPECT_FALSE(unit.GetPosition(nullptr));
}

TEST_F(ZarnTest, NoDateNoRecordAndDatumShift) {
    Bytes pos(23, 0);
    pos[0] = 5;
    Put(unit, Join({zarn::EncodeFrame(0x60, pos.data(), pos.size()), Filler(200)}));
    GpsPosRecord r;
    EXPECT_FALSE(unit.GetPosition(&r)) << "day 0";

    // With the shift on, the same frame gives the Bessel position of 36 06' 40" N,
    // 127 46' 40" E, 50 m (the magnitudes; every fix the unit gives lies in Korea), reckoned
    // through earth-centred coordinates: within a network unit, the height moved by whole metres.
    CZarnReceiver shifted;
    Bytes frame = Join({kPositionFrame, Filler(200)});
    Put(shifted, frame);
    ASSERT_TRUE(shifted.GetPosition(&r));
    const datumoracle::Geodetic b =
        datumoracle::WgsToBessel({130000000 / 3600000.0, 460000000 / 3600000.0, 50.0});
    EXPECT_NEAR(r.latitude, b.latitude * 360000.0, 1.0);
    EXPECT_NEAR(r.longitude, b.longitude * 360000.0, 1.0);
    EXPECT_EQ(r.altitude, 500 + 10 * static_cast<int>(std::trunc(b.height - 50.0)));
}

} // namespace
