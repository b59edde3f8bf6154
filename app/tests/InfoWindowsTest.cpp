// The small information windows: the volume window's levels and the wave-out words it writes,
// the program information rows from the version files, and the logging panel's texts and state.
#include "app/LogPanelWnd.h"
#include "app/ProgramInfoDlg.h"
#include "app/VolumeDlg.h"

#include "platform/files/tests/TempRoot.h"
#include "platform/sound/Sound.h"
#include "platform/window/Controls.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviCommand.h"
#include "tools/mkdevice/VersionFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

DWORD DeviceWord() {
    DWORD word = 0;
    waveOutGetVolume(nullptr, &word);
    return word;
}

class VolumeTest : public ::testing::Test {
protected:
    void SetUp() override { SoundReset(); }
    void TearDown() override { SoundReset(); }
    void Press(const char16_t* name) {
        NaviCommand cmd;
        cmd.target = name;
        volume.ProcessEvent(cmd);
    }
    CVolumeDlg volume;
};

TEST_F(VolumeTest, PercentsFallInLevelsByThresholds) {
    const struct {
        int percent, level;
    } cases[] = {{0, 0}, {1, 1}, {20, 1}, {21, 2}, {40, 2}, {41, 3}, {50, 3}, {60, 3}, {61, 4}, {80, 4}, {81, 5}, {100, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(CVolumeDlg::LevelOf(c.percent), c.level) << c.percent;
        EXPECT_EQ(CVolumeDlg::RoundUpToLevel(c.percent), c.level * 20) << c.percent;
    }
}

TEST_F(VolumeTest, HalfTheLeftChannelReadsFiftyAndOffThenOnRestoresIt) {
    waveOutSetVolume(nullptr, 0x8000);
    EXPECT_EQ(CVolumeDlg::GetWaveVolume(), 50); // 32768 * 100 / 65535, truncated
    volume.SetMute(true);
    EXPECT_TRUE(volume.IsMuted());
    EXPECT_EQ(volume.GetSavedVolume(), 50);
    EXPECT_EQ(SoundLastVolumeWord(), 0u);
    volume.SetMute(true); // already off: nothing
    EXPECT_EQ(volume.GetSavedVolume(), 50);
    volume.SetMute(false);
    EXPECT_FALSE(volume.IsMuted());
    EXPECT_EQ(SoundLastVolumeWord(), 0x7FFFu); // 50 % of 65535, truncated: the exact percent, not level 3
}

TEST_F(VolumeTest, ASilentDeviceComesBackAtEightyPercent) {
    waveOutSetVolume(nullptr, 0);
    volume.ToggleMute();
    EXPECT_EQ(volume.GetSavedVolume(), 0);
    volume.ToggleMute();
    EXPECT_EQ(SoundLastVolumeWord(), 0xCCCCu);
    EXPECT_EQ(volume.GetLevelPercent(), 80);
}

TEST_F(VolumeTest, ALevelChosenWhileOffTurnsSoundOnFirst) {
    volume.SetMute(true);
    Press(u"2단계");
    EXPECT_FALSE(volume.IsMuted());
    EXPECT_EQ(SoundLastVolumeWord(), 0x6666u);
    EXPECT_EQ(DeviceWord() & 0xFFFF, 0x6666u);
}

TEST_F(VolumeTest, DeviceTypes7And23WriteBothChannels) {
    for (std::int16_t type : {7, 23}) {
        volume.SetDeviceType(type);
        volume.SetLevel(40);
        EXPECT_EQ(SoundLastVolumeWord(), 0x66666666u) << type;
        volume.SetLevel(100);
        EXPECT_EQ(SoundLastVolumeWord(), 0xFFFFFFFFu) << type;
    }
    volume.SetDeviceType(3);
    volume.SetLevel(100);
    EXPECT_EQ(SoundLastVolumeWord(), 0xFFFFu);
}

TEST_F(VolumeTest, WithoutVolumeControlItReadsZeroAndWritesNothing) {
    waveOutSetVolume(nullptr, 0x8000);
    SoundSetVolumeControl(false);
    EXPECT_EQ(CVolumeDlg::GetWaveVolume(), 0);
    EXPECT_EQ(volume.SetVolume(80), 1);
    Press(u"5단계");
    EXPECT_EQ(SoundLastVolumeWord(), 0x8000u);
    EXPECT_EQ(volume.GetLevelPercent(), 100); // the window still works
}

// ---- program information ----

TEST(ProgramInfoTest, SafeDrivingVersionWords) {
    const struct {
        std::int32_t version;
        const char16_t* text;
    } cases[] = {{50615, u"안전운행 - 05.06 (T15)"},
                 {50600, u"안전운행 - 05.06 (W)"},
                 {20261210, u"안전운행 - 2026.12 (T10)"},
                 {0, u"안전운행 - 00.00 (W)"}};
    for (const auto& c : cases) EXPECT_EQ(CProgramInfoDlg::SafeDrivingText(c.version), CString(c.text)) << c.version;
}

class ProgramInfoFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.Host("prog/res"));
        std::filesystem::create_directories(root.Host("data/point"));
        mkdev::WriteAppDataInfo(root.Host("prog/res/appdatainfo.bin"));
        // The map-data record carries checksums of two data files' tails.
        root.MakeFile("data/SearchDB/aVelko.db", "search");
        root.MakeFile("data/MRData/MRCross.bin", "crossings");
        mkdev::WriteMapDataInfo(root.Host("data"));
        // The guide-point layer's version word: 50615, little-endian.
        root.MakeFile("data/point/newGuidePoint.MDC", std::string("\xB7\xC5\x00\x00", 4));
        dlg.SetFolders(u"\\prog", u"\\data");
    }
    CString Row(CProgramInfoDlg::Row row) const { return dlg.RowText(row); }
    TempRoot root;
    CProgramInfoDlg dlg;
};

