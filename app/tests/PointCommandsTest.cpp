// The view's side of the point dialogs under the headless host: nothing opens for empty lists, the
// chosen point and the remembered selection after each result, and a storage change that fails.
#include "app/PointCommands.h"

#include "app/NaviApp.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CRecentDestRecord Recent(const std::string& name, std::int32_t x, std::int32_t y, int order) {
    CRecentDestRecord r;
    const std::string bytes = Utf8ToCp949(name);
    std::memcpy(r.name, bytes.data(), std::min<std::size_t>(bytes.size(), 20));
    r.x = x;
    r.y = y;
    r.values[0] = order;
    return r;
}

class PointCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        CRecentDestList::Instance().Clear();
        CSafePointList::Added().Clear();
        CSafePointList::Removed().Clear();
        navi::g_recentDestPath = u"\\DestPosition";
    }
    void TearDown() override {
        box.Destruct();
        FilesFailNextOperations(0);
    }
    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(PointCommandsTest, EmptyListsOpenNothing) {
    CSelectedPoint remembered, chosen;
    CSafePointSelection safeRemembered, safeChosen;
    bool restored = true;
    const HostedRun run = RunHosted(root, "wait 50\n", [&] {
        EXPECT_EQ(RunRecentDestinations(nullptr, &builder, false, remembered, chosen), 0);
        EXPECT_EQ(RunSafeDrivingPoints(nullptr, &builder, false, safeRemembered, safeChosen, restored), 0);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_FALSE(restored);
}

TEST_F(PointCommandsTest, TheChosenPointIsRememberedUntilTheTabIsLeftEmptyHanded) {
    CRecentDestList& list = CRecentDestList::Instance();
    list.Add(Recent("가람시청", 100, 200, 0));
    list.Add(Recent("나루역", 300, 400, 1));
    CSelectedPoint remembered, chosen;
    remembered.index = 1;
    remembered.type = 2;
    std::vector<int> results;
    // "위치보기" (86-154 on the row at y 256-283) on the remembered row, then "이전".
    const HostedRun run = RunHosted(root, "wait 100\ntap 120 270\nwait 100\ntap 175 18\n", [&] {
        results.push_back(RunRecentDestinations(nullptr, &builder, false, remembered, chosen));
        EXPECT_EQ(remembered.index, 1);
        EXPECT_EQ(Cp949ToUtf8(remembered.name), "나루역");
        results.push_back(RunRecentDestinations(nullptr, &builder, false, remembered, chosen));
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(results, (std::vector<int>{1, 3}));
    EXPECT_EQ(Cp949ToUtf8(chosen.name), "나루역");
    EXPECT_EQ(chosen.x, 300);
    EXPECT_EQ(chosen.y, 400);
    EXPECT_EQ(chosen.type, 2);
    EXPECT_EQ(chosen.kind, CSelectedPoint::kRecentDestination);
    // Left with "이전": the next opening starts afresh.
    EXPECT_EQ(remembered.index, 0);
    EXPECT_EQ(remembered.type, 4);
}

TEST_F(PointCommandsTest, AFailedStorageChangeIsReportedAndUndone) {
    CNaviConfig* config = CNaviConfig::GetInstance();
    config->SetDeviceType(0);
    config->Load(u"Storage Card\\MapData");
    root.MakeFile("My Documents/VelkoData/position", "points");
    root.MakeFile("Storage Card/VelkoData/x", "x");
    config->SetValue(64, 1);
    bool ok = true;
    FilesFailNextOperations(1);
    const HostedRun run = RunHosted(root, "answer ok\nwait 50\n", [&] {
        ok = ApplyStorageLocationChange(0);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_FALSE(ok);
    EXPECT_EQ(config->GetValue(64), 0);
    EXPECT_EQ(root.Read("My Documents/VelkoData/position"), "points");
    EXPECT_NE(run.msgboxLog.find("사용자 정보 저장 위치를 변경할 수 없습니다."), std::string::npos) << run.msgboxLog;
}

} // namespace
