#include "platform/files/InputFile.h"

#include "platform/files/MapDataFolder.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(InputFile, ReadsARegularFileWhole) {
    TempRoot root;
    std::string content(70000, 'x');
    content[0] = '$';
    content[69999] = '\n';
    root.MakeFile("log.nmea", content);
    std::string text, error;
    ASSERT_TRUE(InputFile::ReadAll(root.Host("log.nmea"), 70000, text, error)) << error;
    EXPECT_EQ(text, content);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(InputFile::ReadAll(root.Host("log.nmea"), 1 << 20, bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 70000u);
    root.MakeFile("empty", "");
    EXPECT_TRUE(InputFile::ReadAll(root.Host("empty"), 10, text, error));
    EXPECT_TRUE(text.empty());
}

// Everything that is not a plain file within the cap is refused before a byte is read, with a
// message that names the path and says why; a pipe without a writer does not block.
TEST(InputFile, RefusesFoldersPipesDevicesMissingAndOversizedFiles) {
    TempRoot root;
    root.MakeFile("big.bin", std::string(1001, 'b'));
    std::filesystem::create_directories(root.Host("folder"));
    ASSERT_EQ(::mkfifo(root.Host("pipe").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::uint64_t cap;
        const char* why;
    } cases[] = {
        {root.Host("folder"), 1 << 20, "folder"},   {root.Host("pipe"), 1 << 20, "pipe"},
        {"/dev/zero", 1 << 20, "device"},           {root.Host("missing"), 1 << 20, "cannot open"},
        {root.Host("big.bin"), 1000, "1001 bytes"},
    };
    for (const Case& c : cases) {
        std::string text = "left over", error;
        EXPECT_FALSE(InputFile::ReadAll(c.path, c.cap, text, error)) << c.path;
        EXPECT_TRUE(text.empty()) << c.path;
        EXPECT_EQ(error.rfind(c.path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
        InputFile f;
        EXPECT_FALSE(f.Open(c.path, c.cap, error)) << c.path;
    }
    // Exactly at the cap is allowed.
    std::string text, error;
    EXPECT_TRUE(InputFile::ReadAll(root.Host("big.bin"), 1001, text, error)) << error;
}

TEST(InputFile, ReadsInPiecesNoFurtherThanTheSizeAtOpening) {
    TempRoot root;
    root.MakeFile("a.txt", "0123456789");
    InputFile f;
    std::string error;
    ASSERT_TRUE(f.Open(root.Host("a.txt"), 100, error));
    EXPECT_EQ(f.Size(), 10u);
    root.MakeFile("a.txt", "0123456789ABCDEF"); // rewritten in place, longer
    char buffer[8];
    EXPECT_EQ(f.Read(buffer, 8), 8);
    EXPECT_EQ(f.Read(buffer, 8), 2);
    EXPECT_EQ(f.Read(buffer, 8), 0);
    f.Close();
    EXPECT_EQ(f.Read(buffer, 8), -1);
}

TEST(MapDataFolder, CardsInDeviceIniOrderThenTheHandheldsOwnStorage) {
    TempRoot root;
    root.MakeFile("device.ini", "card=SD Card\ncard=CF Card\n");
    DeviceRoot::ReloadSettings();
    std::u16string folder;
    std::string error;
    // Nothing yet: every place looked in is named.
    EXPECT_FALSE(FindMapDataFolder(folder, error));
    EXPECT_NE(error.find(root.Path() + "/SD Card/MapData, " + root.Path() + "/CF Card/MapData, " +
                         root.Path() + "/MapData"),
              std::string::npos)
        << error;
    // In the handheld's own storage.
    std::filesystem::create_directories(root.Host("MAPDATA"));
    ASSERT_TRUE(FindMapDataFolder(folder, error));
    EXPECT_EQ(folder, u"\\MapData");
    // A card wins over the handheld's storage; the first card named wins over the second. A
    // plain file of that name is no data folder.
    std::filesystem::create_directories(root.Host("CF Card/mapdata"));
    ASSERT_TRUE(FindMapDataFolder(folder, error));
    EXPECT_EQ(folder, u"\\CF Card\\MapData");
    root.MakeFile("SD Card/MapData", "not a folder");
    ASSERT_TRUE(FindMapDataFolder(folder, error));
    EXPECT_EQ(folder, u"\\CF Card\\MapData");
    std::filesystem::remove(root.Host("SD Card/MapData"));
    std::filesystem::create_directories(root.Host("SD Card/MapData"));
    ASSERT_TRUE(FindMapDataFolder(folder, error));
    EXPECT_EQ(folder, u"\\SD Card\\MapData");
    EXPECT_EQ(DeviceRoot::Resolve(folder), root.Path() + "/SD Card/MapData");
}

TEST(MapDataFolder, WithoutCardLinesTheStorageCard) {
    TempRoot root;
    std::filesystem::create_directories(root.Host("Storage Card/MapData"));
    std::filesystem::create_directories(root.Host("MapData"));
    std::u16string folder;
    std::string error;
    ASSERT_TRUE(FindMapDataFolder(folder, error));
    EXPECT_EQ(folder, u"\\Storage Card\\MapData");
}

} // namespace
