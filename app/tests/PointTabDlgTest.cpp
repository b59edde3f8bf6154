// The registered-point tab under the headless host on the sample skin, over a storage folder
// written byte by byte: "구성하기" (13-73), "위치보기" (86-146), "바로탐색" (159-219) on the row at
// y 256; "구성_이전", "삭제", "지점수정" on page 1's row at y 276; the point list at (77, 57) with its
// first row about y 78-93; the type tabs at y 284.
#include "app/PointTabDlg.h"

#include "app/PositionStore.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

namespace {

struct Point {
    std::string name;
    std::int32_t x;
    std::int32_t y;
};

std::string PointFile(const std::vector<Point>& points) {
    std::string out;
    auto le32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    le32(static_cast<std::uint32_t>(points.size()));
    for (const Point& p : points) {
        std::string name = Utf8ToCp949(p.name);
        name.resize(20, '\0');
        out += name;
        le32(static_cast<std::uint32_t>(p.x));
        le32(static_cast<std::uint32_t>(p.y));
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

const Point kHome{"집", 45720000, 13500000};
const Point kStation{"나루역", 45740000, 13520000};
const Point kHotel{"호텔", 45750000, 13530000};

class PointTabDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        root.MakeFile("VelkoData/Position", PointFile({kHome, kStation}));
        root.MakeFile("VelkoData/출장.pos", PointFile({kHotel}));
        root.MakeFile("VelkoData/빈.pos", PointFile({}));
        CPositionStore::Instance().SetBaseFolder(u"\\VelkoData");
        ASSERT_TRUE(CPositionStore::Instance().Reload());
    }
    void TearDown() override { box.Destruct(); }

    HostedRun Run(CPointTabDlg& dialog, const std::string& script, INT_PTR& code) {
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"등록지점관리");
        return RunHosted(root, script, [&] {
            code = dialog.DoModal();
            return 0;
        });
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST(PointTabDorva, TheCodeOfAStoredPositionOrNoneOutsideTheArea) {
    // Network (45720000, 13500000) is map (192000, 530000), point-file x 160000: sheet column 3,
    // row 6, sub-column 0, sub-row 6, fine 0 and 0.
    EXPECT_EQ(CPointTabDlg::DorvaText(45720000, 13500000), CString(u"000-000-3606"));
    // 10 map units further east and north: fine x (10 / 1.2 -> 8) / 10 = 0, fine y 1.
    EXPECT_EQ(CPointTabDlg::DorvaText(45720000 + 38, 13500000 + 30), CString(u"000-001-3606"));
    EXPECT_EQ(CPointTabDlg::DorvaText(44000000, 13500000), CString());
    EXPECT_EQ(CPointTabDlg::DorvaText(45720000, 13900000), CString());
}

TEST_F(PointTabDlgTest, ShowChoosesTheSelectedRowsPoint) {
    CPointTabDlg dialog(nullptr);
    dialog.SetListState({1, 0, 4});
    INT_PTR code = 0;
    const HostedRun run = Run(dialog, "tap 116 269\n", code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.GetResult(), CPointTabDlg::kResultShow);
    std::int32_t x = 0;
    std::int32_t y = 0;
    CString name;
    ASSERT_TRUE(dialog.GetSelectedPoint(x, y, name));
    EXPECT_EQ(name, CString(u"나루역"));
    EXPECT_EQ(x, kStation.x);
    EXPECT_EQ(y, kStation.y);
    ASSERT_EQ(dialog.GetPointRows().size(), 2u);
    EXPECT_EQ(dialog.GetPointRows()[0].code, CString(u"000-000-3606"));
    EXPECT_EQ(dialog.GetFolderRows(), (std::vector<CString>{u"기본", u"빈", u"출장"}));
}

TEST_F(PointTabDlgTest, RouteNowAndChoosingNeedADestinationAndARow) {
    struct Case {
        const char* what;
        CPointTabDlg::ListState state;
        std::string script;
        int notice;
        INT_PTR code;
    };
    const Case cases[] = {
        {"route now from the start tab without a destination",
         {0, 0, 1},
         "answer ok\ntap 189 269\ntap 175 18\n",
         219,
         IDCANCEL},
        {"route now with no point row", {0, 1, 2}, "answer ok\ntap 189 269\ntap 175 18\n", 218, IDCANCEL},
        {"route now to the destination", {0, 0, 2}, "tap 189 269\n", 0, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPointTabDlg dialog(nullptr);
        dialog.SetListState(c.state);
        INT_PTR code = 0;
        const HostedRun run = Run(dialog, c.script, code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(code, c.code);
        if (c.notice)
            EXPECT_NE(run.msgboxLog.find(AfxLoadString(c.notice).ToUtf8() + "\t3001"), std::string::npos)
                << run.msgboxLog;
        else
            EXPECT_EQ(dialog.GetResult(), CPointTabDlg::kResultRoute);
    }
}

TEST_F(PointTabDlgTest, DeletingAFoldersOnlyPointLeavesRowZeroAndRefillsBothLists) {
    CPointTabDlg dialog(nullptr);
    dialog.SetListState({0, 2, 4});
    INT_PTR code = 0;
    // A tap on the point, "구성하기" shows page 1, "삭제" asks, yes.
    const HostedRun run = Run(dialog, "tap 150 85\ntap 43 269\nanswer yes\ntap 116 289\ntap 175 18\n", code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("'호텔' 을(를) 삭제하시겠습니까?\t3000\t4001"), std::string::npos)
        << run.msgboxLog;
    EXPECT_EQ(root.Read("VelkoData/출장.pos"), PointFile({}));
    EXPECT_TRUE(dialog.GetPointRows().empty());
    EXPECT_EQ(dialog.GetListState().pointRow, 0);
    EXPECT_EQ(dialog.GetFolderRows().size(), 3u);
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
}

TEST_F(PointTabDlgTest, EditingInTheSameFolderReplacesThePointWhereItStands) {
    // The point row, "구성하기" (page 1), "지점수정" opens the registration dialog; symbol 2 there
    // and "저장".
    CPointTabDlg dialog(nullptr);
    dialog.SetListState({0, 2, 4});
    INT_PTR code = 0;
    const HostedRun run =
        Run(dialog, "tap 150 85\ntap 43 269\ntap 189 289\ntap 119 123\ntap 185 66\ntap 175 18\n", code);
    ASSERT_FALSE(run.failed) << run.failure;
    std::string expected = PointFile({kHotel});
    expected[4 + 29] = 2; // the record's symbol, in place
    EXPECT_EQ(root.Read("VelkoData/출장.pos"), expected);
    EXPECT_EQ(root.Read("VelkoData/Position"), PointFile({kHome, kStation}));
    EXPECT_EQ(CPositionStore::Instance().GetCount(), 3);
}

} // namespace
