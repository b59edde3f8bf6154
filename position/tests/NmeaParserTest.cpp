#include "position/NmeaParser.h"
#include "position/NmeaReceiver.h"
#include "position/tests/DatumOracle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A well-known pair of sentences of 12:35:19 with their published checksums.
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

// Wraps a sentence body with "$", its checksum and CR LF (fixtures only).
std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

class NmeaParserTest : public ::testing::Test {
protected:
    void SetUp() override { parser.SetNoDatumShift(1); }
    int Put(const std::string& text) { return parser.PutData(text.data(), static_cast<int>(text.size())); }
    CNmeaParser parser;
};

TEST_F(NmeaParserTest, GgaAndRmcOfOneSecondGiveOneRecordInEitherOrder) {
    for (int order = 0; order < 2; ++order) {
        CNmeaParser p;
        p.SetNoDatumShift(1);
        std::string text = order == 0 ? kGga + kRmc : kRmc + kGga;
        EXPECT_EQ(p.PutData(text.data(), static_cast<int>(text.size())), 1) << order;
        GpsPosRecord r;
        ASSERT_TRUE(p.GetPosition(&r)) << order;
        EXPECT_EQ(r.status, 'A');
        EXPECT_EQ(r.day, 23);
        EXPECT_EQ(r.month, 3);
        EXPECT_EQ(r.year, 94);
        EXPECT_EQ(r.hour, 12);
        EXPECT_EQ(r.minute, 35);
        EXPECT_EQ(r.second, 19);
        EXPECT_EQ(r.northSouth, 'N');
        EXPECT_EQ(r.eastWest, 'E');
        EXPECT_EQ(r.satellitesUsed, 8);
        EXPECT_EQ(r.course, 84);
        EXPECT_EQ(r.speed, 414); // 22.4 knots x 18.52 = 414.848
        // 48 x 3,600,000 + 7.038 x 60,000 = 173,222,280 milli-seconds; 11 x 3,600,000 + 31 x 60,000.
        EXPECT_EQ(r.latitude, 17322228);
        EXPECT_EQ(r.longitude, 4146000);
        EXPECT_EQ(r.altitude, 5454);
        EXPECT_DOUBLE_EQ(r.hdop, 0.9);
        EXPECT_EQ(r.deadReckoned, 0);
        EXPECT_FALSE(p.GetPosition(&r)) << "taken once";
    }
}

TEST_F(NmeaParserTest, PairingRules) {
    GpsPosRecord r;
    EXPECT_FALSE(parser.GetPosition(&r)) << "nothing built yet";
    EXPECT_FALSE(parser.GetPosition(nullptr));
    EXPECT_EQ(Put(kRmc), 0) << "an RMC alone";
    EXPECT_EQ(Put(Sentence("GPGGA,120001,3723.4567,N,12658.0000,E,1,05,1.0,10.0,M,,M,,")), 0);
    EXPECT_EQ(Put(Sentence("GPRMC,120000,A,3723.4567,N,12658.0000,E,0.0,0.0,010124,,,A")), 0)
        << "GGA of 12:00:01 and RMC of 12:00:00";
    EXPECT_FALSE(parser.GetPosition(&r));
    EXPECT_EQ(Put(Sentence("GPGGA,120000,3723.4567,N,12658.0000,E,1,05,1.0,10.0,M,,M,,")), 1);
    ASSERT_TRUE(parser.GetPosition(&r));
    // 37 x 3,600,000 + 23.4567 x 60,000 = 134,607,402 -> 13,460,740; 126 x 3,600,000 + 58 x 60,000.
    EXPECT_EQ(r.latitude, 13460740);
    EXPECT_EQ(r.longitude, 45708000);
    EXPECT_EQ(r.altitude, 100);
}

TEST_F(NmeaParserTest, RejectedRmcClearsItsFlag) {
    std::string badRmc = kRmc;
    badRmc[badRmc.find("022.4")] = '9'; // checksum no longer matches
    EXPECT_EQ(Put(kRmc + badRmc + kGga), 0);
    EXPECT_EQ(Put(kRmc), 1);
    // Lower-case checksum digits are refused like a wrong sum.
    std::string lower = kRmc;
    lower.replace(lower.find("*6A"), 3, "*6a");
    EXPECT_EQ(Put(kGga + lower), 0);
    // A sentence without a checksum is refused too.
    EXPECT_EQ(Put("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r\n"), 0);
    EXPECT_EQ(Put(kRmc), 1);
}