TEST_F(ProgramInfoFilesTest, RowsComeFromTheVersionFiles) {
    dlg.FillRows();
    EXPECT_EQ(Row(CProgramInfoDlg::kProgram), CString(u"1.0.0"));
    EXPECT_EQ(Row(CProgramInfoDlg::kDisplay), CString(u"디스플레이 - 2024.03.01"));
    EXPECT_EQ(Row(CProgramInfoDlg::kSearch), CString(u"검색 - 2024.03.15"));
    EXPECT_EQ(Row(CProgramInfoDlg::kRouteSearch), CString(u"경로탐색 - 2024.03.22"));
    EXPECT_EQ(Row(CProgramInfoDlg::kSafeDriving), CString(u"안전운행 - 05.06 (T15)"));
}

TEST_F(ProgramInfoFilesTest, MissingOrDamagedFilesKeepTheNoInformationTexts) {
    // A flipped byte breaks the program record's checksum; a short guide-point header is no version.
    std::fstream app(root.Host("prog/res/appdatainfo.bin"), std::ios::in | std::ios::out | std::ios::binary);
    app.seekp(10);
    app.put('#');
    app.close();
    root.MakeFile("data/point/newGuidePoint.MDC", std::string("\x01\x02", 2));
    std::filesystem::remove(root.Host("data/mapdatainfo.bin"));
    dlg.FillRows();
    EXPECT_EQ(Row(CProgramInfoDlg::kProgram), CString(u"프로그램 정보없음"));
    EXPECT_EQ(Row(CProgramInfoDlg::kDisplay), CString(u" 디스플레이 - 정보없음"));
    EXPECT_EQ(Row(CProgramInfoDlg::kRouteSearch), CString(u"경로탐색 - 정보없음"));
    EXPECT_EQ(Row(CProgramInfoDlg::kSearch), CString(u"검색 - 정보없음"));
    EXPECT_EQ(Row(CProgramInfoDlg::kSafeDriving), CString(u"안전운행구간 - 정보없음"));
}

