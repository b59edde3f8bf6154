#include "platform/serial/PseudoTerminal.h"
#include "platform/serial/Serial.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

TEST(Serial, PortNames) {
    const struct {
        const char16_t* name;
        int expected;
    } cases[] = {{u"COM1:", 1}, {u"com12", 12}, {u"Com3:", 3}, {u"COM", 0},     {u"COM1x", 0},
                 {u"LPT1:", 0}, {u"COM1::", 0}, {u"COM:", 0},  {u"COM999:", 0}, {nullptr, 0}};
    for (const auto& c : cases) EXPECT_EQ(CommPortNumber(c.name), c.expected);
}

class SerialRoot : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velko-serial-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        DeviceRoot::SetRoot(dir);
    }
    void TearDown() override {
        DeviceRoot::ClearOverrides();
        std::filesystem::remove_all(dir);
    }
    std::string dir;
};

TEST_F(SerialRoot, DevicePathsFromTheRootAndItsSettings) {
    EXPECT_EQ(CommDevicePath(3), DeviceRoot::Root() + "/dev/COM3");
    DeviceRoot::OverrideSetting("com3", "/dev/ttyUSB0");
    EXPECT_EQ(CommDevicePath(3), "/dev/ttyUSB0");
    DeviceRoot::OverrideSetting("com4", "dev/gps");
    EXPECT_EQ(CommDevicePath(4), DeviceRoot::Root() + "/dev/gps");
}

TEST_F(SerialRoot, OnlyTerminalsOpen) {
    std::filesystem::create_directories(dir + "/dev");
    std::FILE* f = std::fopen((dir + "/dev/COM2").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(CreateCommW(u"COM2:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(CreateCommW(u"COM5:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateCommW(u"PRN:", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // A symlink under the root's dev folder to a pseudo-terminal is the default mapping.
    PseudoTerminal line;
    ASSERT_TRUE(line.IsOpen());
    std::filesystem::create_symlink(line.DevicePath(), dir + "/dev/COM6");
    HANDLE port = CreateCommW(u"COM6:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsCommHandle(port));
    CloseHandle(port);
}

TEST(Serial, LineSettingsQueuesAndPurge) {
    PseudoTerminal line;
    ASSERT_TRUE(line.IsOpen());
    DeviceRoot::OverrideSetting("com8", line.DevicePath());
    HANDLE port = CreateCommW(u"COM8:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);

    DCB dcb;
    ASSERT_TRUE(GetCommState(port, &dcb));
    const struct {
        DWORD baud;
        BYTE size, parity, stop;
        bool ok;
    } cases[] = {{2400, 8, NOPARITY, ONESTOPBIT, true},    {57600, 8, NOPARITY, ONESTOPBIT, true},
                 {9600, 7, EVENPARITY, TWOSTOPBITS, true}, {4800, 8, ODDPARITY, ONESTOPBIT, true},
                 {12345, 8, NOPARITY, ONESTOPBIT, false},  {4800, 9, NOPARITY, ONESTOPBIT, false},
                 {4800, 8, MARKPARITY, ONESTOPBIT, false}};
    for (const auto& c : cases) {
        dcb.BaudRate = c.baud;
        dcb.ByteSize = c.size;
        dcb.Parity = c.parity;
        dcb.StopBits = c.stop;
        EXPECT_EQ(SetCommState(port, &dcb) != 0, c.ok) << c.baud;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
            continue;
        }
        DCB back;
        ASSERT_TRUE(GetCommState(port, &back));
        // A pseudo-terminal keeps the speed but forces 8 bits without parity.
        EXPECT_EQ(back.BaudRate, c.baud);
    }
    dcb.BaudRate = 4800;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    ASSERT_TRUE(SetCommState(port, &dcb));

    COMSTAT status;
    DWORD errors = 1;
    ASSERT_TRUE(ClearCommError(port, &errors, &status));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(status.cbInQue, 0u);
    ASSERT_EQ(line.Write("hello", 5), 5u);
    ASSERT_TRUE(line.WaitDeviceQueued(5, 5000));
    ASSERT_TRUE(ClearCommError(port, &errors, &status));
    EXPECT_EQ(status.cbInQue, 5u);
    ASSERT_TRUE(PurgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT));
    ASSERT_TRUE(ClearCommError(port, &errors, &status));
    EXPECT_EQ(status.cbInQue, 0u);

    // With interval MAXDWORD and no totals a read returns at once, empty.
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = MAXDWORD;
    ASSERT_TRUE(SetCommTimeouts(port, &t));
    char buffer[8];
    DWORD read = 99;
    ASSERT_TRUE(ReadComm(port, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 0u);
    DWORD written = 0;
    ASSERT_TRUE(WriteComm(port, "abc", 3, &written));
    EXPECT_EQ(written, 3u);
    char got[8] = {};
    std::size_t n = 0;
    for (int i = 0; i < 50 && n < 3; ++i) n += line.Read(got + n, sizeof got - n, 100);
    EXPECT_EQ(std::string(got, n), "abc");

    CloseHandle(port);
    EXPECT_FALSE(GetCommState(port = INVALID_HANDLE_VALUE, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DeviceRoot::ClearOverrides();
}

} // namespace
