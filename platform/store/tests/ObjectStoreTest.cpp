#include "platform/store/ObjectStore.h"

#include "platform/base/Handle.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

CEPROPID Prop(WORD id, WORD type) {
    return MAKELONG(type, id);
}

CEPROPVAL I4(WORD id, LONG value) {
    CEPROPVAL v{};
    v.propid = Prop(id, CEVT_I4);
    v.val.lVal = value;
    return v;
}

// Reads the given properties of the record at the seek position as 32-bit values (-999 missing).
std::vector<long> ReadI4(HANDLE db, std::vector<CEPROPID> ids, CEOID* oid = nullptr) {
    WORD count = static_cast<WORD>(ids.size());
    BYTE* buffer = nullptr;
    DWORD size = 0;
    const CEOID record = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, ids.data(), &buffer, &size);
    if (oid) *oid = record;
    std::vector<long> values;
    if (!record) return values;
    const CEPROPVAL* v = reinterpret_cast<const CEPROPVAL*>(buffer);
    for (WORD i = 0; i < count; ++i) {
        if (v[i].wFlags & CEDB_PROPNOTFOUND)
            values.push_back(-999);
        else if (TypeFromPropID(v[i].propid) == CEVT_I2)
            values.push_back(v[i].val.iVal);
        else
            values.push_back(v[i].val.lVal);
    }
    LocalFree(buffer);
    return values;
}

} // namespace

