// The registered-point store on fixture storage folders written byte by byte: the folders found,
// points read, files written, folders renamed and deleted, and the damaged or failing cases that
// must neither crash nor lose a file.
#include "app/PositionStore.h"

#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

struct Point {
    std::string name; // UTF-8, stored in CP949
    std::int32_t x;
    std::int32_t y;
    std::uint8_t voice = 0;
    std::uint8_t symbol = 0;
};

void Le32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A point file: the count, then 30 bytes a point (20-byte name, x, y, voice, symbol).
std::string PointFile(std::int32_t count, const std::vector<Point>& points) {
    std::string out;
    Le32(out, static_cast<std::uint32_t>(count));
    for (const Point& p : points) {
        std::string name = Utf8ToCp949(p.name);
        name.resize(20, '\0');
        out += name;
        Le32(out, static_cast<std::uint32_t>(p.x));
        Le32(out, static_cast<std::uint32_t>(p.y));
        out.push_back(static_cast<char>(p.voice));
        out.push_back(static_cast<char>(p.symbol));
    }
    return out;
}

CPosRecord Record(const std::string& name, std::int32_t x, std::int32_t y) {
    CPosRecord r;
    const std::string bytes = Utf8ToCp949(name);
    std::memcpy(r.name, bytes.data(), std::min<std::size_t>(bytes.size(), 20));
    r.x = x;
    r.y = y;
    return r;
}

std::vector<std::string> Names(const CPositionStore& store) {
    std::vector<std::string> out;
    for (const CString& n : store.GetFolderNames()) out.push_back(Utf16ToUtf8(n.GetString()));
    return out;
}

class PositionStoreTest : public ::testing::Test {
protected:
    void SetUp() override { store.SetBaseFolder(u"\\VelkoData"); }
    void TearDown() override { FilesFailNextOperations(0); }
    void Make(const std::string& file, const std::string& bytes) { root.MakeFile("VelkoData/" + file, bytes); }
    std::string Bytes(const std::string& file) { return root.Read("VelkoData/" + file); }
    bool Has(const std::string& file) { return std::filesystem::exists(root.Host("VelkoData/" + file)); }

    TempRoot root;
    CPositionStore store;
    const Point home{"집", 45720000, 13500000, 1, 4};
    const Point office{"회사", 45730000, 13510000, 0, 3};
    const Point station{"나루역", 45740000, 13520000, 2, 7};
};

TEST_F(PositionStoreTest, FindsTheFoldersOfTheStorageFolder) {
    EXPECT_FALSE(store.Reload()) << "no point file at all";
    EXPECT_TRUE(Names(store).empty());

    Make("Position", PointFile(0, {}));
    ASSERT_TRUE(store.Reload());
    EXPECT_EQ(Names(store), (std::vector<std::string>{"기본"}));

    // The default folder first, the others in name order; files that cannot be a folder's file
    // ("a.b.pos", ".pos") and other files are not folders.
    Make("Work.pos", PointFile(1, {office}));
    Make("Trip.pos", PointFile(0, {}));
    Make("a.b.pos", PointFile(0, {}));
    Make(".pos", PointFile(0, {}));
    Make("notes.txt", "x");
    ASSERT_TRUE(store.Reload());
    EXPECT_EQ(Names(store), (std::vector<std::string>{"기본", "Trip", "Work"}));
    EXPECT_EQ(store.GetCount(), 1);
    EXPECT_FALSE(Has("a.pos")) << "no file invented for a name cut at its full stop";
}

