#include "route/base/ErrorLog.h"
#include "route/base/RouteItemList.h"
#include "route/base/RouteTypes.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

TEST(RouteItemList, FindRulesAndSize) {
    LinkItemList list;
    CPathLinkItem key;
    key.linkId = 7;
    EXPECT_EQ(list.Find(key), -1);
    EXPECT_EQ(list.FindInRange(key, 0, 1), -1);
    for (int i = 0; i < 5; ++i) {
        CPathLinkItem item;
        item.linkId = static_cast<std::uint16_t>(i);
        item.direction = static_cast<std::uint8_t>(i % 2);
        list.Add(item);
    }
    key.linkId = 3;
    key.direction = 1;
    key.mapId = 99; // not part of the key
    EXPECT_EQ(list.Find(key), 3);
    EXPECT_EQ(list.FindInRange(key, 3, 3), -1); // from >= to
    EXPECT_EQ(list.FindInRange(key, 5, 9), -1); // from >= count
    EXPECT_EQ(list.FindInRange(key, 0, 3), -1); // [0, 3) does not hold it
    key.direction = 0;
    EXPECT_EQ(list.Find(key), -1);

    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(list.GetSize()) + 8, 0xAB);
    list.WriteAll(buffer.data());
    EXPECT_EQ(list.GetSize(), 5 * 32);
    EXPECT_EQ(buffer[5 * 32], 0xAB); // nothing written beyond GetSize
    EXPECT_EQ(buffer[4 * 32 + 2], 4);
}

TEST(ErrorLog, WritesOnlyWhileEnabled) {
    TempRoot root;
    ErrorLog& log = ErrorLog::Instance();
    log.SetFileName("./ErrorLog.txt");
    log.SetEnabled(0);
    log.WriteErrorLog(12, "VelkoRpCache", "off");
    EXPECT_FALSE(root.Exists("ErrorLog.txt"));
    log.SetEnabled(1);
    log.WriteErrorLog(12, "VelkoRpCache", "Mapid(3) link(4) read error");
    log.Printf("%s %d", "count", 5);
    std::string longText(400, 'z');
    log.WriteErrorLog(1, "VelkoList", longText.c_str());
    std::string text = root.Read("ErrorLog.txt");
    std::string expected = "VelkoRpCache(12) Mapid(3) link(4) read error\ncount 5\n";
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    std::string last = text.substr(expected.size());
    EXPECT_EQ(last.size(), static_cast<std::size_t>(ErrorLog::kMaxLine)); // cut, still one line
    EXPECT_EQ(last.back(), '\n');
    log.SetEnabled(0);

    log.SetErrorCode(17);
    EXPECT_EQ(log.TakeErrorCode(), 17);
    EXPECT_EQ(log.GetErrorCode(), 0);
}

TEST(RouteTypes, ResetsAndBuffers) {
    LinkPos p;
    p.mapId = 1;
    p.x = 5;
    p.extra = 3;
    p.Reset();
    EXPECT_EQ(p.mapId, 65535);
    EXPECT_EQ(p.nodeId, 65535);
    EXPECT_EQ(p.x, -1);
    EXPECT_EQ(p.extra, 0u);

    ByteBuffer buffer;
    std::uint8_t* first = buffer.Reserve(208, 0);
    first[0] = 9;
    EXPECT_EQ(buffer.Reserve(100, 0xFF), first); // smaller: the same block, unchanged
    EXPECT_EQ(first[0], 9);
    std::uint8_t* bigger = buffer.Reserve(300, 0xEE);
    EXPECT_EQ(bigger[0], 0xEE);
    EXPECT_EQ(bigger[299], 0xEE);

    RouteWaypointVector v;
    for (int i = 0; i < 4; ++i) {
        RouteWaypoint w;
        w.x = i;
        v.Add(w);
    }
    v.Erase(1, 3);
    ASSERT_EQ(v.Count(), 2);
    EXPECT_EQ(v[1].x, 3);
    v.Erase(0, 99);
    EXPECT_EQ(v.Count(), 0);
}
