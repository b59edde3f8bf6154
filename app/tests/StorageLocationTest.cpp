// Moving the user's data between the handheld's memory ("\My Documents\VelkoData") and the card
// ("\Storage Card\VelkoData", beside the map data folder), and taking over an older layout's files.
#include "app/StorageLocation.h"

#include "config/NaviConfig.h"
#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr int kSettingsSize = 1004; // mark, 200 settings, two 100-byte scheme names

// A settings file with setting 64 as given (the rest zero).
std::string SettingsFile(int storage) {
    std::string bytes(kSettingsSize, '\0');
    bytes[0] = 100;
    bytes[4 + 64 * 4] = static_cast<char>(storage);
    return bytes;
}

// Setting 64 of a settings file, or -1 when it is missing or short.
int StoredLocation(const std::string& bytes) {
    if (bytes.size() < static_cast<std::size_t>(kSettingsSize)) return -1;
    return static_cast<unsigned char>(bytes[4 + 64 * 4]);
}

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    if (!fs::is_directory(dir)) return names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

class StorageLocationTest : public ::testing::Test {
protected:
    void Open(int deviceType) {
        config = CNaviConfig::GetInstance();
        config->SetDeviceType(deviceType);
        config->Load(u"\\Storage Card\\MapData");
    }
    void TearDown() override { FilesFailNextOperations(0); }

    TempRoot root;
    CNaviConfig* config = nullptr;
    const std::string memory = "My Documents/VelkoData";
    const std::string card = "Storage Card/VelkoData";
};

TEST_F(StorageLocationTest, EnsuringTheFolderAnswersWhetherItExists) {
    Open(0);
    config->SetValue(64, 0);
    EXPECT_TRUE(StorageFolderMissing());
    fs::create_directories(root.Host("My Documents"));
    EXPECT_TRUE(EnsureStorageFolder(-1));
    EXPECT_TRUE(fs::is_directory(root.Host(memory)));
    EXPECT_FALSE(StorageFolderMissing());
    // One level only: the card's parent folder is not there.
    EXPECT_FALSE(EnsureStorageFolder(1));
    FilesFailNextOperations(1);
    fs::create_directories(root.Host("Storage Card"));
    EXPECT_FALSE(EnsureStorageFolder(1)) << "the folder could not be made";
    EXPECT_TRUE(EnsureStorageFolder(1));
}

TEST_F(StorageLocationTest, AnEmptyMemoryFolderMovesNothing) {
    Open(0);
    fs::create_directories(root.Host(memory));
    root.MakeFile(card + "/position", "card points");
    config->SetValue(64, 1); // the page switched to the card
    ASSERT_TRUE(ChangeStorageLocation(0));
    EXPECT_TRUE(fs::is_directory(root.Host(memory)));
    EXPECT_EQ(root.Read(card + "/position"), "card points");
}

TEST_F(StorageLocationTest, SwitchingToTheCardMovesEveryFileAndKeepsTheNewSetting) {
    Open(0);
    root.MakeFile(memory + "/config.bin", SettingsFile(0));
    root.MakeFile(memory + "/position", "memory points");
    root.MakeFile(memory + "/SaveRoute/a.rt", "route");
    root.MakeFile(card + "/position", "older card points");
    root.MakeFile(card + "/config.bin", SettingsFile(1)); // what the page wrote
    config->SetValue(64, 1);
    ASSERT_TRUE(ChangeStorageLocation(0));
    EXPECT_FALSE(fs::exists(root.Host(memory)));
    EXPECT_EQ(root.Read(card + "/position"), "memory points") << "the same-named file is replaced";
    EXPECT_EQ(root.Read(card + "/SaveRoute/a.rt"), "route");
    // The old settings file came along; the one now there says "card".
    EXPECT_EQ(StoredLocation(root.Read(card + "/config.bin")), 1);
    EXPECT_EQ(config->GetValue(64), 1);
}

TEST_F(StorageLocationTest, AFailedMoveTakesEverythingBackToTheOldFolder) {
    Open(0);
    root.MakeFile(memory + "/config.bin", SettingsFile(0));
    root.MakeFile(memory + "/guidepoint", "safe points");
    root.MakeFile(memory + "/position", "memory points");
    root.MakeFile(card + "/config.bin", SettingsFile(1));
    config->SetValue(64, 1);
    FilesFailNextOperations(1, 1); // the first file moves, the second does not
    EXPECT_FALSE(ChangeStorageLocation(0));
    EXPECT_EQ(Listing(root.Host(memory)), (std::set<std::string>{"config.bin", "guidepoint", "position"}));
    EXPECT_EQ(root.Read(memory + "/guidepoint"), "safe points");
    EXPECT_EQ(root.Read(memory + "/position"), "memory points");
    EXPECT_EQ(config->GetValue(64), 0);
    EXPECT_EQ(StoredLocation(root.Read(memory + "/config.bin")), 0);
    EXPECT_EQ(Listing(root.Host(card)).count("guidepoint"), 0u);
    EXPECT_EQ(Listing(root.Host(card)).count("position"), 0u);
}

TEST_F(StorageLocationTest, TheOlderLayoutMovesIntoTheCurrentItems) {
    Open(9); // old points in "\My Documents\Velko\Position" and "\Flash Disk\Position"
    root.MakeFile("My Documents/Velko/Position", "first old points");
    root.MakeFile("Flash Disk/Position", "second old points");
    root.MakeFile("My Documents/Velko/guidepoint", "old safe points");
    root.MakeFile("Storage Card/MapData/SaveRoute/trip.rt", "old route");
    fs::create_directories(root.Host("Storage Card"));
    root.MakeFile(card + "/stock.bin", "current stocks");
    ASSERT_EQ(config->GetValue(64), 1);
    EXPECT_TRUE(MoveSavedDataFolders());
    EXPECT_EQ(root.Read(card + "/position"), "first old points");
    EXPECT_FALSE(fs::exists(root.Host("My Documents/Velko/Position")));
    EXPECT_EQ(root.Read("Flash Disk/Position"), "second old points") << "the other old file stays";
    EXPECT_EQ(root.Read(card + "/guidepoint"), "old safe points");
    EXPECT_EQ(root.Read(card + "/trip.rt"), "old route");
    // No old stock file: the current one stays.
    EXPECT_EQ(root.Read(card + "/stock.bin"), "current stocks");
}

} // namespace