TEST_F(NmeaParserTest, ShortPiecesAreCollectedUntilTwentyCharacters) {
    EXPECT_EQ(Put(kGga.substr(0, 16)), 0);
    EXPECT_EQ(parser.HeldLength(), 16);
    EXPECT_EQ(Put(kGga.substr(16) + kRmc), 1);
}

TEST_F(NmeaParserTest, NoiseBeforeAPartialSentenceIsDropped) {
    Put("0123456789ABCDE"); // 15 characters, no dollar sign
    EXPECT_EQ(parser.HeldLength(), 15);
    Put(kGga.substr(0, 9));
    EXPECT_EQ(std::string(parser.HeldText()), "$GPGGA,12");
    EXPECT_EQ(Put(kGga.substr(9) + kRmc), 1);
}

TEST_F(NmeaParserTest, SentenceCutting) {
    // A second "$" before the line feed abandons the first start.
    EXPECT_EQ(Put("$GPGGA,123519,4807" + kGga + kRmc), 1);
    // Text without any "$" is thrown away.
    Put("no sentence here at all, only noise\r\n");
    EXPECT_EQ(parser.HeldLength(), 0);
    // A "$" with no line feed within 127 characters is dropped, and what follows still parses.
    EXPECT_EQ(Put("$" + std::string(200, 'x') + kGga + kRmc), 1);
}

TEST_F(NmeaParserTest, TheLongestSentenceIs127Characters) {
    // Padding in a field after the altitude, which is not read, sets the length exactly.
    const std::string head = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,";
    for (int length : {127, 128}) {
        CNmeaParser p;
        p.SetNoDatumShift(1);
        int pad = length - static_cast<int>(head.size()) - 1 - 5; // "$" and "*XX\r\n"
        std::string gga = Sentence(head + std::string(static_cast<std::size_t>(pad), '0'));
        ASSERT_EQ(gga.size(), static_cast<std::size_t>(length));
        std::string text = gga + kRmc;
        EXPECT_EQ(p.PutData(text.data(), static_cast<int>(text.size())), length == 127 ? 1 : 0) << length;
    }
}

TEST_F(NmeaParserTest, ByteCountNulBytesAndLargeReads) {
    // Only count bytes are read: what follows in memory is not part of the call.
    std::string both = kGga + kRmc;
    EXPECT_EQ(parser.PutData(both.data(), static_cast<int>(kGga.size())), 0);
    EXPECT_EQ(parser.PutData(both.data() + kGga.size(), static_cast<int>(kRmc.size())), 1);

    // NUL bytes on the line are dropped, not taken for the end of the text.
    std::string withNul = kGga + kRmc;
    withNul.insert(10, 1, '\0');
    withNul.insert(80, 2, '\0');
    EXPECT_EQ(Put(withNul), 1);

    // A large read after a held partial sentence keeps the partial one.
    std::string gsv = Sentence("GPGSV,1,1,01,07,40,150,35");
    std::string filler;
    while (filler.size() < 1990) filler += gsv;
    EXPECT_EQ(Put(kGga.substr(0, 40)), 0);
    EXPECT_EQ(parser.HeldLength(), 40);
    std::string big = kGga.substr(40) + filler + kRmc;
    ASSERT_GT(big.size(), 2000u);
    EXPECT_EQ(Put(big), 1);

    // More than the whole receive text in one call still finds every sentence.
    std::string huge;
    for (int i = 0; i < 40; ++i) huge += kGga + kRmc;
    CNmeaParser p;
    EXPECT_EQ(p.PutData(huge.data(), static_cast<int>(huge.size())), 1);
    EXPECT_EQ(p.PutData(nullptr, 10), 0);
}

