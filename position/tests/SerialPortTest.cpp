#include "position/GpsLogSynth.h"
#include "position/NmeaParser.h"
#include "position/NmeaReceiver.h"
#include "position/SerialPort.h"
#include "position/ZarnReceiver.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/serial/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

// A pseudo-terminal standing in for a receiver on "COM7:".
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.IsOpen());
        DeviceRoot::OverrideSetting("com7", line.DevicePath());
    }
    void TearDown() override { DeviceRoot::ClearOverrides(); }
    bool OpenPort(CSerialPort& port) { return port.Open(u"COM7:", kReadWrite) && port.Setup(38400, 8, 0, 0); }
    // Queues bytes on the program's side and waits until the terminal layer has them all.
    void Queue(const std::vector<char>& bytes, std::size_t alreadyQueued = 0) {
        ASSERT_EQ(line.Write(bytes.data(), bytes.size()), bytes.size());
        ASSERT_TRUE(line.WaitDeviceQueued(alreadyQueued + bytes.size(), 5000));
    }
    PseudoTerminal line;
};

TEST_F(SerialPortTest, ReadKeepsOneByteFreeWhenMoreIsQueued) {
    const struct {
        std::size_t queued;
        int expected;
    } cases[] = {{3000, 2047}, {2048, 2048}, {2047, 2047}, {5, 5}};
    for (const auto& c : cases) {
        CSerialPort port;
        ASSERT_TRUE(OpenPort(port));
        std::vector<char> bytes(c.queued);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('A' + i % 26);
        Queue(bytes);
        std::vector<char> buffer(2048 + 1, '\x7F');
        int n = port.Read(buffer.data(), 2048);
        EXPECT_EQ(n, c.expected) << c.queued;
        EXPECT_EQ(std::memcmp(buffer.data(), bytes.data(), static_cast<std::size_t>(n)), 0) << c.queued;
        if (n < 2048) {
            EXPECT_EQ(buffer[static_cast<std::size_t>(n)], 0) << "the buffer is zeroed first";
        }
        EXPECT_EQ(port.GetLastErrorCode(), 0u);
        // Drain what is left for the next case.
        while (port.Read(buffer.data(), 2048) > 0) {
        }
    }
}

TEST_F(SerialPortTest, NothingQueuedLeavesTheBufferAlone) {
    CSerialPort port;
    ASSERT_TRUE(OpenPort(port));
    char buffer[64];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
    for (char c : buffer) ASSERT_EQ(c, 'z');
}

TEST_F(SerialPortTest, WritesArriveAtTheOtherSide) {
    CSerialPort port;
    ASSERT_TRUE(OpenPort(port));
    const std::uint8_t probe[] = {0x02, 0x34, 0xCC, 0x03};
    EXPECT_EQ(port.Write(probe, sizeof probe), 4);
    std::uint8_t got[16] = {};
    std::size_t n = 0;
    for (int i = 0; i < 50 && n < 4; ++i) n += line.Read(got + n, sizeof got - n, 100);
    ASSERT_EQ(n, 4u);
    EXPECT_EQ(std::memcmp(got, probe, 4), 0);

    EXPECT_EQ(port.Write(nullptr, 4), 0);
    EXPECT_EQ(port.GetLastErrorCode(), 0u);
    EXPECT_EQ(line.Read(got, sizeof got, 50), 0u) << "nothing was sent";
}

