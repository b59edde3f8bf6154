// Memory files answer opens for reading exactly as disk files do, under any spelling of their
// path, and leave every other open to the disk.
#include "platform/files/MemoryFiles.h"

#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Closer {
    HANDLE h;
    ~Closer() {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

HANDLE Open(const char16_t* name, DWORD access, DWORD creation) {
    return CreateFileW(name, access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Take(HANDLE h, DWORD n) {
    std::string text(n, '\0');
    DWORD got = 0;
    if (!ReadFile(h, text.data(), n, &got, nullptr)) return "<failed>";
    text.resize(got);
    return text;
}

class MemoryFilesTest : public ::testing::Test {
protected:
    ~MemoryFilesTest() override { MemoryFiles::Clear(); }
    TempRoot root;
};

TEST_F(MemoryFilesTest, ReadsSeeksAndSizesAsOnDisk) {
    const std::string bytes = "MEMORY-FILE-0123456789";
    ASSERT_TRUE(MemoryFiles::Put(u"\\MapData\\MRData\\MRLink.bin", bytes.data(), bytes.size()));
    // Other spellings of the same path: case, separators, "." and "..", relative to the root.
    for (const char16_t* name : {u"\\MapData\\MRData\\MRLink.bin", u"/mapdata/mrdata/MRLINK.BIN",
                                 u"MapData\\.\\Other\\..\\MRData\\mrlink.bin"}) {
        HANDLE h = Open(name, GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << TempRoot::Utf8(name);
        EXPECT_EQ(GetFileSize(h, nullptr), bytes.size());
        EXPECT_EQ(Take(h, 6), "MEMORY");
        EXPECT_EQ(SetFilePointer(h, -10, nullptr, FILE_END), bytes.size() - 10);
        EXPECT_EQ(Take(h, 100), "0123456789"); // a short read at the end
        EXPECT_EQ(Take(h, 4), "");             // then nothing
        DWORD written = 0;
        EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr)); // opened for reading only
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    // Two handles keep their own positions.
    HANDLE a = Open(u"\\MapData\\MRData\\MRLink.bin", GENERIC_READ, OPEN_EXISTING);
    HANDLE b = Open(u"\\MapData\\MRData\\MRLink.bin", GENERIC_READ, OPEN_EXISTING);
    Closer ca{a}, cb{b};
    EXPECT_EQ(Take(a, 7), "MEMORY-");
    EXPECT_EQ(Take(b, 3), "MEM");
    EXPECT_EQ(Take(a, 4), "FILE");
    // Nothing was written to disk.
    EXPECT_FALSE(root.Exists("MapData"));
}

TEST_F(MemoryFilesTest, AHandleAnswersEveryCallAsAHandleOnTheSameBytesOnDisk) {
    std::string bytes(5000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 253);
    root.MakeFile("twin.bin", bytes);
    ASSERT_TRUE(MemoryFiles::Put(u"\\mem.bin", bytes.data(), bytes.size()));
    HANDLE disk = Open(u"\\twin.bin", GENERIC_READ, OPEN_EXISTING);
    HANDLE memory = Open(u"\\mem.bin", GENERIC_READ, OPEN_EXISTING);
    Closer cd{disk}, cm{memory};
    ASSERT_NE(disk, INVALID_HANDLE_VALUE);
    ASSERT_NE(memory, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(root.Exists("mem.bin"));
    // Seeks (distance, high part or none, method) each followed by a read of some bytes.
    struct Step {
        LONG distance;
        bool withHigh;
        LONG high;
        DWORD method;
        DWORD read;
    };
    const Step steps[] = {
        {0, false, 0, FILE_CURRENT, 10},
        {100, false, 0, FILE_BEGIN, 4096},
        {-50, false, 0, FILE_CURRENT, 100},
        {-10, false, 0, FILE_END, 100},
        {0, false, 0, FILE_END, 5},
        {10, false, 0, FILE_END, 5},
        {-6000, false, 0, FILE_END, 5},
        {-1, false, 0, FILE_BEGIN, 5},
        {4999, false, 0, FILE_BEGIN, 1},
        {-1, false, 0, FILE_CURRENT, 0},
        {0x7FFFFFFF, false, 0, FILE_CURRENT, 3},
        {0x7FFFFFFF, false, 0, FILE_CURRENT, 3},
        {0, true, 1, FILE_BEGIN, 3},
        {-1, true, -1, FILE_CURRENT, 3},
        {0, false, 0, 7, 3},
        {2500, false, 0, FILE_BEGIN, 100000},
    };
    for (std::size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step& st = steps[i];
        LONG highDisk = st.high, highMemory = st.high;
        const DWORD posDisk = SetFilePointer(disk, st.distance, st.withHigh ? &highDisk : nullptr, st.method);
        const DWORD errDisk = GetLastError();
        const DWORD posMemory =
            SetFilePointer(memory, st.distance, st.withHigh ? &highMemory : nullptr, st.method);
        const DWORD errMemory = GetLastError();
        EXPECT_EQ(posMemory, posDisk) << "step " << i;
        EXPECT_EQ(errMemory, errDisk) << "step " << i;
        EXPECT_EQ(highMemory, highDisk) << "step " << i;
        if (st.withHigh) {
            // Back into the file for the following steps.
            SetFilePointer(disk, 0, nullptr, FILE_BEGIN);
            SetFilePointer(memory, 0, nullptr, FILE_BEGIN);
        }
        EXPECT_EQ(Take(memory, st.read), Take(disk, st.read)) << "step " << i;
        DWORD sizeHighDisk = 9, sizeHighMemory = 9;
        EXPECT_EQ(GetFileSize(memory, &sizeHighMemory), GetFileSize(disk, &sizeHighDisk));
        EXPECT_EQ(sizeHighMemory, sizeHighDisk);
    }
}

TEST_F(MemoryFilesTest, AnEmptyFileAndAReplacedOne) {
    ASSERT_TRUE(MemoryFiles::Put(u"\\e.bin", nullptr, 0));
    {
        HANDLE h = Open(u"\\e.bin", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetFileSize(h, nullptr), 0u);
        EXPECT_EQ(Take(h, 4), "");
    }
    HANDLE before = Open(u"\\e.bin", GENERIC_READ, OPEN_EXISTING);
    Closer cb{before};
    ASSERT_TRUE(MemoryFiles::Put(u"\\E.BIN", "abc", 3));
    HANDLE after = Open(u"\\e.bin", GENERIC_READ, OPEN_EXISTING);
    Closer ca{after};
    EXPECT_EQ(Take(before, 4), ""); // a handle keeps the content it was opened on
    EXPECT_EQ(Take(after, 4), "abc");
    EXPECT_FALSE(MemoryFiles::Put(u"\\", "x", 1)); // no file name
    EXPECT_FALSE(MemoryFiles::Put(u"a\\..", "x", 1));
}

TEST_F(MemoryFilesTest, WritingOpensAndOtherPathsReachTheDisk) {
    root.MakeFile("data.bin", "on disk");
    root.MakeFile("other.bin", "other");
    ASSERT_TRUE(MemoryFiles::Put(u"\\data.bin", "in memory", 9));
    {
        HANDLE h = Open(u"\\data.bin", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        EXPECT_EQ(Take(h, 20), "in memory"); // the memory file stands in front of the disk
    }
    {
        HANDLE h = Open(u"\\other.bin", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        EXPECT_EQ(Take(h, 20), "other");
    }
    {
        HANDLE h = Open(u"\\data.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Take(h, 20), "on disk"); // an open that may write is the disk's
    }
    {
        HANDLE h = Open(u"\\missing.bin", GENERIC_READ, OPEN_EXISTING);
        EXPECT_EQ(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    EXPECT_TRUE(MemoryFiles::Remove(u"/DATA.bin"));
    EXPECT_FALSE(MemoryFiles::Remove(u"\\data.bin"));
    HANDLE h = Open(u"\\data.bin", GENERIC_READ, OPEN_EXISTING);
    Closer c{h};
    EXPECT_EQ(Take(h, 20), "on disk");
}

} // namespace