TEST_F(NmeaParserTest, SatelliteRecordAvailability) {
    GpsSatRecord s;
    const std::string gsa = Sentence("GPGSA,A,3,07,,02,,,,,,,,,,1.8,1.0,1.5");
    const std::string gsv1 = Sentence("GPGSV,2,1,06,02,45,120,42,05,,200,,07,10,030,33,09,80,300,45");
    const std::string gsv2 = Sentence("GPGSV,2,2,06,13,05,010,,16,60,090,40");
    EXPECT_FALSE(parser.GetSatellites(&s));
    Put(gsa);
    EXPECT_FALSE(parser.GetSatellites(&s)) << "GSA alone";
    Put(gsv1 + gsv2);
    ASSERT_TRUE(parser.GetSatellites(&s));
    EXPECT_EQ(s.fixType, '3');
    EXPECT_EQ(s.inView, 6);
    const int numbers[] = {2, 5, 7, 9, 13, 16};
    const int used[] = {1, 0, 1, 0, 0, 0}; // by number: GSA lists 07 and 02, in another order
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(s.numbers[i], numbers[i]) << i;
        EXPECT_EQ(s.used[i], used[i]) << i;
    }
    EXPECT_EQ(s.elevations[1], 0); // empty elevation
    EXPECT_EQ(s.azimuths[1], 200);
    EXPECT_EQ(s.snr[1], 0); // empty signal
    EXPECT_EQ(s.snr[3], 45);
    EXPECT_EQ(s.azimuths[5], 90);
    EXPECT_EQ(s.used[6], 0);
    EXPECT_DOUBLE_EQ(s.pdop, 1.8);
    EXPECT_DOUBLE_EQ(s.hdop, 1.0);
    EXPECT_DOUBLE_EQ(s.vdop, 1.5);

    // Another talker's sentences are ignored: the view stays available.
    Put(Sentence("GLGSV,1,1,02,65,30,100,40,66,20,200,35") +
        Sentence("GNGSA,A,3,65,66,,,,,,,,,,,2.0,1.2,1.6"));
    EXPECT_TRUE(parser.GetSatellites(&s));
    // A rejected GSV makes it unavailable until a good one comes.
    std::string bad = gsv2;
    bad[bad.size() - 4] = bad[bad.size() - 4] == '0' ? '1' : '0';
    Put(bad);
    EXPECT_FALSE(parser.GetSatellites(&s));
    Put(gsv2);
    EXPECT_TRUE(parser.GetSatellites(&s));
    EXPECT_FALSE(parser.GetSatellites(nullptr));
}