TEST_F(SerialPortTest, OpenCloseAndTheClosedPort) {
    CSerialPort port;
    char buffer[16];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(port.Write("abc", 3), 0);
    EXPECT_FALSE(port.Setup(4800, 8, 0, 0));
    EXPECT_EQ(port.GetHandle(), INVALID_HANDLE_VALUE);

    ASSERT_TRUE(port.Open(u"COM7:", kReadWrite));
    HANDLE first = port.GetHandle();
    EXPECT_FALSE(port.Open(u"COM7:", kReadWrite)) << "a second open fails";
    EXPECT_EQ(port.GetHandle(), first) << "and keeps the first handle";
    ASSERT_TRUE(port.Setup(4800, 8, 0, 0));
    Queue({'o', 'k'});
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 2);

    port.Close();
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    EXPECT_FALSE(port.Setup(4800, 8, 0, 0));

    // Attach takes a valid handle only into an empty port.
    CSerialPort other;
    EXPECT_FALSE(other.Attach(INVALID_HANDLE_VALUE));
    ASSERT_TRUE(port.Open(u"COM7:", kReadWrite));
    EXPECT_FALSE(port.Attach(other.GetHandle()));

    // A port that maps to nothing fails with the system's code.
    CSerialPort missing;
    DeviceRoot::OverrideSetting("com9", "/nonexistent/device/for/velko");
    EXPECT_FALSE(missing.Open(u"COM9:", kReadWrite));
    EXPECT_EQ(missing.GetLastErrorCode(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(missing.Open(u"LPT1:", kReadWrite));
    EXPECT_NE(missing.GetLastErrorCode(), 0u);
}

void ExpectSameRecords(const std::vector<GpsPosRecord>& a, const std::vector<GpsPosRecord>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].latitude, b[i].latitude) << i;
        EXPECT_EQ(a[i].longitude, b[i].longitude) << i;
        EXPECT_EQ(a[i].speed, b[i].speed) << i;
        EXPECT_EQ(a[i].course, b[i].course) << i;
        EXPECT_EQ(a[i].altitude, b[i].altitude) << i;
        EXPECT_EQ(a[i].second, b[i].second) << i;
        EXPECT_EQ(a[i].status, b[i].status) << i;
    }
}

TEST_F(SerialPortTest, ReplayedLogGivesTheSameRecordsAsFeedingItDirectly) {
    for (bool unit : {false, true}) {
        GpsSynthOptions o;
        o.points = {{46000000, 12960000}, {46003000, 12962000}, {46003000, 12966000}};
        o.speedKmh = 90.0;
        o.noiseMetres = 3.0;
        o.outages = {{300.0, 400.0}};
        o.unit = unit;
        CGpsLogSynth synth(o);
        std::string log = synth.Generate();
        const auto& ends = synth.EpochEnds();

        // Directly, one epoch per call, as a receiver delivers them.
        CNmeaParser directParser;
        CNmeaReceiver directNmea(&directParser);
        CZarnReceiver directUnit;
        CGpsReceiver& direct = unit ? static_cast<CGpsReceiver&>(directUnit) : directNmea;
        std::vector<GpsPosRecord> expected;
        std::size_t from = 0;
        for (std::size_t end : ends) {
            if (direct.PutData(log.data() + from, static_cast<int>(end - from)) & kGpsNewPosition) {
                GpsPosRecord r;
                if (direct.GetPosition(&r)) expected.push_back(r);
            }
            from = end;
        }
        ASSERT_EQ(expected.size(), ends.size());

        // Through the line: each second is written in uneven pieces, and every piece is read
        // from the port (up to 2048 bytes a read, as the reader thread does) once the line has it.
        CSerialPort port;
        ASSERT_TRUE(OpenPort(port));
        CNmeaParser lineParser;
        CNmeaReceiver lineNmea(&lineParser);
        CZarnReceiver lineUnit;
        CGpsReceiver& through = unit ? static_cast<CGpsReceiver&>(lineUnit) : lineNmea;
        std::vector<GpsPosRecord> got;
        std::size_t piece = 5;
        from = 0;
        char buffer[2049];
        for (std::size_t end : ends) {
            int flags = 0;
            for (std::size_t at = from; at < end;) {
                std::size_t n = std::min(piece, end - at);
                piece = piece * 7 % 400 + 1;
                ASSERT_EQ(line.Write(log.data() + at, n), n);
                ASSERT_TRUE(line.WaitDeviceQueued(n, 5000));
                at += n;
                int read;
                while ((read = port.Read(buffer, 2048)) > 0) flags |= through.PutData(buffer, read);
                ASSERT_EQ(read, 0);
            }
            if (flags & kGpsNewPosition) {
                GpsPosRecord r;
                if (through.GetPosition(&r)) got.push_back(r);
            }
            from = end;
        }
        ExpectSameRecords(got, expected);
    }
}

} // namespace