TEST(ObjectStore, CreateWriteReadDeleteAndDropADatabase) {
    TempRoot root;
    const SORTORDERSPEC sorts[] = {{Prop(1, CEVT_I4), 0}, {Prop(2, CEVT_I4), 0}, {Prop(3, CEVT_I4), 0},
                                   {Prop(4, CEVT_I4), 0}};
    const CEOID id = CeCreateDatabase(u"Velko900 Pilot1", 0, 4, sorts);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(CeCreateDatabase(u"velko900 PILOT1", 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DUP_NAME);
    const SORTORDERSPEC five[5] = {};
    EXPECT_EQ(CeCreateDatabase(u"Five", 0, 5, five), 0u);
    EXPECT_EQ(CeCreateDatabase(u"A name that is longer than thirty-two", 0, 0, nullptr), 0u);

    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, u"VELKO900 pilot1", 0, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    EXPECT_EQ(oid, id);
    // An empty database has no first record.
    EXPECT_TRUE(ReadI4(db, {Prop(1, CEVT_I4)}).empty());
    const CEPROPVAL values[] = {I4(1, 203143), I4(2, 531663), I4(3, 11), I4(4, -1)};
    const CEOID record = CeWriteRecordProps(db, 0, 4, values);
    ASSERT_NE(record, 0u);
    CEOID read = 0;
    EXPECT_EQ(ReadI4(db, {Prop(1, CEVT_I4), Prop(2, CEVT_I4), Prop(3, CEVT_I4), Prop(4, CEVT_I4), Prop(9, CEVT_I4)},
                     &read),
              (std::vector<long>{203143, 531663, 11, -1, -999}));
    EXPECT_EQ(read, record);
    CloseHandle(db);

    // A second handle, opened by id, sees the record; it is deleted and the database is empty.
    CEOID byId = id;
    db = CeOpenDatabase(&byId, nullptr, 0, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CeDeleteRecord(db, record));
    EXPECT_FALSE(CeDeleteRecord(db, record));
    EXPECT_TRUE(ReadI4(db, {Prop(1, CEVT_I4)}).empty());
    CloseHandle(db);

    EXPECT_TRUE(CeDeleteDatabase(id));
    EXPECT_FALSE(CeDeleteDatabase(id));
    CEOID again = 0;
    EXPECT_EQ(CeOpenDatabase(&again, u"Velko900 Pilot1", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(ObjectStore, ReadsAHandWrittenDatabaseFileAndRefusesABrokenOne) {
    TempRoot root;
    // Property 1 (I2) = -2 and property 2 (I2) = 300 in the first record; the text "A한" in the second.
    const unsigned p1 = (1u << 16) | CEVT_I2, p2 = (2u << 16) | CEVT_I2, p3 = (3u << 16) | CEVT_LPWSTR;
    const std::string head = "velko-cedb 1\nname Velko900 Config1\noid 1048577\ntype 0\nnext 3\n";
    const std::string first = "record 1\nprop " + std::to_string(p1) + " feff\nprop " + std::to_string(p2) + " 2c01\n";
    root.MakeFile("objectstore/velko900%20config1.cedb",
                  head + first + "record 2\nprop " + std::to_string(p3) + " 41005cd5\n");
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, u"Velko900 Config1", 0, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    EXPECT_EQ(oid, 1048577u);
    EXPECT_EQ(ReadI4(db, {p1, p2, (3u << 16) | CEVT_I2}), (std::vector<long>{-2, 300, -999}));
    ASSERT_EQ(CeSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr), 2u);
    WORD count = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    ASSERT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), 2u);
    ASSERT_EQ(count, 1);
    const CEPROPVAL* v = reinterpret_cast<const CEPROPVAL*>(buffer);
    EXPECT_EQ(std::u16string(v[0].val.lpwstr), u"A한");
    // Without leave to allocate, a block too small is refused and the needed size given.
    DWORD small = 8;
    BYTE tiny[8];
    BYTE* tinyPtr = tiny;
    count = 0;
    EXPECT_EQ(CeReadRecordProps(db, 0, &count, nullptr, &tinyPtr, &small), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(small, size);
    LocalFree(buffer);
    EXPECT_EQ(CeSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr), 0u);
    CloseHandle(db);
    // Broken files are refused as a whole.
    for (const std::string& broken :
         {head + first + "record 2\nprop " + std::to_string(p3) + " 41005c d5\n", head + "prop 1 00\n",
          head + first + "record 0\n", std::string("velko-cedb 2\nname Velko900 Config1\noid 1\n"),
          head + first + "prop " + std::to_string(p1) + " " + std::string(2 * 70000, '0') + "\n"}) {
        root.MakeFile("objectstore/velko900%20config1.cedb", broken);
        oid = 0;
        EXPECT_EQ(CeOpenDatabase(&oid, u"Velko900 Config1", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    }
}

TEST(ObjectStore, RecordsComeInTheOrderOfTheChosenSortProperty) {
    TempRoot root;
    const SORTORDERSPEC sorts[] = {{Prop(1, CEVT_I4), 0}, {Prop(2, CEVT_I4), CEDB_SORT_DESCENDING}};
    ASSERT_NE(CeCreateDatabase(u"Sorted", 0, 2, sorts), 0u);
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, u"Sorted", 0, 0, nullptr);
    for (auto [a, b] : {std::pair{5, 1}, std::pair{-3, 7}, std::pair{9, 4}}) {
        const CEPROPVAL values[] = {I4(1, a), I4(2, b)};
        ASSERT_NE(CeWriteRecordProps(db, 0, 2, values), 0u);
    }
    CloseHandle(db);
    auto firsts = [&](CEPROPID sortBy) {
        CEOID none = 0;
        HANDLE h = CeOpenDatabase(&none, u"Sorted", sortBy, CEDB_AUTOINCREMENT, nullptr);
        std::vector<long> out;
        for (;;) {
            std::vector<long> v = ReadI4(h, {Prop(1, CEVT_I4)});
            if (v.empty()) break;
            out.push_back(v[0]);
        }
        CloseHandle(h);
        return out;
    };
    EXPECT_EQ(firsts(0), (std::vector<long>{5, -3, 9}));
    EXPECT_EQ(firsts(Prop(1, CEVT_I4)), (std::vector<long>{-3, 5, 9}));
    EXPECT_EQ(firsts(Prop(2, CEVT_I4)), (std::vector<long>{-3, 9, 5}));
}
