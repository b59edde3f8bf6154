#include "platform/files/Files.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Closes a handle at the end of a scope.
struct Closer {
    HANDLE h;
    ~Closer() {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

HANDLE Open(const char16_t* name, DWORD access, DWORD creation) {
    return CreateFileW(name, access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(HANDLE h) {
    std::string text;
    char buffer[7]; // small on purpose: several calls per file
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

bool WriteText(HANDLE h, const std::string& text) {
    DWORD written = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// Every entry FindFirstFileW/FindNextFileW report for pattern: name -> attributes.
std::map<std::string, DWORD> List(const char16_t* pattern) {
    std::map<std::string, DWORD> entries;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        entries[Utf16ToUtf8(data.cFileName)] = data.dwFileAttributes;
    } while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(find));
    return entries;
}

std::set<std::string> HostNames(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

class FilesTest : public ::testing::Test {
protected:
    TempRoot root;
};

TEST_F(FilesTest, MixedCasePathOpensTheExistingFile) {
    root.MakeFile("Storage Card/MapData/Color/color.bin", "COLORDATA");
    {
        HANDLE h = Open(u"\\Storage Card\\mapdata\\COLOR\\Color.bin", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadAll(h), "COLORDATA");
    }
    {
        // Rewriting through another spelling reaches the same file; no second folder appears.
        HANDLE h = Open(u"\\STORAGE CARD\\MapData\\color\\COLOR.BIN", GENERIC_WRITE, CREATE_ALWAYS);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(WriteText(h, "new"));
    }
    EXPECT_EQ(root.Read("Storage Card/MapData/Color/color.bin"), "new");
    EXPECT_EQ(HostNames(root.Path()), std::set<std::string>{"Storage Card"});
    {
        // A new file goes into the existing folders, with its own name as given.
        HANDLE h = Open(u"\\storage card\\MAPDATA\\color\\Day.bin", GENERIC_WRITE, CREATE_NEW);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(HostNames(root.Host("Storage Card/MapData/Color")),
              (std::set<std::string>{"Day.bin", "color.bin"}));
}

TEST_F(FilesTest, RelativePathIsUnderTheRoot) {
    {
        HANDLE h = Open(u"./ErrorLog.txt", GENERIC_WRITE, OPEN_ALWAYS);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(WriteText(h, "log"));
    }
    EXPECT_EQ(root.Read("ErrorLog.txt"), "log");
}

TEST_F(FilesTest, DotDotNeverLeavesTheRoot) {
    const fs::path outside = fs::path(root.Path()).parent_path() / "escape.txt";
    const bool existedOutside = fs::exists(outside);
    HANDLE h = Open(u"..\\..\\..\\escape.txt", GENERIC_WRITE, CREATE_NEW);
    Closer c{h};
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(root.Exists("escape.txt"));
    EXPECT_EQ(fs::exists(outside), existedOutside);
}

TEST_F(FilesTest, NamesTheDeviceCannotHoldAreRefused) {
    root.MakeFile("a.pos", "a");
    for (const char16_t* name :
         {u"\\*.pos", u"\\a?.pos", u"COM1:", u"\\a|b", u"\\a<b", u"\\a\"b", u"\\a\tb"}) {
        SCOPED_TRACE(TempRoot::Utf8(name));
        EXPECT_EQ(Open(name, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
        EXPECT_FALSE(CreateDirectoryW(name, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
        EXPECT_FALSE(DeleteFileW(name));
        EXPECT_FALSE(CopyFileW(u"\\a.pos", name, FALSE));
        EXPECT_FALSE(MoveFileW(u"\\a.pos", name));
    }
    EXPECT_EQ(HostNames(root.Path()), std::set<std::string>{"a.pos"});
}

TEST_F(FilesTest, CreationModes) {
    struct Case {
        DWORD creation;
        bool existsBefore;
        bool opens;
        DWORD error;         // last error after the call
        const char* content; // file content afterwards, nullptr when there is no file
    };
    const Case cases[] = {
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "hello"},
        {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {OPEN_EXISTING, true, true, ERROR_SUCCESS, "hello"},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "hello"},
        {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {0, true, false, ERROR_INVALID_PARAMETER, "hello"},
        {6, true, false, ERROR_INVALID_PARAMETER, "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "creation " << c.creation << (c.existsBefore ? " existing" : " missing"));
        fs::remove(root.Host("f.bin"));
        fs::remove(root.Host("F.BIN"));
        if (c.existsBefore) root.MakeFile("f.bin", "hello");
        SetLastError(12345);
        HANDLE h = Open(u"\\F.BIN", GENERIC_READ | GENERIC_WRITE, c.creation);
        const DWORD error = GetLastError();
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
        EXPECT_EQ(error, c.error);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        // An existing file is used under its own name; a new one gets the name as given.
        const std::string expectedName = c.existsBefore ? "f.bin" : "F.BIN";
        if (c.content) {
            EXPECT_EQ(HostNames(root.Path()), std::set<std::string>{expectedName});
            EXPECT_EQ(root.Read(expectedName), c.content);
        } else {
            EXPECT_TRUE(HostNames(root.Path()).empty());
        }
    }
}

TEST_F(FilesTest, OpenFailuresTellFileFromFolder) {
    HANDLE h = Open(u"\\Missing Folder\\a.bin", GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    h = Open(u"\\Missing Folder\\a.bin", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    fs::create_directories(root.Host("Folder"));
    h = Open(u"\\folder", GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(nullptr, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Truncation needs write access.
    root.MakeFile("t.bin", "keep");
    EXPECT_EQ(Open(u"\\t.bin", GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(root.Read("t.bin"), "keep");
}

TEST_F(FilesTest, ReadWriteAndSeek) {
    HANDLE h = Open(u"\\data.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    Closer c{h};
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteText(h, "0123456789"));
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(h, &high), 10u);
    EXPECT_EQ(high, 0u);

    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
    char buffer[16] = {};
    DWORD got = 99;
    ASSERT_TRUE(ReadFile(h, buffer, 4, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "0123");
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &got, nullptr)); // fewer bytes than asked
    EXPECT_EQ(std::string(buffer, got), "456789");
    got = 99;
    EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &got, nullptr)); // end of file: success, 0 bytes
    EXPECT_EQ(got, 0u);

    EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_END), 7u);
    EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_CURRENT), 8u);
    EXPECT_EQ(SetFilePointer(h, -9, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 8u); // unchanged by the failed move
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // Overwrite in the middle, then cut the file at the position.
    EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_BEGIN), 2u);
    ASSERT_TRUE(WriteText(h, "ab"));
    EXPECT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(GetFileSize(h, nullptr), 4u);
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_EQ(root.Read("data.bin"), "01ab");
}

TEST_F(FilesTest, SeekWithTheHighPart) {
    HANDLE h = Open(u"\\big.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    Closer c{h};
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LONG high = 1; // 4 GiB + 16
    EXPECT_EQ(SetFilePointer(h, 0x10, &high, FILE_BEGIN), 0x10u);
    EXPECT_EQ(high, 1);
    LONG again = 0;
    EXPECT_EQ(SetFilePointer(h, 0, &again, FILE_CURRENT), 0x10u);
    EXPECT_EQ(again, 1);
    // Without the high part a position beyond 32 bits cannot be reported.
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    // A negative 64-bit distance: back 0x20 from 4 GiB + 16 is 0xFFFFFFF0.
    LONG back = -1;
    EXPECT_EQ(SetFilePointer(h, -0x20, &back, FILE_CURRENT), 0xFFFFFFF0u);
    EXPECT_EQ(back, 0);
    // A write at 4 GiB + 16 makes the (sparse) file 4 GiB + 17 bytes long.
    high = 1;
    SetFilePointer(h, 0x10, &high, FILE_BEGIN);
    ASSERT_TRUE(WriteText(h, "x"));
    DWORD sizeHigh = 0;
    EXPECT_EQ(GetFileSize(h, &sizeHigh), 0x11u);
    EXPECT_EQ(sizeHigh, 1u);
}

TEST_F(FilesTest, AccessModesLimitReadsAndWrites) {
    root.MakeFile("abc.bin", "abc");
    char buffer[8];
    DWORD done = 99;
    {
        HANDLE h = Open(u"\\abc.bin", 0, OPEN_EXISTING); // no data access
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(done, 0u);
        EXPECT_FALSE(WriteFile(h, "zz", 2, &done, nullptr));
        EXPECT_EQ(GetFileSize(h, nullptr), 3u);
    }
    {
        HANDLE h = Open(u"\\abc.bin", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        EXPECT_FALSE(WriteFile(h, "zz", 2, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_FALSE(SetEndOfFile(h));
    }
    {
        HANDLE h = Open(u"\\abc.bin", GENERIC_WRITE, OPEN_EXISTING);
        Closer c{h};
        EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(root.Read("abc.bin"), "abc");
}

class NotAFile : public KernelObject {};

TEST_F(FilesTest, HandlesThatAreNotFilesAreRefused) {
    root.MakeFile("a.txt", "a");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    HANDLE other = ToHandle(new NotAFile);
    char buffer[4];
    DWORD done = 0;
    for (HANDLE h : {HANDLE(nullptr), INVALID_HANDLE_VALUE, find, other}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(h, buffer, 4, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(WriteFile(h, buffer, 4, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    HANDLE file = Open(u"\\a.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_FALSE(FindNextFileW(file, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_TRUE(FindClose(find));
    EXPECT_TRUE(CloseHandle(other));
}

TEST_F(FilesTest, RootListingMarksTheCardFolder) {
    fs::create_directories(root.Host("Storage Card/MapData"));
    fs::create_directories(root.Host("My Documents"));
    root.MakeFile("readme.txt", "r");
    const std::map<std::string, DWORD> expected = {
        {"Storage Card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
        {"My Documents", FILE_ATTRIBUTE_DIRECTORY},
        {"readme.txt", FILE_ATTRIBUTE_ARCHIVE},
    };
    EXPECT_EQ(List(u"\\*"), expected);
    EXPECT_EQ(List(u"/*.*"), expected);
    EXPECT_EQ(GetFileAttributesW(u"\\storage card"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
    // Folders inside a card are plain folders.
    EXPECT_EQ(List(u"\\Storage Card\\*"),
              (std::map<std::string, DWORD>{{"MapData", FILE_ATTRIBUTE_DIRECTORY}}));
    EXPECT_EQ(GetFileAttributesW(u"\\Storage Card\\mapdata"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FilesTest, CardLinesNameTheCards) {
    root.MakeFile("device.ini", "card=SD Card\ncard=CF Card\n");
    DeviceRoot::ReloadSettings();
    fs::create_directories(root.Host("sd card/Sub"));
    fs::create_directories(root.Host("CF Card"));
    fs::create_directories(root.Host("Storage Card"));
    const std::map<std::string, DWORD> expected = {
        {"sd card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
        {"CF Card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
        {"Storage Card", FILE_ATTRIBUTE_DIRECTORY},
        {"device.ini", FILE_ATTRIBUTE_ARCHIVE},
    };
    EXPECT_EQ(List(u"\\*"), expected);
    EXPECT_EQ(List(u"\\SD Card\\*"), (std::map<std::string, DWORD>{{"Sub", FILE_ATTRIBUTE_DIRECTORY}}));
}

TEST(Wildcards, MatchAsWindowsDoes) {
    struct Case {
        const char16_t* pattern;
        const char16_t* name;
        bool matches;
    };
    const Case cases[] = {
        {u"*", u"abc", true},
        {u"*.*", u"abc", true}, // no dot at all
        {u"*.*", u"a.b", true},
        {u"*.*", u"a.b.c", true},
        {u"*.*", u".hidden", true},
        {u"*.pos", u"home.pos", true},
        {u"*.pos", u"HOME.POS", true},
        {u"*.POS", u"home.pos", true},
        {u"*.pos", u".pos", true},
        {u"*.pos", u"pos", false},
        {u"*.pos", u"home.pos.bak", false},
        {u"*.pos", u"home.posx", false},
        {u"*.pos", u"homepos", false},
        {u"*R.vkp", u"homeR.vkp", true},
        {u"*R.vkp", u"homer.VKP", true},
        {u"abc.*", u"abc", true},
        {u"abc.*", u"abc.txt", true},
        {u"abc.*", u"abcd", false},
        {u"?.txt", u"a.txt", true},
        {u"?.txt", u"ab.txt", false},
        {u"?.txt", u".txt", false},
        {u"a?c", u"abc", true},
        {u"a?c", u"aXc", true},
        {u"a?c", u"ac", false},
        {u"a?c", u"abbc", false},
        {u"*a*b", u"xaYbZb", true},
        {u"*a*b", u"xaYbZc", false},
        {u"MRData", u"mrdata", true},
        {u"MRData", u"mrdata2", false},
        {u"*.pos", u"집.pos", true},
        {u"집*", u"집앞.pos", true},
        {u"집?.pos", u"집앞.pos", true},
        {u"집*", u"앞집", false},
        {u"", u"a", false},
        {u"*", u"", true},
        {u"**.*", u"x", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
            << TempRoot::Utf8(c.pattern) << " vs " << TempRoot::Utf8(c.name);
    EXPECT_FALSE(MatchesWildcard(nullptr, u"a"));
    EXPECT_FALSE(MatchesWildcard(u"*", nullptr));
}

TEST_F(FilesTest, ListingFiltersByPatternAndNeverReportsDotEntries) {
    for (const char* name : {"Home.pos", "office.POS", ".pos", "notes.txt", "pos", "a.pos.bak"})
        root.MakeFile(std::string("My Documents/Velko/") + name, "12345");
    const std::map<std::string, DWORD> pos = List(u"\\my documents\\VELKO\\*.pos");
    EXPECT_EQ(pos.size(), 3u);
    EXPECT_TRUE(pos.count("Home.pos") && pos.count("office.POS") && pos.count(".pos"));

    for (const char16_t* pattern : {u"\\My Documents\\Velko\\*", u"\\My Documents\\Velko\\*.*",
                                    u"\\My Documents\\Velko\\.*", u"\\My Documents\\Velko\\?"}) {
        const std::map<std::string, DWORD> all = List(pattern);
        EXPECT_EQ(all.count("."), 0u);
        EXPECT_EQ(all.count(".."), 0u);
    }
    EXPECT_EQ(List(u"\\My Documents\\Velko\\*").size(), 6u);

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\My Documents\\Velko\\NOTES.TXT", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"notes.txt");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(find);

    EXPECT_EQ(FindFirstFileW(u"\\My Documents\\Velko\\*.xyz", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileW(u"\\Nowhere\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, DeleteFile) {
    root.MakeFile("Dir/Victim.bin", "v");
    EXPECT_TRUE(DeleteFileW(u"\\dir\\victim.BIN"));
    EXPECT_FALSE(root.Exists("Dir/Victim.bin"));
    EXPECT_FALSE(DeleteFileW(u"\\dir\\victim.BIN"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileW(u"\\nodir\\victim.BIN"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(DeleteFileW(u"\\Dir"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(root.Exists("Dir"));
}

TEST_F(FilesTest, Folders) {
    EXPECT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr));
    EXPECT_TRUE(CreateDirectoryW(u"\\my documents\\Velko", nullptr));
    EXPECT_TRUE(fs::is_directory(root.Host("My Documents/Velko")));
    EXPECT_FALSE(CreateDirectoryW(u"\\MY DOCUMENTS", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\Missing\\Sub", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_FALSE(RemoveDirectoryW(u"\\My Documents"));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    root.MakeFile("plain.txt", "p");
    EXPECT_FALSE(RemoveDirectoryW(u"\\plain.txt"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_FALSE(RemoveDirectoryW(u"\\"));
    EXPECT_TRUE(fs::is_directory(root.Path()));
    EXPECT_TRUE(RemoveDirectoryW(u"\\My Documents\\VELKO"));
    EXPECT_FALSE(root.Exists("My Documents/Velko"));

    EXPECT_EQ(GetFileAttributesW(u"\\My Documents"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"\\plain.txt"), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(GetFileAttributesW(u"\\nothing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, CopyFile) {
    root.MakeFile("src.bin", "alpha");
    root.MakeFile("dst.bin", "beta");
    EXPECT_FALSE(CopyFileW(u"\\src.bin", u"\\DST.BIN", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(root.Read("dst.bin"), "beta");

    EXPECT_TRUE(CopyFileW(u"\\src.bin", u"\\DST.BIN", FALSE));
    EXPECT_EQ(root.Read("dst.bin"), "alpha");
    EXPECT_EQ(root.Read("src.bin"), "alpha");

    EXPECT_TRUE(CopyFileW(u"\\SRC.bin", u"\\new.bin", TRUE));
    EXPECT_EQ(root.Read("new.bin"), "alpha");

    // A copy onto itself must not empty the file.
    EXPECT_FALSE(CopyFileW(u"\\src.bin", u"\\Src.BIN", FALSE));
    EXPECT_EQ(root.Read("src.bin"), "alpha");

    EXPECT_FALSE(CopyFileW(u"\\missing.bin", u"\\x.bin", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CopyFileW(u"\\src.bin", u"\\nodir\\x.bin", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    // No temporary files are left behind.
    EXPECT_EQ(HostNames(root.Path()), (std::set<std::string>{"src.bin", "dst.bin", "new.bin"}));
}

TEST_F(FilesTest, MoveFileAndReplace) {
    root.MakeFile("a.bin", "new");
    root.MakeFile("b.bin", "old");
    EXPECT_FALSE(MoveFileW(u"\\a.bin", u"\\B.bin"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(root.Read("a.bin"), "new");
    EXPECT_EQ(root.Read("b.bin"), "old");
    EXPECT_FALSE(MoveFileExW(u"\\a.bin", u"\\B.bin", 0));

    EXPECT_TRUE(MoveFileExW(u"\\a.bin", u"\\B.bin", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(root.Read("b.bin"), "new");
    EXPECT_FALSE(root.Exists("a.bin"));
    EXPECT_FALSE(root.Exists("B.bin"));

    EXPECT_FALSE(MoveFileW(u"\\a.bin", u"\\c.bin"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    EXPECT_TRUE(MoveFileW(u"\\b.bin", u"\\c.bin"));
    EXPECT_EQ(root.Read("c.bin"), "new");
    // Only the case changes.
    EXPECT_TRUE(MoveFileW(u"\\c.bin", u"\\C.BIN"));
    EXPECT_EQ(HostNames(root.Path()), std::set<std::string>{"C.BIN"});
}

TEST_F(FilesTest, MoveFolder) {
    root.MakeFile("My Documents/Velko/Routes/a.vkp", "A");
    root.MakeFile("My Documents/Velko/Routes/sub/b.vkp", "B");
    EXPECT_TRUE(MoveFileW(u"\\my documents\\velko\\routes", u"\\My Documents\\Velko\\Saved"));
    EXPECT_FALSE(root.Exists("My Documents/Velko/Routes"));
    EXPECT_EQ(root.Read("My Documents/Velko/Saved/a.vkp"), "A");
    EXPECT_EQ(root.Read("My Documents/Velko/Saved/sub/b.vkp"), "B");

    // A folder cannot move into itself, and an existing folder is never replaced.
    EXPECT_FALSE(MoveFileW(u"\\My Documents\\Velko\\Saved", u"\\My Documents\\Velko\\Saved\\sub\\x"));
    EXPECT_FALSE(MoveFileExW(u"\\My Documents\\Velko\\Saved", u"\\My Documents", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(root.Read("My Documents/Velko/Saved/sub/b.vkp"), "B");
}

// Moves onto another file system copy and delete. The card folder is a link to a folder in
// /dev/shm when that is a separate file system.
TEST_F(FilesTest, MoveAcrossFileSystems) {
    struct stat rootStat, shmStat;
    if (::stat(root.Path().c_str(), &rootStat) != 0 || ::stat("/dev/shm", &shmStat) != 0 ||
        rootStat.st_dev == shmStat.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second file system to move to";
    TempRoot card("/dev/shm");
    DeviceRoot::SetRoot(root.Path()); // the second TempRoot made itself the root
    fs::create_directory_symlink(card.Path(), root.Host("Storage Card"));

    root.MakeFile("My Documents/Velko/locus.bin", "trail");
    EXPECT_TRUE(MoveFileW(u"\\My Documents\\Velko\\locus.bin", u"\\Storage Card\\locus.bin"));
    EXPECT_EQ(card.Read("locus.bin"), "trail");
    EXPECT_FALSE(root.Exists("My Documents/Velko/locus.bin"));

    root.MakeFile("My Documents/Velko/Routes/a.vkp", "A");
    root.MakeFile("My Documents/Velko/Routes/sub/b.vkp", "B");
    EXPECT_TRUE(MoveFileW(u"\\My Documents\\Velko\\Routes", u"\\Storage Card\\Routes"));
    EXPECT_EQ(card.Read("Routes/a.vkp"), "A");
    EXPECT_EQ(card.Read("Routes/sub/b.vkp"), "B");
    EXPECT_FALSE(root.Exists("My Documents/Velko/Routes"));

    root.MakeFile("My Documents/x.bin", "new");
    card.MakeFile("x.bin", "old");
    EXPECT_FALSE(MoveFileW(u"\\My Documents\\x.bin", u"\\Storage Card\\x.bin"));
    EXPECT_EQ(card.Read("x.bin"), "old");
    EXPECT_TRUE(MoveFileExW(u"\\My Documents\\x.bin", u"\\Storage Card\\x.bin", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(card.Read("x.bin"), "new");
    EXPECT_FALSE(root.Exists("My Documents/x.bin"));
    EXPECT_EQ(HostNames(card.Path()), (std::set<std::string>{"locus.bin", "Routes", "x.bin"}));
}

TEST_F(FilesTest, FreeSpace) {
    ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &freeToCaller, &total, &totalFree));
    const fs::space_info space = fs::space(root.Path());
    EXPECT_EQ(total.QuadPart, space.capacity);
    EXPECT_LE(freeToCaller.QuadPart, totalFree.QuadPart);
    EXPECT_LE(totalFree.QuadPart, total.QuadPart);
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_TRUE(GetDiskFreeSpaceExW(nullptr, nullptr, &total, nullptr));
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\No Such Card", &freeToCaller, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(ModuleFileName, ProgramPath) {
    char16_t buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 30u);
    EXPECT_EQ(std::u16string(buffer), u"\\Program Files\\Velko\\Velko.exe");
    char16_t small[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
    EXPECT_EQ(std::u16string(small), u"\\Progra");
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 0), 0u);
}

} // namespace

TEST_F(FilesTest, SearchReportsEntriesInNameOrderWhateverTheCase) {
    for (const char* name : {"Work.pos", "trip.pos", "Position", "alpha.pos", "Zeta.pos"})
        root.MakeFile(std::string("VelkoData/") + name, "x");
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\VelkoData\\*.pos", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names.push_back(Utf16ToUtf8(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha.pos", "trip.pos", "Work.pos", "Zeta.pos"}));
}

TEST_F(FilesTest, InjectedFailuresHitTheNextChangingOperationsOnly) {
    root.MakeFile("d/a.txt", "old");
    FilesFailNextOperations(4);
    // Reading is not a change: it neither fails nor uses up a failure.
    {
        HANDLE h = Open(u"\\d\\a.txt", GENERIC_READ, OPEN_EXISTING);
        Closer c{h};
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadAll(h), "old");
    }
    EXPECT_EQ(Open(u"\\d\\b.txt", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_FALSE(DeleteFileW(u"\\d\\a.txt"));
    EXPECT_FALSE(MoveFileExW(u"\\d\\a.txt", u"\\d\\c.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(CopyFileW(u"\\d\\a.txt", u"\\d\\c.txt", FALSE));
    EXPECT_EQ(HostNames(root.Host("d")), (std::set<std::string>{"a.txt"}));
    // The fifth change goes through.
    EXPECT_TRUE(MoveFileW(u"\\d\\a.txt", u"\\d\\c.txt"));
    EXPECT_EQ(HostNames(root.Host("d")), (std::set<std::string>{"c.txt"}));
    // A write on an open file fails too, and 0 ends the failures early.
    HANDLE h = Open(u"\\d\\c.txt", GENERIC_WRITE, OPEN_EXISTING);
    Closer c{h};
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FilesFailNextOperations(3);
    DWORD done = 9;
    EXPECT_FALSE(WriteFile(h, "new", 3, &done, nullptr));
    EXPECT_EQ(done, 0u);
    FilesFailNextOperations(0);
    EXPECT_TRUE(WriteFile(h, "new", 3, &done, nullptr));
    // Failing the second of two moves: the first goes through.
    root.MakeFile("d/e.txt", "e");
    FilesFailNextOperations(1, 1);
    EXPECT_TRUE(MoveFileW(u"\\d\\c.txt", u"\\d\\f.txt"));
    EXPECT_FALSE(MoveFileW(u"\\d\\e.txt", u"\\d\\g.txt"));
    EXPECT_TRUE(MoveFileW(u"\\d\\e.txt", u"\\d\\g.txt"));
}