TEST_F(ProgramInfoFilesTest, WithoutAMapDataFolderTheFourDataRowsSayNoInformation) {
    dlg.SetFolders(u"\\prog", u"");
    dlg.FillRows();
    EXPECT_EQ(Row(CProgramInfoDlg::kProgram), CString(u"1.0.0"));
    EXPECT_EQ(Row(CProgramInfoDlg::kDisplay), CString(u" 디스플레이 - 정보없음"));
    EXPECT_EQ(Row(CProgramInfoDlg::kSafeDriving), CString(u"안전운행구간 - 정보없음"));
}

TEST(ProgramInfoEventsTest, EveryCommandClosesWithItsCode) {
    const struct {
        const char16_t* name;
        int code;
    } cases[] = {{u"VerOK", 4}, {u"현위치", 4}, {u"이전", 3}, {u"아무거나", 4}};
    for (const auto& c : cases) {
        CProgramInfoDlg dlg;
        NaviCommand cmd;
        cmd.target = c.name;
        dlg.ProcessEvent(cmd);
        EXPECT_EQ(dlg.GetResultCode(), c.code) << c.code;
    }
}

// ---- logging panel ----

TEST(LogPanelTest, FreeSpaceInMillionsOfBytesWithoutWrapping) {
    EXPECT_EQ(CLogPanelWnd::FreeSpaceText(15'500'000, 0), CString(u"Main:15.5MB   Strg:0.0MB"));
    EXPECT_EQ(CLogPanelWnd::FreeSpaceText(0, 5'000'000'000ull), CString(u"Main:0.0MB   Strg:5000.0MB"));
}

class LogPanelWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterNativeControls();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"LogPanelTestView";
        RegisterClassW(&wc);
        ASSERT_TRUE(view.Attach(CreateWindowExW(0, u"LogPanelTestView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                                nullptr, nullptr, nullptr, nullptr)));
    }
    void TearDown() override {
        if (panel.GetSafeHwnd()) panel.DestroyWindow();
        view.DestroyWindow();
        WinResetForTests();
    }
    bool Checked(int id) { return ::SendMessageW(::GetDlgItem(panel.GetSafeHwnd(), id), BM_GETCHECK, 0, 0) != 0; }
    bool Enabled(int id) { return ::IsWindowEnabled(::GetDlgItem(panel.GetSafeHwnd(), id)) != 0; }
    CWnd view;
    CLogPanelWnd panel;
};

TEST_F(LogPanelWindowTest, WhileLoggingThePlaceIsFixedAndTheButtonStops) {
    panel.SetLogging(true);
    panel.SelectStorage(1);
    ASSERT_TRUE(panel.Create(&view));
    panel.UpdateWindow();
    RECT rect;
    panel.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, 120 - (rect.right - rect.left) / 2);
    EXPECT_EQ(rect.top, 70);
    CString text;
    panel.GetDlgItemText(CLogPanelWnd::kToggleId, text);
    EXPECT_EQ(text, CString(u"STOP"));
    EXPECT_FALSE(Enabled(CLogPanelWnd::kMainId));
    EXPECT_TRUE(Checked(CLogPanelWnd::kStorageId));
    // A click on "Main" while logging changes nothing.
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kMainId, 0);
    EXPECT_EQ(panel.GetStorage(), 1);
    // Stopping closes the panel.
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kToggleId, 0);
    EXPECT_FALSE(panel.IsLogging());
    EXPECT_TRUE(panel.IsClosed());
    EXPECT_FALSE(panel.IsOpen());
}

TEST_F(LogPanelWindowTest, StartingDisablesThePlacesAndCloses) {
    ASSERT_TRUE(panel.Create(&view));
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kStorageId, 0);
    EXPECT_EQ(panel.GetStorage(), 1);
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kToggleId, 0);
    EXPECT_TRUE(panel.IsLogging());
    EXPECT_TRUE(panel.IsClosed());
    // Opened again it shows the state it closed with.
    ASSERT_TRUE(panel.Create(&view));
    panel.UpdateWindow();
    EXPECT_FALSE(Enabled(CLogPanelWnd::kStorageId));
    CString text;
    panel.GetDlgItemText(CLogPanelWnd::kSpaceId, text);
    EXPECT_EQ(text, CString(u"Main:0.0MB   Strg:0.0MB"));
}

} // namespace
