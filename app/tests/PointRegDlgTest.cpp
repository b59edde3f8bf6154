// The point registration dialog under the headless host on the sample skin, over a storage folder
// written byte by byte: registering into a folder, the name checks, the special names "집" and
// "자주가는곳", the refusals that end the dialog, and the two safe-driving lists. "저장" sits at
// (150, 53) 71 x 27, "이전" at the top (154-195); Enter registers, Escape cancels.
#include "app/PointRegDlg.h"

#include "app/PositionStore.h"
#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct Point {
    std::string name; // UTF-8, stored in CP949
    std::int32_t x;
    std::int32_t y;
    std::uint8_t voice;
    std::uint8_t symbol;
};

void Le32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::uint32_t ReadLe(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes.at(at + static_cast<std::size_t>(i)));
    return v;
}

std::string PointFile(const std::vector<Point>& points) {
    std::string out;
    Le32(out, static_cast<std::uint32_t>(points.size()));
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

const Point kHome{"집", 45720000, 13500000, 1, 4};
const Point kStation{"나루역", 45740000, 13520000, 2, 7};
const Point kHotel{"호텔", 45750000, 13530000, 0, 14};
const std::string kSave = "tap 185 66\n";

class PointRegDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        root.MakeFile("VelkoData/Position", PointFile({kHome, kStation}));
        root.MakeFile("VelkoData/출장.pos", PointFile({kHotel}));
        store().SetBaseFolder(u"\\VelkoData");
        ASSERT_TRUE(store().Reload());
    }
    void TearDown() override {
        FilesFailNextOperations(0);
        box.Destruct();
    }
    static CPositionStore& store() { return CPositionStore::Instance(); }

    HostedRun Run(CPointRegDlg& dialog, const std::string& script, INT_PTR& code) {
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"지점등록");
        return RunHosted(root, script, [&] {
            code = dialog.DoModal();
            return 0;
        });
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(PointRegDlgTest, SaveRegistersThePointInTheTargetFolder) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45720000, 13500000);
    dialog.SetName(u"가람시청");
    dialog.SetSymbol(2);
    dialog.SetVoice(3);
    dialog.SetTargetFolder(u"출장");
    INT_PTR code = 0;
    const HostedRun run = Run(dialog, kSave, code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.GetResult(), CPointRegDlg::kResultSaved);
    const std::string bytes = root.Read("VelkoData/출장.pos");
    ASSERT_EQ(bytes.size(), 4u + 2 * 30);
    EXPECT_EQ(ReadLe(bytes, 0, 4), 2u);
    EXPECT_EQ(bytes.substr(34, 8), Utf8ToCp949("가람시청"));
    EXPECT_EQ(bytes[42], 0);
    EXPECT_EQ(ReadLe(bytes, 54, 4), 45720000u);
    EXPECT_EQ(ReadLe(bytes, 58, 4), 13500000u);
    EXPECT_EQ(bytes[62], 3); // voice
    EXPECT_EQ(bytes[63], 2); // symbol
    EXPECT_EQ(store().GetCount(), 4);
    // The other folder's file is untouched.
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
}

TEST_F(PointRegDlgTest, TheVoiceComboOpensItsListOverTheDialog) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45720000, 13500000);
    dialog.SetName(u"가람시청");
    INT_PTR code = 0;
    // The combo (23, 248), then the list's fourth row "주유소"; a voice out of range is ignored.
    const HostedRun run = Run(dialog, "tap 60 259\nwait 100\ntap 60 115\n" + kSave, code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.GetVoice(), 3);
    const std::string bytes = root.Read("VelkoData/Position");
    ASSERT_EQ(bytes.size(), 4u + 3 * 30);
    EXPECT_EQ(bytes[4 + 2 * 30 + 28], 3);
}

TEST_F(PointRegDlgTest, TheInputPanelComesUpForAFocusedNameFieldOnceTheDialogIsPainted) {
    CPointRegDlg dialog(nullptr);
    dialog.SetFolderOnly(true);
    dialog.SetRcBuilder(&builder);
    dialog.SetPanelName(u"지점등록");
    std::vector<int> states;
    // "폴더생성" focuses the folder-name field; "취소" leaves it; "이전" of the list closes.
    const HostedRun run = RunHosted(root, "wait 100\ntap 43 257\nwait 50\ntap 179 113\ntap 61 289\n", [&] {
        const std::size_t before = ShellSipPreferenceCalls().size();
        dialog.DoModal();
        const std::vector<SipPreferenceCall> calls = ShellSipPreferenceCalls();
        for (std::size_t i = before; i < calls.size(); ++i) states.push_back(calls[i].state);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    // No panel for the focus the dialog opens with (not painted yet); up once for the field,
    // then down again, and down as the dialog goes.
    EXPECT_EQ(std::count(states.begin(), states.end(), static_cast<int>(SIP_UP)), 1);
    const auto up = std::find(states.begin(), states.end(), static_cast<int>(SIP_UP));
    ASSERT_NE(up, states.end());
    EXPECT_NE(std::find(up, states.end(), static_cast<int>(SIP_FORCEDOWN)), states.end());
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), static_cast<int>(SIP_FORCEDOWN));
}