TEST_F(NmeaParserTest, OversizedSatelliteViewsAreBounded) {
    // Fourteen satellites announced: the thirteenth and fourteenth are not held.
    std::string text = Sentence("GPGSA,A,3,01,14,,,,,,,,,,,1.0,1.0,1.0");
    text += Sentence("GPGSV,4,1,14,01,10,010,11,02,10,020,12,03,10,030,13,04,10,040,14");
    text += Sentence("GPGSV,4,2,14,05,10,050,15,06,10,060,16,07,10,070,17,08,10,080,18");
    text += Sentence("GPGSV,4,3,14,09,10,090,19,10,10,100,20,11,10,110,21,12,10,120,22");
    text += Sentence("GPGSV,4,4,14,13,10,130,23,14,10,140,24");
    // Message numbers far beyond the table and below 1 are ignored.
    text += Sentence("GPGSV,9,9,99,50,10,130,23,51,10,140,24,52,10,130,23,53,10,140,24");
    text += Sentence("GPGSV,1,0,14,60,10,130,23");
    Put(text);
    GpsSatRecord s;
    ASSERT_TRUE(parser.GetSatellites(&s));
    EXPECT_EQ(s.inView, 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(s.numbers[i], i + 1) << i;
    EXPECT_EQ(s.snr[11], 22);
    EXPECT_EQ(s.used[0], 1);
    for (int i = 1; i < 12; ++i) EXPECT_EQ(s.used[i], 0) << i; // PRN 14 is not in view
}

TEST(NmeaReceiver, ForwardsToTheSharedDecoder) {
    CNmeaParser::Destroy();
    CNmeaReceiver a, b;
    a.SetNoDatumShift(1);
    EXPECT_EQ(b.GetNoDatumShift(), 1) << "one decoder behind every receiver";
    EXPECT_EQ(a.PutData(nullptr, 5), 0);
    EXPECT_EQ(a.PutData(kGga.data(), static_cast<int>(kGga.size())), 0);
    EXPECT_EQ(b.PutData(kRmc.data(), static_cast<int>(kRmc.size())), 1);
    GpsPosRecord r;
    EXPECT_TRUE(a.GetPosition(&r));
    EXPECT_EQ(r.latitude, 17322228);
    EXPECT_FALSE(b.GetPosition(&r));
    CNmeaParser::Destroy();
}

TEST(NmeaReceiver, DatumShiftMovesTheFixOnlyWhenOn) {
    CNmeaParser shifted, plain;
    plain.SetNoDatumShift(1);
    std::string gga = Sentence("GPGGA,010203,3734.0000,N,12658.0000,E,1,07,1.0,50.0,M,,M,,");
    std::string rmc = Sentence("GPRMC,010203,A,3734.0000,N,12658.0000,E,10.0,45.0,150624,,,A");
    std::string text = gga + rmc;
    ASSERT_EQ(shifted.PutData(text.data(), static_cast<int>(text.size())), 1);
    ASSERT_EQ(plain.PutData(text.data(), static_cast<int>(text.size())), 1);
    GpsPosRecord s, p;
    ASSERT_TRUE(shifted.GetPosition(&s));
    ASSERT_TRUE(plain.GetPosition(&p));
    EXPECT_EQ(p.latitude, 13524000); // 37 x 3,600,000 + 34 x 60,000 = 135,240,000 ms
    EXPECT_EQ(p.longitude, 45708000);
    EXPECT_EQ(p.altitude, 500);
    // The Bessel position of 37 34' N, 126 58' E, 50 m, reckoned through earth-centred
    // coordinates: 37.5638795 N, 126.9687833 E (about 309 m south and 188 m east), -5.28 m. The
    // decoder gives it within a network unit (0.3 m); the height moves by whole metres (-55).
    const datumoracle::Geodetic b = datumoracle::WgsToBessel({37.0 + 34.0 / 60.0, 126.0 + 58.0 / 60.0, 50.0});
    EXPECT_NEAR(s.latitude, b.latitude * 360000.0, 1.0);
    EXPECT_NEAR(s.longitude, b.longitude * 360000.0, 1.0);
    EXPECT_NEAR(s.latitude, 13522996.7, 1.0);
    EXPECT_NEAR(s.longitude, 45708761.9, 1.0);
    EXPECT_EQ(s.altitude, 500 + 10 * static_cast<int>(std::trunc(b.height - 50.0)));
    EXPECT_EQ(s.altitude, -50);
}

// Fields outside their ranges make the sentence unusable: no position is built from it, as when
// the fix is missing. Each case spoils one field of an otherwise good GGA and RMC pair.
TEST(NmeaReceiver, OutOfRangeFieldsGiveNoPosition) {
    const std::string time = "010203", lat = "3734.0000", lon = "12658.0000", date = "150624";
    struct Case {
        const char* what;
        std::string ggaTime, ggaLat, ggaLon, rmcTime, rmcLat, rmcLon, rmcDate, knots, course;
        bool usable;
    } cases[] = {
        {"good", time, lat, lon, time, lat, lon, date, "10.0", "45.0", true},
        {"latitude 596.5", time, "59630.0000", lon, time, lat, lon, date, "10.0", "45.0", false},
        {"latitude 90 1'", time, "9001.0000", lon, time, lat, lon, date, "10.0", "45.0", false},
        {"latitude minutes 99.9999", time, "3799.9999", lon, time, lat, lon, date, "10.0", "45.0", false},
        {"negative latitude", time, "-3734.0000", lon, time, lat, lon, date, "10.0", "45.0", false},
        {"longitude 181", time, lat, "18100.0000", time, lat, lon, date, "10.0", "45.0", false},
        {"longitude minutes 60", time, lat, "12660.0000", time, lat, lon, date, "10.0", "45.0", false},
        {"negative longitude", time, lat, "-12658.0000", time, lat, lon, date, "10.0", "45.0", false},
        {"RMC latitude 91", time, lat, lon, time, "9100.0000", lon, date, "10.0", "45.0", false},
        {"RMC longitude minutes 75", time, lat, lon, time, lat, "12675.0000", date, "10.0", "45.0", false},
        {"time 99:99:99", "999999", lat, lon, "999999", lat, lon, date, "10.0", "45.0", false},
        {"hour 24", "240203", lat, lon, "240203", lat, lon, date, "10.0", "45.0", false},
        {"minute 60", "016003", lat, lon, "016003", lat, lon, date, "10.0", "45.0", false},
        {"second 61", "010261", lat, lon, "010261", lat, lon, date, "10.0", "45.0", false},
        {"sign in the time", "-10203", lat, lon, "-10203", lat, lon, date, "10.0", "45.0", false},
        {"day 32", time, lat, lon, time, lat, lon, "320624", "10.0", "45.0", false},
        {"day 0", time, lat, lon, time, lat, lon, "000624", "10.0", "45.0", false},
        {"month 13", time, lat, lon, time, lat, lon, "151324", "10.0", "45.0", false},
        {"short date", time, lat, lon, time, lat, lon, "1506", "10.0", "45.0", false},
        {"negative speed", time, lat, lon, time, lat, lon, date, "-10.0", "45.0", false},
        {"course 361", time, lat, lon, time, lat, lon, date, "10.0", "361.0", false},
        // Edges that are in range.
        {"leap second", "235960", lat, lon, "235960", lat, lon, date, "10.0", "45.0", true},
        {"latitude 90, longitude 180", time, "9000.0000", "18000.0000", time, "9000.0000", "18000.0000", date,
         "0.0", "360.0", true},
        {"minutes 59.9999", time, "3759.9999", "12659.9999", time, lat, lon, "311299", "10.0", "0.0", true},
        {"no date", time, lat, lon, time, lat, lon, "", "10.0", "45.0", true},
    };
    for (const Case& c : cases) {
        CNmeaParser parser;
        const std::string text =
            Sentence("GPGGA," + c.ggaTime + "," + c.ggaLat + ",N," + c.ggaLon + ",E,1,07,1.0,50.0,M,,M,,") +
            Sentence("GPRMC," + c.rmcTime + ",A," + c.rmcLat + ",N," + c.rmcLon + ",E," + c.knots + "," +
                     c.course + "," + c.rmcDate + ",,,A");
        EXPECT_EQ(parser.PutData(text.data(), static_cast<int>(text.size())), c.usable ? 1 : 0) << c.what;
        GpsPosRecord r;
        EXPECT_EQ(parser.GetPosition(&r), c.usable) << c.what;
        if (c.usable) {
            EXPECT_LE(r.latitude, 90 * 360000) << c.what;
            EXPECT_LE(r.longitude, 180 * 360000) << c.what;
        }
    }
}

// Numbers that are not plain decimals ("nan", "inf", exponents, stray letters) and a satellite
// count beyond the 12 a GPS receiver can use make the sentence unusable, as an oversized speed
// does: the digit readers would otherwise take them as 0 or as their leading digits.
TEST(NmeaReceiver, MalformedNumbersGiveNoPosition) {
    struct Case {
        const char* what;
        std::string ggaLat, used, hdop, altitude, rmcLon, knots, course;
        bool usable;
    } cases[] = {
        {"good", "3734.0000", "07", "1.0", "50.0", "12658.0000", "10.0", "45.0", true},
        {"altitude 1e308", "3734.0000", "07", "1.0", "1e308", "12658.0000", "10.0", "45.0", false},
        {"altitude nan", "3734.0000", "07", "1.0", "nan", "12658.0000", "10.0", "45.0", false},
        {"altitude -inf", "3734.0000", "07", "1.0", "-inf", "12658.0000", "10.0", "45.0", false},
        {"speed nan", "3734.0000", "07", "1.0", "50.0", "12658.0000", "nan", "45.0", false},
        {"course inf", "3734.0000", "07", "1.0", "50.0", "12658.0000", "10.0", "inf", false},
        {"speed 1.5e3", "3734.0000", "07", "1.0", "50.0", "12658.0000", "1.5e3", "45.0", false},
        {"HDOP nan", "3734.0000", "07", "nan", "50.0", "12658.0000", "10.0", "45.0", false},
        {"latitude with a letter", "3734.00x0", "07", "1.0", "50.0", "12658.0000", "10.0", "45.0", false},
        {"RMC longitude with two points", "3734.0000", "07", "1.0", "50.0", "12658.00.0", "10.0", "45.0", false},
        {"99 satellites", "3734.0000", "99", "1.0", "50.0", "12658.0000", "10.0", "45.0", false},
        {"13 satellites", "3734.0000", "13", "1.0", "50.0", "12658.0000", "10.0", "45.0", false},
        {"satellites 7.5", "3734.0000", "7.5", "1.0", "50.0", "12658.0000", "10.0", "45.0", false},
        {"negative satellites", "3734.0000", "-1", "1.0", "50.0", "12658.0000", "10.0", "45.0", false},
        // Edges that are in range.
        {"12 satellites", "3734.0000", "12", "1.0", "50.0", "12658.0000", "10.0", "45.0", true},
        {"no satellites field", "3734.0000", "", "1.0", "50.0", "12658.0000", "10.0", "45.0", true},
        {"altitude below sea level", "3734.0000", "07", "1.0", "-12.5", "12658.0000", "10.0", "45.0", true},
        {"signed speed, bare point", "3734.0000", "07", "1.0", "50.", "12658.0000", "+10.0", "45.", true},
    };
    for (const Case& c : cases) {
        CNmeaParser parser;
        parser.SetNoDatumShift(1);
        const std::string text =
            Sentence("GPGGA,010203," + c.ggaLat + ",N,12658.0000,E,1," + c.used + "," + c.hdop + "," + c.altitude +
                     ",M,,M,,") +
            Sentence("GPRMC,010203,A,3734.0000,N," + c.rmcLon + ",E," + c.knots + "," + c.course + ",150624,,,A");
        EXPECT_EQ(parser.PutData(text.data(), static_cast<int>(text.size())), c.usable ? 1 : 0) << c.what;
        GpsPosRecord r;
        EXPECT_EQ(parser.GetPosition(&r), c.usable) << c.what;
    }
    // The values of the in-range edges, worked out by hand: 10.0 knots x 18.52 = 185.2, so 185
    // tenths of km/h; -12.5 m is -125 dm; 12 satellites as sent.
    CNmeaParser parser;
    parser.SetNoDatumShift(1);
    const std::string text = Sentence("GPGGA,010203,3734.0000,N,12658.0000,E,1,12,1.0,-12.5,M,,M,,") +
                             Sentence("GPRMC,010203,A,3734.0000,N,12658.0000,E,+10.0,45.,150624,,,A");
    ASSERT_EQ(parser.PutData(text.data(), static_cast<int>(text.size())), 1);
    GpsPosRecord r;
    ASSERT_TRUE(parser.GetPosition(&r));
    EXPECT_EQ(r.speed, 185);
    EXPECT_EQ(r.course, 45);
    EXPECT_EQ(r.altitude, -125);
    EXPECT_EQ(r.satellitesUsed, 12);
}

// A fix at a pole, shifted to the Bessel datum, stays on the globe: the longitude shift is void
// there, so the longitude is the one sent (never 596.5 degrees, the saturated 32-bit value).
TEST(NmeaReceiver, DatumShiftAtThePoleStaysOnTheGlobe) {
    for (const char* lat : {"9000.0000", "8959.9999"}) {
        CNmeaParser parser;
        const std::string text =
            Sentence(std::string("GPGGA,010203,") + lat + ",N,12658.0000,E,1,07,1.0,50.0,M,,M,,") +
            Sentence(std::string("GPRMC,010203,A,") + lat + ",N,12658.0000,E,10.0,45.0,150624,,,A");
        ASSERT_EQ(parser.PutData(text.data(), static_cast<int>(text.size())), 1) << lat;
        GpsPosRecord r;
        ASSERT_TRUE(parser.GetPosition(&r));
        EXPECT_LE(r.latitude, 90 * 360000) << lat;
        EXPECT_GE(r.latitude, 89 * 360000) << lat;
        EXPECT_LE(std::abs(r.longitude), 180 * 360000) << lat;
    }
}

} // namespace
