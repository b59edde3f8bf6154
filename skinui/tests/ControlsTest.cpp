// The background frame, the receiver icon and the tiled gauge.
#include "SkinTestSupport.h"

#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviImageCtrl.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviZarnIcon.h"

#include <memory>

namespace {

class SkinControls : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes b = ArchiveBytes({{"Window\\Background\\LeftTop", SolidPng(3, 3, RGB(255, 0, 0))},
                                      {"Window\\Background\\RightTop", SolidPng(3, 3, RGB(0, 255, 0))},
                                      {"Window\\Background\\LeftBottom", SolidPng(3, 3, RGB(0, 0, 255))},
                                      {"Window\\Background\\RightBottom", SolidPng(3, 3, RGB(0, 0, 0))},
                                      {"Zarn\\Zarn0", SolidPng(4, 4, RGB(10, 0, 0))},
                                      {"Zarn\\Zarn3", SolidPng(4, 4, RGB(30, 0, 0))},
                                      {"G\\Level", SolidPng(10, 5, RGB(0, 0, 90))}},
                                     7);
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
    }
    TempRoot root;
    NaviRcBuilder builder;
};

} // namespace

TEST_F(SkinControls, BackgroundFrameByAnyNamingPathFillsAndDrawsCorners) {
    builder.SetImageGroup(u"Window");
    std::unique_ptr<NaviFrameWnd> made(builder.CreateFrameWnd(u"Background", true, false, 10, 10, 40, 30));
    auto named = std::make_unique<NaviFrameWnd>();
    named->AssignName(u"Background");
    auto viaBase = std::make_unique<NaviFrameWnd>();
    static_cast<NaviControl*>(viaBase.get())->SetName(u"Background");
    for (NaviFrameWnd* frame : {made.get(), named.get(), viaBase.get()}) {
        frame->SetTransparent(false); // the corners are solid squares
        frame->SetSize(40, 30);
        frame->SetPos(10, 10);
        frame->LoadImages(&builder);
        EXPECT_EQ(frame->GetKind(), 1);
        EXPECT_EQ(builder.GetImageGroup(), CString(u"Window")); // restored
        Canvas canvas(60, 50);
        frame->Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(20, 20), RGB(217, 217, 217));
        EXPECT_EQ(canvas.At(10, 10), RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(49, 10), RGB(0, 255, 0));
        EXPECT_EQ(canvas.At(10, 39), RGB(0, 0, 255));
        EXPECT_EQ(canvas.At(49, 39), RGB(0, 0, 0));
        EXPECT_TRUE(SameRect(canvas.Ink(), RECT{10, 10, 50, 40}));
    }
    // 2028 for its name hides it, 2027 shows it again; another name changes nothing.
    NaviCommand cmd;
    cmd.target = kTargetDialog;
    cmd.control = u"Background";
    cmd.id = kCmdFrameHide;
    made->ProcessCommand(cmd);
    Canvas canvas(60, 50);
    made->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    cmd.control = u"Other";
    cmd.id = kCmdFrameShow;
    made->ProcessCommand(cmd);
    EXPECT_FALSE(made->IsEnabled());
    cmd.control = u"Background";
    made->ProcessCommand(cmd);
    EXPECT_TRUE(made->IsEnabled());
    EXPECT_EQ(made->HitTest(20, 20), 0);
}

TEST_F(SkinControls, ReceiverIconStatesAndHiding) {
    NaviZarnIcon icon;
    icon.SetName(u"Zarn");
    icon.SetTransparent(false);
    icon.LoadImages(&builder);
    EXPECT_TRUE(SameRect(icon.GetRect(), RECT{2, 225, 35, 258}));
    Canvas canvas(60, 320);
    struct Case {
        int state;
        COLORREF colour;
    } cases[] = {{7, RGB(10, 0, 0)}, {-1, RGB(10, 0, 0)}, {3, RGB(30, 0, 0)}, {0, RGB(10, 0, 0)}};
    for (const Case& c : cases) {
        canvas.Clear();
        icon.SetState(c.state);
        icon.Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(2, 225), c.colour) << c.state;
    }
    icon.SetState(1); // no image for state 1
    canvas.Clear();
    icon.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);

    NaviCommand cmd;
    cmd.id = kCmdZarnHide;
    icon.ProcessCommand(cmd);
    icon.SetState(0);
    canvas.Clear();
    icon.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(icon.HitTest(10, 230), 0);
    cmd.id = kCmdZarnShow;
    icon.ProcessCommand(cmd);
    EXPECT_EQ(icon.HitTest(10, 230), 1);
    cmd.id = kCmdZarnMove;
    cmd.param2 = 200;
    icon.ProcessCommand(cmd);
    EXPECT_TRUE(SameRect(icon.GetRect(), RECT{2, 105, 35, 138}));
}

TEST_F(SkinControls, GaugeTilesStepByTileWidthPlusFour) {
    builder.SetImageGroup(u"G");
    NaviImageCtrl gauge;
    gauge.SetName(u"Level");
    gauge.SetPos(20, 10);
    gauge.LoadImages(&builder);
    EXPECT_FALSE(gauge.IsTransparent());
    gauge.SetValue(50);
    Canvas canvas(200, 30);
    gauge.Draw(&canvas.cdc);
    // Limit 50 x 150 / 100 = 75: tiles at 0, 14, 28, 42, 56, 70 from x 20.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(canvas.At(20 + 14 * i, 10), RGB(0, 0, 90)) << i;
        EXPECT_EQ(canvas.At(20 + 14 * i + 10, 10), RGB(255, 255, 255)) << i;
    }
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{20, 10, 100, 15}));

    struct Case {
        int value, maximum;
    } nothing[] = {{0, 100}, {-5, 100}, {50, 0}, {50, -10}};
    for (const Case& c : nothing) {
        canvas.Clear();
        gauge.SetValue(c.value);
        gauge.SetMaximum(c.maximum);
        gauge.Draw(&canvas.cdc);
        EXPECT_EQ(canvas.Ink().right, 0) << c.value << " " << c.maximum;
    }
    NaviImageCtrl bare; // no tile
    bare.SetValue(50);
    bare.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
}