TEST_F(PositionStoreTest, ReadsEveryPointOfEveryFolder) {
    Make("Position", PointFile(2, {home, station})); // 64 bytes
    ASSERT_EQ(Bytes("Position").size(), 64u);
    Make("Work.pos", PointFile(1, {office}));
    ASSERT_TRUE(store.Reload());
    EXPECT_EQ(store.GetCount(), 3);
    const CPosList* basic = store.GetFolder(u"기본");
    ASSERT_NE(basic, nullptr);
    ASSERT_EQ(basic->GetCount(), 2);
    const CPosRecord* first = basic->GetAt(0);
    EXPECT_EQ(Cp949ToUtf8(first->name), "집");
    EXPECT_EQ(first->x, 45720000);
    EXPECT_EQ(first->y, 13500000);
    EXPECT_EQ(first->value1, 1);
    EXPECT_EQ(first->value2, 4);
    EXPECT_EQ(Cp949ToUtf8(basic->GetAt(1)->name), "나루역");
    // The aggregate holds the folders' points in folder order.
    ASSERT_EQ(store.GetAll().size(), 3u);
    EXPECT_EQ(Cp949ToUtf8(store.GetAll()[2].name), "회사");
    CPosRecord probe = Record("", station.x, station.y);
    EXPECT_TRUE(store.Find(u"기본", probe));
    EXPECT_EQ(Cp949ToUtf8(probe.name), "나루역");
    EXPECT_EQ(probe.value2, 7);
    // Loading a loaded folder again adds nothing.
    EXPECT_TRUE(store.LoadFolder(u"기본"));
    EXPECT_EQ(store.GetCount(), 3);
}

