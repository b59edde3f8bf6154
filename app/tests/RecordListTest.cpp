#include "app/PosList.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "app/SelectedPoint.h"

#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
}

// A recent destination as stored: name 20 bytes, x, y, kind, three values.
std::string RecentBytes(const std::string& name, std::int32_t x, std::int32_t y, std::int32_t kind) {
    std::string s = name;
    s.resize(20, '\0');
    return s + Le32(x) + Le32(y) + Le32(kind) + Le32(1) + Le32(2) + Le32(3);
}

CRecentDestRecord Recent(const char* name, std::int32_t x, std::int32_t y) {
    CRecentDestRecord r;
    std::strncpy(r.name, name, 20);
    r.x = x;
    r.y = y;
    return r;
}

} // namespace

TEST(RecordLists, LoadTakesTheWholeRecordsOfAListOfAtMost2000) {
    TempRoot root;
    const std::string two = RecentBytes("home", 100, 200, 8) + RecentBytes("office", -5, 7, 2);
    struct Case {
        const char* what;
        std::string bytes;
        bool loads;
        int count;
    } cases[] = {
        {"count 0", Le32(0), true, 0},
        {"two records", Le32(2) + two, true, 2},
        {"2001 records claimed", Le32(2001) + two, false, 0},
        // A list cut short keeps the records that are whole in it.
        {"three claimed, two there", Le32(3) + two, true, 2},
        {"cut inside the second record", Le32(2) + two.substr(0, 60), true, 1},
        {"cut inside the first record", Le32(2) + two.substr(0, 10), true, 0},
        {"two claimed, none there", Le32(2), false, 0},
        {"negative count", Le32(-1) + two, false, 0},
        {"no count", std::string("\x01\x00", 2), false, 0},
        {"empty file", std::string(), false, 0},
    };
    for (const Case& c : cases) {
        root.MakeFile("DestPosition", c.bytes);
        CRecentDestList list;
        list.Add(Recent("stale", 1, 1));
        EXPECT_EQ(list.LoadFrom(u"\\DestPosition"), c.loads) << c.what;
        EXPECT_EQ(list.IsLoaded(), c.loads ? 1 : 0) << c.what;
        EXPECT_EQ(list.GetCount(), c.count) << c.what;
        EXPECT_EQ(list.GetAt(c.count), nullptr) << c.what;
    }
    root.MakeFile("DestPosition", Le32(2) + two);
    CRecentDestList list;
    ASSERT_TRUE(list.LoadFrom(u"DestPosition"));
    EXPECT_STREQ(list.GetAt(1)->name, "office");
    EXPECT_EQ(list.GetAt(1)->x, -5);
    EXPECT_EQ(list.GetAt(1)->y, 7);
    EXPECT_EQ(list.GetAt(1)->kind, 2);
    EXPECT_EQ(list.GetAt(0)->values[2], 3);
    // Saved back, the file is the same bytes.
    ASSERT_TRUE(list.SaveTo(u"Copy"));
    EXPECT_EQ(root.Read("Copy"), Le32(2) + two);
}

// A point added to a list whose file was cut inside a record is saved after the whole records
// that were before the cut.
TEST(RecordLists, AddingToACutListKeepsItsWholeRecords) {
    TempRoot root;
    const std::string home = RecentBytes("home", 100, 200, 8);
    root.MakeFile("DestPosition", Le32(3) + home + RecentBytes("office", -5, 7, 2).substr(0, 30));
    CRecentDestList list;
    ASSERT_TRUE(list.LoadFrom(u"\\DestPosition"));
    CRecentDestRecord added = Recent("park", 300, 400);
    added.kind = 5;
    added.values[0] = 1;
    added.values[1] = 2;
    added.values[2] = 3;
    ASSERT_TRUE(list.Add(added));
    ASSERT_TRUE(list.SaveTo(u"\\DestPosition"));
    EXPECT_EQ(root.Read("DestPosition"), Le32(2) + home + RecentBytes("park", 300, 400, 5));
}

