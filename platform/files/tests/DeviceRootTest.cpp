#include "platform/files/DeviceRoot.h"

#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class DeviceRootTest : public ::testing::Test {
protected:
    TempRoot root;
};

TEST_F(DeviceRootTest, CePathsResolveUnderTheRoot) {
    struct Case {
        const char16_t* ce;
        std::string expected; // relative to the root; "" is the root itself
    };
    const Case cases[] = {
        {u"\\", ""},
        {u"/", ""},
        {u"", ""},
        {u"./ErrorLog.txt", "ErrorLog.txt"},
        {u".\\ErrorLog.txt", "ErrorLog.txt"},
        {u"ErrorLog.txt", "ErrorLog.txt"},
        {u"\\My Documents\\Velko\\x", "My Documents/Velko/x"},
        {u"/My Documents/Velko/x", "My Documents/Velko/x"},
        {u"\\My Documents/Velko\\\\x", "My Documents/Velko/x"},
        {u"\\My Documents\\.\\Velko\\..\\Velko\\x", "My Documents/Velko/x"},
        // ".." stops at the root
        {u"..\\..\\..\\etc\\passwd", "etc/passwd"},
        {u"\\a\\..\\..\\..\\b", "b"},
        {u"\\지도\\파일.bin", "지도/파일.bin"},
    };
    for (const Case& c : cases) {
        const std::string expected = c.expected.empty() ? root.Path() : root.Path() + "/" + c.expected;
        EXPECT_EQ(DeviceRoot::Resolve(c.ce), expected) << root.Utf8(c.ce);
    }
}

TEST_F(DeviceRootTest, ExistingFoldersAreMatchedIgnoringCase) {
    root.MakeFile("Storage Card/MapData/Color/color.bin", "c");
    EXPECT_EQ(DeviceRoot::Resolve(u"\\Storage Card\\mapdata\\COLOR\\Color.bin"),
              root.Path() + "/Storage Card/MapData/Color/color.bin");
    // Components after the first missing one stay as given.
    EXPECT_EQ(DeviceRoot::Resolve(u"\\STORAGE CARD\\MAPDATA\\New\\Sub\\A.bin"),
              root.Path() + "/Storage Card/MapData/New/Sub/A.bin");
}

TEST_F(DeviceRootTest, AnExactMatchWinsOverACaseVariant) {
    fs::create_directories(root.Path() + "/Wave");
    fs::create_directories(root.Path() + "/wave");
    EXPECT_EQ(DeviceRoot::Resolve(u"\\Wave\\a.wav"), root.Path() + "/Wave/a.wav");
    EXPECT_EQ(DeviceRoot::Resolve(u"\\wave\\a.wav"), root.Path() + "/wave/a.wav");
    // Neither matches exactly: the choice is stable (the smaller name).
    EXPECT_EQ(DeviceRoot::Resolve(u"\\WAVE"), root.Path() + "/Wave");
}

TEST_F(DeviceRootTest, EmbeddedZeroEndsThePath) {
    const std::u16string withZero(u"\\abc\0\\..\\..\\x", 13);
    EXPECT_EQ(DeviceRoot::Resolve(withZero), root.Path() + "/abc");
}