TEST_F(PointRegDlgTest, NameChecksBeforeRegisteringWithEnter) {
    const CString empty = AfxLoadString(168);
    const CString tooLong = AfxLoadString(169);
    struct Case {
        const char* what;
        const char16_t* name;
        bool stored;
        CString notice;
    };
    const Case cases[] = {
        {"20 bytes", u"가나다라마바사아자차", true, CString()},
        {"19 bytes", u"가나다라마바사아자1", true, CString()},
        {"21 bytes", u"가나다라마바사아자차1", false, tooLong},
        {"empty", u"", false, empty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root.MakeFile("VelkoData/Position", PointFile({kHome, kStation}));
        store().Reload();
        CPointRegDlg dialog(nullptr);
        dialog.SetPosition(45760000, 13540000);
        dialog.SetName(c.name);
        INT_PTR code = 0;
        const std::string script = c.stored ? "key RETURN\n" : "answer ok\nkey RETURN\nkey ESCAPE\n";
        const HostedRun run = Run(dialog, script, code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(code, c.stored ? IDOK : IDCANCEL);
        // Enter leaves the result code as it is.
        EXPECT_EQ(dialog.GetResult(), CPointRegDlg::kResultClosed);
        EXPECT_EQ(root.Read("VelkoData/Position").size(), c.stored ? 4u + 3 * 30 : 4u + 2 * 30);
        if (!c.stored)
            EXPECT_NE(run.msgboxLog.find(c.notice.ToUtf8() + "\t3001"), std::string::npos) << run.msgboxLog;
    }
}

TEST_F(PointRegDlgTest, TheNewHomeIsStoredBeforeTheOldOneGoes) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45770000, 13550000);
    dialog.SetName(u"집");
    dialog.SetSymbol(4);
    dialog.SetTargetFolder(u"출장");
    INT_PTR code = 0;
    const HostedRun run = Run(dialog, kSave, code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kStation}));
    const std::string trip = root.Read("VelkoData/출장.pos");
    ASSERT_EQ(trip.size(), 4u + 2 * 30);
    EXPECT_EQ(ReadLe(trip, 54, 4), 45770000u);

    // A failed save keeps the old home where it was.
    store().Reload();
    CPointRegDlg again(nullptr);
    again.SetPosition(45780000, 13560000);
    again.SetName(u"집");
    again.SetTargetFolder(u"기본");
    const std::string before = root.Read("VelkoData/출장.pos");
    FilesFailNextOperations(1000);
    const HostedRun failed = Run(again, "answer ok\n" + kSave, code);
    FilesFailNextOperations(0);
    ASSERT_FALSE(failed.failed) << failed.failure;
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(again.GetResult(), CPointRegDlg::kResultClosed);
    EXPECT_NE(failed.msgboxLog.find(AfxLoadString(150).ToUtf8() + "\t3001"), std::string::npos)
        << failed.msgboxLog;
    EXPECT_EQ(root.Read("VelkoData/출장.pos"), before);
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kStation}));
}

