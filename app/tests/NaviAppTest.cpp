// The start-up checks: the handheld model, memory, the data folder and one instance per root.
#include "app/NaviApp.h"

#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/threads/Threads.h"
#include "platform/window/AfxControls.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// Records every message box and answers from a list (OK when it runs out).
class Boxes {
public:
    Boxes() {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            shown.push_back(text);
            if (answers.empty()) return IDOK;
            const int a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
    ~Boxes() { WinSetMessageBoxHandler(nullptr); }
    std::vector<std::u16string> shown;
    std::vector<int> answers;
};

std::u16string Text(UINT id) {
    return AfxLoadString(id).GetString();
}

class NaviAppTest : public ::testing::Test {
protected:
    void Ini(const std::string& text) {
        root.MakeFile("device.ini", text);
        DeviceRoot::ReloadSettings();
    }
    TempRoot root;
    Boxes boxes;
};

TEST_F(NaviAppTest, DeviceTableFromTheOemString) {
    struct Case {
        const char* oem;
        const char* ce;
        int type, layout, gapi;
        bool message;
    };
    const Case cases[] = {
        {"Compaq iPAQ H3600", "", 2, 4, 0, false},
        {"CompaqCiPAQ H3600", "", 2, 4, 0, false},
        {"Compaq iPAQ H3600 extra", "", 10, 3, 1, false}, // whole-string rows take nothing more
        {"hp iPAQ h2200", "4.20", 14, 4, 0, false},
        {"UBIQ-2000", "", 6, 4, 1, false},
        {"CB-x", "", 7, 4, 0, false},
        {"CB", "", 7, 4, 0, false},
        {"C", "", 10, 3, 1, false},
        {"DOVADEDAD-7", "", 7, 4, 0, false},
        {"Pocket PC J670", "", 5, 3, 0, false},
        {"Mitac, Mio DigiWalker 338", "", 11, 4, 0, false},
        {"Mitac, Mio DigiWalker 168", "", 19, 4, 0, false},
        {"mycube-N110 S", "", 15, 2, 0, false},
        {"LG-SC8000", "", 22, 4, 0, false},
        {"BRANNHOLT OBX", "4.20", 21, 4, 0, false},
        {"BRANNHOLT OBX", "4.10", 9, 4, 0, false},
        {"BRANNHOLT OBX", "5.0", 9, 4, 0, true},
        {"Some Other PDA", "", 10, 3, 1, false},
        {"", "", 10, 3, 1, false},
    };
    for (const Case& c : cases) {
        Ini(std::string("oem=") + c.oem + "\n" + (*c.ce ? std::string("ceversion=") + c.ce + "\n" : ""));
        boxes.shown.clear();
        CNaviApp app;
        app.DetectDeviceType();
        EXPECT_EQ(navi::g_deviceType, c.type) << c.oem << " " << c.ce;
        EXPECT_EQ(navi::g_keyLayout, c.layout) << c.oem;
        EXPECT_EQ(navi::g_gapiKeys, c.gapi) << c.oem;
        if (c.message) {
            ASSERT_EQ(boxes.shown.size(), 1u) << c.oem;
            EXPECT_EQ(boxes.shown[0], u"not valid OBX Platform(neither .NET4.1 nor .NET4.2");
        } else {
            EXPECT_TRUE(boxes.shown.empty()) << c.oem;
        }
    }
}

TEST_F(NaviAppTest, MemoryCheckCountsEveryByteOfStoreAndMemory) {
    struct Case {
        const char* ini;
        std::vector<int> answers;
        bool goesOn;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"storefree=0\nmemfree=15000000\n", {}, true, 0},
        {"storefree=10000000\nmemfree=5000000\n", {}, true, 0},
        {"storefree=4294967296\nmemfree=0\n", {}, true, 0}, // 4 GiB free store is plenty
        {"storefree=0\nmemfree=14999999\n", {IDYES}, false, 1},        // end the program? yes
        {"storefree=0\nmemfree=14999999\n", {IDNO, IDYES}, true, 2},   // go on with too little
        {"storefree=0\nmemfree=14999999\n", {IDNO, IDNO}, false, 2},
    };
    for (const Case& c : cases) {
        Ini(c.ini);
        boxes.shown.clear();
        boxes.answers = c.answers;
        CNaviApp app;
        EXPECT_EQ(app.CheckMemory(), c.goesOn) << c.ini;
        ASSERT_EQ(boxes.shown.size(), c.boxes) << c.ini;
        if (c.boxes >= 1) {
            EXPECT_EQ(boxes.shown[0], Text(153));
        }
        if (c.boxes >= 2) {
            EXPECT_EQ(boxes.shown[1], Text(154));
        }
    }
}

TEST_F(NaviAppTest, MapDataOnTheFirstCardInListingOrder) {
    root.MakeFile("Storage Card/readme.txt", "no map here");
    root.MakeFile("CF Card/MapData/x", "x");
    root.MakeFile("SD Card/MapData/x", "x");
    root.MakeFile("MapData/x", "x"); // the handheld's own folder is not a card
    Ini("card=SD Card\ncard=CF Card\ncard=Storage Card\n");
    CNaviApp app;
    ASSERT_TRUE(app.FindMapDataFolder());
    EXPECT_EQ(std::u16string(navi::g_dataFolder.GetString()), u"CF Card\\MapData");
    EXPECT_EQ(std::u16string(navi::g_cardFolder.GetString()), u"CF Card");

    Ini("card=Storage Card\n");
    EXPECT_FALSE(app.FindMapDataFolder());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(NaviAppTest, WithoutMapDataTheStartEndsWithString164) {
    root.MakeFile("Storage Card/readme.txt", "no map here");
    Ini("oem=hp iPAQ h2200\nceversion=4.20\nmemfree=20000000\n");
    CNaviApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_NE(app.ExitInstance(), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], Text(164));
}

TEST_F(NaviAppTest, ASecondStartEndsAtOnceWithoutAWord) {
    Ini("oem=hp iPAQ h2200\nmemfree=20000000\n");
    // Another process runs on this root and holds the name.
    int ask[2], told[2];
    ASSERT_EQ(::pipe(ask), 0);
    ASSERT_EQ(::pipe(told), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        HANDLE m = CreateMutexW(nullptr, TRUE, u"Velko");
        const char ready = m ? '1' : '0';
        (void)!::write(told[1], &ready, 1);
        char done;
        (void)!::read(ask[0], &done, 1);
        ::_exit(0);
    }
    char ready = 0;
    ASSERT_EQ(::read(told[0], &ready, 1), 1);
    ASSERT_EQ(ready, '1');
    {
        CNaviApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    EXPECT_TRUE(boxes.shown.empty());
    (void)!::write(ask[1], "x", 1);
    ::waitpid(other, nullptr, 0);
    for (int fd : {ask[0], ask[1], told[0], told[1]}) ::close(fd);

    // Once it has gone, a start gets past the check (and stops later for want of map data).
    CNaviApp app;
    EXPECT_TRUE(app.TakeInstanceMutex());
}

} // namespace