TEST_F(DeviceRootTest, DeviceIniSettings) {
    root.MakeFile("device.ini", "\xEF\xBB\xBF; the device\r\n"
                                "oem=Velko Test Device\r\n"
                                "\r\n"
                                "card=SD Card\r\n"
                                "  card = CF Card  \r\n"
                                "broken line without equals\r\n"
                                "=no key\r\n"
                                "COM1=/dev/ttyUSB0\r\n"
                                "com1=/dev/ttyUSB1\n"
                                "# comment=ignored\n"
                                "empty=");
    DeviceRoot::ReloadSettings();
    EXPECT_EQ(DeviceRoot::Setting("oem"), "Velko Test Device");
    EXPECT_EQ(DeviceRoot::Setting("OEM"), "Velko Test Device");
    EXPECT_EQ(DeviceRoot::Setting("com1"), "/dev/ttyUSB1"); // the last value wins
    EXPECT_EQ(DeviceRoot::Settings("com1"), (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1"}));
    EXPECT_EQ(DeviceRoot::Setting("empty", "fallback"), "");
    EXPECT_EQ(DeviceRoot::Setting("missing", "fallback"), "fallback");
    EXPECT_TRUE(DeviceRoot::Settings("#").empty());
    EXPECT_TRUE(DeviceRoot::Settings("").empty());

    EXPECT_EQ(DeviceRoot::CardFolders(), (std::vector<std::string>{"SD Card", "CF Card"}));
    EXPECT_TRUE(DeviceRoot::IsCardFolder("sd card"));
    EXPECT_TRUE(DeviceRoot::IsCardFolder("CF CARD"));
    EXPECT_FALSE(DeviceRoot::IsCardFolder("Storage Card"));

    DeviceRoot::OverrideSetting("COM1", "/tmp/pty");
    EXPECT_EQ(DeviceRoot::Setting("com1"), "/tmp/pty");
    EXPECT_EQ(DeviceRoot::Settings("com1"), std::vector<std::string>{"/tmp/pty"});
    DeviceRoot::ClearOverrides();
    EXPECT_EQ(DeviceRoot::Setting("com1"), "/dev/ttyUSB1");
}

TEST_F(DeviceRootTest, WithoutCardLinesTheCardIsStorageCard) {
    EXPECT_EQ(DeviceRoot::CardFolders(), std::vector<std::string>{"Storage Card"});
    EXPECT_TRUE(DeviceRoot::IsCardFolder("storage card"));
    EXPECT_FALSE(DeviceRoot::IsCardFolder("My Documents"));
}

TEST_F(DeviceRootTest, ReloadSeesAChangedFile) {
    root.MakeFile("DEVICE.INI", "oem=first\n"); // found ignoring case
    DeviceRoot::ReloadSettings();
    EXPECT_EQ(DeviceRoot::Setting("oem"), "first");
    root.MakeFile("DEVICE.INI", "oem=second\n");
    EXPECT_EQ(DeviceRoot::Setting("oem"), "first");
    DeviceRoot::ReloadSettings();
    EXPECT_EQ(DeviceRoot::Setting("oem"), "second");
}

TEST_F(DeviceRootTest, DefaultRootIsVelkoRootOrTheCurrentDirectory) {
    const char* saved = std::getenv("VELKO_ROOT");
    const std::string savedValue = saved ? saved : "";
    ::setenv("VELKO_ROOT", "/some/device", 1);
    EXPECT_EQ(DeviceRoot::DefaultRoot(), "/some/device");
    ::unsetenv("VELKO_ROOT");
    EXPECT_EQ(fs::path(DeviceRoot::DefaultRoot()), fs::current_path());
    if (saved) ::setenv("VELKO_ROOT", savedValue.c_str(), 1);
}

TEST_F(DeviceRootTest, SetRootTrimsTrailingSlashes) {
    DeviceRoot::SetRoot(root.Path() + "///");
    EXPECT_EQ(DeviceRoot::Root(), root.Path());
    EXPECT_EQ(DeviceRoot::Resolve(u"\\a"), root.Path() + "/a");
}

TEST(DeviceRootNames, ProgramPath) {
    EXPECT_EQ(DeviceRoot::ProgramPath(), u"\\Program Files\\Velko\\Velko.exe");
}

TEST(DeviceRootNames, CaseFolding) {
    EXPECT_TRUE(DeviceRoot::SameNameIgnoringCase(u"MRData", u"MRDATA"));
    EXPECT_TRUE(DeviceRoot::SameNameIgnoringCase(u"Ärger", u"ärger"));
    EXPECT_TRUE(DeviceRoot::SameNameIgnoringCase(u"지도", u"지도"));
    EXPECT_FALSE(DeviceRoot::SameNameIgnoringCase(u"지도", u"지드"));
    EXPECT_FALSE(DeviceRoot::SameNameIgnoringCase(u"Wave", u"Waves"));
    EXPECT_FALSE(DeviceRoot::SameNameIgnoringCase(u"a[", u"A{")); // only letters fold
}

} // namespace
