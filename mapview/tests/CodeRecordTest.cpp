#include "mapview/CodeRecord.h"

#include <gtest/gtest.h>

TEST(DmsAngle, ArithmeticNormalisesAndKeepsNegativeDifferences) {
    struct Case {
        const char* name;
        CDmsAngle a, b;
        char op;
        std::int32_t d, m;
        double s;
    };
    const Case cases[] = {
        {"seconds carry", {0, 59, 50.0}, {0, 0, 20.0}, '+', 1, 0, 10.0},
        {"minutes carry", {33, 40, 0.0}, {0, 40, 0.0}, '+', 34, 20, 0.0},
        {"borrow through a degree", {34, 0, 10.0}, {0, 0, 20.0}, '-', 33, 59, 50.0},
        {"borrow a minute", {0, 10, 5.0}, {0, 2, 30.0}, '-', 0, 7, 35.0},
        {"borrow a degree for minutes", {125, 10, 0.0}, {0, 30, 0.0}, '-', 124, 40, 0.0},
        {"negative difference", {124, 52, 30.0}, {125, 0, 0.0}, '-', -1, 52, 30.0},
    };
    for (const Case& c : cases) {
        CDmsAngle r = c.a;
        if (c.op == '+')
            r.Add(c.b);
        else
            r.Subtract(c.b);
        EXPECT_EQ(r.Degrees(), c.d) << c.name;
        EXPECT_EQ(r.Minutes(), c.m) << c.name;
        EXPECT_DOUBLE_EQ(r.Seconds(), c.s) << c.name;
    }
    // 124 52'30" - 125 = minus 7'30": (-60 + 52) * 600 + 300 tenths.
    EXPECT_EQ((CDmsAngle(124, 52, 30.0) - CDmsAngle(125, 0, 0.0)).ToTenths(), -4500);
    EXPECT_EQ((CDmsAngle(124, 30, 0.0) - CDmsAngle(125, 0, 0.0)).ToTenths(), -18000);

    CDmsAngle m(0, 7, 30.0);
    CDmsAngle copy = m.Multiply(3); // 21'90" -> 22'30"
    EXPECT_EQ(m, CDmsAngle(0, 22, 30.0));
    EXPECT_EQ(copy, m);
    EXPECT_EQ(CDmsAngle(0, 0, 56.25).ToTenths(), 562);
}

TEST(DmsAngle, ComparisonsAndParts) {
    EXPECT_TRUE(CDmsAngle(1, 0, 0.0) > CDmsAngle(0, 59, 59.9));
    EXPECT_TRUE(CDmsAngle(1, 2, 3.0) < CDmsAngle(1, 2, 3.5));
    EXPECT_TRUE(CDmsAngle(1, 2, 3.0) <= CDmsAngle(1, 2, 3.0));
    EXPECT_TRUE(CDmsAngle(1, 3, 0.0) >= CDmsAngle(1, 2, 59.0));
    EXPECT_FALSE(CDmsAngle(1, 2, 3.0) == CDmsAngle(1, 2, 3.5));
    CDmsAngle a(127, 12, 12.7);
    EXPECT_EQ(a.GetPart(1), 127);
    EXPECT_EQ(a.GetPart(2), 12);
    EXPECT_EQ(a.GetPart(3), 12);
    EXPECT_EQ(a.GetPart(0), 0);
    EXPECT_EQ(a.GetPart(4), 0);
}

TEST(CodeRecord, ClassifyByValueAndParts) {
    const std::pair<const char*, int> cases[] = {
        {"000000", 1}, {"000001", 2}, {"000002", 2}, {"000010", 3}, {"000029", 3}, {"000030", 0},
        {"000311", 4}, {"000994", 4}, {"001021", 5}, {"002998", 5}, {"003000", 0}, {"003111", 6},
        {"009988", 6}, {"311121", 9}, {"998898", 9}, {"102101", 7}, {"102118", 7}, {"102119", 8},
        {"299899", 8}, {"300000", 0}, {"999999", 0}, {"010000", 0},
    };
    for (auto [code, type] : cases) EXPECT_EQ(CCodeRecord::Classify(code), type) << code;
}