TEST_F(PointRegDlgTest, TheSpecialSymbolsNameThePointAndAnOrdinaryOneGivesTheTypedNameBack) {
    const std::string home = "tap 63 224\n";
    const std::string frequent = "tap 157 224\n";
    const std::string symbol2 = "tap 119 123\n";
    struct Case {
        const char* what;
        std::string script;
        std::string name;
        int symbol;
    };
    const Case cases[] = {
        {"집", home, "집", 4},
        {"자주가는곳", frequent, "자주가는곳", 3},
        {"집, then symbol 2", home + symbol2, "가람시청", 2},
        {"자주가는곳, then 집", frequent + home, "집", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root.MakeFile("VelkoData/Position", PointFile({kStation}));
        store().Reload();
        CPointRegDlg dialog(nullptr);
        dialog.SetPosition(45760000, 13540000);
        dialog.SetName(u"가람시청");
        INT_PTR code = 0;
        const HostedRun run = Run(dialog, c.script + kSave, code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(code, IDOK);
        const std::string bytes = root.Read("VelkoData/Position");
        ASSERT_EQ(bytes.size(), 4u + 2 * 30);
        EXPECT_EQ(bytes.substr(34, 20), [&] {
            std::string n = Utf8ToCp949(c.name);
            n.resize(20, '\0');
            return n;
        }());
        EXPECT_EQ(bytes[63], c.symbol);
    }
}

TEST_F(PointRegDlgTest, EditOnlySaveChecksTheNameAndTheWayBackSavesNothing) {
    struct Case {
        const char* what;
        const char16_t* name;
        std::string script;
        INT_PTR code;
        int result;
        const char* notice;
    };
    const Case cases[] = {
        {"a good name", u"나루역 북문", kSave, IDOK, CPointRegDlg::kResultSaved, nullptr},
        {"an empty name", u"", "answer ok\n" + kSave + "key ESCAPE\n", IDCANCEL, CPointRegDlg::kResultClosed,
         "명칭을 입력하십시오."},
        {"21 bytes", u"가나다라마바사아자차1", "answer ok\n" + kSave + "key ESCAPE\n", IDCANCEL,
         CPointRegDlg::kResultClosed, "허용 명칭 길이를"},
        {"back to the list", u"나루역", "tap 120 291\n", IDCANCEL, CPointRegDlg::kResultBack, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPointRegDlg dialog(nullptr);
        dialog.SetEditOnly(true);
        dialog.SetPosition(kStation.x, kStation.y);
        dialog.SetName(c.name);
        INT_PTR code = 0;
        const HostedRun run = Run(dialog, c.script, code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(dialog.GetResult(), c.result);
        if (c.notice) EXPECT_NE(run.msgboxLog.find(c.notice), std::string::npos) << run.msgboxLog;
        // The caller applies an edit: the dialog itself writes nothing.
        EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
    }
}

TEST_F(PointRegDlgTest, AFullStoreEndsTheDialogWithoutRegistering) {
    std::vector<Point> many(1999, kStation);
    root.MakeFile("VelkoData/Position", PointFile(many));
    store().Reload();
    ASSERT_EQ(store().GetCount(), 2000); // with the one of 출장
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45760000, 13540000);
    dialog.SetName(u"가람시청");
    INT_PTR code = 0;
    const HostedRun run = Run(dialog, "answer ok\n" + kSave, code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(dialog.GetResult(), CPointRegDlg::kResultClosed);
    EXPECT_NE(run.msgboxLog.find(AfxLoadString(149).ToUtf8() + "\t3001"), std::string::npos) << run.msgboxLog;
    EXPECT_EQ(store().GetCount(), 2000);
}

// The folder pages: "폴더생성" (43, 257), "폴더수정" (116, 257), "폴더삭제" (189, 257), "확인" (179, 289)
// on the folder list; "확인" (61, 113) and "취소" (179, 113) on the folder-name page.
const std::string kCreate = "tap 43 257\n";
const std::string kRename = "tap 116 257\n";
const std::string kDelete = "tap 189 257\n";
const std::string kNameOk = "tap 61 113\n";

TEST_F(PointRegDlgTest, FoldersAreCreatedRenamedAndRefused) {
    const std::string tooLong = AfxLoadString(169).ToUtf8();
    struct Case {
        const char* what;
        int row;
        std::string script;
        std::vector<std::string> files; // the storage folder's point files after the run
        std::string notice;
    };
    const Case cases[] = {
        {"create 여행", 0, kCreate + "text \"여행\"\n" + kNameOk, {"Position", "여행.pos", "출장.pos"}, ""},
        {"a 20-character name",
         0,
         kCreate + "text \"가나다라마바사아자차카타파하가나다라마바\"\n" + kNameOk,
         {"Position", "가나다라마바사아자차카타파하가나다라마바.pos", "출장.pos"},
         ""},
        {"a 21-character name",
         0,
         kCreate + "text \"가나다라마바사아자차카타파하가나다라마바사\"\n" + kNameOk,
         {"Position", "출장.pos"},
         tooLong},
        {"a name in use",
         0,
         kCreate + "text \"출장\"\n" + kNameOk,
         {"Position", "출장.pos"},
         "출장(을)를 수정할 수 없습니다."},
        {"rename 출장",
         1,
         kRename + "key END\nkey BACK\nkey BACK\ntext \"여행\"\n" + kNameOk,
         {"Position", "여행.pos"},
         ""},
        {"rename 기본", 0, kRename, {"Position", "출장.pos"}, "기본(을)를 수정할 수 없습니다."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root.MakeFile("VelkoData/Position", PointFile({kHome, kStation}));
        root.MakeFile("VelkoData/출장.pos", PointFile({kHotel}));
        for (const char* extra : {"여행.pos", "가나다라마바사아자차카타파하가나다라마바.pos"})
            std::filesystem::remove(root.Host(std::string("VelkoData/") + extra));
        store().Reload();
        CPointRegDlg dialog(nullptr);
        dialog.SetFolderOnly(true);
        dialog.SetSelectedFolderRow(c.row);
        INT_PTR code = 0;
        const HostedRun run = Run(dialog,
                                  (c.notice.empty() ? "" : "answer ok\n") + c.script +
                                      "tap 179 113\n"
                                      "tap 61 289\n",
                                  code);
        ASSERT_FALSE(run.failed) << run.failure;
        std::vector<std::string> files;
        for (const auto& f : std::filesystem::directory_iterator(root.Host("VelkoData")))
            files.push_back(f.path().filename().string());
        std::sort(files.begin(), files.end());
        std::vector<std::string> expected = c.files;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(files, expected);
        if (!c.notice.empty())
            EXPECT_NE(run.msgboxLog.find(c.notice + "\t3001"), std::string::npos) << run.msgboxLog;
        // A folder of the store is there once, with its points once.
        EXPECT_EQ(store().GetCount(), 3);
    }
}

TEST_F(PointRegDlgTest, DeletingAFolderAsksForTheSelectedRowAndNeverDeletesTheDefault) {
    // "기본" selected while the target is another folder: refused, with the selected row's name.
    {
        CPointRegDlg dialog(nullptr);
        dialog.SetFolderOnly(true);
        dialog.SetSelectedFolderRow(0);
        INT_PTR code = 0;
        const HostedRun run = Run(dialog, "answer ok\n" + kDelete + "tap 61 289\n", code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_NE(run.msgboxLog.find("기본(을)를 삭제할 수 없습니다.\t3001"), std::string::npos)
            << run.msgboxLog;
        EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
        EXPECT_EQ(root.Read("VelkoData/출장.pos"), PointFile({kHotel}));
    }
    // The last row: asked for by its name, deleted, and the row before selected.
    CPointRegDlg dialog(nullptr);
    dialog.SetFolderOnly(true);
    dialog.SetSelectedFolderRow(1);
    INT_PTR code = 0;
    const HostedRun run = Run(dialog, "answer yes\n" + kDelete + "tap 61 289\n", code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("출장(을)를 삭제하시겠습니까?\t3000\t4001"), std::string::npos)
        << run.msgboxLog;
    EXPECT_FALSE(std::filesystem::exists(root.Host("VelkoData/출장.pos")));
    EXPECT_EQ(dialog.GetSelectedFolderRow(), 0);
    EXPECT_EQ(dialog.GetFolderRows(), (std::vector<CString>{u"기본"}));
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
}

TEST_F(PointRegDlgTest, TheFolderListChoosesTheTargetForTheNextSave) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45720000, 13500000);
    dialog.SetName(u"가람시청");
    dialog.SetSelectedFolderRow(1);
    INT_PTR code = 0;
    // "저장폴더지정" (168, 261), the list's "확인", then "저장".
    const HostedRun run = Run(dialog, "tap 168 261\ntap 179 289\n" + kSave, code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.GetTargetFolder(), CString(u"출장"));
    EXPECT_EQ(root.Read("VelkoData/출장.pos").size(), 4u + 2 * 30);
}

// The safe-driving lists, without the dialog on screen: notices are collected.
class SafeDrivePointTest : public ::testing::Test {
protected:
    void SetUp() override {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            notices.push_back(Utf16ToUtf8(text));
            return IDOK;
        });
        added = CNaviConfig::GetInstance()->GetItemPath(u"안전운행지점", -1);
        removed = CNaviConfig::GetInstance()->GetItemPath(u"안전운행지점(지운것)", -1);
        std::filesystem::create_directories(
            std::filesystem::path(DeviceRoot::Resolve(added.GetString())).parent_path());
        CSafePointList::Added().Clear();
        CSafePointList::Removed().Clear();
        CSafePointList::Removed().SetMode(1);
    }
    void TearDown() override {
        FilesFailNextOperations(0);
        WinSetMessageBoxHandler(nullptr);
        CSafePointList::Added().Clear();
        CSafePointList::Removed().Clear();
    }
    std::string File(const CString& path) {
        std::ifstream in(DeviceRoot::Resolve(path.GetString()), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    TempRoot root;
    CString added;
    CString removed;
    std::vector<std::string> notices;
};

TEST_F(SafeDrivePointTest, TheTwoListsStoreTheirValuesInTheirOwnOrderWithTheNextId) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45720000, 13500000);
    dialog.SetName(u"과속주의");
    ASSERT_TRUE(dialog.AddSafeDrivePoint(1, 2, 3));
    std::string bytes = File(added);
    ASSERT_EQ(bytes.size(), 4u + 36);
    EXPECT_EQ(ReadLe(bytes, 0, 4), 1u);
    // u16s at 28, 30, 32 of the record: kind, then the third argument, then the second; id 0.
    EXPECT_EQ(ReadLe(bytes, 4 + 28, 2), 1u);
    EXPECT_EQ(ReadLe(bytes, 4 + 30, 2), 3u);
    EXPECT_EQ(ReadLe(bytes, 4 + 32, 2), 2u);
    EXPECT_EQ(ReadLe(bytes, 4 + 34, 2), 0u);

    ASSERT_TRUE(dialog.AddRemovedSafeDrivePoint(1, 2, 3));
    bytes = File(removed);
    ASSERT_EQ(bytes.size(), 4u + 36);
    EXPECT_EQ(ReadLe(bytes, 4 + 28, 2), 1u);
    EXPECT_EQ(ReadLe(bytes, 4 + 30, 2), 2u);
    EXPECT_EQ(ReadLe(bytes, 4 + 32, 2), 3u);

    // The id follows the last record's, and wraps past 65535.
    for (const auto& [last, next] : {std::pair<std::uint16_t, std::uint32_t>{1234, 1235}, {65535, 0}}) {
        CSafePointRecord r;
        r.values[3] = last;
        CSafePointList::Added().Clear();
        CSafePointList::Added().Add(r);
        ASSERT_TRUE(dialog.AddSafeDrivePoint(0, 0, 0));
        bytes = File(added);
        ASSERT_EQ(bytes.size(), 4u + 2 * 36);
        EXPECT_EQ(ReadLe(bytes, 4 + 36 + 34, 2), next) << last;
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(SafeDrivePointTest, NamesMustFitTheStoredFieldWhole) {
    const std::string tooLong = AfxLoadString(169).ToUtf8();
    struct Case {
        const char16_t* name;
        bool removedList;
        bool ok;
    };
    const Case cases[] = {
        {u"가나다라마바사아자1", false, true},   // 19 bytes
        {u"가나다라마바사아자차", false, false}, // 20 bytes
        {u"가나다라마바사아", true, true},       // 16 bytes, the short form's field
        {u"가나다라마바사아1", true, false},     // 17 bytes
        {u"", false, false},
    };
    for (const Case& c : cases) {
        notices.clear();
        CPointRegDlg dialog(nullptr);
        dialog.SetPosition(45720000, 13500000);
        dialog.SetName(c.name);
        CSafePointList& list = c.removedList ? CSafePointList::Removed() : CSafePointList::Added();
        const int before = list.GetCount();
        const bool ok =
            c.removedList ? dialog.AddRemovedSafeDrivePoint(1, 2, 3) : dialog.AddSafeDrivePoint(1, 2, 3);
        EXPECT_EQ(ok, c.ok) << Utf16ToUtf8(c.name);
        EXPECT_EQ(list.GetCount(), before + (c.ok ? 1 : 0));
        if (!c.ok) {
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_EQ(notices[0], *c.name ? tooLong : AfxLoadString(168).ToUtf8());
        }
    }
}

TEST_F(SafeDrivePointTest, AFailedSaveTakesThePointOutAgain) {
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(45720000, 13500000);
    dialog.SetName(u"학교앞");
    ASSERT_TRUE(dialog.AddSafeDrivePoint(1, 2, 3));
    const std::string before = File(added);
    FilesFailNextOperations(1000);
    EXPECT_FALSE(dialog.AddSafeDrivePoint(1, 2, 3));
    FilesFailNextOperations(0);
    EXPECT_EQ(CSafePointList::Added().GetCount(), 1);
    EXPECT_EQ(File(added), before);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], AfxLoadString(150).ToUtf8());
}

} // namespace
