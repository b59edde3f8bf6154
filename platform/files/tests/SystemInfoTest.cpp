#include "platform/files/SystemInfo.h"

#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

namespace {

class SystemInfoTest : public ::testing::Test {
protected:
    void Ini(const std::string& text) {
        root.MakeFile("device.ini", text);
        DeviceRoot::ReloadSettings();
    }
    TempRoot root;
};

TEST_F(SystemInfoTest, VersionComesFromCeVersion) {
    struct Case {
        const char* ini;
        DWORD major, minor;
    };
    const Case cases[] = {
        {"ceversion=4.20\n", 4, 20},
        {"ceversion=4.10\n", 4, 10},
        {"ceversion=5\n", 5, 0},
        {"", 3, 0},                     // not stated: the handheld's CE 3.0
        {"ceversion=four\n", 3, 0},     // malformed: the same
        {"ceversion=4.x\n", 3, 0},
        {"ceversion=70000.1\n", 3, 0},  // past 16 bits
    };
    for (const Case& c : cases) {
        Ini(c.ini);
        OSVERSIONINFOW info;
        ASSERT_TRUE(GetVersionExW(&info)) << c.ini;
        EXPECT_EQ(info.dwMajorVersion, c.major) << c.ini;
        EXPECT_EQ(info.dwMinorVersion, c.minor) << c.ini;
        EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_CE);
    }
    OSVERSIONINFOW small;
    small.dwOSVersionInfoSize = 8;
    EXPECT_FALSE(GetVersionExW(&small));
    EXPECT_FALSE(GetVersionExW(nullptr));
}

TEST_F(SystemInfoTest, StatedFreeMemoryAndItsThirtyTwoBitForm) {
    Ini("memfree=15000000\n");
    MEMORYSTATUSEX whole;
    ASSERT_TRUE(GlobalMemoryStatusEx(&whole));
    EXPECT_EQ(whole.ullAvailPhys, 15000000u);
    MEMORYSTATUS old;
    GlobalMemoryStatus(&old);
    EXPECT_EQ(old.dwAvailPhys, 15000000u);

    Ini("memfree=6000000000\n"); // past 4 GiB: the 32-bit call saturates, the whole one does not
    ASSERT_TRUE(GlobalMemoryStatusEx(&whole));
    EXPECT_EQ(whole.ullAvailPhys, 6000000000u);
    EXPECT_GE(whole.ullTotalPhys, whole.ullAvailPhys);
    GlobalMemoryStatus(&old);
    EXPECT_EQ(old.dwAvailPhys, 0xFFFFFFFFu);

    Ini("memfree=lots\n"); // malformed: the host's figure, which is some memory
    ASSERT_TRUE(GlobalMemoryStatusEx(&whole));
    EXPECT_GT(whole.ullAvailPhys, 0u);
}

TEST_F(SystemInfoTest, StatedFreeStoreCoversTheHandheldsStorageButNotTheCards) {
    root.MakeFile("Storage Card/MapData/x", "x");
    root.MakeFile("My Documents/Velko/y", "y");
    Ini("card=Storage Card\nstorefree=4294967296\n");
    ULARGE_INTEGER caller{}, total{}, free{};
    for (const char16_t* path : {u"\\", u"\\My Documents\\Velko", u"/My Documents"}) {
        ASSERT_TRUE(GetDiskFreeSpaceExW(path, &caller, &total, &free));
        EXPECT_EQ(free.QuadPart, 4294967296ull); // all 64 bits: the low 32 would read 0
        EXPECT_EQ(caller.QuadPart, 4294967296ull);
        EXPECT_GE(total.QuadPart, free.QuadPart);
    }
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\Storage Card\\MapData", &caller, &total, &free));
    EXPECT_NE(free.QuadPart, 4294967296ull); // the card reports the host's own figure
}

} // namespace