TEST(CodeRecord, SheetCodeToRectCorners) {
    struct Case {
        const char* code;
        int result;
        LONG ax, ay, bx, by;
    };
    const LONG kUnset = 777;
    const Case cases[] = {
        // Type 6: level-4 cell 311 and level-6 cell 11, both first cells: 124 / 33 against
        // the origin 125 / 33 05': -8 cells of 7'30" and -1 cell of 5'.
        {"003111", 1, kUnset, kUnset, -80000, -10000},
        {"3111", 1, kUnset, kUnset, -80000, -10000}, // padded on the left
        // Type 5: first cells of both levels.
        {"001021", 1, kUnset, kUnset, 0, 0},
        {"1021", 1, kUnset, kUnset, 0, 0},
        // Type 5: level-3 cell 15 (2 E), level-5 cell 57 (3 x 15' E, 6 x 10' N): 2 45', 1 00'.
        {"001557", 1, kUnset, kUnset, 110000, 60000},
        // Type 3: cell 12 is two latitude steps up: 2 40' / 1 20'.
        {"000012", 1, kUnset, kUnset, 0, 20000},
        // Type 6: quadrant 453 (1 30' E, 2 40' N), level-6 cell 67 (rows 5 and 6 with two
        // columns each: 3 x 7'30" E, 2 x 5' N): 52'30" / 7'30" = 7, (35 50' - 33 05') / 5' = 33.
        {"004567", 1, kUnset, kUnset, 70000, 330000},
        // Type 9: parent 003111 for B; level-9 cell 53: 3 x 56.25" E, 2 x 37.5" N.
        {"311153", 1, 30000, 20000, -80000, -10000},
        {"311121", 1, 0, 0, -80000, -10000},
        // Failures leave A and B alone.
        {"0", 0, kUnset, kUnset, kUnset, kUnset},
        {"", 0, kUnset, kUnset, kUnset, kUnset},
        {"abc", 0, kUnset, kUnset, kUnset, kUnset},
        {"1234567", 0, kUnset, kUnset, kUnset, kUnset}, // longer than six characters
        {"000001", 0, kUnset, kUnset, kUnset, kUnset},  // type 2: no cell size
        {"2", 0, kUnset, kUnset, kUnset, kUnset},
        {"300000", 0, kUnset, kUnset, kUnset, kUnset}, // type 0
    };
    for (const Case& c : cases) {
        POINT a{kUnset, kUnset}, b{kUnset, kUnset};
        EXPECT_EQ(SheetCodeToRect(c.code, a, b), c.result) << c.code;
        EXPECT_EQ(a.x, c.ax) << c.code;
        EXPECT_EQ(a.y, c.ay) << c.code;
        EXPECT_EQ(b.x, c.bx) << c.code;
        EXPECT_EQ(b.y, c.by) << c.code;
    }
    POINT a{}, b{};
    EXPECT_EQ(SheetCodeToRect(nullptr, a, b), 0);
}

TEST(CodeRecord, ParseFillsCornersAndFormatsThem) {
    CCodeRecord record;
    std::int32_t code = 55;
    EXPECT_EQ(record.GetCode(code), -1);
    EXPECT_EQ(code, 55);

    record.Parse("001021", 5);
    EXPECT_EQ(record.GetCode(code), 1021);
    EXPECT_EQ(code, 1021);
    std::string text;
    record.FormatCorners(text);
    EXPECT_EQ(text, "1240000.00"
                    "0330000.00"
                    "1241500.00"
                    "0331000.00");

    // Type 7: level-3 cell 10, level-5 cell 21, level-7 cell 05 (second column: one step E).
    record.Parse("102105", 7);
    record.FormatCorners(text);
    EXPECT_EQ(text, "1240345.00"
                    "0330000.00"
                    "1240730.00"
                    "0330230.00");

    // Type 1 and 2 corners.
    record.Parse("000000", 1);
    record.FormatCorners(text);
    EXPECT_EQ(text, "1240000.00"
                    "0330000.00"
                    "1400000.00"
                    "0434000.00");
    record.Parse("000002", 2);
    record.FormatCorners(text);
    EXPECT_EQ(text, "1240000.00"
                    "0382000.00"
                    "1320000.00"
                    "0434000.00");

    // An empty code changes only the type and value.
    record.Parse("", 3);
    EXPECT_EQ(record.codeType, 3);
    EXPECT_EQ(record.codeValue, 0);
    record.FormatCorners(text);
    EXPECT_EQ(text, "1240000.00"
                    "0382000.00"
                    "1320000.00"
                    "0434000.00");
}