TEST_F(PositionStoreTest, DamagedFilesGiveEmptyFoldersAndStayAsTheyAre) {
    struct Case {
        const char* what;
        std::string bytes;
        int points;
        bool readOnly;
    };
    const Case cases[] = {
        {"count -1", PointFile(-1, {home}), 0, true},
        {"count 9999", PointFile(9999, {home}), 0, true},
        {"3 bytes", std::string("\x01\x00\x00", 3), 0, true},
        {"count 0", PointFile(0, {}), 0, false},
        // Count 3 with two records: the two that are there.
        {"count above the records", PointFile(3, {home, station}), 2, false},
        // A trailing part of a record is not a point.
        {"a part record", PointFile(2, {home, station}).substr(0, 50), 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Make("Position", c.bytes);
        ASSERT_TRUE(store.Reload());
        EXPECT_EQ(store.GetCount(), c.points);
        EXPECT_EQ(store.IsReadOnly(u"기본"), c.readOnly);
        if (c.readOnly) {
            EXPECT_FALSE(store.Add(u"기본", Record("새곳", 1, 2)));
            EXPECT_FALSE(store.SaveAll());
        }
        EXPECT_EQ(Bytes("Position"), c.bytes) << "never rewritten on loading";
    }
    // "Position" being a folder: the folder is listed, empty, and nothing is written.
    std::filesystem::remove(root.Host("VelkoData/Position"));
    std::filesystem::create_directories(root.Host("VelkoData/Position"));
    ASSERT_TRUE(store.Reload());
    EXPECT_EQ(Names(store), (std::vector<std::string>{"기본"}));
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_FALSE(store.Add(u"기본", Record("새곳", 1, 2)));
    EXPECT_TRUE(std::filesystem::is_directory(root.Host("VelkoData/Position")));
}

TEST_F(PositionStoreTest, AddingAndRemovingWriteTheFolderFile) {
    Make("Position", PointFile(2, {home, station}));
    ASSERT_TRUE(store.Reload());
    // A folder without a file gets one with its first point.
    ASSERT_TRUE(store.AddFolderName(u"Trip"));
    ASSERT_TRUE(store.Add(u"Trip", Record("회사", office.x, office.y)));
    std::string expected = PointFile(1, {{"회사", office.x, office.y, 0, 0}});
    EXPECT_EQ(Bytes("Trip.pos"), expected);
    EXPECT_EQ(store.GetCount(), 3);

    // Two points at the same place: the row chosen goes, not the first at its x and y.
    ASSERT_TRUE(store.Add(u"기본", Record("나루역 앞", station.x, station.y)));
    EXPECT_EQ(Bytes("Position"), PointFile(3, {home, station, {"나루역 앞", station.x, station.y, 0, 0}}));
    ASSERT_TRUE(store.RemoveAt(u"기본", 2));
    EXPECT_EQ(Bytes("Position"), PointFile(2, {home, station}));
    EXPECT_EQ(store.GetCount(), 3);
    for (const CPosRecord& r : store.GetAll()) EXPECT_NE(Cp949ToUtf8(r.name), "나루역 앞");
    EXPECT_FALSE(store.RemoveAt(u"기본", 2)) << "no such row";
    ASSERT_TRUE(store.Remove(u"기본", Record("집", home.x, home.y)));
    EXPECT_EQ(Bytes("Position"), PointFile(1, {station}));
    EXPECT_EQ(store.GetCount(), 2);
}

TEST_F(PositionStoreTest, AFailedWriteChangesNothing) {
    Make("Position", PointFile(2, {home, station}));
    ASSERT_TRUE(store.Reload());
    const std::string before = Bytes("Position");
    FilesFailNextOperations(1);
    EXPECT_FALSE(store.Add(u"기본", Record("새곳", 1, 2)));
    EXPECT_EQ(store.GetFolder(u"기본")->GetCount(), 2);
    EXPECT_EQ(store.GetCount(), 2);
    FilesFailNextOperations(1);
    EXPECT_FALSE(store.RemoveAt(u"기본", 0));
    EXPECT_EQ(store.GetFolder(u"기본")->GetCount(), 2);
    EXPECT_EQ(Cp949ToUtf8(store.GetFolder(u"기본")->GetAt(0)->name), "집");
    EXPECT_EQ(store.GetCount(), 2);
    EXPECT_EQ(Bytes("Position"), before);
    EXPECT_FALSE(Has("Position.new"));
}

TEST_F(PositionStoreTest, TheLimitOf2000PointsCountsEveryFolder) {
    std::vector<Point> many;
    for (int i = 0; i < 1000; ++i) many.push_back({"p", 45000000 + i, 13000000, 0, 0});
    Make("Position", PointFile(1000, many));
    Make("Work.pos", PointFile(999, std::vector<Point>(many.begin(), many.begin() + 999)));
    ASSERT_TRUE(store.Reload());
    EXPECT_EQ(store.GetCount(), 1999);
    EXPECT_TRUE(store.Add(u"Work", Record("끝", 1, 1)));
    EXPECT_EQ(store.GetCount(), 2000);
    EXPECT_FALSE(store.Add(u"기본", Record("넘침", 2, 2)));
    EXPECT_FALSE(store.Add(u"New", Record("넘침", 2, 2)));
    EXPECT_EQ(store.GetCount(), 2000);
    EXPECT_FALSE(Has("New.pos"));
}

TEST_F(PositionStoreTest, RenamingAndDeletingFolders) {
    Make("Position", PointFile(1, {home}));
    const std::string work = PointFile(1, {office});
    Make("Work.pos", work);
    Make("Trip.pos", PointFile(1, {station}));
    ASSERT_TRUE(store.Reload());

    EXPECT_TRUE(store.RenameFolder(u"Work", u"Work")) << "its own name: nothing";
    ASSERT_TRUE(store.RenameFolder(u"Work", u"Job"));
    EXPECT_EQ(Bytes("Job.pos"), work);
    EXPECT_FALSE(Has("Work.pos"));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"기본", "Job", "Trip"}));
    EXPECT_EQ(store.GetCount(), 3);

    // Refused: onto another folder, onto the default folder, and names that are not file names.
    for (const char16_t* bad : {u"Trip", u"TRIP", u"기본", u"a.b", u"..\\x", u"x/y", u" x", u"x*"}) {
        SCOPED_TRACE(Utf16ToUtf8(bad));
        EXPECT_FALSE(store.RenameFolder(u"Job", bad));
        EXPECT_EQ(Bytes("Job.pos"), work);
        EXPECT_EQ(Bytes("Trip.pos"), PointFile(1, {station}));
        EXPECT_FALSE(store.AddFolderName(bad));
    }
    EXPECT_FALSE(store.AddFolderName(u"Job")) << "a name in use";
    EXPECT_EQ(store.GetFolder(u"a.b"), nullptr);

    ASSERT_TRUE(store.DeleteFolder(u"Job"));
    EXPECT_FALSE(Has("Job.pos"));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"기본", "Trip"}));
    EXPECT_EQ(store.GetCount(), 2);
    // The default folder's file is "Position".
    ASSERT_TRUE(store.DeleteFolder(u"기본"));
    EXPECT_FALSE(Has("Position"));
    EXPECT_EQ(store.GetCount(), 1);
}

} // namespace