TEST(RecordLists, AddStopsAt2000AndRemoveMatchesThePositionOnly) {
    CPosList list;
    CPosRecord r;
    for (int i = 0; i < 2000; ++i) {
        r.x = i;
        ASSERT_TRUE(list.Add(r));
    }
    r.x = 5000;
    EXPECT_FALSE(list.Add(r));
    EXPECT_EQ(list.GetCount(), 2000);

    CRecentDestList recent;
    recent.Add(Recent("a", 1, 2));
    recent.Add(Recent("b", 3, 4));
    recent.Add(Recent("c", 1, 2));
    EXPECT_TRUE(recent.Remove(Recent("other name", 1, 2)));
    EXPECT_EQ(recent.GetCount(), 2);
    EXPECT_STREQ(recent.GetAt(0)->name, "b");
    EXPECT_STREQ(recent.GetAt(1)->name, "c");
    EXPECT_EQ(recent.IsLoaded(), 1);
    EXPECT_FALSE(recent.Remove(Recent("b", 3, 5)));
    EXPECT_EQ(recent.GetCount(), 2);
}

TEST(RecordLists, SafePointsInPointFileCoordinatesAndTheShortNameForm) {
    TempRoot root;
    CSafePointList list;
    CSafePointRecord p;
    std::strcpy(p.name, "origin");
    p.x = 45000000;
    p.y = 11910000;
    list.Add(p);
    ASSERT_TRUE(list.SaveTo(u"guidepoint"));
    const std::string bytes = root.Read("guidepoint");
    ASSERT_EQ(bytes.size(), 4u + 36u);
    EXPECT_EQ(bytes.substr(24, 8), std::string(8, '\0')); // stored x and y

    // Mode 1: a 16-byte name, then the 32-bit value; both survive a save and a load.
    CSafePointList removed;
    removed.SetMode(1);
    CSafePointRecord q;
    std::memcpy(q.name, "ABCDEFGHIJKLMNOPQRST", 20);
    q.shortValue = 0x01020304;
    q.x = 45000000 + 9 * 1000;  // 2000 point-file units east
    q.y = 11910000 + 3 * 500;   // 500 north
    removed.Add(q);
    ASSERT_TRUE(removed.SaveTo(u"Dguidepoint"));
    const std::string shortForm = root.Read("Dguidepoint");
    EXPECT_EQ(shortForm.substr(4, 20), std::string("ABCDEFGHIJKLMNOP\x04\x03\x02\x01", 20));
    EXPECT_EQ(shortForm.substr(24, 8), Le32(2000) + Le32(500));
    CSafePointList again;
    again.SetMode(1);
    ASSERT_TRUE(again.LoadFrom(u"Dguidepoint"));
    EXPECT_EQ(std::string(again.GetAt(0)->name), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(again.GetAt(0)->shortValue, 0x01020304);
    EXPECT_EQ(again.GetAt(0)->form, 1);
    EXPECT_EQ(again.GetAt(0)->x, q.x);
    EXPECT_EQ(again.GetAt(0)->y, q.y);
}

TEST(RecordLists, AFailedSaveLeavesTheOldFileWhole) {
    TempRoot root;
    root.MakeFile("Velko/DestPosition", Le32(0));
    CRecentDestList list;
    list.Add(Recent("new", 1, 2));
    std::filesystem::create_directory(root.Host("Velko/DestPosition.new"));
    EXPECT_FALSE(list.SaveTo(u"Velko\\DestPosition"));
    EXPECT_EQ(root.Read("Velko/DestPosition"), Le32(0));
    EXPECT_EQ(list.IsLoaded(), 0);
}

TEST(SelectedPoint, ResetRestoresTheDefaultsAndAssignmentCopies) {
    CSelectedPoint a;
    EXPECT_EQ(a.type, 4);
    EXPECT_EQ(a.kind, 8);
    a.index = 3;
    a.type = 1;
    a.kind = 2;
    a.x = 10;
    a.y = -20;
    std::strcpy(a.name, "역");
    CSelectedPoint b;
    b = a;
    EXPECT_EQ(b.index, 3);
    EXPECT_EQ(b.y, -20);
    EXPECT_STREQ(b.name, "역");
    a.Reset();
    EXPECT_EQ(a.index, 0);
    EXPECT_EQ(a.type, 4);
    EXPECT_EQ(a.kind, 8);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.name[0], 0);
}