TEST(CodeRecord, UnmatchedNumberWalksToLastCell) {
    CCodeRecord record;
    record.fineLon = CDmsAngle(2, 0, 0.0);
    record.fineLat = CDmsAngle(1, 20, 0.0);
    // Two-column walk of level 3 (rows 1..2, columns 0..9): the last cell is row 2's second
    // column, 3 longitude steps and 4 latitude steps from the start.
    record.Walk(99, CCodeRecord::kTwoColumn, 3, 3);
    EXPECT_EQ(record.swLon, CDmsAngle(130, 0, 0.0));
    EXPECT_EQ(record.swLat, CDmsAngle(38, 20, 0.0));
    EXPECT_EQ(record.neLon, CDmsAngle(132, 0, 0.0));
    EXPECT_EQ(record.neLat, CDmsAngle(39, 40, 0.0));

    // Grid walk of level 5 (rows 2..9, columns 1..8): 7 steps E and 7 N.
    CCodeRecord grid;
    grid.fineLon = CDmsAngle(0, 15, 0.0);
    grid.fineLat = CDmsAngle(0, 10, 0.0);
    grid.Walk(1, CCodeRecord::kGrid, 5, 0);
    EXPECT_EQ(grid.swLon, CDmsAngle(125, 45, 0.0));
    EXPECT_EQ(grid.swLat, CDmsAngle(34, 10, 0.0));
    EXPECT_EQ(grid.neLon, CDmsAngle()); // not the type's last level: no north-east corner

    // A level without cells does not move.
    CCodeRecord none;
    none.fineLon = CDmsAngle(1, 0, 0.0);
    none.Walk(5, CCodeRecord::kGrid, 11, 0);
    EXPECT_EQ(none.swLon, CDmsAngle(124, 0, 0.0));
}

TEST(CodeRecord, CopyResetAndCodeLists) {
    CCodeRecord record;
    std::vector<std::int32_t> first{5, -1, 7}, second{34}, third{1, 2};
    record.BuildCodeList(&first, nullptr, nullptr);
    ASSERT_TRUE(record.codeList);
    EXPECT_EQ(*record.codeList, (std::vector<std::string>{"000005", "000007"}));
    record.BuildCodeList(&first, &second, nullptr);
    EXPECT_EQ(*record.codeList, (std::vector<std::string>{"000534", "000734"}));
    record.BuildCodeList(&second, &first, &third);
    EXPECT_EQ(*record.codeList, (std::vector<std::string>{"340501", "340502", "340701", "340702"}));

    record.lists[0] = {1, 2, 3};
    record.Parse("001557", 5);
    record.lists[1] = {9};
    record.BuildCodeList(&first, nullptr, nullptr);
    CCodeRecord copy(record);
    EXPECT_EQ(copy.swLon, record.swLon);
    EXPECT_EQ(copy.lists[1], (std::vector<std::int32_t>{9}));
    ASSERT_TRUE(copy.codeList);
    EXPECT_NE(copy.codeList.get(), record.codeList.get());
    EXPECT_EQ(*copy.codeList, *record.codeList);
    copy = copy; // self-assignment keeps everything
    EXPECT_EQ(copy.lists[1], (std::vector<std::int32_t>{9}));

    record.Reset();
    EXPECT_EQ(record.swLon, CDmsAngle(124, 0, 0.0));
    EXPECT_EQ(record.swLat, CDmsAngle(33, 0, 0.0));
    EXPECT_EQ(record.neLon, CDmsAngle());
    EXPECT_TRUE(record.lists[1].empty());
    EXPECT_FALSE(record.codeList);
    EXPECT_EQ(copy.lists[1].size(), 1u);
}
