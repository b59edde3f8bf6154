#include "app/TrafficSheetHost.h"

#include <gtest/gtest.h>

namespace {

TEST(TrafficSheetTitle, NamesADownloadForAnHour) {
    const CTime download(2026, 3, 5, 14, 7, 0);
    const std::u16string named = u"교통정보[3월5일14시7분 수신정보]";
    EXPECT_EQ(traffic_sheet::Title(download, download), named);
    EXPECT_EQ(traffic_sheet::Title(download, CTime(2026, 3, 5, 15, 6, 0)), named);   // 59 minutes
    EXPECT_EQ(traffic_sheet::Title(download, CTime(2026, 3, 5, 15, 7, 0)), named);   // exactly 60
    EXPECT_EQ(traffic_sheet::Title(download, CTime(2026, 3, 5, 15, 8, 0)), u"교통정보");   // 61
    EXPECT_EQ(traffic_sheet::Title(CTime(), CTime(2026, 3, 5, 15, 8, 0)), u"교통정보");   // none
}

TEST(TrafficSheetMapMove, StepCoversTheWholeSection) {
    struct Case {
        std::int64_t distance;
        int step;
    };
    const Case cases[] = {
        {0, 8},       {250, 8},    {251, 7},    {300, 7},     {500, 7},       {501, 6},
        {5000, 4},    {20000, 2},  {20001, 1},  {160000, 1},  {160001, 0},    {10'000'000, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(traffic_sheet::MapMoveStep(c.distance), c.step) << c.distance;
}

} // namespace
