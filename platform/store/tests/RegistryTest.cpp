#include "platform/store/Registry.h"

#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

std::u16string QueryString(HKEY key, const char16_t* name) {
    char16_t buffer[128] = {};
    DWORD size = sizeof buffer, type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return u"<missing>";
    EXPECT_EQ(type, REG_SZ);
    return buffer;
}

DWORD QueryDword(HKEY key, const char16_t* name, LONG* status = nullptr) {
    DWORD value = 0xDEADBEEF, size = 4, type = 0;
    const LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status) *status = r;
    return value;
}

} // namespace

TEST(Registry, ReadsAHandWrittenFileAndFindsTheSerialPortEntry) {
    TempRoot root;
    root.MakeFile("registry.reg", "; device registry\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig\\Applications\\0001]\n"
                                  "\"Name\"=\"Headset\"\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig\\Applications\\0002]\r\n"
                                  "\"Name\"=\"Generic Serial\"\r\n"
                                  "\"ComPortNumber\"=dword:00000008\r\n");
    HKEY apps = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\widcomm\\BTConfig\\Applications", 0, KEY_READ, &apps),
              ERROR_SUCCESS);
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
        char16_t name[64];
        DWORD length = 64;
        const LONG r = RegEnumKeyExW(apps, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(length, 4u);
        names.push_back(name);
    }
    ASSERT_EQ(names, (std::vector<std::u16string>{u"0001", u"0002"}));
    HKEY entry = nullptr;
    ASSERT_EQ(RegOpenKeyExW(apps, u"0002", 0, KEY_READ, &entry), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(entry, u"name"), u"Generic Serial");
    EXPECT_EQ(QueryDword(entry, u"ComPortNumber"), 8u);
    LONG status = 0;
    QueryDword(entry, u"BtBrowserEnabled", &status);
    EXPECT_EQ(status, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegCloseKey(entry), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(apps), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(apps), static_cast<LONG>(ERROR_INVALID_HANDLE));
    HKEY none = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Nobody", 0, KEY_READ, &none),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST(Registry, CreatedKeysAndValuesAreWrittenAsText) {
    TempRoot root;
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Widcomm\\BTConfig\\AutoConnect\\0008", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const DWORD zero = 0;
    ASSERT_EQ(RegSetValueExW(key, u"BtBrowserEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4),
              ERROR_SUCCESS);
    const char16_t text[] = u"C:\\a \"b\" 한";
    ASSERT_EQ(RegSetValueExW(key, u"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(root.Read("registry.reg"), "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
                                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm]\n"
                                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig]\n"
                                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig\\AutoConnect]\n"
                                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig\\AutoConnect\\0008]\n"
                                         "\"BtBrowserEnabled\"=dword:00000000\n"
                                         "\"Path\"=\"C:\\\\a \\\"b\\\" 한\"\n");
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Widcomm\\BTConfig\\AutoConnect\\0008", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(QueryString(key, u"Path"), text);
    // Size query, then a buffer one byte short.
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(key, u"Path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof text);
    std::vector<BYTE> small(size - 1, 0xEE);
    DWORD smallSize = size - 1;
    EXPECT_EQ(RegQueryValueExW(key, u"Path", nullptr, nullptr, small.data(), &smallSize),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(smallSize, sizeof text);
    // A DWORD of another length is refused.
    EXPECT_EQ(RegSetValueExW(key, u"Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 2),
              static_cast<LONG>(ERROR_INVALID_PARAMETER));
    RegCloseKey(key);
    // Enumeration with a buffer too small for the name.
    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Widcomm\\BTConfig\\AutoConnect", 0, 0, &parent),
              ERROR_SUCCESS);
    char16_t name[4];
    DWORD length = 4;
    EXPECT_EQ(RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(length, 5u);
    RegCloseKey(parent);
}

TEST(Registry, BrokenLinesAreSkippedAndTheRestIsRead) {
    TempRoot root;
    root.MakeFile("registry.reg", "[HKEY_LOCAL_MACHINE\\A]\n"
                                  "\"x\"=dword:123456789\n"       // nine digits
                                  "\"y\"=dword:zz\n"
                                  "\"z\"=\"unterminated\n"
                                  "\"h\"=hex(3):01,0\n"
                                  "garbage\n"
                                  "\"ok\"=hex(3):01,ff\n"
                                  "[HKEY_CURRENT_USER\\B]\n"
                                  "\"w\"=dword:00000001\n"
                                  "[HKEY_LOCAL_MACHINE\\A\n"
                                  "\"v\"=dword:00000002\n");
    HKEY a = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, 0, &a), ERROR_SUCCESS);
    for (const char16_t* name : {u"x", u"y", u"z", u"h", u"w", u"v"}) {
        LONG status = 0;
        QueryDword(a, name, &status);
        EXPECT_EQ(status, static_cast<LONG>(ERROR_FILE_NOT_FOUND)) << Utf16ToUtf8(name);
    }
    BYTE bytes[4] = {};
    DWORD size = 4, type = 0;
    ASSERT_EQ(RegQueryValueExW(a, u"ok", nullptr, &type, bytes, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(bytes[1], 0xFF);
    RegCloseKey(a);
    HKEY b = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"B", 0, 0, &b), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST(Registry, AFailedWriteLeavesTheOldFileWhole) {
    TempRoot root;
    const std::string before = "[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:00000002\n";
    root.MakeFile("registry.reg", before);
    HKEY a = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, 0, &a), ERROR_SUCCESS);
    // The file beside the registry cannot be made: a folder stands in its way.
    std::filesystem::create_directory(root.Host("registry.reg.new"));
    const DWORD one = 1;
    EXPECT_NE(RegSetValueExW(a, u"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
    EXPECT_EQ(root.Read("registry.reg"), before);
    EXPECT_EQ(QueryDword(a, u"v"), 2u);
    RegCloseKey(a);
}
